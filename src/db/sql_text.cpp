#include "db/sql_text.h"

namespace db {

std::string doubleQuotes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out;
}

std::string whereAnyOf(const char* column, std::span<const std::string> values) {
    if (values.empty()) return {};
    const bool list = values.size() > kValuesPerClause;
    std::string clause = list ? common::stringPrintf("WHERE %s IN (", column) : std::string();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string value = doubleQuotes(values[i]);
        if (list) clause += common::stringPrintf(i == 0 ? "'%s'" : ",'%s'", value.c_str());
        else clause += common::stringPrintf(i == 0 ? "WHERE %s='%s'" : " OR %s='%s'", column, value.c_str());
    }
    return list ? clause + ")" : clause;
}

}  // namespace db
