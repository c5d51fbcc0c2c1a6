#include "core/list/PairList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Order = RenameExecutor::Order;

// The identity of file n (1 for A, ...).
Platform::EntryId Id(std::uint64_t n) {
    return {{1, n}, 7, {}};
}

// A run over A..E whose pair C was skipped and E refused; the dates taken were read.
PairList RunOverFive() {
    PairList pairs;
    pairs.SetRun({"/d/A", "/d/B", "/d/C", "/d/D", "/d/E"}, {"/d/1", "/d/2", "/d/3", "/d/4", "/d/5"},
                 {Id(1), Id(2), Id(3), Id(4), Id(5)});
    pairs.Record(
        {.executed = true, .skipped = {2}, .failed = {4}, .untried = {}, .ids = {}, .unrecorded = {}},
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
    EXPECT_EQ(pairs.IdOf(0), Platform::EntryId{});
}

// Old path, new path, state, identity and date taken travel together through every edit.
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
        // Undo exchanges what it took back; the rest stays as it was, a refused or untried file
        // still renamed by the run.
        {"record undo",
         [](PairList& p) {
             p.RecordUndo({0, 3}, {1}, Order::LastToFirst);
         },
         {"/d/1", "/d/B", "/d/C", "/d/4", "/d/E"},
         {"/d/A", "/d/2", "/d/3", "/d/D", "/d/5"},
         {true, true, false, true, false},
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
        // Each file keeps its identity: file n was named by its letter or digit n.
        for (std::size_t i = 0; i < pairs.Size(); ++i) {
            const char mark = pairs.OldPaths()[i].back();
            const auto n = static_cast<std::uint64_t>(mark >= 'A' ? mark - 'A' + 1 : mark - '0');
            EXPECT_EQ(pairs.IdOf(i), Id(n)) << i;
        }
    }
}

TEST(PairListTest, ALoadedListMovesAndShrinksWithoutNewPaths) {
    PairList pairs;
    pairs.Load({"/d/A", "/d/B", "/d/C", "/d/D"});
    // The dates taken are read meanwhile, in the order of the load.
    pairs.BeginDatesTaken();
    pairs.Move(0, 2);
    EXPECT_THAT(pairs.OldPaths(), ElementsAre("/d/B", "/d/C", "/d/A", "/d/D"));
    pairs.RemoveMany({0, 3});
    EXPECT_THAT(pairs.OldPaths(), ElementsAre("/d/C", "/d/A"));
    EXPECT_THAT(pairs.NewPaths(), IsEmpty());
    EXPECT_EQ(pairs.RenamedFlags().size(), 2U);
    pairs.Reorder({1, 0});
    EXPECT_THAT(pairs.OldPaths(), ElementsAre("/d/A", "/d/C"));
    EXPECT_FALSE(pairs.HasDatesTaken());
    pairs.ReceiveDatesTaken({10, 20, 30, 40});
    EXPECT_THAT(pairs.DatesTaken(), ElementsAre(10, 30));
}

// An undo that did not take back every file is unfinished until the owed files are back; a revert
// moves a file between the two sides.
TEST(PairListTest, AnUnfinishedUndoOwesItsFilesUntilTheyAreBack) {
    PairList pairs = RunOverFive();
    pairs.RecordUndo({3}, {0, 1}, Order::LastToFirst);
    EXPECT_TRUE(pairs.UndoUnfinished());
    EXPECT_EQ(pairs.StateOf(0), PairList::State::kOwed);
    EXPECT_EQ(pairs.StateOf(3), PairList::State::kRenamed);
    EXPECT_THAT(pairs.Unrenamed(), ElementsAre(2U, 4U));

    pairs.ExchangeOne(3);  // taken back, now at the run's name again: owed
    EXPECT_EQ(pairs.StateOf(3), PairList::State::kOwed);
    pairs.RemoveMany({0});
    pairs.ExchangeOne(0);                           // B back by a revert
    pairs.RecordUndo({2}, {}, Order::LastToFirst);  // D back by the undo that finishes it
    EXPECT_FALSE(pairs.UndoUnfinished());
    EXPECT_THAT(pairs.OldPaths(), ElementsAre("/d/2", "/d/C", "/d/4", "/d/E"));
    EXPECT_THAT(pairs.RenamedFlags(), ElementsAre(true, false, true, false));

    // Finished, a revert toggles the file alone.
    pairs.ExchangeOne(0);
    EXPECT_EQ(pairs.StateOf(0), PairList::State::kRenamed);
    EXPECT_FALSE(pairs.UndoUnfinished());
}

TEST(PairListTest, MovedFilesAreNeitherRenamedNorUnrenamed) {
    PairList pairs = RunOverFive();
    pairs.MarkMovedAway({0, 3});
    EXPECT_THAT(pairs.RenamedFlags(), ElementsAre(false, true, false, false, false));
    EXPECT_THAT(pairs.Unrenamed(), ElementsAre(2U, 4U));
    EXPECT_EQ(pairs.StateOf(3), PairList::State::kMovedAway);
}

// A packed list comes back path for path: folders that return, a name at the root, a path
// without a folder, a double-byte folder, and new paths in other folders than the old ones.
TEST(PairListTest, APackedListUnpacksAsItWas) {
    const std::vector<std::string> old = {"/a/1", "/b/2", "/a/3", "/4", "5", "/\x8e\xca\x90\x5e/6", "/a/7"};
    const std::vector<std::string> renamed = {"/c/1", "/c/2", "/a/x", "/y", "z", "/a/6", "/a/7"};
    PairList pairs;
    pairs.Load(old);
    pairs.SetRun(renamed, std::vector<Platform::EntryId>(old.size()));
    pairs.Pack();
    EXPECT_THAT(pairs.OldPaths(), IsEmpty());
    pairs.Unpack();
    EXPECT_EQ(pairs.OldPaths(), old);
    EXPECT_EQ(pairs.NewPaths(), renamed);
}

}  // namespace
