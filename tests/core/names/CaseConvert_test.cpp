#include "core/names/CaseConvert.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Text.h"

namespace {

using CaseConvert::ConversionMode;
using CaseConvert::ConvertName;
using testsupport::Cp;

TEST(CaseConvert, ModeFromThePageOptions) {
    struct Case {
        int item;
        bool leaveExtensionOut;
        bool extensionOnly;
        int mode;
    };
    const Case cases[] = {
        {0, false, false, 0},
        {1, false, false, 1},
        {2, false, false, 2},
        {3, false, false, 3},
        {0, true, false, 4},
        {1, true, false, 5},
        {0, false, true, 6},
        {1, false, true, 7},
        // The extension options mean nothing to the width items.
        {2, true, false, 2},
        {3, false, true, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ConversionMode(c.item, c.leaveExtensionOut, c.extensionOnly), c.mode)
            << c.item << c.leaveExtensionOut << c.extensionOnly;
    }
}

TEST(CaseConvert, NewNamePerMode) {
    struct Case {
        const char* name;
        int mode;
        const char* expected;
    };
    const Case cases[] = {
        {"readme.txt", 0, "README.TXT"},
        {"readme.txt", 4, "README.txt"},
        {"readme.txt", 6, "readme.TXT"},
        {"ReadMe.TXT", 1, "readme.txt"},
        {"ReadMe.TXT", 5, "readme.TXT"},
        {"ReadMe.TXT", 7, "ReadMe.txt"},
        {"a.b.Txt", 4, "A.B.Txt"},  // the extension is from the last dot on
        {"αβ.txt", 0, "ΑΒ.TXT"},
        {"ｱｲ漢ｶ.txt", 0, "ｱｲ漢ｶ.TXT"},
        // Without an extension there is nothing for modes 6 and 7 to do.
        {"README", 7, "README"},
        {"readme", 6, "readme"},
        {".profile", 6, ".PROFILE"},
        {".profile", 4, ".profile"},
        // Width conversion leaves the extension alone.
        {"ｶﾞｲﾄﾞ.txt", 2, "ガイド.txt"},
        {"abc.ｔｘｔ", 2, "ａｂｃ.ｔｘｔ"},
        {"ガイド.txt", 3, "ｶﾞｲﾄﾞ.txt"},
        {"ＡＢＣ　１２３.ＴＸＴ", 3, "ABC 123.ＴＸＴ"},
        // Half width keeps every character that would become a path delimiter or forbidden.
        {"２０２４／０５.txt", 3, "2024／05.txt"},
        {"ａ：ｂ＊ｃ？ｄ”ｅ＜ｆ＞ｇ｜ｈ￥ｉ.txt", 3, "a：b＊c？d”e＜f＞g｜h￥i.txt"},
        {"／＼＂.txt", 3, "／＼＂.txt"},
        {"ｘ！＃（）．ｙ", 3, "x!#().y"},
        // Characters held by stand-ins pass through, the letters around them convert.
        {"x😀\u301C.txt", 0, "X😀\u301C.TXT"},
        {"x😀\u301C.txt", 2, "ｘ😀\u301C.txt"},
        {"ｘ😀\u301C.txt", 3, "x😀\u301C.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ConvertName(Cp(c.name), c.mode), Cp(c.expected)) << c.name << " mode " << c.mode;
    }
}

TEST(CaseConvert, StandInCharactersAreLeftByEveryMode) {
    for (const char* name : {"😀\u301C", "\u301C😀.\u301C", "𠮷😀", "🎵\u301C🎵.🎵"}) {
        for (int mode = 0; mode <= 7; ++mode)
            EXPECT_EQ(ConvertName(Cp(name), mode), Cp(name)) << name << " mode " << mode;
    }
}

TEST(CaseConvert, PlanKeepsOnlyChangedFilesInListOrder) {
    const std::vector<std::string> paths = {"/data/readme.txt", "/data/NOTE.TXT", "/data/x.Y",
                                            "/data/sub/A.TXT"};
    const CaseConvert::Plan plan = CaseConvert::PlanConversion(paths, CaseConvert::kUpper);
    // The folders keep their letters.
    EXPECT_EQ(plan.oldPaths, (std::vector<std::string>{"/data/readme.txt", "/data/x.Y"}));
    EXPECT_EQ(plan.newPaths, (std::vector<std::string>{"/data/README.TXT", "/data/X.Y"}));
    EXPECT_EQ(CaseConvert::PlanConversion(paths, CaseConvert::kUpperExt).newPaths,
              (std::vector<std::string>{"/data/readme.TXT"}));
    EXPECT_TRUE(CaseConvert::PlanConversion({"/d/a.txt"}, CaseConvert::kLower).oldPaths.empty());
}

}  // namespace
