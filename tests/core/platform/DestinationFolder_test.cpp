#include "core/platform/DestinationFolder.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/Mounts.h"
#include "support/StopBefore.h"
#include "support/TempDir.h"

namespace {

using namespace Platform;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;
using testsupport::Mount;
using testsupport::TempDir;

dev_t DeviceOf(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_dev : 0;
}

// Sets or clears the immutable flag of a folder: nothing can be renamed out of it, not even by root.
bool SetImmutable(const std::string& folder, bool immutable) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    close(fd);
    return done;
}

// A source folder and a destination folder, on one file system or on two.
class TwoFolders {
public:
    // across: the destination is a tmpfs of its own. sourceMount: the source folder is a bind
    // mount of its own (to be made read-only); else both lie in one ext4 image when not across.
    static std::unique_ptr<TwoFolders> Make(bool across, bool sourceMount) {
        auto folders = std::unique_ptr<TwoFolders>(new TwoFolders);
        TwoFolders& f = *folders;
        if (across) {
            f.source = f.dir.MakeDir("src");
            f.destination = f.dir.MakeDir("dest");
            f.destinationMount = Mount::Make(Mount::Kind::kTmpfs, f.destination, std::size_t{64} << 20);
            if (!f.destinationMount) return nullptr;
        } else {
            f.fileSystem = Mount::Make(Mount::Kind::kExt4, f.dir.MakeDir("fs"), std::size_t{8} << 20);
            if (!f.fileSystem) return nullptr;
            f.source = f.dir.MakeDir("fs/src");
            f.destination = f.dir.MakeDir("fs/dest");
        }
        if (sourceMount) {
            f.sourceMount = Mount::Make(Mount::Kind::kBind, f.source);
            if (!f.sourceMount) return nullptr;
        }
        return folders;
    }

    TempDir dir;
    std::string source;
    std::string destination;
    // Unmounted before the folders go, in the opposite order of their making.
    std::unique_ptr<Mount> fileSystem;
    std::unique_ptr<Mount> destinationMount;
    std::unique_ptr<Mount> sourceMount;

private:
    TwoFolders() = default;
};

// Many moves at once, across several groups of synced copies: each is reported on its own, the
// failures leave their sources and no copy, and a move within one file system goes as a rename.
TEST(DestinationFolderTest, ManyMovesReportEachOne) {
    TempDir disk;
    if (!std::filesystem::is_directory("/dev/shm")) GTEST_SKIP() << "no /dev/shm";
    TempDir shm("/dev/shm");
    if (DeviceOf(shm.Path()) == DeviceOf(disk.Path())) GTEST_SKIP() << "one file system";
    constexpr int kMany = 100;
    std::vector<MoveRequest> moves;
    for (int i = 0; i < kMany; ++i) {
        const std::string name = "f" + std::to_string(i) + ".jpg";
        moves.push_back({shm.MakeFile(name, name, 1234567890), name, Existing::Keep});
    }
    disk.MakeFile("f7.jpg", "taken");       // refused: no replace asked
    moves[9].existing = Existing::Replace;  // replaced on request
    disk.MakeFile("f9.jpg", "old");
    disk.MakeDir("f60.jpg");  // a folder is never replaced
    moves[60].existing = Existing::Replace;
    moves.push_back({shm / "missing.jpg", "missing.jpg", Existing::Keep});
    moves.push_back({disk.MakeFile("local.jpg", "local"), "sub.jpg", Existing::Keep});
    moves.push_back({disk.MakeFile("out.jpg", "out"), "../out.jpg", Existing::Keep});  // never out of it

    DestinationFolder folder(disk.Path());
    const std::vector<MoveOutcome> outcomes = folder.Move(moves);
    ASSERT_EQ(outcomes.size(), moves.size());
    for (std::size_t i = 0; i < moves.size(); ++i) {
        SCOPED_TRACE(moves[i].name);
        const bool fails = i == 7 || i == 60 || i == kMany || i == kMany + 2;
        EXPECT_EQ(static_cast<bool>(outcomes[i].error), fails);
        if (i >= static_cast<std::size_t>(kMany)) continue;
        EXPECT_EQ(TempDir::Exists(moves[i].from), fails);
        EXPECT_EQ(outcomes[i].copy.empty(), fails);  // each copy under a name of its own
        if (!fails) {
            EXPECT_TRUE(IsCopyName(outcomes[i].copy)) << outcomes[i].copy;
            EXPECT_EQ(TempDir::ReadFile(disk / moves[i].name), moves[i].name);
            struct stat st {};
            EXPECT_EQ(stat((disk / moves[i].name).c_str(), &st), 0);
            EXPECT_EQ(st.st_mtim.tv_sec, 1234567890);
        }
    }
    EXPECT_EQ(outcomes[7].error, std::errc::file_exists);
    EXPECT_EQ(TempDir::ReadFile(disk / "f7.jpg"), "taken");
    EXPECT_TRUE(std::filesystem::is_directory(disk / "f60.jpg"));
    EXPECT_EQ(outcomes[kMany].error, std::errc::no_such_file_or_directory);
    EXPECT_EQ(TempDir::ReadFile(disk / "sub.jpg"), "local");
    EXPECT_EQ(outcomes[kMany + 2].error, std::errc::invalid_argument);
    // The moved files, the two that were there, and out.jpg: no copy or set-aside file left over.
    EXPECT_EQ(TempDir::Names(disk.Path()).size(), static_cast<std::size_t>(kMany) + 2);
}

// The destination's own a.txt, which the user agreed to replace, is replaced only by a move that
// completes: when the source cannot be taken away, it keeps its name and content.
TEST(DestinationFolderTest, AReplacedFileStaysUntilTheMoveHasCompleted) {
    struct Case {
        const char* name;
        bool across;
        bool sourceFails;
    };
    const Case cases[] = {
        {"within one file system", false, false},
        {"within one file system, the source folder immutable", false, true},
        {"across file systems", true, false},
        {"across file systems, the source remounted read-only", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto folders = TwoFolders::Make(c.across, c.across);
        if (!folders) GTEST_SKIP() << Mount::Why();
        const std::string from = folders->source + "/a.txt";
        TempDir::WriteFile(from, "new");
        TempDir::WriteFile(folders->destination + "/a.txt", "theirs");
        if (c.sourceFails) {
            ASSERT_TRUE(c.across ? folders->sourceMount->SetReadOnly(true)
                                 : SetImmutable(folders->source, true));
        }

        DestinationFolder folder(folders->destination);
        const std::vector<MoveOutcome> outcomes = folder.Move({{from, "a.txt", Existing::Replace}});

        if (c.sourceFails && !c.across) SetImmutable(folders->source, false);
        EXPECT_EQ(static_cast<bool>(outcomes[0].error), c.sourceFails);
        EXPECT_TRUE(outcomes[0].aside.starts_with(".quorbel-aside-")) << outcomes[0].aside;
        EXPECT_EQ(TempDir::ReadFile(folders->destination + "/a.txt"), c.sourceFails ? "theirs" : "new");
        EXPECT_EQ(TempDir::Exists(from), c.sourceFails);
        EXPECT_THAT(TempDir::Names(folders->destination), ElementsAre("a.txt"));
    }
}

// Stopped between two files: the files before the stop are moved, the others are not begun and
// stay where they are; no copy is left, also of a group of copies under way.
TEST(DestinationFolderTest, AStopEndsTheMovesBetweenTwoFiles) {
    for (const bool across : {false, true}) {
        SCOPED_TRACE(across ? "across" : "within");
        const auto folders = TwoFolders::Make(across, false);
        if (!folders) GTEST_SKIP() << Mount::Why();
        std::vector<MoveRequest> moves;
        for (int i = 0; i < 5; ++i) {
            const std::string name = std::to_string(i) + ".txt";
            moves.push_back({folders->source + "/" + name, name, Existing::Keep});
            TempDir::WriteFile(moves.back().from, name);
        }
        testsupport::StopBefore stop(3);
        DestinationFolder folder(folders->destination);
        const std::vector<MoveOutcome> outcomes = folder.Move(moves, &stop);
        for (std::size_t i = 0; i < moves.size(); ++i) {
            if (i < 3) {
                EXPECT_FALSE(outcomes[i].error) << i;
            } else {
                EXPECT_EQ(outcomes[i].error, std::errc::operation_canceled) << i;
            }
        }
        EXPECT_THAT(TempDir::Names(folders->destination), ElementsAre("0.txt", "1.txt", "2.txt"));
        EXPECT_THAT(TempDir::Names(folders->source), ElementsAre("3.txt", "4.txt"));
    }
}

// Runs a change of the test's own before the given step, as the user or another program would.
class ChangeAt final : public RunControl {
public:
    ChangeAt(std::size_t step, std::function<void()> change) : step_(step), change_(std::move(change)) {}
    bool Continue(std::size_t done) override {
        if (done == step_) change_();
        return true;
    }

private:
    std::size_t step_;
    std::function<void()> change_;
};

// A file saved at a source's path after the source was copied is not the file the move took: it
// stays, and the copy goes.
TEST(DestinationFolderTest, AFileSavedAtTheSourceSinceItsCopyStays) {
    const auto folders = TwoFolders::Make(true, false);
    if (!folders) GTEST_SKIP() << Mount::Why();
    const std::string first = folders->source + "/0.txt";
    TempDir::WriteFile(first, "copied");
    TempDir::WriteFile(folders->source + "/1.txt", "1");
    ChangeAt save(1, [&] {
        TempDir::WriteFile(folders->source + "/saved.tmp", "saved since");
        std::filesystem::rename(folders->source + "/saved.tmp", first);
    });
    DestinationFolder folder(folders->destination);
    const std::vector<MoveOutcome> outcomes = folder.Move(
        {{first, "0.txt", Existing::Keep}, {folders->source + "/1.txt", "1.txt", Existing::Keep}}, &save);
    EXPECT_EQ(outcomes[0].error, std::error_code(ESTALE, std::generic_category()));
    EXPECT_FALSE(outcomes[1].error);
    EXPECT_EQ(TempDir::ReadFile(first), "saved since");
    EXPECT_THAT(TempDir::Names(folders->destination), ElementsAre("1.txt"));
}

// Every temporary name is recorded before it is used: a file to be set aside while it still stands
// at its name under its own, a copy's name before anything is made there, a copy's placing while it
// still waits under its copy name. When a name cannot be recorded, the move that needs it stays.
TEST(DestinationFolderTest, TemporaryNamesAreRecordedBeforeTheyAreUsed) {
    const auto folders = TwoFolders::Make(true, false);
    if (!folders) GTEST_SKIP() << Mount::Why();
    std::vector<MoveRequest> moves;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        moves.push_back({folders->source + "/" + name, name, Existing::Replace});
        TempDir::WriteFile(moves.back().from, name);
    }
    TempDir::WriteFile(folders->destination + "/b.txt", "theirs");
    const auto idAt = [&](const std::string& name) {
        const auto look = LookAt(folders->destination + "/" + name);
        return look ? look->id : EntryId{};
    };
    const EntryId theirs = idAt("b.txt");

    std::vector<TemporaryName> recorded;
    std::vector<std::size_t> calls;  // names per call
    const NameRecorder record = [&](const std::vector<TemporaryName>& names) {
        for (const TemporaryName& name : names) {
            SCOPED_TRACE(name.name);
            switch (name.kind) {
                case TemporaryName::Kind::kAside:
                    EXPECT_EQ(idAt(moves[name.move].name), name.id);
                    EXPECT_FALSE(TempDir::Exists(folders->destination + "/" + name.name));
                    break;
                case TemporaryName::Kind::kCopy:
                    EXPECT_FALSE(TempDir::Exists(folders->destination + "/" + name.name));
                    break;
                case TemporaryName::Kind::kCopyPlaced:
                    EXPECT_EQ(name.name, moves[name.move].name);
                    EXPECT_NE(idAt(name.name), name.id);
                    break;
            }
            recorded.push_back(name);
        }
        calls.push_back(names.size());
        return std::error_code();
    };
    DestinationFolder folder(folders->destination);
    const std::vector<MoveOutcome> outcomes = folder.Move(moves, nullptr, record);
    for (const MoveOutcome& outcome : outcomes)
        EXPECT_FALSE(outcome.error);
    EXPECT_EQ(TempDir::ReadFile(folders->destination + "/b.txt"), "b.txt");
    // The aside name first, then the three copies' names in one record, then their placing in one.
    ASSERT_EQ(calls, (std::vector<std::size_t>{1, 3, 3}));
    EXPECT_EQ(recorded[0].kind, TemporaryName::Kind::kAside);
    EXPECT_EQ(recorded[0].name, outcomes[1].aside);
    EXPECT_EQ(recorded[0].id, theirs);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(recorded[1 + i].name, outcomes[i].copy);
        EXPECT_EQ(recorded[4 + i].id, idAt(moves[i].name));
    }

    // A record that cannot be written: nothing moves, and nothing is left in the folder.
    for (MoveRequest& move : moves) {
        TempDir::WriteFile(move.from, move.name);
        move.name += ".again";
    }
    const NameRecorder refuse = [](const std::vector<TemporaryName>&) {
        return std::make_error_code(std::errc::no_space_on_device);
    };
    for (const MoveOutcome& outcome : DestinationFolder(folders->destination).Move(moves, nullptr, refuse))
        EXPECT_EQ(outcome.error, std::errc::no_space_on_device);
    EXPECT_THAT(TempDir::Names(folders->source), ElementsAre("a.txt", "b.txt", "c.txt"));
    EXPECT_THAT(TempDir::Names(folders->destination), ElementsAre("a.txt", "b.txt", "c.txt"));
}

// A move that names the file it expects moves nothing else: not another file saved under its name,
// nor the same numbers on another file system.
TEST(DestinationFolderTest, OnlyTheExpectedFileIsMoved) {
    TempDir dir;
    const std::string from = dir.MakeFile("src/a.txt", "a");
    const auto look = LookAt(from);
    ASSERT_TRUE(look);
    EntryId elsewhere = look->id;
    ++elsewhere.volume;
    DestinationFolder folder(dir.MakeDir("dest"));
    EXPECT_EQ(folder.Move({{from, "a.txt", Existing::Keep, elsewhere}}).front().error,
              std::error_code(ESTALE, std::generic_category()));
    TempDir::WriteFile(dir / "saved.tmp", "saved since");
    std::filesystem::rename(dir / "saved.tmp", from);
    EXPECT_EQ(folder.Move({{from, "a.txt", Existing::Keep, look->id}}).front().error,
              std::error_code(ESTALE, std::generic_category()));
    EXPECT_EQ(TempDir::ReadFile(from), "saved since");
    EXPECT_THAT(TempDir::Names(dir / "dest"), ::testing::IsEmpty());
}

// Only this program's copies left before the time given go: never a temporary name that holds a
// user's only file (a rename on its way, a set-aside destination file), nor a folder or a name
// merely like a copy's.
TEST(DestinationFolderTest, LeftoverCopiesGoAndNothingElse) {
    TempDir dir;
    for (const char* name : {".quorbel-copy-0123456789ab.tmp", ".quorbel-0123456789ab.tmp",
                             ".quorbel-aside-0123456789ab.tmp", ".quorbel-copy-0123456789a.tmp",
                             ".quorbel-copy-0123456789AB.tmp", ".quorbel-copy-0123456789ab.tmpx", "a.txt"})
        dir.MakeFile(name, "data");
    ASSERT_EQ(symlink("a.txt", (dir / ".quorbel-copy-link56789abc.tmp").c_str()), 0);
    dir.MakeDir(".quorbel-copy-folder789abc.tmp");

    DestinationFolder folder(dir.Path());
    // Made after this process started: copies of a move that may be under way.
    EXPECT_EQ(folder.RemoveLeftoverCopies(ProcessStart()), 0U);
    EXPECT_EQ(TempDir::Names(dir.Path()).size(), 9U);

    EXPECT_EQ(folder.RemoveLeftoverCopies(std::chrono::system_clock::now() + std::chrono::seconds(1)), 2U);
    EXPECT_THAT(
        TempDir::Names(dir.Path()),
        UnorderedElementsAre(".quorbel-0123456789ab.tmp", ".quorbel-aside-0123456789ab.tmp",
                             ".quorbel-copy-0123456789a.tmp", ".quorbel-copy-0123456789AB.tmp",
                             ".quorbel-copy-0123456789ab.tmpx", ".quorbel-copy-folder789abc.tmp", "a.txt"));
}

TEST(DestinationFolderTest, AFolderThatCannotBeOpenedMovesNothing) {
    TempDir dir;
    const std::string from = dir.MakeFile("a.txt", "a");
    DestinationFolder missing(dir / "missing");
    EXPECT_FALSE(missing.Id());
    EXPECT_EQ(missing.Move({{from, "a.txt", Existing::Keep}}).front().error,
              std::errc::no_such_file_or_directory);
    DestinationFolder file(from);
    EXPECT_EQ(file.Move({{from, "b.txt", Existing::Keep}}).front().error, std::errc::not_a_directory);
    EXPECT_THAT(TempDir::Names(dir.Path()), ElementsAre("a.txt"));
}

}  // namespace
