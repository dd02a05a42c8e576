// Backups, their history and log, checking a backup folder, restoring, and the start-up pass, on
// real files in temporary folders.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <ctime>
#include <filesystem>
#include <fstream>

#include "db/backup.h"
#include "db/database_files.h"
#include "db/record_store.h"
#include "db/schema.h"
#include "support/fake_prompter.h"
#include "support/fault_vfs.h"
#include "support/records.h"
#include "support/temp_dir.h"

using namespace testing_support;

namespace {

// "d/m/yyyy" of the day n days ago.
std::string daysAgo(int n) {
    std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    t.tm_mday -= n;
    t.tm_hour = 12;
    std::mktime(&t);
    return std::to_string(t.tm_mday) + "/" + std::to_string(t.tm_mon + 1) + "/" + std::to_string(t.tm_year + 1900);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        out.push_back(text.substr(start, nl - start));
    return out;
}

class BackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        db::setCurrentDatabasePath(dir.file("Site A.db"));
        ASSERT_TRUE(db::open_current_database(db::OpenMode::CreateIfMissing));
        db::TransformerRecord t;
        t.identifier = "T-100";
        t.manufacturer = "Maker";
        t.serialNumber = "S1";
        ASSERT_EQ(db::store_transformer(t, db::kAddChecked), 0);
        location = dir.file("backups");
        folder = location + "/Corvane/Site A";
    }
    void TearDown() override {
        db::close_current_database();
        db::setCurrentDatabasePath("");
    }
    std::string history() { return readFile(db::backupHistoryPath(folder)); }
    std::string log() { return readFile(location + "/Corvane/Backup.log"); }
    // A backup made earlier, as the folder would hold it.
    void earlierBackup(const std::string& date, const std::string& name) {
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(dir.file("Site A.db"), folder + "/" + name);
        writeFile(db::backupHistoryPath(folder), date + "\n" + name + "\n");
    }

    TempDir dir;
    FakePrompter prompter;
    std::string location, folder;
};

}  // namespace

TEST_F(BackupTest, TheFirstBackupMakesItsFolderHistoryAndLog) {
    std::string name;
    ASSERT_TRUE(db::backup_database(location, true, &name));
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
    EXPECT_GT(prompter.waitCount, 0);  // the wait cursor, taken down again
    EXPECT_EQ(prompter.waitDepth, 0);
    EXPECT_TRUE(name.ends_with("_Manual.db"));
    EXPECT_EQ(lines(history()), (std::vector<std::string>{daysAgo(0), name}));
    const auto log = lines(this->log());
    ASSERT_EQ(log.size(), 7u);
    EXPECT_EQ(log[0], "CorvaneBackup Log");
    EXPECT_EQ(log[1], "===================");
    EXPECT_EQ(log[2], "");
    EXPECT_TRUE(log[3].starts_with("Created: " + daysAgo(0) + " "));
    EXPECT_TRUE(log[5].ends_with(" - Attempting to backup database \"Site A\" [" + dir.file("Site A.db") + "]..."));
    EXPECT_TRUE(log[6].ends_with(" - Backup file successfully created [" + name + "]"));

    // The copy is a database with what the original held.
    db::close_current_database();
    db::setCurrentDatabasePath(folder + "/" + name);
    ASSERT_TRUE(db::open_current_database(db::OpenMode::Open));
    EXPECT_EQ(db::count_rows(db::TableIndex::Transformer), 1);
}

TEST_F(BackupTest, ASecondBackupKeepsTheFirstInTheHistory) {
    earlierBackup("1/2/2020", "2020_2_1_10_00_00_Manual.db");
    std::string name;
    ASSERT_TRUE(db::backup_database(location, false, &name));
    EXPECT_TRUE(name.ends_with("_Automatic.db"));
    EXPECT_EQ(lines(history()), (std::vector<std::string>{daysAgo(0), "2020_2_1_10_00_00_Manual.db", name}));
    // Two backups in the same second would share a name: the second fails and keeps the first.
    // The names of the next few seconds are taken here, so that the clock cannot slip past them.
    std::vector<std::string> taken;
    for (int s = 0; s < 4; ++s) {
        std::time_t when = std::time(nullptr) + s;
        std::tm t{};
        localtime_r(&when, &t);
        platform::LocalTime at;
        at.year = t.tm_year + 1900, at.month = t.tm_mon + 1, at.day = t.tm_mday;
        at.hour = t.tm_hour, at.minute = t.tm_min, at.second = t.tm_sec;
        taken.push_back(folder + "/" + db::backupFileName(at, false));
        writeFile(taken.back(), "an earlier backup");
    }
    EXPECT_FALSE(db::backup_database(location, false));
    for (const std::string& file : taken) EXPECT_EQ(readFile(file), "an earlier backup");
    EXPECT_EQ(prompter.boxes.back().text, "Error creating backup database, backup cancelled");
    EXPECT_EQ(prompter.boxes.back().caption, "Backup Failed");
    EXPECT_NE(log().find(" - Unable to create backup file, Aborting backup"), std::string::npos);
}

TEST_F(BackupTest, FilesRemovedOrAddedByHandAreReported) {
    earlierBackup("1/2/2020", "2020_2_1_10_00_00_Manual.db");
    std::filesystem::remove(folder + "/2020_2_1_10_00_00_Manual.db");
    writeFile(folder + "/copied in.db", "x");
    writeFile(folder + "/notes.txt", "not a backup");
    const auto entries = db::check_backup_folder(location, folder);
    EXPECT_EQ(entries, (std::vector<std::string>{
                           " - Detected a backup file has been manually removed [2020_2_1_10_00_00_Manual.db]",
                           " - Detected a backup file has been manually added [copied in.db]"}));
    EXPECT_NE(log().find(" - Detected a backup file has been manually added [copied in.db]\n"), std::string::npos);
}

TEST_F(BackupTest, RestoringPutsTheBackupsContentBack) {
    std::string name;
    ASSERT_TRUE(db::backup_database(location, true, &name));
    db::TransformerRecord later;
    later.identifier = "T-200";
    later.manufacturer = "Maker";
    later.serialNumber = "S2";
    ASSERT_EQ(db::store_transformer(later, db::kAddChecked), 0);
    ASSERT_EQ(db::count_rows(db::TableIndex::Transformer), 2);

    EXPECT_FALSE(db::restore_database(location, [](const std::vector<std::string>&) { return std::string(); }));
    EXPECT_NE(log().find(" - User cancelled restoration process\n"), std::string::npos);
    EXPECT_EQ(db::count_rows(db::TableIndex::Transformer), 2);

    std::vector<std::string> offered;
    ASSERT_TRUE(db::restore_database(location, [&](const std::vector<std::string>& backups) {
        offered = backups;
        return backups.front();
    }));
    EXPECT_EQ(offered, std::vector<std::string>{name});
    EXPECT_EQ(db::count_rows(db::TableIndex::Transformer), 1);
    EXPECT_NE(log().find(" - Database successfully restored from backup file [" + name + "]\n"), std::string::npos);
}

TEST_F(BackupTest, RestoreOffersTheBackupsNewestFirstByTheMomentInTheirNames) {
    std::filesystem::create_directories(folder);
    // In text order 2024_10_... would come before 2024_3_..., and 2024_3_12_... before 2024_3_7_....
    for (const char* name : {"2024_3_7_09_05_02_Manual.db", "copied in.db", "2024_10_1_08_00_00_Automatic.db",
                             "2023_12_31_23_59_59_Manual.db", "2024_3_12_07_30_00_Manual.db", "Archive.db",
                             "2024_3_7_21_00_00_Automatic.db", "2024_3_x_Manual.db"})
        writeFile(folder + "/" + name, "");
    std::vector<std::string> offered;
    EXPECT_FALSE(db::restore_database(location, [&](const std::vector<std::string>& backups) {
        offered = backups;
        return std::string();
    }));
    EXPECT_EQ(offered, (std::vector<std::string>{"2024_10_1_08_00_00_Automatic.db", "2024_3_12_07_30_00_Manual.db",
                                                 "2024_3_7_21_00_00_Automatic.db", "2024_3_7_09_05_02_Manual.db",
                                                 "2023_12_31_23_59_59_Manual.db", "2024_3_x_Manual.db", "Archive.db",
                                                 "copied in.db"}));
}

TEST_F(BackupTest, ARestoreThatFailsLeavesTheDatabaseAsItWas) {
    std::filesystem::create_directories(folder);
    writeFile(folder + "/broken.db", "this is no database at all, just text");
    EXPECT_FALSE(db::restore_database(location, [](const std::vector<std::string>& b) { return b.front(); }));
    EXPECT_EQ(prompter.boxes.back().text, "Error restoring database, restoration process cancelled");
    EXPECT_EQ(prompter.boxes.back().caption, "Restore Failed");
    EXPECT_TRUE(db::databaseIsOpen());
    EXPECT_EQ(db::count_rows(db::TableIndex::Transformer), 1);
    EXPECT_NE(log().find(" - Unable to restore from backup file [broken.db], Aborting restoration process\n"),
              std::string::npos);

    prompter.queueAnswer(platform::Answer::No);
    EXPECT_FALSE(db::confirmRestore());
    EXPECT_EQ(prompter.boxes.back().caption, "Restore from selected Database");
}

// A database of some thirty pages, backed up; then one more transformer that only the database holds.
class RestoreTest : public BackupTest {
protected:
    void SetUp() override {
        BackupTest::SetUp();
        db::SweepRecord sweep = sweepRecord("Tap5", "2024-03-05", "10:30", 10, 21, db::kDataFra);
        for (int i = 0; i < 2000; ++i) sweep.fraPoints.push_back({20.0 + i, 1, 0.5, -6, 45, 0.001});
        ASSERT_EQ(db::store_new_sweep(sweep, db::kAddChecked), 0);
        ASSERT_TRUE(db::backup_database(location, true, &backup));
        ASSERT_EQ(db::store_transformer(transformerRecord("T-LATE", "Maker", "S9"), db::kAddChecked), 0);
    }
    // What the restore must leave when it fails: the database as it was, open, and on disk too.
    void expectUnchanged(const std::string& when) {
        EXPECT_TRUE(db::databaseIsOpen()) << when;
        EXPECT_EQ(db::count_rows(db::TableIndex::Transformer), 2) << when;
        EXPECT_EQ(db::count_rows(db::TableIndex::DataFra), 2000) << when;
        EXPECT_EQ(prompter.boxes.back().caption, "Restore Failed") << when;
    }
    bool restoreTheBackup() {
        return db::restore_database(location, [this](const std::vector<std::string>&) { return backup; });
    }

    std::string backup;
};

TEST_F(RestoreTest, WritesFailingPartWayLeaveTheDatabaseAsItWas) {
    FaultVfs disk;
    ASSERT_TRUE(db::open_current_database(db::OpenMode::Open));  // now through the fault seam
    for (int writes : {0, 3, 12, 40}) {
        disk.failWritesWith(SQLITE_IOERR, writes);
        EXPECT_FALSE(restoreTheBackup()) << writes << " writes";
        disk.failWritesWith(SQLITE_OK);
        expectUnchanged(std::to_string(writes) + " writes");
        ASSERT_TRUE(db::open_current_database(db::OpenMode::Open));
        expectUnchanged(std::to_string(writes) + " writes, reopened");
    }
    EXPECT_TRUE(restoreTheBackup());
    EXPECT_EQ(db::count_rows(db::TableIndex::Transformer), 1);
}

TEST_F(RestoreTest, ADamagedBackupIsRefusedRatherThanCopiedOver) {
    const std::string file = folder + "/" + backup;
    const auto size = std::filesystem::file_size(file);
    ASSERT_GE(size, 20u * 4096);
    {
        std::fstream damage(file, std::ios::in | std::ios::out | std::ios::binary);
        damage.seekp(static_cast<std::streamoff>(size - 4096));
        damage << std::string(4096, '\xff');
    }
    EXPECT_FALSE(restoreTheBackup());
    expectUnchanged("damaged backup");
    EXPECT_NE(log().find(" - Unable to restore from backup file [" + backup + "], Aborting restoration process\n"),
              std::string::npos);
}

TEST_F(BackupTest, ADatabaseKeepsItsBackupFolderHoweverItWasOpened) {
    db::setCurrentDatabasePath(dir.file("Site.A.db"));
    ASSERT_TRUE(db::open_current_database(db::OpenMode::CreateIfMissing));
    EXPECT_EQ(db::backupFolder(location), location + "/Corvane/Site.A");
    db::close_current_database();
    // Open Database shows the name without its extension; cut once more it would be "Site", the
    // folder of Site.B.db's backups as well.
    prompter.openResults.push_back({dir.file("Site.A.db")});
    ASSERT_EQ(db::open_database_command(), db::OpenCommandResult::Opened);
    EXPECT_EQ(db::shownDatabaseName(), "Site.A");
    EXPECT_EQ(db::backupFolder(location), location + "/Corvane/Site.A");
}

TEST_F(BackupTest, TheStartupPassBacksUpOnlyWhenThePeriodHasPassed) {
    struct Case {
        int daysSince, period;
        bool expected;
    } cases[] = {{8, db::kWeekly, true}, {6, db::kWeekly, false}, {2, db::kDaily, true}, {0, db::kDaily, false},
                 {29, db::kMonthly, false}, {32, db::kMonthly, true}, {8, 7, false}};
    for (const Case& c : cases) {
        std::filesystem::remove_all(location);
        earlierBackup(daysAgo(c.daysSince), "earlier.db");
        const int waitsBefore = prompter.waitCount;
        EXPECT_EQ(db::startup_backup_pass(location, c.period), c.expected) << c.daysSince << " days, period " << c.period;
        EXPECT_EQ(prompter.waitCount > waitsBefore, c.expected) << "the wait cursor while backing up";
        EXPECT_EQ(prompter.waitDepth, 0);
        const auto files = std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator());
        EXPECT_EQ(files, c.expected ? 3 : 2);  // history, earlier backup and perhaps the new one
        if (c.expected) {
            EXPECT_NE(history().find("_Automatic.db\n"), std::string::npos);
        }
    }
    std::filesystem::remove_all(location);
    EXPECT_FALSE(db::startup_backup_pass(location, db::kDaily));  // never backed up: no automatic backups
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST(BackupNames, FileAndFolderNames) {
    platform::LocalTime t;
    t.year = 2024, t.month = 3, t.day = 7, t.hour = 9, t.minute = 5, t.second = 2;
    EXPECT_EQ(db::backupFileName(t, true), "2024_3_7_09_05_02_Manual.db");
    EXPECT_EQ(db::backupFileName(t, false), "2024_3_7_09_05_02_Automatic.db");
    EXPECT_EQ(db::backupPeriodMs(db::kMonthly), 2629800000LL);
    FakePrompter prompter;
    TempDir dir;
    db::setCurrentDatabasePath(dir.file("O'Neil.site.db"));
    ASSERT_TRUE(db::open_current_database(db::OpenMode::CreateIfMissing));
    EXPECT_EQ(db::backupFolder("/backups"), "/backups/Corvane/O''Neil.site");
    db::close_current_database();
}
