// printf into a std::string.
#include "common/string_printf.h"

#include <cstdio>

namespace common {

std::string stringVPrintf(const char* format, va_list args) {
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, format, args);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), format, again);
        out.resize(static_cast<std::size_t>(n));
    }
    va_end(again);
    return out;
}

std::string stringPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out = stringVPrintf(format, args);
    va_end(args);
    return out;
}

}  // namespace common
