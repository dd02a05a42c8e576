// Building SQL text: the quote doubling that makes any text safe inside a single-quoted SQL literal
// (statements are formatted with common::stringPrintf).
#pragma once

#include <string>
#include <string_view>

#include "common/string_printf.h"

namespace db {

// text with every single quote doubled: O'Neil becomes O''Neil.
std::string doubleQuotes(std::string_view text);

}  // namespace db
