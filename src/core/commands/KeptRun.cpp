#include "core/commands/KeptRun.h"

#include <utility>

#include "core/commands/Common.h"
#include "core/commands/RunTexts.h"
#include "core/journal/RunJournalRecord.h"
#include "core/list/BackgroundRelease.h"
#include "core/list/PairList.h"
#include "core/run/SourcesAhead.h"
#include "core/run/UndoRevert.h"

namespace Command {
namespace {

// What a journal made ready ahead is given for the files' identities, which it takes at Begin.
const std::vector<Platform::EntryId> kIdsLater;

// The list becomes the kept files: kept[k] is the former index of file k; ids their identities.
void KeepFiles(const RunContext& context, Host& host, const std::vector<std::size_t>& kept,
               std::vector<std::string> oldPaths, std::vector<std::string> newPaths,
               std::vector<Platform::EntryId> ids) {
    PairList& pairs = context.pairs;
    // A rename changes no file's date taken: the dates read stay with their files.
    std::vector<std::int64_t> taken;
    if (pairs.HasDatesTaken()) {
        taken.reserve(kept.size());
        for (const std::size_t k : kept)
            taken.push_back(pairs.DatesTaken()[k]);
    }
    // The lists the run replaces are freed off this thread: a million paths take tens of ms.
    PairList replaced = std::exchange(pairs, PairList{});
    if (context.release != nullptr) context.release->Drop(std::move(replaced));
    pairs.SetRun(std::move(oldPaths), std::move(newPaths), std::move(ids));
    if (!taken.empty()) pairs.SetDatesTaken(std::move(taken));
    host.ListReplaced({.keptFrom = &kept});
}

}  // namespace

RunOutcome RunKeptFiles(const RunContext& context, const KeptRun& run, Host& host) {
    PairList& pairs = context.pairs;
    KeptFiles kept;
    RenameExecutor::Outcome outcome;
    RenamePlanner::Plan ordered;  // when some new names are held by files the run moves on
    RenameExecutor::Order walk = run.order;
    if (context.filesMove) context.filesMove();
    // Declared after the lists it reads while they are checked.
    const auto record = NewRecord(context.journalFolder, run.kind);
    // The count of files is known only once planned: the progress counts the renames.
    host.Busy(Work::kRenaming, 0, [&](RunControl& control) {
        // The kept files are listed ones: they are looked at while the plan is made.
        RenameExecutor::SourcesAhead ahead(pairs.OldPaths(), pairs.TakeListings());
        kept = run.plan(pairs.OldPaths());
        // The journal is made ready while the pairs are checked and the files looked at, all only
        // reading the lists, in the order of pairs that cannot meet: mostly right, else it is made
        // again when the run begins.
        if (record && !kept.oldPaths.empty()) {
            record->PrepareMeanwhile({kept.oldPaths, kept.newPaths, kIdsLater, nullptr,
                                      RenameExecutor::WalkOrder(RenameExecutor::Pairing::kApart, run.order)});
        }
        // Pairs that cannot meet need no order, nor a look at each source as they go.
        const RenameExecutor::Pairing pairing = RenameExecutor::PairingOf(kept.oldPaths, kept.newPaths);
        const bool independent = pairing != RenameExecutor::Pairing::kMeeting;
        walk = RenameExecutor::WalkOrder(pairing, run.order);
        if (run.offerOrder && !independent && RenameExecutor::NeedsOrder(kept.oldPaths, kept.newPaths)) {
            ordered = RenameExecutor::PlanOnDisk(kept.oldPaths, kept.newPaths, RenameExecutor::RunId());
            if (ordered.reorderedCount > 0) return;
        }
        outcome = RenameExecutor::ExecuteSkippingCollisions(kept.oldPaths, kept.newPaths, walk, &control,
                                                            kept.unusable, record.get(), ahead, kept.indices,
                                                            independent);
    });
    bool planned = false;
    if (ordered.reorderedCount > 0) {
        planned =
            host.Ask(Question::kReorder, RunTexts::BatchReorder(ordered.reorderedCount)) == Answer::kYes;
        if (planned) {
            outcome = RunPlanned(host, kept.oldPaths, kept.newPaths, ordered, RenameExecutor::Look::kSources,
                                 nullptr, record.get());
        } else {
            host.Busy(Work::kRenaming, kept.oldPaths.size(), [&](RunControl& control) {
                outcome = RenameExecutor::ExecuteSkippingCollisions(kept.oldPaths, kept.newPaths, walk,
                                                                    &control, kept.unusable, record.get());
            });
        }
    }
    RunOutcome result;
    if (RefuseUnrecorded(outcome.unrecorded, host)) return result;
    // The executor found who the files are before its first rename.
    KeepFiles(context, host, kept.indices, std::move(kept.oldPaths), std::move(kept.newPaths),
              std::move(outcome.ids));
    if (pairs.Empty()) {
        result.end = RunOutcome::End::kNoFile;
        return result;
    }
    if (record) result.journal = record->Id();
    pairs.Record(outcome, walk, planned);
    UndoRevert::Restamp(pairs);
    ReportRun(host, outcome, pairs.RenamedFileCount(), run.collided, Text::Done(), context.tellDone);
    result.end = RunOutcome::End::kRan;
    return result;
}

}  // namespace Command
