#pragma once

// Moving the files a run renamed into a destination folder: the checks of the destination, the
// plan (which file goes where, which destination names are taken) and its execution. Paths are
// code page 932 texts; the destination ends in "/".
//
// Only files the run really renamed are moved, each from the path the run gave it. A destination
// file is replaced only when the user agreed, and then in one atomic rename over it; a file moved
// earlier in the same batch is never replaced by a later one of the same name.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace MovePlan {

enum class Refusal {
    kNone,
    kNoDestination,    // no destination chosen
    kDestinationGone,  // the destination is no existing folder
    kSameFolder,       // the destination is the source folder (device and inode, any spelling)
};
Refusal CheckDestination(std::string_view sourceFolder, std::string_view destination);

// What stands at a file's destination path before the move.
enum class Target {
    kFree,
    kTakenByFile,   // another file: replaced only with the user's yes
    kTakenByOther,  // a folder or anything else that no move may replace
    kSourceItself,  // the file is there already (the destination is its own folder)
};
using Probe = std::function<Target(const std::string& source, const std::string& target)>;
// Looks at the target on disk.
Target ProbeDisk(const std::string& source, const std::string& target);
// The same for many targets in one destination folder: the folder is listed once and only names
// found in it (letter case aside) are looked at.
Probe DestinationProbe(std::string_view destination);

struct Entry {
    std::size_t index = 0;  // into the run's lists
    std::string source;
    std::string target;
    Target state = Target::kFree;
    bool duplicate = false;  // another file of the batch claimed the destination path first
};

struct Plan {
    std::vector<Entry> entries;
    // True when some destination name is held by another file: the user is asked once.
    bool AsksToReplace() const;
};

// For every i with renamed[i], newPaths[i] goes to destination + its file name. probe tells what
// stands at each target; by default the disk (DestinationProbe).
Plan MakePlan(const std::vector<std::string>& newPaths, const std::vector<bool>& renamed,
              std::string_view destination, const Probe& probe = {});

// The user's answer to the question about taken names (kReplace when nothing was asked).
enum class Answer { kReplace, kKeep, kCancel };

enum class Action {
    kMove,     // to a free name, never replacing
    kReplace,  // over the destination file, as the user agreed
    kKeep,     // the user chose to keep the destination file; this one stays
    kLeave,    // already in the destination
    kBlocked,  // cannot go without replacing something it must not: stays, counted as not moved
};
Action ActionFor(const Entry& entry, Answer answer);

struct Result {
    std::vector<std::size_t> moved;     // run indices of the files moved (or moved over another)
    std::size_t kept = 0;               // left by the user's no
    std::vector<std::size_t> notMoved;  // run indices of files still at their source
};
// Carries the plan out. kCancel moves nothing.
Result Execute(const Plan& plan, Answer answer);

}  // namespace MovePlan
