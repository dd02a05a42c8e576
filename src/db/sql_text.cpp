#include "db/sql_text.h"

#include <cstdarg>
#include <cstdio>

namespace db {

std::string sqlFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), format, again);
        out.resize(static_cast<std::size_t>(n));
    }
    va_end(again);
    return out;
}

std::string doubleQuotes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out;
}

}  // namespace db
