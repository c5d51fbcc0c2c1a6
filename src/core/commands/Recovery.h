#pragma once

// The kept commands of the run journal, as the commands over them read them, and the recovery at
// start: each command a killed program left unfinished is offered back, newest first.

#include <cstddef>

#include "core/commands/Host.h"
#include "core/journal/RunJournalStore.h"
#include "core/journal/RunJournalUndo.h"

namespace Command {

// The newest limit kept commands of store; each file that is no journal is told, once.
RunJournal::Listing ListJournal(RunJournal::Store& store, Host& host,
                                std::size_t limit = RunJournal::kKeptCommands);

// Asks about each interrupted command of store (none when store has no folder), newest first and
// each once: yes takes its changed files back, no leaves them; either way what it left under a
// temporary name goes home, and what had to stay is told. tellDone: the completion message.
void RecoverInterrupted(RunJournal::Store& store, bool tellDone, Host& host);

// What the take-back of a kept command did, and each file it had to leave under a temporary name
// or in two places.
void TellTakenBack(const RunJournal::TakenBack& takenBack, bool tellDone, Host& host);

}  // namespace Command
