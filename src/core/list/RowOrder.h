#pragma once

// The orders the table's rows can be sorted into. Each is a permutation of the list's entries for
// PairList::Reorder, so every file keeps its new name, state and date; a sort is stable, so rows that
// tie keep their order.

#include <cstddef>
#include <optional>
#include <vector>

class PairList;
class RunControl;

namespace RowOrder {

enum class Key {
    kName,      // the order of a load: the old paths, letters compared without regard to case
    kModified,  // the modification time of each file where it stands now, ties by name
    kTaken,     // the date taken (the list's dates must be read), else the modification time, ties by name
};

// The entry to put at each row. Files without a date go last, by name. control is asked before each
// file whose modification time is read; nullopt when it said stop.
std::optional<std::vector<std::size_t>> Order(const PairList& pairs, Key key, RunControl* control = nullptr);

}  // namespace RowOrder
