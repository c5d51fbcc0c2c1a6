#include "core/names/PhotoDate.h"

#include "core/platform/FileSystem.h"
#include "core/platform/ImageDates.h"
#include "core/platform/LocalTime.h"
#include "core/text/Cp932.h"

namespace PhotoDate {
namespace {

constexpr Stamp kYear = 10'000'000'000;
constexpr Stamp kMonth = 100'000'000;
constexpr Stamp kDay = 1'000'000;
constexpr Stamp kHour = 10'000;
constexpr Stamp kMinute = 100;

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysIn(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool Valid(const DateTime& d) {
    return d.year >= 1 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= DaysIn(d.year, d.month) && d.hour >= 0 && d.hour <= 23 && d.minute >= 0 &&
           d.minute <= 59 && d.second >= 0 && d.second <= 60;
}

// Reads a date's fields from the front of a text.
class Fields {
public:
    explicit Fields(std::string_view text) : text_(text) {}
    bool AtEnd() const { return pos_ == text_.size(); }
    // Exactly count digits.
    bool Number(int count, int& value) {
        value = 0;
        for (int i = 0; i < count; ++i, ++pos_) {
            if (AtEnd() || text_[pos_] < '0' || text_[pos_] > '9') return false;
            value = value * 10 + (text_[pos_] - '0');
        }
        return true;
    }
    // One of the characters given.
    bool Separator(std::string_view allowed) {
        if (AtEnd() || allowed.find(text_[pos_]) == std::string_view::npos) return false;
        ++pos_;
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

Stamp Pack(const DateTime& d) {
    return d.year * kYear + d.month * kMonth + d.day * kDay + d.hour * kHour + d.minute * kMinute + d.second;
}

DateTime Unpack(Stamp s) {
    const auto field = [&s](Stamp unit, Stamp range) { return static_cast<int>(s / unit % range); };
    return {static_cast<int>(s / kYear), field(kMonth, 100),  field(kDay, 100),
            field(kHour, 100),           field(kMinute, 100), field(1, 100)};
}

std::optional<DateTime> ParseExifDate(std::string_view text) {
    DateTime d;
    Fields f(text);
    constexpr std::string_view kDateSeparators = ":-/";
    if (!f.Number(4, d.year) || !f.Separator(kDateSeparators) || !f.Number(2, d.month) ||
        !f.Separator(kDateSeparators) || !f.Number(2, d.day)) {
        return std::nullopt;
    }
    if (f.Separator(" T") && (!f.Number(2, d.hour) || !f.Separator(":") || !f.Number(2, d.minute) ||
                              !f.Separator(":") || !f.Number(2, d.second))) {
        return std::nullopt;
    }
    if (!Valid(d)) return std::nullopt;
    return d;
}

Stamp DateTaken(const Platform::ImageDateTags& tags) {
    for (const std::string* text : {&tags.original, &tags.digitized, &tags.changed}) {
        if (const std::optional<DateTime> date = ParseExifDate(*text)) return Pack(*date);
    }
    return kNone;
}

Stamp ModifiedStamp(std::string_view path) {
    const std::optional<std::string> native = Cp932::ToUtf8(path);
    if (!native) return kNone;
    const std::optional<Platform::FileStatus> status = Platform::Status(*native);
    if (!status || status->kind != Platform::EntryKind::File) return kNone;
    const std::optional<Platform::LocalTime> local = Platform::ToLocalTime(status->modified);
    if (!local || local->year < 1 || local->year > 9999) return kNone;
    return Pack(
        {static_cast<int>(local->year), local->month, local->day, local->hour, local->minute, local->second});
}

}  // namespace PhotoDate
