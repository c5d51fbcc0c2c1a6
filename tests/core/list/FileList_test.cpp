#include "core/list/FileList.h"
#include "core/run/RunControl.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/list/MyFileOperation.h"
#include "core/run/RenameExecutor.h"
#include "core/text/Cp932.h"
#include "support/TempDir.h"
#include "support/Text.h"

namespace {

using namespace FileList;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testsupport::TempDir;

using testsupport::Cp;

TEST(NormalizeExtTest, TrimsAddsDotAndLowers) {
    EXPECT_EQ(NormalizeExt("JPG"), ".jpg");
    EXPECT_EQ(NormalizeExt(" .Gif "), ".gif");
    EXPECT_EQ(NormalizeExt(""), ".");
    EXPECT_EQ(NormalizeExt("*.JPG"), ".*.jpg");
    // Full-width letters fold too; kana stay as they are.
    EXPECT_EQ(NormalizeExt(Cp("ＴＸＴ")), Cp(".ｔｘｔ"));
    EXPECT_EQ(NormalizeExt(Cp("テキスト")), Cp(".テキスト"));
}

TEST(ReadExtFilterTest, SplitsAtSemicolons) {
    EXPECT_THAT(ReadExtFilter("   "), IsEmpty());
    EXPECT_THAT(ReadExtFilter("jpg"), ElementsAre(".jpg"));
    EXPECT_THAT(ReadExtFilter(" JPG ; .Gif "), ElementsAre(".jpg", ".gif"));
    EXPECT_THAT(ReadExtFilter("jpg ;"), ElementsAre(".jpg"));
    EXPECT_THAT(ReadExtFilter("jpg;;png"), ElementsAre(".jpg", ".", ".png"));
    EXPECT_THAT(ReadExtFilter(";"), ElementsAre("."));
    EXPECT_THAT(ReadExtFilter(";;"), ElementsAre(".", "."));
    // "ソ" ends in 0x5C and "表" in 0x5C too: neither splits nor ends the text early.
    EXPECT_THAT(ReadExtFilter(Cp("ソ;表")), ElementsAre(Cp(".ソ"), Cp(".表")));
}

TEST(FilterByExtTest, OnlyListedAndExceptListed) {
    const std::vector<std::string> all = {"/d/a.jpg",  "/d/B.JPG", "/d/c.gif",  "/d/d.jpeg",
                                          "/d/README", "/d/e.",    "/d.x/noext"};
    const auto exts = ReadExtFilter("JPG ; .Gif");

    auto only = all;
    FilterByExt(only, exts, kOnlyListed);
    EXPECT_THAT(only, ElementsAre("/d/a.jpg", "/d/B.JPG", "/d/c.gif"));

    auto except = all;
    FilterByExt(except, exts, kExceptListed);
    EXPECT_THAT(except, ElementsAre("/d/d.jpeg", "/d/README", "/d/e.", "/d.x/noext"));

    auto none = all;
    FilterByExt(none, exts, kNoFilter);
    EXPECT_EQ(none, all);
}

TEST(FilterByExtTest, EmptyListAndEmptyElements) {
    const std::vector<std::string> all = {"/d/a.jpg", "/d/e.", "/d/README"};
    auto only = all;
    FilterByExt(only, {}, kOnlyListed);
    EXPECT_THAT(only, IsEmpty());
    auto except = all;
    FilterByExt(except, {}, kExceptListed);
    EXPECT_EQ(except, all);
    // An empty element never matches, not even a name that ends in ".".
    auto dots = all;
    FilterByExt(dots, ReadExtFilter(";;"), kExceptListed);
    EXPECT_EQ(dots, all);
}

class PlanLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.MakeFile("a/b.txt");
        dir.MakeFile("a/Z.txt");
        dir.MakeFile("a/sub/c.txt");
        dir.MakeFile("a/sub/deeper/d.jpg");
        dir.MakeFile("a/.cache/hidden.txt");
        dir.MakeFile("a/.dot");
        dir.MakeFile("only-subs/s/x.txt");
        dir.MakeDir("empty");
    }
    std::string P(const std::string& rel) const { return Cp(dir / rel); }
    TempDir dir;
};

TEST_F(PlanLoadTest, FlatListsDirectFilesSorted) {
    const LoadPlan plan = PlanLoad({P("a")}, {});
    EXPECT_EQ(plan.outcome, LoadPlan::Outcome::kLoaded);
    EXPECT_THAT(plan.paths, ElementsAre(P("a/.dot"), P("a/b.txt"), P("a/Z.txt")));
    EXPECT_THAT(plan.recordedFolders, ElementsAre(P("a")));
}

TEST_F(PlanLoadTest, RecursiveInterleavesSubfoldersByPath) {
    LoadOptions options;
    options.recursive = true;
    const LoadPlan plan = PlanLoad({P("a/")}, options);
    EXPECT_EQ(plan.outcome, LoadPlan::Outcome::kLoaded);
    EXPECT_THAT(plan.paths, ElementsAre(P("a/.dot"), P("a/b.txt"), P("a/sub/c.txt"), P("a/sub/deeper/d.jpg"),
                                        P("a/Z.txt")));
    EXPECT_THAT(plan.recordedFolders, ElementsAre(P("a")));  // trailing "/" dropped
}

// Says stop at its stopAt-th question.
class StopAt final : public RunControl {
public:
    explicit StopAt(int stopAt) : stopAt_(stopAt) {}
    bool Continue(std::size_t /*done*/) override { return ++asked_ < stopAt_; }

private:
    int stopAt_;
    int asked_ = 0;
};

TEST_F(PlanLoadTest, ACancelledLoadPlansNothing) {
    LoadOptions options;
    options.recursive = true;
    // Asked before each entry, each folder read, and the sort: ten questions for these entries.
    for (int stopAt = 1; stopAt <= 10; ++stopAt) {
        SCOPED_TRACE(stopAt);
        StopAt control(stopAt);
        const LoadPlan plan = PlanLoad({P("a"), P("only-subs")}, options, &control);
        EXPECT_EQ(plan.outcome, LoadPlan::Outcome::kCancelled);
        EXPECT_THAT(plan.paths, IsEmpty());
        EXPECT_THAT(plan.recordedFolders, IsEmpty());
    }
    StopAt control(11);
    EXPECT_EQ(PlanLoad({P("a"), P("only-subs")}, options, &control).paths.size(), 6U);
}

TEST_F(PlanLoadTest, AChosenFolderIsListedAsItsEntries) {
    const LoadPlan flat = PlanChosenFolderLoad(P("a"), {});
    EXPECT_EQ(flat.outcome, LoadPlan::Outcome::kLoaded);
    EXPECT_THAT(flat.paths, ElementsAre(P("a/.dot"), P("a/b.txt"), P("a/Z.txt")));
    EXPECT_THAT(flat.recordedFolders, ElementsAre(P("a")));
    LoadOptions options;
    options.recursive = true;
    const LoadPlan deep = PlanChosenFolderLoad(P("a"), options);
    EXPECT_THAT(deep.paths, ElementsAre(P("a/.dot"), P("a/b.txt"), P("a/sub/c.txt"), P("a/sub/deeper/d.jpg"),
                                        P("a/Z.txt")));
    EXPECT_THAT(deep.recordedFolders, ElementsAre(P("a"), P("a"), P("a/sub"), P("a")));
    const LoadPlan empty = PlanChosenFolderLoad(P("empty"), {});
    EXPECT_EQ(empty.outcome, LoadPlan::Outcome::kNoFiles);
    EXPECT_THAT(empty.recordedFolders, IsEmpty());
}

TEST_F(PlanLoadTest, FolderWithOnlySubfolders) {
    EXPECT_EQ(PlanLoad({P("only-subs")}, {}).outcome, LoadPlan::Outcome::kNoFiles);
    LoadOptions options;
    options.recursive = true;
    EXPECT_THAT(PlanLoad({P("only-subs")}, options).paths, ElementsAre(P("only-subs/s/x.txt")));
}

TEST_F(PlanLoadTest, FilesAndFoldersMixedKeepDuplicates) {
    const LoadPlan plan = PlanLoad({P("a"), P("a/b.txt"), P("a/sub/c.txt")}, {});
    EXPECT_THAT(plan.paths,
                ElementsAre(P("a/.dot"), P("a/b.txt"), P("a/b.txt"), P("a/sub/c.txt"), P("a/Z.txt")));
    EXPECT_THAT(plan.recordedFolders, ElementsAre(P("a"), P("a"), P("a/sub")));
}

TEST_F(PlanLoadTest, FilterAppliesAfterListing) {
    LoadOptions options;
    options.recursive = true;
    options.extensions = ReadExtFilter("JPG");
    options.filterMode = kOnlyListed;
    EXPECT_THAT(PlanLoad({P("a")}, options).paths, ElementsAre(P("a/sub/deeper/d.jpg")));

    options.extensions = ReadExtFilter("gif");
    const LoadPlan none = PlanLoad({P("a")}, options);
    EXPECT_EQ(none.outcome, LoadPlan::Outcome::kAllFiltered);
    EXPECT_THAT(none.paths, IsEmpty());
    EXPECT_THAT(none.recordedFolders, ElementsAre(P("a")));

    // No file at all wins over the filter.
    EXPECT_EQ(PlanLoad({P("empty")}, options).outcome, LoadPlan::Outcome::kNoFiles);
}

// A chosen folder's subfolders expanded one by one: however many links lead to a folder, from the
// chosen folder or from deeper down, its files are listed once, so a run never meets a second copy.
TEST(PlanLoadLinks, AChosenFoldersSubfoldersListEachFileOnce) {
    TempDir dir;
    dir.MakeFile("t/t.txt");
    dir.MakeFile("t/photos/p.jpg");
    dir.MakeFile("t/sub/s.txt");
    symlink("photos", (dir / "t/latest").c_str());       // beside the folder it names
    symlink("../photos", (dir / "t/sub/up").c_str());    // from inside another subfolder
    symlink("../sub", (dir / "t/photos/side").c_str());  // and back across
    std::vector<std::string> entries;
    MyFileOperation::EnumFolder(Cp(dir / "t"), entries, MyFileOperation::kFilesAndFolders);
    Cp932::SortNoCase(entries);
    LoadOptions options;
    options.recursive = true;
    options.chosenFolder = Cp(dir / "t");
    const LoadPlan plan = PlanLoad(entries, options);
    ASSERT_EQ(plan.outcome, LoadPlan::Outcome::kLoaded);
    std::vector<std::string> files;
    for (const std::string& path : plan.paths)
        files.push_back(std::filesystem::canonical(path).string());
    std::sort(files.begin(), files.end());
    const auto real = [&](const char* rel) { return std::filesystem::canonical(dir / rel).string(); };
    EXPECT_THAT(files, ElementsAre(real("t/photos/p.jpg"), real("t/sub/s.txt"), real("t/t.txt")))
        << ::testing::PrintToString(plan.paths);
}

TEST_F(PlanLoadTest, MissingEntryStopsTheLoad) {
    const LoadPlan plan = PlanLoad({P("a"), P("gone/"), P("only-subs")}, {});
    EXPECT_EQ(plan.outcome, LoadPlan::Outcome::kCannotOpen);
    EXPECT_EQ(plan.failedFolder, P("gone"));
    EXPECT_THAT(plan.paths, IsEmpty());
    EXPECT_THAT(plan.recordedFolders, ElementsAre(P("a")));
}

TEST_F(PlanLoadTest, NamesWithBlanksAndJapaneseAreKept) {
    dir.MakeFile(" 写真 /ファイル .txt");
    const LoadPlan plan = PlanLoad({P(" 写真 ")}, {});
    EXPECT_THAT(plan.paths, ElementsAre(P(" 写真 /ファイル .txt")));
    EXPECT_THAT(plan.recordedFolders, ElementsAre(P(" 写真 ")));
}

// Names of the folder on disk as they are, sorted.
std::vector<std::string> NamesOnDisk(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Far more distinct characters than there are single stand-in codes, so most are held by pairs.
TEST(PlanLoadManyNames, TwentyThousandHangulNamesAreListedRenamedAndNamedBack) {
    const auto syllable = [](int n) {
        const char32_t u = 0xAC00 + static_cast<char32_t>(n);
        return std::string{static_cast<char>(0xE0 | (u >> 12)), static_cast<char>(0x80 | ((u >> 6) & 0x3F)),
                           static_cast<char>(0x80 | (u & 0x3F))};
    };
    constexpr int kSyllables = 11172;
    TempDir dir;
    const std::string folder = dir.MakeDir("hangul");
    std::vector<std::string> names;
    for (int i = 0; i < 20000; ++i) {
        names.push_back(syllable(i % kSyllables) + syllable(i / kSyllables) + ".txt");
        ::close(::open((folder + "/" + names.back()).c_str(), O_CREAT | O_WRONLY, 0644));
    }
    std::sort(names.begin(), names.end());
    ASSERT_EQ(NamesOnDisk(folder), names);

    const LoadPlan plan = PlanLoad({Cp(folder)}, {});
    ASSERT_EQ(plan.outcome, LoadPlan::Outcome::kLoaded);
    EXPECT_EQ(plan.unlisted, 0u);
    ASSERT_EQ(plan.paths.size(), names.size());

    std::vector<std::string> renamed;
    std::vector<std::string> expected;
    renamed.reserve(plan.paths.size());
    expected.reserve(names.size());
    for (const std::string& path : plan.paths) {
        const std::size_t slash = path.rfind('/');
        renamed.push_back(path.substr(0, slash + 1) + "r_" + path.substr(slash + 1));
    }
    for (const std::string& name : names)
        expected.push_back("r_" + name);
    const RenameExecutor::Outcome there = RenameExecutor::ExecuteRenames(plan.paths, renamed);
    ASSERT_TRUE(there.executed);
    EXPECT_TRUE(there.failed.empty() && there.skipped.empty());
    EXPECT_EQ(NamesOnDisk(folder), expected);

    const RenameExecutor::Outcome back = RenameExecutor::ExecuteRenames(renamed, plan.paths);
    ASSERT_TRUE(back.executed);
    EXPECT_TRUE(back.failed.empty() && back.skipped.empty());
    EXPECT_EQ(NamesOnDisk(folder), names);
}

TEST(PlanLoadRootTest, RootFolderTextIsSlash) {
    EXPECT_EQ(FolderTextOf("/"), "/");
    EXPECT_EQ(FolderTextOf("/a/"), "/a");
    EXPECT_EQ(PlanLoad({"/"}, {}).recordedFolders, std::vector<std::string>{"/"});
}

}  // namespace
