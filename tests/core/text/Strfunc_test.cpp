#include "core/text/Strfunc.h"

#include "core/text/Cp932.h"
#include "core/text/LightStr.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>
#include "support/Text.h"

namespace {

using Strfunc::FindForbiddenChar;
using Strfunc::QuestionReplace;
using Strfunc::StarReplace;
using Strfunc::StrReplaceEach;
using Strfunc::WildcardReplace;

using testsupport::Cp;

TEST(StrfuncPlain, ReplacesEveryOccurrenceLeftToRight) {
    EXPECT_EQ(WildcardReplace("abcabc", "b", "X", false), "aXcaXc");
    EXPECT_EQ(WildcardReplace("abcabc", "q", "X", false), "abcabc");
    EXPECT_EQ(WildcardReplace("aaa", "aa", "Z", false), "Za");      // occurrences do not overlap
    EXPECT_EQ(WildcardReplace("aaa", "a", "aa", false), "aaaaaa");  // the replacement is not searched
    EXPECT_EQ(WildcardReplace("abc", "abc", "", false), "");
    EXPECT_EQ(WildcardReplace("", "a", "Z", false), "");
}

TEST(StrfuncPlain, IgnoreCaseFindsEitherCaseAndInsertsTheReplacementAsWritten) {
    EXPECT_EQ(WildcardReplace("abc-ABC-aBc", "ABC", "xY", true), "xY-xY-xY");
    EXPECT_EQ(WildcardReplace("abc-ABC-aBc", "ABC", "xY", false), "abc-xY-aBc");
    EXPECT_EQ(WildcardReplace(Cp("ｆｏｏＦＯＯ"), Cp("Ｆｏｏ"), "_", true), "__");
    EXPECT_EQ(WildcardReplace(Cp("Ｆｏｏ"), Cp("ＦＯＯ"), "_", false), Cp("Ｆｏｏ"));
    EXPECT_EQ(WildcardReplace(Cp("café.jpg"), Cp("É"), "e", true), "cafe.jpg");
}

TEST(StrfuncPlain, TrailBytesAreNeverFound) {
    EXPECT_EQ(WildcardReplace(Cp("ソ表\\"), "\\", "_", false), Cp("ソ表_"));
    EXPECT_EQ(WildcardReplace(Cp("ポ|ポ"), "|", "_", false), Cp("ポ_ポ"));
    EXPECT_EQ(WildcardReplace(Cp("アaア"), "A", "_", true), Cp("ア_ア"));
}

TEST(StrfuncPlain, LoneWildcardsAndEmptyPatternsChangeNothing) {
    for (const bool ignoreCase : {false, true}) {
        EXPECT_EQ(WildcardReplace("name.txt", "*", "Z", ignoreCase), "name.txt");
        EXPECT_EQ(WildcardReplace("name.txt", "?", "Z", ignoreCase), "name.txt");
        EXPECT_EQ(WildcardReplace("name.txt", "", "Z", ignoreCase), "name.txt");
    }
}

TEST(StrfuncPlain, ManyMatchesInALongTextAreHandledIteratively) {
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "ab";
    EXPECT_EQ(WildcardReplace(text, "a", "", false), std::string(2000, 'b'));
    EXPECT_EQ(WildcardReplace(text, "A*B", "Z", true), std::string(2000, 'Z'));
}

TEST(StrfuncStar, LeadingAndTrailingStar) {
    EXPECT_EQ(WildcardReplace("xxabyy", "ab*", "Z", false), "xxZ");
    EXPECT_EQ(WildcardReplace("xxabyy", "*ab", "Z", false), "Zyy");
    EXPECT_EQ(WildcardReplace("xyz", "ab*", "Z", false), "xyz");
    EXPECT_EQ(WildcardReplace("xyz", "*ab", "Z", false), "xyz");
    // Only the first occurrence counts.
    EXPECT_EQ(WildcardReplace("ab-ab", "ab*", "Z", false), "Z");
    EXPECT_EQ(WildcardReplace("ab-ab-x", "*ab", "Z", false), "Z-ab-x");
    EXPECT_EQ(WildcardReplace("xxABYY", "ab*", "Z", true), "xxZ");
    EXPECT_EQ(WildcardReplace("xxABYY", "ab*", "Z", false), "xxABYY");
}

TEST(StrfuncStar, EverySpanFromXThroughTheNextY) {
    EXPECT_EQ(WildcardReplace("a1c-a2c", "a*c", "Z", false), "Z-Z");
    EXPECT_EQ(WildcardReplace("c-a1", "a*c", "Z", false), "c-a1");
    EXPECT_EQ(WildcardReplace("ac", "a*c", "Z", false), "Z");
    EXPECT_EQ(WildcardReplace("a1c2c", "a*c", "Z", false), "Z2c");  // the nearest Y closes the span
    // A Y that stands before the X does not hide the span after it.
    EXPECT_EQ(WildcardReplace("c-a1c", "a*c", "Z", false), "c-Z");
    EXPECT_EQ(WildcardReplace("a1c c-a2c", "a*c", "Z", false), "Z c-Z");
    // X and Y never share bytes: 'ab*bc' needs at least 'abbc'.
    EXPECT_EQ(WildcardReplace("abc", "ab*bc", "Z", false), "abc");
    EXPECT_EQ(WildcardReplace("abbc", "ab*bc", "Z", false), "Z");
    EXPECT_EQ(WildcardReplace("IMG-1.JPG img-2.jpg", "img*.jpg", "P", true), "P P");
    // Only the first star is a wildcard; the second is looked for as it stands.
    EXPECT_EQ(StarReplace("a1b*c", "a*b*", "Z", false), "Zc");
    EXPECT_EQ(StarReplace("a1bc", "a*b*", "Z", false), "a1bc");
}

TEST(StrfuncStar, TrailByteValuesAreNotDelimiters) {
    // ソ ends in 0x5C and ポ in 0x7C: neither closes or opens a span.
    EXPECT_EQ(WildcardReplace(Cp("xソy\\"), "x*\\", "Z", false), "Z");
    EXPECT_EQ(WildcardReplace(Cp("xソy"), "x*\\", "Z", false), Cp("xソy"));
    EXPECT_EQ(WildcardReplace(Cp("ポ|x"), "|*", "Z", false), Cp("ポZ"));
    EXPECT_EQ(WildcardReplace(Cp("写真_2024_05_07"), "_*_", Cp("＿"), false), Cp("写真＿05_07"));
}

TEST(StrfuncEach, SecondDelimiterBoundsEachSpan) {
    EXPECT_EQ(StrReplaceEach("[a] b [c]", "[", "]", "<>", false), "<> b <>");
    EXPECT_EQ(StrReplaceEach("[a] b [c", "[", "]", "<>", false), "<> b [c");
    EXPECT_EQ(StrReplaceEach("x", "", "", "Z", false), "x");
}

TEST(StrfuncQuestion, EachQuestionMarkIsOneByte) {
    EXPECT_EQ(WildcardReplace("IMG_01", "IMG_??", "Z", false), "Z");
    EXPECT_EQ(WildcardReplace("xIMG_01", "IMG_??", "Z", false), "xZ");
    EXPECT_EQ(WildcardReplace("abcd", "??", "Z", false), "Zcd");  // the first match only
    EXPECT_EQ(WildcardReplace("IMG_1", "IMG_??", "Z", false), "IMG_1");
    EXPECT_EQ(WildcardReplace("a", "a?", "Z", false), "a");  // longer than the text
    EXPECT_EQ(WildcardReplace("file-12-ab",
                              "-?"
                              "?-",
                              "_", false),
              "file_ab");  // split: not a trigraph
    // A double-byte character takes two question marks.
    EXPECT_EQ(WildcardReplace(Cp("第3版"), Cp("第?版"), "Z", false), "Z");
    EXPECT_EQ(WildcardReplace(Cp("第三版"), Cp("第?版"), "Z", false), Cp("第三版"));
    EXPECT_EQ(WildcardReplace(Cp("第三版"), Cp("第??版"), "Z", false), "Z");
    EXPECT_EQ(WildcardReplace(Cp("第3版"), Cp("第??版"), "Z", false), Cp("第3版"));
}

TEST(StrfuncQuestion, LiteralsMatchContiguously) {
    EXPECT_EQ(WildcardReplace("aXbbc", "a?c", "Z", false), "aXbbc");
    EXPECT_EQ(WildcardReplace("abXc-abc", "a?c", "Z", false), "abXc-Z");
    EXPECT_EQ(WildcardReplace("xyzb", "?b", "Z", false), "xyZ");
}

TEST(StrfuncQuestion, NeverSplitsADoubleByteCharacter) {
    // '??' cannot take 'x' and the first half of ア; it takes ア whole.
    EXPECT_EQ(WildcardReplace(Cp("xア"), "??", "Z", false), "xZ");
    EXPECT_EQ(QuestionReplace(Cp("アx"), "?", "Z", false), Cp("アZ"));
    EXPECT_EQ(QuestionReplace(Cp("ア"), "?", "Z", false), Cp("ア"));
    // A literal after a question mark may not be the trail byte of ア (83 41).
    EXPECT_EQ(WildcardReplace(Cp("ア"), "?A", "Z", false), Cp("ア"));
    EXPECT_EQ(WildcardReplace(Cp("ア"), "?a", "Z", true), Cp("ア"));
    EXPECT_EQ(WildcardReplace(Cp("アA"), "?A", "Z", false), Cp("アA"));
    EXPECT_EQ(WildcardReplace(Cp("アxA"), "?A", "Z", false), Cp("ア") + "Z");
    EXPECT_EQ(WildcardReplace(Cp("ソ\\"), "?\\", "Z", false), Cp("ソ\\"));
}

TEST(StrfuncQuestion, IgnoreCaseAndMixedWildcards) {
    EXPECT_EQ(WildcardReplace("IMG_01.JPG", "img_??", "photo", true), "photo.JPG");
    EXPECT_EQ(WildcardReplace("IMG_01.JPG", "img_??", "photo", false), "IMG_01.JPG");
    EXPECT_EQ(WildcardReplace(Cp("ｉｍｇ1"), Cp("ＩＭＧ?"), "Z", true), "Z");
    // With both wildcards nothing matches.
    EXPECT_EQ(WildcardReplace("abc", "a?*", "Z", false), "abc");
    EXPECT_EQ(QuestionReplace("abc", "a*?", "Z", false), "abc");
}

TEST(StrfuncForbidden, FirstOfTheNineInTheirOrder) {
    EXPECT_EQ(FindForbiddenChar(""), "");
    EXPECT_EQ(FindForbiddenChar("plain name"), "");
    EXPECT_EQ(FindForbiddenChar("a?b\\c"), "\\");
    // Each character wins over those after it in the order, wherever it stands in the text.
    const std::string order = "\\/:*?\"<>|";
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::string tail = order.substr(i);
        EXPECT_EQ(FindForbiddenChar(std::string(tail.rbegin(), tail.rend())), order.substr(i, 1));
    }
    // Second bytes 0x5C (ソ, 表) and 0x7C (ポ) are parts of characters, and full-width forms are
    // other characters.
    EXPECT_EQ(FindForbiddenChar(Cp("ソ表ポ＼？")), "");
    EXPECT_EQ(FindForbiddenChar(Cp("ソ表ポ|")), "|");
}

// Randomized texts over arbitrary bytes, weighted towards lead bytes, trail-byte values that are
// also ASCII, and the wildcards.
class RandomText {
public:
    explicit RandomText(unsigned seed) : engine_(seed) {}

    std::string Make(std::size_t maxLength) {
        static constexpr unsigned char kInteresting[] = {'a',  'A',  'b',  '*',  '?',  '\\', '|',  '/',  '.',
                                                         0x83, 0x81, 0x95, 0xE0, 0xFC, 0x41, 0x5C, 0x7C, 0x40,
                                                         0x7F, 0x80, 0xA0, 0xB6, 0xDE, 0xFD, 0xFF};
        std::string text(std::uniform_int_distribution<std::size_t>(0, maxLength)(engine_), '\0');
        for (char& c : text) {
            unsigned byte = std::uniform_int_distribution<unsigned>(0, 255)(engine_);
            if (byte < 160) byte = kInteresting[byte % std::size(kInteresting)];
            if (byte == kMarker) byte = 'a';
            c = static_cast<char>(byte);
        }
        return text;
    }
    static constexpr char kMarker = 0x01;  // neither a lead byte nor a possible second byte

private:
    std::mt19937 engine_;
};

// The offset of piece in text at or after from, starting and ending on character boundaries.
std::size_t FindAligned(const std::string& text, const std::string& piece, std::size_t from) {
    for (std::size_t q = from; q + piece.size() <= text.size(); ++q) {
        if (text.compare(q, piece.size(), piece) != 0 || Cp932::IsTrailByteAt(text, q)) continue;
        if (q + piece.size() < text.size() && Cp932::IsTrailByteAt(text, q + piece.size())) continue;
        return q;
    }
    return std::string::npos;
}

// A replace result keeps characters whole when the pieces between the markers are, in order,
// whole-character slices of the original.
::testing::AssertionResult KeepsCharactersWhole(const std::string& original, const std::string& result) {
    std::size_t from = 0;
    std::size_t start = 0;
    while (start <= result.size()) {
        std::size_t end = result.find(RandomText::kMarker, start);
        if (end == std::string::npos) end = result.size();
        const std::string piece = result.substr(start, end - start);
        if (!piece.empty()) {
            const std::size_t at = FindAligned(original, piece, from);
            if (at == std::string::npos) return ::testing::AssertionFailure() << "piece at " << start;
            from = at + piece.size();
        }
        start = end + 1;
    }
    return ::testing::AssertionSuccess();
}

TEST(StrfuncRandom, ArbitraryBytesNeverSplitCharacters) {
    RandomText random(20240507);
    const std::string marker(1, RandomText::kMarker);
    for (int round = 0; round < 20000; ++round) {
        const std::string text = random.Make(12);
        const std::string first = random.Make(3);
        const std::string second = random.Make(2);
        const bool ignoreCase = round % 2 == 1;
        SCOPED_TRACE(::testing::Message() << "round " << round);

        EXPECT_TRUE(KeepsCharactersWhole(text, WildcardReplace(text, first, marker, ignoreCase)));
        EXPECT_TRUE(KeepsCharactersWhole(text, StarReplace(text, first + "*" + second, marker, ignoreCase)));
        EXPECT_TRUE(
            KeepsCharactersWhole(text, QuestionReplace(text, first + "?" + second, marker, ignoreCase)));
        EXPECT_TRUE(KeepsCharactersWhole(text, StrReplaceEach(text, first, second, marker, ignoreCase)));

        const std::string before = LightStr::StrBefore(text, first, ignoreCase);
        const std::string after = LightStr::StrAfter(text, first, ignoreCase);
        EXPECT_EQ(text.compare(0, before.size(), before), 0);
        if (!before.empty()) {
            EXPECT_EQ(FindAligned(text, before, 0), 0u);
        }
        if (!after.empty()) {
            EXPECT_EQ(FindAligned(text, after, text.size() - after.size()), text.size() - after.size());
        }

        const std::string forbidden = FindForbiddenChar(text);
        if (!forbidden.empty()) {
            EXPECT_NE(FindAligned(text, forbidden, 0), std::string::npos);
        } else {
            for (const char c : std::string("\\/:*?\"<>|")) {
                EXPECT_EQ(FindAligned(text, std::string(1, c), 0), std::string::npos);
            }
        }
    }
}

}  // namespace
