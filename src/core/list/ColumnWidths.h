#pragma once

// Widths of the rename table's columns 1 and 2, which keep the widths the user gave them while
// column 3 takes the rest of the table's width.

#include <array>

namespace ColumnWidths {

// Columns 1 and 2 wanting the given widths, in room pixels shared by columns 1 to 3: each of the
// three gets at least minimum (a third of the room when the room is smaller). Wanted widths that
// leave column 3 its minimum stay; wider ones give up their part above the minimum in proportion.
std::array<int, 2> Fit(int first, int second, int room, int minimum);

}  // namespace ColumnWidths
