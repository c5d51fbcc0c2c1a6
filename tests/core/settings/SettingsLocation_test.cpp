#include "core/settings/SettingsLocation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "core/settings/IniFile.h"
#include "support/TempDir.h"

namespace {

using SettingsLocation::Choose;
using SettingsLocation::Facts;
using SettingsLocation::Location;
using testsupport::TempDir;

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

TEST(SettingsLocation, BesideTheExecutableOnlyWhenItsFolderIsWritable) {
    Facts facts = Installed("/x/config", "/home/u");
    facts.executablePath = "/work/build/quorbel";
    facts.besideFolderWritable = true;
    EXPECT_EQ(Choose(facts), (Location{"/work/build/quorbel.ini", false}));
    facts.besideFolderWritable = false;
    EXPECT_EQ(Choose(facts), (Location{"/x/config/quorbel/quorbel.ini", true}));
}

// A real program folder, writable or not, with a settings file already beside the program: the
// file is written where the choice says, and a read-only folder and its file stay as they were.
// The folder carries no write bit at all, which stops the superuser too.
TEST(SettingsLocation, ReadOnlyProgramFolderSavesToTheConfigFolder) {
    struct Case {
        mode_t folderMode;
        bool beside;
    };
    const std::optional<std::string> previousXdg = SettingsLocation::GatherFacts().xdgConfigHome;
    for (const Case& c : {Case{0755, true}, Case{0555, false}}) {
        TempDir dir;
        const std::string program = dir.MakeFile("opt/quorbel", "#!/bin/sh\n");
        const std::string besideFile = dir.MakeFile("opt/quorbel.ini", "[S]\nk=old\n");
        const std::string folder = dir / "opt";
        ASSERT_EQ(chmod(folder.c_str(), c.folderMode), 0);
        ASSERT_EQ(setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1), 0);

        const Location location = Choose(SettingsLocation::GatherFacts(program));
        TIniFile ini(location.path);
        ini.WriteString("S", "k", "new");
        const bool saved = ini.UpdateFile(location.createFolders ? AtomicFile::MissingFolders::kCreate
                                                                 : AtomicFile::MissingFolders::kFail);
        chmod(folder.c_str(), 0755);  // so that the folder can be removed

        EXPECT_TRUE(saved) << c.folderMode << ": " << ini.ErrorMessage();
        if (c.beside) {
            EXPECT_EQ(location.path, besideFile);
            EXPECT_FALSE(TempDir::Exists(dir / "config"));
        } else {
            EXPECT_EQ(location.path, dir / "config/quorbel/quorbel.ini");
            EXPECT_EQ(TempDir::ReadFile(besideFile), "[S]\nk=old\n");
        }
        EXPECT_EQ(TIniFile(location.path).ReadString("S", "k", ""), "new") << c.folderMode;
    }
    if (previousXdg) {
        setenv("XDG_CONFIG_HOME", previousXdg->c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
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
    EXPECT_TRUE(facts.executablePath.ends_with("/core_tests")) << facts.executablePath;
}

}  // namespace
