#include "core/list/MyFileOperation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/text/Cp932.h"
#include "support/TempDir.h"
#include "support/Text.h"

namespace {

using namespace MyFileOperation;
using ::testing::UnorderedElementsAre;
using testsupport::TempDir;

using testsupport::Cp;

// Names relative to root, in list order.
std::vector<std::string> Relative(const std::vector<std::string>& list, const std::string& root) {
    std::vector<std::string> out;
    out.reserve(list.size());
    for (const std::string& p : list)
        out.push_back(p.substr(root.size() + 1));
    return out;
}

class EnumFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.MakeFile(".hidden");
        dir.MakeFile(".profile");
        const std::string ro = dir.MakeFile("readonly.txt");
        chmod(ro.c_str(), 0444);
        dir.MakeFile("plain.txt");
        dir.MakeFile(".cache/inside.txt");
        dir.MakeFile("sub/a.txt");
        dir.MakeFile("sub/deeper/b.txt");
        mkfifo((dir / "fifo").c_str(), 0600);  // neither file nor folder: skipped like a system file
        symlink("/nonexistent/target", (dir / "broken").c_str());
    }
    std::vector<std::string> List(int kind) {
        std::vector<std::string> list;
        EnumFolder(dir.Path(), list, kind);
        return Relative(list, dir.Path());
    }
    TempDir dir;
};

TEST_F(EnumFolderTest, KindsListTheirEntries) {
    EXPECT_THAT(List(kFiles), UnorderedElementsAre(".hidden", ".profile", "readonly.txt", "plain.txt"));
    EXPECT_THAT(List(kFilesAndFolders),
                UnorderedElementsAre(".hidden", ".profile", "readonly.txt", "plain.txt", "sub"));
    EXPECT_THAT(List(kFolders), UnorderedElementsAre("sub"));
    EXPECT_THAT(List(kFilesDeep), UnorderedElementsAre(".hidden", ".profile", "readonly.txt", "plain.txt",
                                                       "sub/a.txt", "sub/deeper/b.txt"));
    EXPECT_THAT(List(kFoldersDeep), UnorderedElementsAre("sub", "sub/deeper"));
    EXPECT_THAT(List(kFilesAndFoldersDeep),
                UnorderedElementsAre(".hidden", ".profile", "readonly.txt", "plain.txt", "sub", "sub/a.txt",
                                     "sub/deeper", "sub/deeper/b.txt"));
}

TEST_F(EnumFolderTest, SubfolderContentsFollowTheirFolderEntry) {
    const std::vector<std::string> all = List(kFilesAndFoldersDeep);
    const auto sub = std::find(all.begin(), all.end(), "sub");
    ASSERT_NE(sub, all.end());
    // Everything below sub comes right after it, before the next entry of the top folder.
    const auto below = [](const std::string& p) { return p.rfind("sub/", 0) == 0; };
    EXPECT_EQ(std::count_if(all.begin(), all.end(), below), 3);
    EXPECT_TRUE(std::all_of(sub + 1, sub + 4, below));
    const auto deeper = std::find(all.begin(), all.end(), "sub/deeper");
    ASSERT_NE(deeper, all.end());
    EXPECT_EQ(*(deeper + 1), "sub/deeper/b.txt");
}

TEST_F(EnumFolderTest, MissingFolderAndTrailingDelimiter) {
    std::vector<std::string> list = {"kept"};
    EnumFolder(dir / "missing", list, kFilesDeep);
    EXPECT_EQ(list, std::vector<std::string>{"kept"});
    list.clear();
    EnumFolder(dir.Path() + "/", list, kFiles);
    EXPECT_EQ(list.size(), 4u);
    EXPECT_EQ(list.front().find("//"), std::string::npos);
}

// A folder's entries are taken as they are read, but no folder stays open while another is walked:
// a tree deeper than the descriptors a process may hold is listed whole.
TEST(EnumFolder, ADeepTreeKeepsNoFolderOpenWhileWalkingAnother) {
    TempDir dir;
    constexpr int kDepth = 48;
    std::string folder;
    for (int level = 0; level < kDepth; ++level) {
        folder += "d/";
        dir.MakeFile(folder + "a.txt");
        dir.MakeFile(folder + "z.txt");
    }
    const auto open = static_cast<rlim_t>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                                        std::filesystem::directory_iterator{}));
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    rlimit tight = limit;
    tight.rlim_cur = open + kDepth / 2;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    std::vector<std::string> list;
    EnumFolder(dir.Path(), list, kFilesDeep);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
    EXPECT_EQ(list.size(), 2u * kDepth);
}

TEST(EnumFolder, LinksAreFollowedButNoFolderIsEnteredTwice) {
    TempDir dir;
    dir.MakeFile("real/f.txt");
    symlink((dir / "real/f.txt").c_str(), (dir / "real/linked.txt").c_str());
    symlink((dir / "real").c_str(), (dir / "real/loop").c_str());  // a folder link back to itself
    symlink((dir / "real").c_str(), (dir / "alias").c_str());
    std::vector<std::string> list;
    EnumFolder(dir.Path(), list, kFilesDeep);
    // real/ is entered once, whichever of its names is met first; the loop ends.
    const std::vector<std::string> rel = Relative(list, dir.Path());
    EXPECT_EQ(rel.size(), 2u) << ::testing::PrintToString(rel);
    EXPECT_EQ(
        std::count_if(rel.begin(), rel.end(), [](const std::string& p) { return p.ends_with("/f.txt"); }), 1);
    EXPECT_EQ(std::count_if(rel.begin(), rel.end(),
                            [](const std::string& p) { return p.ends_with("/linked.txt"); }),
              1);
}

// The chosen folder's entries listed one by one, each folder expanded on its own, as a load of
// a chosen folder does it: a link back to the chosen folder must not list its files again.
TEST(EnumFolder, NoSubfolderLeadsBackIntoTheChosenFolder) {
    struct Case {
        const char* link;    // relative to the chosen folder t
        const char* target;  // the link's text
    };
    for (const Case& c : {Case{"sub/loop", ".."}, Case{"self", "."}}) {
        TempDir dir;
        dir.MakeFile("t/t.txt");
        dir.MakeFile("t/sub/s.txt");
        symlink("t.txt", (dir / "t/lnk.txt").c_str());
        symlink(c.target, (dir / (std::string("t/") + c.link)).c_str());
        std::vector<std::string> entries;
        EnumFolder(dir / "t", entries, kFilesAndFolders);
        std::vector<std::string> list;
        for (const std::string& entry : entries) {
            if (FolderExists(entry)) {
                EnteredFolders entered;
                MarkEntered(entered, dir / "t");
                EnumFolder(entry, list, kFilesDeep, entered);
            } else {
                list.push_back(entry);
            }
        }
        EXPECT_THAT(Relative(list, dir / "t"), UnorderedElementsAre("t.txt", "lnk.txt", "sub/s.txt"))
            << c.link << " -> " << c.target;
    }
}

TEST(EnumFolder, JapaneseNamesComeBackInTheTextModel) {
    TempDir dir;
    dir.MakeFile("写真/ソ表.jpg");
    dir.MakeFile("写真/emoji😀.png");
    std::vector<std::string> list;
    EnumFolder(Cp(dir.Path()), list, kFilesDeep);
    Cp932::SortNoCase(list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(Cp932::ToUtf8(list[0]).value(), dir / "写真/emoji😀.png");
    EXPECT_EQ(list[1], Cp(dir / "写真/ソ表.jpg"));
}

TEST(PathHelpers, Delimiters) {
    EXPECT_EQ(AddBackslash("/"), "/");
    EXPECT_EQ(AddBackslash("/a/"), "/a/");
    EXPECT_EQ(AddBackslash("/a"), "/a/");
    EXPECT_EQ(AddBackslash(""), "");
    EXPECT_EQ(RemoveBackslash("/"), "/");
    EXPECT_EQ(RemoveBackslash("/photos/"), "/photos");
    EXPECT_EQ(RemoveBackslash("/photos"), "/photos");
    EXPECT_EQ(RemoveBackslash(""), "");
    // A name ending in a double-byte character whose second byte is 0x5C is no delimiter.
    const std::string so = "/a/\x83\x5C";  // ソ
    EXPECT_EQ(RemoveBackslash(so), so);
    EXPECT_EQ(AddBackslash(so), so + "/");
    const std::string hyo = "/\x95\x5C";  // 表
    EXPECT_EQ(AddBackslash(hyo), hyo + "/");
    // Blanks can be part of a name here, so they are kept.
    EXPECT_EQ(AddBackslash("/a/data "), "/a/data /");
}

TEST(PathHelpers, ParentsAndSplits) {
    TempDir dir;
    dir.MakeFile("a/b/f.txt");
    EXPECT_EQ(ParentFolder(dir / "a/b"), dir / "a/");
    EXPECT_EQ(ParentFolder(dir / "a"), dir.Path() + "/");
    EXPECT_EQ(ParentFolder("/a"), "/");
    EXPECT_EQ(ParentFolder("/"), "/");
    EXPECT_EQ(ParentFolder(dir / "a/b/f.txt"), dir / "a/b/");  // a file: its own folder
    EXPECT_EQ(ParentFolder(dir / "a/b/"), dir / "a/b/");       // a trailing "/" yields itself

    SplitResult s = SplitPath(dir / "a/b/f.txt");
    EXPECT_EQ(s.folder, dir / "a/b/");
    EXPECT_EQ(s.file, "f.txt");
    s = SplitPath(dir / "a/b");
    EXPECT_EQ(s.folder, dir / "a/b");
    EXPECT_EQ(s.file, "");
    // Missing paths: a last component with an extension counts as a file.
    s = SplitPath("/no/such/name.txt");
    EXPECT_EQ(s.folder, "/no/such/");
    EXPECT_EQ(s.file, "name.txt");
    s = SplitPath("/no/such/folder");
    EXPECT_EQ(s.folder, "/no/such/folder");
    EXPECT_EQ(s.file, "");
}

TEST(PathHelpers, NamesAndExtensions) {
    EXPECT_EQ(NameWithoutExt("photo.tar.gz"), "photo.tar");
    EXPECT_EQ(NameWithoutExt("README"), "README");
    EXPECT_EQ(NameWithoutExt(".profile"), "");
    EXPECT_EQ(NameWithoutExt("/a.b/README"), "/a.b/README");  // a dot in a folder is no extension
    EXPECT_EQ(NameWithoutExt(""), "");
    EXPECT_EQ(ExtensionOf("/x/a.b.c"), ".c");
    EXPECT_EQ(ExtensionOf("/x.y/a"), "");
    EXPECT_EQ(FileNameOf("/x/a.txt"), "a.txt");
    EXPECT_EQ(FolderOf("/x/a.txt"), "/x/");
    EXPECT_EQ(FolderOf("/a.txt"), "/");
}

TEST(PathHelpers, Existence) {
    TempDir dir;
    const std::string file = dir.MakeFile("f.txt");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_TRUE(FolderExists(dir.Path()));
    EXPECT_FALSE(FileExists(dir.Path()));
    EXPECT_FALSE(FileExists(dir / "missing"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists("a\x83"));  // not a convertible text
}

TEST(PathHelpers, FilesExistAsFileExistsForEach) {
    TempDir dir;
    dir.MakeFile("a/f.txt");
    dir.MakeFile("b/g.txt");
    dir.MakeFile("a/写真.jpg");
    dir.MakeDir("a/sub");
    ASSERT_EQ(symlink((dir / "a/f.txt").c_str(), (dir / "a/link").c_str()), 0);
    ASSERT_EQ(symlink((dir / "a/none").c_str(), (dir / "a/broken").c_str()), 0);
    ASSERT_EQ(symlink((dir / "a/sub").c_str(), (dir / "a/folderlink").c_str()), 0);
    // Folders alternate, so each is opened more than once.
    const std::vector<std::pair<std::string, bool>> cases = {
        {Cp(dir / "a/f.txt"), true},
        {Cp(dir / "b/g.txt"), true},
        {Cp(dir / "a/写真.jpg"), true},
        {Cp(dir / "a/sub"), false},
        {Cp(dir / "a/missing"), false},
        {Cp(dir / "a/link"), true},
        {Cp(dir / "a/broken"), false},
        {Cp(dir / "a/folderlink"), false},
        {Cp(dir / "a/f.txt/"), false},
        {Cp(dir / "gone/f.txt"), false},
        {Cp(dir / "a/../b/g.txt"), true},
        {"/no-such-file-here", false},
        {"f.txt", false},
        {"", false},
        {"a\x83", false},
    };
    std::vector<std::string_view> paths;
    std::vector<bool> expected;
    for (const auto& [path, exists] : cases) {
        paths.emplace_back(path);
        expected.push_back(exists);
    }
    EXPECT_EQ(FilesExist(paths), expected);
}

}  // namespace
