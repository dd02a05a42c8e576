// Building SQL text: printf-style formatting and the quote doubling that makes any text safe inside
// a single-quoted SQL literal.
#pragma once

#include <string>
#include <string_view>

namespace db {

// printf into a std::string of whatever length the result needs (C locale number formats).
std::string sqlFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// text with every single quote doubled: O'Neil becomes O''Neil.
std::string doubleQuotes(std::string_view text);

}  // namespace db
