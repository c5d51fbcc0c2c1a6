#include "core/SettingsLocation.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using SettingsLocation::Choose;
using SettingsLocation::Facts;
using SettingsLocation::Location;

Facts Installed(std::optional<std::string> xdg, std::optional<std::string> home) {
    Facts facts;
    facts.executablePath = "/usr/bin/quorbel";
    facts.xdgConfigHome = std::move(xdg);
    facts.home = std::move(home);
    return facts;
}

TEST(SettingsLocation, BesidePathReplacesOrAddsTheExtension) {
    EXPECT_EQ(SettingsLocation::BesidePath("/work/build/quorbel"), "/work/build/quorbel.ini");
    EXPECT_EQ(SettingsLocation::BesidePath("/opt/q/quorbel.bin"), "/opt/q/quorbel.ini");
    EXPECT_EQ(SettingsLocation::BesidePath("/opt/q.d/quorbel"), "/opt/q.d/quorbel.ini");
    EXPECT_EQ(SettingsLocation::BesidePath("/opt/.quorbel"), "/opt/.quorbel.ini");
    EXPECT_EQ(SettingsLocation::BesidePath("/opt/a.b.c"), "/opt/a.b.ini");
}

TEST(SettingsLocation, BesideTheExecutableWhenTheFileExistsOrTheFolderIsWritable) {
    Facts facts = Installed("/x/config", "/home/u");
    facts.executablePath = "/work/build/quorbel";
    facts.besideFolderWritable = true;
    EXPECT_EQ(Choose(facts), (Location{"/work/build/quorbel.ini", false}));

    // A read-only folder that already holds the file keeps using it.
    facts.besideFolderWritable = false;
    facts.besideFileExists = true;
    EXPECT_EQ(Choose(facts), (Location{"/work/build/quorbel.ini", false}));
}

TEST(SettingsLocation, ReadOnlyFolderFallsBackToTheUsersConfigFolder) {
    EXPECT_EQ(Choose(Installed("/x/config", "/home/u")), (Location{"/x/config/quorbel/quorbel.ini", true}));
    EXPECT_EQ(Choose(Installed("/x/config//", "/home/u")), (Location{"/x/config/quorbel/quorbel.ini", true}));
    EXPECT_EQ(Choose(Installed("/", "/home/u")), (Location{"/quorbel/quorbel.ini", true}));
    // Unset, empty and relative XDG_CONFIG_HOME all mean ~/.config.
    for (const auto& xdg : {std::optional<std::string>(), std::optional<std::string>(""),
                            std::optional<std::string>("relative/config")}) {
        EXPECT_EQ(Choose(Installed(xdg, "/home/u/")), (Location{"/home/u/.config/quorbel/quorbel.ini", true}))
            << xdg.value_or("<unset>");
    }
}

TEST(SettingsLocation, NoHomeFolderStaysBesideTheExecutable) {
    EXPECT_EQ(Choose(Installed(std::nullopt, std::nullopt)), (Location{"/usr/bin/quorbel.ini", false}));
    EXPECT_EQ(Choose(Installed("", "relative")), (Location{"/usr/bin/quorbel.ini", false}));
    Facts unknown = Installed(std::nullopt, std::nullopt);
    unknown.executablePath.clear();
    unknown.besideFolderWritable = true;  // meaningless without a path
    EXPECT_EQ(Choose(unknown), (Location{"", false}));
    unknown.home = "/home/u";
    EXPECT_EQ(Choose(unknown), (Location{"/home/u/.config/quorbel/quorbel.ini", true}));
}

TEST(SettingsLocation, GathersTheRunningExecutable) {
    const Facts facts = SettingsLocation::GatherFacts();
    ASSERT_FALSE(facts.executablePath.empty());
    EXPECT_EQ(facts.executablePath.front(), '/');
    EXPECT_TRUE(facts.executablePath.ends_with("/core_SettingsLocation_test")) << facts.executablePath;
}

}  // namespace
