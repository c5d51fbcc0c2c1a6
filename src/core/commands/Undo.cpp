#include "core/commands/Undo.h"

#include <vector>

#include "core/commands/Common.h"
#include "core/journal/RunJournalRecord.h"
#include "core/run/UndoRevert.h"

namespace Command {

void UndoLast(PairList& pairs, const UndoOptions& options, Host& host) {
    // The journal is written while the files are looked at, for the undo of all of them (the plan
    // outlives the record, which reads it meanwhile). Without a question the files were looked at a
    // moment ago: the renames need not look again.
    const UndoRevert::UndoPlan whole = UndoRevert::PlanUndo(pairs, {}, UndoRevert::Sources::kJustSeen);
    const auto record = NewRecord(options.journalFolder, RunJournal::Kind::kUndo, options.target);
    if (const auto batch = UndoRevert::UndoBatch(pairs, whole); batch && record)
        record->PrepareMeanwhile(*batch);
    // Also when removed rows left nothing of the command: the user hears that nothing was undone.
    std::vector<std::size_t> missing;
    host.Busy(Work::kRenaming, 0, [&](RunControl&) { missing = UndoRevert::MissingFiles(pairs); });
    if (!missing.empty()) {
        host.MarkUnprocessed(missing);
        // Nothing has changed yet but the marks: no leaves the pairs as they are.
        if (host.Ask(Question::kMissingFiles, Text::MissingFiles()) != Answer::kYes) {
            host.Tell(Text::UserCancelled());
            return;
        }
    }
    if (!UndoRevert::AnyToUndo(pairs, missing)) {
        host.Tell(Text::NothingUndone());
        return;
    }
    UndoRevert::UndoPlan replanned;
    const UndoRevert::UndoPlan& plan = missing.empty() ? whole : replanned;
    RenameExecutor::PlannedOutcome undone;
    // Planned and renamed on the host's busy thread, which only reads the pairs meanwhile.
    host.Busy(Work::kRenaming, 0, [&](RunControl& control) {
        if (!missing.empty())
            replanned = UndoRevert::PlanUndo(pairs, missing, UndoRevert::Sources::kLookAgain);
        undone = UndoRevert::ExecuteUndo(pairs, plan, &control, record.get());
    });
    if (RefuseUnrecorded(undone.outcome.unrecorded, host)) return;
    const UndoRevert::UndoResult result = UndoRevert::ApplyUndo(pairs, missing, plan, undone.outcome);
    UndoRevert::Restamp(pairs);
    host.ListReplaced({.unmark = true});
    if (const std::vector<std::size_t> unrenamed = pairs.Unrenamed(); !unrenamed.empty())
        host.MarkUnprocessed(unrenamed);
    TellStranded(undone.stranded, host);
    if (!result.refused.empty()) {
        // A refused file stays at its new name, owed to the next undo; its row is marked.
        host.MarkUnprocessed(result.refused);
        host.Tell(Text::Unprocessed(Text::Left::kNotUndone, result.refused.size()));
    }
    if (result.stopped) {
        host.Tell(Text::Cancelled(result.done));
    } else if (result.refused.empty() && options.tellDone) {
        host.Tell(Text::Undone());
    }
}

}  // namespace Command
