// Clocks and sleeping on POSIX: the monotonic clock for intervals, the real-time clock for the
// local wall-clock time.
#include "platform/clock.h"

#include <cerrno>
#include <ctime>

namespace platform {

std::uint64_t nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

void sleepMs(unsigned ms) {
    timespec remaining{};
    remaining.tv_sec = static_cast<time_t>(ms / 1000u);
    remaining.tv_nsec = static_cast<long>(ms % 1000u) * 1000000L;
    // A signal handler may cut the sleep short; carry on with what is left of it.
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

LocalTime localTimeNow() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    const time_t seconds = ts.tv_sec;
    tm parts{};
    localtime_r(&seconds, &parts);

    LocalTime t;
    t.year = parts.tm_year + 1900;
    t.month = parts.tm_mon + 1;
    t.day = parts.tm_mday;
    t.hour = parts.tm_hour;
    t.minute = parts.tm_min;
    t.second = parts.tm_sec;
    t.milliseconds = static_cast<int>(ts.tv_nsec / 1000000L);
    return t;
}

}  // namespace platform
