#include "core/names/StringRename.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/text/Cp932.h"
#include "support/Text.h"

namespace {

using StringRename::Check;
using StringRename::CheckInputs;
using StringRename::PreviewRenames;
using StringRename::Refusal;
using testsupport::Cp;

TEST(StringRenameCheck, FirstFailingCheckWins) {
    struct Case {
        const char* target;
        const char* replacement;
        Refusal refusal;
        const char* forbidden;
    };
    const Case cases[] = {
        {"", "a/", Refusal::EmptyTarget, ""},
        {"*", "a/", Refusal::StarAlone, ""},
        {"?", "", Refusal::QuestionAlone, ""},
        {"a*?", "", Refusal::StarAndQuestion, ""},
        {"a*?*", "", Refusal::StarAndQuestion, ""},  // the mix is reported before the second star
        {"a*b*", "x:", Refusal::SeveralStars, ""},
        {"**", "", Refusal::SeveralStars, ""},
        {"IMG_*", "|<", Refusal::ForbiddenInReplacement, "<"},  // tried in the fixed order
        {"a", "x\\y/", Refusal::ForbiddenInReplacement, "\\"},
        {"a", "", Refusal::None, ""},       // an empty replacement is allowed
        {"a/b:c", "d", Refusal::None, ""},  // the target is never checked for forbidden characters
        {"??", "ソ表", Refusal::None, ""},  // 0x5C as a second byte is no backslash
        {"*_", "A", Refusal::None, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.target) + " / " + c.replacement);
        const Check check = CheckInputs(Cp(c.target), Cp(c.replacement));
        EXPECT_EQ(check.refusal, c.refusal);
        EXPECT_EQ(check.forbidden, c.forbidden);
    }
}

TEST(StringRenamePreview, KeepsOnlyTheChangedFilesWithTheirNewPaths) {
    using Kept = std::vector<std::pair<std::size_t, std::string>>;  // old index, new file name
    struct Case {
        const char* title;
        std::vector<std::string> names;
        const char* target;
        const char* replacement;
        bool includeExtension;
        bool caseSensitive;
        Kept kept;
    };
    const Case cases[] = {
        {"extension left out", {"a.txt", "txt.txt"}, "txt", "R", false, false, {{1, "R.txt"}}},
        {"extension included", {"a.txt", "txt.txt"}, "txt", "R", true, false, {{0, "a.R"}, {1, "R.R"}}},
        {"a name that is only an extension", {".cfg"}, "cfg", "R", false, false, {}},
        {"the same with the extension included", {".cfg"}, "cfg", "R", true, false, {{0, ".R"}}},
        {"no extension: the whole name", {"readme", "a.b.c"}, "d", "R", false, false, {{0, "reaRme"}}},
        {"only the last dot starts the extension", {"a.b.c"}, ".", "_", false, false, {{0, "a_b.c"}}},
        {"an empty result drops the file", {"abc.txt", "xabc.txt"}, "abc", "", false, false, {{1, "x.txt"}}},
        {"star to the end",
         {"IMG_0001.JPG", "img_2.jpg", "DSC.JPG"},
         "IMG_*",
         "A",
         false,
         false,
         {{0, "A.JPG"}, {1, "A.jpg"}}},
        {"star through the extension", {"IMG_0001.JPG"}, "IMG_*", "A", true, false, {{0, "A"}}},
        {"'a' to 'A' ignoring case: 'A' gives itself and is dropped",
         {"a.txt", "A.txt", "ba.txt"},
         "a",
         "A",
         false,
         false,
         {{0, "A.txt"}, {2, "bA.txt"}}},
        {"'a' to 'A' in case", {"a.txt", "A.txt"}, "a", "A", false, true, {{0, "A.txt"}}},
        {"upper-case target ignoring case",
         {"a.txt", "A.txt", "b.txt"},
         "A",
         "x",
         false,
         false,
         {{0, "x.txt"}, {1, "x.txt"}}},
        {"upper-case target in case", {"a.txt", "A.txt", "b.txt"}, "A", "x", false, true, {{1, "x.txt"}}},
        {"'?' is one byte: half of a double-byte character never matches",
         {"１月.txt", "12月.txt"},
         "?月",
         "R",
         false,
         false,
         {{1, "1R.txt"}}},
        {"two '?' take a double-byte character",
         {"１月.txt", "12月.txt"},
         "??月",
         "R",
         false,
         false,
         {{0, "R.txt"}, {1, "R.txt"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        std::vector<std::string> oldPaths;
        for (const std::string& name : c.names)
            oldPaths.push_back(Cp("/photo.d/" + name));
        const StringRename::Preview preview =
            PreviewRenames(oldPaths, Cp(c.target), Cp(c.replacement), {c.includeExtension, c.caseSensitive});
        ASSERT_EQ(preview.oldIndices.size(), preview.newPaths.size());
        Kept kept;
        for (std::size_t k = 0; k < preview.newPaths.size(); ++k)
            kept.emplace_back(preview.oldIndices[k], Cp932::ToUtf8(preview.newPaths[k]).value());
        Kept expected = c.kept;
        for (auto& entry : expected)
            entry.second = "/photo.d/" + entry.second;
        EXPECT_EQ(kept, expected);
    }
}

TEST(StringRenamePreview, NamesOutsideTheCodePageComeBackByteForByte) {
    // A character the code page lacks, and bytes that are no UTF-8 at all.
    const std::vector<std::string> natives = {"/d/😀 a〜.png", "/d/x\xff\xfe-a.bin"};
    std::vector<std::string> oldPaths;
    oldPaths.reserve(natives.size());
    for (const std::string& native : natives)
        oldPaths.push_back(Cp932::FromUtf8(native).value());
    const StringRename::Preview preview = PreviewRenames(oldPaths, "a", "b", {});
    ASSERT_EQ(preview.newPaths.size(), 2u);
    EXPECT_EQ(Cp932::ToUtf8(preview.newPaths[0]).value(), "/d/😀 b〜.png");
    EXPECT_EQ(Cp932::ToUtf8(preview.newPaths[1]).value(), "/d/x\xff\xfe-b.bin");
}

}  // namespace
