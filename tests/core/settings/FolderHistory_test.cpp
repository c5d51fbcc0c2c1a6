#include "core/settings/FolderHistory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/text/Cp932.h"
#include "support/TempDir.h"

namespace {

using namespace FolderHistory;
using ::testing::ElementsAre;
using testsupport::TempDir;

TEST(FolderHistoryTest, RecordPutsNewFoldersFirstAndKeepsKnownOnesInPlace) {
    Slots slots;
    for (const char* f : {"/1", "/2", "/3", "/4", "/5"})
        EXPECT_TRUE(Record(slots, f));
    EXPECT_THAT(slots, ElementsAre("/5", "/4", "/3", "/2", "/1"));
    EXPECT_FALSE(Record(slots, "/3"));
    EXPECT_THAT(slots, ElementsAre("/5", "/4", "/3", "/2", "/1"));
    EXPECT_TRUE(Record(slots, "/6"));
    EXPECT_THAT(slots, ElementsAre("/6", "/5", "/4", "/3", "/2"));
    // Exact comparison: case and blanks make another folder.
    EXPECT_TRUE(Record(slots, "/6 "));
    EXPECT_TRUE(Record(slots, "/A"));
    EXPECT_FALSE(Record(slots, "/A"));
    EXPECT_THAT(slots, ElementsAre("/A", "/6 ", "/6", "/5", "/4"));
}

TEST(FolderHistoryTest, DeleteSlotMovesTheRestUp) {
    Slots slots{"/1", "/2", "/3", "/4", "/5"};
    EXPECT_TRUE(DeleteSlot(slots, 2));
    EXPECT_THAT(slots, ElementsAre("/1", "/3", "/4", "/5", ""));
    EXPECT_TRUE(DeleteSlot(slots, 5));
    EXPECT_THAT(slots, ElementsAre("/1", "/3", "/4", "/5", ""));
    EXPECT_TRUE(DeleteSlot(slots, 1));
    EXPECT_THAT(slots, ElementsAre("/3", "/4", "/5", "", ""));
    for (int bad : {0, 6, -1})
        EXPECT_FALSE(DeleteSlot(slots, bad));
    EXPECT_THAT(slots, ElementsAre("/3", "/4", "/5", "", ""));
    EXPECT_TRUE(HasAny(slots));
    Clear(slots);
    EXPECT_FALSE(HasAny(slots));
}

TEST(FolderHistoryTest, ParseSlotNumber) {
    EXPECT_EQ(ParseSlotNumber("3"), 3);
    EXPECT_EQ(ParseSlotNumber("  +2"), 2);
    EXPECT_EQ(ParseSlotNumber("-1"), -1);
    EXPECT_EQ(ParseSlotNumber("06"), 6);
    for (const char* bad : {"", "abc", "3a", "3 ", "+", "+-3", "0x3", "99999999999"}) {
        EXPECT_EQ(ParseSlotNumber(bad), std::nullopt) << bad;
    }
}

TEST(FolderHistoryTest, NextAfterComparesExactly) {
    const std::vector<std::string> siblings = {"/a/s1", "/a/S2", "/a/s3"};
    EXPECT_EQ(NextAfter(siblings, "/a/s1"), "/a/S2");
    EXPECT_EQ(NextAfter(siblings, "/a/S2"), "/a/s3");
    EXPECT_EQ(NextAfter(siblings, "/a/s3"), std::nullopt);
    EXPECT_EQ(NextAfter(siblings, "/a/S1"), std::nullopt);
    EXPECT_EQ(NextAfter({}, "/a"), std::nullopt);
}

TEST(FolderHistoryTest, NextSiblingOnDiskSortsWithoutRegardToCase) {
    TempDir dir;
    for (const char* name : {"s3", "S2", "s1", ".hidden", "t"})
        dir.MakeDir(name);
    dir.MakeFile("s10.txt");  // files are no siblings
    const std::string root = Cp932::FromUtf8(dir.Path()).value();
    EXPECT_EQ(NextSiblingFolder(root + "/s1"), root + "/S2");
    EXPECT_EQ(NextSiblingFolder(root + "/S2"), root + "/s3");
    EXPECT_EQ(NextSiblingFolder(root + "/s3"), root + "/t");
    EXPECT_EQ(NextSiblingFolder(root + "/t"), std::nullopt);
    EXPECT_EQ(NextSiblingFolder(root + "/.hidden"), std::nullopt);
}

}  // namespace
