#include "core/commands/SequentialRun.h"

#include <utility>

#include "core/commands/Common.h"
#include "core/commands/RunTexts.h"
#include "core/journal/RunJournalRecord.h"
#include "core/list/PairList.h"
#include "core/run/RenameExecutor.h"
#include "core/run/UndoRevert.h"
#include "core/text/Translate.h"

namespace Command {
namespace {

// What a journal made ready ahead is given for the files' identities, which it takes at Begin.
const std::vector<Platform::EntryId> kIdsLater;

// The message of the run's end: done, and how many photos had no date taken.
std::string DoneMessage(std::size_t undatedPhotos) {
    std::string done = _("名前の変更が終了しました");
    if (undatedPhotos > 0) {
        done += "\r\n" + Translate::Fill(
                             P_("%1個のファイルは撮影日時がないため、更新日時を使いました。",
                                "%1個のファイルは撮影日時がないため、更新日時を使いました。", undatedPhotos),
                             {std::to_string(undatedPhotos)});
    }
    return done;
}

}  // namespace

SequentialOutcome RunSequential(const RunContext& context, const SequentialRun& run, Host& host) {
    SequentialOutcome result;
    const SequentialNames::RunCheck check = SequentialNames::CheckRun(run.names);
    if (check.refusal != SequentialNames::RunCheck::Refusal::kNone) {
        host.Tell(RunTexts::SequentialRefusal(check));
        return result;
    }
    PairList& pairs = context.pairs;
    // The dates taken, once per list, when they go into the names.
    const bool datesTaken = run.names.addDate && run.names.dateTaken;
    if (datesTaken && run.readDatesTaken && !run.readDatesTaken()) {
        result.cancelled = true;
        return result;
    }

    // On the busy thread: the new names, refused as a whole when a file is missing or a name is
    // taken, then the renames. The composition has just seen every listed file, so they are not
    // looked at again; a name taken since is still refused by the rename itself.
    SequentialNames::Result composed;
    RenameExecutor::Outcome outcome;
    RenamePlanner::Plan plan;  // of a run whose names are held by files it moves on
    bool planned = false;
    if (context.filesMove) context.filesMove();
    // Declared after the lists it reads while they are composed.
    const auto record = NewRecord(context.journalFolder, RunJournal::Kind::kSequential);
    host.Busy(Work::kRenaming, pairs.Size(), [&](RunControl& control) {
        // The journal is made ready while the names are checked against the disk.
        const auto prepare = [&](const std::vector<std::string>& newPaths) {
            if (record) {
                record->Prepare(
                    {pairs.OldPaths(), newPaths, kIdsLater, nullptr, RenameExecutor::Order::FirstToLast});
            }
        };
        const bool withDates = datesTaken && pairs.HasDatesTaken();
        composed = SequentialNames::BuildSequentialNames(pairs.OldPaths(), run.names,
                                                         withDates ? &pairs.DatesTaken() : nullptr, prepare,
                                                         pairs.TakeListings());
        if (composed.outcome == SequentialNames::Outcome::Collision && composed.composedAll)
            plan = RenameExecutor::PlanOnDisk(pairs.OldPaths(), composed.newPaths, RenameExecutor::RunId());
        if (composed.outcome != SequentialNames::Outcome::Composed) return;
        if (run.afterChecks) run.afterChecks();
        outcome =
            RenameExecutor::ExecuteCheckedRenames(pairs.OldPaths(), composed.newPaths, composed.ids,
                                                  RenameExecutor::Order::FirstToLast, &control, record.get());
    });
    using Outcome = SequentialNames::Outcome;
    switch (composed.outcome) {
        case Outcome::EmptyList:
            return result;
        case Outcome::MissingFile:
            host.TellMissing(Text::MissingFile(composed.detail));
            return result;
        case Outcome::Collision:
            // Names held only by files of the list that the run renames can be freed in turn,
            // when the user agrees.
            if (composed.composedAll && plan.blockedCount == 0 &&
                host.Ask(Question::kReorder, RunTexts::SequentialReorder()) == Answer::kYes) {
                outcome = RunPlanned(host, pairs.OldPaths(), composed.newPaths, plan,
                                     RenameExecutor::Look::kNone, &composed.ids, record.get());
                planned = true;
                break;
            }
            host.Tell(RunTexts::SequentialStop(composed.outcome, composed.detail));
            return result;
        case Outcome::NumberOutOfRange:
        case Outcome::BadDate:
            host.Tell(RunTexts::SequentialStop(composed.outcome, composed.detail));
            return result;
        case Outcome::Composed:
            break;
    }
    if (RefuseUnrecorded(outcome.unrecorded, host)) return result;
    if (record) result.journal = record->Id();
    result.lastNumberText = std::move(composed.lastNumberText);
    pairs.SetRun(std::move(composed.newPaths), std::move(composed.ids));
    pairs.Record(outcome, RenameExecutor::Order::FirstToLast, planned);
    UndoRevert::Restamp(pairs);
    if (!outcome.executed) {
        host.Tell(_("リネームに失敗しました。"));
        return result;
    }

    // The new names, and what became of them. A rename the file system refused keeps its entry's
    // new name but is marked, and its count replaces the completion message.
    host.ListChanged();
    ReportRun(host, outcome, pairs.RenamedFileCount(), Text::Left::kUnsaid,
              DoneMessage(composed.undatedPhotos), context.tellDone || composed.undatedPhotos > 0);
    result.ran = true;
    result.cancelled = !outcome.untried.empty();
    return result;
}

}  // namespace Command
