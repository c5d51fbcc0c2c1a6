#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/run/RenameExecutor.h"
#include "support/FileIds.h"
#include "support/Mounts.h"
#include "support/StopBefore.h"
#include "support/TempDir.h"

namespace {

using namespace RenameExecutor;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testsupport::TempDir;

class RenameExecutorPlanTest : public ::testing::Test {
protected:
    ~RenameExecutorPlanTest() override { SetStepHookForTests({}); }
    // Files named and holding their names; pairs by name.
    void Files(const std::vector<std::string>& names) {
        for (const std::string& name : names)
            dir.MakeFile(name, name);
    }
    void Pairs(const std::vector<std::pair<std::string, std::string>>& pairs) {
        from.clear();
        to.clear();
        for (const auto& [a, b] : pairs) {
            from.push_back(dir / a);
            to.push_back(dir / b);
        }
    }
    // An empty folder but for the ring p → q → r → p, the chain 2 → 3, 1 → 2 and pads more files
    // renamed to free names after them.
    void RingAndChain(int pads) {
        for (const std::string& name : TempDir::Names(dir.Path()))
            std::filesystem::remove(dir / name);
        Files({"1", "2", "p", "q", "r"});
        std::vector<std::pair<std::string, std::string>> pairs = {
            {"p", "q"}, {"q", "r"}, {"r", "p"}, {"1", "2"}, {"2", "3"}};
        for (int i = 0; i < pads; ++i) {
            Files({"pad" + std::to_string(i)});
            pairs.emplace_back("pad" + std::to_string(i), "padded" + std::to_string(i));
        }
        Pairs(pairs);
    }
    // Every name in the folder with its content, "name=content".
    std::vector<std::string> Folder() const {
        std::vector<std::string> all;
        for (const std::string& name : TempDir::Names(dir.Path()))
            all.push_back(name + "=" + TempDir::ReadFile(dir / name));
        return all;
    }
    TempDir dir;
    std::vector<std::string> from;
    std::vector<std::string> to;
};

TEST_F(RenameExecutorPlanTest, RenumbersAndSwapsThroughTheDisk) {
    Files({"1", "2", "3", "a", "b", "p", "q", "r", "x", "y"});
    // A shift by one, a swap, a ring of three, and y → x that the file x outside the batch blocks.
    Pairs({{"1", "2"},
           {"2", "3"},
           {"3", "4"},
           {"a", "b"},
           {"b", "a"},
           {"p", "q"},
           {"q", "r"},
           {"r", "p"},
           {"y", "x"}});
    const RenamePlanner::Plan plan = PlanOnDisk(from, to, "t");
    const PlannedOutcome result = ExecutePlan(from, to, plan, Look::kSources);
    EXPECT_TRUE(result.outcome.executed);
    EXPECT_THAT(result.outcome.skipped, ElementsAre(8));
    EXPECT_THAT(result.outcome.failed, IsEmpty());
    EXPECT_THAT(Folder(), ElementsAre("2=1", "3=2", "4=3", "a=b", "b=a", "p=r", "q=p", "r=q", "x=x", "y=y"));
    ASSERT_EQ(result.outcome.ids.size(), from.size());
    EXPECT_NE(result.outcome.ids[0], Platform::EntryId{});
}

// A change of the disk between planning and carrying out: what fails and what the folder then holds.
struct RefusedRow {
    const char* what;
    std::function<void(const TempDir&)> before;
    std::vector<std::size_t> failed;
    std::vector<std::string> after;
};

// The ring p → q → r → p and the chain 2 → 3, 1 → 2: a file of the ring vanished, or a file
// appeared at the free end of the chain.
std::vector<RefusedRow> RefusedRingOrChain() {
    return {
        {"a file of the ring vanished",
         [](const TempDir& d) { std::filesystem::remove(d / "q"); },
         {0, 1, 2},
         {"2=1", "3=2", "p=p", "r=r"}},
        {"a file appeared at the free end of the chain",
         [](const TempDir& d) { d.MakeFile("3", "intruder"); },
         {3, 4},
         {"1=1", "2=2", "3=intruder", "p=r", "q=p", "r=q"}},
    };
}

TEST_F(RenameExecutorPlanTest, ARefusedStepTakesItsChainOrCycleBackAndTheOthersGoOn) {
    for (const RefusedRow& row : RefusedRingOrChain()) {
        SCOPED_TRACE(row.what);
        RingAndChain(0);
        const RenamePlanner::Plan plan = PlanOnDisk(from, to, "t");
        ASSERT_EQ(plan.groups.size(), 2U);
        row.before(dir);
        const PlannedOutcome result = ExecutePlan(from, to, plan, Look::kNone);
        EXPECT_EQ(result.outcome.failed, row.failed);
        EXPECT_THAT(result.stranded, IsEmpty());
        EXPECT_EQ(Folder(), row.after);
    }
}

// The files to rename known by identity (as an undo knows them): whether each step's source is
// looked at in turn (a few files) or told by its folder's listing once (forty more), a file that
// vanished, was replaced or met a newcomer takes its chain or ring back the same way.
TEST_F(RenameExecutorPlanTest, KnownFilesGoTheSameWayWhetherLookedAtOrListed) {
    std::vector<RefusedRow> rows = RefusedRingOrChain();
    rows.push_back({"a file of the ring was replaced",
                    [](const TempDir& d) {
                        std::filesystem::rename(d / "q", d / "q-old");  // kept, so its number is not reused
                        d.MakeFile("q", "other");
                    },
                    {0, 1, 2},
                    {"2=1", "3=2", "p=p", "q=other", "q-old=q", "r=r"}});
    for (const bool padded : {false, true}) {
        for (const RefusedRow& row : rows) {
            SCOPED_TRACE(std::string(row.what) + (padded ? " with forty more" : " alone"));
            RingAndChain(padded ? 40 : 0);
            std::vector<Platform::EntryId> ids;
            for (const std::string& path : from)
                ids.push_back(testsupport::IdOf(path));
            const RenamePlanner::Plan plan = PlanOnDisk(from, to, "t");
            row.before(dir);
            const PlannedOutcome result = ExecutePlan(from, to, plan, Look::kSources, nullptr, &ids);
            EXPECT_EQ(result.outcome.failed, row.failed);
            EXPECT_THAT(result.stranded, IsEmpty());
            std::vector<std::string> unpadded;
            for (const std::string& file : Folder()) {
                if (!file.starts_with("pad")) unpadded.push_back(file);
            }
            EXPECT_EQ(unpadded, row.after);
            EXPECT_EQ(Folder().size() - unpadded.size(), padded ? 40U : 0U);
        }
    }
}

TEST_F(RenameExecutorPlanTest, AWayBackThatFailsLeavesTheFileUnderItsTemporaryNameAndSaysWhere) {
    Files({"a", "b"});
    Pairs({{"a", "b"}, {"b", "a"}});
    const RenamePlanner::Plan plan = PlanOnDisk(from, to, "t");
    // a goes aside, b takes a's name, and before a takes b's name another file takes it: a's way
    // back to its old name is held by b, whose way back is held by the newcomer.
    SetStepHookForTests([this](std::size_t step) {
        if (step == 2) dir.MakeFile("b", "newcomer");
    });
    const PlannedOutcome result = ExecutePlan(from, to, plan, Look::kNone);
    const std::string temporary = plan.TemporaryOf(plan.groups[0], from);
    ASSERT_EQ(result.stranded.size(), 1U);
    EXPECT_EQ(result.stranded[0].index, 0U);
    EXPECT_EQ(result.stranded[0].path, temporary);
    EXPECT_THAT(result.outcome.failed, ElementsAre(0));
    EXPECT_EQ(TempDir::ReadFile(temporary), "a");
    EXPECT_THAT(Folder(), ElementsAre(".quorbel-t-0=a", "a=b", "b=newcomer"));
}

TEST_F(RenameExecutorPlanTest, AFolderTurnedReadOnlyRenamesNothingAndLeavesNoTemporaryName) {
    Files({"a", "b", "1"});
    const auto mount = testsupport::Mount::Make(testsupport::Mount::Kind::kBind, dir.Path());
    if (!mount) GTEST_SKIP() << testsupport::Mount::Why();
    Pairs({{"a", "b"}, {"b", "a"}, {"1", "2"}});
    const RenamePlanner::Plan plan = PlanOnDisk(from, to, "t");
    ASSERT_TRUE(mount->SetReadOnly(true));
    const PlannedOutcome result = ExecutePlan(from, to, plan, Look::kSources);
    EXPECT_THAT(result.outcome.failed, ElementsAre(0, 1, 2));
    EXPECT_THAT(Folder(), ElementsAre("1=1", "a=a", "b=b"));
}

TEST_F(RenameExecutorPlanTest, AStopComesBetweenGroupsNeverInsideACycle) {
    Files({"a", "b", "c", "d"});
    Pairs({{"a", "b"}, {"b", "a"}, {"c", "d"}, {"d", "c"}});
    const RenamePlanner::Plan plan = PlanOnDisk(from, to, "t");
    testsupport::StopBefore stop(1);  // after the first file's step: the first ring still finishes
    const PlannedOutcome result = ExecutePlan(from, to, plan, Look::kNone, &stop);
    EXPECT_THAT(result.outcome.untried, ElementsAre(2, 3));
    EXPECT_THAT(Folder(), ElementsAre("a=b", "b=a", "c=c", "d=d"));
}

}  // namespace
