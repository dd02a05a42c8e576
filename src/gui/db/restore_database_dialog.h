// The Restore Database dialog: the backup to restore from, chosen from a database's backup files and
// confirmed. Modal; user-interface thread only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace gui {

// Shows the backups' file names; returns the one chosen and confirmed, "" when cancelled.
std::string chooseBackupToRestore(HWND owner, const std::vector<std::string>& backups);

}  // namespace gui
