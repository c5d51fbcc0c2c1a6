#pragma once

// What an interrupted command left on disk, found by the identities its journal recorded: nothing
// in a journal is trusted over the disk, and a name alone proves nothing after a restart.

#include <cstddef>
#include <string>
#include <vector>

#include "core/RunJournal.h"

namespace RunJournal {

// A note whose path holds a user's only copy of a file, which must not stay under that name.
struct Stranded {
    std::size_t note = 0;  // index into the journal's notes
    std::string home;      // where the file came from: a cycle's old path, a set-aside file's destination
};

struct OnDisk {
    // The entries whose file stands at the new path (the recorded file, or its placed copy after a
    // move to another file system) and no longer at the old one. Ascending.
    std::vector<std::size_t> done;
    // The notes of copies that may be removed: a copy under its temporary name while its source is
    // still in place, never the file itself nor a copy that also stands under its final name.
    std::vector<std::size_t> removableCopies;
    std::vector<Stranded> stranded;
};

// Looks at the disk, links not followed.
OnDisk Examine(const Journal& journal);

}  // namespace RunJournal
