#pragma once

// The date tags of an image file, as its Exif metadata holds them. Read with Exiv2, which knows
// JPEG, TIFF and the raw formats built on it, PNG, WebP and HEIF/HEIC among others. Paths are native.

#include <optional>
#include <string>

namespace Platform {

// Each tag's text as the file holds it; empty when the file lacks the tag.
struct ImageDateTags {
    std::string original;   // DateTimeOriginal: when the picture was taken
    std::string digitized;  // DateTimeDigitized: when it was stored
    std::string changed;    // DateTime: when the file was last changed
};

// nullopt for a file that is no image the library reads: not a regular file, larger than any
// photo (256 MiB), of no known format, or damaged so that its metadata cannot be read. Never throws.
std::optional<ImageDateTags> ReadImageDateTags(const std::string& path);

}  // namespace Platform
