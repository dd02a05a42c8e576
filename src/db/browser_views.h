// The data browser's four table lists: which table each shows and with which columns.
#pragma once

#include "db/record_store.h"

namespace db {

enum TableView : int { kTransformersView = 0, kSetupsView = 1, kEquipmentView = 2, kSweepsView = 3 };
constexpr int kTableViewCount = 4;

// The list of view 0-3 (no base filter). False for any other view number.
bool tableView(int view, ViewContext& context);

}  // namespace db
