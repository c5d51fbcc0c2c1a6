#include "core/commands/History.h"

#include <algorithm>
#include <optional>

#include "core/commands/Common.h"
#include "core/commands/Recovery.h"
#include "core/journal/RunJournalUndo.h"

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
    if (!check.missing.empty() &&
        host.Ask(Question::kMissingFiles, std::string(Text::kMissingFiles)) != Answer::kYes) {
        host.Tell(std::string(Text::kUserCancelled));
        return false;
    }
    if (check.take.empty() && !leftBehind) {
        host.Tell(std::string(Text::kNothingUndone));
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
    if (kept == listing.commands.end() || !journal) {
        host.Tell("変更履歴を読み込めませんでした。");
    } else if (kept->state == RunJournal::State::kUndone) {
        host.Tell("この処理は既に元に戻されています。");
    } else if (kept->state == RunJournal::State::kRunning) {
        host.Tell("この処理は実行中のため、元に戻せません。");
    } else {
        return UndoKept(store, *journal, options, host);
    }
    return false;
}

}  // namespace Command
