// Trace output on Windows: the debugger output stream. While the environment variable CORVANE_TRACE
// is set, traces also go to standard error as they do on POSIX (under Wine the debugger stream shows
// only with Wine's own debug channels switched on).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include "platform/debug_output.h"

#include <windows.h>

#include <cstdio>
#include <mutex>


namespace platform {

void debugOutput(const std::string& text) {
    OutputDebugStringA(text.c_str());

    // Looked up on every call so tracing can be switched on in a running process's environment; a
    // variable that is set but empty still counts (its size with the terminator is 1).
    if (GetEnvironmentVariableA("CORVANE_TRACE", nullptr, 0) == 0) return;

    // One writer at a time, so texts from different threads never interleave mid-line.
    static std::mutex writing;
    std::lock_guard<std::mutex> lock(writing);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

}  // namespace platform
