#include "core/UndoRevert.h"

#include <cassert>
#include <string_view>

#include "core/MyFileOperation.h"
#include "core/RenameExecutor.h"

namespace UndoRevert {

std::vector<std::size_t> MissingFiles(const PairList& pairs) {
    std::vector<std::string_view> renamedPaths;
    for (std::size_t i = 0; i < pairs.Size(); ++i) {
        if (pairs.Renamed(i)) renamedPaths.emplace_back(pairs.NewPaths()[i]);
    }
    // One look for all: the paths of a run share their folder.
    const std::vector<bool> exist = MyFileOperation::FilesExist(renamedPaths);
    std::vector<std::size_t> missing;
    std::size_t renamed = 0;
    for (std::size_t i = 0; i < pairs.Size(); ++i) {
        switch (pairs.StateOf(i)) {
            case PairList::State::kMovedAway:
                missing.push_back(i);
                break;
            case PairList::State::kRenamed:
                if (!exist[renamed++]) missing.push_back(i);
                break;
            case PairList::State::kUnrenamed:
                break;
        }
    }
    return missing;
}

bool AnyToUndo(const PairList& pairs, const std::vector<std::size_t>& missing) {
    std::size_t renamed = 0;
    for (std::size_t i = 0; i < pairs.Size(); ++i)
        renamed += pairs.Renamed(i) ? 1 : 0;
    std::size_t renamedMissing = 0;
    for (const std::size_t i : missing)
        renamedMissing += pairs.Renamed(i) ? 1 : 0;
    return renamed > renamedMissing;
}

UndoPlan PlanUndo(const PairList& pairs, const std::vector<std::size_t>& missing, Sources sources) {
    UndoPlan plan;
    plan.sources = sources;
    // The renamed entries that are not missing, each from where it stands now back to where it
    // stood, numbered as once the missing ones are gone.
    std::size_t nextMissing = 0;
    for (std::size_t i = 0; i < pairs.Size(); ++i) {
        if (nextMissing < missing.size() && missing[nextMissing] == i) {
            ++nextMissing;
            continue;
        }
        if (!pairs.Renamed(i)) continue;
        plan.entries.push_back(i - nextMissing);
        plan.from.push_back(pairs.NewPaths()[i]);
        plan.to.push_back(pairs.OldPaths()[i]);
    }
    // Backwards through the last command: a name it freed for a later file is free again by the
    // time the earlier file wants it back.
    plan.order = pairs.LastOrder() == RenameExecutor::Order::FirstToLast ? RenameExecutor::Order::LastToFirst
                                                                         : RenameExecutor::Order::FirstToLast;
    return plan;
}

RenameExecutor::Outcome ExecuteUndo(const UndoPlan& plan, RunControl* control) {
    return plan.sources == Sources::kJustSeen
               ? RenameExecutor::ExecuteCheckedRenames(plan.from, plan.to, plan.order, control)
               : RenameExecutor::ExecuteRenames(plan.from, plan.to, plan.order, control);
}

UndoResult ApplyUndo(PairList& pairs, const UndoPlan& plan, const RenameExecutor::Outcome& outcome) {
    UndoResult result;
    std::vector<std::size_t> done;
    done.reserve(plan.entries.size());
    std::vector<std::size_t> untried;
    std::size_t nextFailed = 0;
    std::size_t nextUntried = 0;
    for (std::size_t k = 0; k < plan.entries.size(); ++k) {
        if (nextFailed < outcome.failed.size() && outcome.failed[nextFailed] == k) {
            ++nextFailed;
            result.refused.push_back(plan.entries[k]);
        } else if (nextUntried < outcome.untried.size() && outcome.untried[nextUntried] == k) {
            ++nextUntried;
            untried.push_back(plan.entries[k]);
        } else {
            done.push_back(plan.entries[k]);
            // A pair with one path for both counts as done, but nothing was renamed.
            result.done += plan.from[k] != plan.to[k] ? 1 : 0;
        }
    }
    pairs.RecordExchanged(done, untried, plan.order);
    result.stopped = !untried.empty();
    return result;
}

std::vector<std::size_t> UndoAll(PairList& pairs, const std::vector<std::size_t>& missing, Sources sources) {
    const UndoPlan plan = PlanUndo(pairs, missing, sources);
    const RenameExecutor::Outcome outcome = ExecuteUndo(plan);
    pairs.RemoveMany(missing);
    return ApplyUndo(pairs, plan, outcome).refused;
}

Revert RevertOne(PairList& pairs, std::size_t i) {
    assert(i < pairs.Size());
    switch (pairs.StateOf(i)) {
        case PairList::State::kUnrenamed:
            return Revert::kNotRenamed;
        case PairList::State::kMovedAway:
            return Revert::kMissing;
        case PairList::State::kRenamed:
            break;
    }
    const std::string& newPath = pairs.NewPaths()[i];
    const std::string& oldPath = pairs.OldPaths()[i];
    if (!MyFileOperation::FileExists(newPath)) return Revert::kMissing;
    if (newPath == oldPath) return Revert::kDone;  // a run that left the name as it was
    // A link standing at old is another file, even when it points to this one.
    if (MyFileOperation::PathExists(oldPath) && !MyFileOperation::SameEntry(oldPath, newPath))
        return Revert::kTaken;
    if (!MyFileOperation::TryRenameFile(newPath, oldPath)) return Revert::kRefused;
    pairs.ExchangeOne(i);
    return Revert::kDone;
}

}  // namespace UndoRevert
