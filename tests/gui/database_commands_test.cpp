// The database commands under Wine on real files, worked as UI automation works them: New Database
// with its type list, transformer step and existing-file question, Open Database with the connected
// instrument checked against the opened database, and Database Settings with Backup Database and
// Restore Database.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/instrument_registration.h"
#include "app/startup.h"
#include "db/backup.h"
#include "db/database_files.h"
#include "db/default_setups.h"
#include "db/record_store.h"
#include "gui/app/layout.h"
#include "gui/app/main_window.h"
#include "gui/db/data_browser.h"
#include "gui/instrument/instrument_link.h"
#include "gui/resources/database_dialog_ids.h"
#include "gui/resources/dialog_ids.h"
#include "gui/resources/resource.h"
#include "gui/support/dialog_driver.h"
#include "gui/support/form_driver.h"
#include "instrument/identification.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "sim_process.h"
#include "support/records.h"

namespace gui_testing {
namespace {

using db::TableIndex;
using platform::Answer;

// The settings files are the Wine prefix's own, shared by every test: each test here leaves the
// database settings file as it found it.
class DatabaseCommands : public RecordsTest {
protected:
    void SetUp() override {
        RecordsTest::SetUp();
        savedDbSettings = testing_support::readFile(app::dbIniPath());
        SendMessageW(main, WM_COMMAND, IDC_DATABASE, 0);
    }
    void TearDown() override {
        RecordsTest::TearDown();
        testing_support::writeFile(app::dbIniPath(), savedDbSettings);
        app::setCurrentEquipmentId(-1);
    }

    // A button of the data browser's tool bar, as a click presses it; returns once its command has run.
    void clickTool(int id) { SendMessageW(gui::controlWindow(main, id), BM_CLICK, 0, 0); }
    std::string caption() { return windowText(gui::controlWindow(main, IDC_DATA_CAPTION)); }
    int browserRows() { return listRows(gui::controlWindow(main, IDC_DATA_LIST)); }
    std::vector<std::string> columnOf(TableIndex table, int column) {
        std::vector<std::string> values;
        db::select_rows(values, table, {column}, "", false);
        return values;
    }

    // Selects the type in the Create New Database dialog (as a click does, LVN_ITEMCHANGED following)
    // and presses "Create Database"; the transformer step, expected unless the type is user defined,
    // gets identifier or, when that is empty, is cancelled.
    void createDatabaseOfType(int type, const std::string& identifier) {
        answerNextDialog("Create New Database", [type, identifier](HWND d) {
            if (type != db::kUserDefinedType)
                answerNextDialog("Add/Edit Transformer", [identifier](HWND t) {
                    typeInto(t, IDC_TRANSFORMER_IDENTIFIER, identifier);
                    typeInto(t, IDC_TRANSFORMER_MANUFACTURER, "Maker Co");
                    typeInto(t, IDC_TRANSFORMER_SERIAL, "S-77");
                    pressButton(t, identifier.empty() ? IDCANCEL : IDOK);
                });
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDOK)));  // no type chosen yet
            LVITEMW row{};
            row.stateMask = row.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendDlgItemMessageW(d, IDC_CREATE_TYPE_LIST, LVM_SETITEMSTATE, type, reinterpret_cast<LPARAM>(&row));
            clickButton(d, IDOK);
            if (IsWindowVisible(d)) pressButton(d, IDCANCEL);  // the transformer step was cancelled
        });
    }

    std::string savedDbSettings;
};

TEST_F(DatabaseCommands, NewDatabaseCreatesAFileOfTheChosenTypeWithItsSetups) {
    createDatabaseOfType(7, "");  // the transformer step cancelled keeps the dialog for another choice
    clickTool(IDC_TOOL_NEW_DATABASE);
    EXPECT_EQ(db::currentDatabasePath(), dir.file("default.db"));

    const std::string path = dir.file("Substation 7.db");
    prompter.saveResults.push_back(path);
    createDatabaseOfType(7, "TX-700");
    clickTool(IDC_TOOL_NEW_DATABASE);
    EXPECT_EQ(prompter.choicesShown.back().filters.front().first, "Database File *.db");
    EXPECT_EQ(db::currentDatabasePath(), path);
    EXPECT_EQ(columnOf(TableIndex::Transformer, 0), std::vector<std::string>{"TX-700"});
    EXPECT_EQ(columnOf(TableIndex::Measurement, 1),
              (std::vector<std::string>{"OPEN1", "OPEN2", "SHORT", "INTERWINDING"}));
    EXPECT_EQ(caption(), "Sweeps (Substation 7.db)  Sweep details");
    EXPECT_EQ(browserRows(), 0);
    EXPECT_TRUE(IsWindowEnabled(gui::controlWindow(main, IDC_TOOL_IMPORT)));

    // "None (User Defined)" asks for no transformer and leaves the new database empty.
    prompter.saveResults.push_back(dir.file("empty.db"));
    createDatabaseOfType(db::kUserDefinedType, "");
    clickTool(IDC_TOOL_NEW_DATABASE);
    EXPECT_EQ(db::currentDatabasePath(), dir.file("empty.db"));
    for (TableIndex table : {TableIndex::Transformer, TableIndex::Measurement, TableIndex::Equipment})
        EXPECT_TRUE(rows(table).empty());
}

TEST_F(DatabaseCommands, AnExistingFileIsAddedToAndNotOverwritten) {
    prompter.saveResults.push_back(dir.file("default.db"));  // the open database, with its records
    prompter.queueAnswer(Answer::Ok);
    createDatabaseOfType(8, "TX-800");
    clickTool(IDC_TOOL_NEW_DATABASE);
    EXPECT_EQ(prompter.boxes.back().text, "A file with that name already exists");
    EXPECT_EQ(columnOf(TableIndex::Transformer, 0), (std::vector<std::string>{"TX-100", "TX-800"}));
    EXPECT_EQ(columnOf(TableIndex::Measurement, 1), (std::vector<std::string>{"OPEN1 HV", "OPEN1", "OPEN2", "SHORT"}));
    EXPECT_EQ(browserRows(), 1);  // the sweep it held
}

TEST_F(DatabaseCommands, OpenDatabaseAsksFirstThenOpensAndChecksTheConnectedInstrumentAgainstIt) {
    const std::string other = dir.file("Site B.db");
    bool created = false;
    ASSERT_TRUE(db::open_database(other, db::OpenMode::CreateIfMissing, &created, db::Connection::Backup));
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Backup);
    app::setCurrentEquipmentId(1);

    prompter.queueAnswer(Answer::No);
    clickTool(IDC_TOOL_OPEN_DATABASE);
    EXPECT_EQ(prompter.boxes.back().text,
              "Are you sure you want to break the connection to the database file " + dir.file("default.db"));
    EXPECT_EQ(app::currentEquipmentId(), 1);  // nothing changed

    prompter.queueAnswer(Answer::Yes);
    prompter.openResults.push_back({other});
    clickTool(IDC_TOOL_OPEN_DATABASE);
    EXPECT_EQ(db::currentDatabasePath(), other);
    EXPECT_EQ(caption(), "Sweeps (Site B)  Sweep details");
    EXPECT_EQ(app::currentEquipmentId(), -1);  // equipment 1 was the other database's

    // With an instrument connected, the database opened is offered it.
    testing_support::SimProcess sim;
    instrument::InstrumentLink& link = gui::instrumentLink();
    link = sim.lanLink();
    link.connected = instrument::connectAndIdentify(link, false);
    ASSERT_TRUE(link.connected);
    prompter.queueAnswer(Answer::Yes);
    prompter.openResults.push_back({other});
    prompter.queueAnswer(Answer::Yes);
    clickTool(IDC_TOOL_OPEN_DATABASE);
    EXPECT_EQ(prompter.boxes.back().caption, "Add to Database");
    EXPECT_EQ(columnOf(TableIndex::Equipment, 3), std::vector<std::string>{"410-2718"});
    EXPECT_EQ(app::currentEquipmentId(), 1);

    prompter.queueAnswer(Answer::Yes);
    clickTool(IDC_TOOL_OPEN_DATABASE);  // the chooser cancelled: no database open
    EXPECT_FALSE(db::databaseIsOpen());
    EXPECT_FALSE(IsWindowEnabled(gui::controlWindow(main, IDC_TOOL_IMPORT)));
}

TEST_F(DatabaseCommands, DatabaseSettingsEnablesItsControlsBacksUpWhereTypedAndStoresItsKeys) {
    app::saveBackupSettings({false, 0, dir.file("stored")});
    const std::string typed = dir.file("typed");
    answerNextDialog("Database Settings", [&](HWND d) {
        EXPECT_EQ(itemText(d, IDC_BACKUP_LOCATION), dir.file("stored"));
        const int period[] = {IDC_BACKUP_PERIOD_LABEL, IDC_BACKUP_PERIOD, IDC_BACKUP_NOTE_ICON, IDC_BACKUP_NOTE};
        for (int id : period) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, id))) << id;
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, IDC_BACKUP_NOTE)));
        clickButton(d, IDC_AUTO_BACKUP);
        for (int id : period) EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, id))) << id;
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, IDC_BACKUP_NOTE)));
        SendDlgItemMessageW(d, IDC_BACKUP_PERIOD, CB_SETCURSEL, 2, 0);
        typeInto(d, IDC_BACKUP_LOCATION, typed);
        clickButton(d, IDC_BACKUP_NOW);  // with the typed location, which is not stored yet
        EXPECT_EQ(app::backupSettings().location, dir.file("stored"));
        pressButton(d, IDOK);
    });
    clickTool(IDC_TOOL_SETTINGS);
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
    const std::vector<std::string> made = platform::listFiles(typed + "/Corvane/default");
    EXPECT_EQ(std::count_if(made.begin(), made.end(), [](const std::string& f) { return f.ends_with("_Manual.db"); }),
              1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("stored")));

    const std::string file = app::dbIniPath();
    EXPECT_EQ(platform::getProfileString(file, "Backup", "AutoBackup", "", 16), "1");
    EXPECT_EQ(platform::getProfileString(file, "Backup", "BackupPeriod", "", 16), "2");
    EXPECT_EQ(platform::getProfileString(file, "Backup", "BackupLocation", "", 260), typed);
    EXPECT_EQ(app::backupSettings().location, typed);
    EXPECT_EQ(app::backupSettings().period, 2);
}

TEST_F(DatabaseCommands, RestoreDatabaseRefusesWithoutASelectionAndRestoresTheChosenBackup) {
    const std::string location = dir.file("backups");
    std::string backup;
    ASSERT_TRUE(db::backup_database(location, true, &backup));
    ASSERT_EQ(db::store_transformer(testing_support::transformerRecord("TX-200", "Maker", "S2"), db::kAddChecked), 0);
    gui::showView(main, 0);
    ASSERT_EQ(browserRows(), 2);

    prompter.queueAnswer(Answer::Ok);   // "Please select a backup to restore from"
    prompter.queueAnswer(Answer::No);   // the warning, on the double click
    prompter.queueAnswer(Answer::Yes);  // the warning, on "Restore"
    answerNextDialog("Database Settings", [&](HWND d) {
        typeInto(d, IDC_BACKUP_LOCATION, location);
        answerNextDialog("Restore Database", [&](HWND r) {
            ASSERT_EQ(listCell(GetDlgItem(r, IDC_RESTORE_LIST), 0, 0), backup);
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(r, IDOK)));
            SendMessageW(r, WM_COMMAND, IDOK, 0);
            EXPECT_EQ(prompter.boxes.back().caption, "Error: No restore target");
            doubleClickRow(r, IDC_RESTORE_LIST, 0);
            EXPECT_EQ(prompter.boxes.back().caption, "Restore from selected Database");
            EXPECT_TRUE(IsWindowVisible(r));  // No keeps the dialog open
            clickButton(r, IDOK);
        });
        clickButton(d, IDC_RESTORE_FROM_BACKUP);
        EXPECT_EQ(browserRows(), 1);  // the view shown again, as restored
        pressButton(d, IDCANCEL);
    });
    clickTool(IDC_TOOL_SETTINGS);
    EXPECT_EQ(columnOf(TableIndex::Transformer, 0), std::vector<std::string>{"TX-100"});
}

// The names hold year, month and day without leading zeros, so their text order is not their age.
TEST_F(DatabaseCommands, RestoreDatabaseListsTheBackupsNewestFirst) {
    const std::string location = dir.file("backups");
    const std::string folder = location + "/Corvane/default";
    std::filesystem::create_directories(folder);
    const std::vector<std::string> newestFirst = {"2024_10_2_08_00_00_Automatic.db", "2024_3_12_07_30_00_Manual.db",
                                                  "2024_3_7_09_05_02_Manual.db", "2023_12_31_23_59_59_Manual.db",
                                                  "copied in.db"};
    for (const std::string& name : {newestFirst[3], newestFirst[4], newestFirst[0], newestFirst[2], newestFirst[1]})
        testing_support::writeFile(folder + "/" + name, "");
    std::vector<std::string> listed;
    answerNextDialog("Database Settings", [&](HWND d) {
        typeInto(d, IDC_BACKUP_LOCATION, location);
        answerNextDialog("Restore Database", [&](HWND r) {
            HWND list = GetDlgItem(r, IDC_RESTORE_LIST);
            for (int row = 0; row < listRows(list); ++row) listed.push_back(listCell(list, row, 0));
            pressButton(r, IDCANCEL);
        });
        clickButton(d, IDC_RESTORE_FROM_BACKUP);
        pressButton(d, IDCANCEL);
    });
    clickTool(IDC_TOOL_SETTINGS);
    EXPECT_EQ(listed, newestFirst);
}

}  // namespace
}  // namespace gui_testing

namespace gui_testing {
namespace {

// One value of a query on a file, through a connection of the test's own.
std::string valueOnFile(const std::string& file, const char* sql) {
    sqlite3* handle = nullptr;
    std::string value;
    sqlite3_open(file.c_str(), &handle);
    sqlite3_exec(handle, sql, [](void* out, int, char** values, char**) {
        *static_cast<std::string*>(out) = values[0] ? values[0] : "";
        return 0;
    }, &value, nullptr);
    sqlite3_close(handle);
    return value;
}

// A database of 1.5 million points, made before the program indexed its points.
void makeLargeUnindexedFile(const std::string& large) {
    bool created = true;
    ASSERT_TRUE(db::open_database(large, db::OpenMode::Open, &created, db::Connection::Main));
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);
    valueOnFile(large, "DROP INDEX Data_FRA_Sweep_Id;"
                       "INSERT INTO Data_FRA (Sweep_Id, Frequency) WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                       "SELECT i + 1 FROM n WHERE i < 1500000) SELECT i % 750, i FROM n;");
}

// A large database opened for the first time is indexed behind "Preparing Database", which closes
// itself; the file then has its indexes and every row.
TEST_F(DatabaseCommands, ALargeFileIsIndexedOnceBehindAProgressBox) {
    const std::string large = dir.file("Large.db");
    makeLargeUnindexedFile(large);
    std::string text;
    bool marquee = false;
    answerNextDialog("Preparing Database", [&](HWND box) {
        text = windowText(GetWindow(box, GW_CHILD));
        marquee = (GetWindowLongW(GetDlgItem(box, IDC_INDEXING_PROGRESS), GWL_STYLE) & PBS_MARQUEE) != 0;
    });
    ASSERT_TRUE(db::open_database(large, db::OpenMode::Open, nullptr, db::Connection::Main));
    EXPECT_TRUE(finishDialogs());
    EXPECT_EQ(text, "Indexing the database for faster lookups. This is done once and may take a minute.");
    EXPECT_TRUE(marquee);
    EXPECT_EQ(valueOnFile(large, "SELECT count(*) FROM sqlite_master WHERE name='Data_FRA_Sweep_Id'"), "1");
    EXPECT_EQ(valueOnFile(large, "SELECT count(*) FROM Data_FRA"), "1500000");
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
}

// The program opens the last session's database once its window shows: the box that indexes it
// comes up over the main window, owned by it, and the list shows the file when it closes.
TEST_F(DatabaseCommands, AtStartTheMainWindowShowsBeforeTheDatabaseIsPrepared) {
    const std::string large = dir.file("Large.db");
    makeLargeUnindexedFile(large);
    platform::writeProfileString(app::mainIniPath(), "Init", "DatabaseFile", large);
    DestroyWindow(main);
    pumpMessages(20);
    bool mainShown = false;
    HWND owner = nullptr;
    answerNextDialog("Preparing Database", [&](HWND box) {
        owner = GetWindow(box, GW_OWNER);
        mainShown = IsWindowVisible(owner) != FALSE;
    });
    main = gui::createMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_NE(db::currentDatabasePath(), large) << "not yet: the window has not shown";
    ShowWindow(main, SW_SHOWNORMAL);
    UpdateWindow(main);
    EXPECT_TRUE(finishDialogs());
    EXPECT_EQ(owner, main);
    EXPECT_TRUE(mainShown);
    EXPECT_EQ(db::currentDatabasePath(), large);
    EXPECT_EQ(valueOnFile(large, "SELECT count(*) FROM sqlite_master WHERE name='Data_FRA_Sweep_Id'"), "1");
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
}

}  // namespace
}  // namespace gui_testing
