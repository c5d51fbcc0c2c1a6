#pragma once

// The move after renaming: the files the last command renamed go into a destination folder, each
// only while it is the file that command renamed. The destination's names held by other files are
// replaced only when the user says so; a cancel there moves nothing.

#include <optional>
#include <string>

#include "core/commands/Host.h"
#include "core/run/MovePlan.h"

class PairList;

namespace Command {

struct MoveOptions {
    std::string destination;                   // a folder text with its "/", or empty
    std::optional<MovePlan::FolderId> chosen;  // the folder it named when chosen; nullopt for none
    std::string journalFolder;                 // where the move is journaled; empty: not journaled
};

// The checks of the destination (their refusals told), the plan, the question when names are
// taken, the moves and what became of them. The pairs record the files moved away; the list shows
// them where they were, so the face is not told of a change.
void MoveAfterRename(PairList& pairs, const MoveOptions& options, Host& host);

}  // namespace Command
