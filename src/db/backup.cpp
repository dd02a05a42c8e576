// Backups of the current database and restores from them over the online backup, with the backup
// log, the hidden history and the start-up pass.
#include "db/backup.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string_view>

#include "common/identity.h"
#include "db/database_files.h"
#include "db/schema.h"
#include "db/sql_text.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/prompter.h"

namespace db {
namespace {

constexpr const char* kHistoryName = ".History.txt";
constexpr const char* kLogName = "Backup.log";

std::string productFolder(const std::string& location) { return platform::joinPath(location, common::kProductName); }

// "7/3/2024 9:5:2": no leading zeros.
std::string logStamp(const platform::LocalTime& t) {
    return common::stringPrintf("%d/%d/%d %d:%d:%d", t.day, t.month, t.year, t.hour, t.minute, t.second);
}

std::string historyDate(const platform::LocalTime& t) {
    return common::stringPrintf("%d/%d/%d", t.day, t.month, t.year);
}

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void appendText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::app);
    out << text;
}

// Creates the log with its header when it is missing, then appends one entry.
void logEntry(const std::string& location, const std::string& text) {
    const std::string log = backupLogPath(location);
    platform::makeDirectories(productFolder(location));
    const std::string stamp = logStamp(platform::localTimeNow());
    if (!platform::fileExists(log))
        appendText(log,
                   std::string(common::kProductName) + "Backup Log\n===================\n\nCreated: " + stamp + "\n\n");
    appendText(log, stamp + text + "\n");
}

// From the path rather than the shown name, which Open Database gives without its extension: cut
// once more, "Site.A" would put the backups of Site.A.db beside those of Site.B.db.
std::string databaseName() {
    std::string name = doubleQuotes(fileNameOf(currentDatabasePath()));
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    return name;
}

// Copies database "main" of one connection into another, all pages in one step, which reads the
// source as one snapshot. While another process writes the source, the step may find it locked; it is
// tried again for as long as any lock is waited for.
bool copyDatabase(Connection from, Connection to) {
    sqlite3* source = connectionHandle(from);
    sqlite3* target = connectionHandle(to);
    if (!source || !target) return false;
    sqlite3_backup* copy = sqlite3_backup_init(target, "main", source, "main");
    if (!copy) return false;
    constexpr unsigned kRetryMs = 50;
    int stepped = sqlite3_backup_step(copy, -1);
    for (unsigned waited = 0; (stepped == SQLITE_BUSY || stepped == SQLITE_LOCKED) && waited < kLockWaitMs;
         waited += kRetryMs) {
        platform::sleepMs(kRetryMs);
        stepped = sqlite3_backup_step(copy, -1);
    }
    return sqlite3_backup_finish(copy) == SQLITE_OK && stepped == SQLITE_DONE;
}

// The online backup copies pages as they are, so a backup damaged after it was made would pass its
// damage on to the current database and still report success.
bool passesIntegrityCheck(Connection c) {
    sqlite3* handle = connectionHandle(c);
    sqlite3_stmt* check = nullptr;
    if (!handle || sqlite3_prepare_v2(handle, "PRAGMA integrity_check(1)", -1, &check, nullptr) != SQLITE_OK) {
        sqlite3_finalize(check);
        return false;
    }
    const char* verdict =
        sqlite3_step(check) == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(check, 0)) : nullptr;
    const bool sound = verdict && std::string_view(verdict) == "ok";
    sqlite3_finalize(check);
    return sound;
}

void closeBackupConnection() { open_database({}, OpenMode::Close, nullptr, Connection::Backup); }

// The history's first line becomes today's date; the earlier backups' names follow, then the new one.
void recordInHistory(const std::string& folder, const std::string& fileName) {
    const std::string history = backupHistoryPath(folder);
    std::vector<std::string> names;
    if (platform::fileExists(history)) {
        names = readLines(history);
        if (!names.empty()) names.erase(names.begin());
        platform::deleteFile(history);
    }
    names.push_back(fileName);
    std::string text = historyDate(platform::localTimeNow()) + "\n";
    for (const std::string& n : names) text += n + "\n";
    appendText(history, text);
    platform::setFileHidden(history);
}

std::vector<std::string> backupFiles(const std::string& folder) {
    std::vector<std::string> files;
    for (const std::string& name : platform::listFiles(folder))
        if (name.size() > 3 && name.compare(name.size() - 3, 3, ".db") == 0) files.push_back(name);
    return files;
}

// The year, month, day, hour, minute and second a backup's name begins with (2024_3_7_09_05_02_...),
// in the order that compares them in time; false for a name made otherwise.
bool backupMoment(const std::string& name, std::array<int, 6>& moment) {
    std::size_t at = 0;
    for (int& part : moment) {
        std::size_t end = at;
        while (end < name.size() && std::isdigit(static_cast<unsigned char>(name[end]))) ++end;
        // At most four digits a part, so that no part overflows.
        if (end == at || end - at > 4 || end >= name.size() || name[end] != '_') return false;
        part = std::atoi(name.substr(at, end - at).c_str());
        at = end + 1;
    }
    return true;
}

// Newest first by the moment in the name, which text order gets wrong (2024_10_... before
// 2024_3_...); names without one after them, in text order.
std::vector<std::string> newestFirst(const std::vector<std::string>& names) {
    struct Dated {
        bool dated;
        std::array<int, 6> moment;
        const std::string* name;
    };
    std::vector<Dated> order;
    for (const std::string& name : names) {
        Dated d{false, {}, &name};
        d.dated = backupMoment(name, d.moment);
        order.push_back(d);
    }
    std::sort(order.begin(), order.end(), [](const Dated& a, const Dated& b) {
        if (a.dated != b.dated) return a.dated;
        if (a.dated && a.moment != b.moment) return a.moment > b.moment;
        return *a.name < *b.name;
    });
    std::vector<std::string> sorted;
    for (const Dated& d : order) sorted.push_back(*d.name);
    return sorted;
}

}  // namespace

std::int64_t backupPeriodMs(int period) {
    switch (period) {
    case kDaily: return 86400000LL;
    case kWeekly: return 604800000LL;
    case kMonthly: return 2629800000LL;
    default: return 0;
    }
}

std::string backupLogPath(const std::string& location) { return platform::joinPath(productFolder(location), kLogName); }

std::string backupFolder(const std::string& location) {
    return platform::joinPath(productFolder(location), databaseName());
}

std::string backupHistoryPath(const std::string& folder) { return platform::joinPath(folder, kHistoryName); }

std::string backupFileName(const platform::LocalTime& t, bool manual) {
    return common::stringPrintf("%d_%d_%d_%02d_%02d_%02d_%s.db", t.year, t.month, t.day, t.hour, t.minute, t.second,
                                manual ? "Manual" : "Automatic");
}

bool backup_database(const std::string& location, bool manual, std::string* madeFile) {
    platform::WaitCursor wait;
    logEntry(location, " - Attempting to backup database \"" + databaseName() + "\" [" + currentDatabasePath() + "]...");
    const std::string folder = backupFolder(location);
    const std::string fileName = backupFileName(platform::localTimeNow(), manual);
    const std::string path = platform::joinPath(folder, fileName);
    platform::makeDirectories(folder);

    bool created = false;
    const bool opened =
        databaseIsOpen() && open_database(path, OpenMode::CreateIfMissing, &created, Connection::Backup);
    if (!opened || !created) {
        // A name taken already (two backups in one second) must not overwrite the earlier backup.
        platform::showMessage("Error creating backup database, backup cancelled", "Backup Failed", platform::Icon::Error);
        logEntry(location, " - Unable to create backup file, Aborting backup");
        closeBackupConnection();
        return false;
    }
    const bool copied = copyDatabase(Connection::Main, Connection::Backup);
    closeBackupConnection();
    if (!copied) {
        platform::showMessage("Error backing up database, backup cancelled", "Backup Failed", platform::Icon::Error);
        logEntry(location, " - Unable to create backup file, Aborting backup");
        return false;
    }
    logEntry(location, " - Backup file successfully created [" + fileName + "]");
    recordInHistory(folder, fileName);
    if (madeFile) *madeFile = fileName;
    return true;
}

bool confirmRestore() {
    return platform::showMessage("Warning: This action will delete the contents of the current database, and replace it "
                                 "with the backup's. This process is irreversable.\n\nContinue?",
                                 "Restore from selected Database", platform::Icon::Warning,
                                 platform::Buttons::YesNo) == platform::Answer::Yes;
}

bool restore_database(const std::string& location,
                      const std::function<std::string(const std::vector<std::string>&)>& chooseBackup) {
    logEntry(location, " - Attempting to restore database \"" + databaseName() + "\" [" + currentDatabasePath() + "]...");
    const std::string folder = backupFolder(location);
    const std::string chosen = chooseBackup(newestFirst(backupFiles(folder)));
    if (chosen.empty()) {
        logEntry(location, " - User cancelled restoration process");
        return false;
    }
    const std::string path = platform::joinPath(folder, chosen);
    // A copy that fails part-way is rolled back by SQLite's journal on the main database.
    const bool restored = databaseIsOpen() && open_database(path, OpenMode::Open, nullptr, Connection::Backup) &&
                          passesIntegrityCheck(Connection::Backup) &&
                          copyDatabase(Connection::Backup, Connection::Main);
    closeBackupConnection();
    if (!restored) {
        platform::showMessage("Error restoring database, restoration process cancelled", "Restore Failed",
                              platform::Icon::Error);
        logEntry(location, " - Unable to restore from backup file [" + chosen + "], Aborting restoration process");
        return false;
    }
    logEntry(location, " - Database successfully restored from backup file [" + chosen + "]");
    return true;
}

std::vector<std::string> check_backup_folder(const std::string& location, const std::string& folder) {
    std::vector<std::string> listed = readLines(backupHistoryPath(folder));
    if (!listed.empty()) listed.erase(listed.begin());  // the date line
    const std::vector<std::string> present = backupFiles(folder);
    auto contains = [](const std::vector<std::string>& names, const std::string& n) {
        for (const std::string& x : names)
            if (x == n) return true;
        return false;
    };
    std::vector<std::string> entries;
    for (const std::string& name : listed)
        if (!name.empty() && !contains(present, name))
            entries.push_back(" - Detected a backup file has been manually removed [" + name + "]");
    for (const std::string& name : present)
        if (!contains(listed, name)) entries.push_back(" - Detected a backup file has been manually added [" + name + "]");
    for (const std::string& e : entries) logEntry(location, e);
    return entries;
}

bool startup_backup_pass(const std::string& location, int period) {
    const std::string root = productFolder(location);
    for (const std::string& folder : platform::listFolders(root)) {
        const std::string path = platform::joinPath(root, folder);
        if (platform::fileExists(backupHistoryPath(path))) check_backup_folder(location, path);
    }
    if (!databaseIsOpen()) return false;
    // A database gets automatic backups only after its first backup: the history's date line.
    const std::vector<std::string> history = readLines(backupHistoryPath(backupFolder(location)));
    if (history.empty()) return false;
    platform::LocalTime last;
    char end = 0;
    if (std::sscanf(history[0].c_str(), "%d/%d/%d%c", &last.day, &last.month, &last.year, &end) != 3) return false;
    const std::int64_t lastMs = platform::localTimeToMs(last);
    const std::int64_t length = backupPeriodMs(period);
    if (lastMs < 0 || length == 0) return false;
    if (lastMs + length >= platform::localTimeToMs(platform::localTimeNow())) return false;
    return backup_database(location, false);
}

}  // namespace db
