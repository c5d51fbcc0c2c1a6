#pragma once

// The dates that order and name files: when a photo was taken (its Exif date tags), and when a file
// was last modified, both as local date and time. A date is kept in 8 bytes, so a list holds one per
// file at little cost.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Platform {
struct ImageDateTags;
}

namespace PhotoDate {

struct DateTime {
    int year = 0;  // 1..9999
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

// A date and time as the decimal number yyyymmddhhmmss, so that stamps order as the moments do;
// kNone for no date.
using Stamp = std::int64_t;
constexpr Stamp kNone = 0;
Stamp Pack(const DateTime& date);
DateTime Unpack(Stamp stamp);

// An Exif date, "yyyy:mm:dd hh:mm:ss" ("-" or "/" between the date's parts also read; a time left
// out is midnight; anything after the seconds, such as a zone, ignored). nullopt for the blanks or
// zeros a camera writes when it does not know, and for any field out of range.
std::optional<DateTime> ParseExifDate(std::string_view text);

// The date a photo was taken: DateTimeOriginal, else DateTimeDigitized, else DateTime, the first that
// is a date; kNone when none is.
Stamp DateTaken(const Platform::ImageDateTags& tags);

// The local modification time of the file at a code page 932 path; kNone when it cannot be read.
Stamp ModifiedStamp(std::string_view path);

}  // namespace PhotoDate
