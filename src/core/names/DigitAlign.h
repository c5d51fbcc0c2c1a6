#pragma once

// Digit alignment: in every file name one run of ASCII digits is chosen and padded with leading
// zeros to the length of the longest chosen run of the list. Pure functions over full paths in
// code page 932; digits in the extension never count.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace DigitAlign {

enum class Kind {
    None,      // no digit (or an empty base)
    Trailing,  // the base ends in digits: those are the run (also for a base of digits only)
    Leading,   // else the base begins with digits
    Inner,     // else the first run of digits inside the base
};

// base = head + run + tail; views into the base given.
struct Split {
    Kind kind = Kind::None;
    std::string_view head;
    std::string_view run;
    std::string_view tail;
};
Split SplitBase(std::string_view base);

// The length of the longest run over the files of the list (0 when none has a digit).
std::size_t Width(std::span<const std::string> paths);

// The files whose names alignment changes, in list order, with their new full paths; width is
// that of the whole list.
struct Plan {
    std::vector<std::size_t> oldIndices;  // of each planned file in the list given
    std::vector<std::string> oldPaths;
    std::vector<std::string> newPaths;
    std::size_t width = 0;
};
Plan Preview(const std::vector<std::string>& paths);
// The same for a part of a list whose width is known.
Plan Preview(std::span<const std::string> paths, std::size_t width);

}  // namespace DigitAlign
