#include "core/names/RegexRename.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/run/RunControl.h"
#include "core/text/Cp932.h"
#include "support/Text.h"

namespace {

using RegexRename::Prepare;
using RegexRename::Prepared;
using RegexRename::Preview;
using RegexRename::Refusal;
using testsupport::Cp;

const std::string kFolder = "/photos/";

// The new file names (UTF-8) of one preview, "*" after each the file system cannot take.
std::vector<std::string> NewNames(const Preview& preview) {
    std::vector<std::string> names;
    for (std::size_t k = 0; k < preview.newPaths.size(); ++k) {
        std::string name = Cp932::ToUtf8(preview.newPaths[k].substr(kFolder.size())).value();
        for (const std::size_t unusable : preview.unusable) {
            if (unusable == k) name += "*";
        }
        names.push_back(name);
    }
    return names;
}

TEST(RegexRenameCheck, FirstFailingCheckWinsWithItsDetail) {
    using RegexRename::PatternError;
    struct Case {
        const char* target;
        const char* replacement;
        Refusal refusal;
        const char* detail;
        PatternError error;
        std::size_t position;
    };
    const std::string deep = std::string(300, '(') + std::string(300, ')');
    const Case cases[] = {
        {"", "a/", Refusal::EmptyTarget, "", PatternError::kNone, 0},
        {"(abc", "a/", Refusal::BadPattern, "", PatternError::kParentheses, 5},
        // Characters are counted, not bytes: the bracket is the third character.
        {"旅行(", "", Refusal::BadPattern, "", PatternError::kParentheses, 4},
        {"a)", "", Refusal::BadPattern, "", PatternError::kParentheses, 2},
        {"[ab", "", Refusal::BadPattern, "", PatternError::kParentheses, 4},
        {R"(a\)", "", Refusal::BadPattern, "", PatternError::kEscape, 3},
        {R"(\p{Nope})", "", Refusal::BadPattern, "", PatternError::kEscape, 9},
        // A byte of a character would cut names into pieces that are no text.
        {R"(旅\C)", "", Refusal::BadPattern, "", PatternError::kSingleByte, 4},
        {"*a", "", Refusal::BadPattern, "", PatternError::kQuantifier, 1},
        {"a{3,2}", "", Refusal::BadPattern, "", PatternError::kQuantifier, 6},
        {"(?<=a+)b", "", Refusal::BadPattern, "", PatternError::kLookbehind, 1},
        {deep.c_str(), "", Refusal::BadPattern, "", PatternError::kTooComplex, 252},
        {R"((?=a\K))", "", Refusal::BadPattern, "", PatternError::kOther, 8},
        {"[z-a]", "", Refusal::BadPattern, "", PatternError::kOther, 4},
        {"(a)(b)", "$3/", Refusal::MissingGroup, "$3", PatternError::kNone, 0},
        {"(a)", "${10}", Refusal::MissingGroup, "${10}", PatternError::kNone, 0},
        {"(?<year>a)", "${month}", Refusal::MissingGroup, "${month}", PatternError::kNone, 0},
        {"(?<year>a)", "$yea", Refusal::MissingGroup, "$yea", PatternError::kNone, 0},
        {"(a)", "${}", Refusal::MissingGroup, "${}", PatternError::kNone, 0},
        {"(a)", "$1:$1", Refusal::ForbiddenInReplacement, ":", PatternError::kNone, 0},
        {"a", "x\\y/", Refusal::ForbiddenInReplacement, "\\", PatternError::kNone, 0},  // in the fixed order
        // Forbidden characters of the pattern are fine: it is never part of a name.
        {"a|b", "", Refusal::None, "", PatternError::kNone, 0},
        {R"((?<year>\d{4})(\d\d))", "${year}-$2$0$$", Refusal::None, "", PatternError::kNone, 0},
        {"(a)", "US$", Refusal::None, "", PatternError::kNone, 0},     // a "$" that starts no reference
        {"(a)", "ソ表{}", Refusal::None, "", PatternError::kNone, 0},  // 0x5C as a second byte is text
        {"(a)", "${マ", Refusal::None, "", PatternError::kNone, 0},    // so is 0x7D: no closing brace
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.target) + " / " + c.replacement);
        const Prepared p = Prepare(Cp(c.target), Cp(c.replacement), false);
        EXPECT_EQ(p.check.refusal, c.refusal);
        EXPECT_EQ(p.check.detail, Cp(c.detail));
        EXPECT_EQ(p.check.error, c.error);
        EXPECT_EQ(p.check.position, c.position);
        EXPECT_EQ(p.replacer != nullptr, c.refusal == Refusal::None);
    }
}

TEST(RegexRenamePreview, ReplacesEveryMatchInTheProcessedPart) {
    struct Case {
        const char* title;
        std::vector<std::string> names;  // UTF-8
        const char* target;
        const char* replacement;
        bool includeExtension;
        bool caseSensitive;
        std::vector<std::size_t> kept;
        std::vector<std::string> newNames;
    };
    const Case cases[] = {
        {"groups",
         {"20240501_旅行.jpg", "memo.txt"},
         R"((\d{4})(\d{2})(\d{2}))",
         "$1-$2-$3",
         false,
         false,
         {0},
         {"2024-05-01_旅行.jpg"}},
        {"named groups, braces and a dollar",
         {"20240501_旅行.jpg"},
         R"((?<y>\d{4})(?<m>\d\d)(?<d>\d\d)_(?<what>.+))",
         "${what}_$y年${m}月${d}日$$",
         false,
         false,
         {0},
         {"旅行_2024年05月01日$.jpg"}},
        {"the whole match and an unset group",
         {"abc.txt"},
         "(x)?b",
         "[$0$1]",
         false,
         false,
         {0},
         {"a[b]c.txt"}},
        {"every match", {"banana.txt"}, "a", "o", false, false, {0}, {"bonono.txt"}},
        {"empty matches between the characters",
         {"ab旅.txt"},
         "x*",
         "-",
         false,
         false,
         {0},
         {"-a-b-旅-.txt"}},
        {"a match right after another may be empty", {"ab.txt"}, "b*", "-", false, false, {0}, {"-a--.txt"}},
        {"a name two groups share: the one that took part",
         {"ab.txt"},
         "(?J)(?<n>a)|(?<n>b)",
         "[$n]",
         false,
         false,
         {0},
         {"[a][b].txt"}},
        {"a dot is one character of any script",
         {"旅行.txt", "😀ab.txt"},
         "^(.)(.)",
         "$2$1",
         false,
         false,
         {0, 1},
         {"行旅.txt", "a😀b.txt"}},
        {"Unicode classes",
         {"abc日本語def.txt", "ひらがなカタカナ.txt"},
         R"(\p{Han}+|\p{Hiragana}+)",
         "_",
         false,
         false,
         {0, 1},
         {"abc_def.txt", "_カタカナ.txt"}},
        {"full-width digits are digits", {"写真１２.jpg"}, R"(\d+)", "#", false, false, {0}, {"写真#.jpg"}},
        {"case ignored",
         {"img_Img_IMG.jpg", "ＩＭＧ.jpg"},
         "img|ｉｍｇ",
         "P",
         false,
         false,
         {0, 1},
         {"P_P_P.jpg", "P.jpg"}},
        {"case kept", {"img_Img_IMG.jpg"}, "img", "P", false, true, {0}, {"P_Img_IMG.jpg"}},
        {"the extension left out", {"a.jpeg", "jpeg.jpeg"}, "jpe?g$", "jpg", false, false, {1}, {"jpg.jpeg"}},
        {"the extension processed", {"a.jpeg"}, "jpe?g$", "jpg", true, false, {0}, {"a.jpg"}},
        {"anchors hold at the processed part", {"a.b.txt"}, R"(\.b$)", "", false, false, {0}, {"a.txt"}},
        {"a replacement giving the same name is no change", {"aaa.txt"}, "a", "a", false, false, {}, {}},
        {"names the file system cannot take are kept, marked",
         {"abc.txt", "x.y", "z"},
         "^.*$",
         ".",
         true,
         false,
         {0, 1, 2},
         {".*", ".*", ".*"}},
        {"a processed part replaced by nothing",
         {"abc.txt", "..x"},
         "^[a-cx]+$",
         "",
         false,
         false,
         {0},
         {".txt*"}},
        {"two dots", {"a."}, "^a", ".", false, false, {0}, {"..*"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        std::vector<std::string> paths;
        for (const std::string& name : c.names)
            paths.push_back(Cp(kFolder + name));
        Prepared p = Prepare(Cp(c.target), Cp(c.replacement), c.caseSensitive);
        ASSERT_NE(p.replacer, nullptr) << p.check.detail;
        const Preview preview = RegexRename::PreviewRenames(paths, *p.replacer, {c.includeExtension});
        EXPECT_FALSE(preview.stopped);
        EXPECT_EQ(preview.oldIndices, c.kept);
        EXPECT_EQ(NewNames(preview), c.newNames);
    }
}

TEST(RegexRenamePreview, NamesOutsideCodePage932ComeBackByteForByte) {
    // An emoji and a byte that is no UTF-8 both live in the program's text as stand-ins.
    const std::vector<std::string> paths = {Cp(kFolder + "😀_01.txt"), Cp(kFolder + "caf\xE9_02.txt")};
    Prepared p = Prepare(Cp(R"(_(\d+))"), Cp("-$1"), false);
    ASSERT_NE(p.replacer, nullptr);
    const Preview preview = RegexRename::PreviewRenames(paths, *p.replacer, {});
    EXPECT_EQ(NewNames(preview), (std::vector<std::string>{"😀-01.txt", "caf\xE9-02.txt"}));
}

TEST(RegexRenamePreview, APatternThatRunsAwayStopsThePlanAtThatName) {
    const std::vector<std::string> paths = {Cp(kFolder + "aaa.txt"),
                                            Cp(kFolder + std::string(40, 'a') + "b.txt")};
    Prepared p = Prepare(Cp("(a+)+$"), Cp("x"), true);
    ASSERT_NE(p.replacer, nullptr);
    const Preview preview = RegexRename::PreviewRenames(paths, *p.replacer, {});
    ASSERT_TRUE(preview.stopped);
    EXPECT_EQ(preview.stopped->reason, RegexRename::StopReason::kTooLong);
    EXPECT_EQ(preview.stopped->index, 1u);
    EXPECT_TRUE(preview.newPaths.empty());
}

// Each match runs outside the lease, so its caller can take the list back meanwhile; a stop asked
// before a name, or the list taken back during a match, plans nothing.
TEST(RegexRenamePreview, AStopPlansNothing) {
    class Lease final : public RunControl {
    public:
        Lease(std::size_t stopBefore, int refuseEnter) : stopBefore_(stopBefore), refuseEnter_(refuseEnter) {}
        bool Continue(std::size_t done) override { return done < stopBefore_; }
        bool Enter() override {
            ++inside;
            return ++entered_ != refuseEnter_;
        }
        void Leave() override { --inside; }
        int inside = 0;  // the thread holds the lease while above 0

    private:
        std::size_t stopBefore_;
        int refuseEnter_;
        int entered_ = 0;
    };
    const std::vector<std::string> paths = {Cp(kFolder + "a1.txt"), Cp(kFolder + "a2.txt"),
                                            Cp(kFolder + "a3.txt")};
    for (const auto& [stopBefore, refuseEnter] : {std::pair<std::size_t, int>{1, 0}, {9, 2}}) {
        Lease control(stopBefore, refuseEnter);
        control.inside = 1;  // entered by the caller
        Prepared p = Prepare(Cp("a"), Cp("b"), true);
        ASSERT_NE(p.replacer, nullptr);
        const Preview preview = RegexRename::PreviewRenames(paths, *p.replacer, {}, &control);
        EXPECT_TRUE(preview.cancelled);
        EXPECT_TRUE(preview.newPaths.empty());
        EXPECT_EQ(control.inside, 1);
    }
}

}  // namespace
