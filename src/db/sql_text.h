// Building SQL text: the quote doubling that makes any text safe inside a single-quoted SQL literal,
// and the clause that matches a column against a list of values (statements are formatted with
// common::stringPrintf).
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "common/string_printf.h"

namespace db {

// text with every single quote doubled: O'Neil becomes O''Neil.
std::string doubleQuotes(std::string_view text);

// SQLite refuses expressions nested more than 1000 deep, and every OR nests one level: whereAnyOf
// joins at most this many values with OR.
constexpr std::size_t kValuesPerClause = 500;

// "WHERE column='v1' OR column='v2' ...", every value's quotes doubled; "" for no values. More than
// kValuesPerClause values are matched as "WHERE column IN ('v1','v2',...)", which does not nest.
std::string whereAnyOf(const char* column, std::span<const std::string> values);

}  // namespace db
