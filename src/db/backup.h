// Backups of the current database: timestamped copies made by hand or, at start-up, when the chosen
// period has passed since the last one; restoring one over the current database; and the backup
// folder's hidden history checked against the files actually there. Every attempt goes into the
// backup log. The copy uses SQLite's online backup between the main and the backup connection.
// User-interface thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace db {

enum BackupPeriod : int { kDaily = 0, kWeekly = 1, kMonthly = 2 };

// The period's length in milliseconds (daily, weekly, monthly = 30.4375 days); 0 for an unknown one.
std::int64_t backupPeriodMs(int period);

// Paths under a backup location (the root folder of all backups).
std::string backupLogPath(const std::string& location);
// The folder of the current database's backups: its file name with quotes doubled, cut at its last
// point ("Site A.db" gives ".../Corvane/Site A"), however the database was opened.
std::string backupFolder(const std::string& location);
std::string backupHistoryPath(const std::string& folder);

// The name a backup made at t gets: 2024_3_7_09_05_02_Manual.db or ..._Automatic.db.
std::string backupFileName(const platform::LocalTime& t, bool manual);

// Copies the current database into a new backup file and records it in the folder's history, under
// the wait cursor. Failures are shown ("Backup Failed") and logged. True when the backup was made;
// its file name goes into fileName when given.
bool backup_database(const std::string& location, bool manual, std::string* fileName = nullptr);

// Lets chooseBackup pick one of the backup files of the current database (given their names, newest
// first by the date and time in the name, names without one last in text order; it returns the
// chosen name, or "" to cancel) and copies it over the current database. All or nothing: a backup
// that fails SQLite's integrity check is refused, and a copy that fails part-way leaves the current
// database as it was, still open. True when the database was restored.
bool restore_database(const std::string& location,
                      const std::function<std::string(const std::vector<std::string>&)>& chooseBackup);

// The question the Restore Database dialog asks before restoring; true for Yes.
bool confirmRestore();

// Compares a backup folder's history with its files, logging each file removed or added by hand.
// Returns the log entries written (without their time stamps).
std::vector<std::string> check_backup_folder(const std::string& location, const std::string& folder);

// At start-up: checks every backup folder under the location, then backs the current database up
// when its last backup is older than the period. Returns whether a backup was made.
bool startup_backup_pass(const std::string& location, int period);

}  // namespace db
