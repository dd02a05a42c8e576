// The tables and their numbering, the two connections, open/create/upgrade of a database file, the
// equipment serial-number correction run on every existing file, and next_row_id.
#include "db/schema.h"

#include <sqlite3.h>

#include <cstdlib>
#include <iterator>
#include <vector>

#include "common/identity.h"
#include "db/record_store.h"
#include "db/row_text.h"
#include "db/sql_exec.h"
#include "db/sql_text.h"
#include "platform/debug_output.h"
#include "platform/files.h"
#include "platform/prompter.h"

namespace db {
namespace {

struct TableInfo {
    const char* name;
    std::vector<const char*> columns;  // by column number
};

const TableInfo kTables[kTableCount] = {
    {"Transformer", {"Transformer_Identifier", "Manufacturer", "Serial_Number", "Fingerprint_Sweep_Id"}},
    {"Measurement",
     {"Measurement_Id", "Name", "Reference_Terminal", "Response_Terminal", "Connected_Terminals", "OLTC",
      "Unshielded_Length", "Fluid_Filled", "Comments"}},
    {"Equipment", {"Equipment_Id", "Manufacturer", "Instrument", "Serial_Number", "Calibration_Due_Date"}},
    {"Sweep",
     {"SweepId", "Measurement_Id", "Equipment_Id", "Transformer_Identifier", "Name", "Temperature", "Peak_Voltage",
      "Date", "Time", "Phase_Convention", "Comments", "Data_Type"}},
    {"Data", {"Data_Id", "Sweep_Id", "Frequency", "Amplitude", "Phase"}},
    {"Data_FRA", {"Data_Id", "Sweep_Id", "Frequency", "Magnitude1", "Magnitude2", "Amplitude", "Phase", "Delay"}},
    {"Data_LCR",
     {"Data_Id", "Sweep_Id", "Frequency", "Admittance", "Admittance_Phase", "Impedance", "Impedance_Phase",
      "Inductance", "Capacitance", "Resistance"}},
    {"Version", {"Database_version"}},
};

constexpr double kCurrentVersion = 2.0;

// The program's two databases, made on first use so that they exist before any other file's static
// objects could reach them.
Database& programDatabase(int which) {
    static Database databases[2];
    return databases[which];
}

sqlite3*& handleOf(Connection c) { return c.database().handle; }

const TableInfo* infoOf(TableIndex t) {
    int i = static_cast<int>(t);
    return i >= 0 && i < kTableCount ? &kTables[i] : nullptr;
}

// The table's CREATE TABLE statement, columns in the order they are created.
std::string createStatement(TableIndex t) {
    const auto& c = kTables[static_cast<int>(t)].columns;
    const char* name = tableName(t);
    switch (t) {
    case TableIndex::Transformer:
        return common::stringPrintf("CREATE TABLE %s ( %s TEXT PRIMARY KEY,  %s TEXT, %s TEXT, %s INTEGER)", name, c[0],
                                    c[1], c[2], c[3]);
    case TableIndex::Measurement:
        return common::stringPrintf(
            "CREATE TABLE %s ( %s INTEGER PRIMARY KEY AUTOINCREMENT , %s TEXT, %s TEXT, %s TEXT, %s TEXT, %s INTEGER, "
            "%s REAL, %s BOOLEAN, %s TEXT)",
            name, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
    case TableIndex::Equipment:
        return common::stringPrintf(
            "CREATE TABLE %s ( %s INTEGER PRIMARY KEY AUTOINCREMENT , %s TEXT, %s TEXT, %s TEXT, %s TEXT)", name, c[0],
            c[1], c[2], c[3], c[4]);
    case TableIndex::Sweep:
        // Peak_Voltage (column number 6) is created before Temperature (5).
        return common::stringPrintf(
            "CREATE TABLE %s ( %s INTEGER PRIMARY KEY AUTOINCREMENT, %s INTEGER NOT NULL, %s INTEGER NOT NULL, %s TEXT "
            "NOT NULL, %s TEXT, %s REAL, %s REAL, %s TEXT, %s TEXT, %s INTEGER, %s TEXT, %s INTEGER NOT NULL)",
            name, c[0], c[1], c[2], c[3], c[4], c[6], c[5], c[7], c[8], c[9], c[10], c[11]);
    case TableIndex::Data:
        return common::stringPrintf(
            "CREATE TABLE %s ( %s INTEGER PRIMARY KEY AUTOINCREMENT , %s INTEGER NOT NULL, %s REAL, %s REAL, "
            "%s REAL)",
            name, c[0], c[1], c[2], c[3], c[4]);
    case TableIndex::DataFra:
        return common::stringPrintf(
            "CREATE TABLE %s ( %s INTEGER PRIMARY KEY AUTOINCREMENT , %s INTEGER NOT NULL, %s REAL, %s REAL, "
            "%s REAL, %s REAL, %s REAL, %s REAL)",
            name, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
    case TableIndex::DataLcr:
        return common::stringPrintf(
            "CREATE TABLE %s ( %s INTEGER PRIMARY KEY AUTOINCREMENT , %s INTEGER NOT NULL, %s REAL, %s REAL, "
            "%s REAL, %s REAL, %s REAL, %s REAL, %s REAL, %s REAL)",
            name, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8], c[9]);
    case TableIndex::Version: return common::stringPrintf("CREATE TABLE %s ( %s REAL )", name, c[0]);
    }
    return {};
}

// Drops and creates one table; Version also gets its one row. Runs inside the caller's transaction.
bool makeTable(Connection c, TableIndex t) {
    if (execSql(c, common::stringPrintf("DROP TABLE IF EXISTS %s", tableName(t))) != SQLITE_OK) return false;
    if (execSql(c, createStatement(t)) != SQLITE_OK) return false;
    if (t != TableIndex::Version) return true;

    sqlite3_stmt* insert = nullptr;
    std::string sql = common::stringPrintf("INSERT INTO %s VALUES ( ? )", tableName(t));
    if (sqlite3_prepare_v2(handleOf(c), sql.c_str(), -1, &insert, nullptr) != SQLITE_OK) {
        show_database_error(c, nullptr);
        return false;
    }
    sqlite3_bind_double(insert, 1, kCurrentVersion);
    int rc = sqlite3_step(insert);
    sqlite3_finalize(insert);
    if (rc != SQLITE_DONE) {
        show_database_error(c, nullptr);
        return false;
    }
    return true;
}

// A fresh file: every table in its own transaction. On failure the half-made file is removed.
bool createTables(Connection c, const std::string& path) {
    for (int i = 0; i < kTableCount; ++i) {
        beginTransaction(c);
        if (!makeTable(c, static_cast<TableIndex>(i))) {
            rollbackTransaction(c);
            sqlite3_close(handleOf(c));
            handleOf(c) = nullptr;
            platform::deleteFile(path);
            return false;
        }
        commitTransaction(c);
    }
    return true;
}

// Runs a one-value query; false (after the database error) when it fails. NULL reads as null=true.
bool queryOneValue(Connection c, const std::string& sql, std::string& value, bool& found, bool& null) {
    sqlite3_stmt* stmt = nullptr;
    found = false;
    null = false;
    if (sqlite3_prepare_v2(handleOf(c), sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        show_database_error(c, nullptr);
        return false;
    }
    int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        found = true;
        const unsigned char* text = sqlite3_column_text(stmt, 0);
        null = text == nullptr;
        value = text ? reinterpret_cast<const char*>(text) : "";
        rc = sqlite3_step(stmt);
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        show_database_error(c, nullptr);
        return false;
    }
    return true;
}

// The stored schema version: 0 for a file without a Version table or without a row in it, -1 for a
// NULL version; false when it could not be read.
bool readVersion(Connection c, double& version) {
    beginTransaction(c, TransactionKind::Read);
    std::string value;
    bool found = false, null = false;
    bool ok = queryOneValue(c,
                            common::stringPrintf("SELECT count(*) FROM sqlite_master WHERE type='table' AND name='%s';",
                                                 tableName(TableIndex::Version)),
                            value, found, null);
    if (ok && std::atoi(value.c_str()) == 1) {
        ok = queryOneValue(c,
                           common::stringPrintf("SELECT \"%s\" FROM \"%s\" ", columnName(TableIndex::Version, 0),
                                                tableName(TableIndex::Version)),
                           value, found, null);
        version = !found ? 0.0 : null ? -1.0 : std::atof(value.c_str());
    } else {
        version = 0.0;
    }
    commitTransaction(c);
    return ok;
}

bool tableExists(Connection c, TableIndex t) {
    std::string value;
    bool found = false, null = false;
    return queryOneValue(c,
                         common::stringPrintf("SELECT count(*) FROM sqlite_master WHERE type='table' AND name='%s'",
                                              tableName(t)),
                         value, found, null) &&
           std::atoi(value.c_str()) > 0;
}

bool sweepHasDataType(Connection c) {
    std::string value;
    bool found = false, null = false;
    return queryOneValue(c,
                         common::stringPrintf("SELECT count(*) FROM pragma_table_info('%s') WHERE name='%s'",
                                              tableName(TableIndex::Sweep), columnName(TableIndex::Sweep, 11)),
                         value, found, null) &&
           std::atoi(value.c_str()) > 0;
}

// Brings a version-0 file to 2.0: the two newer point tables, the Version table with its row, and
// the Data_Type column (existing sweeps become data type 0 and keep their points in Data). One
// transaction, so a failure part-way leaves the file exactly as it was. Point tables that exist
// already (a file whose Version table lost its row) are kept with their rows.
bool upgradeFromVersion0(Connection c) {
    if (beginTransaction(c) != SQLITE_OK) return false;
    bool ok = true;
    for (TableIndex t : {TableIndex::DataFra, TableIndex::DataLcr}) {
        if (ok && !tableExists(c, t)) ok = execSql(c, createStatement(t)) == SQLITE_OK;
    }
    ok = ok && makeTable(c, TableIndex::Version);
    if (ok && !sweepHasDataType(c)) {
        ok = execSql(c, common::stringPrintf("ALTER TABLE %s ADD COLUMN %s INTEGER NOT NULL DEFAULT 0",
                                             tableName(TableIndex::Sweep), columnName(TableIndex::Sweep, 11))) ==
             SQLITE_OK;
    }
    if (!ok) {
        rollbackTransaction(c);
        return false;
    }
    return commitTransaction(c) == SQLITE_OK;
}

// Instruments of our own make were once registered without the "410-" prefix of their serial
// numbers. Each such row is corrected: when the prefixed twin exists the sweeps move over to it and
// the old row goes; otherwise the old row gets the prefixed number.
void correctEquipmentSerials() {
    const TableIndex eq = TableIndex::Equipment;
    std::string maker3 = std::string(common::kMakerName).substr(0, 3);
    std::vector<std::vector<std::string>> rows;
    selectColumns(rows, eq, {0, 1, 2, 3, 4},
                  common::stringPrintf("WHERE %s LIKE '%s%%' AND %s NOT LIKE '%%-%%'", columnName(eq, 1),
                                       doubleQuotes(maker3).c_str(), columnName(eq, 3)),
                  false);
    for (const auto& row : rows) {
        EquipmentRecord old = equipmentFromColumns(row);
        std::string newSerial = "410-" + old.serialNumber.str();
        // A number that would not fit the record's field is left alone rather than cut short.
        if (newSerial.size() > decltype(old.serialNumber)::kMaxLength) continue;

        std::vector<std::vector<std::string>> twins;
        selectColumns(twins, eq, {0},
                      common::stringPrintf("WHERE %s = '%s'", columnName(eq, 3), doubleQuotes(newSerial).c_str()),
                      false);
        if (twins.empty()) {
            old.serialNumber = newSerial;
            store_equipment(old, kUpdate);
            continue;
        }
        std::int64_t twinId = std::atoll(twins[0][0].c_str());
        std::vector<std::vector<std::string>> sweeps;
        selectColumns(
            sweeps, TableIndex::Sweep, allColumns(TableIndex::Sweep),
            common::stringPrintf("WHERE %s = '%lld'", columnName(TableIndex::Sweep, 2), static_cast<long long>(old.id)),
            false);
        bool allMoved = true;
        for (const auto& sweepRow : sweeps) {
            SweepRecord s = sweepFromColumns(sweepRow);
            s.equipmentId = twinId;
            allMoved = store_sweep(s, kUpdate) == 0 && allMoved;
        }
        // The old row goes only when none of its sweeps still names it, so that the deletion's
        // cascade cannot take a sweep with it. It goes by its id: another maker's instrument may
        // carry the same bare serial number, and the cascade would take it with all its sweeps.
        if (!allMoved) continue;
        RecordSelection selection{
            eq, {}, common::stringPrintf("WHERE %s = '%lld'", columnName(eq, 0), static_cast<long long>(old.id))};
        delete_records(DeleteKind::Equipment, selection, false);
    }
}

// The lookups that tie the tables together: a sweep's points, the sweeps of a transformer, a setup
// or an equipment; and the orders of the sweep list's columns, which its header sorts by (texts
// regardless of case, as the list compares them). The tables keep no index of their own, so without
// these each such lookup or sort reads a whole table, which in a file of years of sweeps means
// millions of points or every sweep at each click. An index changes no table and no row, and a
// reader that knows nothing of it reads the file as before.
struct KeyIndex {
    const char* name;
    TableIndex table;
    int column;
    const char* collation;
};
constexpr KeyIndex kKeyIndexes[] = {
    {"Data_Sweep_Id", TableIndex::Data, 1, ""},
    {"Data_FRA_Sweep_Id", TableIndex::DataFra, 1, ""},
    {"Data_LCR_Sweep_Id", TableIndex::DataLcr, 1, ""},
    {"Sweep_Transformer_Identifier", TableIndex::Sweep, 3, ""},
    {"Sweep_Measurement_Id", TableIndex::Sweep, 1, ""},
    {"Sweep_Equipment_Id", TableIndex::Sweep, 2, ""},
    {"Sweep_Name", TableIndex::Sweep, 4, " COLLATE NOCASE"},
    {"Sweep_Date", TableIndex::Sweep, 7, " COLLATE NOCASE"},
    {"Sweep_Time", TableIndex::Sweep, 8, " COLLATE NOCASE"},
    {"Sweep_Comments", TableIndex::Sweep, 10, " COLLATE NOCASE"},
    {"Sweep_Data_Type", TableIndex::Sweep, 11, ""},
};

// The rows of the point tables, estimated from their largest keys (no scan): what decides whether
// making the indexes takes long enough to tell the user.
long long pointRowsEstimate() {
    long long rows = 0;
    for (TableIndex t : {TableIndex::Data, TableIndex::DataFra, TableIndex::DataLcr}) {
        std::string value;
        bool found = false, null = false;
        if (queryOneValue(Connection::Main, common::stringPrintf("SELECT max(rowid) FROM %s", tableName(t)), value,
                          found, null))
            rows += std::atoll(value.c_str());
    }
    return rows;
}

// Makes the key indexes in the file, in one transaction, on a connection of its own, so that it may
// run on any thread while the main connection waits. A file that cannot take them (read-only media,
// say) still opens: it is only slower, so the failure is traced, not shown.
void makeKeyIndexes(const std::string& path) {
    sqlite3* handle = nullptr;
    std::string sql = "BEGIN IMMEDIATE TRANSACTION;";
    for (const KeyIndex& k : kKeyIndexes)
        sql += common::stringPrintf("CREATE INDEX IF NOT EXISTS %s ON %s (%s%s);", k.name, tableName(k.table),
                                    columnName(k.table, k.column), k.collation);
    sql += "COMMIT TRANSACTION;";
    char* error = nullptr;
    if (sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_busy_timeout(handle, kLockWaitMs) != SQLITE_OK ||
        sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        platform::debugOutput(std::string("The key indexes could not be made: ") +
                              (error ? error : sqlite3_errmsg(handle)) + "\n");
        sqlite3_exec(handle, "ROLLBACK TRANSACTION", nullptr, nullptr, nullptr);
    }
    sqlite3_free(error);
    sqlite3_close(handle);
}

// Points from which making the indexes is long work, handed to the runner: a few seconds or more.
constexpr long long kLongIndexingRows = 500000;

KeyIndexRunner& keyIndexRunner() {
    static KeyIndexRunner runner;
    return runner;
}

// Adds the key indexes the main connection's file lacks. A file that has them all is not written to.
// Only those of the point tables take long: a file that lacks only those of Sweep gets them at once.
void ensureKeyIndexes(const std::string& path) {
    std::string names;  // the file's indexes, each between commas
    bool found = false, null = false;
    if (!queryOneValue(Connection::Main,
                       "SELECT ',' || group_concat(name, ',') || ',' FROM sqlite_master WHERE type='index'", names,
                       found, null))
        return;
    bool missing = false, pointsMissing = false;
    for (const KeyIndex& k : kKeyIndexes) {
        if (names.find(std::string(",") + k.name + ",") != std::string::npos) continue;
        missing = true;
        pointsMissing = pointsMissing || k.table != TableIndex::Sweep;
    }
    if (!missing) return;
    const std::function<void()> work = [path] { makeKeyIndexes(path); };
    if (keyIndexRunner() && pointsMissing && pointRowsEstimate() >= kLongIndexingRows) keyIndexRunner()(work);
    else work();
}

}  // namespace

const char* tableName(TableIndex table) {
    const TableInfo* info = infoOf(table);
    return info ? info->name : "";
}

int columnCount(TableIndex table) {
    const TableInfo* info = infoOf(table);
    return info ? static_cast<int>(info->columns.size()) : 0;
}

const char* columnName(TableIndex table, int column) {
    const TableInfo* info = infoOf(table);
    if (!info || column < 0 || column >= static_cast<int>(info->columns.size())) return "";
    return info->columns[static_cast<std::size_t>(column)];
}

bool tableFromName(const std::string& name, TableIndex& table) {
    for (int i = 0; i < kTableCount; ++i) {
        if (name == kTables[i].name) {
            table = static_cast<TableIndex>(i);
            return true;
        }
    }
    return false;
}

bool isRowidColumn(TableIndex table, int column) {
    return column == 0 && table != TableIndex::Transformer && table != TableIndex::Version && infoOf(table);
}

int sweepColumnFor(TableIndex table) {
    switch (table) {
    case TableIndex::Transformer: return 3;  // Transformer_Identifier
    case TableIndex::Measurement: return 1;  // Measurement_Id
    case TableIndex::Equipment: return 2;    // Equipment_Id
    default: return 0;                       // SweepId
    }
}

const Connection Connection::Main{programDatabase(0)};
const Connection Connection::Backup{programDatabase(1)};

Database::~Database() {
    if (handle) sqlite3_close_v2(handle);
}

sqlite3* connectionHandle(Connection c) { return handleOf(c); }

std::uint64_t connectionGeneration(Connection c) { return c.database().generation; }

bool open_database(const std::string& path, OpenMode mode, bool* created, Connection c) {
    ++c.database().generation;
    sqlite3*& handle = handleOf(c);
    if (handle) {
        sqlite3_close(handle);
        handle = nullptr;
    }
    forgetTransactions(c);
    if (mode == OpenMode::Close) return false;

    if (created && mode == OpenMode::CreateIfMissing) *created = !platform::fileExists(path);
    bool create = created && *created;

    int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.c_str(), &handle, flags, nullptr) != SQLITE_OK ||
        sqlite3_busy_timeout(handle, kLockWaitMs) != SQLITE_OK) {
        show_database_error(c, nullptr);
        sqlite3_close(handle);
        handle = nullptr;
        return false;
    }
    if (create) {
        const bool made = createTables(c, path);
        if (made && c == Connection::Main) ensureKeyIndexes(path);
        return made;
    }

    double version = 0;
    bool ok = readVersion(c, version) && version >= 0;
    if (ok && version == 0) ok = upgradeFromVersion0(c);
    if (handleOf(Connection::Main)) correctEquipmentSerials();
    if (ok && c == Connection::Main) ensureKeyIndexes(path);
    return ok;
}

void setKeyIndexRunner(KeyIndexRunner runner) { keyIndexRunner() = std::move(runner); }

const char* sqliteVersion() { return sqlite3_libversion(); }

std::string storedVersionText(Connection c) {
    std::string value;
    bool found = false, null = false;
    if (!handleOf(c) ||
        !queryOneValue(c,
                       common::stringPrintf("SELECT \"%s\" FROM \"%s\" ", columnName(TableIndex::Version, 0),
                                            tableName(TableIndex::Version)),
                       value, found, null))
        return {};
    return value;
}

std::int64_t next_row_id(TableIndex table, Connection c) {
    if (table == TableIndex::Transformer) return -1;
    sqlite3* handle = handleOf(c);
    if (!handle) {
        platform::showMessage(
            "There was a problem accessing the database\n please re-open the database from the database page\n"
            "[code:N3X7V4L]",
            "Database Connection Error", platform::Icon::None);
        return 1;
    }
    std::string value;
    bool found = false, null = false;
    if (!queryOneValue(c,
                       common::stringPrintf("SELECT seq FROM sqlite_sequence WHERE name='%s'", tableName(table)), value,
                       found, null)) {
        return 0;
    }
    return found ? std::atoll(value.c_str()) + 1 : 1;
}

}  // namespace db
