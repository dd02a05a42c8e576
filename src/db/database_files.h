// The program's current database file: opening it (at start the last one used, or the default),
// closing it, remembering it in the settings file, the Open Database command, and creating a new
// database with a transformer and the default setups of its type. User-interface thread; the
// windows that show the database refresh themselves after these calls.
#pragma once

#include <functional>
#include <string>

#include "db/records.h"
#include "db/schema.h"

namespace db {

const std::string& currentDatabasePath();
void setCurrentDatabasePath(const std::string& path);
bool databaseIsOpen();
// The name the data browser's caption shows: the file name part of the current path (after Open
// Database, without its extension).
const std::string& shownDatabaseName();
// What follows the last backslash of a path, or else its last forward slash: the file name, with its
// extension.
std::string fileNameOf(const std::string& path);

// Where the last database opened is remembered ("Init"/"DatabaseFile"); "" (the default) remembers
// nothing.
void setDatabaseSettingsFile(const std::string& settingsFile);

// (Re)opens the current path on the main connection: CreateIfMissing when the file has just been
// chosen as a new database (it is created), Open otherwise. On success the path is remembered; on failure the
// "Corvane" message says why and no database is open. Returns whether one is open.
bool open_current_database(OpenMode mode);

// Closes the main connection; no database is open afterwards.
void close_current_database();

// What the Open Database command left open: the current database, when the user would not break
// its connection; the chosen file; or nothing (the chooser was cancelled or the file did not open).
enum class OpenCommandResult { Kept, Opened, NoneOpen };

// The Open Database command: asks before breaking the connection to an open database, lets the
// user choose a file ("Open Database") and opens it.
OpenCommandResult open_database_command();

// The New Database command's work for a transformer type (0-10): unless the type is user defined,
// editTransformer fills the transformer (false: cancelled); the user chooses the new file through the
// save-file chooser; an existing file is confirmed ("A file with that name already exists") and
// opened rather than overwritten; the transformer and the type's default setups are stored. Returns
// true when a database was created.
bool create_database(int type, const std::function<bool(TransformerRecord&)>& editTransformer);

}  // namespace db
