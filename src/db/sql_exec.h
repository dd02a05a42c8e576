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
// A write transaction takes the file's write lock as it begins (waiting for another process's as any
// lock is waited for); a read transaction only keeps what it reads consistent, and works on a file
// that cannot be written. An inner begin is part of the outer transaction, whatever its kind.
enum class TransactionKind { Write, Read };
int beginTransaction(Connection c, TransactionKind kind = TransactionKind::Write);
int commitTransaction(Connection c);
int rollbackTransaction(Connection c);
// The connection is closing: whatever it had open ends with it.
void forgetTransactions(Connection c);

}  // namespace db
