// The data browser's lists: the four table views (transformers, setups, equipment, sweeps) with the
// columns each shows, view 4 (a filtered set of one table's rows), and the selection that deleting a
// list's rows by their keys acts on. Pure: no database access.
#pragma once

#include <string>
#include <vector>

#include "db/record_store.h"

namespace db {

enum TableView : int { kTransformersView = 0, kSetupsView = 1, kEquipmentView = 2, kSweepsView = 3, kFilteredView = 4 };
constexpr int kTableViewCount = 4;  // views 0-3 show whole tables
constexpr int kViewCount = 5;

// The list of view 0-3 (no base filter). False for any other view number.
bool tableView(int view, ViewContext& context);

// The columns a list of the table shows (those of its table view; the first is the key). Empty for a
// table that has no view.
std::vector<int> viewColumns(TableIndex table);

// View 4: the rows of table that where matches, with the table's view columns.
ViewContext filteredView(TableIndex table, const std::string& where);

// The records of the view's table whose keys (first column) are keys: "WHERE key='k1' OR key='k2'
// ...", quotes doubled. At most kValuesPerClause keys.
RecordSelection keySelection(const ViewContext& view, const std::vector<std::string>& keys);

}  // namespace db
