#include "core/platform/AtomicFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace {

using testsupport::TempDir;
namespace fs = std::filesystem;

int CountEntries(const std::string& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++count;
    return count;
}

mode_t Mode(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

TEST(AtomicFile, ReplacesTheWholeFileAndKeepsItsPermissions) {
    TempDir dir;
    const std::string path = dir.MakeFile("a.ini", std::string(10000, 'x'));
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    EXPECT_FALSE(AtomicFile::WriteWholeFile(path, "short\n"));
    EXPECT_EQ(TempDir::ReadFile(path), "short\n");
    EXPECT_EQ(Mode(path), 0640u);
    EXPECT_EQ(CountEntries(dir.Path()), 1);

    EXPECT_FALSE(AtomicFile::WriteWholeFile(dir / "new.ini", ""));
    EXPECT_TRUE(TempDir::Exists(dir / "new.ini"));
    EXPECT_EQ(TempDir::ReadFile(dir / "new.ini"), "");
}

TEST(AtomicFile, WritesThroughASymbolicLink) {
    TempDir dir;
    const std::string target = dir.MakeFile("dotfiles/quorbel.ini", "old");
    fs::create_symlink("dotfiles/quorbel.ini", dir / "quorbel.ini");
    EXPECT_FALSE(AtomicFile::WriteWholeFile(dir / "quorbel.ini", "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "quorbel.ini"));
    EXPECT_EQ(TempDir::ReadFile(target), "new");
    EXPECT_EQ(CountEntries(dir / "dotfiles"), 1);
}

TEST(AtomicFile, MissingFoldersAreMadeOnlyOnRequest) {
    TempDir dir;
    const std::string path = dir / "config/quorbel/quorbel.ini";
    EXPECT_EQ(AtomicFile::WriteWholeFile(path, "x"), std::errc::no_such_file_or_directory);
    EXPECT_FALSE(TempDir::Exists(dir / "config"));

    EXPECT_FALSE(AtomicFile::WriteWholeFile(path, "x", AtomicFile::MissingFolders::kCreate));
    EXPECT_EQ(TempDir::ReadFile(path), "x");
    EXPECT_EQ(Mode(dir / "config"), 0700u);
    EXPECT_EQ(Mode(dir / "config/quorbel"), 0700u);

    // A file in the way of a folder is not replaced.
    dir.MakeFile("blocker", "keep");
    EXPECT_EQ(AtomicFile::WriteWholeFile(dir / "blocker/sub/a.ini", "x", AtomicFile::MissingFolders::kCreate),
              std::errc::not_a_directory);
    EXPECT_EQ(TempDir::ReadFile(dir / "blocker"), "keep");
}

TEST(AtomicFile, FailedRenameLeavesNoTemporaryFile) {
    TempDir dir;
    dir.MakeFile("target/inside", "kept");
    EXPECT_TRUE(AtomicFile::WriteWholeFile(dir / "target", "new"));
    EXPECT_EQ(TempDir::ReadFile(dir / "target/inside"), "kept");
    EXPECT_EQ(CountEntries(dir.Path()), 1);
    EXPECT_TRUE(AtomicFile::WriteWholeFile("", "x"));
}

}  // namespace
