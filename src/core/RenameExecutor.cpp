#include "core/RenameExecutor.h"

#include <algorithm>
#include <cassert>
#include <string_view>

#include "core/FolderLook.h"
#include "core/MyFileOperation.h"
#include "core/RunControl.h"

namespace RenameExecutor {
namespace {

using MyFileOperation::BatchRenames;

// What became of one pair.
enum class Step { kDone, kSkipped, kFailed };

// The pairs of a batch: the k-th renames From(k) to To(k), entry k of the lists or, with entries,
// entry entries[k].
class Batch {
public:
    Batch(const std::vector<std::string>& from, const std::vector<std::string>& to,
          const std::vector<std::size_t>* entries = nullptr)
        : from_(from), to_(to), entries_(entries) {}
    std::size_t Size() const { return entries_ != nullptr ? entries_->size() : from_.size(); }
    std::size_t Entry(std::size_t k) const { return entries_ != nullptr ? (*entries_)[k] : k; }
    const std::string& From(std::size_t k) const { return from_[Entry(k)]; }
    const std::string& To(std::size_t k) const { return to_[Entry(k)]; }
    // Renames that look at each source in its folder's entries, read once for all.
    std::unique_ptr<BatchRenames> LookingRenames() const {
        return std::make_unique<BatchRenames>(Size(),
                                              [this](std::size_t k) { return std::string_view(From(k)); });
    }

private:
    const std::vector<std::string>& from_;
    const std::vector<std::string>& to_;
    const std::vector<std::size_t>* entries_;
};

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

// rename(k) carries out the k-th pair, one whose paths differ. refused: empty, or a flag per pair
// that is not to be tried.
template <class RenameStep>
Outcome RenameAll(const Batch& batch, const RenameStep& rename, Order order, RunControl* control,
                  const std::vector<bool>& refused = {}) {
    Outcome outcome;
    outcome.executed = true;
    const std::size_t count = batch.Size();
    for (std::size_t step = 0; step < count && GoOn(control, step, count, order, outcome); ++step) {
        const std::size_t k = PairAt(step, count, order);
        if (!refused.empty() && refused[k]) {
            outcome.failed.push_back(k);
            continue;
        }
        if (batch.From(k) == batch.To(k)) continue;
        switch (rename(k)) {
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
    SortOutcome(outcome, order);
    return outcome;
}

// Runs the batch under its recorder (optional): nothing is tried unless the recorder took it first.
template <class Run>
Outcome Recorded(Recorder* recorder, const RecordedPairs& pairs, const Run& run) {
    if (recorder != nullptr) {
        if (const std::error_code ec = recorder->Begin(pairs)) {
            Outcome refused;
            refused.unrecorded = ec;
            return refused;
        }
    }
    Outcome outcome = run();
    if (recorder != nullptr) recorder->End(outcome);
    return outcome;
}

// The identity of every source before the first rename.
std::vector<Platform::EntryId> Identify(const Batch& batch, BatchRenames& renames) {
    std::vector<Platform::EntryId> ids;
    ids.reserve(batch.Size());
    for (std::size_t k = 0; k < batch.Size(); ++k)
        ids.push_back(renames.SourceId(batch.From(k)));
    return ids;
}

Step DoneOrFailed(BatchRenames::Result result) {
    return result == BatchRenames::Result::kDone ? Step::kDone : Step::kFailed;
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
    const Batch batch(oldPaths, newPaths);
    const auto renames = batch.LookingRenames();
    std::vector<Platform::EntryId> ids = Identify(batch, *renames);
    Outcome outcome = RenameAll(
        batch,
        [&](std::size_t k) { return DoneOrFailed(renames->Rename(oldPaths[k], newPaths[k], &ids[k])); },
        order, control);
    outcome.ids = std::move(ids);
    return outcome;
}

Outcome ExecuteCheckedRenames(const std::vector<std::string>& oldPaths,
                              const std::vector<std::string>& newPaths, Order order, RunControl* control) {
    return ExecuteCheckedRenames(oldPaths, newPaths, {}, order, control, nullptr);
}

Outcome ExecuteCheckedRenames(const std::vector<std::string>& oldPaths,
                              const std::vector<std::string>& newPaths,
                              const std::vector<Platform::EntryId>& ids, Order order, RunControl* control,
                              Recorder* recorder) {
    if (!Executable(oldPaths, newPaths)) return {};
    assert((recorder == nullptr || ids.size() == oldPaths.size()) && "a recorded file is known by its id");
    BatchRenames renames;
    return Recorded(recorder, {oldPaths, newPaths, ids, nullptr, order}, [&] {
        return RenameAll(
            Batch(oldPaths, newPaths),
            [&](std::size_t k) { return DoneOrFailed(renames.Rename(oldPaths[k], newPaths[k])); }, order,
            control);
    });
}

Outcome ExecuteSkippingCollisions(const std::vector<std::string>& oldPaths,
                                  const std::vector<std::string>& newPaths, Order order, RunControl* control,
                                  const std::vector<std::size_t>& refused, Recorder* recorder) {
    if (!Executable(oldPaths, newPaths)) return {};
    std::vector<bool> isRefused;
    if (!refused.empty()) isRefused.resize(oldPaths.size());
    for (const std::size_t i : refused) {
        assert(i < oldPaths.size());
        isRefused[i] = true;
    }
    const Batch batch(oldPaths, newPaths);
    const auto renames = batch.LookingRenames();
    std::vector<Platform::EntryId> ids = Identify(batch, *renames);
    const auto rename = [&](std::size_t k) {
        const std::string& from = oldPaths[k];
        const std::string& to = newPaths[k];
        if (IsNoName(to)) return Step::kFailed;
        // The rename refuses an existing target by itself, so only a refusal needs a look at what
        // stands there: a free name costs no more than the look at the source and the rename.
        switch (renames->Rename(from, to, &ids[k])) {
            case BatchRenames::Result::kDone:
                return Step::kDone;
            case BatchRenames::Result::kNoSource:
                return Step::kFailed;
            case BatchRenames::Result::kRefused:
                break;
        }
        // Only a source still there can have met another file at its new name: one that is gone
        // since it was looked at is a failure, whatever stands at the new name.
        if (MyFileOperation::FileIdentity(from) != ids[k]) return Step::kFailed;
        const bool taken = MyFileOperation::PathExists(to) && !MyFileOperation::SameFile(from, to);
        return taken ? Step::kSkipped : Step::kFailed;
    };
    Outcome outcome = Recorded(recorder, {oldPaths, newPaths, ids, nullptr, order},
                               [&] { return RenameAll(batch, rename, order, control, isRefused); });
    outcome.ids = std::move(ids);
    return outcome;
}

Outcome ExecuteSkippingCollisions(const std::vector<std::string>& oldPaths,
                                  const std::vector<std::string>& newPaths, Order order,
                                  RunControl* control) {
    return ExecuteSkippingCollisions(oldPaths, newPaths, order, control, {}, nullptr);
}

Outcome ExecuteEntries(const std::vector<std::string>& from, const std::vector<std::string>& to,
                       const std::vector<std::size_t>& entries, const std::vector<Platform::EntryId>& ids,
                       Look look, Order order, RunControl* control, Recorder* recorder) {
    if (entries.empty()) return {};
    const Batch batch(from, to, &entries);
    return Recorded(recorder, {from, to, ids, &entries, order}, [&] {
        if (look == Look::kNone) {
            BatchRenames renames;
            return RenameAll(
                batch,
                [&](std::size_t k) { return DoneOrFailed(renames.Rename(batch.From(k), batch.To(k))); },
                order, control);
        }
        const auto renames = batch.LookingRenames();
        return RenameAll(
            batch,
            [&](std::size_t k) {
                return DoneOrFailed(renames->Rename(batch.From(k), batch.To(k), &ids[batch.Entry(k)]));
            },
            order, control);
    });
}

}  // namespace RenameExecutor
