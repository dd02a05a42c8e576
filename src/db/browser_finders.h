// The data browser's finders: what its context menu (and a double click) offers to show in view 4
// for the selected rows of a list, each with its menu text and the filter it sets. Reads the records
// the rows refer to; a failed read has shown its message (see select_rows) and finds nothing.
// User-interface thread only.
#pragma once

#include <string>
#include <vector>

#include "db/record_store.h"

namespace db {

// One menu item: its text and the list it shows (view 4 on its table).
struct Finder {
    std::string label;
    ViewContext view;
};

struct RowFinders {
    // Transformer, setup or equipment rows ("Find Sweeps"): all their sweeps first ("All Sweeps on
    // this Transformer", "All Sweeps with this Setup", "All Sweeps using this Equipment"), then each
    // of those sweeps alone ("\"name date\" Only").
    std::vector<Finder> sweeps;
    // Sweep rows ("Find Similar Sweeps"): the sweeps of each transformer, setup and piece of
    // equipment the sweeps refer to, then those of each of their data types.
    std::vector<Finder> similar;
    // Sweep rows ("Find Sweeps" > "Find Transformer", "Find Setups", "Find Equipment"): each record
    // the sweeps refer to, alone.
    std::vector<Finder> transformers, setups, equipment;
    // Sweep rows: whether impedance (LCR) sweeps and frequency-response sweeps are among them.
    bool anyLcr = false;
    bool anyFra = false;

    // Every finder, the groups in the order above; the menu numbers its items in this order.
    std::vector<const Finder*> all() const;
};

// What the selected rows of table (their keys, in list order) can find. Rows of a table without
// finders find nothing.
RowFinders findersFor(TableIndex table, const std::vector<std::string>& keys);

// All sweeps of the transformers, setups or equipment with these keys: the first finder of their
// rows, and what a double click on such a row shows. False for keys of another table.
bool allSweepsOf(TableIndex table, const std::vector<std::string>& keys, Finder& finder);

}  // namespace db
