#include "core/platform/FileOps.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace {

using namespace Platform;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;
using testsupport::TempDir;

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st;
}

// Each way of renaming without replace must refuse the same things.
using RenameFn = std::error_code (*)(const std::string&, const std::string&);
class NoReplaceRename : public ::testing::TestWithParam<RenameFn> {};

TEST_P(NoReplaceRename, RenamesAndRefusesWithoutChangingAnything) {
    const RenameFn rename = GetParam();
    TempDir dir;
    const std::string a = dir.MakeFile("a.txt", "A");
    const std::string b = dir.MakeFile("b.txt", "B");
    const std::string sub = dir.MakeDir("sub");

    EXPECT_EQ(rename(a, b), std::errc::file_exists);
    EXPECT_EQ(rename(a, a), std::errc::file_exists);
    EXPECT_EQ(rename(dir / "missing", dir / "new.txt"), std::errc::no_such_file_or_directory);
    EXPECT_EQ(TempDir::ReadFile(a), "A");
    EXPECT_EQ(TempDir::ReadFile(b), "B");
    EXPECT_THAT(TempDir::Names(dir.Path()), UnorderedElementsAre("a.txt", "b.txt", "sub"));

    EXPECT_FALSE(rename(a, sub + "/moved.txt"));
    EXPECT_EQ(TempDir::ReadFile(sub + "/moved.txt"), "A");
    EXPECT_FALSE(TempDir::Exists(a));
}

// One batch over every call, as a run's pairs go through it.
std::error_code RenameInBatch(const std::string& from, const std::string& to) {
    static FolderRenames batch;
    return batch.RenameNoReplace(from, to);
}

std::string StrategyName(const ::testing::TestParamInfo<RenameFn>& info) {
    static const char* const kNames[] = {"Renameat2", "Link", "Check", "Temporary", "Batch"};
    return kNames[info.index];
}
INSTANTIATE_TEST_SUITE_P(EveryStrategy, NoReplaceRename,
                         ::testing::Values(&RenameNoReplace, &RenameByLink, &RenameAfterCheck,
                                           &RenameViaTemporary, &RenameInBatch),
                         StrategyName);

TEST(FolderRenames, EachPairInItsOwnFoldersAsTheFoldersChange) {
    TempDir dir;
    dir.MakeFile("a/1.txt", "1");
    dir.MakeFile("b/2.txt", "2");
    dir.MakeFile("b/taken.txt", "keep");
    FolderRenames batch;
    EXPECT_FALSE(batch.RenameNoReplace(dir / "a/1.txt", dir / "a/one.txt"));
    EXPECT_FALSE(batch.RenameNoReplace(dir / "b/2.txt", dir / "b/two.txt"));    // both folders change
    EXPECT_FALSE(batch.RenameNoReplace(dir / "a/one.txt", dir / "b/one.txt"));  // only the source's
    EXPECT_EQ(batch.RenameNoReplace(dir / "b/two.txt", dir / "b/taken.txt"), std::errc::file_exists);
    EXPECT_EQ(batch.RenameNoReplace(dir / "gone/x.txt", dir / "b/x.txt"),
              std::errc::no_such_file_or_directory);
    EXPECT_TRUE(batch.RenameNoReplace(dir / "b/two.txt", dir / "b/"));
    EXPECT_TRUE(batch.RenameNoReplace(dir / "b/two.txt", dir / "b/.."));
    EXPECT_THAT(TempDir::Names(dir / "a"), ::testing::IsEmpty());
    EXPECT_THAT(TempDir::Names(dir / "b"), UnorderedElementsAre("one.txt", "two.txt", "taken.txt"));
    EXPECT_EQ(TempDir::ReadFile(dir / "b/one.txt"), "1");
    EXPECT_EQ(TempDir::ReadFile(dir / "b/taken.txt"), "keep");
}

TEST(RenameCaseOnly, OnACaseSensitiveFileSystem) {
    TempDir dir;
    const std::string lower = dir.MakeFile("abc.txt", "data");
    EXPECT_FALSE(RenameCaseOnly(lower, dir / "ABC.TXT"));
    EXPECT_THAT(TempDir::Names(dir.Path()), ElementsAre("ABC.TXT"));

    // A different file that holds the other spelling is never replaced.
    dir.MakeFile("abc.txt", "other");
    EXPECT_EQ(RenameCaseOnly(dir / "abc.txt", dir / "ABC.TXT"), std::errc::file_exists);
    EXPECT_EQ(TempDir::ReadFile(dir / "abc.txt"), "other");
    EXPECT_EQ(TempDir::ReadFile(dir / "ABC.TXT"), "data");
    EXPECT_EQ(RenameCaseOnly(dir / "xyz.txt", dir / "XYZ.TXT"), std::errc::no_such_file_or_directory);
}

TEST(RenameCaseOnly, TwoHardLinksOfOneFileKeepBothNames) {
    // To the identity check, hard links look like one file under two spellings, as on a
    // case-insensitive file system: the rename goes through a temporary name, finds the new
    // spelling taken, and goes back.
    TempDir dir;
    const std::string lower = dir.MakeFile("abc.txt", "data");
    ASSERT_EQ(link(lower.c_str(), (dir / "ABC.TXT").c_str()), 0);
    EXPECT_EQ(RenameCaseOnly(lower, dir / "ABC.TXT"), std::errc::file_exists);
    EXPECT_THAT(TempDir::Names(dir.Path()), UnorderedElementsAre("abc.txt", "ABC.TXT"));
    EXPECT_EQ(TempDir::ReadFile(lower), "data");
    EXPECT_EQ(StatOf(lower).st_ino, StatOf(dir / "ABC.TXT").st_ino);
}

class AcrossFileSystems : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::is_directory("/dev/shm")) GTEST_SKIP() << "no /dev/shm";
        shm.emplace("/dev/shm");
        if (StatOf(disk.Path()).st_dev == StatOf(shm->Path()).st_dev)
            GTEST_SKIP() << "/dev/shm and the temporary folder share a file system";
    }
    TempDir disk;
    std::optional<TempDir> shm;
};

TEST_F(AcrossFileSystems, KeepsContentPermissionsAndTime) {
    const std::string content(3 << 20, 'x');  // more than one copy buffer
    const std::string from = shm->MakeFile("写真.jpg", content);
    ASSERT_EQ(chmod(from.c_str(), 0640), 0);
    const timespec times[2] = {{1000000000, 0}, {1234567890, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, from.c_str(), times, 0), 0);

    const std::string to = disk / "移動.jpg";
    ASSERT_FALSE(MovePath(from, to, Existing::Keep));
    EXPECT_FALSE(TempDir::Exists(from));
    EXPECT_EQ(TempDir::ReadFile(to), content);
    const struct stat st = StatOf(to);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1234567890);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
    EXPECT_THAT(TempDir::Names(disk.Path()), ElementsAre("移動.jpg"));
}

TEST_F(AcrossFileSystems, ALinkMovesAsALink) {
    const std::string from = *shm / "link";
    ASSERT_EQ(symlink("../some/target", from.c_str()), 0);
    ASSERT_FALSE(MovePath(from, disk / "link", Existing::Keep));
    EXPECT_FALSE(TempDir::Exists(from));
    EXPECT_EQ(std::filesystem::read_symlink(disk / "link"), "../some/target");
}

TEST_F(AcrossFileSystems, FailuresLeaveTheSourceAndNoCopy) {
    const std::string from = shm->MakeFile("a.txt", "source");
    disk.MakeFile("taken.txt", "old");
    disk.MakeFile("plain.txt");
    EXPECT_EQ(MovePath(from, disk / "taken.txt", Existing::Keep), std::errc::file_exists);
    EXPECT_EQ(MovePath(from, disk / "missing/a.txt", Existing::Keep), std::errc::no_such_file_or_directory);
    EXPECT_EQ(MovePath(from, disk / "plain.txt/a.txt", Existing::Keep), std::errc::not_a_directory);
    EXPECT_EQ(MovePath(from, disk / std::string(300, 'n'), Existing::Keep), std::errc::filename_too_long);
    EXPECT_EQ(MovePath(from, disk / std::string(300, 'n'), Existing::Replace), std::errc::filename_too_long);
    // A folder is no file to replace; that shows only when the copy is renamed into place.
    disk.MakeFile("folder/inside.txt");
    EXPECT_EQ(MovePath(from, disk / "folder", Existing::Replace), std::errc::is_a_directory);
    EXPECT_EQ(TempDir::ReadFile(from), "source");
    EXPECT_EQ(TempDir::ReadFile(disk / "taken.txt"), "old");
    EXPECT_THAT(TempDir::Names(disk.Path()), UnorderedElementsAre("taken.txt", "plain.txt", "folder"));
    EXPECT_THAT(TempDir::Names(disk / "folder"), ElementsAre("inside.txt"));
}

// Lowers the file-size limit so that writing the copy fails half-way.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit lower{bytes, old_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(AcrossFileSystems, ACopyThatFailsHalfWayIsRemoved) {
    const std::string content(1 << 20, 'y');
    const std::string from = shm->MakeFile("big.bin", content);
    disk.MakeFile("dest.bin", "keep me");
    {
        const FileSizeLimit limit(64 << 10);
        EXPECT_EQ(MovePath(from, disk / "new.bin", Existing::Keep), std::errc::file_too_large);
        EXPECT_EQ(MovePath(from, disk / "dest.bin", Existing::Replace), std::errc::file_too_large);
    }
    EXPECT_EQ(TempDir::ReadFile(from), content);
    EXPECT_EQ(TempDir::ReadFile(disk / "dest.bin"), "keep me");
    EXPECT_THAT(TempDir::Names(disk.Path()), ElementsAre("dest.bin"));
}

TEST_F(AcrossFileSystems, ReplaceOnRequest) {
    const std::string from = shm->MakeFile("a.txt", "new");
    const std::string to = disk.MakeFile("a.txt", "old");
    ASSERT_FALSE(MovePath(from, to, Existing::Replace));
    EXPECT_EQ(TempDir::ReadFile(to), "new");
    EXPECT_FALSE(TempDir::Exists(from));
    EXPECT_THAT(TempDir::Names(disk.Path()), ElementsAre("a.txt"));
}

TEST(MovePath, SameFileSystem) {
    TempDir dir;
    const std::string a = dir.MakeFile("a.txt", "A");
    const std::string b = dir.MakeFile("b.txt", "B");
    EXPECT_EQ(MovePath(a, b, Existing::Keep), std::errc::file_exists);
    EXPECT_EQ(MovePath(dir / "missing", dir / "c.txt", Existing::Replace),
              std::errc::no_such_file_or_directory);
    EXPECT_EQ(TempDir::ReadFile(b), "B");
    ASSERT_FALSE(MovePath(a, b, Existing::Replace));
    EXPECT_EQ(TempDir::ReadFile(b), "A");
    EXPECT_THAT(TempDir::Names(dir.Path()), ElementsAre("b.txt"));
}

TEST(MovePath, NeverOntoItself) {
    TempDir dir;
    const std::string file = dir.MakeFile("file.txt", "data");
    ASSERT_EQ(link(file.c_str(), (dir / "hard.txt").c_str()), 0);
    ASSERT_EQ(symlink(file.c_str(), (dir / "soft.txt").c_str()), 0);
    // rename() would do nothing for the first two and leave a link to itself for the third.
    EXPECT_EQ(MovePath(file, file, Existing::Replace), std::errc::invalid_argument);
    EXPECT_EQ(MovePath(file, dir / "hard.txt", Existing::Replace), std::errc::invalid_argument);
    EXPECT_EQ(MovePath(dir / "soft.txt", file, Existing::Replace), std::errc::invalid_argument);
    EXPECT_EQ(TempDir::ReadFile(file), "data");
    EXPECT_THAT(TempDir::Names(dir.Path()), UnorderedElementsAre("file.txt", "hard.txt", "soft.txt"));
}

TEST(RemoveFile, FilesOnly) {
    TempDir dir;
    const std::string file = dir.MakeFile("f.txt");
    const std::string sub = dir.MakeDir("sub");
    EXPECT_FALSE(RemoveFile(file));
    EXPECT_FALSE(TempDir::Exists(file));
    EXPECT_EQ(RemoveFile(file), std::errc::no_such_file_or_directory);
    EXPECT_TRUE(RemoveFile(sub));
    EXPECT_TRUE(TempDir::Exists(sub));
}

}  // namespace
