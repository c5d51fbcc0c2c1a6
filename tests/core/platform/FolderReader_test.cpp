#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "core/platform/FileSystem.h"
#include "support/TempDir.h"

namespace {

using testsupport::TempDir;

// Read where asked or, past a few thousand entries, ahead on a helper thread: every entry comes
// once with its kind, the listing kept is whole either way, and a reader left midway or emptied
// by Rest after some entries stops its thread without losing one.
TEST(FolderReader, GivesEveryEntryOnceWhetherReadAheadOrNot) {
    for (const std::size_t files : {std::size_t{3}, std::size_t{7'000}}) {
        // Thousands of files: made in memory where there is room for them.
        const TempDir dir(std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "");
        std::set<std::string> made = {"sub"};
        dir.MakeDir("sub");
        for (std::size_t i = 0; i < files; ++i) {
            const std::string name = "f" + std::to_string(i);
            close(creat((dir / name).c_str(), 0600));
            made.insert(name);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(30));  // past the clock's tick

        Platform::FolderReader reader(dir.Path(), nullptr, files + 1);
        std::set<std::string> read;
        while (const std::optional<Platform::DirEntry> entry = reader.Next()) {
            EXPECT_TRUE(read.insert(entry->name).second) << entry->name;
            EXPECT_EQ(entry->kind,
                      entry->name == "sub" ? Platform::EntryKind::Folder : Platform::EntryKind::File);
        }
        EXPECT_EQ(read, made) << files;
        const std::unique_ptr<Platform::FolderEntries> listing = reader.TakeListing();
        ASSERT_NE(listing, nullptr) << files;
        EXPECT_EQ(listing->KindOf("f0"), Platform::EntryKind::File);
        EXPECT_EQ(listing->KindOf("f" + std::to_string(files - 1)), Platform::EntryKind::File);
        EXPECT_FALSE(listing->KindOf("f" + std::to_string(files)).has_value());

        for (const std::size_t taken : {std::size_t{0}, std::min(files, std::size_t{5'000})}) {
            Platform::FolderReader midway(dir.Path(), nullptr, files + 1);
            for (std::size_t i = 0; i < taken; ++i)
                ASSERT_TRUE(midway.Next());
            EXPECT_EQ(midway.Rest().size(), made.size() - taken) << files << " " << taken;
            Platform::FolderReader left(dir.Path());
            for (std::size_t i = 0; i < taken; ++i)
                ASSERT_TRUE(left.Next());
        }
    }
}

}  // namespace
