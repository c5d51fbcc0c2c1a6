#pragma once

// Taking a run back: all of it (undo), or one file (revert). Both act only on entries the pair
// list records as renamed, rename through the no-replace rename and record what they did, so the
// table never shows a name a file does not have.

#include <cstddef>
#include <vector>

#include "core/PairList.h"

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
