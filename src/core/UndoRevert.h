#pragma once

// Taking a run back: all of it (undo), or one file (revert). Both act only on entries the pair
// list records as renamed, rename through the no-replace rename and record what they did, so the
// table never shows a name a file does not have.

#include <cstddef>
#include <string>
#include <vector>

#include "core/PairList.h"
#include "core/RenameExecutor.h"

class RunControl;

namespace UndoRevert {

// The renamed entries whose file no longer stands at its new path (moved, deleted or renamed
// since), ascending.
std::vector<std::size_t> MissingFiles(const PairList& pairs);

// True when some renamed entry is not among missing: there is something to undo.
bool AnyToUndo(const PairList& pairs, const std::vector<std::size_t>& missing);

// Whether the files still need a look before each rename: kJustSeen when MissingFiles has just
// looked at every one and nothing waited for the user since.
enum class Sources { kLookAgain, kJustSeen };

// Drops the missing entries (ascending, as MissingFiles gives them), then renames every renamed
// entry from its new path back to its old one, in the opposite order to the last command, and
// exchanges the pairs that went through. Returns the indices (after the drop) of the renames the
// file system refused: those pairs stay as they were and count as unrenamed, like every entry
// the last command had not renamed.
std::vector<std::size_t> UndoAll(PairList& pairs, const std::vector<std::size_t>& missing,
                                 Sources sources = Sources::kLookAgain);

// UndoAll in steps, so that planning and renaming can run on another thread while the pair list
// is only read: the plan copies the pairs to rename back, numbered as after the missing entries are
// dropped; the execution touches only the disk; then the caller drops the missing entries and
// applies the outcome.
struct UndoPlan {
    std::vector<std::size_t> entries;  // renamed entries (after the drop), in list order
    std::vector<std::string> from;     // their new paths
    std::vector<std::string> to;       // their old paths
    RenameExecutor::Order order = RenameExecutor::Order::FirstToLast;
    Sources sources = Sources::kLookAgain;
};
UndoPlan PlanUndo(const PairList& pairs, const std::vector<std::size_t>& missing, Sources sources);
RenameExecutor::Outcome ExecuteUndo(const UndoPlan& plan, RunControl* control = nullptr);
struct UndoResult {
    std::vector<std::size_t> refused;  // entries whose rename the file system refused
    std::size_t done = 0;              // files renamed back (not those whose name never changed)
    bool stopped = false;              // the control stopped it: the untried stay renamed, not exchanged
};
// pairs without the missing entries.
UndoResult ApplyUndo(PairList& pairs, const UndoPlan& plan, const RenameExecutor::Outcome& outcome);

enum class Revert {
    kDone,
    kNotRenamed,  // the last command did not rename this file
    kMissing,     // no file at the new path
    kTaken,       // another file holds the old name
    kRefused,     // the file system refused the rename
};
// Renames entry i from its new path back to its old one and exchanges the pair. A name that differs
// only in letter case and resolves to the file itself (a case-folding file system) is not taken.
Revert RevertOne(PairList& pairs, std::size_t i);

}  // namespace UndoRevert
