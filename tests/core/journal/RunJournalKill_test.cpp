// A command killed in its middle, and the recovery at the next start: with yes every file is back
// where it was before the command, with its content; with no the command is kept as it was found.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/journal/RunJournalRecord.h"
#include "core/journal/RunJournalStore.h"
#include "core/journal/RunJournalUndo.h"
#include "core/list/PairList.h"
#include "core/platform/FileSystem.h"
#include "core/run/MovePlan.h"
#include "core/run/RenameExecutor.h"
#include "core/run/RenamePlanner.h"
#include "core/run/UndoRevert.h"
#include "core/text/Cp932.h"
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

// A command killed midway, also with its recovery killed after one file: the question is still
// about the command, and the recovery is finished, never reversed.
TEST(RunJournalKillTest, AKilledCommandIsTakenBackOrKeptAsFound) {
    for (const Command& command : Commands()) {
        for (const auto& [takeBack, recoveryKilled] : {std::pair{true, false}, std::pair{false, false},
                                                       std::pair{true, true}, std::pair{false, true}}) {
            if (recoveryKilled && command.otherFileSystem) continue;  // nothing to recover
            SCOPED_TRACE(std::string(command.name) + (takeBack ? ", yes" : ", no") +
                         (recoveryKilled ? ", recovery killed" : ""));
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
            if (recoveryKilled) {
                ASSERT_TRUE(testsupport::KilledInChild([&] {
                    KillBefore kill(1);
                    Recover(journals, FindInterrupted(store, store.List()).value(), true, &kill);
                }));
            }
            const std::optional<Interrupted> interrupted = FindInterrupted(store, store.List());
            ASSERT_TRUE(interrupted);
            EXPECT_EQ(interrupted->command->header.kind, command.kind);
            EXPECT_EQ(interrupted->takeBack.has_value(), recoveryKilled);
            EXPECT_EQ(interrupted->files, kFiles);
            // A copy to another file system is made durable a group at a time: none was placed.
            EXPECT_EQ(interrupted->done, command.otherFileSystem ? 0u : kKillAt - (recoveryKilled ? 1 : 0));

            const Recovered recovered = Recover(journals, *interrupted, takeBack);
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
                ASSERT_EQ(after.commands.size(),
                          (interrupted->done > 0 ? 2u : 1u) + (recoveryKilled ? 1 : 0));
                if (interrupted->done > 0) {
                    EXPECT_EQ(after.commands[0].header.kind, Kind::kRecovery);
                    EXPECT_EQ(after.commands.back().state, State::kUndone);
                }
            } else {
                ASSERT_EQ(after.commands.size(), recoveryKilled ? 2u : 1u);
                EXPECT_EQ(after.commands.back().state, State::kClosedAsFound);
                // The copies under way go too: every file stands in one place.
                EXPECT_EQ(TempDir::Names(folder).size() +
                              (destination != folder ? TempDir::Names(destination).size() : 0),
                          kFiles);
                // The command as found can still be undone from the history.
                const Journal kept = store.Read(after.commands.back().header.id).value();
                EXPECT_EQ(DoneEntries(kept).size(), interrupted->done);
            }
        }
    }
}

// An undo killed midway is offered as the run it was taking back, and yes finishes it.
TEST(RunJournalKillTest, AKilledUndoIsFinished) {
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
    EXPECT_EQ(interrupted->takeBack->header.kind, Kind::kUndo);
    EXPECT_EQ(interrupted->command->header.id, run.Id());
    EXPECT_EQ(interrupted->done, kFiles - kKillAt);

    EXPECT_EQ(Recover(journals, *interrupted, true).undo.done, kFiles - kKillAt);
    ExpectAllAtOldNames(folder);
    const Listing listing = store.List();
    ASSERT_EQ(listing.commands.size(), 3u);
    EXPECT_EQ(listing.commands[0].header.kind, Kind::kUndo);
    EXPECT_EQ(listing.commands[2].state, State::kUndone);
}

// A planned run (a ring of three, a swap and a chain) killed before each of its steps, so also
// while a file of a cycle stands under its temporary name: the question counts the files at their
// new names, and yes brings every file back to its old name with its content, no temporary name
// left. No leaves no temporary name where one of the file's names is free, and names each other.
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
    for (std::size_t run = 0;; ++run) {
        const std::size_t step = run / 2;
        const bool keep = run % 2 == 1;  // no
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
        SCOPED_TRACE("killed before step " + std::to_string(step) + (keep ? ", no" : ""));

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
        const Recovered recovered = Recover(journals, *interrupted, !keep);
        if (keep) {
            EXPECT_EQ(temporaries(folder), recovered.stayed.size());
            EXPECT_EQ(TempDir::Names(folder).size(), names.size());
            // Right after the file went aside, its old name is free.
            if (step > 0 && plan.steps[step - 1].move == RenamePlanner::Move::kAside) {
                EXPECT_THAT(recovered.stayed, ::testing::IsEmpty());
            }
            continue;
        }
        EXPECT_THAT(recovered.undo.refused, ::testing::IsEmpty());
        EXPECT_EQ(recovered.undo.done, done);
        EXPECT_THAT(recovered.stayed, ::testing::IsEmpty());
        EXPECT_EQ(TempDir::Names(folder), names);
        for (const std::string& name : names)
            EXPECT_EQ(TempDir::ReadFile(in(name)), name);
        EXPECT_FALSE(FindInterrupted(store, store.List()));
    }
}

// A move to another file system killed while copies stood placed beside their sources (kept alive
// by links aside and linked back, as if their removal had never come): with yes and with no each
// such copy goes once it is alike its source; one changed since stays and is named.
TEST(RunJournalKillTest, AMoveKilledBeforeItsSourcesWentLeavesNoFileInBothPlaces) {
    constexpr std::size_t kMoved = 40;  // more than a group of copies
    for (const bool takeBack : {true, false}) {
        SCOPED_TRACE(takeBack ? "yes" : "no");
        TempDir dir;
        const std::string folder = dir.MakeDir("files");
        const std::string destination = dir.MakeDir("dest");
        const auto mount = Mount::Make(Mount::Kind::kTmpfs, destination, std::size_t{4} << 20);
        if (!mount) GTEST_SKIP() << Mount::Why();
        const std::string aside = dir.MakeDir("aside");
        Files files;
        for (std::size_t i = 0; i < kMoved; ++i) {
            files.from.push_back(Cp(dir.MakeFile("files/" + OldName(i), OldName(i))));
            files.ids.push_back(testsupport::IdOf(folder + "/" + OldName(i)));
            std::filesystem::create_hard_link(folder + "/" + OldName(i), aside + "/" + OldName(i));
        }
        ASSERT_TRUE(testsupport::KilledInChild([&] {
            KillBefore kill(kMoved - 2);
            Record record(dir / "journal", Kind::kMove);
            MovePlan::Execute(MovePlan::MakePlan(files.from, std::vector<bool>(kMoved, true), Cp(destination),
                                                 {}, files.ids),
                              MovePlan::Answer::kKeep, &kill, &record);
        }));
        for (std::size_t i = 0; i < 3; ++i)
            std::filesystem::create_hard_link(aside + "/" + OldName(i), folder + "/" + OldName(i));
        const std::string changed = destination + "/" + OldName(1);
        std::filesystem::last_write_time(changed,
                                         std::filesystem::last_write_time(changed) + std::chrono::seconds(1));
        const std::size_t placed = kMoved + 3 - TempDir::Names(folder).size();
        Store store(dir / "journal");
        const std::optional<Interrupted> interrupted = FindInterrupted(store, store.List());
        ASSERT_TRUE(interrupted);
        EXPECT_EQ(interrupted->done, placed - 3);

        const Recovered recovered = Recover(dir / "journal", *interrupted, takeBack);
        ASSERT_EQ(recovered.twice.size(), 1u);
        EXPECT_EQ(recovered.twice[0].copy, changed);
        const std::size_t staying = takeBack ? 0 : placed - 3;
        EXPECT_EQ(TempDir::Names(destination).size(), 1 + staying);
        EXPECT_EQ(TempDir::Names(folder).size(), kMoved - staying);
    }
}

}  // namespace
