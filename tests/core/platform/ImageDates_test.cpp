// The image date reader against damaged and hostile files: truncated at every length, bytes changed
// at random (a fixed seed, so every run tries the same files), random bytes behind each format's
// signature, and hand-made directories with huge counts and loops. None may crash, throw or hang;
// whatever it reads must still be a sane tag.
#include "core/platform/ImageDates.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/names/PhotoDate.h"
#include "support/PhotoFiles.h"
#include "support/TempDir.h"

namespace {

using testsupport::ImageKind;
using testsupport::TempDir;

constexpr int kMutationsPerSeed = 1500;
constexpr int kRandomFilesPerSignature = 100;

class ImageDatesTest : public ::testing::Test {
protected:
    // Reads content back as a file; counts the files that still gave a date.
    void Read(const std::string& content) {
        // A new file each time: rewriting one in place makes ext4 flush it to disk at every close.
        std::remove(path_.c_str());
        TempDir::WriteFile(path_, content);
        const std::optional<Platform::ImageDateTags> tags = Platform::ReadImageDateTags(path_);
        if (!tags) return;
        for (const std::string* text : {&tags->original, &tags->digitized, &tags->changed})
            EXPECT_LE(text->size(), 64u);
        if (PhotoDate::DateTaken(*tags) != PhotoDate::kNone) ++dated_;
    }
    std::string Seed(ImageKind kind) {
        const std::string seed = dir_ / "seed";
        testsupport::WritePhoto(seed, kind,
                                {"2024:05:01 10:00:00", "2024:05:01 10:00:01", "2024:05:01 10:00:02"});
        return TempDir::ReadFile(seed);
    }

    TempDir dir_;
    std::string path_ = dir_ / "photo.jpg";
    int dated_ = 0;
};

// Little-endian TIFF pieces.
std::string U16(std::uint16_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}
std::string U32(std::uint32_t v) {
    return U16(static_cast<std::uint16_t>(v & 0xFFFF)) + U16(static_cast<std::uint16_t>(v >> 16));
}
// A TIFF whose first directory holds one entry.
std::string TiffWithEntry(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
    return "II*" + std::string(1, '\0') + U32(8) + U16(1) + U16(tag) + U16(type) + U32(count) + U32(value) +
           U32(0) + "2024:05:01 10:00:00" + std::string(1, '\0');
}

TEST_F(ImageDatesTest, TheSeedsGiveTheirDates) {
    for (const ImageKind kind : {ImageKind::kJpeg, ImageKind::kPng, ImageKind::kTiff, ImageKind::kWebp}) {
        dated_ = 0;
        Read(Seed(kind));
        EXPECT_EQ(dated_, 1);
    }
}

// A file larger than any photo is not looked into, however good its start (the rest is a hole).
TEST_F(ImageDatesTest, AFileLargerThanAnyPhotoIsNotRead) {
    const std::string seed = Seed(ImageKind::kJpeg);
    for (const std::int64_t size : {std::int64_t{256} << 20, (std::int64_t{256} << 20) + 1}) {
        dated_ = 0;
        Read(seed);
        ASSERT_EQ(::truncate(path_.c_str(), size), 0);
        EXPECT_EQ(Platform::ReadImageDateTags(path_).has_value(), size == std::int64_t{256} << 20);
    }
}

TEST_F(ImageDatesTest, TruncatedFilesAreReadOrRefused) {
    for (const ImageKind kind : {ImageKind::kJpeg, ImageKind::kPng, ImageKind::kTiff, ImageKind::kWebp}) {
        const std::string seed = Seed(kind);
        for (std::size_t length = 0; length < seed.size(); ++length)
            Read(seed.substr(0, length));
    }
}

TEST_F(ImageDatesTest, ChangedBytesAreReadOrRefused) {
    std::mt19937 random(24);
    for (const ImageKind kind : {ImageKind::kJpeg, ImageKind::kPng, ImageKind::kTiff, ImageKind::kWebp}) {
        const std::string seed = Seed(kind);
        for (int i = 0; i < kMutationsPerSeed; ++i) {
            std::string file = seed;
            const auto changes = 1 + random() % 8;
            for (unsigned c = 0; c < changes; ++c) {
                const std::size_t at = random() % file.size();
                // Extremes make lengths and counts huge or negative; other bytes anything.
                const unsigned kind = random() % 3;
                file[at] = static_cast<char>(kind == 0 ? 0xFF : kind == 1 ? 0x7F : random());
            }
            Read(file);
        }
    }
    // Most changes miss the dates: the mutations reached the reader rather than all being refused.
    EXPECT_GT(dated_, kMutationsPerSeed);
}

TEST_F(ImageDatesTest, RandomBytesBehindASignatureAreRefused) {
    std::mt19937 random(24);
    using namespace std::string_literals;  // signatures hold NUL bytes
    const std::string signatures[] = {
        "\xFF\xD8\xFF\xE1"s,       "II*\0"s, "MM\0*"s, "\x89PNG\r\n\x1A\n"s, "RIFF\x40\0\0\0WEBPVP8X"s,
        "\0\0\0\x18"s + "ftypheic"};
    for (const std::string& signature : signatures) {
        for (int i = 0; i < kRandomFilesPerSignature; ++i) {
            std::string file = signature;
            const auto length = random() % 512;
            for (unsigned b = 0; b < length; ++b)
                file += static_cast<char>(random());
            Read(file);
        }
    }
}

TEST_F(ImageDatesTest, HugeCountsAndLoopsAreRefused) {
    // A date claiming two gigabytes; a date pointing past the end; the Exif directory pointing back at
    // the first one, and at itself.
    Read(TiffWithEntry(0x0132, 2, 0x7FFFFFFF, 26));
    Read(TiffWithEntry(0x0132, 2, 20, 0xFFFFFFF0));
    Read(TiffWithEntry(0x8769, 4, 1, 8));
    Read(TiffWithEntry(0x8769, 4, 0xFFFFFFFF, 8));
    EXPECT_EQ(dated_, 0);
}

}  // namespace
