// Trace output on POSIX: standard error, only while CORVANE_TRACE is set, so a normal run stays
// quiet on the terminal.
#include "platform/debug_output.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace platform {

void debugOutput(const std::string& text) {
    // Looked up on every call so tracing can be switched on in a running process's environment.
    if (std::getenv("CORVANE_TRACE") == nullptr) return;

    // One writer at a time, so texts from different threads never interleave mid-line.
    static std::mutex writing;
    std::lock_guard<std::mutex> lock(writing);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

}  // namespace platform
