// The dates taken of a list, read on threads nobody waits for: each format's date, a file the
// library is slow on given up, a reading let go of while the library still reads.
#include "core/names/DateReading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "core/run/RunControl.h"
#include "support/PhotoFiles.h"
#include "support/TempDir.h"
#include "support/Text.h"

namespace {

using PhotoDate::kNone;
using PhotoDate::Stamp;
using testsupport::Cp;
using testsupport::ImageKind;

constexpr Stamp kTaken = 20240501100000;

// A library that reads a file whose name starts with "slow" only once the test opens the gate
// (or after ten seconds, so that a failing test ends).
struct SlowLibrary {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    int inside = 0;
    int mostInside = 0;

    PhotoDate::ReadingSetup Setup(std::chrono::milliseconds bound = std::chrono::milliseconds(300)) {
        return {[this](const std::string& path) { return Read(path); }, bound};
    }
    std::optional<Platform::ImageDateTags> Read(const std::string& path) {
        std::unique_lock lock(mutex);
        if (path.rfind("slow", 0) == 0) {
            mostInside = std::max(mostInside, ++inside);
            changed.notify_all();
            changed.wait_for(lock, std::chrono::seconds(10), [this] { return open; });
            --inside;
            changed.notify_all();
        }
        return Platform::ImageDateTags{"2024:05:01 10:00:00", "", ""};
    }
    void Open() {
        const std::lock_guard lock(mutex);
        open = true;
        changed.notify_all();
    }
    void WaitUntilInside(int count) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return inside == count; });
    }
};

// Says stop once a number of files are done.
class StopAt final : public RunControl {
public:
    explicit StopAt(std::size_t done) : done_(done) {}
    bool Continue(std::size_t done) override { return done < done_; }

private:
    std::size_t done_;
};

TEST(DateReadingTest, EachFormatGivesItsDateAndAnythingElseNone) {
    const testsupport::TempDir dir;
    const auto photo = [&dir](const std::string& name, ImageKind kind, const testsupport::PhotoTags& tags) {
        testsupport::WritePhoto(dir / name, kind, tags);
        return Cp(dir / name);
    };
    const std::vector<std::string> paths = {
        photo("旅行.jpg", ImageKind::kJpeg, {"2024:05:01 10:00:00", "2024:05:01 10:00:01", ""}),
        photo("a.png", ImageKind::kPng, {"", "2023:01:02 03:04:05", "2023:09:09 09:09:09"}),
        photo("a.tif", ImageKind::kTiff, {"", "", "2022:12:31 23:59:58"}),
        photo("a.webp", ImageKind::kWebp, {"2021:06:07 08:09:10", "", ""}),
        photo("none.jpg", ImageKind::kJpeg, {}),
        Cp(dir.MakeFile("text.jpg", "not a picture")),
        Cp(dir.MakeFile("empty.jpg")),
        Cp(dir.MakeDir("folder.jpg")),
        Cp(dir / "missing.jpg"),
    };
    const PhotoDate::Reading reading(paths, {});
    UnstoppableRun control;
    ASSERT_TRUE(reading.Wait(control));
    const std::vector<Stamp> expected = {
        20240501100000, 20230102030405, 20221231235958, 20210607080910, kNone, kNone, kNone, kNone, kNone};
    EXPECT_EQ(reading.Dates(), expected);
    EXPECT_EQ(reading.GivenUp(), 0u);
}

// Files the library is slow on are given up after the bound, the reading going on with the next;
// no more than two stay inside the library at once.
TEST(DateReadingTest, AFileTheLibraryIsSlowOnIsGivenUp) {
    SlowLibrary library;
    std::atomic<bool> finished = false;
    const PhotoDate::Reading reading({"a", "slow1", "slow2", "slow3", "b"}, library.Setup(),
                                     [&finished] { finished = true; });
    StopAt twoGivenUp(3);
    EXPECT_FALSE(reading.Wait(twoGivenUp));
    EXPECT_EQ(reading.GivenUp(), 2u);
    EXPECT_FALSE(reading.Finished());
    library.Open();
    UnstoppableRun control;
    ASSERT_TRUE(reading.Wait(control));
    EXPECT_TRUE(finished);
    // A given-up file keeps no date, even once the library has it.
    EXPECT_EQ(reading.Dates(), (std::vector<Stamp>{kTaken, kNone, kNone, kTaken, kTaken}));
    library.WaitUntilInside(0);
    EXPECT_EQ(library.mostInside, 2);
}

// A reading let go of while the library reads returns at once and tells nothing afterwards.
TEST(DateReadingTest, ALetGoReadingWaitsForNothing) {
    SlowLibrary library;
    std::atomic<bool> finished = false;
    auto reading = std::make_unique<PhotoDate::Reading>(std::vector<std::string>{"slow"},
                                                        library.Setup(std::chrono::hours(1)),
                                                        [&finished] { finished = true; });
    library.WaitUntilInside(1);
    EXPECT_GE(PhotoDate::ReadsUnderWay(), 1u);
    reading.reset();
    library.Open();
    library.WaitUntilInside(0);
    EXPECT_FALSE(finished);
}

}  // namespace
