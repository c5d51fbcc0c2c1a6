#pragma once

// An order for renames that depend on each other. When the new name of one file is still held by
// another file of the same batch, that other file must move first: a chain (a→b, b→c) runs from
// its free end (b→c, then a→b), and a cycle (a→b, b→a, or longer) sets one file aside under a
// temporary name in its own folder, runs the rest, then gives that file its new name. Pure: what
// stands on disk comes from the caller, and nothing here touches a file.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace RenamePlanner {

// What stands in the folders of a batch. Folders are given as the paths give them, "/" at the end.
class Folders {
public:
    virtual ~Folders() = default;
    // True when the folder takes names that differ only in letter case for one name.
    virtual bool FoldsCase(std::string_view folder) const = 0;
    // True when something stands at name in folder (compared as the folder compares names).
    virtual bool Holds(std::string_view folder, std::string_view name) const = 0;
};

// Why a pair cannot be planned. Its file keeps its name.
enum class Blocked : std::uint8_t {
    kNo,
    kTaken,   // the new name is held by a file outside the batch, or by one that keeps its name
    kShared,  // an earlier pair of the batch is given the same new name
    kBehind,  // the new name is held by a file of the batch that cannot move (for one of these reasons)
};

// One single rename: pair's old path to its new one (kDirect), its old path to the group's
// temporary name (kAside), or that temporary name to its new path (kHome).
enum class Move : std::uint8_t { kDirect, kAside, kHome };
struct Step {
    std::uint32_t pair = 0;
    Move move = Move::kDirect;
};

constexpr std::size_t kNoTemporary = std::numeric_limits<std::size_t>::max();

// Steps [first, first + count) of the plan: a chain, or a cycle when it has a temporary name. The
// steps of one group depend on each other, so when one of them is refused the group's steps taken
// so far are taken back; groups share no name, so the others go on.
struct Group {
    std::size_t first = 0;
    std::size_t count = 0;
    std::size_t temporary = kNoTemporary;  // for a cycle, the number in its temporary name
};

struct Plan {
    std::vector<Step> steps;
    std::vector<Group> groups;
    std::string runId;
    std::size_t cycleCount = 0;
    std::vector<Blocked> blocked;  // per pair
    // Per pair: planned, but renaming in list order would find its new name still held by a file
    // of the batch (the pairs that need this planner).
    std::vector<bool> reordered;
    std::size_t reorderedCount = 0;
    std::size_t blockedCount = 0;
    std::size_t takenCount = 0;  // pairs blocked as kTaken

    // The temporary name of a cycle, a full path that nothing held when planned: in the folder of the
    // file it sets aside (from: the old paths planned). The cycles of one folder share it, each
    // giving it back before the next begins.
    std::string TemporaryOf(const Group& group, const std::vector<std::string>& from) const;
};

// The plan for renaming from[i] to to[i] (lists of one length, distinct old paths). A pair whose
// paths are identical is left out and counts as done. Of two pairs given one new name, the first
// in the list gets it. A change of letter case alone in a folder that folds case is a rename of its
// own, and its name counts as kept for the others. Temporary names are ".quorbel-<runId>-<n>".
// Time and memory are linear in the number of pairs.
Plan MakePlan(const std::vector<std::string>& from, const std::vector<std::string>& to,
              const Folders& folders, std::string_view runId);

}  // namespace RenamePlanner
