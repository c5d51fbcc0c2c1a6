#include "core/settings/MoveDestinations.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using MoveDestinations::History;
using ::testing::ElementsAreArray;

History Of(const std::vector<std::string>& folders) {
    History history;
    for (std::size_t i = 0; i < folders.size(); ++i)
        history.SetSlot(static_cast<int>(i) + 1, folders[i]);
    return history;
}

TEST(MoveDestinationsTest, AddUnregisterAndClear) {
    struct Case {
        const char* name;
        std::vector<std::string> before;
        std::function<bool(History&)> change;
        bool changed;
        std::vector<std::string> after;
    };
    const std::vector<Case> cases = {
        {"a new folder goes first",
         {"/a/", "", ""},
         [](History& h) { return h.Add("/b/"); },
         true,
         {"/b/", "/a/", ""}},
        {"a fourth destination drops slot 3",
         {"/a/", "/b/", "/c/"},
         [](History& h) { return h.Add("/d/"); },
         true,
         {"/d/", "/a/", "/b/"}},
        {"the same text again keeps the order",
         {"/a/", "/b/", "/c/"},
         [](History& h) { return h.Add("/b/"); },
         false,
         {"/a/", "/b/", "/c/"}},
        {"blanks at the ends are trimmed before comparing",
         {"/a/", "/b/", ""},
         [](History& h) { return h.Add("  /b/ "); },
         false,
         {"/a/", "/b/", ""}},
        {"letter case makes another folder",
         {"/a/", "", ""},
         [](History& h) { return h.Add("/A/"); },
         true,
         {"/A/", "/a/", ""}},
        {"unregistering slot 1 of three",
         {"/a/", "/b/", "/c/"},
         [](History& h) { return h.Unregister(1); },
         true,
         {"/b/", "/c/", ""}},
        {"unregistering slot 3",
         {"/a/", "/b/", "/c/"},
         [](History& h) { return h.Unregister(3); },
         true,
         {"/a/", "/b/", ""}},
        {"slot 0 is no slot",
         {"/a/", "/b/", "/c/"},
         [](History& h) { return h.Unregister(0); },
         false,
         {"/a/", "/b/", "/c/"}},
        {"slot 4 is no slot",
         {"/a/", "/b/", "/c/"},
         [](History& h) { return h.Unregister(4); },
         false,
         {"/a/", "/b/", "/c/"}},
        {"clearing",
         {"/a/", "/b/", "/c/"},
         [](History& h) {
             h.Clear();
             return true;
         },
         true,
         {"", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        History history = Of(c.before);
        EXPECT_EQ(c.change(history), c.changed);
        EXPECT_THAT(history.All(), ElementsAreArray(c.after));
    }
}

TEST(MoveDestinationsTest, LeadingNumberOfTheAnswer) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"1", 1}, {"  2", 2}, {"+3", 3}, {"-1", -1}, {"2abc", 2}, {"3 ", 3},  {"03", 3},
        {"", 0},  {"abc", 0}, {" ", 0},  {"+", 0},   {"+-3", 0},  {"0x2", 0}, {"99999999999", 0},
    };
    for (const auto& [answer, number] : cases)
        EXPECT_EQ(MoveDestinations::LeadingNumber(answer), number) << '"' << answer << '"';
}

}  // namespace
