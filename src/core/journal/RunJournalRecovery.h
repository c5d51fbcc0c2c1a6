#pragma once

// What an interrupted command left on disk, found by the identities its journal recorded: nothing
// in a journal is trusted over the disk, and a name alone proves nothing after a restart.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/platform/FileSystem.h"

#include "core/journal/RunJournal.h"

namespace RunJournal {

// A note whose path holds a user's only copy of a file, which must not stay under that name.
struct Stranded {
    std::size_t note = 0;  // index into the journal's notes
    std::string path;      // the temporary name
    // Where it goes: a set-aside file to its destination; a cycle's file to its old path (its new
    // one, going on), and to the other of the two when that is taken (empty for none).
    std::string home;
    std::string other;
};

// A move to another file system stopped between placing its copy and removing its source: both
// stand, each the file the journal recorded.
struct Twice {
    std::size_t note = 0;  // the note of the placed copy
    std::string source;
    std::string copy;
};

// Which way what a command left half done goes. Back: as the command found it (a cycle's file to its
// old name first, a copy that also stands at its source removed); on: as the command meant it, for
// an undo, revert or recovery, which is finished and never reversed (the cycle's file to its new
// name first, the source of a whole copy removed).
enum class Way : std::uint8_t { kBack, kOn };

struct OnDisk {
    // The entries whose file stands at the new path (the recorded file, or its placed copy after a
    // move to another file system) and no longer at the old one. Ascending.
    std::vector<std::size_t> done;
    // The notes of copies that may be removed: a copy under its temporary name while its source is
    // still in place, never the file itself nor a copy that also stands under its final name.
    std::vector<std::size_t> removableCopies;
    std::vector<Stranded> stranded;
    std::vector<Twice> twice;
    Way way = Way::kBack;
};

// Looks at the disk, links not followed.
OnDisk Examine(const Journal& journal);
// The same for the temporary names and the copies alone (done stays empty): what a command left
// behind, to go the given way.
OnDisk LeftBehind(const Journal& journal, Way way = Way::kBack);

// The entries a command carried out: of a closed one, those it closed as done whose paths differ;
// of one not closed, those Examine finds done.
std::vector<std::size_t> DoneEntries(const Journal& journal);

// What an undo of the command would find of the entries it carried out (done, ascending).
struct UndoCheck {
    std::vector<std::size_t> take;       // the file (or its placed copy) stands at the new path
    std::vector<Platform::EntryId> ids;  // per entry: who stands at its new path, for those in take
    std::vector<std::size_t> missing;    // neither at the new path nor back at the old one
    // Those back at their old paths already (an undo finished earlier) are in neither list.
};
// later: kept commands after journal, oldest first, that may have put copies of its files at their
// new paths (LaterCopies): a move to another file system and its undo leave a copy there, which is
// the command's file all the same.
UndoCheck CheckUndo(const Journal& journal, const std::vector<std::size_t>& done,
                    const std::vector<Journal>& later = {});

}  // namespace RunJournal
