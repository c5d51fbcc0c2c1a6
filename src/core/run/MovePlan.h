#pragma once

// Moving the files a run renamed into a destination folder: the checks of the destination, the
// plan (which file goes where, which destination names are taken) and its execution. Paths are
// code page 932 texts.
//
// Only files the run really renamed are moved, each from the path the run gave it, and only into
// the chosen folder. A destination file is replaced only when the user agreed, and then only by a
// move that completes; a file moved earlier in the same batch is never replaced by a later one of
// the same name.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/platform/FileSystem.h"
#include "core/run/RunControl.h"

class PairList;

namespace RunJournal {
class Record;
}

namespace MovePlan {

// A destination is a folder, whatever way its text came (the browse dialog, a slot, the settings
// file): the text trimmed of blanks, with exactly one "/" at its end; empty stays empty.
std::string FolderText(std::string_view folder);

// Which folder a destination names: device and inode, links followed; nullopt for no folder. Kept
// from the moment the user chooses it, so that a card unmounted since (its empty mount folder
// left behind) or another folder put at its path is not taken for it.
using FolderId = Platform::FileId;
std::optional<FolderId> FolderIdOf(std::string_view destination);

enum class Refusal {
    kNone,
    kNoDestination,       // no destination chosen
    kDestinationGone,     // the destination is no existing folder (or no full path)
    kDestinationChanged,  // another folder stands at its path since it was chosen
    kSameFolder,          // the destination is the source folder (device and inode, any spelling)
};
// chosen: the identity the destination had when it was chosen; nullopt when none was known.
Refusal CheckDestination(std::string_view sourceFolder, std::string_view destination,
                         const std::optional<FolderId>& chosen = std::nullopt);

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
    Platform::EntryId id;  // the file the run renamed to source; {}: whatever stands there
    Target state = Target::kFree;
    bool duplicate = false;  // another file of the batch claimed the destination path first
};

struct Plan {
    std::string destination;                // FolderText of the destination
    std::optional<FolderId> destinationId;  // the folder that stood there when planned
    std::vector<Entry> entries;
    // True when some destination name is held by another file: the user is asked once.
    bool AsksToReplace() const;
};

// For every i with renamed[i], newPaths[i] goes to the destination folder under its file name.
// probe tells what stands at each target; by default the disk (DestinationProbe). ids (empty, or
// one per path): the file each is, moved only while it stands at its path.
Plan MakePlan(const std::vector<std::string>& newPaths, const std::vector<bool>& renamed,
              std::string_view destination, const Probe& probe = {},
              const std::vector<Platform::EntryId>& ids = {});
// The files the last command of pairs renamed, each only while it is the file that command renamed.
Plan MakePlan(const PairList& pairs, std::string_view destination);

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

// The moves Execute makes under the answer: the files that go to their destination.
std::size_t MoveCount(const Plan& plan, Answer answer);

struct Result {
    // kDestinationGone or kDestinationChanged: the folder at the destination's path was no longer
    // the one planned for when the moves began, and nothing was moved.
    Refusal refusal = Refusal::kNone;
    std::vector<std::size_t> moved;     // run indices of the files moved (or moved over another)
    std::size_t kept = 0;               // left by the user's no
    std::vector<std::size_t> notMoved;  // run indices of files still at their source
    std::vector<std::size_t> untried;   // stopped before them: still at their source, renamed
    std::error_code unrecorded;         // the journal could not be written: nothing was moved
};
// Carries the plan out into the folder planned for: leftover copies of killed moves are removed
// from it first. control (optional) is asked between two files and may stop the moves there.
// record (optional): the move's journal, begun before the first move with the files to move,
// told of every temporary name before it is used, and closed with each file's outcome. kCancel
// moves nothing.
Result Execute(const Plan& plan, Answer answer, RunControl* control = nullptr,
               RunJournal::Record* record = nullptr);

}  // namespace MovePlan
