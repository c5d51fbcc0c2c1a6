#include "core/list/ColumnWidths.h"

#include <algorithm>
#include <cassert>

namespace ColumnWidths {

std::array<int, 2> Fit(int first, int second, int room, int minimum) {
    minimum = std::clamp(minimum, 0, std::max(room, 0) / 3);
    // In 64 bits: saved widths may be anything an int holds.
    const long long a = std::max(first, minimum) - static_cast<long long>(minimum);
    const long long b = std::max(second, minimum) - static_cast<long long>(minimum);
    const long long spare = std::max(room, 0) - 3LL * minimum;  // above the minimum, for all three
    if (a + b <= spare) return {static_cast<int>(minimum + a), static_cast<int>(minimum + b)};
    assert(a + b > 0);  // more than spare, which is not negative
    const long long aFitted = a * spare / (a + b);
    return {static_cast<int>(minimum + aFitted), static_cast<int>(minimum + spare - aFitted)};
}

}  // namespace ColumnWidths
