#include "core/journal/RunJournalRecord.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "core/journal/RunJournalStore.h"
#include "core/list/PairList.h"
#include "core/platform/FileSystem.h"
#include "core/run/MovePlan.h"
#include "core/run/RenameExecutor.h"
#include "core/run/UndoRevert.h"
#include "core/text/Cp932.h"
#include "support/FileIds.h"
#include "support/Mounts.h"
#include "support/StopBefore.h"
#include "support/TempDir.h"

namespace {

using namespace RunJournal;
using RenameExecutor::Order;
using testsupport::Mount;
using testsupport::TempDir;

using testsupport::Cp;
using testsupport::IdOf;

// The journal holds the files in the order they were tried, each with the identity the run found
// before its first rename, and closes with what became of each.
TEST(RunJournalRecordTest, ARunIsRecordedInTheOrderTriedWithEveryOutcome) {
    TempDir dir;
    const std::string journals = dir / "journal";
    const std::vector<std::string> native = {dir.MakeFile("f/a", "a"), dir.MakeFile("f/b", "b"),
                                             dir.MakeFile("f/写真", "c")};
    dir.MakeFile("f/taken", "someone's");
    const std::vector<Platform::EntryId> ids = {IdOf(native[0]), IdOf(native[1]), IdOf(native[2])};
    const std::vector<std::string> from = {Cp(native[0]), Cp(native[1]), Cp(native[2])};
    const std::vector<std::string> to = {Cp(dir / "f/A"), Cp(dir / "f/taken"), Cp(dir / "f/写真2")};

    Record record(journals, Kind::kCaseWidth);
    testsupport::StopBefore control(2);  // last to first: the third, the second, then stop
    const RenameExecutor::Outcome outcome =
        RenameExecutor::ExecuteSkippingCollisions(from, to, Order::LastToFirst, &control, {}, &record);
    ASSERT_TRUE(outcome.executed);
    ASSERT_NE(record.Id(), 0u);
    EXPECT_FALSE(record.Running());

    const auto journal = Store(journals).Read(record.Id());
    ASSERT_TRUE(journal);
    EXPECT_EQ(journal->header.kind, Kind::kCaseWidth);
    EXPECT_EQ(journal->header.folder, dir / "f");
    const std::vector<Entry> expected = {{native[2], dir / "f/写真2", ids[2]},
                                         {native[1], dir / "f/taken", ids[1]},
                                         {native[0], dir / "f/A", ids[0]}};
    EXPECT_EQ(journal->entries, expected);
    ASSERT_TRUE(journal->closing);
    EXPECT_EQ(journal->closing->outcomes,
              (std::vector<Outcome>{Outcome::kDone, Outcome::kSkipped, Outcome::kUntried}));
    EXPECT_FALSE(journal->closing->asFound);
}

// A journal made ready ahead is the one written only for the very lists the batch then runs:
// another batch (or the same one in the other order) is encoded anew.
TEST(RunJournalRecordTest, AJournalMadeReadyAheadServesOnlyItsOwnBatch) {
    TempDir dir;
    const std::vector<std::string> native = {dir.MakeFile("a", "a"), dir.MakeFile("b", "b")};
    const std::vector<Platform::EntryId> ids = {IdOf(native[0]), IdOf(native[1])};
    const std::vector<std::string> from = {Cp(native[0]), Cp(native[1])};
    const std::vector<std::string> to = {Cp(dir / "x"), Cp(dir / "y")};
    const std::vector<std::string> other = {Cp(dir / "p"), Cp(dir / "q")};
    const std::vector<Entry> ready = {{native[0], dir / "x", ids[0]}, {native[1], dir / "y", ids[1]}};
    const struct {
        const std::vector<std::string>* to;
        Order order;
        std::vector<Entry> expected;
    } cases[] = {
        {&to, Order::FirstToLast, ready},
        {&other, Order::FirstToLast, {{native[0], dir / "p", ids[0]}, {native[1], dir / "q", ids[1]}}},
        {&to, Order::LastToFirst, {ready[1], ready[0]}},
    };
    // Made ready on the caller's thread, or on one of its own that Begin waits for.
    for (const bool meanwhile : {false, true}) {
        for (const auto& c : cases) {
            Record record(dir / "journal", Kind::kSequential);
            const RenameExecutor::RecordedPairs ahead{from, to, ids, nullptr, Order::FirstToLast};
            meanwhile ? record.PrepareMeanwhile(ahead) : record.Prepare(ahead);
            ASSERT_FALSE(record.Begin({from, *c.to, ids, nullptr, c.order}));
            record.End(std::vector<Outcome>(2, Outcome::kUntried));
            const auto journal = Store(dir / "journal").Read(record.Id());
            ASSERT_TRUE(journal);
            EXPECT_EQ(journal->entries, c.expected) << "meanwhile " << meanwhile;
        }
    }
    // A record that never begins waits for its preparation at its end, and writes nothing.
    {
        Record record(dir / "never", Kind::kSequential);
        record.PrepareMeanwhile({from, to, ids, nullptr, Order::FirstToLast});
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "never") && !std::filesystem::is_empty(dir / "never"));
}

// Every command that renames or moves refuses to begin while its journal cannot be written, on a
// full disk and on a read-only one, and changes nothing.
TEST(RunJournalRecordTest, AJournalThatCannotBeWrittenRefusesEveryCommandBeforeItsFirstChange) {
    struct Command {
        const char* name;
        // Runs the command over the files of folder f (a, b) with its journal in journals; returns
        // the refusal it reports.
        std::function<std::error_code(const TempDir& dir, const std::string& journals)> run;
    };
    const auto paths = [](const TempDir& dir, const char* a, const char* b) {
        return std::vector<std::string>{Cp(dir / (std::string("f/") + a)), Cp(dir / (std::string("f/") + b))};
    };
    const auto ids = [](const TempDir& dir) {
        return std::vector<Platform::EntryId>{IdOf(dir / "f/a"), IdOf(dir / "f/b")};
    };
    const Command commands[] = {
        {"sequential",
         [&](const TempDir& dir, const std::string& journals) {
             Record record(journals, Kind::kSequential);
             return RenameExecutor::ExecuteCheckedRenames(paths(dir, "a", "b"), paths(dir, "1", "2"),
                                                          ids(dir), Order::FirstToLast, nullptr, &record)
                 .unrecorded;
         }},
        {"string",
         [&](const TempDir& dir, const std::string& journals) {
             Record record(journals, Kind::kString);
             return RenameExecutor::ExecuteSkippingCollisions(paths(dir, "a", "b"), paths(dir, "1", "2"),
                                                              Order::FirstToLast, nullptr, {}, &record)
                 .unrecorded;
         }},
        {"undo and revert",
         [&](const TempDir& dir, const std::string& journals) {
             PairList pairs;
             pairs.SetRun(paths(dir, "0", "9"), paths(dir, "a", "b"), ids(dir));
             RenameExecutor::Outcome ran;
             ran.executed = true;
             pairs.Record(ran, Order::FirstToLast);
             Record undo(journals, Kind::kUndo);
             const UndoRevert::UndoPlan plan =
                 UndoRevert::PlanUndo(pairs, {}, UndoRevert::Sources::kLookAgain);
             const std::error_code undone =
                 UndoRevert::ExecuteUndo(pairs, plan, nullptr, &undo).outcome.unrecorded;
             Record revert(journals, Kind::kRevert);
             const UndoRevert::RevertResult reverted = UndoRevert::RevertEach(pairs, {0, 1}, &revert);
             EXPECT_EQ(reverted.reverted, 0u);
             EXPECT_EQ(undone, reverted.unrecorded);
             return undone;
         }},
        {"move",
         [&](const TempDir& dir, const std::string& journals) {
             Record record(journals, Kind::kMove);
             const MovePlan::Plan plan = MovePlan::MakePlan(paths(dir, "a", "b"), {true, true},
                                                            Cp(dir.MakeDir("dest")), {}, ids(dir));
             const MovePlan::Result moved =
                 MovePlan::Execute(plan, MovePlan::Answer::kReplace, nullptr, &record);
             EXPECT_TRUE(moved.moved.empty());
             return moved.unrecorded;
         }},
    };
    for (const bool full : {true, false}) {
        for (const Command& command : commands) {
            SCOPED_TRACE(std::string(command.name) + (full ? " on a full disk" : " on a read-only disk"));
            TempDir dir;
            dir.MakeFile("f/a", "a");
            dir.MakeFile("f/b", "b");
            const std::string state = dir.MakeDir("state");
            std::unique_ptr<Mount> mount =
                Mount::Make(full ? Mount::Kind::kTmpfs : Mount::Kind::kBind, state, std::size_t{64} << 10);
            if (!mount) GTEST_SKIP() << Mount::Why();
            dir.MakeDir("state/journal");
            ASSERT_TRUE(full ? mount->Fill() : mount->SetReadOnly(true));

            const std::error_code refusal = command.run(dir, dir / "state/journal");
            EXPECT_EQ(refusal, full ? std::errc::no_space_on_device : std::errc::read_only_file_system);
            EXPECT_EQ(TempDir::Names(dir / "f"), (std::vector<std::string>{"a", "b"}));
            EXPECT_EQ(TempDir::ReadFile(dir / "f/a"), "a");
        }
    }
}

}  // namespace
