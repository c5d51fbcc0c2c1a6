#pragma once

// Small image files with the Exif date tags a test asks for, written with Exiv2.
#include <string>

namespace testsupport {

enum class ImageKind { kJpeg, kPng, kTiff, kWebp };

// The tags to write; an empty text leaves the tag out.
struct PhotoTags {
    std::string original;   // Exif.Photo.DateTimeOriginal
    std::string digitized;  // Exif.Photo.DateTimeDigitized
    std::string changed;    // Exif.Image.DateTime
};

// A one-pixel image of the kind at a native path (its folder must exist), holding the tags. Throws
// when the image cannot be written.
void WritePhoto(const std::string& path, ImageKind kind, const PhotoTags& tags);

}  // namespace testsupport
