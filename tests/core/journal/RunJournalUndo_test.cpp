#include "core/journal/RunJournalUndo.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/journal/RunJournalRecord.h"
#include "core/journal/RunJournalStore.h"
#include "core/list/PairList.h"
#include "core/platform/FileSystem.h"
#include "core/run/MovePlan.h"
#include "core/run/RenameExecutor.h"
#include "core/run/UndoRevert.h"
#include "core/text/Cp932.h"
#include "support/FileIds.h"
#include "support/KillAtStep.h"
#include "support/Mounts.h"
#include "support/TempDir.h"

namespace {

using namespace RunJournal;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testsupport::TempDir;
namespace fs = std::filesystem;

using testsupport::Cp;
using testsupport::IdOf;

// Renames the files of folder f from from[i] to to[i], recorded in journals the way a run is; the
// journal as kept, and the run as the window keeps it (pairs, optional).
Journal RecordedRun(const TempDir& dir, const std::string& journals, const std::vector<std::string>& from,
                    const std::vector<std::string>& to, PairList* pairs = nullptr) {
    std::vector<std::string> oldPaths;
    std::vector<std::string> newPaths;
    for (std::size_t i = 0; i < from.size(); ++i) {
        oldPaths.push_back(Cp(dir / ("f/" + from[i])));
        newPaths.push_back(Cp(dir / ("f/" + to[i])));
    }
    Record record(journals, Kind::kString);
    const RenameExecutor::Outcome outcome = RenameExecutor::ExecuteSkippingCollisions(
        oldPaths, newPaths, RenameExecutor::Order::FirstToLast, nullptr, {}, &record);
    EXPECT_TRUE(outcome.failed.empty() && outcome.skipped.empty());
    if (pairs != nullptr) {
        pairs->SetRun(oldPaths, newPaths, outcome.ids);
        pairs->Record(outcome, RenameExecutor::Order::FirstToLast);
        UndoRevert::Restamp(*pairs);
    }
    return Store(journals).Read(record.Id()).value();
}

// After a restart a name alone proves nothing: only a file found by identity where the command
// left it goes back, last first (a name the run freed for a later file is free again first), and
// the undo is a command of the journal that marks its target undone.
TEST(RunJournalUndoTest, TakesBackOnlyTheFilesFoundByIdentityLastFirst) {
    TempDir dir;
    const std::string journals = dir / "journal";
    for (const char* name : {"a", "c", "x", "y", "z"})
        dir.MakeFile(std::string("f/") + name, name);
    // a → b, then c takes a's name: undone in the same order, b could not go back to a.
    const Journal run = RecordedRun(dir, journals, {"a", "c", "x", "y", "z"}, {"b", "a", "x2", "y2", "z2"});
    // x2: another file of the same name now; y2: back at its old name already; z2: gone.
    fs::rename(dir / "f/x2", dir / "x-elsewhere");
    dir.MakeFile("f/x2", "someone else's");
    fs::rename(dir / "f/y2", dir / "f/y");
    fs::remove(dir / "f/z2");

    const std::vector<std::size_t> done = DoneEntries(run);
    EXPECT_THAT(done, ElementsAre(0u, 1u, 2u, 3u, 4u));
    const UndoCheck check = CheckUndo(run, done);
    EXPECT_THAT(check.take, ElementsAre(0u, 1u));
    EXPECT_THAT(check.missing, ElementsAre(2u, 4u));

    const UndoResult result = Undo(run, check, Kind::kUndo, journals);
    EXPECT_FALSE(result.unrecorded);
    EXPECT_THAT(result.refused, IsEmpty());
    EXPECT_EQ(result.done, 2u);
    EXPECT_EQ(TempDir::ReadFile(dir / "f/a"), "a");
    EXPECT_EQ(TempDir::ReadFile(dir / "f/c"), "c");
    EXPECT_EQ(TempDir::ReadFile(dir / "f/x2"), "someone else's");
    EXPECT_THAT(TempDir::Names(dir / "f"), ElementsAre("a", "c", "x2", "y"));

    const Listing listing = Store(journals).List();
    ASSERT_EQ(listing.commands.size(), 2u);
    EXPECT_EQ(listing.commands[0].header.kind, Kind::kUndo);
    EXPECT_EQ(listing.commands[0].header.target, run.header.id);
    EXPECT_EQ(listing.commands[1].state, State::kUndone);
    // Taken back: nothing more to take.
    EXPECT_THAT(CheckUndo(run, done).take, IsEmpty());
}

// On ext4 a file made where another was just removed mostly gets its inode number. That file was
// never the run's: the window's undo and revert, the history's undo and the recovery of the run,
// had it been killed, all count it as missing and leave it alone. Enough files that the run and
// the window's undo read the folder rather than look at each file.
TEST(RunJournalUndoTest, AFileGivenARenamedFilesInodeNumberIsMissing) {
    TempDir dir;
    const auto mount = testsupport::Mount::Make(testsupport::Mount::Kind::kExt4, dir.MakeDir("f"), 8 << 20);
    if (!mount) GTEST_SKIP() << testsupport::Mount::Why();
    std::vector<std::string> from;
    std::vector<std::string> to;
    for (int i = 0; i < 40; ++i) {
        from.push_back("a" + std::to_string(i));
        to.push_back("N" + std::to_string(i));
        dir.MakeFile("f/" + from.back(), from.back());
    }
    PairList pairs;
    const Journal run = RecordedRun(dir, dir / "journal", from, to, &pairs);
    const std::string reused = dir / "f/N2";
    const std::uint64_t inode = IdOf(reused).file.inode;
    bool gotIt = false;
    for (int attempt = 0; attempt < 20 && !gotIt; ++attempt) {
        fs::remove(reused);
        dir.MakeFile("f/N2", "other");
        gotIt = IdOf(reused).file.inode == inode;
    }
    if (!gotIt) GTEST_SKIP() << "ext4 gave the new file another inode number 20 times";

    EXPECT_THAT(UndoRevert::MissingFiles(pairs), ElementsAre(2u));
    EXPECT_THAT(CheckUndo(run, DoneEntries(run)).missing, ElementsAre(2u));
    Journal killed = run;
    killed.closing.reset();
    EXPECT_THAT(Examine(killed).done, ::testing::Not(::testing::Contains(2u)));
    EXPECT_EQ(Examine(killed).done.size(), 39u);
    EXPECT_EQ(UndoRevert::RevertOne(pairs, 2), UndoRevert::Revert::kMissing);

    UndoRevert::UndoAll(pairs, UndoRevert::MissingFiles(pairs));
    EXPECT_EQ(TempDir::ReadFile(reused), "other");
    EXPECT_EQ(TempDir::ReadFile(dir / "f/a3"), "a3");
    EXPECT_FALSE(TempDir::Exists(dir / "f/a2"));
}

// A ring goes back through the planner too. When the folder turns read-only once a file of the
// ring is set aside, that file cannot come out of its temporary name: the result names it, where it
// was and where it is, and the ring's files count as refused.
TEST(RunJournalUndoTest, ARingThatCannotGoBackNamesTheFileLeftUnderItsTemporaryName) {
    TempDir dir;
    const std::string journals = dir / "journal";
    const auto mount = testsupport::Mount::Make(testsupport::Mount::Kind::kBind, dir.MakeDir("f"));
    if (!mount) GTEST_SKIP() << testsupport::Mount::Why();
    std::vector<std::string> from;
    std::vector<std::string> to;
    for (const auto& [a, b] : {std::pair{"p", "q"}, {"q", "r"}, {"r", "p"}}) {
        dir.MakeFile(std::string("f/") + a, a);
        from.push_back(Cp(dir / (std::string("f/") + a)));
        to.push_back(Cp(dir / (std::string("f/") + b)));
    }
    Record record(journals, Kind::kString);
    RenameExecutor::ExecutePlan(from, to, RenameExecutor::PlanOnDisk(from, to, "run"),
                                RenameExecutor::Look::kSources, nullptr, nullptr, &record);
    const Journal run = Store(journals).Read(record.Id()).value();

    RenameExecutor::SetStepHookForTests([&mount](std::size_t step) {
        if (step == 1) mount->SetReadOnly(true);
    });
    const UndoResult result = Undo(run, CheckUndo(run, DoneEntries(run)), Kind::kUndo, journals);
    RenameExecutor::SetStepHookForTests({});
    ASSERT_TRUE(mount->SetReadOnly(false));
    EXPECT_THAT(result.refused, ElementsAre(0u, 1u, 2u));
    EXPECT_EQ(result.done, 0u);
    ASSERT_EQ(result.stranded.size(), 1u);
    const RenameExecutor::Stranded& stranded = result.stranded[0];
    ASSERT_LT(stranded.index, run.entries.size());
    EXPECT_EQ(stranded.from, Cp(run.entries[stranded.index].newPath));
    EXPECT_EQ(IdOf(Cp932::ToUtf8(stranded.path).value()), run.entries[stranded.index].id);
    EXPECT_EQ(TempDir::Names(dir / "f").size(), 3u);
}

// A swap whose way back was refused leaves a file under its temporary name. The journal keeps it:
// once the name is free again, the undo from the history takes the swap back and brings that file
// home too.
TEST(RunJournalUndoTest, TheHistorysUndoBringsHomeAFileLeftUnderItsTemporaryName) {
    TempDir dir;
    const std::string journals = dir / "journal";
    const std::vector<std::string> from = {Cp(dir.MakeFile("f/a", "a")), Cp(dir.MakeFile("f/b", "b"))};
    const std::vector<std::string> to = {from[1], from[0]};
    // a goes aside, b takes a's name, then a newcomer takes b's name before a can: b cannot go back
    // past the newcomer, and a cannot go back past b.
    RenameExecutor::SetStepHookForTests([&dir](std::size_t step) {
        if (step == 2) dir.MakeFile("f/b", "newcomer");
    });
    Record record(journals, Kind::kString);
    const RenameExecutor::PlannedOutcome ran =
        RenameExecutor::ExecutePlan(from, to, RenameExecutor::PlanOnDisk(from, to, "run"),
                                    RenameExecutor::Look::kSources, nullptr, nullptr, &record);
    RenameExecutor::SetStepHookForTests({});
    ASSERT_EQ(ran.stranded.size(), 1u);
    EXPECT_THAT(TempDir::Names(dir / "f"), ElementsAre(".quorbel-run-0", "a", "b"));
    const Journal run = Store(journals).Read(record.Id()).value();
    ASSERT_EQ(LeftBehind(run).stranded.size(), 1u);

    fs::rename(dir / "f/b", dir / "newcomer");
    const TakenBack undone = UndoFromHistory(run, CheckUndo(run, DoneEntries(run)), journals);
    EXPECT_FALSE(undone.undo.unrecorded);
    EXPECT_THAT(undone.stayed, IsEmpty());
    EXPECT_THAT(TempDir::Names(dir / "f"), ElementsAre("a", "b"));
    EXPECT_EQ(TempDir::ReadFile(dir / "f/a"), "a");
    EXPECT_EQ(TempDir::ReadFile(dir / "f/b"), "b");
    EXPECT_THAT(LeftBehind(run).stranded, IsEmpty());
}

// A move is taken back by moving the files home, also from another file system, where the file
// at its new path is the copy the move placed there.
TEST(RunJournalUndoTest, AMoveGoesBackAlsoFromAnotherFileSystem) {
    TempDir disk;
    if (!fs::is_directory("/dev/shm")) GTEST_SKIP() << "no /dev/shm";
    TempDir shm("/dev/shm");
    const std::string journals = disk / "journal";
    std::vector<std::string> sources;
    for (const char* name : {"1.jpg", "2.jpg"})
        sources.push_back(Cp(shm.MakeFile(std::string("src/") + name, name)));
    const std::vector<Platform::EntryId> ids = {IdOf(shm / "src/1.jpg"), IdOf(shm / "src/2.jpg")};
    Record record(journals, Kind::kMove, 0, disk / "dest");
    const MovePlan::Plan plan = MovePlan::MakePlan(sources, {true, true}, Cp(disk.MakeDir("dest")), {}, ids);
    ASSERT_EQ(MovePlan::Execute(plan, MovePlan::Answer::kKeep, nullptr, &record).moved.size(), 2u);
    const Journal move = Store(journals).Read(record.Id()).value();
    EXPECT_EQ(move.header.folder, disk / "dest");

    const UndoCheck check = CheckUndo(move, DoneEntries(move));
    EXPECT_THAT(check.take, ElementsAre(0u, 1u));
    const UndoResult result = Undo(move, check, Kind::kUndo, journals);
    EXPECT_EQ(result.done, 2u);
    EXPECT_THAT(TempDir::Names(shm / "src"), ElementsAre("1.jpg", "2.jpg"));
    EXPECT_EQ(TempDir::ReadFile(shm / "src/2.jpg"), "2.jpg");
    EXPECT_THAT(TempDir::Names(disk / "dest"), IsEmpty());
}

// A move to another file system and its undo leave copies where the run before them had put its
// files, and so does the recovery of such a move killed midway: the history's undo of the run takes
// those back as the run's own.
TEST(RunJournalUndoTest, TheRunBeforeAMoveTakenBackIsUndoneThroughItsCopies) {
    if (!fs::is_directory("/dev/shm")) GTEST_SKIP() << "no /dev/shm";
    // Killed once the first group of copies is placed (32 files) and the next copy is made.
    constexpr std::size_t kFiles = 34;
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "move killed, then recovered" : "move undone from the history");
        TempDir disk;
        TempDir shm("/dev/shm");
        const std::string journals = disk / "journal";
        std::vector<std::string> from;
        std::vector<std::string> to;
        for (std::size_t i = 0; i < kFiles; ++i) {
            from.push_back("f" + std::to_string(i));
            to.push_back("V" + std::to_string(i));
            shm.MakeFile("f/" + from.back(), from.back());
        }
        PairList pairs;
        const Journal run = RecordedRun(shm, journals, from, to, &pairs);
        const MovePlan::Plan plan = MovePlan::MakePlan(pairs, Cp(disk.MakeDir("dest")));
        const auto move = [&](RunControl* control) {
            Record record(journals, Kind::kMove, 0, disk / "dest");
            return MovePlan::Execute(plan, MovePlan::Answer::kKeep, control, &record).moved.size();
        };
        if (killed) {
            ASSERT_TRUE(testsupport::KilledInChild([&] {
                testsupport::KillBefore kill(33);
                move(&kill);
            }));
            Store store(journals);
            const auto interrupted = FindInterrupted(store, store.List());
            ASSERT_TRUE(interrupted);
            EXPECT_EQ(Recover(journals, *interrupted, true).undo.done, 32u);
        } else {
            ASSERT_EQ(move(nullptr), kFiles);
            Store store(journals);
            const Journal moved = store.Read(store.List().commands.at(0).header.id).value();
            ASSERT_EQ(UndoFromHistory(moved, CheckUndo(moved, DoneEntries(moved)), journals).undo.done,
                      kFiles);
        }

        Store store(journals);
        const UndoCheck check = CheckUndo(run, DoneEntries(run), LaterCopies(store, store.List(), run));
        EXPECT_EQ(check.take.size(), kFiles);
        EXPECT_THAT(check.missing, IsEmpty());
        EXPECT_EQ(UndoFromHistory(run, check, journals).undo.done, kFiles);
        EXPECT_EQ(TempDir::Names(shm / "f").size(), kFiles);
        EXPECT_EQ(TempDir::ReadFile(shm / "f/f2"), "f2");
        EXPECT_EQ(TempDir::ReadFile(shm / "f/f33"), "f33");
    }
}

// What an interrupted move left: a copy beside a source still in place goes, a set-aside file goes
// home, but never over a file that took its name meanwhile.
TEST(RunJournalUndoTest, CleanUpRemovesCopiesAndBringsStrandedFilesHome) {
    TempDir dir;
    Journal journal;
    journal.entries = {{dir.MakeFile("a", "a"), dir / "dest/a", IdOf(dir / "a")},
                       {dir.MakeFile("b", "b"), dir / "dest/b", IdOf(dir / "b")},
                       {dir.MakeFile("c", "c"), dir / "dest/c", IdOf(dir / "c")}};
    dir.MakeFile("dest/.copy-a", "a");
    const Platform::EntryId theirsB = IdOf(dir.MakeFile("dest/.aside-b", "their b"));
    const Platform::EntryId theirsC = IdOf(dir.MakeFile("dest/.aside-c", "their c"));
    dir.MakeFile("dest/c", "came since");
    journal.notes = {{NoteKind::kCopy, 0, dir / "dest/.copy-a", {}},
                     {NoteKind::kSetAside, 1, dir / "dest/.aside-b", theirsB},
                     {NoteKind::kSetAside, 2, dir / "dest/.aside-c", theirsC}};

    const OnDisk found = Examine(journal);
    const std::vector<Stranded> stayed = CleanUp(journal, found).stayed;
    ASSERT_EQ(stayed.size(), 1u);
    EXPECT_EQ(stayed[0].home, dir / "dest/c");
    EXPECT_THAT(TempDir::Names(dir / "dest"), ElementsAre(".aside-c", "b", "c"));
    EXPECT_EQ(TempDir::ReadFile(dir / "dest/b"), "their b");
    EXPECT_EQ(TempDir::ReadFile(dir / "dest/c"), "came since");
    EXPECT_EQ(TempDir::ReadFile(dir / "a"), "a");
}

}  // namespace
