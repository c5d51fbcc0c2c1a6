#pragma once

#include <cstdint>
#include <ctime>

namespace testsupport {

// Seconds since the epoch of a local date and time, in the test's time zone.
inline std::int64_t LocalSeconds(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

}  // namespace testsupport
