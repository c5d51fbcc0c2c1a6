#pragma once

// Taking a run back: all of it (undo), or one file (revert). Both act only on entries the pair
// list records as renamed, rename through the no-replace rename and record what they did, so the
// table never shows a name a file does not have.

#include <cstddef>
#include <string>
#include <vector>

#include "core/list/PairList.h"
#include "core/run/RenameExecutor.h"

class RunControl;

namespace UndoRevert {

// The entries the next undo takes back: while an undo is unfinished the files it still owes, else
// every file the last command renamed.
bool Takes(const PairList& pairs, std::size_t i);

// The entries the next undo would take back whose file no longer stands at its new path (moved,
// deleted, renamed since, or replaced by another file of that name: only the file the run renamed
// counts), and the files moved away after the run; ascending.
std::vector<std::size_t> MissingFiles(const PairList& pairs);

// True when some entry the next undo takes is not among missing: there is something to undo.
bool AnyToUndo(const PairList& pairs, const std::vector<std::size_t>& missing);

// Whether the files still need a look before each rename: kJustSeen when MissingFiles has just
// looked at every one and nothing waited for the user since.
enum class Sources { kLookAgain, kJustSeen };

// After a command: the files it renamed that a listing identified are known to be born no later
// than their folder's change time now, so that an undo finding a folder unchanged since need not
// look at each of its files.
void Restamp(PairList& pairs);

// Takes back every entry Takes names but the missing ones (ascending, as MissingFiles gives them),
// from its new path to its old one: in the opposite order to the last command, or, finishing an
// unfinished undo, in that undo's order. Then drops the missing entries. Returns the indices
// (after the drop) of the renames the file system refused: those files stay at their new paths,
// owed to the next undo.
std::vector<std::size_t> UndoAll(PairList& pairs, const std::vector<std::size_t>& missing,
                                 Sources sources = Sources::kLookAgain);

// UndoAll in steps, so that planning and renaming can run on another thread while the pair list
// is only read: the plan names the entries to take back (indices into the pair list, nothing
// copied of its paths); the execution touches only the disk; then the outcome is applied and the
// missing entries dropped.
struct UndoPlan {
    std::vector<std::size_t> entries;  // the entries to take back, ascending
    RenameExecutor::Order order = RenameExecutor::Order::FirstToLast;
    Sources sources = Sources::kLookAgain;
};
UndoPlan PlanUndo(const PairList& pairs, const std::vector<std::size_t>& missing, Sources sources);
// recorder (optional): the journal of the undo, told of the files before the first rename. The
// outcome's indices are positions in plan.entries; an undo that goes through the planner may leave
// files of a cycle under a temporary name (stranded, failed too).
RenameExecutor::PlannedOutcome ExecuteUndo(const PairList& pairs, const UndoPlan& plan,
                                           RunControl* control = nullptr,
                                           RenameExecutor::Recorder* recorder = nullptr);
// The batch ExecuteUndo gives its recorder for plan, where it is known ahead (the paths of the pair
// list, not those of a way back through the planner), so that the journal can be made ready before.
std::optional<RenameExecutor::RecordedPairs> UndoBatch(const PairList& pairs, const UndoPlan& plan);
struct UndoResult {
    std::vector<std::size_t> refused;  // entries (after the drop) whose rename the file system refused
    std::size_t done = 0;              // files renamed back (not those whose name never changed)
    bool stopped = false;              // the control stopped it: the untried are owed to the next undo
};
UndoResult ApplyUndo(PairList& pairs, const std::vector<std::size_t>& missing, const UndoPlan& plan,
                     const RenameExecutor::Outcome& outcome);

enum class Revert {
    kDone,
    kNotRenamed,  // the last command did not rename this file
    kMissing,     // the file is no longer at the new path
    kTaken,       // another file holds the old name
    kRefused,     // the file system refused the rename
};
// Renames entry i from its new path back to its old one and exchanges the pair. A name that differs
// only in letter case and resolves to the file itself (a case-folding file system) is not taken.
Revert RevertOne(PairList& pairs, std::size_t i);

// RevertOne for each of entries in turn, up to the first refusal. recorder (optional) is told,
// before the first rename, of the entries up to the first that the pair list knows is not to be
// renamed, and of what became of them; when it refuses, nothing is reverted.
struct RevertResult {
    std::size_t reverted = 0;     // the entries, from the first, that went back
    Revert stop = Revert::kDone;  // why the next one did not; kDone when every one went back
    std::error_code unrecorded;   // the recorder's refusal
};
RevertResult RevertEach(PairList& pairs, const std::vector<std::size_t>& entries,
                        RenameExecutor::Recorder* recorder = nullptr);

}  // namespace UndoRevert
