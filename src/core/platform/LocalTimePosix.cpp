#include <ctime>
#include <limits>

#include "core/platform/LocalTime.h"

namespace Platform {

std::optional<LocalTime> ToLocalTime(std::int64_t secondsSinceEpoch) {
    if (secondsSinceEpoch < std::numeric_limits<std::time_t>::min() ||
        secondsSinceEpoch > std::numeric_limits<std::time_t>::max()) {
        return std::nullopt;
    }
    const auto moment = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm tm{};
    if (localtime_r(&moment, &tm) == nullptr) return std::nullopt;
    return LocalTime{
        std::int64_t{tm.tm_year} + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace Platform
