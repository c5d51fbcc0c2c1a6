#include "core/list/FolderListings.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/list/FolderLook.h"
#include "core/list/MyFileOperation.h"
#include "core/platform/FileSystem.h"
#include "support/Mounts.h"
#include "support/TempDir.h"
#include "support/Text.h"

namespace {

using MyFileOperation::FolderListings;
using testsupport::Cp;
using testsupport::TempDir;

// The listing of folder as a load keeps it.
FolderListings Load(const std::string& folder) {
    FolderListings listings;
    std::vector<std::string> paths;
    MyFileOperation::EnteredFolders entered;
    MyFileOperation::EnumFolder(Cp(folder), paths, MyFileOperation::kFiles, entered, nullptr, &listings);
    return listings;
}

// What a listing tells is what a look at each path tells, identities included.
void ExpectLooksAlike(const Platform::FolderEntries& listing, const std::string& folder) {
    for (const char* name : {"a.txt", "b.txt", "missing.txt"}) {
        Platform::EntryId id;
        const auto kind = listing.KindOf(name, &id);
        const auto look = Platform::LookAt(folder + "/" + name);
        EXPECT_EQ(kind.has_value(), look.has_value()) << name;
        if (look) {
            EXPECT_TRUE(Platform::IsSame(id, look->id)) << name;
        }
    }
}

// A load's listing stands for its folder only while nothing was added, removed or renamed in it,
// also when the change comes at once, in the clock's tick of the load; a file's own change leaves
// the listing true. On tmpfs and on ext4.
TEST(FolderListings, AListingIsTakenOnlyWhileItsFolderIsUnchanged) {
    struct Case {
        const char* what;
        std::function<void(const TempDir&, const std::string& folder)> change;
        bool taken;
    };
    const std::vector<Case> cases = {
        {"a file added", [](const TempDir&, const std::string& f) { TempDir::WriteFile(f + "/c.txt"); },
         false},
        {"a file removed",
         [](const TempDir&, const std::string& f) { std::filesystem::remove(f + "/a.txt"); }, false},
        {"a file renamed",
         [](const TempDir&, const std::string& f) { std::filesystem::rename(f + "/a.txt", f + "/A.txt"); },
         false},
        {"a file moved in from elsewhere",
         [](const TempDir& dir, const std::string& f) {
             std::filesystem::rename(dir.MakeFile("elsewhere.txt"), f + "/b.txt");
         },
         false},
        {"another folder at its path",
         [](const TempDir& dir, const std::string& f) {
             std::filesystem::rename(f, dir / "away");
             dir.MakeFile("f/a.txt");
             dir.MakeFile("f/b.txt");
         },
         false},
        {"a file written to",
         [](const TempDir&, const std::string& f) { TempDir::WriteFile(f + "/a.txt", "new"); }, true},
        {"nothing", [](const TempDir&, const std::string&) {}, true},
    };
    TempDir disk;
    const auto mount =
        testsupport::Mount::Make(testsupport::Mount::Kind::kTmpfs, disk.MakeDir("tmpfs"), 1 << 20);
    std::vector<std::string> bases = {disk.Path()};
    if (mount) {
        bases.push_back(mount->Path());
    } else {
        std::printf("tmpfs not tried: %s\n", testsupport::Mount::Why().c_str());
    }
    for (const std::string& base : bases) {
        // Loaded a tick after the folder's last change, and at once, in that tick's reach.
        for (const bool settled : {true, false}) {
            for (const Case& c : cases) {
                if (c.taken && !settled) continue;
                SCOPED_TRACE(base + ": " + c.what + (settled ? "" : ", at once"));
                const TempDir dir(base);
                const std::string folder = dir.MakeDir("f");
                dir.MakeFile("f/a.txt", "a");
                dir.MakeFile("f/b.txt", "b");
                if (settled) std::this_thread::sleep_for(std::chrono::milliseconds(30));
                FolderListings listings = Load(folder);
                ASSERT_TRUE(!settled || !listings.Empty());
                c.change(dir, folder);
                const auto taken = listings.Take(folder + "/");
                EXPECT_EQ(taken != nullptr, c.taken);
                EXPECT_TRUE(listings.Empty());
                if (taken) ExpectLooksAlike(*taken, folder);
            }
        }
    }
}

// A listing is kept only whole, within the room given, and without links, whose targets may change
// while the folder does not; a kept listing tells nothing of another folder.
TEST(FolderListings, OnlyWholeListingsWithinTheRoomAreKept) {
    TempDir dir;
    const std::string plain = dir.MakeDir("plain");
    dir.MakeFile("plain/a.txt");
    const std::string linked = dir.MakeDir("linked");
    dir.MakeFile("linked/a.txt");
    std::filesystem::create_symlink("a.txt", dir / "linked/link.txt");
    const std::string three = dir.MakeDir("three");
    for (const char* name : {"1", "2", "3"})
        dir.MakeFile(std::string("three/") + name);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));  // past the clock's tick

    EXPECT_TRUE(Load(linked).Empty());
    for (const std::size_t room : {2, 3}) {
        Platform::FolderReader reader(three, nullptr, room);
        reader.Rest();
        EXPECT_EQ(reader.TakeListing() != nullptr, room == 3) << room;
    }
    {
        Platform::FolderReader reader(three, nullptr, 3);
        EXPECT_TRUE(reader.Next());
        EXPECT_EQ(reader.TakeListing(), nullptr) << "not read to the end";
    }
    FolderListings listings = Load(plain);
    EXPECT_EQ(listings.Room(), FolderListings::kNameBudget - 1);
    EXPECT_EQ(listings.Take(linked), nullptr);
    EXPECT_FALSE(listings.Empty());
}

}  // namespace
