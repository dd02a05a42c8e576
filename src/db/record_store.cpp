// The four add/update operations, the bulk point insert, the row selects with their remembered
// filters, the data browser's search and the database error messages.
#include "db/record_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "db/row_text.h"
#include "db/sql_exec.h"
#include "db/sql_text.h"
#include "platform/clock.h"
#include "db/fleet_identity.h"
#include "platform/debug_output.h"
#include "platform/prompter.h"

namespace db {
namespace {

void showConnectionError(const char* code) {
    platform::showMessage(std::string("There was a problem accessing the database\n please re-open the database from "
                                      "the database page\n[code:") +
                              code + "]",
                          "Database Connection Error", platform::Icon::None);
}

using RowHandler = std::function<void(char** values)>;

// The select behind every row read: "SELECT columns FROM table [where]", one call of onRow per row
// with the stored texts (nullptr for NULL). connectionCode tells the caller apart in the message
// shown when the main connection is closed.
bool runSelect(Connection c, TableIndex table, const std::vector<int>& columns, const std::string& where,
               bool remember, const char* connectionCode, const RowHandler& onRow) {
    std::string names;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i) names += ",";
        names += columnName(table, columns[i]);
    }
    std::string sql =
        where.empty() ? common::stringPrintf("SELECT %s FROM %s", names.c_str(), tableName(table))
                      : common::stringPrintf("SELECT %s FROM %s %s", names.c_str(), tableName(table), where.c_str());
    if (remember && static_cast<int>(table) >= 0 && static_cast<int>(table) < kTableCount)
        c.database().rememberedFilters[static_cast<int>(table)] = where;

    sqlite3* handle = connectionHandle(c);
    if (!handle) {
        showConnectionError(connectionCode);
        return false;
    }
    platform::WaitCursor wait;
    char* error = nullptr;
    auto callback = [](void* context, int, char** values, char**) -> int {
        (*static_cast<const RowHandler*>(context))(values);
        return 0;
    };
    int rc = sqlite3_exec(handle, sql.c_str(), callback, const_cast<RowHandler*>(&onRow), &error);
    if (rc != SQLITE_OK) {
        show_database_error(c, error);
        return false;
    }
    sqlite3_free(error);
    return true;
}

// Whether a row matches where; false when the lookup itself failed (its message shown).
bool rowExists(Connection c, TableIndex table, int keyColumn, const std::string& where, bool& exists) {
    exists = false;
    return runSelect(c, table, {keyColumn}, where, false, "1157", [&](char**) { exists = true; });
}

std::string keyIs(TableIndex table, int column, const std::string& value) {
    return common::stringPrintf("WHERE %s='%s'", columnName(table, column), doubleQuotes(value).c_str());
}

std::string idIs(TableIndex table, std::int64_t id) {
    return common::stringPrintf("WHERE %s='%lld'", columnName(table, 0), static_cast<long long>(id));
}

// One write in its own transaction, with the record's fleet identity noted in it (a new record's
// key is the row SQLite gave it; an update's, or a transformer's, is the one it has). A failed
// statement or commit shows the database error and the operation's own message, and rolls back; the
// result is the SQLite code, or 0.
int writeInTransaction(Connection c, const std::string& sql, const char* failureMessage, TableIndex table,
                       bool update, const std::string& key) {
    beginTransaction(c);
    int rc = execSql(c, sql);
    if (rc == SQLITE_OK) {
        const bool keyed = update || table == TableIndex::Transformer;
        rc = noteRecordStored(table, keyed ? key : std::to_string(sqlite3_last_insert_rowid(connectionHandle(c))), c);
        if (rc != SQLITE_OK) show_database_error(c, nullptr);
    }
    if (rc == SQLITE_OK) rc = commitTransaction(c);
    if (rc != SQLITE_OK) {
        platform::showMessage(failureMessage, "Error", platform::Icon::Warning);
        rollbackTransaction(c);
    }
    return rc;
}

// The frame every add and update shares: validation, the key lookup that decides between insert and
// update, then the write. duplicateWhere, when given, refuses an add that matches it (-2). key is the
// record's local key as its fleet identity knows it.
int storeRecord(Connection c, StoreMode mode, bool valid, TableIndex table, const std::string& key,
                const std::string& keyWhere, const std::function<std::string(bool update)>& statement,
                const char* failureMessage, const std::string& duplicateWhere = {}) {
    if (mode != kAddUnchecked && !valid) return kInvalid;
    platform::WaitCursor wait;
    bool found = false;
    if (!rowExists(c, table, 0, keyWhere, found)) return SQLITE_CANTOPEN;
    if (found && mode != kUpdate) return kAlreadyExists;
    if (!found && mode == kUpdate) return kNotFound;
    if (!duplicateWhere.empty()) {
        bool duplicate = false;
        if (!rowExists(c, table, 0, duplicateWhere, duplicate)) return SQLITE_CANTOPEN;
        if (duplicate) return kAlreadyExists;
    }
    return writeInTransaction(c, statement(mode == kUpdate), failureMessage, table, mode == kUpdate, key);
}

std::string quoted(const std::string& text) { return doubleQuotes(text); }

}  // namespace

int store_transformer(const TransformerRecord& r, StoreMode mode, Connection c) {
    const TableIndex t = TableIndex::Transformer;
    bool valid = r.identifier.size() >= 3 && !r.manufacturer.empty() && !r.serialNumber.empty();
    auto statement = [&](bool update) {
        std::string id = quoted(r.identifier), maker = quoted(r.manufacturer), serial = quoted(r.serialNumber);
        if (update)
            return common::stringPrintf("UPDATE %s SET %s='%s', %s='%s', %s='%lld' WHERE %s='%s'", tableName(t),
                                        columnName(t, 1), maker.c_str(), columnName(t, 2), serial.c_str(),
                                        columnName(t, 3), static_cast<long long>(r.fingerprintSweepId),
                                        columnName(t, 0), id.c_str());
        return common::stringPrintf("INSERT INTO %s (%s,%s,%s) VALUES ('%s','%s','%s')", tableName(t), columnName(t, 0),
                                    columnName(t, 1), columnName(t, 2), id.c_str(), maker.c_str(), serial.c_str());
    };
    return storeRecord(c, mode, valid, t, r.identifier.str(), keyIs(t, 0, r.identifier), statement, "Error adding Tranformer to database");
}

int store_setup(const SetupRecord& r, StoreMode mode, Connection c) {
    const TableIndex t = TableIndex::Measurement;
    bool valid = r.name.size() >= 3 && !r.referenceTerminal.empty() && !r.responseTerminal.empty() &&
                 !r.connectedTerminals.empty() && r.oltc >= 0 && r.unshieldedLength >= 0;
    auto statement = [&](bool update) {
        std::string ref = quoted(r.referenceTerminal), resp = quoted(r.responseTerminal),
                    joined = quoted(r.connectedTerminals), comments = quoted(r.comments), name = quoted(r.name);
        const char* fluid = r.fluidFilled ? "TRUE" : "FALSE";
        double length = r.unshieldedLength;
        if (update)
            return common::stringPrintf(
                "UPDATE %s SET %s='%s', %s='%s', %s='%s', %s='%s', %s='%0.2f', %s='%d', %s='%s', %s='%s' WHERE "
                "%s='%lld'",
                tableName(t), columnName(t, 2), ref.c_str(), columnName(t, 3), resp.c_str(), columnName(t, 4),
                joined.c_str(), columnName(t, 7), fluid, columnName(t, 6), length, columnName(t, 5), r.oltc,
                columnName(t, 8), comments.c_str(), columnName(t, 1), name.c_str(), columnName(t, 0),
                static_cast<long long>(r.id));
        return common::stringPrintf(
            "INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s) VALUES ('%s','%s','%s','%s','%0.2f','%d','%s','%s')",
            tableName(t), columnName(t, 2), columnName(t, 3), columnName(t, 4), columnName(t, 7), columnName(t, 6),
            columnName(t, 5), columnName(t, 8), columnName(t, 1), ref.c_str(), resp.c_str(), joined.c_str(), fluid,
            length, r.oltc, comments.c_str(), name.c_str());
    };
    return storeRecord(c, mode, valid, t, std::to_string(r.id), idIs(t, r.id), statement, "Error adding Setup to database");
}

int store_equipment(const EquipmentRecord& r, StoreMode mode, Connection c) {
    const TableIndex t = TableIndex::Equipment;
    bool valid = !r.instrument.empty() && !r.manufacturer.empty() && !r.serialNumber.empty();
    std::string instrument = quoted(r.instrument), maker = quoted(r.manufacturer), serial = quoted(r.serialNumber),
                due = quoted(r.calibrationDueDate);
    auto statement = [&](bool update) {
        if (update)
            return common::stringPrintf("UPDATE %s SET %s='%s', %s='%s', %s='%s', %s='%s' WHERE %s='%lld'",
                                        tableName(t), columnName(t, 2), instrument.c_str(), columnName(t, 1),
                                        maker.c_str(), columnName(t, 3), serial.c_str(), columnName(t, 4), due.c_str(),
                                        columnName(t, 0), static_cast<long long>(r.id));
        return common::stringPrintf("INSERT INTO %s (%s,%s,%s,%s) VALUES ('%s','%s','%s','%s')", tableName(t),
                                    columnName(t, 2), columnName(t, 1), columnName(t, 3), columnName(t, 4),
                                    instrument.c_str(), maker.c_str(), serial.c_str(), due.c_str());
    };
    std::string duplicate;
    if (mode == kAddChecked)
        duplicate = common::stringPrintf("WHERE %s='%s' AND %s='%s' AND %s='%s'", columnName(t, 2), instrument.c_str(),
                                         columnName(t, 1), maker.c_str(), columnName(t, 3), serial.c_str());
    return storeRecord(c, mode, valid, t, std::to_string(r.id), idIs(t, r.id), statement, "Error adding Equipment to database", duplicate);
}

int store_sweep(const SweepRecord& r, StoreMode mode, Connection c) {
    const TableIndex t = TableIndex::Sweep;
    bool valid = r.name.size() >= 3;
    auto statement = [&](bool update) {
        std::string name = quoted(r.name), transformer = quoted(r.transformerIdentifier), date = quoted(r.date),
                    time = quoted(r.time), comments = quoted(r.comments);
        std::string peak = common::stringPrintf("%0.5f", r.peakVoltage),
                    temperature = common::stringPrintf("%0.5f", r.temperature);
        if (update)
            return common::stringPrintf(
                "UPDATE %s SET %s='%s', %s='%s', %s='%s', %s='%s', %s='%s', %s='%s', %s='%d', %s='%s', "
                "%s='%d' WHERE %s='%lld'",
                tableName(t), columnName(t, 4), name.c_str(), columnName(t, 3), transformer.c_str(), columnName(t, 1),
                std::to_string(r.setupId).c_str(), columnName(t, 2), std::to_string(r.equipmentId).c_str(),
                columnName(t, 6), peak.c_str(), columnName(t, 5), temperature.c_str(), columnName(t, 9),
                r.phaseConvention, columnName(t, 10), comments.c_str(), columnName(t, 11), r.dataType, columnName(t, 0),
                static_cast<long long>(r.id));
        return common::stringPrintf(
            "INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s) VALUES "
            "('%s','%s','%lld','%lld','%s','%s','%s','%s','%d','%s','%d')",
            tableName(t), columnName(t, 4), columnName(t, 3), columnName(t, 1), columnName(t, 2), columnName(t, 7),
            columnName(t, 8), columnName(t, 6), columnName(t, 5), columnName(t, 9), columnName(t, 10),
            columnName(t, 11), name.c_str(), transformer.c_str(), static_cast<long long>(r.setupId),
            static_cast<long long>(r.equipmentId), date.c_str(), time.c_str(), peak.c_str(), temperature.c_str(),
            r.phaseConvention, comments.c_str(), r.dataType);
    };
    return storeRecord(c, mode, valid, t, std::to_string(r.id), idIs(t, r.id), statement, "Error adding Sweep to database");
}

namespace {

// Binds one point's values, in column order, from parameter 3 on.
void bindValues(sqlite3_stmt* stmt, std::initializer_list<double> values) {
    int index = 3;
    for (double v : values) sqlite3_bind_double(stmt, index++, v);
}

void bindPoint(sqlite3_stmt* stmt, const SweepRecord& s, int i) {
    switch (s.dataType) {
    case kDataBasicFra: {
        const BasicFraPoint& p = s.basicPoints[static_cast<std::size_t>(i)];
        bindValues(stmt, {p.frequency, p.amplitude, p.phase});
        break;
    }
    case kDataFra: {
        const FraPoint& p = s.fraPoints[static_cast<std::size_t>(i)];
        bindValues(stmt, {p.frequency, p.magnitude1, p.magnitude2, p.amplitude, p.phase, p.delay});
        break;
    }
    default: {
        const LcrPoint& p = s.lcrPoints[static_cast<std::size_t>(i)];
        bindValues(stmt, {p.frequency, p.admittance, p.admittancePhase, p.impedance, p.impedancePhase, p.inductance,
                          p.capacitance, p.resistance});
        break;
    }
    }
}

}  // namespace

int store_points(const SweepRecord& sweep, platform::NotificationSink* progress, Connection c) {
    if (sweep.id < 0 || sweep.id >= next_row_id(TableIndex::Sweep, c)) return -1;
    TableIndex table;
    const char* placeholders;
    switch (sweep.dataType) {
    case kDataBasicFra: table = TableIndex::Data, placeholders = " VALUES (?, ?, ?, ?, ?)"; break;
    case kDataFra: table = TableIndex::DataFra, placeholders = " VALUES (?, ?, ?, ?, ?, ?, ?, ?)"; break;
    case kDataLcr: table = TableIndex::DataLcr, placeholders = " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"; break;
    default: return -1;
    }
    std::int64_t firstId = next_row_id(table, c);
    std::uint64_t started = platform::nowMs();

    sqlite3* handle = connectionHandle(c);
    if (!handle) return -1;  // next_row_id has told the user already

    platform::WaitCursor wait;
    beginTransaction(c);
    std::string sql = std::string("INSERT INTO ") + tableName(table) + placeholders;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        show_database_error(c, nullptr);
        rollbackTransaction(c);
        return -2;
    }
    const int count = sweep.pointCount();
    int rc = SQLITE_OK;
    for (int i = 0; i < count; ++i) {
        sqlite3_bind_int64(stmt, 1, firstId + i);
        sqlite3_bind_int64(stmt, 2, sweep.id);
        bindPoint(stmt, sweep, i);
        if (sqlite3_step(stmt) != SQLITE_DONE) {
            // A point that cannot be written fails the whole sweep: half a sweep must never look stored.
            platform::debugOutput("Step Failed\n");
            rc = sqlite3_errcode(handle);
            show_database_error(c, nullptr);
            break;
        }
        sqlite3_reset(stmt);
        if (progress) progress->notify(kStoreProgressCommand, std::min<long long>(100, i * 100LL / count + 1));
    }
    sqlite3_finalize(stmt);
    if (rc == SQLITE_OK) rc = commitTransaction(c);
    if (rc != SQLITE_OK) rollbackTransaction(c);
    else if (progress) progress->notify(kStoreDoneCommand, 0);
    platform::debugOutput(
        common::stringPrintf("%f seconds\n", static_cast<double>(platform::nowMs() - started) / 1000.0));
    return rc;
}

bool selectColumns(std::vector<std::vector<std::string>>& rows, TableIndex table, const std::vector<int>& columns,
                   const std::string& where, bool remember, Connection c) {
    return runSelect(c, table, columns, where, remember, "1157", [&](char** values) {
        std::vector<std::string> row;
        row.reserve(columns.size());
        for (std::size_t i = 0; i < columns.size(); ++i) row.emplace_back(values[i] ? values[i] : "");
        rows.push_back(std::move(row));
    });
}

bool select_rows(std::vector<std::string>& out, TableIndex table, const std::vector<int>& columns,
                 const std::string& where, bool remember) {
    return runSelect(Connection::Main, table, columns, where, remember, "1157", [&](char** values) {
        std::vector<std::string> row;
        row.reserve(columns.size());
        for (std::size_t i = 0; i < columns.size(); ++i) row.push_back(rowValue(columnName(table, columns[i]), values[i]));
        out.push_back(joinRow(row));
    });
}

bool select_rows_to_view(std::vector<std::string>& rows, TableIndex table, const std::vector<int>& columns,
                         const std::string& where, bool remember) {
    return runSelect(Connection::Main, table, columns, where, remember, "11572", [&](char** values) {
        std::string row;
        for (std::size_t i = 0; i < columns.size(); ++i) row += viewValue(columnName(table, columns[i]), values[i]) + "\t";
        rows.push_back(std::move(row));
    });
}

std::int64_t count_rows(TableIndex table) {
    sqlite3* handle = connectionHandle(Connection::Main);
    if (!handle) {
        showConnectionError("1157");
        return -1;
    }
    std::int64_t count = -1;
    char* error = nullptr;
    auto callback = [](void* context, int, char** values, char**) -> int {
        *static_cast<std::int64_t*>(context) = values[0] ? std::atoll(values[0]) : 0;
        return 0;
    };
    if (sqlite3_exec(handle, common::stringPrintf("SELECT count(*) FROM %s", tableName(table)).c_str(), callback,
                     &count, &error) != SQLITE_OK) {
        show_database_error(Connection::Main, error);
        return -1;
    }
    return count;
}

std::vector<int> allColumns(TableIndex table) {
    std::vector<int> columns(static_cast<std::size_t>(columnCount(table)));
    for (std::size_t i = 0; i < columns.size(); ++i) columns[i] = static_cast<int>(i);
    return columns;
}

const std::string& rememberedFilter(TableIndex table) {
    static const std::string none;
    int i = static_cast<int>(table);
    return i >= 0 && i < kTableCount ? Connection::Main.database().rememberedFilters[i] : none;
}

std::string searchCondition(const ViewContext& view, const std::string& text) {
    if (text.empty()) return {};
    // A date typed day-month-year is turned round to match the stored year-month-day.
    std::string pattern = text;
    if (text.find('-') != std::string::npos) {
        std::vector<std::string> pieces;
        std::size_t start = 0;
        for (std::size_t dash; (dash = text.find('-', start)) != std::string::npos; start = dash + 1)
            pieces.push_back(text.substr(start, dash - start));
        pieces.push_back(text.substr(start));
        pattern.clear();
        for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {
            if (it != pieces.rbegin()) pattern += "%-%";
            pattern += *it;
        }
    }
    pattern = doubleQuotes(pattern);

    // Each column as the list shows it, so that "LCR" finds the sweeps whose data type reads LCR.
    std::string condition;
    const std::vector<int> columns = view.filtered ? view.columns : allColumns(view.table);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        condition += common::stringPrintf(i == 0 ? "%s LIKE '%%%s%%'" : " OR %s LIKE '%%%s%%'",
                                          shownValueSql(columnName(view.table, columns[i])).c_str(), pattern.c_str());
    }
    return condition;
}

std::string searchClause(const ViewContext& view, const std::string& text) {
    const std::string condition = searchCondition(view, text);
    if (condition.empty()) return view.baseFilter;
    return view.baseFilter.empty() ? "WHERE " + condition : view.baseFilter + " AND (" + condition + ")";
}

void search_view(const ViewContext& view, const std::string& text, std::vector<std::string>& rows) {
    rows.clear();
    select_rows_to_view(rows, view.table, view.columns, searchClause(view, text), true);
}

std::string databaseErrorText(int code) {
    static const char* const kTexts[] = {
        nullptr,
        nullptr,
        "SQL Internal Error",
        "Permission Denied!",
        "Routine Aborted",
        "Database file is locked",
        "Table is locked",
        "Not enough memory",
        "Database is Read Only",
        "Operation Terminated",
        "Database load error",
        "Corrupt Database",
        "Bad Command",
        "Databse Full!",
        "Unable to open Database file",
        "Protocol Error",
        "Operation cannot be performed upon an empty Database",
        "Database Schema Error",
        "The Value entered was too long!",
        "Constraint Violation",
        "Incorrect Data Type",
        "Library used Incorrectly",
        "Feature not supported",
        "Unable to receive Authorization",
        "Database Format Error",
        "Binding Error",
        "File selected is not a Database",
    };
    const char* text = code >= 0 && code < static_cast<int>(std::size(kTexts)) && kTexts[code] ? kTexts[code]
                                                                                                : "Unknown Error";
    return common::stringPrintf("%s\nError Code: %d", text, code);
}

void show_database_error(Connection c, char* errorText) {
    if (errorText) {
        platform::showMessage(errorText, "Database Error", platform::Icon::Warning);
        sqlite3_free(errorText);
        return;
    }
    sqlite3* handle = connectionHandle(c);
    int code = handle ? (sqlite3_errcode(handle) & 0xff) : SQLITE_CANTOPEN;
    platform::showMessage(databaseErrorText(code), "Database Error", platform::Icon::Warning);
}

namespace {

// Passes the storing percentages on and holds back "stored", which only the whole sweep's commit may
// announce.
class PercentagesOnly final : public platform::NotificationSink {
public:
    explicit PercentagesOnly(platform::NotificationSink* to) : to_(to) {}
    void notify(int command, long long parameter) override {
        if (to_ && command != kStoreDoneCommand) to_->notify(command, parameter);
    }

private:
    platform::NotificationSink* to_;
};

}  // namespace

int store_new_sweep(SweepRecord& sweep, StoreMode mode, platform::NotificationSink* progress, Connection c) {
    // One transaction around both: half a sweep is worse than none, and even a full disk, which would
    // also refuse to delete a half-stored row, leaves nothing behind.
    beginTransaction(c);
    sweep.id = next_row_id(TableIndex::Sweep, c);
    int result = store_sweep(sweep, mode, c);
    PercentagesOnly percentages(progress);
    if (result == kStored) result = store_points(sweep, &percentages, c);
    if (result == kStored) result = commitTransaction(c);
    if (result != kStored) rollbackTransaction(c);
    else if (progress) progress->notify(kStoreDoneCommand, 0);
    return result;
}

}  // namespace db
