#include "core/commands/Recovery.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <string>

#include "core/commands/Common.h"

namespace Command {
namespace {

// Each file left under a temporary name or in two places (native paths).
void TellLeft(const RunJournal::Left& left, Host& host) {
    for (const RunJournal::Stranded& stranded : left.stayed) {
        host.Tell("ファイル " + stranded.home + " は同名ファイルがあるため、一時的な名前 " + stranded.path +
                  " のまま残っています");
    }
    for (const RunJournal::Twice& twice : left.twice)
        host.Tell("ファイル " + twice.source + " は移動先の " + twice.copy + " にも残っています");
}

std::string RecoverQuestion(const RunJournal::Interrupted& interrupted) {
    return "前回の名前の変更は完了していません（" + std::to_string(interrupted.files) + "個のうち" +
           std::to_string(interrupted.done) +
           "個を変更済み）。\r\n変更済みのファイルを元の名前に戻しますか？";
}

}  // namespace

RunJournal::Listing ListJournal(RunJournal::Store& store, Host& host, std::size_t limit) {
    RunJournal::Listing listing = store.List(limit);
    for (const RunJournal::Problem& problem : listing.problems)
        host.Tell("変更履歴のファイル " + problem.file + " は読み込めないため、除外しました。");
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
        host.Tell(std::string(Text::kNotUndoneLead) + std::to_string(result.refused.size()) +
                  "個のファイルが未処理になりました");
    }
    if (!result.untried.empty()) {
        host.Tell(Text::Cancelled(result.done));
    } else if (result.refused.empty() && tellDone) {
        host.Tell(std::string(Text::kUndone));
    }
    TellLeft(takenBack, host);
}

}  // namespace Command
