// The rows of one data-browser list, read as the list needs them: a load selects only which rows
// the list's query matches (their rowids, in the list's order), and the shown texts of a row are read
// with those of its page when the list first asks for it. A list in the order of loading takes its
// first rows at once and the rest in steps (loadMore), so that it appears, and narrows at each key of
// a search, in the time of a screenful whatever the file holds; a sorted list needs every row's key
// and is selected whole. The owner (the data browser's view) keeps one; user-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "db/record_store.h"

namespace db {

// The order of a list: as loaded (rowid order, the order the rows were stored in), or by one column.
enum class SortOrder { Loading, Ascending, Descending };

class ViewRows {
public:
    // Selects the rows of view that the search text keeps (see searchClause; "" keeps all), ordered
    // by the column at position sortColumn of view.columns as order says. Numbers sort by value and
    // dates by day, other values by their shown text regardless of case; rows that compare equal
    // keep the order of loading. False when the query failed (its message has been shown) or no
    // database is open; the list is empty then.
    // In the order of loading only the first rows are selected; loadMore takes the others.
    bool load(const ViewContext& view, const std::string& search, int sortColumn, SortOrder order);

    // Selects up to count more rows of a list that is not complete; false when nothing more was
    // taken (the list is complete, its database is no longer the one open, or the query failed,
    // which ends the list where it is).
    bool loadMore(std::size_t count);

    // Whether every row the query matches has been selected.
    bool complete() const { return complete_; }

    // Forgets every row.
    void clear();

    std::size_t size() const { return ids_.size(); }

    // The shown values of the row at index (one per column of the view, as select_rows_to_view
    // shows them, without the tabs). Empty when index is out of range, when the row is gone, when
    // its page could not be read, or when the database it was loaded from is no longer open; no
    // message is shown, so that a list may ask while it paints.
    const std::vector<std::string>& row(std::size_t index);

    // The row's key: the text of its first column ("" as for an empty row).
    std::string key(std::size_t index);

    // Whether the rows belong to the database open now: false once it has been closed or another
    // one opened, and after a page could not be read. The owner then loads anew.
    bool current() const;

private:
    bool readPage(std::size_t page);
    // Appends the rowids of up to count matching rows after the last one taken.
    bool takeIds(std::size_t count);

    ViewContext view_;
    std::uint64_t generation_ = 0;
    bool failed_ = false;
    bool complete_ = true;
    std::string where_;                                          // the search's condition, "" for none
    std::vector<std::int64_t> ids_;                              // rowids in list order
    std::vector<std::vector<std::vector<std::string>>> pages_;   // per page, empty until read
};

}  // namespace db
