// Loading a list's rowids (with the sort column when sorted) and reading its rows page by page.
#include "db/browser_rows.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <numeric>
#include <unordered_map>

#include "db/row_text.h"

namespace db {
namespace {

// Rows read together when the list asks for one: more than a screenful, so that scrolling by a
// page costs one query.
constexpr std::size_t kPageSize = 64;
// Rows a list in the order of loading selects at once: a screenful and more.
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

// What a row sorts by: numbers before texts, numbers by value, texts by their bytes (lower-cased).
struct SortKey {
    bool isNumber = false;
    double number = 0;
    std::string text;
};

bool sortsBefore(const SortKey& a, const SortKey& b) {
    if (a.isNumber != b.isNumber) return a.isNumber;
    return a.isNumber ? a.number < b.number : a.text < b.text;
}

// A stored value's sort key. Stored dates are YYYY-MM-DD, which sort by day as text; a data type
// sorts by the name the list shows for it.
SortKey sortKeyOf(const std::string& column, const Query& q, int index) {
    SortKey key;
    const int type = sqlite3_column_type(q.stmt(), index);
    const bool dataType = column == columnName(TableIndex::Sweep, 11);
    if (!dataType && (type == SQLITE_INTEGER || type == SQLITE_FLOAT)) {
        key.isNumber = true;
        key.number = sqlite3_column_double(q.stmt(), index);
        return key;
    }
    const char* stored = q.text(index);
    key.text = column.find("Date") != std::string::npos && stored ? std::string(stored) : viewValue(column, stored);
    for (char& c : key.text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

std::string from(const ViewContext& view, const std::string& where) {
    std::string sql = std::string(" FROM ") + tableName(view.table);
    if (!where.empty()) sql += " " + where;
    return sql + " ORDER BY rowid";
}

// The condition of a WHERE clause ("" for none).
std::string conditionOf(const std::string& where) {
    static const std::string kWhere = "WHERE ";
    return where.compare(0, kWhere.size(), kWhere) == 0 ? where.substr(kWhere.size()) : where;
}

}  // namespace

bool ViewRows::load(const ViewContext& view, const std::string& search, int sortColumn, SortOrder order) {
    clear();
    view_ = view;
    generation_ = connectionGeneration(Connection::Main);
    sqlite3* handle = connectionHandle(Connection::Main);
    if (!handle) return false;

    const bool sorted = order != SortOrder::Loading && sortColumn >= 0 &&
                        sortColumn < static_cast<int>(view.columns.size());
    if (!sorted) {
        where_ = conditionOf(searchClause(view, search));
        complete_ = false;
        if (takeIds(kFirstRows)) return true;
        show_database_error(Connection::Main, nullptr);
        clear();
        return false;
    }
    const std::string column = columnName(view.table, view.columns[static_cast<std::size_t>(sortColumn)]);
    Query q(handle, "SELECT rowid," + column + from(view, searchClause(view, search)));
    std::vector<SortKey> keys;
    while (q.prepared() && q.next()) {
        ids_.push_back(sqlite3_column_int64(q.stmt(), 0));
        keys.push_back(sortKeyOf(column, q, 1));
    }
    if (!q.prepared() || q.failed()) {
        show_database_error(Connection::Main, nullptr);
        clear();
        return false;
    }
    {
        std::vector<std::size_t> at(ids_.size());
        std::iota(at.begin(), at.end(), 0);
        if (order == SortOrder::Ascending)
            std::stable_sort(at.begin(), at.end(), [&](std::size_t a, std::size_t b) { return sortsBefore(keys[a], keys[b]); });
        else
            std::stable_sort(at.begin(), at.end(), [&](std::size_t a, std::size_t b) { return sortsBefore(keys[b], keys[a]); });
        std::vector<std::int64_t> ordered(ids_.size());
        for (std::size_t i = 0; i < at.size(); ++i) ordered[i] = ids_[at[i]];
        ids_ = std::move(ordered);
    }
    pages_.resize((ids_.size() + kPageSize - 1) / kPageSize);
    return true;
}

bool ViewRows::loadMore(std::size_t count) {
    if (complete_ || !current()) return false;
    const std::size_t before = ids_.size();
    if (!takeIds(count)) complete_ = true;
    return ids_.size() > before;
}

bool ViewRows::takeIds(std::size_t count) {
    std::string condition = ids_.empty() ? std::string() : "rowid > " + std::to_string(ids_.back());
    if (!where_.empty()) condition += (condition.empty() ? "(" : " AND (") + where_ + ")";
    Query q(connectionHandle(Connection::Main), "SELECT rowid" +
                                                    from(view_, condition.empty() ? "" : "WHERE " + condition) +
                                                    " LIMIT " + std::to_string(count));
    // A last page read while it was short is read again with the rows that join it.
    if (ids_.size() % kPageSize != 0) pages_.back().clear();
    std::size_t taken = 0;
    while (q.prepared() && q.next()) {
        ids_.push_back(sqlite3_column_int64(q.stmt(), 0));
        ++taken;
    }
    if (!q.prepared() || q.failed()) return false;
    complete_ = taken < count;
    pages_.resize((ids_.size() + kPageSize - 1) / kPageSize);
    return true;
}

void ViewRows::clear() {
    ids_.clear();
    pages_.clear();
    failed_ = false;
    complete_ = true;
    where_.clear();
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
