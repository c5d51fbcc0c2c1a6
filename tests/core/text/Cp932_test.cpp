#include "core/text/Cp932.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_set>
#include <vector>
#include "support/Text.h"

namespace {

using testsupport::Cp;

bool IsStandIn(const std::string& cp) {
    if (cp.size() != 2) return false;
    const unsigned code = (static_cast<unsigned char>(cp[0]) << 8) | static_cast<unsigned char>(cp[1]);
    return code >= 0xF040 && code <= 0xF9FC;
}

std::string RoundTrip(const std::string& native) {
    const auto cp = Cp932::FromUtf8(native);
    if (!cp) return "<encode failed>";
    return Cp932::ToUtf8(*cp).value_or("<decode failed>");
}

TEST(Cp932Bytes, LeadBytesAndTrailPositions) {
    EXPECT_TRUE(Cp932::IsLeadByte(static_cast<unsigned char>(0x81)));
    EXPECT_TRUE(Cp932::IsLeadByte(static_cast<unsigned char>(0x9F)));
    EXPECT_TRUE(Cp932::IsLeadByte(static_cast<unsigned char>(0xE0)));
    EXPECT_TRUE(Cp932::IsLeadByte(static_cast<unsigned char>(0xFC)));
    for (const int b : {0x00, 0x5C, 0x7F, 0x80, 0xA0, 0xA1, 0xDF, 0xFD, 0xFF}) {
        EXPECT_FALSE(Cp932::IsLeadByte(static_cast<unsigned char>(b))) << b;
    }
    // "aソb": the 0x5C of ソ (0x835C) is a trail byte, not a backslash.
    const std::string text =
        "a\x83\x5C"
        "b";
    EXPECT_FALSE(Cp932::IsTrailByteAt(text, 0));
    EXPECT_FALSE(Cp932::IsTrailByteAt(text, 1));
    EXPECT_TRUE(Cp932::IsTrailByteAt(text, 2));
    EXPECT_FALSE(Cp932::IsTrailByteAt(text, 3));
    // Two double-byte characters in a row: the trail byte of the first is a lead-byte value.
    const std::string kana = "\x83\x81\x83\x5C";  // メソ
    EXPECT_TRUE(Cp932::IsTrailByteAt(kana, 1));
    EXPECT_FALSE(Cp932::IsTrailByteAt(kana, 2));
    EXPECT_TRUE(Cp932::IsTrailByteAt(kana, 3));
    // A lead byte at the very end stands alone.
    EXPECT_EQ(Cp932::CharLength("a\x83", 1), 1u);
}

TEST(Cp932Codec, CodePageCharactersUseTheirStandardCodes) {
    EXPECT_EQ(Cp("abc/."), "abc/.");
    EXPECT_EQ(Cp("ソ表"), "\x83\x5C\x95\x5C");
    EXPECT_EQ(Cp("ｶﾞ"), "\xB6\xDE");
    EXPECT_EQ(Cp("～"), "\x81\x60");  // U+FF5E FULLWIDTH TILDE is the code page's wave dash
    EXPECT_EQ(Cp("①"), "\x87\x40");   // NEC special row
    EXPECT_EQ(Cp("ⅰ"), "\xFA\x40");   // canonical code of a duplicated IBM extension
    EXPECT_EQ(Cp932::ToUtf8("\xEE\xEF").value_or(""), "ⅰ");  // its NEC-selected duplicate decodes too
}

TEST(Cp932Codec, EveryClassOfNameRoundTripsByteForByte) {
    const std::vector<std::string> names = {
        "plain.txt",
        "写真 2024年5月.JPG",
        "ﾊﾝｶｸｶﾅ.txt",
        "emoji 😀🎉.png",
        "hanzi 们这.txt",            // outside JIS
        "wave 〜 dash",              // U+301C, not in the code page
        "private \xEE\x80\x80.txt",  // U+E000
        "accents éÉ ñ ß",
        "invalid \xFF\xFE bytes",
        "truncated \xE3\x81",
        "overlong \xC0\xAF",
        "surrogate \xED\xA0\x80",
        "nbsp\xC2\xA0"
        "and ¬",  // ¬ only best-fits into the code page, so it needs a stand-in
        "\x01\x1F control",
    };
    for (const std::string& name : names)
        EXPECT_EQ(RoundTrip(name), name) << name;
}

TEST(Cp932Codec, StandInsAreDoubleByteAndRemembered) {
    const std::string grin = Cp("😀");
    EXPECT_TRUE(IsStandIn(grin));
    EXPECT_EQ(Cp("😀"), grin);
    EXPECT_NE(Cp("🎉"), grin);
    EXPECT_TRUE(IsStandIn(Cp("〜")));
    EXPECT_TRUE(IsStandIn(Cp("\xEE\x80\x80")));
    // A private-use character never takes the standard user-defined code 0xF040 by another route.
    const auto raw = Cp932::FromUtf8("\xFF");
    ASSERT_TRUE(raw.has_value());
    EXPECT_TRUE(IsStandIn(*raw));
    EXPECT_NE(*raw, Cp("\xC3\xBF"));  // the byte 0xFF is not the character ÿ
}

TEST(Cp932Codec, TextThatNothingMapsToFailsOrIsReplaced) {
    EXPECT_FALSE(Cp932::ToUtf8("a\x83").has_value());     // lead byte at the end
    EXPECT_FALSE(Cp932::ToUtf8("\x85\x40").has_value());  // unassigned row
    EXPECT_FALSE(Cp932::ToUtf8("\x80").has_value());
    EXPECT_FALSE(Cp932::ToUtf8("\xF9\xFC").has_value());  // a stand-in not (yet) given out
    EXPECT_EQ(Cp932::ToUtf8Lossy("a\x85\x40z"), "a\xEF\xBF\xBDz");
}

TEST(Cp932Codec, LegacyFilesDecodeByTheStandardTable) {
    EXPECT_EQ(Cp932::LegacyToUtf8("C:\\\x83\x5C\x95\x5C"), "C:\\ソ表");
    EXPECT_EQ(Cp932::LegacyToUtf8("\xF0\x40"), "\xEE\x80\x80");  // user-defined area → U+E000
    EXPECT_EQ(Cp932::LegacyToUtf8("\x80x"), "\x80x");            // undecodable bytes stay
    EXPECT_TRUE(Cp932::IsValidUtf8("写真"));
    EXPECT_FALSE(Cp932::IsValidUtf8("\x83\x5C"));
}

// Runs in a child process: takes every stand-in, then checks that conversion fails cleanly.
[[noreturn]] void ExhaustStandIns() {
    bool failed = false;
    bool lossless = true;
    bool shaped = true;
    std::unordered_set<std::string> given;
    const auto lead = [](const std::string& cp, std::size_t i) { return static_cast<unsigned char>(cp[i]); };
    // Every character outside the basic plane needs a stand-in of its own, until none is left.
    for (char32_t u = 0x20000; u < 0x20000 + Cp932::kStandInCapacity + 10 && !failed; ++u) {
        const std::string utf8 = {
            static_cast<char>(0xF0 | (u >> 18)), static_cast<char>(0x80 | ((u >> 12) & 0x3F)),
            static_cast<char>(0x80 | ((u >> 6) & 0x3F)), static_cast<char>(0x80 | (u & 0x3F))};
        const auto cp = Cp932::FromUtf8("name " + utf8);
        if (!cp) {
            failed = true;
            continue;
        }
        const std::string code = cp->substr(5);
        lossless = lossless && Cp932::ToUtf8(*cp) == "name " + utf8 && given.insert(code).second;
        // A single code from the first six leads, or a pair: a first code from the next two leads
        // and a second code from the last two, so neither half can be taken for a single one.
        const bool single = code.size() == 2 && lead(code, 0) >= 0xF0 && lead(code, 0) <= 0xF5;
        const bool pair = code.size() == 4 && (lead(code, 0) == 0xF6 || lead(code, 0) == 0xF7) &&
                          (lead(code, 2) == 0xF8 || lead(code, 2) == 0xF9);
        shaped = shaped && (single || pair);
        // Neither half of a pair is a character on its own.
        if (pair && (Cp932::ToUtf8(code.substr(0, 2)) || Cp932::ToUtf8(code.substr(2)))) shaped = false;
    }
    const bool full = Cp932::StandInsInUse() == Cp932::kStandInCapacity;
    // Names that need no new stand-in still convert.
    const bool plainStillWorks = Cp932::FromUtf8("写真.jpg").has_value();
    std::exit(failed && lossless && shaped && full && plainStillWorks ? 0 : 1);
}

TEST(Cp932Codec, ExhaustedStandInsFailCleanly) {
    EXPECT_EXIT(ExhaustStandIns(), ::testing::ExitedWithCode(0), "");
}

TEST(Cp932Case, LettersChangeAndLengthsNever) {
    EXPECT_EQ(Cp932::ToUpper("readme.txt"), "README.TXT");
    EXPECT_EQ(Cp932::ToLower("README.TXT"), "readme.txt");
    EXPECT_EQ(Cp932::ToUpper(Cp("ａｂｃ αβ дж ⅰⅱ")), Cp("ＡＢＣ ΑΒ ДЖ ⅠⅡ"));
    EXPECT_EQ(Cp932::ToLower(Cp("ＡＢＣ ΑΒ ДЖ ⅠⅡ")), Cp("ａｂｃ αβ дж ⅰⅱ"));
    // Kana, half-width kana and kanji never change; neither does the Angstrom sign.
    for (const char* fixed : {"かなカナ漢字", "ｶﾅ", "\xE2\x84\xAB" /* Angstrom sign */, "ソ表"}) {
        EXPECT_EQ(Cp932::ToUpper(Cp(fixed)), Cp(fixed)) << fixed;
        EXPECT_EQ(Cp932::ToLower(Cp(fixed)), Cp(fixed)) << fixed;
    }
    // Characters held by stand-ins: each case its own stand-in.
    const std::string lower = Cp("é");
    const std::string upper = Cp932::ToUpper(lower);
    EXPECT_TRUE(IsStandIn(upper));
    EXPECT_EQ(Cp932::ToUtf8(upper).value_or(""), "É");
    EXPECT_EQ(Cp932::ToLower(upper), lower);
    // A stand-in character whose other case is in the code page becomes that character.
    EXPECT_EQ(Cp932::ToUpper(Cp("ς")), Cp("Σ"));
    // The ß has no single-character upper case; a raw byte has no case at all.
    EXPECT_EQ(Cp932::ToUpper(Cp("ß")), Cp("ß"));
    EXPECT_EQ(Cp932::ToUpper(Cp("\xFF")), Cp("\xFF"));
    // The trail byte of ア (0x8341) is not the letter A.
    EXPECT_EQ(Cp932::ToLower("\x83\x41"), "\x83\x41");
    EXPECT_EQ(Cp932::ToLower("a\x83"), "a\x83");
}

TEST(Cp932Order, FoldsLettersAndBreaksTiesByBytes) {
    EXPECT_LT(Cp932::CompareNoCase("abc", "ABD"), 0);
    EXPECT_GT(Cp932::CompareNoCase("b", "A"), 0);
    EXPECT_NE(Cp932::CompareNoCase("abc", "ABC"), 0);  // total: a tie on letters is broken by bytes
    EXPECT_EQ(Cp932::CompareNoCase("abc", "abc"), 0);
    EXPECT_LT(Cp932::CompareNoCase("a_b", "ab"), 0);  // '_' sorts before letters
    EXPECT_LT(Cp932::CompareNoCase(Cp("ａ"), Cp("Ｂ")), 0);

    std::vector<std::string> paths = {"/a/z.txt", "/a/sub/c.txt", "/a/B.txt", "/a/b.txt", "/a/A.txt"};
    Cp932::SortNoCase(paths);
    EXPECT_EQ(paths,
              (std::vector<std::string>{"/a/A.txt", "/a/B.txt", "/a/b.txt", "/a/sub/c.txt", "/a/z.txt"}));
}

TEST(Cp932Order, SortAgreesWithCompareOnRandomTexts) {
    std::mt19937 rng(7);
    const std::vector<std::string> pieces = {"a",        "A",        "b", "_", "\x83\x41",
                                             "\x82\x60", "\x82\x81", "1", "/", "."};
    std::vector<std::string> texts;
    for (int i = 0; i < 300; ++i) {
        std::string t;
        for (int n = static_cast<int>(rng() % 5); n >= 0; --n)
            t += pieces[rng() % pieces.size()];
        texts.push_back(t);
    }
    Cp932::SortNoCase(texts);
    for (std::size_t i = 1; i < texts.size(); ++i)
        EXPECT_LE(Cp932::CompareNoCase(texts[i - 1], texts[i]), 0);
}

TEST(Cp932EqualNoCase, CaseOnlyDifferencesOfEveryKind) {
    EXPECT_TRUE(Cp932::EqualNoCase("/a/IMG_0001.JPG", "/A/img_0001.jpg"));
    EXPECT_TRUE(Cp932::EqualNoCase(Cp("写真Ａ.txt"), Cp("写真ａ.TXT")));  // full-width letters
    EXPECT_FALSE(Cp932::EqualNoCase("w1_0001.jpg", "w2_0001.jpg"));
    EXPECT_FALSE(Cp932::EqualNoCase("abc", "abcd"));
    // 0x41 and 0x61 as trail bytes are no letters: ア (83 41) and ム (83 80) and so on stay apart.
    EXPECT_FALSE(Cp932::EqualNoCase("\x83\x41", "\x83\x61"));
    EXPECT_TRUE(Cp932::EqualNoCase("", ""));
}

TEST(Cp932EqualNoCase, AgreesWithComparingLowerCaseForms) {
    // Pieces that case mapping changes, leaves alone, or that hold letters as trail bytes.
    const std::vector<std::string> pieces = {"a",        "A",        "0",    "1",        "_",
                                             ".",        "/",        "z",    "\x82\x60", "\x82\x81",
                                             "\x83\x41", "\x83\x61", "\xB1", "\x95\x5C", "\x81"};
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 6);
    for (int round = 0; round < 20000; ++round) {
        std::string a;
        std::string b;
        for (int n = length(rng); n > 0; --n) {
            const std::string& piece = pieces[pick(rng)];
            a += piece;
            b += rng() % 3 == 0 ? pieces[pick(rng)] : (rng() % 2 == 0 ? Cp932::ToUpper(piece) : piece);
        }
        ASSERT_EQ(Cp932::EqualNoCase(a, b), Cp932::ToLower(a) == Cp932::ToLower(b))
            << ::testing::PrintToString(a) << " " << ::testing::PrintToString(b);
    }
}

TEST(Cp932Order, LazyComparisonAgreesWithComparingLowerCaseForms) {
    const std::vector<std::string> pieces = {"a",        "A",        "_",    "/",   "\x82\x60",
                                             "\x82\x81", "\x83\x41", "\xB1", "\x81"};
    std::mt19937 rng(11);
    for (int round = 0; round < 20000; ++round) {
        std::string a;
        std::string b;
        for (int n = static_cast<int>(rng() % 6); n > 0; --n)
            a += pieces[rng() % pieces.size()];
        for (int n = static_cast<int>(rng() % 6); n > 0; --n)
            b += pieces[rng() % pieces.size()];
        const int byKeys = Cp932::ToLower(a).compare(Cp932::ToLower(b));
        const int expected = byKeys != 0 ? byKeys : a.compare(b);
        ASSERT_EQ(Cp932::CompareNoCase(a, b) < 0, expected < 0)
            << ::testing::PrintToString(a) << " " << ::testing::PrintToString(b);
        ASSERT_EQ(Cp932::CompareNoCase(a, b) == 0, expected == 0);
    }
}

}  // namespace
