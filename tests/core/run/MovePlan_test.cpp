#include "core/run/MovePlan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/list/PairList.h"
#include "core/platform/DestinationFolder.h"
#include "core/platform/FileSystem.h"
#include "core/run/RenameExecutor.h"
#include "core/text/Cp932.h"
#include "support/Mounts.h"
#include "support/TempDir.h"

namespace {

using namespace MovePlan;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testsupport::TempDir;

std::string Cp(const std::string& native) {
    return Cp932::FromUtf8(native).value();
}

// A renamed batch in src (a.jpg, b.jpg, c.jpg, each holding its name) and a destination that
// already holds a b.jpg of its own; the batch on the destination's file system, and on tmpfs
// (moved by copying).
TEST(MovePlanTest, TakenNamesUnderEachAnswer) {
    struct Case {
        Answer answer;
        std::vector<std::string> leftInSource;
        std::vector<std::string> inDestination;
        std::string destinationB;  // content of dest/b.jpg afterwards
        std::size_t moved;
        std::size_t kept;
    };
    const std::vector<Case> cases = {
        {Answer::kReplace, {}, {"a.jpg", "b.jpg", "c.jpg"}, "src b", 3, 0},
        {Answer::kKeep, {"b.jpg"}, {"a.jpg", "b.jpg", "c.jpg"}, "dest b", 2, 1},
        {Answer::kCancel, {"a.jpg", "b.jpg", "c.jpg"}, {"b.jpg"}, "dest b", 0, 0},
    };
    for (const char* sourceBase : {"", "/dev/shm"})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(sourceBase) + " " + std::to_string(static_cast<int>(c.answer)));
            TempDir dir;
            TempDir sourceDir(sourceBase);
            std::vector<std::string> paths;
            for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
                paths.push_back(
                    Cp(sourceDir.MakeFile(std::string("src/") + name, std::string("src ") + name[0])));
            dir.MakeFile("dest/b.jpg", "dest b");

            const Plan plan = MakePlan(paths, {true, true, true}, Cp(dir / "dest/"));
            ASSERT_EQ(plan.entries.size(), 3U);
            EXPECT_EQ(plan.entries[1].target, Cp(dir / "dest/b.jpg"));
            EXPECT_EQ(plan.entries[1].state, Target::kTakenByFile);
            EXPECT_TRUE(plan.AsksToReplace());

            const Result result = Execute(plan, c.answer);
            EXPECT_EQ(result.moved.size(), c.moved);
            EXPECT_EQ(result.kept, c.kept);
            EXPECT_THAT(result.notMoved, IsEmpty());  // a kept file is the user's choice, not a failure
            EXPECT_EQ(TempDir::Names(sourceDir / "src"), c.leftInSource);
            EXPECT_EQ(TempDir::Names(dir / "dest"), c.inDestination);
            EXPECT_EQ(TempDir::ReadFile(dir / "dest/b.jpg"), c.destinationB);
        }
}

// Two subfolders of a recursive load both gave a file the name x.jpg: the second never replaces
// the first, whatever the answer about a name taken beforehand.
TEST(MovePlanTest, AFileOfTheBatchIsNeverReplacedByAnother) {
    struct Case {
        bool takenBefore;  // dest/x.jpg existed before the move
        Answer answer;
        std::string destinationX;
        std::vector<std::size_t> notMoved;
        // The second file's name; X.JPG: dest/x.jpg is reachable under that spelling too, as a
        // file system that ignores letter case shows it.
        std::string secondName = "x.jpg";
    };
    const std::vector<Case> cases = {
        {false, Answer::kReplace, "first", {1}},
        {true, Answer::kReplace, "first", {1}},
        {true, Answer::kKeep, "old x", {}},  // both kept by the user's no
        {true, Answer::kReplace, "first", {1}, "X.JPG"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.takenBefore) + " " + std::to_string(static_cast<int>(c.answer)) + " " +
                     c.secondName);
        TempDir dir;
        const std::vector<std::string> paths = {Cp(dir.MakeFile("src/s1/x.jpg", "first")),
                                                Cp(dir.MakeFile("src/s2/" + c.secondName, "second"))};
        if (c.takenBefore) dir.MakeFile("dest/x.jpg", "old x");
        dir.MakeDir("dest");
        if (c.secondName != "x.jpg") {
            ASSERT_EQ(link((dir / "dest/x.jpg").c_str(), (dir / ("dest/" + c.secondName)).c_str()), 0);
        }
        const Plan plan = MakePlan(paths, {true, true}, Cp(dir / "dest/"));
        EXPECT_FALSE(plan.entries[0].duplicate);
        EXPECT_TRUE(plan.entries[1].duplicate);
        const Result result = Execute(plan, c.answer);
        EXPECT_EQ(TempDir::ReadFile(dir / "dest/x.jpg"), c.destinationX);
        EXPECT_EQ(TempDir::ReadFile(dir / ("src/s2/" + c.secondName)), "second");
        EXPECT_EQ(result.notMoved, c.notMoved);
    }
}

// A file of the batch that sits in the destination already stays, uncounted, and no other file of
// the batch replaces it, not even with a yes.
TEST(MovePlanTest, AFileAlreadyInTheDestinationStaysAndKeepsItsName) {
    TempDir dir;
    const std::vector<std::string> paths = {Cp(dir.MakeFile("top/dest/x.jpg", "in dest")),
                                            Cp(dir.MakeFile("top/other/x.jpg", "other"))};
    const Plan plan = MakePlan(paths, {true, true}, Cp(dir / "top/dest/"));
    EXPECT_EQ(plan.entries[0].state, Target::kSourceItself);
    EXPECT_EQ(ActionFor(plan.entries[0], Answer::kReplace), Action::kLeave);
    EXPECT_EQ(ActionFor(plan.entries[1], Answer::kReplace), Action::kBlocked);
    const Result result = Execute(plan, Answer::kReplace);
    EXPECT_EQ(result.moved.size(), 0U);
    EXPECT_THAT(result.notMoved, ElementsAre(1U));
    EXPECT_EQ(TempDir::ReadFile(dir / "top/dest/x.jpg"), "in dest");
    EXPECT_EQ(TempDir::ReadFile(dir / "top/other/x.jpg"), "other");
}

// Only the files the run renamed are moved: a row the run left unrenamed ("*") is not, even
// though a file of its new name stands in the folder.
TEST(MovePlanTest, OnlyRenamedFilesMoveAndFailuresAreCounted) {
    TempDir dir;
    const std::vector<std::string> paths = {Cp(dir.MakeFile("src/n1.jpg", "1")),
                                            Cp(dir.MakeFile("src/n2.jpg", "someone else's")),
                                            Cp(dir / "src/n3.jpg"),  // renamed, then gone
                                            Cp(dir.MakeFile("src/n4.jpg", "4"))};
    dir.MakeDir("dest/n4.jpg");  // a folder holds the name: nothing may replace it
    const std::vector<bool> renamed = {true, false, true, true};

    const Plan plan = MakePlan(paths, renamed, Cp(dir / "dest/"));
    EXPECT_FALSE(plan.AsksToReplace());
    const Result result = Execute(plan, Answer::kReplace);
    EXPECT_EQ(result.moved.size(), 1U);
    EXPECT_THAT(result.notMoved, ElementsAre(2U, 3U));
    EXPECT_THAT(result.moved, ElementsAre(0U));
    EXPECT_EQ(TempDir::Names(dir / "src"), (std::vector<std::string>{"n2.jpg", "n4.jpg"}));
    EXPECT_EQ(TempDir::Names(dir / "dest"), (std::vector<std::string>{"n1.jpg", "n4.jpg"}));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "dest/n4.jpg"));
}

// The move takes a renamed file only while the file the run renamed stands at its new path: a file
// saved under that name since is someone else's and stays, counted as not moved; on the same file
// system and when moved by copying to another.
TEST(MovePlanTest, OnlyTheFileTheRunRenamedMoves) {
    for (const bool otherFileSystem : {false, true}) {
        SCOPED_TRACE(otherFileSystem ? "to another file system" : "on one file system");
        TempDir dir;
        const std::string destination = dir.MakeDir("dest");
        std::unique_ptr<testsupport::Mount> mount;
        if (otherFileSystem) {
            mount = testsupport::Mount::Make(testsupport::Mount::Kind::kTmpfs, destination);
            if (!mount) GTEST_SKIP() << testsupport::Mount::Why();
        }
        PairList pairs;
        std::vector<std::string> oldPaths;
        std::vector<std::string> newPaths;
        std::vector<Platform::EntryId> ids;
        for (const char* name : {"a", "b"}) {
            const std::string path = dir.MakeFile(std::string("src/") + name + ".jpg", name);
            ids.push_back(Platform::LookAt(path)->id);
            oldPaths.push_back(Cp(dir / (std::string("src/") + name + "0.jpg")));
            newPaths.push_back(Cp(path));
        }
        pairs.SetRun(oldPaths, newPaths, ids);
        RenameExecutor::Outcome renamed;
        renamed.executed = true;
        pairs.Record(renamed, RenameExecutor::Order::FirstToLast);
        std::filesystem::rename(dir / "src/b.jpg", dir / "b-kept.jpg");
        dir.MakeFile("src/b.jpg", "saved since");

        const Result result = Execute(MakePlan(pairs, Cp(destination)), Answer::kReplace);
        EXPECT_THAT(result.moved, ElementsAre(0U));
        EXPECT_THAT(result.notMoved, ElementsAre(1U));
        EXPECT_EQ(TempDir::ReadFile(dir / "src/b.jpg"), "saved since");
        EXPECT_EQ(TempDir::Names(destination), (std::vector<std::string>{"a.jpg"}));
    }
}

TEST(MovePlanTest, DestinationChecks) {
    TempDir dir;
    dir.MakeDir("src");
    dir.MakeDir("dest");
    dir.MakeDir("other");
    ASSERT_EQ(symlink((dir / "src").c_str(), (dir / "link").c_str()), 0);
    const std::string src = Cp(dir / "src/");
    const std::optional<FolderId> dest = FolderIdOf(Cp(dir / "dest/"));
    const std::optional<FolderId> other = FolderIdOf(Cp(dir / "other/"));
    ASSERT_TRUE(dest && other);
    struct Case {
        std::string destination;
        std::optional<FolderId> chosen;
        Refusal refusal;
    };
    const std::vector<Case> cases = {
        {"", {}, Refusal::kNoDestination},
        {Cp(dir / "gone/"), {}, Refusal::kDestinationGone},
        {Cp(dir.MakeFile("file")) + "/", {}, Refusal::kDestinationGone},
        {"dest/", {}, Refusal::kDestinationGone},  // no full path: it would name a folder anywhere
        {src, {}, Refusal::kSameFolder},
        {Cp(dir / "link/"), {}, Refusal::kSameFolder},  // a second spelling of the source folder
        {Cp(dir / "dest/../src/"), {}, Refusal::kSameFolder},
        {Cp(dir / "dest/"), {}, Refusal::kNone},
        {Cp(dir / "dest/"), dest, Refusal::kNone},
        // Chosen when another folder stood at the path (a card mounted there since removed).
        {Cp(dir / "dest/"), other, Refusal::kDestinationChanged},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckDestination(src, c.destination, c.chosen), c.refusal) << c.destination;
}

TEST(MovePlanTest, ADestinationIsAFolderTextWithOneSlash) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"  ", ""},
        {"/", "/"},
        {"///", "/"},
        {"/a", "/a/"},
        {"/a/", "/a/"},
        {"/a//", "/a/"},
        {" /a b ", "/a b/"},
        {"/\x95\\", "/\x95\\/"},  // a double-byte character whose second byte is 0x5C
    };
    for (const auto& [text, folder] : cases)
        EXPECT_EQ(FolderText(text), folder) << text;

    // A folder without its "/" takes the files into itself, not beside it.
    TempDir dir;
    const Plan plan = MakePlan({Cp(dir.MakeFile("src/R1.txt", "1")), Cp(dir / "src/..")}, {true, true},
                               Cp(dir.MakeDir("dest")));
    EXPECT_EQ(plan.entries[0].target, Cp(dir / "dest/R1.txt"));
    EXPECT_EQ(plan.entries[1].state, Target::kTakenByOther);  // ".." would lead out of the folder
    const Result result = Execute(plan, Answer::kReplace);
    EXPECT_THAT(result.moved, ElementsAre(0U));
    EXPECT_THAT(TempDir::Names(dir / "dest"), ElementsAre("R1.txt"));
}

// The folder at the destination's path is looked at again when the moves begin (the question may
// have been open for a while): another folder there, or none, takes nothing.
TEST(MovePlanTest, AFolderSwappedAfterPlanningTakesNothing) {
    for (const bool replaced : {true, false}) {
        SCOPED_TRACE(replaced ? "another folder" : "no folder");
        TempDir dir;
        const std::string file = Cp(dir.MakeFile("src/a.jpg", "a"));
        const Plan plan = MakePlan({file}, {true}, Cp(dir.MakeDir("dest")));
        std::filesystem::rename(dir / "dest", dir / "was dest");
        if (replaced) dir.MakeDir("dest");
        const Result result = Execute(plan, Answer::kReplace);
        EXPECT_EQ(result.refusal, replaced ? Refusal::kDestinationChanged : Refusal::kDestinationGone);
        EXPECT_THAT(result.moved, IsEmpty());
        EXPECT_THAT(TempDir::Names(dir / "src"), ElementsAre("a.jpg"));
        EXPECT_THAT(TempDir::Names(dir / "was dest"), IsEmpty());
    }
}

// Kills itself at a chosen step of the moves, as a user's kill or a crash would end them.
class KillAt final : public RunControl {
public:
    explicit KillAt(std::size_t step) : step_(step) {}
    bool Continue(std::size_t done) override {
        if (done == step_) raise(SIGKILL);
        return true;
    }

private:
    std::size_t step_;
};

// A move across file systems killed midway leaves a handful of hidden copies at most: 32 files,
// or about 32 MiB of them. The next move into the folder, by a process started once the copies'
// times are surely past, removes them.
TEST(MovePlanTest, AKilledMoveLeavesAFewCopiesThatTheNextMoveRemoves) {
    struct Case {
        std::size_t files;
        std::size_t bytes;
        std::size_t killAt;
        std::size_t bound;
        // What the first move left, for the second
        std::unique_ptr<TempDir> dir = nullptr;
        std::unique_ptr<testsupport::Mount> mount = nullptr;
        std::vector<std::string> paths = {};
    };
    Case cases[] = {
        {100, 1024, 95, 32},
        {6, 12 << 20, 5, 3},
    };
    // A process of its own for each move.
    const auto moveInChild = [](const Case& c, RunControl* control) {
        const pid_t child = fork();
        if (child == 0) {
            const std::vector<bool> renamed(c.paths.size(), true);
            const Result result =
                Execute(MakePlan(c.paths, renamed, Cp(*c.dir / "dest")), Answer::kKeep, control);
            _exit(result.notMoved.empty() ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return status;
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        c.dir = std::make_unique<TempDir>();
        const std::string destination = c.dir->MakeDir("dest");
        c.mount = testsupport::Mount::Make(testsupport::Mount::Kind::kTmpfs, destination, 256 << 20);
        if (!c.mount) GTEST_SKIP() << testsupport::Mount::Why();
        for (std::size_t i = 0; i < c.files; ++i)
            c.paths.push_back(
                Cp(c.dir->MakeFile("src/" + std::to_string(i) + ".bin", std::string(c.bytes, 'x'))));
        KillAt kill(c.killAt);
        const int killed = moveInChild(c, &kill);
        ASSERT_TRUE(WIFSIGNALED(killed));
        std::size_t copies = 0;
        std::size_t moved = 0;
        for (const std::string& name : TempDir::Names(destination)) {
            if (Platform::IsCopyName(name)) ++copies;
            if (name.ends_with(".bin")) ++moved;
        }
        EXPECT_GT(copies, 0U);  // killed while a group was under way
        EXPECT_LE(copies, c.bound);
        EXPECT_EQ(moved + TempDir::Names(*c.dir / "src").size(),
                  c.files);  // every file in one place or the other
    }
    // A file's time may lag the clock: copies made just before a process starts are left alone.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const int next = moveInChild(c, nullptr);
        ASSERT_TRUE(WIFEXITED(next) && WEXITSTATUS(next) == 0);
        EXPECT_THAT(TempDir::Names(*c.dir / "src"), IsEmpty());
        EXPECT_EQ(TempDir::Names(*c.dir / "dest").size(), c.files);  // the files, and no copy
    }
}

}  // namespace
