// Converting a local date and time to a count of milliseconds: the C library's conversion on every
// platform, so that out-of-range fields carry over and summer time is judged the same everywhere.
#include <ctime>

#include "platform/clock.h"

namespace platform {

std::int64_t localTimeToMs(const LocalTime& t) {
    std::tm parts{};
    parts.tm_year = t.year - 1900;
    parts.tm_mon = t.month - 1;
    parts.tm_mday = t.day;
    parts.tm_hour = t.hour;
    parts.tm_min = t.minute;
    parts.tm_sec = t.second;
    parts.tm_isdst = -1;  // let the library decide whether summer time was in force
    const std::time_t seconds = std::mktime(&parts);
    if (seconds == static_cast<std::time_t>(-1)) return -1;
    return static_cast<std::int64_t>(seconds) * 1000 + t.milliseconds;
}

}  // namespace platform
