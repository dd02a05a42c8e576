// The backup commands. Without --location the backup location of the program's settings is used.
#include "cli/backup_commands.h"

#include <algorithm>
#include <cstdio>

#include "app/startup.h"
#include "cli/arguments.h"
#include "db/backup.h"
#include "db/database_files.h"
#include "platform/files.h"

namespace cli {

const char* const kBackupUsage =
    "  corvane backup --db PATH [--location DIR]\n"
    "  corvane backup check [--location DIR]\n"
    "  corvane restore --db PATH BACKUP_FILE_NAME [--location DIR] --yes\n";

namespace {

std::string locationOf(const Arguments& a) {
    if (a.has("--location")) return a.get("--location");
    app::settleSettingsFiles();
    return app::backupSettings().location;
}

// Opens PATH as the current database (without remembering it in the settings).
bool openCurrent(const std::string& path) {
    db::setCurrentDatabasePath(path);
    return db::open_current_database(db::OpenMode::Open);
}

int backup(const Arguments& a) {
    expectPositionals(a, 0);
    if (!openCurrent(requiredOption(a, "--db"))) return 1;
    std::string file;
    const bool made = db::backup_database(locationOf(a), true, &file);
    db::close_current_database();
    if (made) std::printf("backup: %s\n", file.c_str());
    return made ? 0 : 1;
}

int check(const Arguments& a) {
    expectPositionals(a, 1);
    const std::string location = locationOf(a);
    const std::string root = platform::joinPath(location, "Corvane");
    for (const std::string& folder : platform::listFolders(root)) {
        const std::string path = platform::joinPath(root, folder);
        if (!platform::fileExists(db::backupHistoryPath(path))) continue;
        for (const std::string& entry : db::check_backup_folder(location, path)) std::printf("%s:%s\n", folder.c_str(), entry.c_str());
    }
    return 0;
}

}  // namespace

int runBackupCommand(const std::vector<std::string>& args) {
    return runCommand(kBackupUsage, [&] {
        Arguments a = parseOrThrow(args, {"--db", "--location"});
        if (!a.positional.empty() && a.positional[0] == "check") return check(a);
        return backup(a);
    });
}

int runRestoreCommand(const std::vector<std::string>& args, TerminalPrompter& prompter) {
    return runCommand(kBackupUsage, [&] {
        Arguments a = parseOrThrow(args, {"--db", "--location"}, {"--yes"});
        const std::string name = positional(a, 0, "BACKUP_FILE_NAME");
        expectPositionals(a, 1);
        prompter.setAnswerYes(a.has("--yes"));
        if (!openCurrent(requiredOption(a, "--db"))) return 1;
        const bool restored = db::restore_database(locationOf(a), [&](const std::vector<std::string>& backups) {
            if (std::find(backups.begin(), backups.end(), name) == backups.end()) {
                std::fprintf(stderr, "corvane: no backup %s of this database\n", name.c_str());
                return std::string();
            }
            return db::confirmRestore() ? name : std::string();
        });
        db::close_current_database();
        std::printf("restored: %s\n", restored ? "yes" : "no");
        return restored ? 0 : 1;
    });
}

}  // namespace cli
