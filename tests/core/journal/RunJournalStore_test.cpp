#include "core/journal/RunJournalStore.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "support/Mounts.h"
#include "support/TempDir.h"

namespace {

using namespace RunJournal;
using testsupport::Mount;
using testsupport::TempDir;
namespace fs = std::filesystem;

// count entries in folder, each name `bytes` long, so that a run's size can be chosen.
std::vector<Entry> Entries(const std::string& folder, int count, std::size_t bytes = 12) {
    const std::string oldFolder = folder + "/";
    const std::string newFolder = folder + "/new\n";
    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::string name = std::to_string(i) + "-";
        name += std::string(bytes > name.size() ? bytes - name.size() : 0, static_cast<char>('a' + i % 26));
        entries.push_back({oldFolder + name, newFolder + name, {{1, static_cast<std::uint64_t>(i)}, 0, {}}});
    }
    return entries;
}

std::vector<Outcome> AllDone(std::size_t count) {
    return {count, Outcome::kDone};
}

mode_t Mode(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<State> States(const Listing& listing) {
    std::vector<State> states;
    for (const Summary& s : listing.commands)
        states.push_back(s.state);
    return states;
}

// Begins and closes a command; its id.
std::uint64_t Completed(const std::string& folder, Kind kind, std::uint64_t target = 0) {
    Writer writer(folder);
    EXPECT_FALSE(writer.Begin(kind, "/w", Entries("/w", 2), target));
    EXPECT_FALSE(writer.Close(AllDone(2)));
    return writer.Id();
}

TEST(RunJournalStore, WritesAndReadsBackACommand) {
    TempDir dir;
    const std::string folder = dir / "state/quorbel/journal";
    const std::vector<Entry> entries = Entries("/home/u/写真\xff", 3);
    Writer writer(folder);
    ASSERT_FALSE(writer.Begin(Kind::kString, "/home/u/写真\xff", entries));
    const std::string path = folder + "/" + Format::FileName(writer.Id());
    EXPECT_EQ(Mode(dir / "state"), 0700u);
    EXPECT_EQ(Mode(folder), 0700u);
    EXPECT_EQ(Mode(path), 0600u);

    Store store(folder);
    Listing listing = store.List();
    ASSERT_EQ(listing.commands.size(), 1u);
    const Summary& running = listing.commands[0];
    EXPECT_EQ(running.header.id, writer.Id());
    EXPECT_EQ(running.header.kind, Kind::kString);
    EXPECT_EQ(running.header.folder, "/home/u/写真\xff");
    EXPECT_EQ(running.files, 3u);
    EXPECT_EQ(running.state, State::kRunning);  // its lock is held, also within one process

    const std::vector<Note> notes = {{NoteKind::kCycle, 2, "/home/u/.quorbel-1-0", {{1, 2}, 0, {}}}};
    ASSERT_FALSE(writer.AddNotes(notes));
    const std::vector<Outcome> outcomes = {Outcome::kDone, Outcome::kFailed, Outcome::kUntried};
    ASSERT_FALSE(writer.Close(outcomes));
    EXPECT_FALSE(writer.Running());

    EXPECT_EQ(States(store.List()), std::vector<State>{State::kCompleted});
    const auto journal = store.Read(writer.Id());
    ASSERT_TRUE(journal);
    EXPECT_EQ(journal->entries, entries);
    EXPECT_EQ(journal->notes, notes);
    EXPECT_EQ(journal->closing, (Closing{false, outcomes}));
    EXPECT_FALSE(store.Read(writer.Id() + 1));
}

TEST(RunJournalStore, ADraftIsNoCommandUntilBegunAndLeavesNothingWhenDropped) {
    TempDir dir;
    const std::string& folder = dir.Path();
    const std::vector<Entry> entries = Entries("/w", 3);
    Format::EntriesEncoder paths(entries.size(), 0);
    for (const Entry& e : entries)
        paths.Add(e.oldPath, e.newPath);
    const auto idOf = [&entries](std::size_t k) { return entries[k].id; };
    {
        Writer dropped(folder);
        ASSERT_FALSE(dropped.Draft(Kind::kString, "/w", paths));
        EXPECT_FALSE(dropped.Running());
        ASSERT_EQ(Names(folder).size(), 1u);
        EXPECT_EQ(Names(folder)[0].front(), '.');
        EXPECT_TRUE(Store(folder).List().commands.empty());
    }
    EXPECT_TRUE(Names(folder).empty());
    Writer writer(folder);
    ASSERT_FALSE(writer.Draft(Kind::kString, "/w", paths));
    writer.Discard();
    EXPECT_TRUE(Names(folder).empty());

    // Another process takes the draft's name before it is begun: it moves on to the next id.
    ASSERT_FALSE(writer.Draft(Kind::kString, "/w", paths));
    const std::uint64_t drafted = writer.Id();
    const std::string taken = folder + "/" + Format::FileName(drafted);
    TempDir::WriteFile(taken, "another's");
    ASSERT_FALSE(writer.Begin(idOf));
    EXPECT_TRUE(writer.Running());
    EXPECT_EQ(writer.Id(), drafted + 1);
    EXPECT_EQ(TempDir::ReadFile(taken), "another's");
    ASSERT_FALSE(writer.Close(AllDone(3)));
    const auto journal = Store(folder).Read(writer.Id());
    ASSERT_TRUE(journal);
    EXPECT_EQ(journal->header.id, writer.Id());
    EXPECT_EQ(journal->entries, entries);
    EXPECT_EQ(Names(folder).size(), 2u);  // no draft left
}

TEST(RunJournalStore, OnlyAnUndoOrRecoveryThatCompletedEveryFileMarksItsTargetUndone) {
    TempDir dir;
    const std::string& folder = dir.Path();
    const std::uint64_t run = Completed(folder, Kind::kSequential);
    Completed(folder, Kind::kRevert, run);
    {
        Writer stopped(folder);  // an undo whose process ended before closing it
        ASSERT_FALSE(stopped.Begin(Kind::kUndo, "/w", Entries("/w", 2), run));
    }
    {
        Writer partial(folder);  // an undo that was stopped after its first file
        ASSERT_FALSE(partial.Begin(Kind::kUndo, "/w", Entries("/w", 2), run));
        ASSERT_FALSE(partial.Close({Outcome::kDone, Outcome::kUntried}));
    }
    Store store(folder);
    EXPECT_EQ(States(store.List()), (std::vector<State>{State::kCompleted, State::kInterrupted,
                                                        State::kCompleted, State::kCompleted}));

    const std::uint64_t undo = Completed(folder, Kind::kUndo, run);
    EXPECT_EQ(States(store.List()),
              (std::vector<State>{State::kCompleted, State::kCompleted, State::kInterrupted,
                                  State::kCompleted, State::kUndone}));
    // Undoing the undo brings the run back.
    Completed(folder, Kind::kUndo, undo);
    EXPECT_EQ(States(store.List()),
              (std::vector<State>{State::kCompleted, State::kUndone, State::kCompleted, State::kInterrupted,
                                  State::kCompleted, State::kCompleted}));
    // A recovery of an interrupted command undoes it too; the newest alone can be asked for.
    const std::uint64_t moved = Completed(folder, Kind::kMove);
    Completed(folder, Kind::kRecovery, moved);
    const Listing newest = store.List(2);
    EXPECT_EQ(States(newest), (std::vector<State>{State::kCompleted, State::kUndone}));
    EXPECT_EQ(newest.commands[1].header.id, moved);
    // So does one closed as found by a later start once every file was back.
    const std::uint64_t renamed = Completed(folder, Kind::kString);
    {
        Writer killed(folder);
        ASSERT_FALSE(killed.Begin(Kind::kRecovery, "/w", Entries("/w", 2), renamed));
    }
    Writer later(folder);
    ASSERT_FALSE(later.Resume(store.List(1).commands[0].header.id));
    ASSERT_FALSE(later.Close(AllDone(2)));
    EXPECT_EQ(States(store.List(2)), (std::vector<State>{State::kClosedAsFound, State::kUndone}));
}

TEST(RunJournalStore, KeepsTheNewest100CommandsAndAtMost200MB) {
    TempDir dir;
    const std::string& folder = dir.Path();
    std::vector<std::uint64_t> ids;
    ids.reserve(103);
    for (int i = 0; i < 103; ++i)
        ids.push_back(Completed(folder, Kind::kDigit));
    Store store(folder);
    const Listing listing = store.List(1000);
    ASSERT_EQ(listing.commands.size(), 100u);
    EXPECT_EQ(listing.commands.front().header.id, ids.back());
    EXPECT_EQ(listing.commands.back().header.id, ids[3]);

    // By size: files standing for older commands, sparse so that they take no room.
    TempDir sized;
    const auto make = [&](std::uint64_t id, const std::string& suffix, std::uint64_t bytes) {
        std::string path = sized / (Format::FileName(id) + suffix);
        TempDir::WriteFile(path);
        EXPECT_EQ(truncate(path.c_str(), static_cast<off_t>(bytes)), 0);
        return path;
    };
    const std::string oldest = make(1, "", 1000);
    const std::string large = make(2, "", 150'000'000);
    const std::string middle = make(3, "", 60'000'000);
    const std::string damaged = make(4, ".damaged", 1000);
    const std::string leftBegin = make(5, ".new", 10);
    fs::rename(leftBegin, sized / ("." + Format::FileName(5) + ".new"));
    const std::string busyBegin = make(6, ".new", 10);
    fs::rename(busyBegin, sized / ("." + Format::FileName(6) + ".new"));
    Platform::LockedFile busy;  // a Begin still writing in another process
    ASSERT_FALSE(busy.OpenExisting(sized / ("." + Format::FileName(6) + ".new")));
    const std::string foreign = sized.MakeFile("notes.txt", "mine");
    Completed(sized.Path(), Kind::kMove);

    EXPECT_FALSE(TempDir::Exists(oldest));
    EXPECT_FALSE(TempDir::Exists(large));
    EXPECT_TRUE(TempDir::Exists(middle));
    EXPECT_TRUE(TempDir::Exists(damaged));
    EXPECT_FALSE(TempDir::Exists(sized / ("." + Format::FileName(5) + ".new")));
    EXPECT_TRUE(TempDir::Exists(sized / ("." + Format::FileName(6) + ".new")));
    EXPECT_TRUE(TempDir::Exists(foreign));
}

TEST(RunJournalStore, ALiveCommandIsToldFromAnInterruptedOne) {
    TempDir dir;
    const std::string& folder = dir.Path();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    // Whatever fails below, the child does not outlive the test.
    struct Reaper {
        pid_t pid;
        ~Reaper() {
            if (pid <= 0) return;
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    } reaper{child};
    if (child == 0) {
        Writer writer(folder);
        // And a second command killed between its draft and its begin.
        Writer drafting(folder);
        Format::EntriesEncoder paths(1, 0);
        paths.Add("/w/a", "/w/b");
        const char began = writer.Begin(Kind::kCaseWidth, "/w", Entries("/w", 3)) ||
                                   drafting.Draft(Kind::kString, "/w", paths)
                               ? 'n'
                               : 'y';
        if (write(ready[1], &began, 1) != 1) _exit(1);
        for (;;)
            pause();
    }
    char began = 0;
    ASSERT_EQ(read(ready[0], &began, 1), 1);
    close(ready[0]);
    close(ready[1]);
    ASSERT_EQ(began, 'y');

    Store store(folder);
    Listing listing = store.List();
    ASSERT_EQ(States(listing), std::vector<State>{State::kRunning});
    const std::uint64_t id = listing.commands[0].header.id;
    Writer other(folder);
    EXPECT_EQ(other.Resume(id), std::errc::resource_unavailable_try_again);

    kill(child, SIGKILL);
    reaper.pid = 0;
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    // Killed in the middle of an append: a torn record at the end.
    const std::string path = folder + "/" + Format::FileName(id);
    {
        std::ofstream torn(path, std::ios::binary | std::ios::app);
        torn << std::string("\x03\x40\x00\x00\x00\x01", 6);
    }
    listing = store.List();
    EXPECT_EQ(States(listing), std::vector<State>{State::kInterrupted});
    EXPECT_TRUE(listing.problems.empty());

    // A later start closes it as it found it; the torn record is cut off first.
    ASSERT_FALSE(other.Resume(id));
    const std::vector<Outcome> found = {Outcome::kDone, Outcome::kUntried, Outcome::kUntried};
    ASSERT_FALSE(other.Close(found));
    EXPECT_EQ(States(store.List()), std::vector<State>{State::kClosedAsFound});
    EXPECT_EQ(store.Read(id)->closing, (Closing{true, found}));
    EXPECT_EQ(other.Resume(id), std::errc::operation_not_permitted);

    // The draft was never a command; the next begin clears it away.
    EXPECT_EQ(Names(folder).size(), 2u);
    const std::uint64_t next = Completed(folder, Kind::kDigit);
    EXPECT_EQ(Names(folder), (std::vector<std::string>{Format::FileName(id), Format::FileName(next)}));
}

TEST(RunJournalStore, AFullStateFolderRefusesAndLeavesNoHalfJournal) {
    TempDir dir;
    const std::string folder = dir.MakeDir("state");
    const auto mount = Mount::Make(Mount::Kind::kTmpfs, folder, 256 << 10);
    if (!mount) GTEST_SKIP() << Mount::Why();
    const std::string journals = folder + "/quorbel/journal";

    Writer writer(journals);
    const std::error_code refused = writer.Begin(Kind::kSequential, "/w", Entries("/w", 3000, 200));
    EXPECT_EQ(refused, std::errc::no_space_on_device);
    EXPECT_FALSE(writer.Running());
    EXPECT_TRUE(Names(journals).empty());

    // Room for a small command; then the disk fills up while it runs.
    ASSERT_FALSE(writer.Begin(Kind::kSequential, "/w", Entries("/w", 1)));
    const std::string path = journals + "/" + Format::FileName(writer.Id());
    const auto began = fs::file_size(path);
    {
        std::ofstream filler(folder + "/filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
            ;
    }
    const Note note{NoteKind::kCycle, 0, "/w/" + std::string(12000, 't'), {{1, 0}, 0, {}}};
    EXPECT_EQ(writer.AddNotes({note}), std::errc::no_space_on_device);
    // The part of the note that fit is gone again.
    EXPECT_EQ(fs::file_size(path), began);
    ASSERT_TRUE(fs::remove(folder + "/filler"));
    ASSERT_FALSE(writer.Close(AllDone(1)));
    Store store(journals);
    const Listing listing = store.List();
    EXPECT_EQ(States(listing), std::vector<State>{State::kCompleted});
    EXPECT_TRUE(store.Read(writer.Id())->notes.empty());
}

TEST(RunJournalStore, AReadOnlyStateFolderRefusesAndChangesNothing) {
    TempDir dir;
    const std::string folder = dir.MakeDir("state");
    const std::string journals = folder + "/journal";
    const std::uint64_t kept = Completed(journals, Kind::kString);
    std::uint64_t interrupted = 0;
    {
        Writer stopped(journals);
        ASSERT_FALSE(stopped.Begin(Kind::kDigit, "/w", Entries("/w", 2)));
        interrupted = stopped.Id();
    }
    const auto before = Names(journals);
    const auto mount = Mount::Make(Mount::Kind::kBind, folder);
    if (!mount) GTEST_SKIP() << Mount::Why();
    ASSERT_TRUE(mount->SetReadOnly(true));

    for (const std::string& target : {journals, folder + "/missing/journal"}) {
        Writer writer(target);
        EXPECT_EQ(writer.Begin(Kind::kSequential, "/w", Entries("/w", 2)), std::errc::read_only_file_system);
        EXPECT_FALSE(writer.Running());
    }
    EXPECT_EQ(Names(journals), before);
    EXPECT_FALSE(TempDir::Exists(folder + "/missing"));
    // An interrupted command cannot be closed there either, and stays as it was.
    Writer other(journals);
    EXPECT_EQ(other.Resume(interrupted), std::errc::read_only_file_system);
    EXPECT_FALSE(other.Running());
    EXPECT_EQ(Names(journals), before);
    const Listing listing = Store(journals).List();
    EXPECT_EQ(States(listing), (std::vector<State>{State::kInterrupted, State::kCompleted}));
    EXPECT_EQ(listing.commands.at(1).header.id, kept);
}

TEST(RunJournalStore, UnreadableFilesAreSetAsideAndReportedOnce) {
    TempDir dir;
    const std::string& folder = dir.Path();
    const std::uint64_t good = Completed(folder, Kind::kSequential);
    const std::uint64_t damaged = Completed(folder, Kind::kString);
    const std::string damagedPath = folder + "/" + Format::FileName(damaged);
    std::string bytes = TempDir::ReadFile(damagedPath);
    bytes[20] = static_cast<char>(bytes[20] ^ 0x10);
    TempDir::WriteFile(damagedPath, bytes);
    const std::string foreign = Format::FileName(damaged + 1);
    dir.MakeFile(foreign, "not a journal\n");
    const std::string newer = Format::FileName(damaged + 2);
    dir.MakeFile(newer, std::string("QBJOURNL") + static_cast<char>(Format::kVersion + 1) + "later");
    // A copy of the good journal under another name: its id does not match.
    const std::string copied = Format::FileName(damaged + 3);
    fs::copy_file(folder + "/" + Format::FileName(good), folder + "/" + copied);
    // Entries that are no files: a link and a FIFO, neither followed nor waited on.
    fs::create_symlink(folder + "/" + Format::FileName(good), folder + "/" + Format::FileName(damaged + 4));
    ASSERT_EQ(mkfifo((folder + "/" + Format::FileName(damaged + 5)).c_str(), 0600), 0);

    Store store(folder);
    Listing listing = store.List();
    ASSERT_EQ(listing.commands.size(), 1u);
    EXPECT_EQ(listing.commands[0].header.id, good);
    ASSERT_EQ(listing.problems.size(), 3u);
    EXPECT_EQ(listing.problems[0].file, copied);
    EXPECT_EQ(listing.problems[0].verdict, Format::Verdict::kDamaged);
    EXPECT_EQ(listing.problems[1].file, foreign);
    EXPECT_EQ(listing.problems[1].verdict, Format::Verdict::kForeign);
    EXPECT_EQ(listing.problems[2].file, Format::FileName(damaged));
    EXPECT_TRUE(TempDir::Exists(damagedPath + ".damaged"));
    EXPECT_TRUE(TempDir::Exists(folder + "/" + newer));  // a later version reads it

    listing = Store(folder).List();
    EXPECT_EQ(listing.commands.size(), 1u);
    EXPECT_TRUE(listing.problems.empty());
}

TEST(RunJournalStore, FolderFollowsXdgStateHome) {
    const struct {
        std::optional<std::string> xdg;
        std::optional<std::string> home;
        std::string folder;
    } cases[] = {
        {"/var/state", "/home/u", "/var/state/quorbel/journal"},
        {"/var/state//", "/home/u", "/var/state/quorbel/journal"},
        {"/", "/home/u", "/quorbel/journal"},
        {"relative/state", "/home/u", "/home/u/.local/state/quorbel/journal"},
        {"", "/home/u/", "/home/u/.local/state/quorbel/journal"},
        {std::nullopt, "/home/u", "/home/u/.local/state/quorbel/journal"},
        {std::nullopt, std::nullopt, ""},
        {std::nullopt, "home", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderFor(c.xdg, c.home), c.folder)
            << c.xdg.value_or("(unset)") << " " << c.home.value_or("(unset)");
    }
}

}  // namespace
