// The start-up state of the process: the command line, the working folder, the settings folder and
// its two files, the saved connection and backup settings, and the database file to open. The start-up
// sequence runs once on the user-interface thread, for the GUI when its main window is created and
// for the CLI before its commands; afterwards the state changes only through the two savers (Save
// as Default writes the "Connect" keys to the file for the next start; the Database Settings dialog
// changes the backup settings), and the current database belongs to db/.
#pragma once

#include <string>
#include <vector>

#include "platform/clock.h"

namespace app {

// The "Connect" section of the main settings file: how the instrument was last reached.
struct ConnectSettings {
    int interfaceType = 0;  // 0 none, 1 USB, 2 LAN, 3 serial
    std::string comPort;
    int baudRate = 0;
    std::string ipAddr;
};

// The "Backup" section of the database settings file.
struct BackupSettings {
    bool autoBackup = false;
    int period = 0;        // 0 daily, 1 weekly, 2 monthly
    std::string location;  // root folder of all backups
};

// Reads the arguments after the program name. Each option is set exactly when it is among them, in
// any case; other arguments are ignored.
//   -fakesfra    sweeps replay a file instead of measuring
//   -documents   the program works in the user's Documents\Corvane (settleWorkingFolder)
//   -simulator   the GUI starts the simulated instrument, and this run connects over LAN to 127.0.0.1
void parseCommandLine(const std::vector<std::string>& args);
bool isFakeSweep();
bool usesSimulatedInstrument();

// The first step of start-up. With -documents the user's Documents\Corvane, made when missing,
// becomes the current directory, so that the default database is made and kept there; when it cannot
// be made or entered, and without the option, the current directory stays as it is.
void settleWorkingFolder();

// Settles the settings folder and files (creating them on first run) and reads the saved settings.
// With -simulator the connection in memory is LAN 127.0.0.1; the file keeps its keys.
void settleSettingsFiles();

// settleWorkingFolder, settleSettingsFiles, then the database: when the last-used one is unset or
// gone, default.db in the current directory (created with the full schema if needed); the database
// is opened as the current one and, with automatic backups on, the start-up backup pass runs.
void runStartupSequence();
// The database half of the start-up sequence, for the GUI, which selects its mode in between.
void openStartupDatabase();

const std::string& settingsFolder();
const std::string& mainIniPath();
const std::string& dbIniPath();
// The current database file (kept by the database side once start-up has settled it).
const std::string& databaseFile();
const ConnectSettings& connectSettings();
// Writes the four "Connect" keys (Save as Default); they are read at the next start.
void saveConnectSettings(const ConnectSettings& settings);
const BackupSettings& backupSettings();
// The Database Settings dialog's Apply: the settings in memory become these (the location cut to
// 258 characters) and are written to the "Backup" keys of the database settings file.
void saveBackupSettings(const BackupSettings& settings);

// The "Created" stamp of a settings file: "09:05:01 7/3/2024".
std::string createdStamp(const platform::LocalTime& t);

}  // namespace app
