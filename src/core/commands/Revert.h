#pragma once

// The revert of single files of the last command: each goes back from the name the command gave it
// to the one it had, and its pair is exchanged, so that reverting it again renames it again.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/commands/Host.h"

class PairList;

namespace Command {

struct RevertOptions {
    std::string journalFolder;  // where the revert is journaled; empty: not journaled
    std::uint64_t target = 0;   // the journal of the command reverted; 0 for none
};

// Reverts the files of entries in turn, up to the first that cannot go back, and says why that one
// did not (after telling the face that the list changed, when some went back). Returns how many
// went back, from the first; 0 when the journal could not be written (said, nothing changed).
std::size_t Revert(PairList& pairs, const std::vector<std::size_t>& entries, const RevertOptions& options,
                   Host& host);

}  // namespace Command
