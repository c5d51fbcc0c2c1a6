#include "core/settings/InputHistory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace InputHistory;
using ::testing::ElementsAre;
using List = std::vector<std::string>;

TEST(InputHistory, KnownTextsMoveUpAndCaseCounts) {
    List h = {"x", "abc", "y"};
    EXPECT_TRUE(AddToHistory(h, "abc"));
    EXPECT_THAT(h, ElementsAre("abc", "x", "y"));
    EXPECT_TRUE(AddToHistory(h, "ABC"));
    EXPECT_THAT(h, ElementsAre("ABC", "abc", "x", "y"));
    EXPECT_TRUE(AddToHistory(h, "ABC"));  // already on top
    EXPECT_THAT(h, ElementsAre("ABC", "abc", "x", "y"));
    EXPECT_TRUE(AddToHistory(h, "y"));
    EXPECT_THAT(h, ElementsAre("y", "ABC", "abc", "x"));
}

TEST(InputHistory, EmptyTextsAreNotRecorded) {
    List h = {"a"};
    EXPECT_FALSE(AddToHistory(h, ""));
    EXPECT_FALSE(AddToLimitedHistory(h, "", 10));
    EXPECT_THAT(h, ElementsAre("a"));
    List empty;
    EXPECT_TRUE(AddToHistory(empty, "first"));
    EXPECT_THAT(empty, ElementsAre("first"));
}

TEST(InputHistory, UnlimitedHistoriesGrowPastTen) {
    List h;
    for (int i = 0; i < 12; ++i)
        AddToHistory(h, std::to_string(i));
    EXPECT_EQ(h.size(), 12u);
    EXPECT_EQ(h.front(), "11");
}

TEST(InputHistory, LimitedHistoriesDropTheOldest) {
    List h;
    for (int i = 0; i < 10; ++i)
        AddToLimitedHistory(h, std::to_string(i), 10);
    EXPECT_EQ(h.size(), 10u);
    AddToLimitedHistory(h, "eleventh", 10);
    EXPECT_EQ(h.size(), 10u);
    EXPECT_EQ(h.front(), "eleventh");
    EXPECT_EQ(h.back(), "1");         // "0" fell out
    AddToLimitedHistory(h, "5", 10);  // a known text moves up and nothing falls out
    EXPECT_EQ(h.size(), 10u);
    EXPECT_EQ(h.front(), "5");
    EXPECT_EQ(h.back(), "1");
}

}  // namespace
