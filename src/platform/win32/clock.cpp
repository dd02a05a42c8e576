// Clocks and sleeping on Windows: the performance counter for intervals, the local time of the
// system clock for the wall-clock time.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include "platform/clock.h"

#include <windows.h>


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

}  // namespace platform
