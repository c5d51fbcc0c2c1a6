#include "core/commands/Recovery.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <string>

#include "core/commands/Common.h"
#include "core/text/Translate.h"

namespace Command {
namespace {

// Each file left under a temporary name or in two places (native paths).
void TellLeft(const RunJournal::Left& left, Host& host) {
    for (const RunJournal::Stranded& stranded : left.stayed) {
        host.Tell(
            Translate::Fill(_("ファイル %1 は同名ファイルがあるため、一時的な名前 %2 のまま残っています"),
                            {stranded.home, stranded.path}));
    }
    for (const RunJournal::Twice& twice : left.twice)
        host.Tell(
            Translate::Fill(_("ファイル %1 は移動先の %2 にも残っています"), {twice.source, twice.copy}));
}

std::string RecoverQuestion(const RunJournal::Interrupted& interrupted) {
    // TRANSLATORS: %1 files of the interrupted command, %2 of them renamed.
    return Translate::Fill(
               P_("前回の名前の変更は完了していません（%1個のうち%2個を変更済み）。",
                  "前回の名前の変更は完了していません（%1個のうち%2個を変更済み）。", interrupted.files),
               {std::to_string(interrupted.files), std::to_string(interrupted.done)}) +
           "\r\n" + _("変更済みのファイルを元の名前に戻しますか？");
}

}  // namespace

RunJournal::Listing ListJournal(RunJournal::Store& store, Host& host, std::size_t limit) {
    RunJournal::Listing listing = store.List(limit);
    for (const RunJournal::Problem& problem : listing.problems)
        host.Tell(
            Translate::Fill(_("変更履歴のファイル %1 は読み込めないため、除外しました。"), {problem.file}));
    return listing;
}

void RecoverInterrupted(RunJournal::Store& store, bool tellDone, Host& host) {
    if (store.Folder().empty()) return;
    // Each asked once, also when another start takes it up meanwhile. The listing is whole: a
    // command kept past the newest ones because nobody took it up yet is offered too.
    std::set<std::uint64_t> asked;
    while (const std::optional<RunJournal::Interrupted> interrupted = RunJournal::FindInterrupted(
               store, ListJournal(store, host, std::numeric_limits<std::size_t>::max()), asked)) {
        asked.insert(interrupted->Id());
        const bool takeBack = host.Ask(Question::kRecover, RecoverQuestion(*interrupted)) == Answer::kYes;
        RunJournal::Recovered recovered;
        host.Busy(Work::kRenaming, interrupted->done, [&](RunControl& control) {
            recovered = RunJournal::Recover(store.Folder(), *interrupted, takeBack, &control);
        });
        if (recovered.taken) continue;  // another start took it up meanwhile
        if (takeBack) {
            TellTakenBack(recovered, tellDone, host);
        } else {
            TellLeft(recovered, host);
        }
    }
}

void TellTakenBack(const RunJournal::TakenBack& takenBack, bool tellDone, Host& host) {
    const RunJournal::UndoResult& result = takenBack.undo;
    if (RefuseUnrecorded(result.unrecorded, host)) return;
    TellStranded(result.stranded, host);
    if (!result.refused.empty()) {
        host.Tell(Text::LeftCount(Text::Left::kNotUndone, result.refused.size()));
    }
    if (!result.untried.empty()) {
        host.Tell(Text::Cancelled(result.done));
    } else if (result.refused.empty() && tellDone) {
        host.Tell(Text::Undone());
    }
    TellLeft(takenBack, host);
}

}  // namespace Command
