// Clocks and sleeping.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds of a steady clock with an arbitrary origin; for measuring intervals.
std::uint64_t nowMs();

// Blocks the calling thread for about ms milliseconds.
void sleepMs(unsigned ms);

// The local wall-clock time, broken down.
struct LocalTime {
    int year = 0;          // four digits
    int month = 0;         // 1-12
    int day = 0;           // 1-31
    int hour = 0;          // 0-23
    int minute = 0;
    int second = 0;
    int milliseconds = 0;
};

LocalTime localTimeNow();

// Milliseconds since 1970 of a local date and time (milliseconds field included), for comparing
// wall-clock dates; -1 when it cannot be converted.
std::int64_t localTimeToMs(const LocalTime& t);

}  // namespace platform
