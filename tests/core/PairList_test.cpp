#include "core/PairList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Order = RenameExecutor::Order;

// A run over A..E whose pair C was skipped and E refused; the dates taken were read.
PairList RunOverFive() {
    PairList pairs;
    pairs.SetRun({"/d/A", "/d/B", "/d/C", "/d/D", "/d/E"}, {"/d/1", "/d/2", "/d/3", "/d/4", "/d/5"});
    pairs.Record({.executed = true, .skipped = {2}, .failed = {4}, .untried = {}, .ids = {}},
                 Order::FirstToLast);
    pairs.SetDatesTaken({10, 20, 30, 40, 50});
    return pairs;
}

TEST(PairListTest, RecordSaysWhichFilesWereRenamed) {
    PairList pairs = RunOverFive();
    EXPECT_THAT(pairs.RenamedFlags(), ElementsAre(true, true, false, true, false));
    EXPECT_THAT(pairs.Unrenamed(), ElementsAre(2U, 4U));
    // A run that never executed renamed nothing; a load forgets the run's names.
    pairs.Record({}, Order::FirstToLast);
    EXPECT_THAT(pairs.Unrenamed(), ElementsAre(0U, 1U, 2U, 3U, 4U));
    EXPECT_TRUE(pairs.HasDatesTaken());
    pairs.Load({"/d/x"});
    EXPECT_FALSE(pairs.HasNewPaths());
    EXPECT_THAT(pairs.RenamedFlags(), ElementsAre(false));
    EXPECT_FALSE(pairs.HasDatesTaken());
}

// Old path, new path, state and date taken travel together through every edit.
TEST(PairListTest, EditsKeepEachPairWhole) {
    struct Case {
        const char* what;
        void (*edit)(PairList&);
        std::vector<std::string> oldPaths;
        std::vector<std::string> newPaths;
        std::vector<bool> renamed;
        std::vector<std::int64_t> taken;
    };
    const std::vector<Case> cases = {
        // Dragging row 1 to row 3: A, B, C, D → B, C, A, D.
        {"move down",
         [](PairList& p) { p.Move(0, 2); },
         {"/d/B", "/d/C", "/d/A", "/d/D", "/d/E"},
         {"/d/2", "/d/3", "/d/1", "/d/4", "/d/5"},
         {true, false, true, true, false},
         {20, 30, 10, 40, 50}},
        {"move up",
         [](PairList& p) { p.Move(4, 1); },
         {"/d/A", "/d/E", "/d/B", "/d/C", "/d/D"},
         {"/d/1", "/d/5", "/d/2", "/d/3", "/d/4"},
         {true, false, true, false, true},
         {10, 50, 20, 30, 40}},
        {"remove one",
         [](PairList& p) { p.RemoveMany({1}); },
         {"/d/A", "/d/C", "/d/D", "/d/E"},
         {"/d/1", "/d/3", "/d/4", "/d/5"},
         {true, false, true, false},
         {10, 30, 40, 50}},
        {"remove many",
         [](PairList& p) {
             p.RemoveMany({0, 2, 4});
         },
         {"/d/B", "/d/D"},
         {"/d/2", "/d/4"},
         {true, true},
         {20, 40}},
        {"exchange one",
         [](PairList& p) { p.ExchangeOne(1); },
         {"/d/A", "/d/2", "/d/C", "/d/D", "/d/E"},
         {"/d/1", "/d/B", "/d/3", "/d/4", "/d/5"},
         {true, true, false, true, false},
         {10, 20, 30, 40, 50}},
        // Undo exchanges what it renamed back and keeps what a stop left it renamed; everything else
        // now counts as unrenamed.
        {"record exchanged",
         [](PairList& p) {
             p.RecordExchanged({0, 3}, {4}, Order::LastToFirst);
         },
         {"/d/1", "/d/B", "/d/C", "/d/4", "/d/E"},
         {"/d/A", "/d/2", "/d/3", "/d/D", "/d/5"},
         {true, false, false, true, true},
         {10, 20, 30, 40, 50}},
        // Sorted rows: E, C, A, B, D.
        {"reorder",
         [](PairList& p) {
             p.Reorder({4, 2, 0, 1, 3});
         },
         {"/d/E", "/d/C", "/d/A", "/d/B", "/d/D"},
         {"/d/5", "/d/3", "/d/1", "/d/2", "/d/4"},
         {false, false, true, true, true},
         {50, 30, 10, 20, 40}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PairList pairs = RunOverFive();
        c.edit(pairs);
        EXPECT_EQ(pairs.OldPaths(), c.oldPaths);
        EXPECT_EQ(pairs.NewPaths(), c.newPaths);
        EXPECT_EQ(pairs.RenamedFlags(), c.renamed);
        EXPECT_EQ(pairs.DatesTaken(), c.taken);
    }
}

TEST(PairListTest, ALoadedListMovesAndShrinksWithoutNewPaths) {
    PairList pairs;
    pairs.Load({"/d/A", "/d/B", "/d/C", "/d/D"});
    pairs.Move(0, 2);
    EXPECT_THAT(pairs.OldPaths(), ElementsAre("/d/B", "/d/C", "/d/A", "/d/D"));
    pairs.RemoveMany({0, 3});
    EXPECT_THAT(pairs.OldPaths(), ElementsAre("/d/C", "/d/A"));
    EXPECT_THAT(pairs.NewPaths(), IsEmpty());
    EXPECT_EQ(pairs.RenamedFlags().size(), 2U);
    pairs.Reorder({1, 0});
    EXPECT_THAT(pairs.OldPaths(), ElementsAre("/d/A", "/d/C"));
    EXPECT_THAT(pairs.DatesTaken(), IsEmpty());
}

TEST(PairListTest, MovedFilesAreNeitherRenamedNorUnrenamed) {
    PairList pairs = RunOverFive();
    pairs.MarkMovedAway({0, 3});
    EXPECT_THAT(pairs.RenamedFlags(), ElementsAre(false, true, false, false, false));
    EXPECT_THAT(pairs.Unrenamed(), ElementsAre(2U, 4U));
    EXPECT_EQ(pairs.StateOf(3), PairList::State::kMovedAway);
}

}  // namespace
