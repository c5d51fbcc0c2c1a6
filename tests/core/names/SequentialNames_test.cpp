#include "core/names/SequentialNames.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "core/text/Cp932.h"
#include "support/LocalTime.h"
#include "support/TempDir.h"
#include "support/Text.h"

namespace {

using namespace SequentialNames;
using testsupport::TempDir;

using testsupport::Cp;

// Seconds since the epoch of a local date at noon.
std::int64_t LocalNoon(int year, int month, int day) {
    return testsupport::LocalSeconds(year, month, day, 12);
}

class SequentialNamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "Asia/Tokyo", 1);
        tzset();
    }
    // Makes the files (relative paths) and returns their full code page 932 paths.
    std::vector<std::string> Files(const std::vector<std::string>& relative, std::int64_t mtime = -1) {
        std::vector<std::string> paths;
        paths.reserve(relative.size());
        for (const std::string& r : relative)
            paths.push_back(Cp(dir.MakeFile(r, "", mtime)));
        return paths;
    }
    // New file names of a composition that must succeed.
    std::vector<std::string> Names(const std::vector<std::string>& paths, const Options& options) {
        const Result r = BuildSequentialNames(paths, options);
        EXPECT_EQ(r.outcome, Outcome::Composed) << r.detail;
        std::vector<std::string> names;
        for (const std::string& p : r.newPaths)
            names.push_back(p.substr(p.rfind('/') + 1));
        return names;
    }
    TempDir dir;
};

TEST_F(SequentialNamesTest, ExampleNames) {
    const auto img = Files({"pic/trip/IMG_0001.JPG", "pic/trip/IMG_0002.JPG", "pic/trip/IMG_0003.JPG"},
                           LocalNoon(2024, 5, 7));
    Options o;
    o.leadingText = "A";
    o.startValue = "001";
    o.incrementText = "1";
    EXPECT_THAT(Names(img, o), ::testing::ElementsAre("A001.JPG", "A002.JPG", "A003.JPG"));
    o.keepName = true;
    EXPECT_EQ(Names(img, o)[0], "AIMG_0001001.JPG");

    Options folder;
    folder.startValue = "8";
    folder.trailingText = "x";
    folder.folderName = true;
    EXPECT_THAT(Names(img, folder), ::testing::ElementsAre("trip8x.JPG", "trip9x.JPG", "trip10x.JPG"));

    Options dated;
    dated.leadingText = "P";
    dated.startValue = "01";
    dated.addDate = true;
    EXPECT_EQ(Names(img, dated)[0], "P_2024050701.JPG");
    dated.dateAtEnd = true;
    EXPECT_EQ(Names(img, dated)[0], "P01_20240507.JPG");
    dated.dateSeparator = false;
    dated.dateFormat = DateFormatFor(3).value();
    EXPECT_EQ(Names(img, dated)[0], "P0124_05_07.JPG");

    Options extOnly;
    extOnly.changeExtension = true;
    extOnly.newExtension = "md";
    EXPECT_TRUE(ExtensionOnlyMode(extOnly));
    EXPECT_EQ(Names(Files({"pic/a.b.txt"}), extOnly)[0], "a.md");
}

TEST_F(SequentialNamesTest, DatesTakenNameThePhotosAndTheOthersTheirModificationDate) {
    const auto img = Files({"a.JPG", "b.JPG", "c.JPG"}, LocalNoon(2024, 5, 7));
    const std::vector<std::int64_t> taken = {20231231235959, 0, 20220102030405};
    Options o;
    o.leadingText = "P";
    o.startValue = "01";
    o.addDate = true;
    o.dateTaken = true;
    const Result r = BuildSequentialNames(img, o, &taken);
    ASSERT_EQ(r.outcome, Outcome::Composed);
    EXPECT_THAT(r.newPaths, ::testing::ElementsAre(::testing::EndsWith("/P_2023123101.JPG"),
                                                   ::testing::EndsWith("/P_2024050702.JPG"),
                                                   ::testing::EndsWith("/P_2022010203.JPG")));
    EXPECT_EQ(r.undatedPhotos, 1U);
    // Without dates to hand every file falls back; with the modification date chosen none does.
    EXPECT_EQ(BuildSequentialNames(img, o).undatedPhotos, 3U);
    o.dateTaken = false;
    EXPECT_THAT(Names(img, o),
                ::testing::ElementsAre("P_2024050701.JPG", "P_2024050702.JPG", "P_2024050703.JPG"));
    EXPECT_EQ(BuildSequentialNames(img, o, &taken).undatedPhotos, 0U);
}

TEST_F(SequentialNamesTest, NumberWidthAndIncrement) {
    const auto files = Files({"n/a", "n/b", "n/c", "n/d", "n/e", "n/f", "n/g", "n/h", "n/i", "n/j", "n/k"});
    Options o;
    o.startValue = "0";
    const auto names = Names(files, o);
    EXPECT_EQ(names[9], "9");
    EXPECT_EQ(names[10], "10");  // width 1: a longer number is kept whole
    o.startValue = "000";
    o.incrementText = "5";
    const auto fives = Names(files, o);
    EXPECT_THAT(std::vector<std::string>(fives.begin(), fives.begin() + 3),
                ::testing::ElementsAre("000", "005", "010"));

    EXPECT_EQ(Increment("0"), 1);
    EXPECT_EQ(Increment("-3"), 1);
    EXPECT_EQ(Increment("abc"), 1);
    EXPECT_EQ(Increment(""), 1);
    EXPECT_EQ(Increment("3x"), 3);
    EXPECT_EQ(Increment("-3x"), 3);  // not a whole number: its digits count without the sign
    EXPECT_EQ(Increment("  7"), 7);
}

TEST_F(SequentialNamesTest, NegativeNumbersArePaddedAfterTheSign) {
    std::vector<std::string> rel;
    for (char c = 'a'; c <= 'g'; ++c)
        rel.push_back(std::string("neg/") + c + ".txt");
    Options o;
    o.startValue = "-05";
    const Result r = BuildSequentialNames(Files(rel), o);
    ASSERT_EQ(r.outcome, Outcome::Composed);
    std::vector<std::string> names;
    for (const auto& p : r.newPaths)
        names.push_back(p.substr(p.rfind('/') + 1));
    EXPECT_THAT(names, ::testing::ElementsAre("-05.txt", "-04.txt", "-03.txt", "-02.txt", "-01.txt",
                                              "000.txt", "001.txt"));
    EXPECT_EQ(r.lastNumberText, "001");
    EXPECT_EQ(ContinueNumbering("-01", "1").value(), "000");
    EXPECT_EQ(ContinueNumbering("-03", "1").value(), "-02");
}

TEST_F(SequentialNamesTest, ResetPerFolderFollowsFolderNames) {
    struct Case {
        const char* what;
        std::vector<std::string> files;  // in list order
        std::vector<std::string> names;
        const char* lastNumber;
    };
    const std::vector<Case> cases = {
        {"two different folders named x share one counter",
         {"a/top/a/x/p.t", "a/top/a/x/q.t", "a/top/b/x/r.t"},
         {"n1.t", "n2.t", "n3.t"},
         "3"},
        {"x then y: y starts again",
         {"b/x/p.t", "b/x/q.t", "b/y/r.t", "b/y/s.t", "b/y/t.t"},
         {"n1.t", "n2.t", "n1.t", "n2.t", "n3.t"},
         "3"},
        {"a folder's files around a subfolder's keep counting",
         {"c/x/1.t", "c/x/y/1.t", "c/x/z.t"},
         {"n1.t", "n1.t", "n2.t"},
         "2"},
        {"back to x after y and w",
         {"d/x/a.t", "d/y/b.t", "d/w/c.t", "d/x/d.t"},
         {"n1.t", "n1.t", "n1.t", "n2.t"},
         "2"},
    };
    Options o;
    o.leadingText = "n";
    o.startValue = "1";
    o.resetPerFolder = true;
    for (const Case& c : cases) {
        const Result r = BuildSequentialNames(Files(c.files), o);
        ASSERT_EQ(r.outcome, Outcome::Composed) << c.what << ": " << r.detail;
        std::vector<std::string> names;
        for (const std::string& p : r.newPaths)
            names.push_back(p.substr(p.rfind('/') + 1));
        EXPECT_EQ(names, c.names) << c.what;
        EXPECT_EQ(r.lastNumberText, c.lastNumber) << c.what;
    }
}

TEST_F(SequentialNamesTest, NumbersBeyondSixtyFourBitsAreRefused) {
    struct Case {
        const char* start;
        const char* increment;
        bool perFolder;
        std::vector<std::string> files;
        Outcome outcome;
    };
    const std::vector<Case> cases = {
        {"9223372036854775806", "1", false, {"a/1.t", "a/2.t", "a/3.t"}, Outcome::NumberOutOfRange},
        {"9223372036854775805", "1", false, {"b/1.t", "b/2.t", "b/3.t"}, Outcome::Composed},
        {"9223372036854775800", "5", false, {"c/1.t", "c/2.t", "c/3.t"}, Outcome::NumberOutOfRange},
        // Per folder, each folder's counter stays in range.
        {"9223372036854775806", "1", true, {"d/x/1.t", "d/x/2.t", "d/y/3.t"}, Outcome::Composed},
        {"$7FFFFFFFFFFFFFFF", "1", false, {"e/1.t", "e/2.t"}, Outcome::NumberOutOfRange},
    };
    for (const Case& c : cases) {
        Options o;
        o.startValue = c.start;
        o.incrementText = c.increment;
        o.resetPerFolder = c.perFolder;
        ASSERT_TRUE(CheckSequentialInputs(o)) << c.start;
        const Result r = BuildSequentialNames(Files(c.files), o);
        EXPECT_EQ(r.outcome, c.outcome) << c.start << " + " << c.increment;
        if (c.outcome == Outcome::NumberOutOfRange) {
            EXPECT_EQ(r.lastNumberText, "");
        }
    }
    Options beyond;
    beyond.startValue = "9223372036854775808";
    EXPECT_FALSE(CheckSequentialInputs(beyond));
    // The largest number is given out, but none is offered after it.
    EXPECT_EQ(ContinueNumbering("9223372036854775806", "1").value(), "9223372036854775807");
    EXPECT_FALSE(ContinueNumbering("9223372036854775807", "1"));
}

TEST_F(SequentialNamesTest, FolderNames) {
    EXPECT_EQ(FolderNameOf("/pic/trip/a.jpg"), "trip");
    EXPECT_EQ(FolderNameOf("/a.jpg"), "");  // a file in the root has no folder name
    EXPECT_EQ(FolderNameOf(Cp("/写真/ソ/a.jpg")), Cp("ソ"));
}

TEST_F(SequentialNamesTest, CollisionsRefuseTheWholeRun) {
    const auto files = Files({"c/IMG_1.JPG", "c/IMG_2.JPG"});
    dir.MakeFile("c/A002.JPG");
    Options o;
    o.leadingText = "A";
    o.startValue = "001";
    Result r = BuildSequentialNames(files, o);
    EXPECT_EQ(r.outcome, Outcome::Collision);
    // A name held on disk lets the composition go on, so that the run can offer an order in which
    // the files of the list free their names for each other.
    EXPECT_TRUE(r.composedAll);
    EXPECT_EQ(r.newPaths.size(), 2U);
    EXPECT_EQ(r.lastNumberText, "002");

    // Two entries composed to one name (compared without regard to case) refuse it too.
    const auto twins = Files({"d/x.txt", "d/y.txt"});
    Options same;
    same.leadingText = "same";
    same.keepName = false;
    same.changeExtension = true;
    same.newExtension = "txt";
    r = BuildSequentialNames(twins, same);
    EXPECT_EQ(r.outcome, Outcome::Collision);
    EXPECT_FALSE(r.composedAll);

    const auto cased = Files({"e/A.txt", "e/a.TXT"});
    Options ext;
    ext.changeExtension = true;
    ext.newExtension = "txt";
    EXPECT_EQ(BuildSequentialNames(cased, ext).outcome, Outcome::Collision);
}

TEST_F(SequentialNamesTest, OwnNameAndCaseOnlyChangesPass) {
    Options o;
    o.changeExtension = true;
    o.newExtension = "jpg";
    EXPECT_EQ(Names(Files({"f/X.JPG"}), o)[0], "X.jpg");
    EXPECT_EQ(Names(Files({"g/y.jpg"}), o)[0], "y.jpg");
    o.newExtension = ".txt";
    EXPECT_EQ(Names(Files({"h/noext"}), o)[0], "noext.txt");
    Options plain;
    plain.startValue = "1";
    EXPECT_EQ(Names(Files({"h/other"}), plain)[0], "1");  // no "." and no new extension: none
}

TEST_F(SequentialNamesTest, MissingFilesAndEmptyLists) {
    auto files = Files({"m/a.txt"});
    files.push_back(Cp(dir / "m/gone.txt"));
    Options o;
    o.startValue = "1";
    const Result r = BuildSequentialNames(files, o);
    EXPECT_EQ(r.outcome, Outcome::MissingFile);
    EXPECT_EQ(r.detail, Cp(dir / "m/gone.txt"));
    EXPECT_EQ(BuildSequentialNames({}, o).outcome, Outcome::EmptyList);
}

// Forty files make the checks read their folder whole instead of looking at each path: the
// outcomes stay those of a look at each path, and a missing file is told before a collision met
// earlier in the list.
TEST_F(SequentialNamesTest, ChecksOfAFolderReadWhole) {
    struct Case {
        const char* folder;
        std::function<void(const std::string& folder)> change;  // native folder path, with "/"
        bool extensionOnly;
        Outcome outcome;
        const char* detail;  // the name the outcome tells of
    };
    const Case cases[] = {
        {"free", [](const std::string&) {}, false, Outcome::Composed, ""},
        {"folder", [](const std::string& f) { std::filesystem::create_directory(f + "n7.txt"); }, false,
         Outcome::Collision, "n7.txt"},
        // A broken link holds the name for nobody: the rename will be refused by itself.
        {"broken-link", [](const std::string& f) { std::filesystem::create_symlink("x", f + "n7.txt"); },
         false, Outcome::Composed, ""},
        {"missing-after-collision",
         [](const std::string& f) {
             TempDir::WriteFile(f + "n3.txt");
             std::filesystem::remove(f + "f30.txt");
         },
         false, Outcome::MissingFile, "f30.txt"},
        {"case-only", [](const std::string&) {}, true, Outcome::Composed, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        std::vector<std::string> relative;
        for (int i = 0; i < 40; ++i)
            relative.push_back(std::string(c.folder) + "/f" + (i < 10 ? "0" : "") + std::to_string(i) +
                               ".txt");
        const std::vector<std::string> files = Files(relative);
        c.change(dir / c.folder + "/");
        Options o;
        if (c.extensionOnly) {
            o.changeExtension = true;
            o.newExtension = "TXT";
        } else {
            o.leadingText = "n";
            o.startValue = "1";
        }
        const Result r = BuildSequentialNames(files, o);
        EXPECT_EQ(r.outcome, c.outcome);
        if (c.outcome != Outcome::Composed) {
            EXPECT_EQ(r.detail, Cp(dir / c.folder + "/" + c.detail));
        } else {
            ASSERT_EQ(r.newPaths.size(), files.size());
            EXPECT_EQ(r.newPaths.back(), Cp(dir / c.folder) + (c.extensionOnly ? "/f39.TXT" : "/n40.txt"));
        }
    }
}

TEST(SequentialInputs, Checks) {
    Options o;
    EXPECT_FALSE(CheckSequentialInputs(o));
    o.leadingText = "A";
    EXPECT_FALSE(CheckSequentialInputs(o));  // fixed texts alone are not enough
    o.keepName = true;
    EXPECT_TRUE(CheckSequentialInputs(o));
    o = {};
    o.startValue = "12x";
    EXPECT_FALSE(CheckSequentialInputs(o));
    for (const char* good : {"1", " 1", "-5", "+5", "$1F", "000"}) {
        o.startValue = good;
        EXPECT_TRUE(CheckSequentialInputs(o)) << good;
    }
    o = {};
    o.changeExtension = true;
    EXPECT_FALSE(CheckSequentialInputs(o));  // a new extension must be given
    o.newExtension = "md";
    EXPECT_TRUE(CheckSequentialInputs(o));
    o = {};
    o.keepName = true;
    o.addDate = true;
    EXPECT_TRUE(CheckSequentialInputs(o));
}

TEST(SequentialInputs, IntegerReadings) {
    EXPECT_EQ(ReadStrictInteger("$1F"), 31);
    EXPECT_EQ(ReadStrictInteger(" -12"), -12);
    EXPECT_FALSE(ReadStrictInteger("12 "));
    EXPECT_FALSE(ReadStrictInteger(""));
    EXPECT_FALSE(ReadStrictInteger("-"));
    EXPECT_FALSE(ReadStrictInteger("99999999999999999999"));
    EXPECT_EQ(ReadLenientInteger("$10"), 0);
    EXPECT_EQ(PadNumber(5, 3), "005");
    EXPECT_EQ(PadNumber(1234, 3), "1234");
    EXPECT_EQ(PadNumber(-5, 3), "-05");
    EXPECT_EQ(PadNumber(0, 0), "0");
    EXPECT_EQ(PadNumber(-1234, 3), "-1234");
    EXPECT_EQ(PadNumber(std::numeric_limits<std::int64_t>::min(), 21), "-09223372036854775808");
}

TEST(SequentialDates, FormatsAndParsing) {
    const Date d{2024, 5, 7};
    EXPECT_EQ(FormatDate(d, DateFormatFor(0).value()), "20240507");
    EXPECT_EQ(FormatDate(d, DateFormatFor(1).value()), "2024_05_07");
    EXPECT_EQ(FormatDate(d, DateFormatFor(2).value()), "240507");
    EXPECT_EQ(FormatDate(d, DateFormatFor(3).value()), "24_05_07");
    EXPECT_FALSE(DateFormatFor(4));
    EXPECT_EQ(FormatDate({1970, 1, 1}, "yyyymmdd"), "19700101");
    EXPECT_EQ(FormatDate({2150, 12, 31}, "yy_mm_dd"), "50_12_31");
    const auto parsed = ParseDateText("2024/05/07 9:05:04");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->year, 2024);
    EXPECT_EQ(parsed->month, 5);
    EXPECT_EQ(parsed->day, 7);
    EXPECT_FALSE(ParseDateText("Error"));
}

TEST_F(SequentialNamesTest, ContinuationOffersTheNextNumber) {
    EXPECT_EQ(ContinueNumbering("003", "1").value(), "004");
    EXPECT_EQ(ContinueNumbering("010", "5").value(), "015");
    EXPECT_EQ(ContinueNumbering("9", "1").value(), "10");
    EXPECT_FALSE(ContinueNumbering("", "1"));
}

}  // namespace
