#include "core/list/FolderLook.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/list/MyFileOperation.h"
#include "core/platform/FileSystem.h"
#include "support/TempDir.h"
#include "support/Text.h"

namespace {

using MyFileOperation::FolderLook;
using testsupport::Cp;
using testsupport::TempDir;
using Kind = FolderLook::Kind;

// Whether the folder's names compare byte for byte, so that a look with many looks announced
// reads the folder whole.
bool Listable(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool exact = fd >= 0 && Platform::ExactNames(fd);
    if (fd >= 0) close(fd);
    return exact;
}

// Every kind of thing a path can name, looked at by a look that reads the folder whole and by one
// that looks at each path: both answer as FileExists and PathExists do.
TEST(FolderLook, AnswersAsALookAtEachPath) {
    TempDir dir;
    dir.MakeFile("f/file.txt", "x");
    dir.MakeDir("f/folder");
    dir.MakeFile("f/folder/inner.txt");
    std::filesystem::create_symlink("file.txt", dir / "f/link-to-file");
    std::filesystem::create_symlink("folder", dir / "f/link-to-folder");
    std::filesystem::create_symlink("nowhere", dir / "f/broken-link");
    ASSERT_EQ(mkfifo((dir / "f/fifo").c_str(), 0600), 0);
    const std::string f = Cp(dir / "f") + "/";
    struct Case {
        std::string path;
        Kind kind;
    };
    const std::vector<Case> cases = {
        {f + "file.txt", Kind::kFile},
        {f + "folder", Kind::kFolder},
        {f + "link-to-file", Kind::kFile},
        {f + "link-to-folder", Kind::kFolder},
        {f + "broken-link", Kind::kNone},
        {f + "fifo", Kind::kOther},
        {f + "missing.txt", Kind::kNone},
        {f + "FILE.TXT", Kind::kNone},  // names compare exactly where the folder is read
        {f + "folder/inner.txt", Kind::kFile},
        {f + "link-to-folder/inner.txt", Kind::kFile},
        {f + "file.txt/x", Kind::kNone},
        {f, Kind::kFolder},
        {f + ".", Kind::kFolder},
        {f + "..", Kind::kFolder},
        {f + "\x85\x40.txt", Kind::kNone},  // no character has this code
        {Cp(dir / "gone") + "/file.txt", Kind::kNone},
    };
    std::vector<std::string> paths;
    paths.reserve(cases.size());
    for (const Case& c : cases)
        paths.push_back(c.path);
    for (const std::size_t looksPerPath : {std::size_t{1}, std::size_t{1000}}) {
        FolderLook look(paths, looksPerPath);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.path + " with " + std::to_string(looksPerPath) + " looks a path");
            Platform::EntryId id;
            EXPECT_EQ(look.At(c.path, &id), c.kind);
            // The identity of the entry itself, as a look at the path tells it, a link's its own.
            if (c.kind == Kind::kFile) {
                const auto looked = MyFileOperation::FileIdentity(c.path);
                EXPECT_TRUE(looked && Platform::IsSame(id, *looked));
            }
            EXPECT_EQ(look.At(c.path) == Kind::kFile, MyFileOperation::FileExists(c.path));
            EXPECT_EQ(look.At(c.path) != Kind::kNone, MyFileOperation::PathExists(c.path));
        }
    }
    // A link is an entry of its own: its identity is not its target's.
    EXPECT_NE(MyFileOperation::FileIdentity(f + "link-to-file"),
              MyFileOperation::FileIdentity(f + "file.txt"));
}

// A folder read whole answers from what it held then, with the renames the caller told it: a file
// that appears afterwards is left to the rename, which refuses to replace it.
TEST(FolderLook, AReadFolderKeepsItsNamesAndTheRenamesTold) {
    TempDir dir;
    dir.MakeFile("f/a.txt");
    dir.MakeFile("f/b.txt");
    std::filesystem::create_directory_symlink("f", dir / "same");
    if (!Listable(dir / "f")) GTEST_SKIP() << "this file system may fold case: every path is looked at";
    const std::string a = Cp(dir / "f/a.txt");
    const std::string moved = Cp(dir / "f/moved.txt");
    const std::string movedThroughLink = Cp(dir / "same/moved.txt");
    FolderLook look(std::vector<std::string>{a, Cp(dir / "f/b.txt")}, 1000);
    ASSERT_EQ(look.At(a), Kind::kFile);
    ASSERT_EQ(look.At(movedThroughLink), Kind::kNone);

    dir.MakeFile("f/late.txt");
    EXPECT_EQ(look.At(Cp(dir / "f/late.txt")), Kind::kNone);

    std::filesystem::rename(dir / "f/a.txt", dir / "f/moved.txt");
    look.Renamed(a, moved);
    EXPECT_EQ(look.At(a), Kind::kNone);
    EXPECT_EQ(look.At(moved), Kind::kFile);
    // The folder reached through a link is the same folder, with the same names.
    EXPECT_EQ(look.At(Cp(dir / "same/late.txt")), Kind::kNone);
    EXPECT_EQ(look.At(movedThroughLink), Kind::kFile);
    EXPECT_EQ(look.At(Cp(dir / "same/a.txt")), Kind::kNone);
}

// Renames told to a folder read whole, as a run tells them: each new name is looked up before it
// is added and its old name removed, and a new name may take the bytes of the old. Every name keeps
// answering with its own entry, whichever renames went before: one shorter, one longer, one as
// long, and names added without a removal in between; and past the room made for them, where the
// table grows.
TEST(FolderEntries, RenamesToldKeepEveryName) {
    TempDir dir;
    for (int i = 0; i < 40; ++i)
        dir.MakeFile("f/file-with-a-long-name-" + std::to_string(i) + ".txt");
    const std::string folder = dir / "f/";
    if (!Listable(folder)) GTEST_SKIP() << "this file system may fold case: every path is looked at";
    Platform::FolderEntries entries(folder, 1000, 10);
    ASSERT_TRUE(entries.Listed());
    struct Rename {
        std::string from;  // empty: a name added with no removal before it
        std::string to;
        std::uint64_t inode;
    };
    const std::vector<Rename> renames = {
        {"file-with-a-long-name-0.txt", "s.txt", 1000},
        {"", "added-without-removal-long-name.txt", 1001},
        {"file-with-a-long-name-1.txt", "a-name-longer-than-the-one-it-had-before.txt", 1002},
        {"file-with-a-long-name-2.txt", "file-with-a-long-name-X.txt", 1003},
        {"s.txt", "t.txt", 1004},
        {"file-with-a-long-name-3.txt", "u.txt", 1005},
        {"", "v.txt", 1006},
    };
    for (const Rename& rename : renames) {
        EXPECT_FALSE(entries.KindOf(rename.to)) << rename.to;
        if (!rename.from.empty()) entries.Removed(rename.from);
        entries.Added(rename.to, Platform::EntryKind::File, rename.inode);
    }
    // Far more renames than the room made: every one leaves a removed slot and adds a name.
    std::string last = "t.txt";
    for (int i = 0; i < 500; ++i) {
        const std::string next = "grown-" + std::to_string(i) + ".txt";
        EXPECT_FALSE(entries.KindOf(next)) << next;
        entries.Removed(last);
        entries.Added(next, Platform::EntryKind::File, 2000 + i);
        last = next;
    }
    EXPECT_FALSE(entries.KindOf("grown-498.txt"));
    EXPECT_EQ(entries.KindOf("grown-499.txt"), Platform::EntryKind::File);
    std::vector<std::string> gone = {"file-with-a-long-name-0.txt",
                                     "file-with-a-long-name-1.txt",
                                     "file-with-a-long-name-2.txt",
                                     "file-with-a-long-name-3.txt",
                                     "s.txt",
                                     "t.txt"};
    for (const std::string& name : gone)
        EXPECT_FALSE(entries.KindOf(name)) << name;
    for (const Rename& rename : renames) {
        if (rename.to == "s.txt" || rename.to == "t.txt") continue;
        Platform::EntryId id;
        bool asRead = true;
        EXPECT_EQ(entries.KindOf(rename.to, &id, &asRead), Platform::EntryKind::File) << rename.to;
        EXPECT_FALSE(asRead) << rename.to;
        if (entries.ListedInodes()) {
            EXPECT_EQ(id.file.inode, rename.inode) << rename.to;
        }
    }
    for (int i = 4; i < 40; ++i) {
        const std::string name = "file-with-a-long-name-" + std::to_string(i) + ".txt";
        Platform::EntryId id;
        bool asRead = false;
        EXPECT_EQ(entries.KindOf(name, &id, &asRead), Platform::EntryKind::File) << name;
        EXPECT_TRUE(asRead) << name;
        EXPECT_EQ(id.file, MyFileOperation::FileIdentity(Cp(dir / ("f/" + name)))->file) << name;
    }
}

}  // namespace
