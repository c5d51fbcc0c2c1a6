#include "core/MovePlan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/Cp932.h"
#include "support/TempDir.h"

namespace {

using namespace MovePlan;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testsupport::TempDir;

std::string Cp(const std::string& native) {
    return Cp932::FromUtf8(native).value();
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
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
            EXPECT_EQ(Names(sourceDir / "src"), c.leftInSource);
            EXPECT_EQ(Names(dir / "dest"), c.inDestination);
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
    EXPECT_EQ(Names(dir / "src"), (std::vector<std::string>{"n2.jpg", "n4.jpg"}));
    EXPECT_EQ(Names(dir / "dest"), (std::vector<std::string>{"n1.jpg", "n4.jpg"}));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "dest/n4.jpg"));
}

TEST(MovePlanTest, DestinationChecks) {
    TempDir dir;
    dir.MakeDir("src");
    dir.MakeDir("dest");
    ASSERT_EQ(symlink((dir / "src").c_str(), (dir / "link").c_str()), 0);
    const std::string src = Cp(dir / "src/");
    const std::vector<std::pair<std::string, Refusal>> cases = {
        {"", Refusal::kNoDestination},
        {Cp(dir / "gone/"), Refusal::kDestinationGone},
        {Cp(dir.MakeFile("file")) + "/", Refusal::kDestinationGone},
        {src, Refusal::kSameFolder},
        {Cp(dir / "link/"), Refusal::kSameFolder},  // a second spelling of the source folder
        {Cp(dir / "dest/../src/"), Refusal::kSameFolder},
        {Cp(dir / "dest/"), Refusal::kNone},
    };
    for (const auto& [destination, refusal] : cases)
        EXPECT_EQ(CheckDestination(src, destination), refusal) << destination;
}

}  // namespace
