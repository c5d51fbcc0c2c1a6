#pragma once

// Conversion of file times to the user's local time (the TZ environment and the system zone).

#include <cstdint>
#include <optional>

namespace Platform {

struct LocalTime {
    std::int64_t year = 0;
    int month = 0;  // 1-12
    int day = 0;    // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The local time of a moment given in seconds since the epoch (negative before 1970); nullopt
// when the system cannot represent it.
std::optional<LocalTime> ToLocalTime(std::int64_t secondsSinceEpoch);

}  // namespace Platform
