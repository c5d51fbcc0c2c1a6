#include "core/run/UndoRevert.h"

#include <algorithm>
#include <cassert>
#include <string_view>

#include "core/list/FolderLook.h"
#include "core/list/MyFileOperation.h"
#include "core/run/RenameExecutor.h"
#include "core/text/Cp932.h"

namespace UndoRevert {
namespace {

// The identity the run recorded for entry i stands at its new path. An entry without one is never
// trusted.
bool HoldsItsFile(const PairList& pairs, std::size_t i, MyFileOperation::FolderLook& look) {
    return pairs.IdOf(i) != Platform::EntryId{} && look.Holds(pairs.NewPaths()[i], pairs.IdOf(i));
}

}  // namespace

bool Takes(const PairList& pairs, std::size_t i) {
    return pairs.StateOf(i) == (pairs.UndoUnfinished() ? PairList::State::kOwed : PairList::State::kRenamed);
}

std::vector<std::size_t> MissingFiles(const PairList& pairs) {
    std::vector<std::size_t> taken;
    for (std::size_t i = 0; i < pairs.Size(); ++i) {
        if (Takes(pairs, i)) taken.push_back(i);
    }
    // One look for all: the paths of a run share their folder.
    MyFileOperation::FolderLook look(
        taken.size(), [&](std::size_t k) { return std::string_view(pairs.NewPaths()[taken[k]]); });
    std::vector<std::size_t> missing;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pairs.Size(); ++i) {
        if (pairs.StateOf(i) == PairList::State::kMovedAway) {
            missing.push_back(i);
        } else if (next < taken.size() && taken[next] == i) {
            ++next;
            if (!HoldsItsFile(pairs, i, look)) missing.push_back(i);
        }
    }
    return missing;
}

void Restamp(PairList& pairs) {
    std::string_view folder;
    std::optional<Platform::Born> born;
    for (std::size_t i = 0; i < pairs.Size(); ++i) {
        if (!pairs.Renamed(i) || !pairs.IdOf(i).born.Bound()) continue;
        const std::string_view text = MyFileOperation::SplitAtLastDelimiter(pairs.NewPaths()[i]).folder;
        if (text != folder) {
            folder = text;
            const auto native = Cp932::ToUtf8(folder);
            born = native ? Platform::ListedBirth(*native) : std::nullopt;
        }
        if (born) pairs.SetBorn(i, *born);
    }
}

bool AnyToUndo(const PairList& pairs, const std::vector<std::size_t>& missing) {
    std::size_t taken = 0;
    for (std::size_t i = 0; i < pairs.Size(); ++i)
        taken += Takes(pairs, i) ? 1 : 0;
    std::size_t takenMissing = 0;
    for (const std::size_t i : missing)
        takenMissing += Takes(pairs, i) ? 1 : 0;
    return taken > takenMissing;
}

UndoPlan PlanUndo(const PairList& pairs, const std::vector<std::size_t>& missing, Sources sources) {
    UndoPlan plan;
    plan.sources = sources;
    std::size_t nextMissing = 0;
    for (std::size_t i = 0; i < pairs.Size(); ++i) {
        if (nextMissing < missing.size() && missing[nextMissing] == i) {
            ++nextMissing;
            continue;
        }
        if (Takes(pairs, i)) plan.entries.push_back(i);
    }
    // Backwards through the last command: a name it freed for a later file is free again by the
    // time the earlier file wants it back. An unfinished undo goes on the way it went.
    const RenameExecutor::Order last = pairs.LastOrder();
    if (pairs.UndoUnfinished()) {
        plan.order = last;
    } else {
        plan.order = last == RenameExecutor::Order::FirstToLast ? RenameExecutor::Order::LastToFirst
                                                                : RenameExecutor::Order::FirstToLast;
    }
    return plan;
}

std::optional<RenameExecutor::RecordedPairs> UndoBatch(const PairList& pairs, const UndoPlan& plan) {
    if (pairs.LastPlanned() || plan.entries.empty()) return std::nullopt;
    return RenameExecutor::RecordedPairs{pairs.NewPaths(), pairs.OldPaths(), pairs.Ids(), &plan.entries,
                                         plan.order};
}

RenameExecutor::PlannedOutcome ExecuteUndo(const PairList& pairs, const UndoPlan& plan, RunControl* control,
                                           RenameExecutor::Recorder* recorder) {
    const auto look =
        plan.sources == Sources::kJustSeen ? RenameExecutor::Look::kNone : RenameExecutor::Look::kSources;
    if (!pairs.LastPlanned()) {
        return {RenameExecutor::ExecuteEntries(pairs.NewPaths(), pairs.OldPaths(), plan.entries, pairs.Ids(),
                                               look, plan.order, control, recorder),
                {}};
    }
    // The run freed its names in turn (chains, swaps): so does the way back.
    std::vector<std::string> from;
    std::vector<std::string> to;
    std::vector<Platform::EntryId> ids;
    from.reserve(plan.entries.size());
    to.reserve(plan.entries.size());
    ids.reserve(plan.entries.size());
    for (const std::size_t e : plan.entries) {
        from.push_back(pairs.NewPaths()[e]);
        to.push_back(pairs.OldPaths()[e]);
        ids.push_back(pairs.IdOf(e));
    }
    const RenamePlanner::Plan ordered = RenameExecutor::PlanOnDisk(from, to, RenameExecutor::RunId());
    RenameExecutor::PlannedOutcome planned =
        RenameExecutor::ExecutePlan(from, to, ordered, look, control, &ids, recorder);
    // A file that cannot go back in turn is refused like any other, and owed to the next undo.
    RenameExecutor::Outcome& outcome = planned.outcome;
    outcome.failed.insert(outcome.failed.end(), outcome.skipped.begin(), outcome.skipped.end());
    outcome.skipped.clear();
    std::sort(outcome.failed.begin(), outcome.failed.end());
    return planned;
}

UndoResult ApplyUndo(PairList& pairs, const std::vector<std::size_t>& missing, const UndoPlan& plan,
                     const RenameExecutor::Outcome& outcome) {
    UndoResult result;
    std::vector<std::size_t> done;
    done.reserve(plan.entries.size());
    std::vector<std::size_t> owed;
    std::vector<std::size_t> refused;
    std::size_t nextFailed = 0;
    std::size_t nextUntried = 0;
    for (std::size_t k = 0; k < plan.entries.size(); ++k) {
        const std::size_t entry = plan.entries[k];
        if (nextFailed < outcome.failed.size() && outcome.failed[nextFailed] == k) {
            ++nextFailed;
            refused.push_back(entry);
            owed.push_back(entry);
        } else if (nextUntried < outcome.untried.size() && outcome.untried[nextUntried] == k) {
            ++nextUntried;
            owed.push_back(entry);
        } else {
            done.push_back(entry);
            // A pair with one path for both counts as done, but nothing was renamed.
            result.done += pairs.NewPaths()[entry] != pairs.OldPaths()[entry] ? 1 : 0;
        }
    }
    pairs.RecordUndo(done, owed, plan.order);
    pairs.RemoveMany(missing);
    // Numbered as after the drop: no refused entry is missing.
    std::size_t nextMissing = 0;
    for (const std::size_t entry : refused) {
        while (nextMissing < missing.size() && missing[nextMissing] < entry)
            ++nextMissing;
        result.refused.push_back(entry - nextMissing);
    }
    result.stopped = !outcome.untried.empty();
    return result;
}

std::vector<std::size_t> UndoAll(PairList& pairs, const std::vector<std::size_t>& missing, Sources sources) {
    const UndoPlan plan = PlanUndo(pairs, missing, sources);
    const RenameExecutor::Outcome outcome = ExecuteUndo(pairs, plan).outcome;
    return ApplyUndo(pairs, missing, plan, outcome).refused;
}

Revert RevertOne(PairList& pairs, std::size_t i) {
    assert(i < pairs.Size());
    switch (pairs.StateOf(i)) {
        case PairList::State::kUnrenamed:
            return Revert::kNotRenamed;
        case PairList::State::kMovedAway:
            return Revert::kMissing;
        case PairList::State::kRenamed:
        case PairList::State::kOwed:
            break;
    }
    const std::string& newPath = pairs.NewPaths()[i];
    const std::string& oldPath = pairs.OldPaths()[i];
    const std::optional<Platform::EntryId> found = MyFileOperation::FileIdentity(newPath);
    if (!found || pairs.IdOf(i) == Platform::EntryId{} || !Platform::IsSame(pairs.IdOf(i), *found))
        return Revert::kMissing;
    if (newPath == oldPath) return Revert::kDone;  // a run that left the name as it was
    // A link standing at old is another file, even when it points to this one.
    if (MyFileOperation::PathExists(oldPath) && !MyFileOperation::SameEntry(oldPath, newPath))
        return Revert::kTaken;
    if (!MyFileOperation::TryRenameFile(newPath, oldPath)) return Revert::kRefused;
    pairs.ExchangeOne(i);
    return Revert::kDone;
}

RevertResult RevertEach(PairList& pairs, const std::vector<std::size_t>& entries,
                        RenameExecutor::Recorder* recorder) {
    // The entries a rename may be tried for: up to the first that is refused without a look.
    std::size_t tried = 0;
    while (tried < entries.size() && pairs.Renamed(entries[tried]))
        ++tried;
    const std::vector<std::size_t> recorded(entries.begin(),
                                            entries.begin() + static_cast<std::ptrdiff_t>(tried));
    RevertResult result;
    if (recorder != nullptr && !recorded.empty()) {
        result.unrecorded = recorder->Begin(
            {pairs.NewPaths(), pairs.OldPaths(), pairs.Ids(), &recorded, RenameExecutor::Order::FirstToLast});
        if (result.unrecorded) return result;
    }
    for (; result.reverted < entries.size(); ++result.reverted) {
        result.stop = RevertOne(pairs, entries[result.reverted]);
        if (result.stop != Revert::kDone) break;
    }
    if (recorder != nullptr && !recorded.empty()) {
        RenameExecutor::Outcome outcome;
        outcome.executed = true;
        for (std::size_t k = result.reverted; k < tried; ++k)
            (k == result.reverted ? outcome.failed : outcome.untried).push_back(k);
        recorder->End(outcome);
    }
    return result;
}

}  // namespace UndoRevert
