// The data browser's database commands: New Database (the Create New Database dialog), Open
// Database, and Database Settings (backups and restoring one). Each leaves the data browser showing
// the database that is current afterwards. Modal; user-interface thread only.
#pragma once

#include <windows.h>

namespace gui {

// New Database, then the check for an identified instrument not yet in the new database. True when a
// database was created.
bool newDatabaseCommand(HWND main);

// Open Database, then the same instrument check. True when a database is open afterwards.
bool openDatabaseCommand(HWND main);

// What follows a change of the open database: the browser shows it, and the connected instrument is
// looked up in it (and offered for adding when it is missing).
void showCurrentDatabase(HWND main);

// The Database Settings dialog: the backup settings, Backup Database and Restore Database from Backup.
void databaseSettingsCommand(HWND main);

}  // namespace gui
