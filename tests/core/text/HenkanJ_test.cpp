#include "core/text/HenkanJ.h"

#include "core/text/Cp932.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>
#include "support/Text.h"

namespace {

using HenkanJ::ToFullWidth;
using HenkanJ::ToHalfWidth;

using testsupport::Cp;

const char* const kHalfSymbols = " !\"#$%&'()=`|-^\\~{@[+*};:]<>?_､｡･,./ｰ｢｣";
const char* const kFullSymbols =
    "　！”＃＄％＆’（）＝‘｜－＾￥￣｛＠［＋＊｝；：］＜＞？＿、。・，．／ー「」";

TEST(HenkanJFull, LettersDigitsAndSymbols) {
    EXPECT_EQ(ToFullWidth("abc-1.txt"), Cp("ａｂｃ－１．ｔｘｔ"));
    EXPECT_EQ(ToFullWidth("09AZaz"), Cp("０９ＡＺａｚ"));
    EXPECT_EQ(ToFullWidth(Cp(kHalfSymbols)), Cp(kFullSymbols));
    EXPECT_EQ(Cp(kFullSymbols).size(), 78u);
    EXPECT_EQ(ToFullWidth("\\"), "\x81\x8F");  // ￥
    // Bytes that are neither in a table nor lead bytes stay as they are.
    const std::string untouched("\x00\x1F\x7F\x80\xA0\xFD\xFE\xFF", 8);
    EXPECT_EQ(ToFullWidth(untouched), untouched);
}

TEST(HenkanJFull, DoubleByteCharactersAreCopied) {
    for (const char* text : {"漢字", "ソ表ポ", "ガ゛", "ａＢ", "αΩ", "😀é"}) {
        EXPECT_EQ(ToFullWidth(Cp(text)), Cp(text)) << text;
    }
    // A lead byte at the very end stands alone.
    EXPECT_EQ(ToFullWidth("a\x83"), Cp("ａ") + "\x83");
}

TEST(HenkanJFull, HalfWidthKana) {
    EXPECT_EQ(ToFullWidth(Cp("ｦｧｨｩｪｫｬｭｮｯｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝ")),
              Cp("ヲァィゥェォャュョッアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモ"
                 "ヤユヨラリルレロワン"));
    EXPECT_EQ(ToFullWidth(Cp("ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ")),
              Cp("ガギグゲゴザジズゼゾダヂヅデドバビブベボ"));
    EXPECT_EQ(ToFullWidth(Cp("ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ")), Cp("パピプペポ"));
}

TEST(HenkanJFull, SoundMarksThatDoNotCombine) {
    EXPECT_EQ(ToFullWidth(Cp("ｱﾞ")), Cp("ア゛"));
    EXPECT_EQ(ToFullWidth(Cp("ｳﾞ")), Cp("ウ゛"));  // not ヴ
    EXPECT_EQ(ToFullWidth(Cp("ｶﾟ")), Cp("カ゜"));
    EXPECT_EQ(ToFullWidth(Cp("ﾝﾟ")), Cp("ン゜"));
    // Not after a kana: the mark stays half-width.
    EXPECT_EQ(ToFullWidth(Cp("ﾞｱ")), Cp("ﾞア"));
    EXPECT_EQ(ToFullWidth(Cp("aﾟ")), Cp("ａﾟ"));
    EXPECT_EQ(ToFullWidth(Cp("ｰﾞ")), Cp("ーﾞ"));
    // A mark is taken up once.
    EXPECT_EQ(ToFullWidth(Cp("ｶﾞﾞ")), Cp("ガﾞ"));
    EXPECT_EQ(ToFullWidth(Cp("ｱﾞﾞ")), Cp("ア゛ﾞ"));
    EXPECT_EQ(ToFullWidth(Cp("ｶﾞｲﾄﾞ")), Cp("ガイド"));
}

TEST(HenkanJHalf, KatakanaAndHiragana) {
    EXPECT_EQ(
        ToHalfWidth(Cp("ァアィイゥウェエォオカガキギクグケゲコゴサザシジスズセゼソゾタダチヂッツヅテデトド"
                       "ナニヌネノハバパヒビピフブプヘベペホボポマミムメモャヤュユョヨラリルレロヮワヰヱヲン"
                       "ヴヵヶ")),
        Cp("ｧｱｨｲｩｳｪｴｫｵｶｶﾞｷｷﾞｸｸﾞｹｹﾞｺｺﾞｻｻﾞｼｼﾞｽｽﾞｾｾﾞｿｿﾞﾀﾀﾞﾁﾁﾞｯﾂﾂﾞﾃﾃﾞﾄﾄﾞ"
           "ﾅﾆﾇﾈﾉﾊﾊﾞﾊﾟﾋﾋﾞﾋﾟﾌﾌﾞﾌﾟﾍﾍﾞﾍﾟﾎﾎﾞﾎﾟﾏﾐﾑﾒﾓｬﾔｭﾕｮﾖﾗﾘﾙﾚﾛﾜﾜｲｴｵﾝ"
           "ｳﾞｶｹ"));
    EXPECT_EQ(ToHalfWidth(
                  Cp("ぁあぃいぅうぇえぉおかがきぎくぐけげこごさざしじすずせぜそぞただちぢっつづてでとど"
                     "なにぬねのはばぱひびぴふぶぷへべぺほぼぽまみむめもゃやゅゆょよらりるれろゎわゐゑをん")),
              Cp("ｧｱｨｲｩｳｪｴｫｵｶｶﾞｷｷﾞｸｸﾞｹｹﾞｺｺﾞｻｻﾞｼｼﾞｽｽﾞｾｾﾞｿｿﾞﾀﾀﾞﾁﾁﾞｯﾂﾂﾞﾃﾃﾞﾄﾄﾞ"
                 "ﾅﾆﾇﾈﾉﾊﾊﾞﾊﾟﾋﾋﾞﾋﾟﾌﾌﾞﾌﾟﾍﾍﾞﾍﾟﾎﾎﾞﾎﾟﾏﾐﾑﾒﾓｬﾔｭﾕｮﾖﾗﾘﾙﾚﾛﾜﾜｲｴｵﾝ"));
    EXPECT_EQ(ToHalfWidth(Cp("がぱヴ")), Cp("ｶﾞﾊﾟｳﾞ"));
    EXPECT_EQ(ToHalfWidth(Cp("ヲ")), Cp("ｵ"));
}

TEST(HenkanJHalf, LettersDigitsAndSymbols) {
    EXPECT_EQ(ToHalfWidth(Cp("ＡＢＣ　１２３")), "ABC 123");
    EXPECT_EQ(ToHalfWidth(Cp("０１２３４５６７８９ＡＺａｚ")), "0123456789AZaz");
    EXPECT_EQ(ToHalfWidth(Cp(kFullSymbols)), Cp(kHalfSymbols));
    EXPECT_EQ(ToHalfWidth(Cp("￥")), "\\");
}

TEST(HenkanJHalf, EverythingElseIsCopied) {
    for (const char* text : {"゛゜", "漢字表示", "αΩЖ", "＼〜①", "ﾊﾝｶｸabc", "😀é"}) {
        EXPECT_EQ(ToHalfWidth(Cp(text)), Cp(text)) << text;
    }
    EXPECT_EQ(ToHalfWidth("a\x82"), "a\x82");  // a lead byte at the very end
    // Codes that hold no character: a second byte outside the code page's range, the columns of
    // row 0x24 after ん, and columns of row 0x23 other than digits and letters.
    for (const char* code :
         {"\x82\x30", "\x82\x7F", "\x82\xF2", "\x82\xF4", "\x82\x40", "\x82\x4E", "\x82\x7B"}) {
        EXPECT_EQ(ToHalfWidth(code), code);
    }
}

TEST(HenkanJRoundTrip, HalfToFullAndBack) {
    // Classes that come back whole: letters and digits, the table's symbols, kana other than ｦ,
    // kana with a mark they take, and a mark at the very start.
    std::vector<std::string> tokens;
    for (char c = '0'; c <= '9'; ++c)
        tokens.emplace_back(1, c);
    for (char c = 'A'; c <= 'Z'; ++c)
        tokens.emplace_back(1, c);
    for (char c = 'a'; c <= 'z'; ++c)
        tokens.emplace_back(1, c);
    for (const char c : Cp(kHalfSymbols))
        tokens.emplace_back(1, c);
    for (unsigned b = 0xA7; b <= 0xDD; ++b) {
        if (b != 0xB0) tokens.emplace_back(1, static_cast<char>(b));
    }
    for (unsigned b = 0xB6; b <= 0xC4; ++b)
        tokens.push_back(std::string(1, static_cast<char>(b)) + "\xDE");
    for (unsigned b = 0xCA; b <= 0xCE; ++b) {
        tokens.push_back(std::string(1, static_cast<char>(b)) + "\xDE");
        tokens.push_back(std::string(1, static_cast<char>(b)) + "\xDF");
    }

    std::mt19937 engine(4711);
    std::uniform_int_distribution<std::size_t> pick(0, tokens.size() - 1);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        if (round % 3 == 0) text = round % 2 ? "\xDE" : "\xDF";
        for (int i = round % 9; i >= 0; --i)
            text += tokens[pick(engine)];
        EXPECT_EQ(ToHalfWidth(ToFullWidth(text)), text) << Cp932::ToUtf8Lossy(text);
    }
}

TEST(HenkanJRoundTrip, StatedExceptions) {
    EXPECT_EQ(ToHalfWidth(ToFullWidth(Cp("ｦ"))), Cp("ｵ"));
    EXPECT_EQ(ToHalfWidth(ToFullWidth(Cp("ｳﾞ"))), Cp("ｳ゛"));
    EXPECT_EQ(ToHalfWidth(ToFullWidth(Cp("ｻﾟ"))), Cp("ｻ゜"));
}

TEST(HenkanJRandom, ArbitraryBytesAreConvertedCharacterByCharacter) {
    std::mt19937 engine(1234);
    std::uniform_int_distribution<unsigned> byte(0, 255);
    std::uniform_int_distribution<std::size_t> length(0, 16);
    for (int round = 0; round < 20000; ++round) {
        std::string text(length(engine), '\0');
        for (char& c : text)
            c = static_cast<char>(byte(engine));
        SCOPED_TRACE(::testing::Message() << "round " << round);

        const std::string half = ToHalfWidth(text);
        const std::string full = ToFullWidth(text);
        EXPECT_LE(half.size(), text.size());
        EXPECT_LE(full.size(), text.size() * 2);

        // Each character converts on its own in ToHalfWidth, and a double-byte character also
        // cuts ToFullWidth's work in two (no sound mark is a lead byte).
        std::string halfByCharacter;
        for (std::size_t i = 0; i < text.size();) {
            const std::size_t len = Cp932::CharLength(text, i);
            halfByCharacter += ToHalfWidth(text.substr(i, len));
            if (len == 2) {
                EXPECT_EQ(ToFullWidth(text.substr(i, 2)), text.substr(i, 2));
                EXPECT_EQ(full, ToFullWidth(text.substr(0, i)) + ToFullWidth(text.substr(i)));
            }
            i += len;
        }
        EXPECT_EQ(half, halfByCharacter);
    }
}

}  // namespace
