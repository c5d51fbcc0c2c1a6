#pragma once

// The run journal: a record on disk, written before a command renames or moves anything, of what
// the command is about to do, so that a crash or a closed window never leaves the user unable to
// tell which files were renamed or to take them back. What one command's journal holds; the file
// format is in RunJournalFormat, the folder of journals in RunJournalStore, and the look at the disk
// after an interrupted command in RunJournalRecovery. Paths are native (UTF-8 bytes on Linux) and
// kept byte for byte.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/FileSystem.h"

namespace RunJournal {

// The commands that change names or places. The values are stored in the file.
enum class Kind : std::uint8_t {
    kSequential = 1,
    kString = 2,
    kCaseWidth = 3,
    kDigit = 4,
    kUndo = 5,      // undoes the whole command named by its target
    kRevert = 6,    // reverts some rows of the command named by its target
    kMove = 7,      // the move after renaming
    kRecovery = 8,  // takes back an interrupted command (its target) at a later start
};

// One file of a command: where it is, where the command takes it, and which file it is (the entry
// itself, links not followed, and its file system, as the run's record knows it), so that nothing is
// ever done to another file that came to stand at one of the paths, nor to another card's file of
// the same numbers mounted at the same place.
struct Entry {
    std::string oldPath;
    std::string newPath;
    Platform::EntryId id;
    friend bool operator==(const Entry&, const Entry&) = default;
};

// A name a command uses besides the entries' own paths, recorded before it is used.
enum class NoteKind : std::uint8_t {
    kCopy = 1,        // a copy of the entry's file is being made at path (beside its destination)
    kCopyPlaced = 2,  // that copy now stands at the entry's new path as file id; the source is next
    kSetAside = 3,    // the file id at the entry's new path, which the user agreed to replace, moves to path
    kCycle = 4,       // the entry's file moves to path to free its name for another file of the run
};

struct Note {
    NoteKind kind = NoteKind::kCopy;
    std::uint32_t entry = 0;  // index into the command's entries
    std::string path;
    Platform::EntryId id;  // the file expected at path; none for kCopy (not yet made)
    friend bool operator==(const Note&, const Note&) = default;
};

// What became of an entry. The values are stored in the file.
enum class Outcome : std::uint8_t {
    kDone = 0,
    kSkipped = 1,  // its new name was taken
    kFailed = 2,   // the file system refused
    kUntried = 3,  // the command stopped before it
};

struct Header {
    std::uint64_t id = 0;  // unique and growing: a later command has a greater id
    Kind kind = Kind::kSequential;
    std::int64_t time = 0;     // seconds since the epoch
    std::uint64_t target = 0;  // the command an undo, revert or recovery acts on; 0 for none
    std::string folder;        // the folder the command worked in, for the history
    friend bool operator==(const Header&, const Header&) = default;
};

// The closing record: each entry's outcome. A command closed by a later start, as it was found on
// disk after an interruption, is closed "as found".
struct Closing {
    bool asFound = false;
    std::vector<Outcome> outcomes;  // one per entry
    friend bool operator==(const Closing&, const Closing&) = default;
};

enum class State : std::uint8_t {
    kRunning,        // not closed, and a live process holds its lock
    kInterrupted,    // not closed, and nobody holds it: it waits for recovery
    kClosedAsFound,  // closed by a later start after an interruption (shown as interrupted)
    kCompleted,      // closed by the command itself
    kUndone,         // closed, and a later undo or recovery of it completed
};

// One command as read back: verified, with everything past a torn or damaged tail left out.
struct Journal {
    Header header;
    std::vector<Entry> entries;
    std::vector<Note> notes;
    std::optional<Closing> closing;
};

}  // namespace RunJournal
