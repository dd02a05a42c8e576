#include "db/browser_views.h"

#include "db/sql_text.h"

namespace db {

std::vector<int> viewColumns(TableIndex table) {
    switch (table) {
    case TableIndex::Transformer: return {0, 1, 2};
    case TableIndex::Measurement: return {0, 1, 2, 3, 4, 6, 7, 8};
    case TableIndex::Equipment: return {0, 1, 2, 3, 4};
    case TableIndex::Sweep: return {0, 4, 7, 8, 10, 11};
    default: return {};
    }
}

bool tableView(int view, ViewContext& context) {
    if (view < 0 || view >= kTableViewCount) return false;
    const auto table = static_cast<TableIndex>(view);
    context = {table, viewColumns(table), {}, false};
    return true;
}

ViewContext filteredView(TableIndex table, const std::string& where) { return {table, viewColumns(table), where, true}; }

RecordSelection keySelection(const ViewContext& view, const std::vector<std::string>& keys) {
    return {view.table, view.columns, whereAnyOf(columnName(view.table, 0), keys)};
}

}  // namespace db
