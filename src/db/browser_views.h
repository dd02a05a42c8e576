// The data browser's four table lists: which table each shows and with which columns.
#pragma once

#include "db/record_store.h"

namespace db {

constexpr int kTableViewCount = 4;  // 0 transformers, 1 setups, 2 equipment, 3 sweeps

// The list of view 0-3 (no base filter). False for any other view number.
bool tableView(int view, ViewContext& context);

}  // namespace db
