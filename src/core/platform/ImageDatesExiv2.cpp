#include <sys/stat.h>

#include <cstdint>
#include <exiv2/exiv2.hpp>
#include <mutex>

#include "core/platform/ImageDates.h"

namespace Platform {
namespace {

// Larger files are not looked into. The largest photos cameras make, raw files of medium-format
// sensors, stay below it; a larger file is a scan, a video or an image of a disk, whose tags are no
// date taken, and the library's work grows with the file for some formats (it walks a PNG chunk by
// chunk, up to a second a megabyte when they are small; a damaged file can send it through every
// byte). Time bounds the rest (PhotoDate::Reading).
constexpr std::int64_t kLargestImage = std::int64_t{256} << 20;

// A date tag is a text of 20 bytes; a damaged file may claim megabytes for it, or give it another type.
constexpr long kLongestTag = 64;

void SetUpLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Warnings about damaged files would go to stderr; a damaged file simply has no date.
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        // The XMP toolkit must be set up before any reading, once.
        Exiv2::XmpParser::initialize();
        // HEIF, HEIC and AVIF sit in the ISO media container, which the library reads only on request.
        Exiv2::enableBMFF(true);
    });
}

std::string TagText(const Exiv2::ExifData& exif, const char* key) {
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end() || it->typeId() != Exiv2::asciiString || it->size() > kLongestTag) return {};
    return it->toString();
}

}  // namespace

std::optional<ImageDateTags> ReadImageDateTags(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > kLargestImage)
        return std::nullopt;
    SetUpLibrary();
    // The library throws for what it cannot read, and a damaged file can make it throw anything.
    try {
        const Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path, false);
        if (image.get() == nullptr) return std::nullopt;
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        ImageDateTags tags;
        tags.original = TagText(exif, "Exif.Photo.DateTimeOriginal");
        // Some raw formats keep it in the first directory instead.
        if (tags.original.empty()) tags.original = TagText(exif, "Exif.Image.DateTimeOriginal");
        tags.digitized = TagText(exif, "Exif.Photo.DateTimeDigitized");
        tags.changed = TagText(exif, "Exif.Image.DateTime");
        return tags;
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace Platform
