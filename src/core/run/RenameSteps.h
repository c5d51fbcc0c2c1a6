#pragma once

// How a run goes through its pairs and what it makes of each: the order they are tried in, and
// whether a rename that did not go through counts as a collision or a failure. The executor takes
// these steps on the disk; the preview takes them on a model of it (DiskModel). Both go through the
// same code, so the preview tells row for row what the run will do.
//
// A Disk offers:
//   BatchRenames::Result Rename(from, to, const EntryId* expected)  the no-replace rename;
//     expected (optional): the file that must stand at from
//   bool Holds(from, const EntryId& id)  the file id still stands at from
//   bool Taken(from, to)                 something other than from's file stands at to

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

#include "core/list/MyFileOperation.h"
#include "core/run/RenameExecutor.h"
#include "core/run/RunControl.h"

namespace RenameExecutor {

// What became of one pair.
enum class Step { kDone, kSkipped, kFailed };

// Index of the step-th pair tried.
inline std::size_t PairAt(std::size_t step, std::size_t count, Order order) {
    return order == Order::FirstToLast ? step : count - 1 - step;
}

// A new path whose last component is empty, "." or ".." can never be a file's name.
inline bool IsNoName(std::string_view path) {
    const std::string_view name = MyFileOperation::SplitAtLastDelimiter(path).name;
    return name.empty() || name == "." || name == "..";
}

// A pair of the runs that skip and mark collisions: a name no file can take fails; a source that
// is gone is no collision whatever stands at the new name; a rename refused because another file
// holds the new name is a collision, one refused for any other reason a failure.
template <class Disk>
Step SkipStep(Disk& disk, std::string_view from, std::string_view to, const Platform::EntryId& id) {
    if (IsNoName(to)) return Step::kFailed;
    // The rename refuses an existing target by itself, so only a refusal needs a look at what
    // stands there: a free name costs no more than the look at the source and the rename.
    switch (disk.Rename(from, to, &id)) {
        case MyFileOperation::BatchRenames::Result::kDone:
            return Step::kDone;
        case MyFileOperation::BatchRenames::Result::kNoSource:
            return Step::kFailed;
        case MyFileOperation::BatchRenames::Result::kRefused:
            break;
    }
    // Only a source still there can have met another file at its new name.
    if (!disk.Holds(from, id)) return Step::kFailed;
    return disk.Taken(from, to) ? Step::kSkipped : Step::kFailed;
}

// A pair of a run whose sources were all seen a moment ago: renamed or failed.
template <class Disk>
Step CheckedStep(Disk& disk, std::string_view from, std::string_view to) {
    return disk.Rename(from, to, nullptr) == MyFileOperation::BatchRenames::Result::kDone ? Step::kDone
                                                                                          : Step::kFailed;
}

// Goes through count pairs in the order given: a refused pair (refused[k], when refused is not
// empty) fails untried, a pair whose paths are identical (same(k)) is left as it is and counts as
// done, any other pair is step(k). Asks control before each pair with the pairs tried so far: once
// it says stop, the pairs from there on are untried. The outcome's indices are ascending.
template <class Same, class StepAt>
Outcome Walk(std::size_t count, Order order, RunControl* control, const std::vector<bool>& refused,
             const Same& same, const StepAt& step) {
    Outcome outcome;
    outcome.executed = true;
    for (std::size_t done = 0; done < count; ++done) {
        if (StopAsked(control, done)) {
            for (std::size_t rest = done; rest < count; ++rest)
                outcome.untried.push_back(PairAt(rest, count, order));
            break;
        }
        const std::size_t k = PairAt(done, count, order);
        if (!refused.empty() && refused[k]) {
            outcome.failed.push_back(k);
            continue;
        }
        if (same(k)) continue;
        switch (step(k)) {
            case Step::kDone:
                break;
            case Step::kSkipped:
                outcome.skipped.push_back(k);
                break;
            case Step::kFailed:
                outcome.failed.push_back(k);
                break;
        }
    }
    if (order == Order::LastToFirst) {
        std::reverse(outcome.skipped.begin(), outcome.skipped.end());
        std::reverse(outcome.failed.begin(), outcome.failed.end());
        std::reverse(outcome.untried.begin(), outcome.untried.end());
    }
    return outcome;
}

}  // namespace RenameExecutor
