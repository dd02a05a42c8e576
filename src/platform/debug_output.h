// The debugger output stream: traces that change nothing (OutputDebugStringA on Windows; on POSIX
// standard error, and only while the environment variable CORVANE_TRACE is set).
#pragma once

#include <string>

namespace platform {

void debugOutput(const std::string& text);

}  // namespace platform
