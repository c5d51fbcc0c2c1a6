#include "core/run/RenameExecutor.h"

#include <algorithm>
#include <cassert>
#include <string_view>

#include "core/list/FolderLook.h"
#include "core/list/MyFileOperation.h"
#include "core/run/RenameSteps.h"
#include "core/run/RunControl.h"
#include "core/run/SourcesAhead.h"

namespace RenameExecutor {
namespace {

using MyFileOperation::BatchRenames;

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

// rename(k) carries out the k-th pair, one whose paths differ. refused: empty, or a flag per pair
// that is not to be tried.
template <class RenameStep>
Outcome RenameAll(const Batch& batch, const RenameStep& rename, Order order, RunControl* control,
                  const std::vector<bool>& refused = {}) {
    // Each rename's own work in the kernel pushes the next pair's paths out of the cache: they are
    // fetched while this pair is renamed.
    const std::size_t count = batch.Size();
    const auto renameFetchingNext = [&](std::size_t k) {
        const std::size_t next = order == Order::FirstToLast ? k + 1 : k - 1;
        if (next < count) {
            __builtin_prefetch(batch.From(next).data());
            __builtin_prefetch(batch.To(next).data());
        }
        return rename(k);
    };
    return Walk(
        count, order, control, refused, [&batch](std::size_t k) { return batch.From(k) == batch.To(k); },
        renameFetchingNext);
}

// The disk the steps meet: renames through the batch, and looks at the paths.
class RealDisk {
public:
    explicit RealDisk(BatchRenames& renames) : renames_(renames) {}
    BatchRenames::Result Rename(std::string_view from, std::string_view to, const Platform::EntryId* id) {
        return renames_.Rename(from, to, id);
    }
    static bool Holds(std::string_view from, const Platform::EntryId& id) {
        const auto found = MyFileOperation::FileIdentity(from);
        return found && Platform::IsSame(id, *found);
    }
    static bool Taken(std::string_view from, std::string_view to) {
        return MyFileOperation::PathExists(to) && !MyFileOperation::SameFile(from, to);
    }

protected:
    BatchRenames& renames_;
};

// The disk for the pairs of a batch none of whose renames can change what stands at another pair's
// old path, where the source's folder was listed: the look at the source could only find what was
// seen there before the first rename, so the rename goes without it.
class ListedDisk : public RealDisk {
public:
    using RealDisk::RealDisk;
    BatchRenames::Result Rename(std::string_view from, std::string_view to, const Platform::EntryId* id) {
        assert(id != nullptr && "a source seen before the first rename");
        if (*id == Platform::EntryId{}) return BatchRenames::Result::kNoSource;
        return renames_.RenameListed(from, to);
    }
};

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

// The identity of every source before the first rename: seen(k) when it saw the k-th already.
template <class Seen>
std::vector<Platform::EntryId> Identify(const Batch& batch, BatchRenames& renames, const Seen& seen) {
    std::vector<Platform::EntryId> ids;
    ids.reserve(batch.Size());
    for (std::size_t k = 0; k < batch.Size(); ++k) {
        const std::optional<Platform::EntryId> id = seen(k);
        ids.push_back(id ? *id : renames.SourceId(batch.From(k)));
    }
    return ids;
}

std::vector<Platform::EntryId> Identify(const Batch& batch, BatchRenames& renames) {
    return Identify(batch, renames, [](std::size_t) { return std::optional<Platform::EntryId>(); });
}

// The skipping run over renames that look at the sources, which seen(k) may have identified;
// independent: what Independent tells of the pairs.
template <class Seen>
Outcome SkipCollisions(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths,
                       Order order, RunControl* control, const std::vector<std::size_t>& refused,
                       Recorder* recorder, BatchRenames& renames, const Seen& seen, bool independent) {
    if (!Executable(oldPaths, newPaths)) return {};
    std::vector<bool> isRefused;
    if (!refused.empty()) isRefused.resize(oldPaths.size());
    for (const std::size_t i : refused) {
        assert(i < oldPaths.size());
        isRefused[i] = true;
    }
    const Batch batch(oldPaths, newPaths);
    std::vector<Platform::EntryId> ids = Identify(batch, renames, seen);
    RealDisk disk(renames);
    ListedDisk listed(renames);
    const auto rename = [&](std::size_t k) {
        // A look from a listing costs about a fifth of the rename on tmpfs; one that looks at the
        // file itself still goes.
        if (independent && renames.Listed(oldPaths[k]))
            return SkipStep(listed, oldPaths[k], newPaths[k], ids[k]);
        return SkipStep(disk, oldPaths[k], newPaths[k], ids[k]);
    };
    Outcome outcome = Recorded(recorder, {oldPaths, newPaths, ids, nullptr, order},
                               [&] { return RenameAll(batch, rename, order, control, isRefused); });
    outcome.ids = std::move(ids);
    return outcome;
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
    RealDisk disk(renames);
    return Recorded(recorder, {oldPaths, newPaths, ids, nullptr, order}, [&] {
        return RenameAll(
            Batch(oldPaths, newPaths),
            [&](std::size_t k) { return CheckedStep(disk, oldPaths[k], newPaths[k]); }, order, control);
    });
}

Outcome ExecuteSkippingCollisions(const std::vector<std::string>& oldPaths,
                                  const std::vector<std::string>& newPaths, Order order, RunControl* control,
                                  const std::vector<std::size_t>& refused, Recorder* recorder) {
    if (!Executable(oldPaths, newPaths)) return {};
    const auto renames = Batch(oldPaths, newPaths).LookingRenames();
    return SkipCollisions(
        oldPaths, newPaths, order, control, refused, recorder, *renames,
        [](std::size_t) { return std::optional<Platform::EntryId>(); }, Independent(oldPaths, newPaths));
}

Outcome ExecuteSkippingCollisions(const std::vector<std::string>& oldPaths,
                                  const std::vector<std::string>& newPaths, Order order, RunControl* control,
                                  const std::vector<std::size_t>& refused, Recorder* recorder,
                                  SourcesAhead& ahead, const std::vector<std::size_t>& listed,
                                  std::optional<bool> independent) {
    if (!Executable(oldPaths, newPaths)) return {};
    if (!independent) independent = Independent(oldPaths, newPaths);
    std::unique_ptr<BatchRenames> renames = ahead.Take();
    if (!renames) renames = Batch(oldPaths, newPaths).LookingRenames();
    return SkipCollisions(
        oldPaths, newPaths, order, control, refused, recorder, *renames,
        [&](std::size_t k) -> std::optional<Platform::EntryId> {
            if (k >= listed.size()) return std::nullopt;
            return ahead.IdOf(listed[k], oldPaths[k]);
        },
        *independent);
}

SourcesAhead::SourcesAhead(const std::vector<std::string>& paths, MyFileOperation::FolderListings listings)
    : paths_(paths),
      renames_(std::make_unique<BatchRenames>(
          paths.size(), [&paths](std::size_t i) { return std::string_view(paths[i]); }, std::move(listings))),
      // Each folder is read at the first look into it.
      reader_([this] {
          // A listing of a hundred thousand names is looked into at random: each look is fetched
          // a few paths ahead.
          constexpr std::size_t kAhead = 16;
          ids_.reserve(paths_.size());
          for (std::size_t i = 0; i < paths_.size(); ++i) {
              if (i + kAhead < paths_.size()) renames_->ExpectSource(paths_[i + kAhead]);
              ids_.push_back(renames_->SourceId(paths_[i]));
          }
      }) {}

SourcesAhead::~SourcesAhead() {
    if (reader_.joinable()) reader_.join();
}

std::unique_ptr<BatchRenames> SourcesAhead::Take() {
    if (reader_.joinable()) reader_.join();
    return std::move(renames_);
}

std::optional<Platform::EntryId> SourcesAhead::IdOf(std::size_t i, std::string_view oldPath) const {
    if (i >= ids_.size() || paths_[i] != oldPath) return std::nullopt;
    return ids_[i];
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
