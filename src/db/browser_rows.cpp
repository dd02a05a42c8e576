// Walking a list's order in bounded steps for its rowids, and reading its rows page by page.
#include "db/browser_rows.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "common/string_printf.h"
#include "db/row_text.h"
#include "db/schema.h"

namespace db {
namespace {

// Rows read together when the list asks for one: more than a screenful, so that scrolling by a
// page costs one query.
constexpr std::size_t kPageSize = 64;
// Rows a load examines at once: a screenful and more. A search that keeps few of them shows those,
// and the owner's further steps fill the list.
constexpr std::size_t kFirstRows = kPageSize;

// One prepared query; finalized when it goes out of scope.
class Query {
public:
    Query(sqlite3* handle, const std::string& sql) {
        if (handle && sqlite3_prepare_v2(handle, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
            sqlite3_finalize(stmt_);
            stmt_ = nullptr;
        }
    }
    ~Query() { sqlite3_finalize(stmt_); }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    bool prepared() const { return stmt_ != nullptr; }
    // Steps to the next row; false at the end and on failure (then failed() says so).
    bool next() {
        const int rc = sqlite3_step(stmt_);
        failed_ = rc != SQLITE_ROW && rc != SQLITE_DONE;
        return rc == SQLITE_ROW;
    }
    bool failed() const { return failed_; }
    sqlite3_stmt* stmt() const { return stmt_; }

    const char* text(int column) const { return reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column)); }

private:
    sqlite3_stmt* stmt_ = nullptr;
    bool failed_ = false;
};

// The condition of a WHERE clause ("" for none).
std::string conditionOf(const std::string& where) {
    static const std::string kWhere = "WHERE ";
    return where.compare(0, kWhere.size(), kWhere) == 0 ? where.substr(kWhere.size()) : where;
}

bool lessRegardlessOfCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

// The stretches of a list sorted by a column, in ascending order. A column's blanks (NULL) come
// first, in the order of loading, then its values along its index. A data type is sorted by its name,
// each type's rows in turn through the column's index; a value without a name shows as itself, which
// sorts before the names' letters, so those come first, found by the ranges between the named ones.
std::vector<ViewRows::Stretch> ViewRows::stretchesOf(TableIndex table, int column) {
    if (isRowidColumn(table, column)) return {{}};
    const std::string name = columnName(table, column);
    if (name != "Data_Type") {
        const std::string key = shownValueSql(name);
        return {{key + " IS NULL", ""}, {key + " IS NOT NULL", key}};
    }
    const std::vector<int> types{kDataBasicFra, kDataFra, kDataLcr};  // in order of value
    Stretch unnamed{name + "<" + std::to_string(types.front()), name};
    for (std::size_t i = 1; i < types.size(); ++i)
        unnamed.condition += common::stringPrintf(" OR (%s>%d AND %s<%d)", name.c_str(), types[i - 1], name.c_str(),
                                                  types[i]);
    unnamed.condition += " OR " + name + ">" + std::to_string(types.back());
    std::vector<int> byName = types;
    std::sort(byName.begin(), byName.end(),
              [](int a, int b) { return lessRegardlessOfCase(dataTypeName(a), dataTypeName(b)); });
    std::vector<Stretch> stretches{unnamed};
    for (int type : byName) stretches.push_back({name + "=" + std::to_string(type), ""});
    return stretches;
}

bool ViewRows::load(const ViewContext& view, const std::string& search, int sortColumn, SortOrder order) {
    clear();
    view_ = view;
    generation_ = connectionGeneration(Connection::Main);
    if (!connectionHandle(Connection::Main)) return false;

    const bool sorted = order != SortOrder::Loading && sortColumn >= 0 &&
                        sortColumn < static_cast<int>(view.columns.size());
    where_ = conditionOf(view.baseFilter);
    search_ = searchCondition(view, search);
    stretches_ = sorted ? stretchesOf(view.table, view.columns[static_cast<std::size_t>(sortColumn)])
                        : std::vector<Stretch>{{}};
    descending_ = sorted && order == SortOrder::Descending;
    complete_ = false;
    if (walk(kFirstRows)) return true;
    show_database_error(Connection::Main, nullptr);
    clear();
    return false;
}

bool ViewRows::loadMore(std::size_t count) {
    if (complete_ || !current()) return false;
    if (walk(count)) return true;
    complete_ = true;
    return false;
}

bool ViewRows::walk(std::size_t count) {
    // A last page read while it was short is read again with the rows that join it.
    if (ids_.size() % kPageSize != 0) pages_.back().clear();
    const char* const direction = descending_ ? " DESC" : "";
    const std::string after = descending_ ? " < " : " > ";
    std::size_t examined = 0;
    while (examined < count && stretch_ < stretches_.size()) {
        const Stretch& s = stretches_[descending_ ? stretches_.size() - 1 - stretch_ : stretch_];
        std::string where;
        for (const std::string& condition :
             {where_, s.condition,
              !started_ ? std::string() : s.key.empty() ? "rowid" + after + "?2"
                                                        : "(" + s.key + ", rowid)" + after + "(?1 COLLATE NOCASE, ?2)"})
            if (!condition.empty()) where += (where.empty() ? " WHERE (" : " AND (") + condition + ")";
        const std::size_t wanted = count - examined;
        Query q(connectionHandle(Connection::Main),
                "SELECT rowid, " + (s.key.empty() ? std::string("NULL") : s.key) + ", " +
                    (search_.empty() ? std::string("1") : "(" + search_ + ")") + " FROM " + tableName(view_.table) +
                    where + " ORDER BY " + (s.key.empty() ? std::string() : s.key + " COLLATE NOCASE" + direction + ", ") +
                    "rowid" + direction + " LIMIT " + std::to_string(wanted));
        if (!q.prepared()) return false;
        if (started_) {
            sqlite3_bind_value(q.stmt(), 1, lastKey_.get());
            sqlite3_bind_int64(q.stmt(), 2, lastId_);
        }
        std::size_t rows = 0;
        while (q.next()) {
            ++rows;
            started_ = true;
            lastId_ = sqlite3_column_int64(q.stmt(), 0);
            lastKey_.reset(sqlite3_value_dup(sqlite3_column_value(q.stmt(), 1)), sqlite3_value_free);
            if (sqlite3_column_int(q.stmt(), 2)) ids_.push_back(lastId_);
        }
        if (q.failed()) return false;
        examined += rows;
        if (rows < wanted) {
            ++stretch_;
            started_ = false;
        }
    }
    complete_ = stretch_ >= stretches_.size();
    pages_.resize((ids_.size() + kPageSize - 1) / kPageSize);
    return true;
}

void ViewRows::clear() {
    ids_.clear();
    pages_.clear();
    failed_ = false;
    complete_ = true;
    where_.clear();
    search_.clear();
    descending_ = false;
    stretches_.clear();
    stretch_ = 0;
    started_ = false;
    lastKey_.reset();
}

bool ViewRows::current() const {
    return !failed_ && generation_ == connectionGeneration(Connection::Main) && connectionHandle(Connection::Main);
}

const std::vector<std::string>& ViewRows::row(std::size_t index) {
    static const std::vector<std::string> none;
    if (index >= ids_.size() || !current()) return none;
    const std::size_t page = index / kPageSize;
    if (pages_[page].empty() && !readPage(page)) return none;
    return pages_[page][index % kPageSize];
}

std::string ViewRows::key(std::size_t index) {
    const std::vector<std::string>& values = row(index);
    return values.empty() ? std::string() : values.front();
}

bool ViewRows::readPage(std::size_t page) {
    const std::size_t first = page * kPageSize, count = std::min(kPageSize, ids_.size() - first);
    std::unordered_map<std::int64_t, std::size_t> position;
    std::string sql = "SELECT rowid";
    for (int c : view_.columns) sql += std::string(",") + columnName(view_.table, c);
    sql += std::string(" FROM ") + tableName(view_.table) + " WHERE rowid IN (";
    for (std::size_t i = 0; i < count; ++i) {
        position[ids_[first + i]] = i;
        sql += (i ? "," : "") + std::to_string(ids_[first + i]);
    }
    sql += ")";

    std::vector<std::vector<std::string>> rows(count);
    Query q(connectionHandle(Connection::Main), sql);
    while (q.prepared() && q.next()) {
        std::vector<std::string>& values = rows[position[sqlite3_column_int64(q.stmt(), 0)]];
        for (std::size_t c = 0; c < view_.columns.size(); ++c)
            values.push_back(viewValue(columnName(view_.table, view_.columns[c]), q.text(static_cast<int>(c) + 1)));
    }
    if (!q.prepared() || q.failed()) {
        failed_ = true;
        return false;
    }
    pages_[page] = std::move(rows);
    return true;
}

}  // namespace db
