#include "core/run/RenameExecutor.h"
#include "core/run/RunControl.h"
#include "core/run/SourcesAhead.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "support/StopBefore.h"
#include "support/TempDir.h"

namespace {

using namespace RenameExecutor;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testsupport::TempDir;

class RenameExecutorTest : public ::testing::Test {
protected:
    std::string File(const std::string& name, const std::string& content = "") {
        return dir.MakeFile(name, content.empty() ? name : content);
    }
    std::string Path(const std::string& name) const { return dir / name; }
    bool Holds(const std::string& name, const std::string& content) const {
        return TempDir::Exists(Path(name)) && TempDir::ReadFile(Path(name)) == content;
    }
    TempDir dir;
};

TEST_F(RenameExecutorTest, RenamesEveryPairAndReportsFailures) {
    const std::vector<std::string> oldPaths = {File("a.txt"), File("b.txt"), File("c.txt")};
    // A name longer than any file system allows makes the middle rename fail.
    const std::vector<std::string> newPaths = {Path("1.txt"), Path(std::string(300, 'x') + ".txt"),
                                               Path("c.txt")};
    const Outcome outcome = ExecuteRenames(oldPaths, newPaths);
    EXPECT_TRUE(outcome.executed);
    EXPECT_THAT(outcome.failed, ElementsAre(1u));  // c.txt keeps its own name: not a failure
    EXPECT_THAT(outcome.skipped, IsEmpty());
    EXPECT_TRUE(Holds("1.txt", "a.txt"));
    EXPECT_TRUE(Holds("b.txt", "b.txt"));
    EXPECT_TRUE(Holds("c.txt", "c.txt"));
}

TEST_F(RenameExecutorTest, NothingIsTriedForAnEmptyOrMismatchedList) {
    const std::vector<std::string> two = {File("a.txt"), File("b.txt")};
    const std::vector<std::string> one = {Path("c.txt")};
    for (const auto& [oldPaths, newPaths] : {std::pair{two, one}, std::pair{one, two}}) {
        EXPECT_FALSE(ExecuteRenames(oldPaths, newPaths).executed);
        EXPECT_FALSE(ExecuteCheckedRenames(oldPaths, newPaths).executed);
        EXPECT_FALSE(ExecuteSkippingCollisions(oldPaths, newPaths).executed);
    }
    EXPECT_FALSE(ExecuteRenames({}, {}).executed);
    EXPECT_FALSE(ExecuteSkippingCollisions({}, {}).executed);
    EXPECT_TRUE(Holds("a.txt", "a.txt"));
    EXPECT_TRUE(Holds("b.txt", "b.txt"));
    EXPECT_FALSE(TempDir::Exists(Path("c.txt")));
}

TEST_F(RenameExecutorTest, ExistingTargetsAreNeverReplaced) {
    const std::vector<std::string> oldPaths = {File("a.txt"), File("b.txt")};
    File("taken.txt", "keep me");
    const Outcome outcome = ExecuteRenames(oldPaths, {Path("taken.txt"), Path("b2.txt")});
    EXPECT_THAT(outcome.failed, ElementsAre(0u));
    EXPECT_TRUE(Holds("taken.txt", "keep me"));
    EXPECT_TRUE(Holds("a.txt", "a.txt"));
    EXPECT_TRUE(Holds("b2.txt", "b.txt"));
}

TEST_F(RenameExecutorTest, SkipAndMarkJudgesTheDiskAtEachStep) {
    struct Case {
        const char* folder;
        Order order;
        std::vector<std::size_t> skipped;
        const char* cNowIn;  // the name c.txt's file has afterwards; the other of c.txt, d.txt is free
        const char* freeName;
    };
    // First to last, d.txt still exists when c.txt wants it, although d.txt is renamed away right
    // after; last to first, d.txt is gone by then.
    const Case cases[] = {
        {"forward", Order::FirstToLast, {0, 1, 2, 4, 5}, "c.txt", "d.txt"},
        {"backward", Order::LastToFirst, {0, 1, 4, 5}, "d.txt", "c.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        const std::string f = std::string(c.folder) + "/";
        // Three files whose new names already exist, and a pair that swaps two names.
        const std::vector<std::string> oldPaths = {File(f + "a.txt", "a.txt"), File(f + "b.txt", "b.txt"),
                                                   File(f + "c.txt", "c.txt"), File(f + "d.txt", "d.txt"),
                                                   File(f + "x.txt", "x.txt"), File(f + "y.txt", "y.txt")};
        File(f + "A1.txt", "existing 1");
        File(f + "B1.txt", "existing 2");
        const std::vector<std::string> newPaths = {Path(f + "A1.txt"), Path(f + "B1.txt"), Path(f + "d.txt"),
                                                   Path(f + "D1.txt"), Path(f + "y.txt"),  Path(f + "x.txt")};
        const Outcome outcome = ExecuteSkippingCollisions(oldPaths, newPaths, c.order);
        EXPECT_EQ(outcome.skipped, c.skipped);
        EXPECT_THAT(outcome.failed, IsEmpty());
        EXPECT_TRUE(Holds(f + "A1.txt", "existing 1"));
        EXPECT_TRUE(Holds(f + c.cNowIn, "c.txt"));
        EXPECT_FALSE(TempDir::Exists(Path(f + c.freeName)));
        EXPECT_TRUE(Holds(f + "D1.txt", "d.txt"));
        EXPECT_TRUE(Holds(f + "x.txt", "x.txt"));
        EXPECT_TRUE(Holds(f + "y.txt", "y.txt"));
    }
}

TEST_F(RenameExecutorTest, TakenMeansAnotherFileUnderTheStringRule) {
    const std::vector<std::string> oldPaths = {
        File("a.txt"), File("b.txt"), File("c.txt"),      File("d.txt"), File("e.txt"),
        File("f.txt"), Path("gone"),  dir.MakeDir("sub"), File("h.txt"), File("i.txt")};
    File("D.txt", "another file");  // this file system tells case apart: D.txt is not d.txt
    // a case change of the file itself; two entries composed to one name (the first wins); a case
    // change onto a different file; names that can never be a file's; a source that is gone, and
    // one that is a folder now; two pairs the caller refused, one of them into a subfolder.
    const std::vector<std::string> newPaths = {
        Path("A.txt"), Path("same.txt"), Path("same.txt"), Path("D.txt"),    Path("."),
        Path(".."),    Path("g"),        Path("sub2"),     Path("free.txt"), Path("sub/i.txt")};
    const Outcome outcome =
        ExecuteSkippingCollisions(oldPaths, newPaths, Order::FirstToLast, nullptr, {8, 9});
    EXPECT_THAT(outcome.skipped, ElementsAre(2u, 3u));
    EXPECT_THAT(outcome.failed, ElementsAre(4u, 5u, 6u, 7u, 8u, 9u));
    EXPECT_TRUE(TempDir::Exists(Path("sub")));
    EXPECT_FALSE(TempDir::Exists(Path("sub2")));
    EXPECT_TRUE(Holds("h.txt", "h.txt"));
    EXPECT_TRUE(Holds("i.txt", "i.txt"));
    EXPECT_FALSE(TempDir::Exists(Path("free.txt")));
    EXPECT_FALSE(TempDir::Exists(Path("sub/i.txt")));
    EXPECT_TRUE(Holds("A.txt", "a.txt"));
    EXPECT_FALSE(TempDir::Exists(Path("a.txt")));
    EXPECT_TRUE(Holds("same.txt", "b.txt"));
    EXPECT_TRUE(Holds("c.txt", "c.txt"));
    EXPECT_TRUE(Holds("D.txt", "another file"));
    EXPECT_TRUE(Holds("d.txt", "d.txt"));
    EXPECT_TRUE(Holds("e.txt", "e.txt"));
    EXPECT_TRUE(Holds("f.txt", "f.txt"));
}

TEST_F(RenameExecutorTest, FirstMissingFile) {
    const std::string a = File("a.txt");
    EXPECT_FALSE(FirstMissingFile({a}));
    EXPECT_EQ(FirstMissingFile({a, Path("gone.txt"), Path("gone2.txt")}), 1u);
    EXPECT_EQ(FirstMissingFile({dir.Path()}), 0u);  // a folder is not a listed file
}

TEST_F(RenameExecutorTest, CheckedRenamesKeepEveryGuardButTheSourceLook) {
    const std::vector<std::string> oldPaths = {File("a.txt"), File("b.txt"), Path("gone.txt"), File("d.txt")};
    File("taken.txt", "keep me");
    const Outcome outcome =
        ExecuteCheckedRenames(oldPaths, {Path("1.txt"), Path("taken.txt"), Path("3.txt"), Path("D.TXT")});
    EXPECT_TRUE(outcome.executed);
    EXPECT_THAT(outcome.failed, ElementsAre(1u, 2u));
    EXPECT_TRUE(Holds("1.txt", "a.txt"));
    EXPECT_TRUE(Holds("taken.txt", "keep me"));
    EXPECT_TRUE(Holds("b.txt", "b.txt"));
    EXPECT_FALSE(TempDir::Exists(Path("3.txt")));
    EXPECT_TRUE(Holds("D.TXT", "d.txt"));
    EXPECT_FALSE(ExecuteCheckedRenames({}, {}).executed);

    // Last to first, each name of a chain is free again by the time its file is wanted there.
    const Outcome chain = ExecuteCheckedRenames({File("p.txt"), File("q.txt")},
                                                {Path("q.txt"), Path("r.txt")}, Order::LastToFirst);
    EXPECT_THAT(chain.failed, IsEmpty());
    EXPECT_TRUE(Holds("q.txt", "p.txt"));
    EXPECT_TRUE(Holds("r.txt", "q.txt"));
}

// The same pairs alone and followed by forty more in their folder: with them the folder is read
// whole for the looks at the sources, alone every source is looked at by its path. Outcomes and
// files must not differ, also where earlier renames of the run change what a later source is.
// The skipping run with its sources' folders read, and the files identified, on another thread
// before the pairs are known.
Outcome SkippingReadAhead(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths,
                          Order order, RunControl* control) {
    SourcesAhead ahead(oldPaths);
    std::vector<std::size_t> listed(oldPaths.size());
    std::iota(listed.begin(), listed.end(), 0);
    return ExecuteSkippingCollisions(oldPaths, newPaths, order, control, {}, nullptr, ahead, listed);
}

TEST_F(RenameExecutorTest, AFolderReadWholeGivesTheOutcomesOfALookAtEachPath) {
    using Execute =
        Outcome (*)(const std::vector<std::string>&, const std::vector<std::string>&, Order, RunControl*);
    struct Case {
        const char* name;
        Execute execute;
        std::vector<std::size_t> skipped;
        std::vector<std::size_t> failed;
    };
    const Case cases[] = {
        {"plain", &ExecuteRenames, {}, {2, 3, 5, 6, 7, 8, 10}},
        {"skipping", &ExecuteSkippingCollisions, {7}, {2, 3, 5, 6, 8, 10}},
        {"ahead", &SkippingReadAhead, {7}, {2, 3, 5, 6, 8, 10}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> onDisk[2];
        for (const bool padded : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (padded ? " with forty more" : " alone"));
            const std::string f = std::string(c.name) + (padded ? "-padded/" : "/");
            const std::vector<std::string> oldPaths = {
                File(f + "q.txt"),       Path(f + "p.txt"), Path(f + "q.txt"), Path(f + "p.txt"),
                File(f + "dir"),         Path(f + "DIR"),   Path(f + "dir"),   File(f + "u.txt"),
                dir.MakeDir(f + "fold"), Path(f + "link"),  Path(f + "broken")};
            File(f + "p.txt");
            dir.MakeDir(f + "DIR");
            File(f + "taken.txt");
            std::filesystem::create_symlink("u.txt", Path(f + "link"));
            std::filesystem::create_symlink("nowhere", Path(f + "broken"));
            // q moves on and p takes its name: the q met again is another file than the one that
            // stood there and stays, and p is gone by then; a file moves
            // away from beside a folder of the other spelling, and neither a change of case nor
            // another name renames the folder; a taken name, a folder, a link to a file and a
            // broken link.
            std::vector<std::string> newPaths = {Path(f + "r.txt"), Path(f + "q.txt"),     Path(f + "s.txt"),
                                                 Path(f + "t.txt"), Path(f + "z.txt"),     Path(f + "dir"),
                                                 Path(f + "w.txt"), Path(f + "taken.txt"), Path(f + "fold2"),
                                                 Path(f + "link2"), Path(f + "b2")};
            std::vector<std::string> from = oldPaths;
            for (int i = 0; padded && i < 40; ++i) {
                from.push_back(File(f + "pad" + std::to_string(i)));
                newPaths.push_back(Path(f + "padded" + std::to_string(i)));
            }
            const Outcome outcome = c.execute(from, newPaths, Order::FirstToLast, nullptr);
            EXPECT_EQ(outcome.skipped, c.skipped);
            EXPECT_EQ(outcome.failed, c.failed);
            EXPECT_TRUE(Holds(f + "q.txt", f + "p.txt"));
            for (const auto& entry : std::filesystem::directory_iterator(Path(f))) {
                const std::string name = entry.path().filename().string();
                if (!name.starts_with("pad")) onDisk[padded ? 1 : 0].push_back(name);
            }
            std::sort(onDisk[padded ? 1 : 0].begin(), onDisk[padded ? 1 : 0].end());
        }
        EXPECT_EQ(onDisk[0], onDisk[1]);
        EXPECT_EQ(onDisk[0], std::vector<std::string>({"DIR", "broken", "fold", "link2", "q.txt", "r.txt",
                                                       "taken.txt", "u.txt", "z.txt"}))
            << c.name;
    }
}

// Pairs that cannot meet (no source listed twice, no new name another's source) are renamed from
// the folder's listing without a look at each source as they go: the same outcomes as looks at
// each path, for a folder, a link to a file, a broken link, a missing file, a taken name and a
// change of case, whichever way the sources were looked at first.
TEST_F(RenameExecutorTest, PairsThatCannotMeetGiveTheOutcomesOfALookAtEachPath) {
    using Execute =
        Outcome (*)(const std::vector<std::string>&, const std::vector<std::string>&, Order, RunControl*);
    for (const Execute execute : {Execute{&ExecuteSkippingCollisions}, Execute{&SkippingReadAhead}}) {
        std::vector<std::string> onDisk[2];
        for (const bool padded : {false, true}) {
            SCOPED_TRACE(padded ? "with forty more" : "alone");
            const std::string f =
                std::string(execute == &SkippingReadAhead ? "ahead" : "plain") + (padded ? "-padded/" : "/");
            File(f + "u.txt");
            File(f + "taken.txt", "keep me");
            std::filesystem::create_symlink("u.txt", Path(f + "link"));
            std::filesystem::create_symlink("nowhere", Path(f + "broken"));
            std::vector<std::string> oldPaths = {
                File(f + "a.txt"),    dir.MakeDir(f + "fold"), Path(f + "link"), Path(f + "broken"),
                Path(f + "gone.txt"), File(f + "b.txt"),       File(f + "m.txt")};
            std::vector<std::string> newPaths = {
                Path(f + "a2.txt"),    Path(f + "fold2"),     Path(f + "link2"), Path(f + "b2"),
                Path(f + "gone2.txt"), Path(f + "taken.txt"), Path(f + "M.txt")};
            for (int i = 0; padded && i < 40; ++i) {
                oldPaths.push_back(File(f + "pad" + std::to_string(i)));
                newPaths.push_back(Path(f + "padded" + std::to_string(i)));
            }
            ASSERT_TRUE(Independent(oldPaths, newPaths));
            const Outcome outcome = execute(oldPaths, newPaths, Order::FirstToLast, nullptr);
            EXPECT_THAT(outcome.skipped, ElementsAre(5u));
            EXPECT_THAT(outcome.failed, ElementsAre(1u, 3u, 4u));
            EXPECT_TRUE(Holds(f + "taken.txt", "keep me"));
            EXPECT_TRUE(Holds(f + "M.txt", f + "m.txt"));
            for (const std::string& name : TempDir::Names(Path(f))) {
                if (!name.starts_with("pad")) onDisk[padded ? 1 : 0].push_back(name);
            }
        }
        EXPECT_EQ(onDisk[0], onDisk[1]);
        EXPECT_EQ(onDisk[0], std::vector<std::string>({"M.txt", "a2.txt", "b.txt", "broken", "fold", "link2",
                                                       "taken.txt", "u.txt"}));
    }
    // Pairs that meet are not of this kind: a source listed twice, a new name another's source.
    EXPECT_FALSE(Independent({Path("x"), Path("x")}, {Path("y"), Path("z")}));
    EXPECT_FALSE(Independent({Path("x"), Path("y")}, {Path("y"), Path("z")}));
}

// Only pairs that neither meet nor share a new name may go in list order whatever order was asked
// for: of two files given one name, the order decides which gets it.
TEST_F(RenameExecutorTest, OnlyPairsApartGoInListOrder) {
    struct Case {
        const char* name;
        std::vector<std::string> from;
        std::vector<std::string> to;
        Pairing pairing;
    };
    const Case cases[] = {
        {"apart", {"a", "b", "c"}, {"A", "B", "C"}, Pairing::kApart},
        {"one new name twice", {"a", "b", "c"}, {"x", "B", "x"}, Pairing::kIndependent},
        {"a new name another's source", {"a", "b"}, {"b", "c"}, Pairing::kMeeting},
        {"a source twice", {"a", "a"}, {"x", "y"}, Pairing::kMeeting},
        {"lists out of step", {"a", "b"}, {"x"}, Pairing::kMeeting},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> from;
        std::vector<std::string> to;
        for (const std::string& name : c.from)
            from.push_back(Path(name));
        for (const std::string& name : c.to)
            to.push_back(Path(name));
        EXPECT_EQ(PairingOf(from, to), c.pairing);
        EXPECT_EQ(WalkOrder(c.pairing, Order::LastToFirst),
                  c.pairing == Pairing::kApart ? Order::FirstToLast : Order::LastToFirst);
    }
    // Where the files of one name go last to first, the later one gets the name.
    const std::vector<std::string> from = {File("p.txt", "first"), File("q.txt", "second")};
    const std::vector<std::string> to = {Path("x.txt"), Path("x.txt")};
    const Order walk = WalkOrder(PairingOf(from, to), Order::LastToFirst);
    EXPECT_THAT(ExecuteSkippingCollisions(from, to, walk).skipped, ElementsAre(0u));
    EXPECT_TRUE(Holds("x.txt", "second"));
}

// Deletes a file when asked before the given step: a source that vanishes after the run looked.
class DeleteBefore final : public RunControl {
public:
    DeleteBefore(std::size_t step, std::string path) : step_(step), path_(std::move(path)) {}
    bool Continue(std::size_t done) override {
        if (done == step_) std::filesystem::remove(path_);
        return true;
    }

private:
    std::size_t step_;
    std::string path_;
};

// A source that is gone is a failure, never a collision, whatever stands at its new name: gone
// before the run, or after the run looked at it (alone: looked at by its path; with forty more:
// in its folder's entries, read before it went).
TEST_F(RenameExecutorTest, AVanishedSourceIsAFailureNotACollision) {
    for (const bool padded : {false, true}) {
        SCOPED_TRACE(padded ? "with forty more" : "alone");
        const std::string f = padded ? "padded/" : "alone/";
        std::vector<std::string> oldPaths = {File(f + "a.txt"), Path(f + "gone.txt"), File(f + "c.txt")};
        File(f + "taken.txt", "keep me");
        std::vector<std::string> newPaths(3, Path(f + "taken.txt"));
        for (int i = 0; padded && i < 40; ++i) {
            oldPaths.push_back(File(f + "pad" + std::to_string(i)));
            newPaths.push_back(Path(f + "padded" + std::to_string(i)));
        }
        DeleteBefore control(0, oldPaths[0]);
        const Outcome outcome = ExecuteSkippingCollisions(oldPaths, newPaths, Order::FirstToLast, &control);
        EXPECT_THAT(outcome.failed, ElementsAre(0u, 1u));
        EXPECT_THAT(outcome.skipped, ElementsAre(2u));
        EXPECT_TRUE(Holds(f + "taken.txt", "keep me"));
        EXPECT_TRUE(Holds(f + "c.txt", f + "c.txt"));
    }
}

TEST_F(RenameExecutorTest, AStopLeavesTheRestUntriedAndWhole) {
    using Execute =
        Outcome (*)(const std::vector<std::string>&, const std::vector<std::string>&, Order, RunControl*);
    for (const Execute execute :
         {Execute{&ExecuteRenames}, Execute{&ExecuteCheckedRenames}, Execute{&ExecuteSkippingCollisions}}) {
        for (const Order order : {Order::FirstToLast, Order::LastToFirst}) {
            TempDir d;
            std::vector<std::string> from;
            std::vector<std::string> to;
            for (const char* name : {"a", "b", "c", "d"}) {
                from.push_back(d.MakeFile(name, name));
                to.push_back(d / (std::string(name) + "1"));
            }
            testsupport::StopBefore control(2);
            const Outcome outcome = execute(from, to, order, &control);
            const bool forward = order == Order::FirstToLast;
            const std::vector<std::size_t> untried =
                forward ? std::vector<std::size_t>{2, 3} : std::vector<std::size_t>{0, 1};
            EXPECT_EQ(outcome.untried, untried);
            EXPECT_THAT(outcome.failed, IsEmpty());
            for (std::size_t i = 0; i < 4; ++i) {
                const bool renamed = forward ? i < 2 : i >= 2;
                EXPECT_EQ(TempDir::Exists(to[i]), renamed) << i;
                EXPECT_EQ(TempDir::Exists(from[i]), !renamed) << i;
            }
        }
    }
}

}  // namespace
