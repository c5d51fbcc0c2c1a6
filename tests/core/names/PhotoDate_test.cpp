#include "core/names/PhotoDate.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/platform/ImageDates.h"
#include "support/LocalTime.h"
#include "support/TempDir.h"
#include "support/Text.h"

namespace {

using PhotoDate::DateTime;
using PhotoDate::kNone;
using PhotoDate::Stamp;
using testsupport::Cp;
using testsupport::TempDir;

TEST(PhotoDateTest, ExifDatesAreReadStrictly) {
    struct Case {
        std::string text;
        std::optional<DateTime> date;
    };
    const Case cases[] = {
        {"2024:05:01 10:20:30", DateTime{2024, 5, 1, 10, 20, 30}},
        {std::string("2024:05:01 10:20:30\0", 20), DateTime{2024, 5, 1, 10, 20, 30}},  // as the tag ends
        {"2024-05-01 10:20:30", DateTime{2024, 5, 1, 10, 20, 30}},
        {"2024/05/01", DateTime{2024, 5, 1, 0, 0, 0}},
        {"2024:05:01T10:20:30+09:00", DateTime{2024, 5, 1, 10, 20, 30}},
        {"2024:02:29 23:59:59", DateTime{2024, 2, 29, 23, 59, 59}},
        // What cameras write when they do not know, and texts that are no date.
        {"    :  :     :  :  ", std::nullopt},
        {"0000:00:00 00:00:00", std::nullopt},
        {"2023:02:29 00:00:00", std::nullopt},
        {"2024:13:01 00:00:00", std::nullopt},
        {"2024:05:01 24:00:00", std::nullopt},
        {"2024:05:01 10:20", std::nullopt},
        {"24:05:01 10:20:30", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(PhotoDate::ParseExifDate(c.text), c.date);
    }
}

TEST(PhotoDateTest, StampsOrderAsTheMomentsDo) {
    const DateTime moments[] = {{1899, 12, 31, 23, 59, 59},
                                {2024, 5, 1, 9, 59, 59},
                                {2024, 5, 1, 10, 0, 0},
                                {2024, 5, 2, 0, 0, 0},
                                {9999, 12, 31, 23, 59, 59}};
    Stamp previous = kNone;
    for (const DateTime& moment : moments) {
        const Stamp stamp = PhotoDate::Pack(moment);
        EXPECT_GT(stamp, previous);
        EXPECT_EQ(PhotoDate::Unpack(stamp), moment);
        previous = stamp;
    }
}

TEST(PhotoDateTest, DateTakenFallsBackTagByTag) {
    const std::string unknown = "    :  :     :  :  ";
    struct Case {
        const char* title;
        Platform::ImageDateTags tags;
        Stamp taken;
    };
    const Case cases[] = {
        {"original first",
         {"2024:05:01 10:00:00", "2024:05:02 10:00:00", "2024:05:03 10:00:00"},
         20240501100000},
        {"no original: digitized", {"", "2024:05:02 10:00:00", "2024:05:03 10:00:00"}, 20240502100000},
        {"an unknown original: digitized", {unknown, "2024:05:02 10:00:00", ""}, 20240502100000},
        {"neither: the file's own", {"0000:00:00 00:00:00", unknown, "2024:05:03 10:00:00"}, 20240503100000},
        {"none at all", {unknown, "", "no date"}, kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(PhotoDate::DateTaken(c.tags), c.taken);
    }
}

class PhotoDateFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "Asia/Tokyo", 1);
        tzset();
    }
    TempDir dir;
};

TEST_F(PhotoDateFilesTest, ModifiedStampIsTheLocalTime) {
    const std::string path = Cp(dir.MakeFile("a.txt", "", testsupport::LocalSeconds(2024, 5, 1, 23, 30, 15)));
    EXPECT_EQ(PhotoDate::ModifiedStamp(path), 20240501233015);
    EXPECT_EQ(PhotoDate::ModifiedStamp(Cp(dir / "missing.txt")), kNone);
    EXPECT_EQ(PhotoDate::ModifiedStamp(Cp(dir.MakeDir("folder"))), kNone);
}

}  // namespace
