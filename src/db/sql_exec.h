// Running statements on a connection, with the program's database error messages on failure.
// Internal to the record store and the schema code.
#pragma once

#include <string>

#include "db/schema.h"

namespace db {

// Runs sql (no rows expected). On failure shows the database error for it and returns the SQLite
// result code; 0 on success. A closed connection gives SQLITE_MISUSE without a message.
int execSql(Connection c, const std::string& sql);

// The transaction statements, each shown as a database error when it fails. They nest: inside an
// open transaction a begin and its commit do nothing, so that writes which each make their own
// transaction can be made one (a sweep with its points); a rollback at any depth ends the whole
// transaction, and the outer levels' rollbacks then do nothing.
int beginTransaction(Connection c);
int commitTransaction(Connection c);
int rollbackTransaction(Connection c);
// The connection is closing: whatever it had open ends with it.
void forgetTransactions(Connection c);

}  // namespace db
