#include "core/text/LightStr.h"

#include "core/text/Cp932.h"

#include <gtest/gtest.h>

#include <string>
#include "support/Text.h"

namespace {

using LightStr::npos;
using LightStr::StrPos;

using testsupport::Cp;

TEST(LightStrPos, FindsTheFirstOccurrenceByteForByte) {
    EXPECT_EQ(StrPos("xxabcab", "ab", false), 2u);
    EXPECT_EQ(StrPos("abc", "abc", false), 0u);
    EXPECT_EQ(StrPos("abc", "abcd", false), npos);
    EXPECT_EQ(StrPos("abc", "", false), npos);
    EXPECT_EQ(StrPos("", "a", false), npos);
    EXPECT_EQ(StrPos("abc", "B", false), npos);
    EXPECT_EQ(LightStr::FindFrom("abab", "ab", 1), 2u);
    EXPECT_EQ(LightStr::FindFrom("abab", "ab", 4), npos);
}

TEST(LightStrPos, NeverMatchesFromTheSecondByteOfACharacter) {
    const std::string soHyo = Cp("ソ表");  // 83 5C 95 5C
    EXPECT_EQ(StrPos(soHyo, "\\", false), npos);
    EXPECT_EQ(StrPos(soHyo + "\\", "\\", false), 4u);
    EXPECT_EQ(StrPos(Cp("ポ"), "|", false), npos);  // 83 7C
    EXPECT_EQ(StrPos(Cp("ポ|"), "|", false), 2u);
    EXPECT_EQ(StrPos(Cp("ア"), "A", false), npos);  // 83 41
    EXPECT_EQ(StrPos(Cp("ア"), "a", true), npos);
    EXPECT_EQ(StrPos(Cp("アa"), "A", true), 2u);
    // メソ is 83 81 83 5C: 81 83 straddles the two characters, 83 5C is ソ itself.
    const std::string meSo = Cp("メソ");
    EXPECT_EQ(StrPos(meSo, "\x81\x83", false), npos);
    EXPECT_EQ(StrPos(meSo, Cp("ソ"), false), 2u);
    // Later candidates are still tried after a skipped one.
    EXPECT_EQ(StrPos(Cp("ア") + "xA", "A", false), 3u);
}

TEST(LightStrPos, NeverEndsBetweenTheTwoBytesOfACharacter) {
    // A search text that ends in a lone lead byte would otherwise match the first half of ア.
    EXPECT_EQ(StrPos(Cp("xア"), "x\x83", false), npos);
    EXPECT_EQ(StrPos("x\x83", "x\x83", false), 0u);  // the text's own lone lead byte at its end
}

TEST(LightStrPos, IgnoreCaseFoldsLettersOfEveryWidth) {
    EXPECT_EQ(StrPos("README.txt", "readme", true), 0u);
    EXPECT_EQ(StrPos("README.txt", "readme", false), npos);
    EXPECT_EQ(StrPos(Cp("写真ＡＢＣ"), Cp("ａｂｃ"), true), 4u);
    EXPECT_EQ(StrPos(Cp("写真ＡＢＣ"), Cp("ａｂｃ"), false), npos);
    EXPECT_EQ(StrPos(Cp("ΑΒΓ"), Cp("βγ"), true), 2u);
    // Characters held by stand-ins have their case too.
    EXPECT_EQ(StrPos(Cp("CAFÉ"), Cp("é"), true), 3u);
    EXPECT_EQ(StrPos(Cp("CAFÉ"), Cp("é"), false), npos);
    // Kana have no case.
    EXPECT_EQ(StrPos(Cp("ｶﾅ"), Cp("カナ"), true), npos);
}

TEST(LightStrCut, StrRight) {
    EXPECT_EQ(LightStr::StrRight("abc", 0), "");
    EXPECT_EQ(LightStr::StrRight("abc", 2), "bc");
    EXPECT_EQ(LightStr::StrRight("abc", 3), "abc");
    EXPECT_EQ(LightStr::StrRight("abc", 9), "abc");
    EXPECT_EQ(LightStr::StrRight("", 2), "");
}

TEST(LightStrCut, BeforeAndAfterTheFirstDelimiter) {
    EXPECT_EQ(LightStr::StrBefore("a;b;c", ";", false), "a");
    EXPECT_EQ(LightStr::StrAfter("a;b;c", ";", false), "b;c");
    // Not found: the whole text before, nothing after.
    EXPECT_EQ(LightStr::StrBefore("a;b;c", ",", false), "a;b;c");
    EXPECT_EQ(LightStr::StrAfter("a;b;c", ",", false), "");
    EXPECT_EQ(LightStr::StrBefore("a;b;c", "", false), "a;b;c");
    EXPECT_EQ(LightStr::StrAfter("a;b;c", "", false), "");
    EXPECT_EQ(LightStr::StrBefore(";a", ";", false), "");
    EXPECT_EQ(LightStr::StrAfter("a;", ";", false), "");

    EXPECT_EQ(LightStr::StrAfter("fooXbar", "x", true), "bar");
    EXPECT_EQ(LightStr::StrAfter("fooXbar", "x", false), "");
    EXPECT_EQ(LightStr::StrBefore("fooXbar", "x", true), "foo");
    // The cut texts come from the original, not from the folded copy.
    EXPECT_EQ(LightStr::StrBefore("AbcXdEf", "x", true), "Abc");

    const std::string text = Cp("表示\\ソ\\x");
    EXPECT_EQ(LightStr::StrBefore(text, "\\", false), Cp("表示"));
    EXPECT_EQ(LightStr::StrAfter(text, "\\", false), Cp("ソ\\x"));
}

TEST(LightStrCut, TrimKeepsDoubleByteCharacters) {
    EXPECT_EQ(LightStr::Trim(" \t jpg \r\n"), "jpg");
    EXPECT_EQ(LightStr::Trim("   "), "");
    EXPECT_EQ(LightStr::Trim(""), "");
    EXPECT_EQ(LightStr::Trim(" a b ", " "), "a b");
    EXPECT_EQ(LightStr::Trim("\tx\n", " \t"), "x\n");  // only the blanks asked for
    // A full-width blank is no blank here, and a trail byte is never taken for one.
    EXPECT_EQ(LightStr::Trim(Cp(" 　ソ ")), Cp("　ソ"));
}

}  // namespace
