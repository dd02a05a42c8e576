// Clocks and sleeping on Windows: the performance counter for intervals, the local time of the
// system clock for the wall-clock time.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include "platform/clock.h"

#include <windows.h>

#include <ctime>

namespace platform {

std::uint64_t nowMs() {
    LARGE_INTEGER frequency, counter;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !QueryPerformanceCounter(&counter))
        return GetTickCount64();
    // counter * 1000 would overflow 64 bits after some weeks at a 10 MHz counter; whole seconds and
    // the remainder are scaled separately instead.
    const std::uint64_t ticks = static_cast<std::uint64_t>(counter.QuadPart);
    const std::uint64_t perSecond = static_cast<std::uint64_t>(frequency.QuadPart);
    return ticks / perSecond * 1000u + ticks % perSecond * 1000u / perSecond;
}

void sleepMs(unsigned ms) { Sleep(ms); }

LocalTime localTimeNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    LocalTime t;
    t.year = now.wYear;
    t.month = now.wMonth;
    t.day = now.wDay;
    t.hour = now.wHour;
    t.minute = now.wMinute;
    t.second = now.wSecond;
    t.milliseconds = now.wMilliseconds;
    return t;
}

std::int64_t localTimeToMs(const LocalTime& t) {
    // The C library's conversion, as on POSIX, so both sides agree on out-of-range fields (they
    // carry over) and on summer time.
    std::tm parts{};
    parts.tm_year = t.year - 1900;
    parts.tm_mon = t.month - 1;
    parts.tm_mday = t.day;
    parts.tm_hour = t.hour;
    parts.tm_min = t.minute;
    parts.tm_sec = t.second;
    parts.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&parts);
    if (seconds == static_cast<std::time_t>(-1)) return -1;
    return static_cast<std::int64_t>(seconds) * 1000 + t.milliseconds;
}

}  // namespace platform
