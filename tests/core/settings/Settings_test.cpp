#include "core/settings/Settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TempDir.h"

namespace {

using namespace Settings;
using ::testing::ElementsAre;
using testsupport::TempDir;

const Bounds kDesigned{144, 89, 529, 560};

TEST(SettingsTest, NoFileGivesEveryDefault) {
    TempDir dir;
    const Values read = Read(TIniFile(dir / "none.ini"), kDesigned);
    EXPECT_EQ(read.window, kDesigned);
    EXPECT_THAT(read.folderHistory, ElementsAre("", "", "", "", ""));
    EXPECT_TRUE(read.historyOn);
    EXPECT_EQ(read.moveDestinations, MoveDestinations::History());
    EXPECT_TRUE(read.dialogOn);
    EXPECT_FALSE(read.formStyleOn);
    EXPECT_THAT(read.columnWidths, ElementsAre(0, 0, 0));
    EXPECT_TRUE(read.dateBar);
    EXPECT_FALSE(read.dateEnd);
    EXPECT_EQ(read.dateType, 0);
    EXPECT_FALSE(read.regexOn);
    EXPECT_TRUE(read.previewOn);
    EXPECT_EQ(read.dateSource, 0);
    // The same as a value built by hand with the designed bounds: nothing else is read.
    Values defaults;
    defaults.window = kDesigned;
    EXPECT_EQ(read, defaults);
}

TEST(SettingsTest, ValuesAsTheFileHoldsThem) {
    TempDir dir;
    const TIniFile ini(dir.MakeFile("q.ini",
                                    "[meinform]\ntop=0x20\nLeft=-5\nWidth=abc\n"
                                    "[History]\nOn=0\n2=/b\n"
                                    "[FormStyle]\nOn=2\n"
                                    "[StrRenSose]\n0=a\n1=b\n2=\n3=d\n"
                                    "[StrRenDest]\n1=no first\n"
                                    "[FarstHist]\n0=a\n1=b\n2=\n3=d\n10=beyond\n"
                                    "[Date]\nType=0x3\nBar=x\nSource=1\n[regex]\nON=1\n[Preview]\nOn=0\n"));
    const Values read = Read(ini, kDesigned);
    EXPECT_EQ(read.window, (Bounds{-5, 32, 529, 560}));  // hex read; text that is no number: default
    EXPECT_FALSE(read.historyOn);
    EXPECT_THAT(read.folderHistory, ElementsAre("", "/b", "", "", ""));
    EXPECT_TRUE(read.formStyleOn);                           // any non-zero value is true
    EXPECT_THAT(read.targetHistory, ElementsAre("a", "b"));  // the first empty value ends the list
    EXPECT_THAT(read.replacementHistory, ElementsAre());
    EXPECT_THAT(read.leadingHistory, ElementsAre("a", "b", "d"));  // empty values are skipped
    EXPECT_EQ(read.dateType, 3);
    EXPECT_TRUE(read.dateBar);
    EXPECT_EQ(read.dateSource, 1);
    EXPECT_TRUE(read.regexOn);
    EXPECT_FALSE(read.previewOn);
}

TEST(SettingsTest, WrittenThenReadBackEqual) {
    TempDir dir;
    Values values;
    values.window = {10, 20, 600, 700};
    values.folderHistory = {"/a", "/b b", "", "/d", ""};
    values.historyOn = false;
    values.moveDestinations.SetSlot(1, "/m1/");
    values.moveDestinations.SetSlot(3, "/m3/");
    values.dialogOn = false;
    values.formStyleOn = true;
    values.leadingHistory = {"l0", "l1"};
    values.trailingHistory = {"t0"};
    values.extensionHistory = {"jpg;png"};
    values.columnWidths = {150, 160, 170};
    values.targetHistory = {"s0", "s1", "s2"};
    values.replacementHistory = {"d0"};
    values.dateBar = false;
    values.dateEnd = true;
    values.dateType = 2;
    values.regexOn = true;
    values.previewOn = false;
    values.dateSource = 1;
    values.language = 2;

    TIniFile out(dir / "q.ini");
    Write(out, values);
    ASSERT_TRUE(out.UpdateFile());
    EXPECT_EQ(Read(TIniFile(dir / "q.ini"), kDesigned), values);

    // A fresh file lists sections and keys in the order they are written.
    const std::string content = TempDir::ReadFile(dir / "q.ini");
    std::vector<std::size_t> at;
    for (const char* piece :
         {"[MeinForm]\nTop=20\nLeft=10\nWidth=600\nHeight=700\n",
          "[History]\n1=/a\n2=/b b\n3=\n4=/d\n5=\nOn=0\n", "[Move]\n1=/m1/\n2=\n3=/m3/\n", "[Dialog]\nOn=0\n",
          "[FormStyle]\nOn=1\n", "[FarstHist]\n0=l0\n1=l1\n2=\n", "[EndHist]\n", "[ExtHist]\n",
          "[ColumSize]\n1=150\n2=160\n3=170\n", "[StrRenSose]\n0=s0\n1=s1\n2=s2\n3=\n",
          "[StrRenDest]\n0=d0\n1=\n", "[Regex]\nOn=1\n", "[Preview]\nOn=0\n",
          "[Date]\nBar=0\nEnd=1\nType=2\nSource=1\n", "[Language]\nChoice=2\n"}) {
        at.push_back(content.find(piece));
        EXPECT_NE(at.back(), std::string::npos) << piece << "\nin\n" << content;
    }
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << content;
}

// Unlimited histories keep every element in the file; the next start takes the first ten.
TEST(SettingsTest, TwelveLeadingTextsWrittenTenReadBack) {
    TempDir dir;
    Values values;
    for (int i = 0; i < 12; ++i)
        values.leadingHistory.push_back("e" + std::to_string(i));
    values.targetHistory = values.leadingHistory;
    TIniFile out(dir / "q.ini");
    Write(out, values);
    ASSERT_TRUE(out.UpdateFile());
    const TIniFile in(dir / "q.ini");
    EXPECT_EQ(in.ReadString("FarstHist", "11", ""), "e11");
    EXPECT_EQ(in.ReadString("StrRenSose", "9", ""), "e9");
    EXPECT_EQ(in.ReadString("StrRenSose", "10", "none"), "none");  // the limited list stops at ten
    const Values read = Read(in, kDesigned);
    EXPECT_EQ(read.leadingHistory,
              std::vector<std::string>(values.leadingHistory.begin(), values.leadingHistory.begin() + 10));
    EXPECT_EQ(read.targetHistory, read.leadingHistory);
}

TEST(SettingsTest, WindowBoundsThatNoScreenShows) {
    const std::vector<Bounds> screens = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    const std::vector<std::pair<Bounds, bool>> cases = {
        {{144, 89, 529, 560}, true},         {{2000, 100, 500, 500}, true},  // on the second monitor
        {{-400, -20, 500, 500}, true},                                       // partly off the left edge
        {{3300, 100, 500, 500}, false},                                      // right of every monitor
        {{100, 1080, 500, 500}, false},                                      // just below the first
        {{-600, 100, 500, 500}, false},                                      // left of every monitor
        {{100, 100, 0, 500}, false},                                         // no width
        {{100, 100, 500, -1}, false},                                        // negative height
        {{2147483000, 0, 2000, 500}, false},                                 // far out, without overflowing
    };
    for (const auto& [window, shown] : cases)
        EXPECT_EQ(OnSomeScreen(window, screens), shown) << window.left << "," << window.top;
    EXPECT_FALSE(OnSomeScreen({0, 0, 100, 100}, {}));
}

TEST(SettingsTest, WindowSizeFitsTheScreenItLandsOn) {
    // A laptop beside a larger monitor placed higher up.
    const std::vector<Bounds> screens = {{0, 0, 1366, 738}, {1366, -500, 2560, 1400}};
    const std::vector<std::pair<Bounds, Bounds>> cases = {
        {{144, 89, 529, 560}, {144, 89, 529, 560}},            // fits: as saved
        {{1200, 600, 700, 300}, {1200, 600, 700, 300}},        // fits its screen, crossing the edge
        {{0, 0, 100000, 100000}, {0, 0, 1366, 738}},           // the screen of its corner
        {{1500, -400, 3000, 3000}, {1500, -400, 2560, 1400}},  // the larger screen, not the first
        {{1000, -400, 3000, 1000},
         {1000, -400, 2560, 1000}},  // corner on no screen: the one it overlaps most
        {{-2147483000, 0, 2147483647, 700}, {0, 0, 1366, 700}},    // out of sight once smaller: moved back
        {{2147483000, 0, 2000, 500}, {2147483000, 0, 2000, 500}},  // on no screen: left as it is
    };
    for (const auto& [window, fitted] : cases) {
        EXPECT_EQ(FitToScreen(window, screens), fitted) << window.left << "," << window.top;
        EXPECT_TRUE(OnSomeScreen(fitted, screens) || !OnSomeScreen(window, screens));
    }
}

}  // namespace
