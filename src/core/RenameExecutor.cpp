#include "core/RenameExecutor.h"

#include <algorithm>
#include <cassert>
#include <functional>

#include "core/FolderLook.h"
#include "core/MyFileOperation.h"
#include "core/RunControl.h"

namespace RenameExecutor {
namespace {

// What became of one pair.
enum class Step { kDone, kSkipped, kFailed };
using RenameFunction = std::function<Step(std::string_view, std::string_view)>;

void Rename(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths, std::size_t i,
            Outcome& outcome, const RenameFunction& rename, const std::vector<bool>& refused) {
    if (!refused.empty() && refused[i]) {
        outcome.failed.push_back(i);
        return;
    }
    if (oldPaths[i] == newPaths[i]) return;
    switch (rename(oldPaths[i], newPaths[i])) {
        case Step::kDone:
            break;
        case Step::kSkipped:
            outcome.skipped.push_back(i);
            break;
        case Step::kFailed:
            outcome.failed.push_back(i);
            break;
    }
}

// A rename that either went through or failed.
RenameFunction DoneOrFailed(MyFileOperation::BatchRenames& renames) {
    return [&renames](std::string_view from, std::string_view to) {
        return renames.Rename(from, to) ? Step::kDone : Step::kFailed;
    };
}

// Lists that are empty or out of step are refused whole: pairing them would rename the wrong files.
bool Executable(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths) {
    return !oldPaths.empty() && oldPaths.size() == newPaths.size();
}

bool IsNoName(std::string_view path) {
    const std::string_view name = MyFileOperation::SplitAtLastDelimiter(path).name;
    return name.empty() || name == "." || name == "..";
}

// Index of the step-th pair tried.
std::size_t PairAt(std::size_t step, std::size_t count, Order order) {
    return order == Order::FirstToLast ? step : count - 1 - step;
}

// Asked before the step-th pair: false when the control said stop; the pairs from this step on
// are then untried.
bool GoOn(RunControl* control, std::size_t step, std::size_t count, Order order, Outcome& outcome) {
    if (!StopAsked(control, step)) return true;
    for (std::size_t rest = step; rest < count; ++rest)
        outcome.untried.push_back(PairAt(rest, count, order));
    return false;
}

// Outcome indices are ascending whatever the order.
void SortOutcome(Outcome& outcome, Order order) {
    if (order == Order::FirstToLast) return;
    std::reverse(outcome.skipped.begin(), outcome.skipped.end());
    std::reverse(outcome.failed.begin(), outcome.failed.end());
    std::reverse(outcome.untried.begin(), outcome.untried.end());
}

// refused: empty, or a flag per pair that is not to be tried.
Outcome RenameAll(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths,
                  const RenameFunction& rename, Order order, RunControl* control,
                  const std::vector<bool>& refused = {}) {
    Outcome outcome;
    outcome.executed = Executable(oldPaths, newPaths);
    if (!outcome.executed) return outcome;
    const std::size_t count = oldPaths.size();
    for (std::size_t step = 0; step < count && GoOn(control, step, count, order, outcome); ++step)
        Rename(oldPaths, newPaths, PairAt(step, count, order), outcome, rename, refused);
    SortOutcome(outcome, order);
    return outcome;
}

}  // namespace

std::optional<std::size_t> FirstMissingFile(const std::vector<std::string>& paths) {
    MyFileOperation::FolderLook look(paths);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (look.At(paths[i]) != MyFileOperation::FolderLook::Kind::kFile) return i;
    }
    return std::nullopt;
}

Outcome ExecuteRenames(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths,
                       Order order, RunControl* control) {
    if (!Executable(oldPaths, newPaths)) return {};
    MyFileOperation::BatchRenames renames(&oldPaths);
    return RenameAll(oldPaths, newPaths, DoneOrFailed(renames), order, control);
}

Outcome ExecuteCheckedRenames(const std::vector<std::string>& oldPaths,
                              const std::vector<std::string>& newPaths, Order order, RunControl* control) {
    MyFileOperation::BatchRenames renames;
    return RenameAll(oldPaths, newPaths, DoneOrFailed(renames), order, control);
}

Outcome ExecuteSkippingCollisions(const std::vector<std::string>& oldPaths,
                                  const std::vector<std::string>& newPaths, Order order, RunControl* control,
                                  const std::vector<std::size_t>& refused) {
    if (!Executable(oldPaths, newPaths)) return {};
    std::vector<bool> isRefused;
    if (!refused.empty()) isRefused.resize(oldPaths.size());
    for (const std::size_t i : refused) {
        assert(i < oldPaths.size());
        isRefused[i] = true;
    }
    MyFileOperation::BatchRenames renames(&oldPaths);
    const auto rename = [&renames](std::string_view from, std::string_view to) {
        if (IsNoName(to)) return Step::kFailed;
        // The rename refuses an existing target by itself, so only a refusal needs a look at what
        // stands there: a free name costs no more than the look at the source and the rename.
        if (renames.Rename(from, to)) return Step::kDone;
        const bool taken = MyFileOperation::PathExists(to) && !MyFileOperation::SameFile(from, to);
        return taken ? Step::kSkipped : Step::kFailed;
    };
    return RenameAll(oldPaths, newPaths, rename, order, control, isRefused);
}

Outcome ExecuteSkippingCollisions(const std::vector<std::string>& oldPaths,
                                  const std::vector<std::string>& newPaths, Order order,
                                  RunControl* control) {
    return ExecuteSkippingCollisions(oldPaths, newPaths, order, control, {});
}

}  // namespace RenameExecutor
