// Start-up: command line, working folder, settings folder and files, saved settings, and the default
// database.
#include "app/startup.h"

#include <cctype>
#include <cstdio>

#include "common/fixed_text.h"
#include "common/identity.h"
#include "common/string_printf.h"
#include "db/backup.h"
#include "db/database_files.h"
#include "db/schema.h"
#include "instrument/link.h"
#include "platform/files.h"
#include "platform/known_folders.h"
#include "platform/profile.h"

namespace app {
namespace {

constexpr std::size_t kPathCapacity = 260;
constexpr std::size_t kDatabaseFileCapacity = 259;
constexpr std::size_t kConnectTextCapacity = 128;
constexpr std::size_t kBackupLocationCapacity = 259;  // 258 characters are stored

bool fakeSweep = false;
bool documentsStart = false;
bool simulatedInstrument = false;
std::string folder, mainIni, dbIni;
ConnectSettings connect;
BackupSettings backup;

// The user's folder of the given kind, or the current directory when the system cannot tell.
std::string knownFolderOrCurrent(int csidl) {
    std::string path;
    if (!platform::localAppDataFolder(csidl, path)) path = platform::currentDirectory();
    return path;
}

// First run of a settings file: the maker and product folders, and the file itself with its creation
// stamp. The chain starts above the maker folder because a fresh account may not have its
// application-data folder yet. Failures are ignored: the defaults then apply on every start.
void createSettingsFile(const std::string& iniPath) {
    platform::makeDirectories(folder);
    platform::writeProfileString(iniPath, "Init", "Created", createdStamp(platform::localTimeNow()));
}

// True when option (lower case) is among the arguments in any case.
bool hasOption(const std::vector<std::string>& args, const std::string& option) {
    for (const std::string& a : args) {
        bool same = a.size() == option.size();
        for (std::size_t i = 0; same && i < a.size(); ++i)
            same = std::tolower(static_cast<unsigned char>(a[i])) == option[i];
        if (same) return true;
    }
    return false;
}

}  // namespace

void parseCommandLine(const std::vector<std::string>& args) {
    fakeSweep = hasOption(args, "-fakesfra");
    documentsStart = hasOption(args, "-documents");
    simulatedInstrument = hasOption(args, "-simulator");
}

bool isFakeSweep() { return fakeSweep; }
bool usesSimulatedInstrument() { return simulatedInstrument; }

void settleWorkingFolder() {
    std::string documents;
    if (!documentsStart || !platform::localAppDataFolder(platform::kFolderDocuments, documents)) return;
    const std::string working = platform::joinPath(documents, common::kProductName);
    if (platform::makeDirectories(working)) platform::setCurrentDirectory(working);
}

std::string createdStamp(const platform::LocalTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d %d/%d/%d", t.hour, t.minute, t.second, t.day, t.month, t.year);
    return text;
}

void settleSettingsFiles() {
    const std::string appData = knownFolderOrCurrent(platform::kFolderLocalAppData);
    folder = platform::joinPath(platform::joinPath(appData, common::kMakerName), common::kProductName);
    mainIni = platform::joinPath(folder, std::string(common::kProductName) + ".ini");
    if (!platform::fileExists(mainIni)) createSettingsFile(mainIni);

    connect.interfaceType = platform::getProfileInt(mainIni, "Connect", "Interface", 0);
    connect.comPort = platform::getProfileString(mainIni, "Connect", "ComPort", "", kConnectTextCapacity);
    connect.baudRate = platform::getProfileInt(mainIni, "Connect", "BaudRate", 0);
    connect.ipAddr = platform::getProfileString(mainIni, "Connect", "IPAddr", "", kConnectTextCapacity);
    // The simulator the GUI started listens on this machine's instrument port.
    if (simulatedInstrument) {
        connect.interfaceType = instrument::kLan;
        connect.ipAddr = "127.0.0.1";
    }

    dbIni = platform::joinPath(folder, std::string(common::kProductName) + "-DBSettings.ini");
    if (!platform::fileExists(dbIni)) createSettingsFile(dbIni);

    const std::string defaultBackups = platform::joinPath(
        platform::joinPath(platform::joinPath(knownFolderOrCurrent(platform::kFolderDocuments), "VTL"), "Backup"), "");
    backup.autoBackup = platform::getProfileInt(dbIni, "Backup", "AutoBackup", 0) != 0;
    backup.period = platform::getProfileInt(dbIni, "Backup", "BackupPeriod", 0);
    backup.location = platform::getProfileString(dbIni, "Backup", "BackupLocation", defaultBackups, kPathCapacity);
}

void runStartupSequence() {
    settleWorkingFolder();
    settleSettingsFiles();
    openStartupDatabase();
}

void openStartupDatabase() {
    std::string database = platform::getProfileString(mainIni, "Init", "DatabaseFile", "", kDatabaseFileCapacity);
    if (database.empty() || !platform::fileExists(database)) {
        database = platform::joinPath(platform::currentDirectory(), "default.db");
        bool created = false;
        db::open_database(database, db::OpenMode::CreateIfMissing, &created, db::Connection::Main);
    }
    db::setDatabaseSettingsFile(mainIni);
    db::setCurrentDatabasePath(database);
    db::open_current_database(db::OpenMode::Open);
    // Automatic backups take place as the program starts.
    if (backup.autoBackup) db::startup_backup_pass(backup.location, backup.period);
}

const std::string& settingsFolder() { return folder; }
const std::string& mainIniPath() { return mainIni; }
const std::string& dbIniPath() { return dbIni; }
const std::string& databaseFile() { return db::currentDatabasePath(); }
const ConnectSettings& connectSettings() { return connect; }

void saveConnectSettings(const ConnectSettings& settings) {
    platform::writeProfileString(mainIni, "Connect", "Interface", std::to_string(settings.interfaceType));
    platform::writeProfileString(mainIni, "Connect", "ComPort", settings.comPort);
    platform::writeProfileString(mainIni, "Connect", "BaudRate", std::to_string(settings.baudRate));
    platform::writeProfileString(mainIni, "Connect", "IPAddr", settings.ipAddr);
}
const BackupSettings& backupSettings() { return backup; }

void saveBackupSettings(const BackupSettings& settings) {
    backup = settings;
    backup.location = common::FixedText<kBackupLocationCapacity>(settings.location).str();
    platform::writeProfileString(dbIni, "Backup", "AutoBackup", common::stringPrintf("%d", backup.autoBackup ? 1 : 0));
    platform::writeProfileString(dbIni, "Backup", "BackupPeriod", common::stringPrintf("%d", backup.period));
    platform::writeProfileString(dbIni, "Backup", "BackupLocation", backup.location);
}

}  // namespace app
