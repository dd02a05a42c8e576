// The Create New Database dialog: the transformer type of the new database, then the steps of
// creating it (db::create_database), which keep the dialog open until a database has been created
// or the user cancels. Modal; user-interface thread only.
#pragma once

#include <windows.h>

namespace gui {

// True when a database was created; the current database may have closed even when none was (a
// chosen file that would not open).
bool createDatabaseDialog(HWND owner);

}  // namespace gui
