#pragma once

// Taking back a command kept in the journal: from the history, or at the start after the program
// was killed in the middle of it. Only files found by identity where the command left them are
// taken back, last first, never over another file, and the taking back is journaled itself.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "core/journal/RunJournal.h"
#include "core/journal/RunJournalRecovery.h"
#include "core/journal/RunJournalStore.h"
#include "core/run/RenameExecutor.h"

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

// What a command left half done that had to stay so: files under a temporary name whose names
// were taken, and files of a move in both places whose copy could not be told whole.
struct Left {
    std::vector<Stranded> stayed;
    std::vector<Twice> twice;
};

// A command taken back: the undo, and what it left that had to stay.
struct TakenBack : Left {
    UndoResult undo;
};
// The undo of a kept command from the history: the entries of check.take go back as Undo takes
// them (journaled as kUndo), then what the command, or an undo of it, left under a temporary name
// when a take-back inside a cycle was refused goes home as after an interrupted command.
TakenBack UndoFromHistory(const Journal& journal, const UndoCheck& check, const std::string& folder,
                          RunControl* control = nullptr);

// What an interrupted command left goes the way found.way says, never over another file and never
// losing the only copy of anything: the copies beside their sources are removed, the files under a
// temporary name go to their home (else to their other name), and of a file in both places the
// copy (back) or the source (on) is removed once the two are alike. Returns what had to stay.
Left CleanUp(const Journal& journal, const OnDisk& found);

// Closes an interrupted command that writer has resumed, as it was found: the entries of done as
// done, the others untried.
std::error_code CloseAsFound(Writer& writer, const Journal& journal, const std::vector<std::size_t>& done);

// A command that a killed process left unfinished, as the question at start names it. When an
// undo, revert or recovery was killed, the question is about the command it was taking back: its
// take-back is finished, never reversed.
struct Interrupted {
    // The user's command; nullopt when only its take-back is kept.
    std::optional<Journal> command;
    // The interrupted undo, revert or recovery of it; nullopt for a command killed itself.
    std::optional<Journal> takeBack;
    std::size_t files = 0;  // the command's files
    std::size_t done = 0;   // those found changed on disk that a take-back brings back
    // The journal the question stands for (the take-back's when there is one).
    std::uint64_t Id() const { return takeBack ? takeBack->header.id : command->header.id; }
};
// The newest interrupted command of a listing that is not among passed (ids as Id() gives them),
// as the disk shows it now. A command whose take-back is open comes with it, not on its own.
std::optional<Interrupted> FindInterrupted(const Store& store, const Listing& listing,
                                           const std::set<std::uint64_t>& passed = {});

// What the recovery of an interrupted command did.
// Its undo is that of the take-back (takeBack only).
struct Recovered : TakenBack {
    std::error_code taken;  // the command could not be taken up (another start has it): nothing done
};
// Takes up an interrupted command of folder. An interrupted take-back of it is finished: what it
// left goes on, and it is closed as found. takeBack: the files of the command found changed go
// back, last first, journaled as a recovery (or as the take-back it finishes: what it still owed
// goes back, as that kind of command). Either way what the command left goes home, and a
// command not closed is closed as it is found then.
Recovered Recover(const std::string& folder, const Interrupted& interrupted, bool takeBack,
                  RunControl* control = nullptr);

}  // namespace RunJournal
