#include "db/sql_exec.h"

#include <sqlite3.h>

#include "db/record_store.h"

namespace db {

int execSql(Connection c, const std::string& sql) {
    sqlite3* handle = connectionHandle(c);
    if (!handle) return SQLITE_MISUSE;
    char* error = nullptr;
    int rc = sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) show_database_error(c, error);
    else sqlite3_free(error);
    return rc;
}

int beginTransaction(Connection c) { return execSql(c, "BEGIN TRANSACTION"); }
int commitTransaction(Connection c) { return execSql(c, "COMMIT TRANSACTION"); }
int rollbackTransaction(Connection c) {
    // SQLite ends the transaction itself after some failures (a full disk, for one); a second
    // rollback would only add a confusing message.
    sqlite3* handle = connectionHandle(c);
    if (!handle || sqlite3_get_autocommit(handle)) return SQLITE_OK;
    return execSql(c, "ROLLBACK TRANSACTION");
}

}  // namespace db
