#include "core/text/Language.h"

#include <gtest/gtest.h>

#include <string>

#include "core/text/Translate.h"

namespace {

using Language::Choice;
using Language::Environment;
using Language::Spoken;

TEST(Language, ChoiceAndEnvironmentDecide) {
    struct Case {
        const char* name;
        Choice choice;
        Environment env;
        Spoken expected;
    };
    const Case cases[] = {
        {"nothing set", Choice::Automatic, {}, Spoken::Japanese},
        {"C", Choice::Automatic, {{}, {}, {}, "C"}, Spoken::Japanese},
        {"POSIX", Choice::Automatic, {{}, {}, {}, "POSIX"}, Spoken::Japanese},
        {"C.UTF-8 ignores LANGUAGE", Choice::Automatic, {"en", {}, {}, "C.UTF-8"}, Spoken::Japanese},
        {"LANG en_US", Choice::Automatic, {{}, {}, {}, "en_US.UTF-8"}, Spoken::English},
        {"LANG en", Choice::Automatic, {{}, {}, {}, "en"}, Spoken::English},
        {"LANG ja_JP", Choice::Automatic, {{}, {}, {}, "ja_JP.UTF-8"}, Spoken::Japanese},
        {"no catalogue: de", Choice::Automatic, {{}, {}, {}, "de_DE.UTF-8"}, Spoken::Japanese},
        {"a name that only starts alike", Choice::Automatic, {{}, {}, {}, "enx_US"}, Spoken::Japanese},
        {"LC_MESSAGES over LANG", Choice::Automatic, {{}, {}, "en_GB.UTF-8", "ja_JP.UTF-8"}, Spoken::English},
        {"LC_ALL over LC_MESSAGES",
         Choice::Automatic,
         {{}, "ja_JP.UTF-8", "en_GB.UTF-8", {}},
         Spoken::Japanese},
        {"empty LC_ALL is unset", Choice::Automatic, {{}, "", {}, "en_US.UTF-8"}, Spoken::English},
        {"LANGUAGE over LANG", Choice::Automatic, {"en", {}, {}, "de_DE.UTF-8"}, Spoken::English},
        {"LANGUAGE list: first known",
         Choice::Automatic,
         {"fr:ja:en", {}, {}, "de_DE.UTF-8"},
         Spoken::Japanese},
        {"LANGUAGE list: skips unknown",
         Choice::Automatic,
         {"fr:en_GB", {}, {}, "ja_JP.UTF-8"},
         Spoken::English},
        {"LANGUAGE of unknowns: locale",
         Choice::Automatic,
         {"fr:de", {}, {}, "en_US.UTF-8"},
         Spoken::English},
        {"setting Japanese", Choice::Japanese, {"en", {}, {}, "en_US.UTF-8"}, Spoken::Japanese},
        {"setting English under C", Choice::English, {{}, {}, {}, "C"}, Spoken::English},
        {"setting English under ja", Choice::English, {{}, {}, {}, "ja_JP.UTF-8"}, Spoken::English},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Language::Choose(c.choice, c.env), c.expected) << c.name;
    EXPECT_EQ(Language::ChoiceFromNumber(2), Choice::English);
    EXPECT_EQ(Language::ChoiceFromNumber(7), Choice::Automatic);
}

// The catalogue built beside the tests: English where it is asked for, under the C locale too,
// and the source texts byte for byte in Japanese.
TEST(Language, TextsFollowTheLanguageInUse) {
    const std::string folder = Translate::CatalogueFolder();
    const char* source = "ファイル";
    const char* sourceCount = "%1個のファイルは名前を扱えないため、一覧に加えませんでした。";
    Translate::Use(Spoken::English, folder);
    EXPECT_STREQ(_(source), "File") << folder;
    EXPECT_STREQ(P_(sourceCount, sourceCount, 1), "%1 file was not listed: its name cannot be handled.");
    EXPECT_STREQ(P_(sourceCount, sourceCount, 3), "%1 files were not listed: their names cannot be handled.");
    // A translation may put the values in another order.
    EXPECT_EQ(Translate::Fill("%2 / %1 = 100%", {"a", "b"}), "b / a = 100%");
    Translate::Use(Spoken::Japanese, folder);
    EXPECT_EQ(_(source), source);
    EXPECT_EQ(P_(sourceCount, sourceCount, 3), sourceCount);
}

}  // namespace
