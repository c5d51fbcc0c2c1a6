#pragma once

// The undo of the last command: every file it renamed goes back to the name it had before, or,
// when the last undo was stopped or refused for some, the files that undo still owes.

#include <cstdint>
#include <string>

#include "core/commands/Host.h"

class PairList;

namespace Command {

struct UndoOptions {
    std::string journalFolder;  // where the undo is journaled; empty: not journaled
    std::uint64_t target = 0;   // the journal of the command taken back; 0 for none
    bool tellDone = true;       // the completion message
};

// Files gone since the command (moved, deleted, replaced) are marked, and the user is asked whether
// the others go back; no changes nothing but the marks. Afterwards pairs name each file where it
// stands, exchanged: the face is told the list changed, then of the entries left unprocessed, then
// the messages. A refused or stopped file stays at its new name, owed to the next undo.
void UndoLast(PairList& pairs, const UndoOptions& options, Host& host);

}  // namespace Command
