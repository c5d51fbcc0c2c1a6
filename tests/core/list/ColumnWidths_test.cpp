#include "core/list/ColumnWidths.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

namespace {

TEST(ColumnWidths, EveryColumnKeepsItsMinimum) {
    struct Case {
        int first, second, room, minimum;
        std::array<int, 2> fitted;
    };
    const Case cases[] = {
        {128, 128, 480, 40, {128, 128}},          // room left for column 3: as wanted
        {200, 240, 480, 40, {200, 240}},          // exactly the minimum left for column 3
        {100000, 128, 480, 40, {399, 41}},        // the part above the minimum shrinks in proportion
        {INT_MAX, INT_MAX, 480, 40, {220, 220}},  // no overflow
        {-1, INT_MIN, 480, 40, {40, 40}},         // too narrow: the minimum
        {0, 300, 480, 40, {40, 300}},
        {300, 300, 90, 40, {30, 30}},  // less room than three minimums: a third each
    };
    for (const Case& c : cases) {
        const std::array<int, 2> fitted = ColumnWidths::Fit(c.first, c.second, c.room, c.minimum);
        EXPECT_EQ(fitted, c.fitted) << c.first << " " << c.second << " in " << c.room;
        EXPECT_LE(static_cast<long long>(fitted[0]) + fitted[1],
                  c.room - std::min(c.minimum, std::max(c.room, 0) / 3));
    }
}

}  // namespace
