#pragma once

// Taking back a command kept in the journal: from the history, or at the start after the program
// was killed in the middle of it. Only files found by identity where the command left them are
// taken back, last first, never over another file, and the taking back is journaled itself.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "core/RenameExecutor.h"
#include "core/RunJournal.h"
#include "core/RunJournalRecovery.h"
#include "core/RunJournalStore.h"

class RunControl;

namespace RunJournal {

struct UndoResult {
    std::error_code unrecorded;        // the undo's own journal could not be written: nothing changed
    std::vector<std::size_t> refused;  // entries of check.take the file system refused to take back
    std::vector<std::size_t> untried;  // entries of check.take not tried: the control said stop
    std::size_t done = 0;              // files taken back
    // Files of a cycle the take-back could not bring out of their temporary names (refused too);
    // index is the entry's.
    std::vector<RenameExecutor::Stranded> stranded;
};

// Takes back the entries of check.take from their new paths to their old ones, in the opposite
// order to the command's: renamed through the rename executor (through the planner when a name is
// freed only by another file going back, as after a run of chains and swaps), or for a move, moved
// back (also from another file system). Journaled in folder as a command of kind (kUndo or
// kRecovery) that targets the journal's command.
UndoResult Undo(const Journal& journal, const UndoCheck& check, Kind kind, const std::string& folder,
                RunControl* control = nullptr);

// The kept commands after journal (listing: the store's) that may have placed copies of its files:
// moves, and undos and recoveries (which take moves back), with some copy placed; oldest first.
std::vector<Journal> LaterCopies(const Store& store, const Listing& listing, const Journal& journal);

// A command taken back: the undo, and the files it found under a temporary name that had to stay.
struct TakenBack {
    UndoResult undo;
    std::vector<Stranded> stayed;
};
// The undo of a kept command from the history: the entries of check.take go back as Undo takes
// them (journaled as kUndo), then what the command, or an undo of it, left under a temporary name
// when a take-back inside a cycle was refused goes home as after an interrupted command.
TakenBack UndoFromHistory(const Journal& journal, const UndoCheck& check, const std::string& folder,
                          RunControl* control = nullptr);

// After the undo of an interrupted command: the copies found removable are removed, and the files
// found stranded under a temporary name go back home, never over another file. Returns those that
// had to stay.
std::vector<Stranded> CleanUp(const Journal& journal, const OnDisk& found);

// Closes an interrupted command that writer has resumed, as it was found: the entries of done as
// done, the others untried.
std::error_code CloseAsFound(Writer& writer, const Journal& journal, const std::vector<std::size_t>& done);

// The newest command of a listing when its process ended before closing it, as the disk shows it
// now: what the question at start counts.
struct Interrupted {
    Journal journal;
    std::size_t done = 0;  // entries found done on disk
};
std::optional<Interrupted> FindInterrupted(const Store& store, const Listing& listing);

// What the recovery of an interrupted command did.
// Its undo and stayed are those of the take-back (takeBack only).
struct Recovered : TakenBack {
    std::error_code taken;  // the command could not be taken up (another start has it): nothing done
};
// Takes up the interrupted command of folder. takeBack: the entries found done go back, last
// first, journaled as a recovery, then the copies it left beside their sources go and stranded
// files go home. Either way it is closed as it was found.
Recovered Recover(const std::string& folder, const Journal& journal, bool takeBack,
                  RunControl* control = nullptr);

}  // namespace RunJournal
