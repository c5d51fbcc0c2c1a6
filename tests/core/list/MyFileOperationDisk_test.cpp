#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/list/MyFileOperation.h"
#include "core/text/Cp932.h"
#include "support/TempDir.h"
#include "support/Text.h"

namespace {

using namespace MyFileOperation;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;
using testsupport::TempDir;

using testsupport::Cp;

TEST(TryRenameFile, RenamesInTheTextModel) {
    TempDir dir;
    dir.MakeFile("写真ソ.jpg", "photo");
    dir.MakeDir("表");
    EXPECT_TRUE(TryRenameFile(Cp(dir / "写真ソ.jpg"), Cp(dir / "表/旅行.jpg")));
    EXPECT_EQ(TempDir::ReadFile(dir / "表/旅行.jpg"), "photo");
    EXPECT_FALSE(TempDir::Exists(dir / "写真ソ.jpg"));
}

TEST(TryRenameFile, RefusalsChangeNothing) {
    TempDir dir;
    const std::string a = Cp(dir.MakeFile("a.txt", "A"));
    const std::string b = Cp(dir.MakeFile("b.txt", "B"));
    dir.MakeDir("folder");
    EXPECT_FALSE(TryRenameFile(a, b));
    EXPECT_FALSE(TryRenameFile(a, a));
    EXPECT_FALSE(TryRenameFile(Cp(dir / "missing.txt"), Cp(dir / "c.txt")));
    EXPECT_FALSE(TryRenameFile(Cp(dir / "folder"), Cp(dir / "renamed")));  // files only
    EXPECT_FALSE(TryRenameFile(a, Cp(dir.Path()) + "/\x85\x40.txt"));      // no character has this code
    EXPECT_FALSE(TryRenameFile("", ""));
    EXPECT_THAT(TempDir::Names(dir.Path()), UnorderedElementsAre("a.txt", "b.txt", "folder"));
    EXPECT_EQ(TempDir::ReadFile(dir / "b.txt"), "B");
}

TEST(TryRenameFile, CaseOnly) {
    TempDir dir;
    dir.MakeFile("abc.txt", "data");
    EXPECT_TRUE(TryRenameFile(Cp(dir / "abc.txt"), Cp(dir / "ABC.TXT")));
    EXPECT_THAT(TempDir::Names(dir.Path()), ElementsAre("ABC.TXT"));
    // Full-width letters have case too.
    dir.MakeFile("ａｂ.txt", "wide");
    EXPECT_TRUE(TryRenameFile(Cp(dir / "ａｂ.txt"), Cp(dir / "ＡＢ.txt")));
    EXPECT_EQ(TempDir::ReadFile(dir / "ＡＢ.txt"), "wide");

    // On this file system the other spelling can be a different file: it is never replaced.
    dir.MakeFile("abc.txt", "other");
    EXPECT_FALSE(TryRenameFile(Cp(dir / "ABC.TXT"), Cp(dir / "abc.txt")));
    EXPECT_EQ(TempDir::ReadFile(dir / "ABC.TXT"), "data");
    EXPECT_EQ(TempDir::ReadFile(dir / "abc.txt"), "other");
    EXPECT_FALSE(TryRenameFile(Cp(dir / "xyz.txt"), Cp(dir / "XYZ.txt")));

    // A change of case renames files only, like any other rename: not a folder, nor a link to one.
    dir.MakeDir("Sub");
    std::filesystem::create_symlink("Sub", dir / "Link");
    EXPECT_FALSE(TryRenameFile(Cp(dir / "Sub"), Cp(dir / "SUB")));
    EXPECT_FALSE(TryRenameFile(Cp(dir / "Link"), Cp(dir / "LINK")));
    EXPECT_THAT(TempDir::Names(dir.Path()),
                UnorderedElementsAre("ABC.TXT", "abc.txt", "ＡＢ.txt", "Sub", "Link"));
}

class MoveAcrossFileSystems : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::is_directory("/dev/shm")) GTEST_SKIP() << "no /dev/shm";
        shm.emplace("/dev/shm");
        if (Device(disk.Path()) == Device(shm->Path())) GTEST_SKIP() << "/dev/shm is on the disk here";
    }
    static dev_t Device(const std::string& path) {
        struct stat st {};
        stat(path.c_str(), &st);
        return st.st_dev;
    }
    TempDir disk;
    std::optional<TempDir> shm;
};

TEST_F(MoveAcrossFileSystems, OnlyTheMoveCrosses) {
    const std::string from = shm->MakeFile("元.txt", "content");
    // The rename primitive stays on one file system.
    EXPECT_FALSE(TryRenameFile(Cp(from), Cp(disk / "先.txt")));
    EXPECT_TRUE(TempDir::Exists(from));

    EXPECT_TRUE(TryMoveFile(Cp(from), Cp(disk / "先.txt")));
    EXPECT_FALSE(TempDir::Exists(from));
    EXPECT_EQ(TempDir::ReadFile(disk / "先.txt"), "content");
}

TEST_F(MoveAcrossFileSystems, MoveRefusals) {
    const std::string from = shm->MakeFile("a.txt", "A");
    disk.MakeFile("a.txt", "old");
    EXPECT_FALSE(TryMoveFile(Cp(from), Cp(disk / "a.txt")));
    EXPECT_FALSE(TryMoveFile(Cp(from), Cp(from)));
    EXPECT_FALSE(TryMoveFile(Cp(shm->Path()), Cp(disk / "folder")));
    EXPECT_FALSE(TryMoveFile(Cp(*shm / "missing.txt"), Cp(disk / "b.txt")));
    EXPECT_EQ(TempDir::ReadFile(from), "A");
    EXPECT_EQ(TempDir::ReadFile(disk / "a.txt"), "old");
    EXPECT_THAT(TempDir::Names(disk.Path()), ElementsAre("a.txt"));
}

class FileDateTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) oldTz = tz;
        setenv("TZ", "Asia/Tokyo", 1);
        tzset();
    }
    void TearDown() override {
        if (oldTz) {
            setenv("TZ", oldTz->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    std::string DateOf(std::int64_t mtime) {
        const std::string file = dir.MakeFile("f.txt");
        const timespec times[2] = {{mtime, 0}, {mtime, 0}};
        EXPECT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
        return FileDateText(Cp(file));
    }

    std::optional<std::string> oldTz;
    TempDir dir;
};

TEST_F(FileDateTextTest, LocalTimeWithEvenSeconds) {
    EXPECT_EQ(DateOf(0), "1970/01/01 9:00:00");
    EXPECT_EQ(DateOf(1709590089), "2024/03/05 7:08:08");  // 07:08:09 local
    EXPECT_EQ(DateOf(1709650798), "2024/03/05 23:59:58");
    EXPECT_EQ(DateOf(1709650799), "2024/03/05 23:59:58");
    EXPECT_EQ(DateOf(4102444800), "2100/01/01 9:00:00");
    EXPECT_EQ(DateOf(-631152000), "1950/01/01 9:00:00");
}

TEST_F(FileDateTextTest, ErrorForNoFile) {
    EXPECT_EQ(FileDateText(Cp(dir.Path())), "Error");
    EXPECT_EQ(FileDateText(Cp(dir / "missing.txt")), "Error");
    EXPECT_EQ(FileDateText(""), "Error");
}

}  // namespace
