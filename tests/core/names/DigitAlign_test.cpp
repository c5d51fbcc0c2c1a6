#include "core/names/DigitAlign.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Text.h"

namespace {

using DigitAlign::Kind;
using testsupport::Cp;

TEST(DigitAlign, SplitOfABase) {
    struct Case {
        const char* base;
        Kind kind;
        const char* head;
        const char* run;
        const char* tail;
    };
    const Case cases[] = {
        {"img1", Kind::Trailing, "img", "1", ""},
        {"2020_05_3", Kind::Trailing, "2020_05_", "3", ""},  // ends in a digit: only the last run
        {"12abc34", Kind::Trailing, "12abc", "34", ""},
        {"123", Kind::Trailing, "", "123", ""},
        {"5 intro", Kind::Leading, "", "5", " intro"},
        {"007x9y", Kind::Leading, "", "007", "x9y"},
        {"track1_final", Kind::Inner, "track", "1", "_final"},
        {"a12b34c", Kind::Inner, "a", "12", "b34c"},
        {"ソ表1x", Kind::Inner, "ソ表", "1", "x"},  // 0x5C trail bytes are no digits
        {"readme", Kind::None, "", "", ""},
        {"１２３", Kind::None, "", "", ""},  // full-width digits are not digits here
        {"", Kind::None, "", "", ""},
    };
    for (const Case& c : cases) {
        const std::string base = Cp(c.base);
        const DigitAlign::Split split = DigitAlign::SplitBase(base);
        EXPECT_EQ(split.kind, c.kind) << c.base;
        EXPECT_EQ(split.head, Cp(c.head)) << c.base;
        EXPECT_EQ(split.run, Cp(c.run)) << c.base;
        EXPECT_EQ(split.tail, Cp(c.tail)) << c.base;
    }
}

TEST(DigitAlign, PreviewPadsToTheLongestRun) {
    struct Case {
        const char* what;
        std::vector<std::string> names;
        std::size_t width;
        std::vector<std::string> from;  // the files that change, in list order
        std::vector<std::string> to;
    };
    const Case cases[] = {
        {"trailing runs",
         {"img1.jpg", "img10.jpg", "img100.jpg"},
         3,
         {"img1.jpg", "img10.jpg"},
         {"img001.jpg", "img010.jpg"}},
        {"inner run", {"track1_final.wav", "track12_x.wav"}, 2, {"track1_final.wav"}, {"track01_final.wav"}},
        {"leading run", {"5 intro.mp3", "10 outro.mp3"}, 2, {"5 intro.mp3"}, {"05 intro.mp3"}},
        {"only the final run of a trailing base",
         {"2020_05_3.txt", "x10.txt"},
         2,
         {"2020_05_3.txt"},
         {"2020_05_03.txt"}},
        {"digits in the extension do not count",
         {"readme.txt", "file.2", "a1.mp3", "b22.mp3"},
         2,
         {"a1.mp3"},
         {"a01.mp3"}},
        {"all-digit bases", {"7.txt", "123.txt", "45"}, 3, {"7.txt", "45"}, {"007.txt", "045"}},
        {"an empty base is passed over", {".1234", "a1", "b10"}, 2, {"a1"}, {"a01"}},
        {"equal widths: nothing to do", {"a1.txt", "b2.txt", "c.txt"}, 1, {}, {}},
        {"no digits at all", {"a.txt", "b.12"}, 0, {}, {}},
        {"double-byte names", {"写真1.jpg", "写真10.jpg"}, 2, {"写真1.jpg"}, {"写真01.jpg"}},
    };
    const std::string folder = "/photos 2024/";  // digits in the folder never count either
    const auto inFolder = [&folder](const std::vector<std::string>& names) {
        std::vector<std::string> paths;
        paths.reserve(names.size());
        for (const std::string& name : names)
            paths.push_back(folder + Cp(name));
        return paths;
    };
    for (const Case& c : cases) {
        const DigitAlign::Plan plan = DigitAlign::Preview(inFolder(c.names));
        EXPECT_EQ(plan.width, c.width) << c.what;
        EXPECT_EQ(plan.oldPaths, inFolder(c.from)) << c.what;
        EXPECT_EQ(plan.newPaths, inFolder(c.to)) << c.what;
    }
}

}  // namespace
