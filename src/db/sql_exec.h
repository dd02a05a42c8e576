// Running statements on a connection, with the program's database error messages on failure.
// Internal to the record store and the schema code.
#pragma once

#include <string>

#include "db/schema.h"

namespace db {

// Runs sql (no rows expected). On failure shows the database error for it and returns the SQLite
// result code; 0 on success. A closed connection gives SQLITE_MISUSE without a message.
int execSql(Connection c, const std::string& sql);

// The transaction statements, each shown as a database error when it fails.
int beginTransaction(Connection c);
int commitTransaction(Connection c);
int rollbackTransaction(Connection c);

}  // namespace db
