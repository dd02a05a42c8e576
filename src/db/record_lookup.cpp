// Rows by key and the texts that show them in the dialogs' fields.
#include "db/record_lookup.h"

#include "db/record_store.h"
#include "db/row_text.h"
#include "db/sql_text.h"

namespace db {
namespace {

// The row texts (see select_rows) of the given columns of the row whose key is key, split at their
// tabs; empty when there is no such row.
std::vector<std::string> shownRow(TableIndex table, const std::vector<int>& columns, const std::string& key) {
    std::vector<std::string> rows;
    if (!select_rows(rows, table, columns, whereColumnIs(table, 0, key), false) || rows.empty()) return {};
    return splitRow(rows.front());
}

}  // namespace

std::string whereColumnIs(TableIndex table, int column, const std::string& value, const std::string& base) {
    const std::string term = common::stringPrintf("%s='%s'", columnName(table, column), doubleQuotes(value).c_str());
    return base.empty() ? "WHERE " + term : common::stringPrintf("%s AND %s", base.c_str(), term.c_str());
}

bool loadRowByKey(TableIndex table, const std::string& key, const std::string& base, std::vector<std::string>& values) {
    std::vector<std::vector<std::string>> rows;
    if (!selectColumns(rows, table, allColumns(table), whereColumnIs(table, 0, key, base), false) || rows.empty())
        return false;
    values = std::move(rows.front());
    return true;
}

std::string transformerText(const std::string& identifier) {
    const std::vector<std::string> v = shownRow(TableIndex::Transformer, {0, 1, 2}, identifier);
    return v.size() < 3 ? std::string() : common::stringPrintf("%s %s %s", v[0].c_str(), v[1].c_str(), v[2].c_str());
}

std::string setupText(std::int64_t id) {
    const std::vector<std::string> v = shownRow(TableIndex::Measurement, {1, 2, 3}, std::to_string(id));
    return v.size() < 3 ? std::string() : common::stringPrintf("%s %s-%s", v[0].c_str(), v[1].c_str(), v[2].c_str());
}

std::string equipmentText(std::int64_t id) {
    const std::vector<std::string> v = shownRow(TableIndex::Equipment, {1, 2, 3}, std::to_string(id));
    return v.size() < 3 ? std::string() : common::stringPrintf("%s %s %s", v[0].c_str(), v[1].c_str(), v[2].c_str());
}

std::string fingerprintText(std::int64_t sweepId) {
    const std::vector<std::string> v = shownRow(TableIndex::Sweep, {0, 4, 7, 8, 10}, std::to_string(sweepId));
    // A single-line field shows no tab: the row's tabs become a wider gap.
    return v.size() < 5 ? std::string() : v[1] + "   " + v[2] + " " + v[3] + "   " + v[4];
}

bool sweepNameExists(const std::string& name, Connection c) {
    const TableIndex t = TableIndex::Sweep;
    std::vector<std::vector<std::string>> rows;
    selectColumns(rows, t, {0},
                  common::stringPrintf("Where %s = '%s' COLLATE NOCASE", columnName(t, 4), doubleQuotes(name).c_str()),
                  false, c);
    return !rows.empty();
}

}  // namespace db
