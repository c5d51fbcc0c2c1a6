#include "core/run/RenamePlanner.h"

#include <bit>
#include <cassert>
#include <deque>
#include <functional>
#include <unordered_map>

#include "core/list/MyFileOperation.h"
#include "core/text/Cp932.h"

namespace RenamePlanner {
namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

std::string TemporaryPath(std::string_view folder, std::string_view runId, std::size_t number) {
    std::string path;
    path.reserve(folder.size() + runId.size() + 32);
    path.append(folder).append(".quorbel-").append(runId).append("-").append(std::to_string(number));
    return path;
}

// A name of the batch: whose old name it is, and which pair was given it first.
struct Name {
    std::string_view key;
    std::uint32_t source = kNone;
    std::uint32_t claim = kNone;
};

// A key and its hash.
struct Probe {
    std::string_view key;
    std::size_t hash = 0;
};

// The names of the batch by key, in one open-addressing table: a million pairs look up two million
// names, and a node per name would cost more than the whole plan. A look costs three misses of the
// cache (the slot, the name, its bytes), so a pass announces the looks ahead of it.
class NameTable {
public:
    explicit NameTable(std::size_t capacity) : slots_(std::bit_ceil(capacity * 2 + 16)) {
        names_.reserve(capacity);
    }

    // The name of key, added when new. References stay valid up to the capacity given.
    Name& At(const Probe& probe) {
        const std::size_t slot = Find(probe);
        if (slots_[slot].entry == 0) {
            assert(names_.size() < names_.capacity());
            names_.push_back(Name{probe.key});
            slots_[slot] = Slot{Tag(probe.hash), static_cast<std::uint32_t>(names_.size())};
        }
        return names_[slots_[slot].entry - 1];
    }
    bool Contains(const Probe& probe) const { return slots_[Find(probe)].entry != 0; }

    // The passes call these for the looks 16, 8 and 4 ahead, so each stage finds the one before it
    // in the cache.
    void FetchSlot(std::size_t hash) const { __builtin_prefetch(&slots_[hash & Mask()]); }
    void FetchName(std::size_t hash) const {
        const Slot slot = slots_[hash & Mask()];
        if (slot.entry != 0 && slot.tag == Tag(hash)) __builtin_prefetch(&names_[slot.entry - 1]);
    }
    void FetchKey(std::size_t hash) const {
        const Slot slot = slots_[hash & Mask()];
        if (slot.entry != 0 && slot.tag == Tag(hash)) __builtin_prefetch(names_[slot.entry - 1].key.data());
    }

private:
    struct Slot {
        std::uint32_t tag = 0;    // high bits of the hash, so most other names need no compare
        std::uint32_t entry = 0;  // 1 + index into names_, 0 for empty
    };
    static std::uint32_t Tag(std::size_t hash) { return static_cast<std::uint32_t>(hash >> 32); }
    std::size_t Mask() const { return slots_.size() - 1; }

    // The slot holding the key, or the empty one where it would go.
    std::size_t Find(const Probe& probe) const {
        const std::uint32_t tag = Tag(probe.hash);
        for (std::size_t slot = probe.hash & Mask();; slot = (slot + 1) & Mask()) {
            const Slot at = slots_[slot];
            if (at.entry == 0) return slot;
            if (at.tag == tag && names_[at.entry - 1].key == probe.key) return slot;
        }
    }

    std::vector<Name> names_;
    std::vector<Slot> slots_;
};

// Visits probes[i] with table.At for every i, fetching ahead.
template <class Visit>
void VisitAll(NameTable& table, const std::vector<Probe>& probes, const Visit& visit) {
    const std::size_t n = probes.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i + 16 < n) table.FetchSlot(probes[i + 16].hash);
        if (i + 8 < n) table.FetchName(probes[i + 8].hash);
        if (i + 4 < n) table.FetchKey(probes[i + 4].hash);
        visit(i, table.At(probes[i]));
    }
}

// The key of a path: as it stands in a folder that compares names exactly, with its name folded to
// lower case in one that folds case. Consecutive paths mostly share a folder, so its property and
// its hash are had once per run of them.
class Keys {
public:
    explicit Keys(const Folders& folders) : folders_(folders) {}

    Probe Of(std::string_view path) {
        const MyFileOperation::PathParts parts = Look(path);
        if (!lastFolds_) return Probe{path, Hash(parts.name)};
        return Folded(parts, folded_.emplace_back());
    }
    // The same, with a folded key held in scratch (its view lives as long as that content).
    Probe Of(std::string_view path, std::string& scratch) {
        const MyFileOperation::PathParts parts = Look(path);
        if (!lastFolds_) return Probe{path, Hash(parts.name)};
        return Folded(parts, scratch);
    }
    // True when the two paths name one entry of one folder: equal, or equal but for letter case
    // where the folder folds it.
    bool SameName(std::string_view a, std::string_view b) {
        if (a == b) return true;
        const MyFileOperation::PathParts pa = Look(a);
        const MyFileOperation::PathParts pb = MyFileOperation::SplitAtLastDelimiter(b);
        return lastFolds_ && pa.folder == pb.folder && Cp932::EqualNoCase(pa.name, pb.name);
    }

private:
    // The parts of path, its folder looked at.
    MyFileOperation::PathParts Look(std::string_view path) {
        const MyFileOperation::PathParts parts = MyFileOperation::SplitAtLastDelimiter(path);
        if (asked_ && parts.folder == lastFolder_) return parts;
        lastFolder_ = parts.folder;
        lastFolds_ = folders_.FoldsCase(parts.folder);
        lastHash_ = std::hash<std::string_view>{}(parts.folder);
        asked_ = true;
        return parts;
    }
    Probe Folded(const MyFileOperation::PathParts& parts, std::string& folded) const {
        folded.assign(parts.folder);
        folded += Cp932::ToLower(parts.name);
        const std::string_view key = folded;
        return Probe{key, Hash(key.substr(parts.folder.size()))};
    }
    // The name's hash mixed with its folder's.
    std::size_t Hash(std::string_view name) const {
        return std::hash<std::string_view>{}(name) ^ (lastHash_ * 0x9E3779B97F4A7C15ULL);
    }

    const Folders& folders_;
    std::deque<std::string> folded_;  // keys of folding folders; a deque keeps their addresses
    // Owned: a path asked about may be a scratch text that changes after the look.
    std::string lastFolder_;
    bool lastFolds_ = false;
    std::size_t lastHash_ = 0;
    bool asked_ = false;
};

// What a pair's new name needs before it can be taken.
enum class Wait : std::uint8_t {
    kIdentical,  // nothing to do
    kFree,       // nothing at the start, or the file's own name in another case
    kOther,      // the old name of another pair (next[i]), which must move first
    kBlocked,
    kPlaced,  // already put into a group
};

class Planner {
public:
    Planner(const std::vector<std::string>& from, const std::vector<std::string>& to, const Folders& folders,
            std::string_view runId)
        : from_(from),
          to_(to),
          folders_(folders),
          keys_(folders),
          names_(from.size() * 2),
          wait_(from.size(), Wait::kFree),
          next_(from.size(), kNone),
          prev_(from.size(), kNone) {
        plan_.blocked.assign(from.size(), Blocked::kNo);
        plan_.runId = std::string(runId);
        plan_.reordered.assign(from.size(), false);
    }

    Plan Make() {
        const std::vector<bool> keeps = TakeOldNames();
        ClaimNewNames(keeps);
        BlockBehindBlocked();
        MarkReordered();
        PlaceChains();
        PlaceCycles();
        return std::move(plan_);
    }

private:
    void Block(std::size_t i, Blocked why) {
        wait_[i] = Wait::kBlocked;
        plan_.blocked[i] = why;
        ++plan_.blockedCount;
        if (why == Blocked::kTaken) ++plan_.takenCount;
    }

    // Every old name, and per pair whether its file keeps its name (identical, or a change of case
    // alone where the folder folds it).
    std::vector<bool> TakeOldNames() {
        std::vector<bool> keeps(from_.size());
        std::vector<Probe> probes;
        probes.reserve(from_.size());
        for (std::size_t i = 0; i < from_.size(); ++i) {
            if (from_[i] == to_[i]) wait_[i] = Wait::kIdentical;
            keeps[i] = keys_.SameName(from_[i], to_[i]);
            probes.push_back(keys_.Of(from_[i]));
        }
        VisitAll(names_, probes, [&](std::size_t i, Name& name) {
            if (name.source == kNone) {
                name.source = static_cast<std::uint32_t>(i);
                return;
            }
            // One file listed twice: only the first pair may move it.
            if (wait_[i] != Wait::kIdentical) Block(i, Blocked::kTaken);
        });
        return keeps;
    }

    // Who holds each new name at the start: nobody, a file outside the batch, a file that keeps its
    // name, or a file of the batch that moves on (then the pair waits for it).
    void ClaimNewNames(const std::vector<bool>& keeps) {
        std::vector<std::uint32_t> claimants;
        std::vector<Probe> probes;
        for (std::size_t i = 0; i < from_.size(); ++i) {
            if (wait_[i] != Wait::kFree || keeps[i]) continue;
            claimants.push_back(static_cast<std::uint32_t>(i));
            probes.push_back(keys_.Of(to_[i]));
        }
        VisitAll(names_, probes, [&](std::size_t k, Name& name) { Claim(claimants[k], name, keeps); });
    }
    void Claim(std::uint32_t i, Name& name, const std::vector<bool>& keeps) {
        if (name.source != kNone && keeps[name.source]) {
            Block(i, Blocked::kTaken);
            return;
        }
        if (name.claim != kNone) {
            Block(i, Blocked::kShared);
            return;
        }
        name.claim = i;
        if (name.source == kNone) {
            const MyFileOperation::PathParts parts = MyFileOperation::SplitAtLastDelimiter(to_[i]);
            if (folders_.Holds(parts.folder, parts.name)) Block(i, Blocked::kTaken);
            return;
        }
        wait_[i] = Wait::kOther;
        next_[i] = name.source;
        prev_[name.source] = i;
    }

    // A file that cannot move keeps holding its name: whoever waits for it cannot move either.
    void BlockBehindBlocked() {
        for (std::size_t i = 0; i < from_.size(); ++i) {
            if (wait_[i] != Wait::kBlocked) continue;
            for (std::uint32_t x = prev_[i]; x != kNone && wait_[x] == Wait::kOther; x = prev_[x])
                Block(x, Blocked::kBehind);
        }
    }

    // Renamed in list order, a pair finds its new name free only when the file holding it was
    // renamed earlier in the list, itself in list order.
    void MarkReordered() {
        std::vector<bool> inOrder(from_.size());
        for (std::size_t i = 0; i < from_.size(); ++i) {
            if (wait_[i] == Wait::kFree) inOrder[i] = true;
            if (wait_[i] != Wait::kOther) continue;
            inOrder[i] = next_[i] < i && inOrder[next_[i]];
            if (!inOrder[i]) {
                plan_.reordered[i] = true;
                ++plan_.reorderedCount;
            }
        }
    }

    void Add(std::uint32_t pair, Move move) {
        plan_.steps.push_back(Step{pair, move});
        wait_[pair] = Wait::kPlaced;
    }
    void CloseGroup(std::size_t first, std::size_t temporary = kNoTemporary) {
        plan_.groups.push_back(Group{first, plan_.steps.size() - first, temporary});
    }

    // A chain runs from the pair whose new name is free back through those waiting on it.
    void PlaceChains() {
        plan_.steps.reserve(from_.size() + from_.size() / 2);
        for (std::size_t i = 0; i < from_.size(); ++i) {
            if (wait_[i] != Wait::kFree) continue;
            const std::size_t first = plan_.steps.size();
            for (auto x = static_cast<std::uint32_t>(i); x != kNone; x = prev_[x])
                Add(x, Move::kDirect);
            CloseGroup(first);
        }
    }

    // What still waits and is not blocked waits in a ring: its first pair steps aside, the others
    // follow round the ring, and the first takes the name the last one left. Rings run one after
    // another and each gives its temporary name back, so the rings of a folder share one.
    void PlaceCycles() {
        std::size_t counter = 0;
        std::unordered_map<std::string_view, std::size_t> temporaries;
        std::string_view lastFolder;
        std::size_t lastTemporary = kNoTemporary;
        for (std::size_t i = 0; i < from_.size(); ++i) {
            if (wait_[i] != Wait::kOther) continue;
            const std::size_t first = plan_.steps.size();
            const auto start = static_cast<std::uint32_t>(i);
            Add(start, Move::kAside);
            for (std::uint32_t x = prev_[start]; x != start; x = prev_[x]) {
                assert(x != kNone && wait_[x] == Wait::kOther);
                Add(x, Move::kDirect);
            }
            plan_.steps.push_back(Step{start, Move::kHome});
            const std::string_view folder = MyFileOperation::SplitAtLastDelimiter(from_[i]).folder;
            if (lastTemporary == kNoTemporary || folder != lastFolder) {
                const auto [at, added] = temporaries.try_emplace(folder, 0);
                if (added) at->second = FreeTemporary(folder, plan_.runId, counter);
                lastFolder = folder;
                lastTemporary = at->second;
            }
            CloseGroup(first, lastTemporary);
            ++plan_.cycleCount;
        }
    }

    // The number of a temporary name in folder that neither the folder nor the batch holds;
    // counter: the next number to try.
    std::size_t FreeTemporary(std::string_view folder, std::string_view runId, std::size_t& counter) {
        std::string candidate;
        std::string scratch;
        for (;; ++counter) {
            candidate = TemporaryPath(folder, runId, counter);
            const std::string_view name = std::string_view(candidate).substr(folder.size());
            if (!names_.Contains(keys_.Of(candidate, scratch)) && !folders_.Holds(folder, name))
                return counter++;
        }
    }

    const std::vector<std::string>& from_;
    const std::vector<std::string>& to_;
    const Folders& folders_;
    Keys keys_;
    NameTable names_;
    std::vector<Wait> wait_;
    std::vector<std::uint32_t> next_;  // the pair whose old name pair i's new name is
    std::vector<std::uint32_t> prev_;  // the pair waiting for pair i's old name
    Plan plan_;
};

}  // namespace

std::string Plan::TemporaryOf(const Group& group, const std::vector<std::string>& from) const {
    assert(group.temporary != kNoTemporary);
    const std::string& aside = from[steps[group.first].pair];
    return TemporaryPath(MyFileOperation::SplitAtLastDelimiter(aside).folder, runId, group.temporary);
}

Plan MakePlan(const std::vector<std::string>& from, const std::vector<std::string>& to,
              const Folders& folders, std::string_view runId) {
    assert(from.size() == to.size());
    assert(from.size() < kNone);
    assert(runId.find('/') == std::string_view::npos);
    return Planner(from, to, folders, runId).Make();
}

}  // namespace RenamePlanner
