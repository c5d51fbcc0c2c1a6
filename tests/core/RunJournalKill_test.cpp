// A command killed in its middle, and the recovery at the next start: with yes every file is back
// where it was before the command, with its content; with no the command is kept as it was found.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Cp932.h"
#include "core/MovePlan.h"
#include "core/PairList.h"
#include "core/RenameExecutor.h"
#include "core/RenamePlanner.h"
#include "core/RunJournalRecord.h"
#include "core/RunJournalStore.h"
#include "core/RunJournalUndo.h"
#include "core/UndoRevert.h"
#include "core/platform/FileSystem.h"
#include "support/FileIds.h"
#include "support/KillAtStep.h"
#include "support/Mounts.h"
#include "support/TempDir.h"

namespace {

using namespace RunJournal;
using RenameExecutor::Order;
using testsupport::Cp;
using testsupport::KillBefore;
using testsupport::Mount;
using testsupport::TempDir;

constexpr std::size_t kFiles = 8;
constexpr std::size_t kKillAt = 3;

std::string OldName(std::size_t i) {
    return "photo" + std::to_string(i) + ".jpg";
}
std::string NewName(std::size_t i) {
    return "写真_" + std::to_string(i) + ".jpg";
}

// The files of a command: old and new paths (code page 932), and who they are.
struct Files {
    std::vector<std::string> from;
    std::vector<std::string> to;
    std::vector<Platform::EntryId> ids;
};
Files MakeFiles(const std::string& folder, const std::string& destination) {
    Files files;
    for (std::size_t i = 0; i < kFiles; ++i) {
        const std::string path = folder + "/" + OldName(i);
        TempDir::WriteFile(path, OldName(i));
        files.from.push_back(Cp(path));
        files.to.push_back(Cp(destination + "/" + NewName(i)));
        files.ids.push_back(Platform::LookAt(path)->id);
    }
    return files;
}

// Every file at its old name with its own content, nothing else in the folder.
void ExpectAllAtOldNames(const std::string& folder) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < kFiles; ++i) {
        names.push_back(OldName(i));
        EXPECT_EQ(TempDir::ReadFile(folder + "/" + OldName(i)), OldName(i));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(TempDir::Names(folder), names);
}

struct Command {
    const char* name;
    Kind kind;
    // Runs the command over files with its journal in journals, killed through control.
    std::function<void(const Files& files, const std::string& journals, RunControl& control)> run;
    bool otherFileSystem = false;  // a move to a tmpfs of its own
};

std::vector<Command> Commands() {
    const auto executor = [](Kind kind, Order order, bool checked) {
        return [kind, order, checked](const Files& f, const std::string& journals, RunControl& control) {
            Record record(journals, kind);
            if (checked) {
                RenameExecutor::ExecuteCheckedRenames(f.from, f.to, f.ids, order, &control, &record);
            } else {
                RenameExecutor::ExecuteSkippingCollisions(f.from, f.to, order, &control, {}, &record);
            }
        };
    };
    const auto move = [](const Files& f, const std::string& journals, RunControl& control) {
        Record record(journals, Kind::kMove);
        const std::string destination = Cp932::ToUtf8(f.to.front()).value();
        const MovePlan::Plan plan =
            MovePlan::MakePlan(f.from, std::vector<bool>(kFiles, true),
                               Cp(destination.substr(0, destination.rfind('/'))), {}, f.ids);
        MovePlan::Execute(plan, MovePlan::Answer::kKeep, &control, &record);
    };
    return {
        {"sequential", Kind::kSequential, executor(Kind::kSequential, Order::FirstToLast, true)},
        {"string", Kind::kString, executor(Kind::kString, Order::FirstToLast, false)},
        {"case and width", Kind::kCaseWidth, executor(Kind::kCaseWidth, Order::LastToFirst, false)},
        {"digits", Kind::kDigit, executor(Kind::kDigit, Order::FirstToLast, false)},
        {"move", Kind::kMove, move},
        {"move to another file system", Kind::kMove, move, true},
    };
}

TEST(RunJournalKillTest, AKilledCommandIsTakenBackOrKeptAsFound) {
    for (const Command& command : Commands()) {
        for (const bool takeBack : {true, false}) {
            SCOPED_TRACE(std::string(command.name) + (takeBack ? ", yes" : ", no"));
            TempDir dir;
            const std::string folder = dir.MakeDir("files");
            std::string destination = folder;
            std::unique_ptr<Mount> mount;
            if (command.kind == Kind::kMove) destination = dir.MakeDir("dest");
            if (command.otherFileSystem) {
                mount = Mount::Make(Mount::Kind::kTmpfs, destination, std::size_t{4} << 20);
                if (!mount) GTEST_SKIP() << Mount::Why();
            }
            const std::string journals = dir / "journal";
            const Files files = MakeFiles(folder, destination);

            ASSERT_TRUE(testsupport::KilledInChild([&] {
                KillBefore kill(kKillAt);
                command.run(files, journals, kill);
            }));

            Store store(journals);
            const Listing listing = store.List();
            const std::optional<Interrupted> interrupted = FindInterrupted(store, listing);
            ASSERT_TRUE(interrupted);
            EXPECT_EQ(interrupted->journal.header.kind, command.kind);
            EXPECT_EQ(interrupted->journal.entries.size(), kFiles);
            // A copy to another file system is made durable a group at a time: none was placed.
            EXPECT_EQ(interrupted->done, command.otherFileSystem ? 0u : kKillAt);

            const Recovered recovered = Recover(journals, interrupted->journal, takeBack);
            EXPECT_FALSE(recovered.taken);
            EXPECT_TRUE(recovered.stayed.empty());
            const Listing after = store.List();
            EXPECT_FALSE(FindInterrupted(store, after));
            if (takeBack) {
                EXPECT_EQ(recovered.undo.done, interrupted->done);
                ExpectAllAtOldNames(folder);
                if (destination != folder) {
                    EXPECT_THAT(TempDir::Names(destination), ::testing::IsEmpty());
                }
                // With nothing to take back, no recovery is journaled: the command is closed as found.
                ASSERT_EQ(after.commands.size(), interrupted->done > 0 ? 2u : 1u);
                if (interrupted->done > 0) {
                    EXPECT_EQ(after.commands[0].header.kind, Kind::kRecovery);
                    EXPECT_EQ(after.commands[1].state, State::kUndone);
                }
            } else {
                ASSERT_EQ(after.commands.size(), 1u);
                EXPECT_EQ(after.commands[0].state, State::kClosedAsFound);
                EXPECT_EQ(TempDir::Names(folder).size() +
                              (destination != folder ? TempDir::Names(destination).size() : 0),
                          kFiles + (command.otherFileSystem ? kKillAt : 0));  // the copies stay with no
                // The command as found can still be undone from the history.
                const Journal kept = store.Read(after.commands[0].header.id).value();
                EXPECT_EQ(DoneEntries(kept).size(), interrupted->done);
            }
        }
    }
}

// An undo killed midway: yes takes back what the undo had done, so every file stands again where
// the run put it, and the run can be undone afresh.
TEST(RunJournalKillTest, AKilledUndoIsTakenBack) {
    TempDir dir;
    const std::string folder = dir.MakeDir("files");
    const std::string journals = dir / "journal";
    const Files files = MakeFiles(folder, folder);
    PairList pairs;
    pairs.SetRun(files.from, files.to, files.ids);
    Record run(journals, Kind::kSequential);
    const RenameExecutor::Outcome ran = RenameExecutor::ExecuteCheckedRenames(
        files.from, files.to, files.ids, Order::FirstToLast, nullptr, &run);
    pairs.Record(ran, Order::FirstToLast);

    ASSERT_TRUE(testsupport::KilledInChild([&] {
        KillBefore kill(kKillAt);
        Record undo(journals, Kind::kUndo, run.Id());
        UndoRevert::ExecuteUndo(pairs, UndoRevert::PlanUndo(pairs, {}, UndoRevert::Sources::kLookAgain),
                                &kill, &undo);
    }));
    Store store(journals);
    const std::optional<Interrupted> interrupted = FindInterrupted(store, store.List());
    ASSERT_TRUE(interrupted);
    EXPECT_EQ(interrupted->journal.header.kind, Kind::kUndo);
    EXPECT_EQ(interrupted->journal.header.target, run.Id());
    EXPECT_EQ(interrupted->done, kKillAt);

    EXPECT_EQ(Recover(journals, interrupted->journal, true).undo.done, kKillAt);
    for (std::size_t i = 0; i < kFiles; ++i)
        EXPECT_EQ(TempDir::ReadFile(folder + "/" + NewName(i)), OldName(i));
    EXPECT_EQ(TempDir::Names(folder).size(), kFiles);
    const Listing listing = store.List();
    ASSERT_EQ(listing.commands.size(), 3u);
    EXPECT_EQ(listing.commands[1].state, State::kUndone);
    EXPECT_EQ(listing.commands[2].state, State::kCompleted);  // the run, to be undone again
}

// A planned run (a ring of three, a swap and a chain) killed before each of its steps, so also
// while a file of a cycle stands under its temporary name: the question counts the files at their
// new names, and yes brings every file back to its old name with its content, no temporary name
// left.
TEST(RunJournalKillTest, APlannedRunKilledAtAnyStepIsTakenBackWhole) {
    const std::vector<std::string> names = {"1", "2", "a", "b", "p", "q", "r"};
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"p", "q"}, {"q", "r"}, {"r", "p"}, {"a", "b"}, {"b", "a"}, {"1", "2"}, {"2", "3"}};
    const auto temporaries = [](const std::string& folder) {
        std::size_t count = 0;
        for (const std::string& name : TempDir::Names(folder))
            count += name.starts_with(".quorbel-") ? 1 : 0;
        return count;
    };
    for (std::size_t step = 0;; ++step) {
        TempDir dir;
        const std::string folder = dir.MakeDir("files");
        const auto in = [&dir](const std::string& name) { return dir / ("files/" + name); };
        const std::string journals = dir / "journal";
        Files files;
        for (const std::string& name : names)
            TempDir::WriteFile(in(name), name);
        for (const auto& [from, to] : pairs) {
            files.from.push_back(Cp(in(from)));
            files.to.push_back(Cp(in(to)));
            files.ids.push_back(testsupport::IdOf(in(from)));
        }
        const RenamePlanner::Plan plan =
            RenameExecutor::PlanOnDisk(files.from, files.to, RenameExecutor::RunId());
        ASSERT_EQ(plan.cycleCount, 2u);
        if (step == plan.steps.size()) break;
        SCOPED_TRACE("killed before step " + std::to_string(step));

        ASSERT_TRUE(testsupport::KilledInChild([&] {
            testsupport::KillBeforePlanStep(step);
            Record record(journals, Kind::kSequential);
            RenameExecutor::ExecutePlan(files.from, files.to, plan, RenameExecutor::Look::kNone, nullptr,
                                        &files.ids, &record);
        }));
        // Each step but a cycle's first brings a file to its new name.
        std::size_t done = 0;
        bool aside = false;
        for (std::size_t s = 0; s < step; ++s) {
            const RenamePlanner::Move move = plan.steps[s].move;
            done += move == RenamePlanner::Move::kAside ? 0 : 1;
            aside = move == RenamePlanner::Move::kAside || (aside && move != RenamePlanner::Move::kHome);
        }
        EXPECT_EQ(temporaries(folder), aside ? 1u : 0u);

        Store store(journals);
        const std::optional<Interrupted> interrupted = FindInterrupted(store, store.List());
        ASSERT_TRUE(interrupted);
        EXPECT_EQ(interrupted->done, done);
        const Recovered recovered = Recover(journals, interrupted->journal, true);
        EXPECT_THAT(recovered.undo.refused, ::testing::IsEmpty());
        EXPECT_EQ(recovered.undo.done, done);
        EXPECT_THAT(recovered.stayed, ::testing::IsEmpty());
        EXPECT_EQ(TempDir::Names(folder), names);
        for (const std::string& name : names)
            EXPECT_EQ(TempDir::ReadFile(in(name)), name);
        EXPECT_FALSE(FindInterrupted(store, store.List()));
    }
}

}  // namespace
