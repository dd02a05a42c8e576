#include "db/sql_exec.h"

#include <sqlite3.h>

#include "db/record_store.h"
#include "platform/prompter.h"

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

namespace {

// How many begins of the connection are not yet committed or rolled back.
int& depthOf(Connection c) { return c.database().transactionDepth; }

}  // namespace

int beginTransaction(Connection c, TransactionKind kind) {
    if (depthOf(c)++ > 0) return SQLITE_OK;
    // A write transaction is IMMEDIATE: a deferred one that first read would be refused at once, without
    // the wait, when it came to write while another process held the file's write lock.
    // The lock may be another program's for a while: the user sees that the program waits.
    platform::WaitCursor wait;
    const int rc = execSql(c, kind == TransactionKind::Write ? "BEGIN IMMEDIATE TRANSACTION" : "BEGIN TRANSACTION");
    if (rc != SQLITE_OK) depthOf(c) = 0;  // there is no transaction to end
    return rc;
}

int commitTransaction(Connection c) {
    int& depth = depthOf(c);
    if (depth > 0 && --depth > 0) return SQLITE_OK;
    return execSql(c, "COMMIT TRANSACTION");
}

void forgetTransactions(Connection c) { depthOf(c) = 0; }

int rollbackTransaction(Connection c) {
    int& depth = depthOf(c);
    if (depth > 0) --depth;
    // SQLite ends the transaction itself after some failures (a full disk, for one), and an inner
    // level's rollback has ended it already for the outer ones; a second rollback would only add a
    // confusing message.
    sqlite3* handle = connectionHandle(c);
    if (!handle || sqlite3_get_autocommit(handle)) return SQLITE_OK;
    return execSql(c, "ROLLBACK TRANSACTION");
}

}  // namespace db
