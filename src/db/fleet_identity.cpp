#include "db/fleet_identity.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <initializer_list>

#include "common/global_id.h"
#include "db/sql_exec.h"

namespace db {
namespace {

const char* const kMakeTables =
    "CREATE TABLE IF NOT EXISTS Fleet_Identity (Table_Index INTEGER NOT NULL, Local_Key TEXT NOT NULL,"
    " Global_Id TEXT NOT NULL UNIQUE, Changed_At TEXT NOT NULL, Synced_At TEXT, Content_Hash TEXT,"
    " PRIMARY KEY (Table_Index, Local_Key));"
    "CREATE TABLE IF NOT EXISTS Fleet_State (Key TEXT PRIMARY KEY, Value TEXT)";

int makeTables(Connection c) {
    sqlite3* handle = connectionHandle(c);
    return handle ? sqlite3_exec(handle, kMakeTables, nullptr, nullptr, nullptr) : SQLITE_MISUSE;
}

// One statement with text values bound in order; each row's columns go to onRow when given.
template <typename OnRow>
int run(Connection c, const char* sql, std::initializer_list<std::string> values, OnRow onRow) {
    sqlite3* handle = connectionHandle(c);
    if (!handle) return SQLITE_MISUSE;
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(handle, sql, -1, &stmt, nullptr);
    if (rc != SQLITE_OK) return rc;
    int i = 1;
    for (const std::string& v : values) sqlite3_bind_text(stmt, i++, v.c_str(), -1, SQLITE_TRANSIENT);
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) onRow(stmt);
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int run(Connection c, const char* sql, std::initializer_list<std::string> values) {
    return run(c, sql, values, [](sqlite3_stmt*) {});
}

std::string text(sqlite3_stmt* stmt, int column) {
    const unsigned char* v = sqlite3_column_text(stmt, column);
    return v ? reinterpret_cast<const char*>(v) : "";
}

std::string tableText(TableIndex table) { return std::to_string(static_cast<int>(table)); }

}  // namespace

std::string fleetNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const long long ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", std::gmtime(&seconds));
    char full[48];
    std::snprintf(full, sizeof full, "%s.%03lldZ", text, ms);
    return full;
}

bool fleetIdentityOf(TableIndex table, const std::string& key, FleetIdentity& identity, Connection c) {
    if (makeTables(c) != SQLITE_OK) return false;
    bool found = false;
    run(c, "SELECT Global_Id, Changed_At, Synced_At, Content_Hash FROM Fleet_Identity WHERE Table_Index=? AND Local_Key=?",
        {tableText(table), key}, [&](sqlite3_stmt* s) {
            identity = {text(s, 0), text(s, 1), text(s, 2), text(s, 3)};
            found = true;
        });
    return found;
}

std::string fleetLocalKey(TableIndex table, const std::string& globalId, Connection c) {
    std::string key;
    if (makeTables(c) == SQLITE_OK)
        run(c, "SELECT Local_Key FROM Fleet_Identity WHERE Table_Index=? AND Global_Id=?", {tableText(table), globalId},
            [&](sqlite3_stmt* s) { key = text(s, 0); });
    return key;
}

int setFleetIdentity(TableIndex table, const std::string& key, const FleetIdentity& identity, Connection c) {
    const int rc = makeTables(c);
    if (rc != SQLITE_OK) return rc;
    // A global id moves to this record from any other that held it (a record adopted from the server
    // by its natural key, where an earlier pull had mapped it elsewhere).
    const int moved = run(c, "DELETE FROM Fleet_Identity WHERE Global_Id=? AND NOT (Table_Index=? AND Local_Key=?)",
                          {identity.globalId, tableText(table), key});
    if (moved != SQLITE_OK) return moved;
    return run(c, "INSERT OR REPLACE INTO Fleet_Identity (Table_Index, Local_Key, Global_Id, Changed_At, Synced_At,"
               " Content_Hash) VALUES (?, ?, ?, ?, NULLIF(?, ''), NULLIF(?, ''))",
               {tableText(table), key, identity.globalId, identity.changedAt, identity.syncedAt, identity.contentHash});
}

int noteRecordStored(TableIndex table, const std::string& key, Connection c) {
    int rc = makeTables(c);
    if (rc != SQLITE_OK) return rc;
    const std::string now = fleetNow();
    rc = run(c, "UPDATE Fleet_Identity SET Changed_At=? WHERE Table_Index=? AND Local_Key=?", {now, tableText(table), key});
    if (rc != SQLITE_OK || sqlite3_changes(connectionHandle(c)) > 0) return rc;
    return run(c, "INSERT INTO Fleet_Identity (Table_Index, Local_Key, Global_Id, Changed_At) VALUES (?, ?, ?, ?)",
               {tableText(table), key, common::newUuid(), now});
}

int forgetFleetIdentities(TableIndex table, const std::vector<std::string>& keys, Connection c) {
    int rc = makeTables(c);
    for (const std::string& key : keys) {
        if (rc != SQLITE_OK) break;
        rc = run(c, "DELETE FROM Fleet_Identity WHERE Table_Index=? AND Local_Key=?", {tableText(table), key});
    }
    return rc;
}

int assignMissingFleetIdentities(Connection c) {
    if (makeTables(c) != SQLITE_OK) return -1;
    std::vector<std::pair<TableIndex, std::string>> missing;
    for (TableIndex table : {TableIndex::Transformer, TableIndex::Measurement, TableIndex::Equipment, TableIndex::Sweep}) {
        const std::string key = std::string("CAST(") + columnName(table, 0) + " AS TEXT)";
        const std::string query = "SELECT " + key + " FROM " + tableName(table) + " WHERE " + key +
                                  " NOT IN (SELECT Local_Key FROM Fleet_Identity WHERE Table_Index=" +
                                  tableText(table) + ")";
        if (run(c, query.c_str(), {}, [&](sqlite3_stmt* s) { missing.emplace_back(table, text(s, 0)); }) != SQLITE_OK)
            return -1;
    }
    if (missing.empty()) return 0;
    const std::string now = fleetNow();
    if (beginTransaction(c) != SQLITE_OK) return -1;
    for (const auto& [table, key] : missing) {
        if (run(c, "INSERT INTO Fleet_Identity (Table_Index, Local_Key, Global_Id, Changed_At) VALUES (?, ?, ?, ?)",
                {tableText(table), key, common::newUuid(), now}) != SQLITE_OK) {
            rollbackTransaction(c);
            return -1;
        }
    }
    if (commitTransaction(c) != SQLITE_OK) {
        rollbackTransaction(c);
        return -1;
    }
    return static_cast<int>(missing.size());
}

std::string fleetState(const std::string& key, Connection c) {
    std::string value;
    if (makeTables(c) == SQLITE_OK)
        run(c, "SELECT Value FROM Fleet_State WHERE Key=?", {key}, [&](sqlite3_stmt* s) { value = text(s, 0); });
    return value;
}

int setFleetState(const std::string& key, const std::string& value, Connection c) {
    const int rc = makeTables(c);
    return rc != SQLITE_OK ? rc : run(c, "INSERT OR REPLACE INTO Fleet_State (Key, Value) VALUES (?, ?)", {key, value});
}

std::string fleetLaptopId(Connection c) {
    std::string id = fleetState("Laptop_Id", c);
    if (id.empty() && setFleetState("Laptop_Id", id = common::newUuid(), c) != SQLITE_OK) return {};
    return id;
}

}  // namespace db
