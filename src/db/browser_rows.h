// The rows of one data-browser list, read as the list needs them: a load selects only which rows
// the list's query matches (their rowids, in the list's order), and the shown texts of a row are read
// with those of its page when the list first asks for it. A list walks its order in bounded steps:
// the first at load, the others through loadMore, each examining at most a given number of rows in
// the order of loading or along an index of the sorted column, so that a list appears, sorts and
// narrows at each key of a search in the time of a screenful whatever the file holds. The owner (the
// data browser's view) keeps one; user-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/record_store.h"

struct sqlite3_value;

namespace db {

// The order of a list: as loaded (rowid order, the order the rows were stored in), or by one column.
enum class SortOrder { Loading, Ascending, Descending };

class ViewRows {
public:
    // Starts the list of the rows of view that the search text keeps (see searchCondition; "" keeps
    // all), ordered by the column at position sortColumn of view.columns as order says, and takes its
    // first rows. Numbers sort by value and before texts, texts regardless of case (dates by day, data
    // types by their names), blanks first; rows that compare equal keep the order of loading, and
    // descending is ascending reversed. False when the query failed (its message has been shown) or
    // no database is open; the list is empty then.
    bool load(const ViewContext& view, const std::string& search, int sortColumn, SortOrder order);

    // Examines up to count more rows of a list that is not complete and takes those the search keeps;
    // false when nothing more could be examined (the list is complete, its database is no longer the
    // one open, or the query failed, which ends the list where it is).
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
    // One stretch of the list's order: the rows of a condition, walked by a key (an SQL expression,
    // compared regardless of case) and then rowid, or by rowid alone when key is empty.
    struct Stretch {
        std::string condition;
        std::string key;
    };

    static std::vector<Stretch> stretchesOf(TableIndex table, int column);
    bool readPage(std::size_t page);
    // Walks the stretches from where the last step stopped, examining up to count rows.
    bool walk(std::size_t count);

    ViewContext view_;
    std::uint64_t generation_ = 0;
    bool failed_ = false;
    bool complete_ = true;
    std::string where_;                                          // the base filter's condition, "" for none
    std::string search_;                                         // the search's condition, "" for none
    bool descending_ = false;
    std::vector<Stretch> stretches_;                             // in ascending order
    std::size_t stretch_ = 0;                                    // the one being walked
    bool started_ = false;                                       // whether the cursor below is set
    std::int64_t lastId_ = 0;                                    // the cursor: the last row examined
    std::shared_ptr<sqlite3_value> lastKey_;                     //   and its key
    std::vector<std::int64_t> ids_;                              // rowids in list order
    std::vector<std::vector<std::vector<std::string>>> pages_;   // per page, empty until read
};

}  // namespace db
