#pragma once

// Moving files into one destination folder. The folder is opened once and every name is made in
// the folder that was opened, even should another be mounted or put at its path meanwhile. Paths
// are native (UTF-8 bytes on Linux).
//
// No step loses a file. A destination file that the caller asks to replace is set aside under a
// temporary name in the folder, and removed only once the move that replaces it has completed; a
// copy from another file system is written under a temporary name of its own, made durable, put
// in place without replace, and only then is the source removed. A failed step takes back the
// steps before it: the source stays, the set-aside file gets its name back, the copy goes.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/platform/FileOps.h"
#include "core/platform/FileSystem.h"
#include "core/run/RunControl.h"

namespace Platform {

struct MoveRequest {
    std::string from;  // the file's path
    std::string name;  // its name in the destination folder: one component
    Existing existing = Existing::Keep;
    // The file that must stand at from, links not followed; another file there (or none) is not
    // moved. Unset: whatever stands there.
    std::optional<EntryId> expected = std::nullopt;
};

// A temporary name a move is about to use in the folder. It is recorded before it is used, so that
// whatever stops the moves midway, a later start can find it.
struct TemporaryName {
    enum class Kind {
        kCopy,        // a copy of the move's file will be made under name
        kCopyPlaced,  // the copy id is about to take the move's own name (name)
        kAside,       // the folder's file id standing at the move's name is set aside under name
    };
    Kind kind = Kind::kCopy;
    std::size_t move = 0;  // index into the moves
    std::string name;      // one component in the folder
    EntryId id;            // none for kCopy
};
// Records names, all at once and durably, before any of them is used. An error stops the moves that
// needed them: they stay where they are.
using NameRecorder = std::function<std::error_code(const std::vector<TemporaryName>&)>;

// What became of one move, and the temporary names it used in the folder (empty when none), so
// that a record of the move can name them.
struct MoveOutcome {
    std::error_code error;  // empty: moved; operation_canceled: stopped before it began
    std::string copy;       // the copy from another file system before it was put in place
    std::string aside;      // the folder's own file of the name while it was being replaced
};

// True for the names of copies under way: ".quorbel-copy-", 12 lower-case letters or digits,
// ".tmp". No other temporary name of the program has this form, so a copy left behind is never
// taken for a temporary name that holds a user's only file.
bool IsCopyName(std::string_view name);

// When this process started, less what a file's time may lag behind the clock: a copy older than
// that belongs to no move under way here.
std::chrono::system_clock::time_point ProcessStart();

class DestinationFolder {
public:
    // path: the folder, "/" at its end or not.
    explicit DestinationFolder(const std::string& path);
    ~DestinationFolder();
    DestinationFolder(const DestinationFolder&) = delete;
    DestinationFolder& operator=(const DestinationFolder&) = delete;

    // The identity of the folder opened; nullopt when it could not be opened.
    const std::optional<FileId>& Id() const { return id_; }

    // Removes the copies that moves killed midway left in the folder: files and links of the copy
    // name form, last changed before olderThan. Returns how many went.
    std::size_t RemoveLeftoverCopies(std::chrono::system_clock::time_point olderThan) const;

    // The moves, in order; control (optional) is asked before each. Once it says stop, the copies
    // already made are completed and the moves not begun are reported operation_canceled. Copies
    // from another file system are made durable and put in place a few at a time (one sync per
    // group rather than per file), so that a move killed midway leaves at most a few behind.
    // record (optional) is given every temporary name before it is used: the names of files to be
    // set aside all at once before the first move, the copies' names and then their placing a
    // group at a time.
    std::vector<MoveOutcome> Move(const std::vector<MoveRequest>& moves, RunControl* control = nullptr,
                                  const NameRecorder& record = {});

private:
    class CopyGroup;
    // The temporary names recorded ahead for one move.
    struct Reserved {
        std::string aside;
        EntryId asideId;  // the file the aside name was recorded for
        std::string copy;
    };
    // Records names when a recorder is given; nothing to do otherwise.
    std::error_code Record(const std::vector<TemporaryName>& names) const;
    // Records the aside names of the moves that will replace a file, all at once.
    void ReserveAsides(const std::vector<MoveRequest>& moves);
    // The copy name of move i: the one recorded ahead, else (and for a name that turns out taken,
    // again) a fresh one, recorded for the moves of a group from i on.
    std::error_code NextCopyName(std::size_t i, std::size_t moves, std::string& name);
    // The source stands at move.from; expected set: it is that file.
    std::error_code CheckSource(const MoveRequest& move);
    // The move by one rename; cross_device_link when it needs a copy.
    std::error_code MoveByRename(std::size_t i, const MoveRequest& move, MoveOutcome& outcome);
    // Before name is replaced: refuses a folder and the file being moved itself, then renames
    // what stands at name to a temporary name (aside; left empty when name is free), recorded first.
    std::error_code SetAside(std::size_t i, const std::string& from, const std::string& name,
                             std::string& aside);
    // aside back to name, never over anything; false when it had to stay.
    bool PutBack(const std::string& aside, const std::string& name) const;
    // Removes name only while it is still the file id.
    void RemoveIfSame(const std::string& name, const FileId& id) const;
    // The folder's data and names on the disk.
    std::error_code SyncFileSystem() const;
    std::error_code SyncFolder() const;

    int fd_ = -1;
    std::error_code openError_;  // why the folder could not be opened
    bool readable_ = false;      // opened for reading: it can be listed and synced
    std::optional<FileId> id_;
    std::uint64_t volume_ = 0;  // EntryId::volume of the folder's files
    // While Move runs: its recorder (null for none) and the names recorded ahead, per move.
    const NameRecorder* record_ = nullptr;
    std::vector<Reserved> reserved_;
    // The folder of the last source checked, and its file system's EntryId::volume.
    std::string sourceFolder_;
    std::uint64_t sourceVolume_ = 0;
};

}  // namespace Platform
