#include "core/commands/History.h"

#include <algorithm>
#include <optional>

#include "core/commands/Common.h"
#include "core/commands/Recovery.h"
#include "core/journal/RunJournalUndo.h"
#include "core/text/Translate.h"

namespace Command {
namespace {

bool UndoKept(RunJournal::Store& store, const RunJournal::Journal& journal, const HistoryUndoOptions& options,
              Host& host) {
    // After a restart a name alone proves nothing: each file is looked for by its identity.
    RunJournal::UndoCheck check;
    bool leftBehind = false;  // under a temporary name by a take-back refused inside a cycle
    // A later move to another file system, taken back since, left copies of its files in place.
    const RunJournal::Listing listing = store.List();
    host.Busy(Work::kRenaming, 0, [&](RunControl&) {
        check = RunJournal::CheckUndo(journal, RunJournal::DoneEntries(journal),
                                      RunJournal::LaterCopies(store, listing, journal));
        const RunJournal::OnDisk left = RunJournal::LeftBehind(journal);
        leftBehind = !left.stranded.empty() || !left.removableCopies.empty() || !left.twice.empty();
    });
    if (!check.missing.empty() && host.Ask(Question::kMissingFiles, Text::MissingFiles()) != Answer::kYes) {
        host.Tell(Text::UserCancelled());
        return false;
    }
    if (check.take.empty() && !leftBehind) {
        host.Tell(Text::NothingUndone());
        return false;
    }
    RunJournal::TakenBack result;
    host.Busy(Work::kRenaming, check.take.size(), [&](RunControl& control) {
        result = RunJournal::UndoFromHistory(journal, check, store.Folder(), &control);
    });
    TellTakenBack(result, options.tellDone, host);
    return options.listRun != 0 && journal.header.id == options.listRun && !result.undo.unrecorded &&
           !check.take.empty();
}

}  // namespace

bool UndoFromHistory(RunJournal::Store& store, std::uint64_t id, const HistoryUndoOptions& options,
                     Host& host) {
    const RunJournal::Listing listing = ListJournal(store, host);
    const auto kept = std::find_if(listing.commands.begin(), listing.commands.end(),
                                   [id](const RunJournal::Summary& s) { return s.header.id == id; });
    const std::optional<RunJournal::Journal> journal = store.Read(id);
    const bool read = kept != listing.commands.end() && journal;
    if (const std::string refusal = HistoryRefusal(read, read ? kept->state : RunJournal::State::kCompleted);
        !refusal.empty()) {
        host.Tell(refusal);
        return false;
    }
    return UndoKept(store, *journal, options, host);
}

std::string KindText(RunJournal::Kind kind) {
    using RunJournal::Kind;
    switch (kind) {
        case Kind::kSequential:
            return _("連番");
        case Kind::kString:
            return _("文字列");
        case Kind::kCaseWidth:
            return _("大文字小文字・幅");
        case Kind::kDigit:
            return _("桁揃え");
        case Kind::kUndo:
        case Kind::kRevert:
        case Kind::kRecovery:
            return _("元に戻す");
        case Kind::kMove:
            return _("移動");
    }
    return {};
}

std::string StateText(RunJournal::State state) {
    using RunJournal::State;
    switch (state) {
        case State::kCompleted:
            return _("完了");
        case State::kUndone:
            return _("元に戻し済み");
        case State::kRunning:
            return _("実行中");
        case State::kInterrupted:
        case State::kClosedAsFound:
            return _("中断");
    }
    return {};
}

std::string HistoryRefusal(bool read, RunJournal::State state) {
    if (!read) return _("変更履歴を読み込めませんでした。");
    if (state == RunJournal::State::kUndone) return _("この処理は既に元に戻されています。");
    if (state == RunJournal::State::kRunning) return _("この処理は実行中のため、元に戻せません。");
    return {};
}

}  // namespace Command
