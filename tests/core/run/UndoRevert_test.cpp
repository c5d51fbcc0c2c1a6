#include "core/run/UndoRevert.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/list/MyFileOperation.h"
#include "core/run/RenameExecutor.h"
#include "support/TempDir.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testsupport::TempDir;
using Order = RenameExecutor::Order;

class UndoRevertTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return dir / name; }
    std::vector<std::string> Paths(const std::vector<std::string>& names) const {
        std::vector<std::string> paths;
        for (const std::string& name : names)
            paths.push_back(Path(name));
        return paths;
    }
    // Files named as given, each holding its own name; then the run from them to the new names.
    PairList Run(const std::vector<std::string>& from, const std::vector<std::string>& to) {
        for (const std::string& name : from)
            dir.MakeFile(name, name);
        const RenameExecutor::Outcome outcome =
            RenameExecutor::ExecuteSkippingCollisions(Paths(from), Paths(to));
        PairList pairs;
        pairs.SetRun(Paths(from), Paths(to), outcome.ids);
        pairs.Record(outcome, Order::FirstToLast);
        return pairs;
    }
    // The content of the file of that name, "" when there is none.
    std::string Holder(const std::string& name) const {
        return TempDir::Exists(Path(name)) ? TempDir::ReadFile(Path(name)) : std::string();
    }
    TempDir dir;
};

TEST_F(UndoRevertTest, UndoTwiceGoesBackAndForth) {
    // b.txt moves on to c.txt first, so a.txt can take b.txt: undo must free b.txt first.
    PairList pairs = Run({"b.txt", "a.txt"}, {"c.txt", "b.txt"});
    ASSERT_THAT(pairs.Unrenamed(), IsEmpty());
    ASSERT_EQ(Holder("b.txt"), "a.txt");

    EXPECT_THAT(UndoRevert::MissingFiles(pairs), IsEmpty());
    EXPECT_THAT(UndoRevert::UndoAll(pairs, {}), IsEmpty());
    EXPECT_EQ(Holder("a.txt"), "a.txt");
    EXPECT_EQ(Holder("b.txt"), "b.txt");
    EXPECT_FALSE(TempDir::Exists(Path("c.txt")));
    EXPECT_EQ(pairs.OldPaths(), Paths({"c.txt", "b.txt"}));
    EXPECT_EQ(pairs.NewPaths(), Paths({"b.txt", "a.txt"}));

    EXPECT_THAT(UndoRevert::UndoAll(pairs, {}), IsEmpty());
    EXPECT_EQ(Holder("c.txt"), "b.txt");
    EXPECT_EQ(Holder("b.txt"), "a.txt");
    EXPECT_EQ(pairs.OldPaths(), Paths({"b.txt", "a.txt"}));
}

TEST_F(UndoRevertTest, UndoTouchesOnlyWhatTheRunRenamed) {
    // x.txt → taken.txt is skipped: the other file holding taken.txt must stay where it is.
    dir.MakeFile("taken.txt", "someone else");
    PairList pairs = Run({"x.txt", "y.txt"}, {"taken.txt", "z.txt"});
    ASSERT_THAT(pairs.Unrenamed(), ElementsAre(0U));
    EXPECT_THAT(UndoRevert::MissingFiles(pairs), IsEmpty());
    EXPECT_THAT(UndoRevert::UndoAll(pairs, {}), IsEmpty());
    EXPECT_EQ(Holder("taken.txt"), "someone else");
    EXPECT_EQ(Holder("x.txt"), "x.txt");
    EXPECT_EQ(Holder("y.txt"), "y.txt");
    EXPECT_EQ(pairs.OldPaths(), Paths({"x.txt", "z.txt"}));  // the skipped pair is not flipped
    EXPECT_THAT(pairs.Unrenamed(), ElementsAre(0U));
}

TEST_F(UndoRevertTest, MissingFilesAreDroppedAndARefusedFileIsOwedToTheNextUndo) {
    PairList pairs = Run({"a", "b", "c"}, {"A1", "B1", "C1"});
    std::filesystem::remove(Path("A1"));
    dir.MakeFile("c", "a newcomer");  // c's old name is taken since
    const std::vector<std::size_t> missing = UndoRevert::MissingFiles(pairs);
    EXPECT_THAT(missing, ElementsAre(0U));
    EXPECT_TRUE(UndoRevert::AnyToUndo(pairs, missing));

    EXPECT_THAT(UndoRevert::UndoAll(pairs, missing), ElementsAre(1U));
    EXPECT_EQ(Holder("b"), "b");
    EXPECT_EQ(Holder("C1"), "c");  // refused, never replacing the newcomer
    EXPECT_EQ(Holder("c"), "a newcomer");
    EXPECT_EQ(pairs.OldPaths(), Paths({"B1", "c"}));
    EXPECT_EQ(pairs.NewPaths(), Paths({"b", "C1"}));
    EXPECT_TRUE(pairs.UndoUnfinished());
    EXPECT_TRUE(pairs.Renamed(1));

    // The next undo finishes this one: it takes back the owed file alone, once its name is free.
    EXPECT_THAT(UndoRevert::UndoAll(pairs, UndoRevert::MissingFiles(pairs)), ElementsAre(1U));
    std::filesystem::rename(Path("c"), Path("elsewhere"));
    EXPECT_THAT(UndoRevert::MissingFiles(pairs), IsEmpty());
    EXPECT_THAT(UndoRevert::UndoAll(pairs, {}), IsEmpty());
    EXPECT_EQ(Holder("b"), "b");
    EXPECT_EQ(Holder("c"), "c");
    EXPECT_FALSE(pairs.UndoUnfinished());
    EXPECT_EQ(pairs.OldPaths(), Paths({"B1", "C1"}));
    EXPECT_EQ(pairs.NewPaths(), Paths({"b", "c"}));

    // Finished, undo takes the whole run again.
    EXPECT_THAT(UndoRevert::UndoAll(pairs, {}), IsEmpty());
    EXPECT_EQ(Holder("B1"), "b");
    EXPECT_EQ(Holder("C1"), "c");

    // With every renamed file gone there is nothing to undo.
    std::filesystem::remove(Path("B1"));
    std::filesystem::remove(Path("C1"));
    EXPECT_FALSE(UndoRevert::AnyToUndo(pairs, UndoRevert::MissingFiles(pairs)));
}

TEST_F(UndoRevertTest, RevertOneSaysWhyItCannot) {
    using UndoRevert::Revert;
    struct Case {
        const char* what;
        void (*before)(const TempDir&, PairList&);
        Revert expected;
        bool reverted;  // the file is back under its old name and the pair exchanged
    };
    const std::vector<Case> cases = {
        {"renamed", [](const TempDir&, PairList&) {}, Revert::kDone, true},
        {"new name gone", [](const TempDir& d, PairList&) { std::filesystem::remove(d / "new"); },
         Revert::kMissing, false},
        // An editor that saves by writing a new file: the file the run renamed is gone.
        {"new name another file now",
         [](const TempDir& d, PairList&) {
             d.MakeFile("new2", "mine");
             std::filesystem::rename(d / "new2", d / "new");
         },
         Revert::kMissing, false},
        {"moved by the move after renaming", [](const TempDir&, PairList& p) { p.MarkMovedAway({0}); },
         Revert::kMissing, false},
        {"old name taken", [](const TempDir& d, PairList&) { d.MakeFile("old", "other"); }, Revert::kTaken,
         false},
        // A second name of the same file is not another file, but no rename may replace it.
        {"old name a hard link of the file",
         [](const TempDir& d, PairList&) { ASSERT_EQ(link((d / "new").c_str(), (d / "old").c_str()), 0); },
         Revert::kRefused, false},
        {"old name a symbolic link to the file",
         [](const TempDir& d, PairList&) { ASSERT_EQ(symlink((d / "new").c_str(), (d / "old").c_str()), 0); },
         Revert::kTaken, false},
        {"not renamed by the run",
         [](const TempDir&, PairList& p) {
             p.Record(
                 {.executed = true, .skipped = {0}, .failed = {}, .untried = {}, .ids = {}, .unrecorded = {}},
                 Order::FirstToLast);
         },
         Revert::kNotRenamed, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir d;
        d.MakeFile("new", "mine");
        PairList pairs;
        pairs.SetRun({d / "old"}, {d / "new"}, {MyFileOperation::FileIdentity(d / "new").value()});
        pairs.Record(
            {.executed = true, .skipped = {}, .failed = {}, .untried = {}, .ids = {}, .unrecorded = {}},
            Order::FirstToLast);
        c.before(d, pairs);
        EXPECT_EQ(UndoRevert::RevertOne(pairs, 0), c.expected);
        EXPECT_EQ(pairs.OldPaths().front() == d / "new", c.reverted);
        if (c.reverted) {
            EXPECT_EQ(TempDir::ReadFile(d / "old"), "mine");
        }
        if (c.expected != Revert::kMissing) {
            EXPECT_TRUE(TempDir::Exists(d / (c.reverted ? "old" : "new")));
        }
    }
}

}  // namespace
