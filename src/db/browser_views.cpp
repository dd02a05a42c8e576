#include "db/browser_views.h"

namespace db {

bool tableView(int view, ViewContext& context) {
    switch (view) {
    case 0: context = {TableIndex::Transformer, {0, 1, 2}, {}, false}; return true;
    case 1: context = {TableIndex::Measurement, {0, 1, 2, 3, 4, 6, 7, 8}, {}, false}; return true;
    case 2: context = {TableIndex::Equipment, {0, 1, 2, 3, 4}, {}, false}; return true;
    case 3: context = {TableIndex::Sweep, {0, 4, 7, 8, 10, 11}, {}, false}; return true;
    default: return false;
    }
}

}  // namespace db
