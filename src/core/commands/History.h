#pragma once

// The undo of a command kept in the run journal, chosen from the history: after a restart too,
// each file is looked for by its identity, and the undo is journaled itself.

#include <cstdint>
#include <string>

#include "core/commands/Host.h"
#include "core/journal/RunJournalStore.h"

namespace Command {

struct HistoryUndoOptions {
    bool tellDone = true;       // the completion message
    std::uint64_t listRun = 0;  // the journal of the last command of the face's list; 0 for none
};

// Undoes the kept command id of store, unless it is gone, undone already or running (each said).
// Files gone since are asked about as the undo of the last command asks. True when it took back
// files of options.listRun, whose record then no longer tells where they are.
bool UndoFromHistory(RunJournal::Store& store, std::uint64_t id, const HistoryUndoOptions& options,
                     Host& host);

// A command's kind and state as the history shows them.
std::string KindText(RunJournal::Kind kind);
std::string StateText(RunJournal::State state);

// Why a kept command cannot be undone: its journal could not be read, it was undone already or it
// is still running; empty when it can.
std::string HistoryRefusal(bool read, RunJournal::State state);

}  // namespace Command
