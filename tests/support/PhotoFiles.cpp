#include "support/PhotoFiles.h"

#include <exiv2/exiv2.hpp>
#include <exiv2/webpimage.hpp>
#include <fstream>
#include <stdexcept>

namespace testsupport {
namespace {

// A one-pixel lossless WebP: the library adds metadata to a WebP but cannot make one.
constexpr unsigned char kWebp[] = {0x52, 0x49, 0x46, 0x46, 0x1e, 0x00, 0x00, 0x00, 0x57, 0x45,
                                   0x42, 0x50, 0x56, 0x50, 0x38, 0x4c, 0x11, 0x00, 0x00, 0x00,
                                   0x2f, 0x00, 0x00, 0x00, 0x00, 0x07, 0xd0, 0xff, 0xfe, 0xf7,
                                   0xbf, 0xff, 0x81, 0x88, 0xe8, 0x7f, 0x00, 0x00};

void WriteBytes(const std::string& path, const void* bytes, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void WritePhoto(const std::string& path, ImageKind kind, const PhotoTags& tags) {
    Exiv2::ExifData exif;
    if (!tags.original.empty()) exif["Exif.Photo.DateTimeOriginal"] = tags.original;
    if (!tags.digitized.empty()) exif["Exif.Photo.DateTimeDigitized"] = tags.digitized;
    if (!tags.changed.empty()) exif["Exif.Image.DateTime"] = tags.changed;
    Exiv2::Image::AutoPtr image;
    switch (kind) {
        case ImageKind::kJpeg:
            image = Exiv2::ImageFactory::create(Exiv2::ImageType::jpeg, path);
            break;
        case ImageKind::kPng:
            image = Exiv2::ImageFactory::create(Exiv2::ImageType::png, path);
            break;
        case ImageKind::kTiff: {
            // A TIFF file is the Exif structure itself.
            Exiv2::Blob blob;
            Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
            WriteBytes(path, blob.data(), blob.size());
            return;
        }
        case ImageKind::kWebp:
            WriteBytes(path, kWebp, sizeof kWebp);
            image = Exiv2::ImageFactory::open(path, false);
            break;
    }
    image->setExifData(exif);
    image->writeMetadata();
}

}  // namespace testsupport
