// Carrying out a plan of renames that depend on each other: chains and cycles, each taken back
// whole when one of its steps is refused.
#include <algorithm>
#include <cassert>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/list/FolderLook.h"
#include "core/list/MyFileOperation.h"
#include "core/platform/Heap.h"
#include "core/run/RenameExecutor.h"
#include "core/run/RunControl.h"

namespace RenameExecutor {
namespace {

using MyFileOperation::BatchRenames;
using RenamePlanner::Move;
using RenamePlanner::Step;

std::function<void(std::size_t)>& StepHook() {
    static std::function<void(std::size_t)> hook;
    return hook;
}

// No looks announced: no folder is read whole, each is only opened for what it tells of itself.
const std::vector<std::string_view> kNoLooks;

// The folders of a batch as they stand. The planner asks only about new names no file of the
// batch holds, mostly few (a chain's free end): they are looked at one by one rather than by
// reading each folder, which the executor reads again anyway.
class DiskFolders final : public RenamePlanner::Folders {
public:
    DiskFolders() : look_(kNoLooks) {}

    bool FoldsCase(std::string_view folder) const override { return look_.FoldsCase(folder); }
    bool Holds(std::string_view folder, std::string_view name) const override {
        path_.assign(folder).append(name);
        return look_.At(path_) != MyFileOperation::FolderLook::Kind::kNone;
    }

private:
    mutable MyFileOperation::FolderLook look_;
    mutable std::string path_;
};

// The same folders as far as their names' letter case goes, holding nothing else: enough to tell
// which new names the batch's own files hold.
class FoldingOnly final : public RenamePlanner::Folders {
public:
    FoldingOnly() : look_(kNoLooks) {}

    bool FoldsCase(std::string_view folder) const override { return look_.FoldsCase(folder); }
    bool Holds(std::string_view /*folder*/, std::string_view /*name*/) const override { return false; }

private:
    mutable MyFileOperation::FolderLook look_;
};

// One group of the plan on disk: its steps, and what became of its files.
class GroupRun {
public:
    GroupRun(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths,
             const RenamePlanner::Plan& plan, const RenamePlanner::Group& group)
        : oldPaths_(oldPaths), newPaths_(newPaths), plan_(plan), group_(group) {
        if (group.temporary != RenamePlanner::kNoTemporary) temporary_ = plan.TemporaryOf(group, oldPaths);
    }

    // Takes every step; false when one was refused and the steps before it were taken back.
    // expected: the identity each old path must hold, or null. present (instead of expected): per
    // pair, whether the listing of the sources' folders holds the file at its old path.
    bool Run(BatchRenames& renames, const std::vector<Platform::EntryId>* expected,
             const std::vector<bool>* present, PlannedOutcome& result) {
        const std::size_t end = group_.first + group_.count;
        for (std::size_t s = group_.first; s < end; ++s) {
            if (StepHook()) StepHook()(s);
            const Step step = plan_.steps[s];
            BatchRenames::Result done = BatchRenames::Result::kNoSource;
            if (present != nullptr) {
                if (step.move == Move::kHome || (*present)[step.pair])
                    done = renames.RenameListed(From(step), To(step));
            } else {
                const Platform::EntryId* id =
                    expected != nullptr && step.move != Move::kHome ? &(*expected)[step.pair] : nullptr;
                done = renames.Rename(From(step), To(step), id);
            }
            if (done != BatchRenames::Result::kDone) {
                TakeBack(renames, s, present != nullptr, result);
                return false;
            }
        }
        return true;
    }
    // The files the group renames.
    std::size_t Files() const {
        return group_.count - (group_.temporary == RenamePlanner::kNoTemporary ? 0 : 1);
    }
    template <class Each>
    void ForEachFile(const Each& each) const {
        for (std::size_t s = group_.first; s < group_.first + group_.count; ++s) {
            if (plan_.steps[s].move != Move::kHome) each(plan_.steps[s].pair);
        }
    }

private:
    const std::string& From(const Step& step) const {
        return step.move == Move::kHome ? temporary_ : oldPaths_[step.pair];
    }
    const std::string& To(const Step& step) const {
        return step.move == Move::kAside ? temporary_ : newPaths_[step.pair];
    }

    // Step refused was refused: the steps before it go back, last first. A step that cannot go
    // back leaves its file where it is: at its new name (renamed after all) or, for the file set
    // aside, under the temporary name (stranded). Every other file of the group keeps its old name.
    // listed: the steps went without looks (Run's present).
    void TakeBack(BatchRenames& renames, std::size_t refused, bool listed, PlannedOutcome& result) {
        Outcome& outcome = result.outcome;
        bool homeStays = false;  // the file set aside reached its new name and stays there
        for (std::size_t s = refused; s-- > group_.first;) {
            const Step step = plan_.steps[s];
            if (step.move == Move::kAside && homeStays) continue;
            const BatchRenames::Result back =
                listed ? renames.RenameListed(To(step), From(step)) : renames.Rename(To(step), From(step));
            if (back == BatchRenames::Result::kDone) continue;
            if (step.move == Move::kAside) {
                result.stranded.push_back({step.pair, temporary_, {}, oldPaths_[step.pair]});
                outcome.failed.push_back(step.pair);
            }
            if (step.move == Move::kHome) homeStays = true;
            stays_.push_back(step.pair);
        }
        std::sort(stays_.begin(), stays_.end());
        ForEachFile([&](std::size_t pair) {
            if (!std::binary_search(stays_.begin(), stays_.end(), pair)) outcome.failed.push_back(pair);
        });
    }

    const std::vector<std::string>& oldPaths_;
    const std::vector<std::string>& newPaths_;
    const RenamePlanner::Plan& plan_;
    const RenamePlanner::Group& group_;
    std::string temporary_;
    std::vector<std::size_t> stays_;  // files whose way back failed, at their new names or stranded
};

// Per pair, whether the file to rename stands at its old path (ids: the file each must be; null
// for any file), as the listings of the sources' folders tell; nullopt when a folder is not
// listed. Each old path is the source of one step and no step before it names it (the planner
// moves a file before its name is taken and keeps groups apart), so what a look at a step could
// find is what the listing held before the first step: the steps need no look of their own.
std::optional<std::vector<bool>> Present(BatchRenames& renames, const std::vector<std::string>& oldPaths,
                                         const RenamePlanner::Plan& plan,
                                         const std::vector<Platform::EntryId>* ids,
                                         const std::vector<Platform::EntryId>& seen) {
    std::vector<bool> present(oldPaths.size());
    for (const Step& step : plan.steps) {
        if (step.move == Move::kHome) continue;
        const std::string& path = oldPaths[step.pair];
        if (!renames.Listed(path)) return std::nullopt;
        present[step.pair] = ids != nullptr ? renames.SourceHolds(path, (*ids)[step.pair])
                                            : seen[step.pair] != Platform::EntryId{};
    }
    return present;
}

// The file each cycle sets aside, and where.
std::vector<Stranded> TemporariesOf(const std::vector<std::string>& oldPaths, const RenamePlanner::Plan& plan,
                                    const std::vector<Platform::EntryId>& ids) {
    std::vector<Stranded> names;
    names.reserve(plan.cycleCount);
    for (const RenamePlanner::Group& group : plan.groups) {
        if (group.temporary == RenamePlanner::kNoTemporary) continue;
        const std::size_t pair = plan.steps[group.first].pair;
        names.push_back({pair, plan.TemporaryOf(group, oldPaths), ids[pair], {}});
    }
    return names;
}

}  // namespace

void SetStepHookForTests(std::function<void(std::size_t step)> hook) {
    StepHook() = std::move(hook);
}

namespace {

// Whether two of the folder texts name one folder (one holds "." or a link): the same file then
// stands at two old paths that differ as texts.
bool OneFolderTwice(const std::unordered_set<std::string_view>& texts) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> seen;
    seen.reserve(texts.size());
    for (const std::string_view text : texts) {
        Platform::EntryId id;
        if (MyFileOperation::FolderLook::LookAtPath(text, &id) != MyFileOperation::FolderLook::Kind::kFolder)
            continue;
        seen.emplace_back(id.file.device, id.file.inode);
    }
    std::sort(seen.begin(), seen.end());
    return std::adjacent_find(seen.begin(), seen.end()) != seen.end();
}

// How the pairs of a batch meet each other, where every folder tells names apart by their letter
// case (nullopt where a folder does not): whether some pair's new path is another pair's old path,
// and whether an old path is listed twice; with newPathsToo, where neither, whether a new path is
// given twice. Only a batch of the first kind can need an order, and most batches are of none: one
// hashed look per pair tells it for far less than a plan.
struct Meeting {
    bool newHeld = false;
    bool oldTwice = false;
    bool newTwice = false;
};
std::optional<Meeting> MeetingOf(const std::vector<std::string>& oldPaths,
                                 const std::vector<std::string>& newPaths, const FoldingOnly& folders,
                                 bool newPathsToo = false) {
    std::string_view folder;
    std::unordered_set<std::string_view> texts;
    for (const std::string& path : oldPaths) {
        const std::string_view current = MyFileOperation::SplitAtLastDelimiter(path).folder;
        if (current == folder) continue;
        folder = current;
        if (folders.FoldsCase(folder)) return std::nullopt;
        texts.insert(folder);
    }
    if (texts.size() > 1 && OneFolderTwice(texts)) return std::nullopt;
    Meeting meeting;
    // Open addressing over the old paths' indices (plus one; 0 is free), each beside the upper half
    // of its hash: a path is read again only where the halves agree, not at every slot passed.
    // Paths of one folder differ in their names, which are all that is hashed.
    const std::size_t size = Platform::TableSlots(oldPaths.size());
    std::vector<std::uint64_t> slots(size, 0);
    const auto hash = [](std::string_view path) {
        return static_cast<std::uint64_t>(
            std::hash<std::string_view>()(MyFileOperation::SplitAtLastDelimiter(path).name));
    };
    const auto tag = [](std::uint64_t h) { return h >> 32 << 32; };
    // The hashes first, so that each slot is fetched into the cache a few paths ahead of its look:
    // a table of a hundred thousand paths otherwise waits for memory at nearly every one.
    constexpr std::size_t kAhead = 16;
    std::vector<std::uint64_t> hashes(std::max(oldPaths.size(), newPaths.size()));
    // Puts every path into the empty table; true when one is there twice.
    const auto fill = [&](const std::vector<std::string>& paths) {
        bool twice = false;
        for (std::size_t i = 0; i < paths.size(); ++i) {
            if (i + kAhead < paths.size())
                __builtin_prefetch(&slots[Platform::SlotOf(hashes[i + kAhead], size)]);
            const std::uint64_t h = hashes[i];
            std::size_t at = Platform::SlotOf(h, size);
            for (; slots[at] != 0; at = Platform::NextSlot(at, size)) {
                if (tag(slots[at]) == tag(h) && paths[(slots[at] & 0xFFFFFFFFu) - 1] == paths[i])
                    twice = true;
            }
            slots[at] = tag(h) | (i + 1);
        }
        return twice;
    };
    for (std::size_t i = 0; i < oldPaths.size(); ++i)
        hashes[i] = hash(oldPaths[i]);
    meeting.oldTwice = fill(oldPaths);
    for (std::size_t k = 0; k < newPaths.size(); ++k)
        hashes[k] = hash(newPaths[k]);
    for (std::size_t k = 0; k < newPaths.size() && !meeting.newHeld; ++k) {
        if (k + kAhead < newPaths.size())
            __builtin_prefetch(&slots[Platform::SlotOf(hashes[k + kAhead], size)]);
        const std::uint64_t h = hashes[k];
        for (std::size_t at = Platform::SlotOf(h, size); slots[at] != 0; at = Platform::NextSlot(at, size)) {
            const std::size_t i = (slots[at] & 0xFFFFFFFFu) - 1;
            if (tag(slots[at]) == tag(h) && i != k && oldPaths[i] == newPaths[k]) {
                meeting.newHeld = true;
                break;
            }
        }
    }
    if (newPathsToo && !meeting.newHeld && !meeting.oldTwice) {
        assert(newPaths.size() <= oldPaths.size() && "the table has room for the old paths");
        std::fill(slots.begin(), slots.end(), 0);
        meeting.newTwice = fill(newPaths);
    }
    return meeting;
}

}  // namespace

bool NeedsOrder(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths) {
    // A file outside the batch only ever blocks pairs, which then need no order: folders that hold
    // nothing else tell no fewer pairs than the disk, without reading them.
    const FoldingOnly folders;
    if (const std::optional<Meeting> meeting = MeetingOf(oldPaths, newPaths, folders);
        meeting && !meeting->newHeld)
        return false;
    return RenamePlanner::MakePlan(oldPaths, newPaths, folders, "0").reorderedCount > 0;
}

bool Independent(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths) {
    const std::optional<Meeting> meeting = MeetingOf(oldPaths, newPaths, FoldingOnly());
    return meeting && !meeting->newHeld && !meeting->oldTwice;
}

Pairing PairingOf(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths) {
    if (oldPaths.size() != newPaths.size()) return Pairing::kMeeting;
    const std::optional<Meeting> meeting = MeetingOf(oldPaths, newPaths, FoldingOnly(), true);
    if (!meeting || meeting->newHeld || meeting->oldTwice) return Pairing::kMeeting;
    return meeting->newTwice ? Pairing::kIndependent : Pairing::kApart;
}

Order WalkOrder(Pairing pairing, Order wanted) {
    return pairing == Pairing::kApart ? Order::FirstToLast : wanted;
}

RenamePlanner::Plan PlanOnDisk(const std::vector<std::string>& oldPaths,
                               const std::vector<std::string>& newPaths, std::string_view runId) {
    const DiskFolders folders;
    return RenamePlanner::MakePlan(oldPaths, newPaths, folders, runId);
}

std::string RunId() {
    // Each temporary name is checked free before use; this only keeps runs apart.
    return std::to_string(std::chrono::system_clock::now().time_since_epoch().count());
}

PlannedOutcome ExecutePlan(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths,
                           const RenamePlanner::Plan& plan, Look look, RunControl* control,
                           const std::vector<Platform::EntryId>* ids, Recorder* recorder) {
    PlannedOutcome result;
    if (oldPaths.empty() || oldPaths.size() != newPaths.size() || plan.blocked.size() != oldPaths.size())
        return result;
    Outcome& outcome = result.outcome;
    outcome.executed = true;
    std::unique_ptr<BatchRenames> renames;
    if (look == Look::kSources) {
        renames = std::make_unique<BatchRenames>(
            oldPaths.size(), [&oldPaths](std::size_t k) { return std::string_view(oldPaths[k]); });
        if (ids != nullptr) {
            outcome.ids = *ids;
        } else {
            outcome.ids.reserve(oldPaths.size());
            for (const std::string& path : oldPaths)
                outcome.ids.push_back(renames->SourceId(path));
        }
    } else {
        renames = std::make_unique<BatchRenames>();
    }
    if (ids != nullptr && look == Look::kNone) outcome.ids = *ids;
    const std::optional<std::vector<bool>> present =
        look == Look::kSources ? Present(*renames, oldPaths, plan, ids, outcome.ids) : std::nullopt;
    if (recorder != nullptr) {
        // The journal knows every file and every temporary name before anything moves, so a crash
        // at any step can be taken back.
        const std::vector<Platform::EntryId> none(outcome.ids.empty() ? oldPaths.size() : 0);
        const RecordedPairs pairs{oldPaths, newPaths, outcome.ids.empty() ? none : outcome.ids, nullptr,
                                  Order::FirstToLast};
        outcome.unrecorded = recorder->Begin(pairs);
        if (!outcome.unrecorded)
            outcome.unrecorded = recorder->Temporaries(TemporariesOf(oldPaths, plan, pairs.ids));
        if (const std::error_code ec = outcome.unrecorded) {
            outcome = Outcome{};
            outcome.unrecorded = ec;
            return result;
        }
    }
    for (std::size_t i = 0; i < plan.blocked.size(); ++i) {
        if (plan.blocked[i] != RenamePlanner::Blocked::kNo) outcome.skipped.push_back(i);
    }

    std::size_t done = 0;
    for (std::size_t g = 0; g < plan.groups.size(); ++g) {
        GroupRun group(oldPaths, newPaths, plan, plan.groups[g]);
        if (StopAsked(control, done)) {
            for (std::size_t rest = g; rest < plan.groups.size(); ++rest) {
                GroupRun(oldPaths, newPaths, plan, plan.groups[rest]).ForEachFile([&](std::size_t pair) {
                    outcome.untried.push_back(pair);
                });
            }
            break;
        }
        group.Run(*renames, look == Look::kSources ? &outcome.ids : nullptr, present ? &*present : nullptr,
                  result);
        done += group.Files();
    }
    std::sort(outcome.failed.begin(), outcome.failed.end());
    std::sort(outcome.untried.begin(), outcome.untried.end());
    if (recorder != nullptr) recorder->End(outcome);
    return result;
}

}  // namespace RenameExecutor
