// The corvane command as scripts use it: its output formats, exit codes and messages.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>

#include "platform/files.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

using namespace testing_support;

namespace {

using CliRun = CommandResult;

class CliTest : public ::testing::Test {
protected:
    // Runs corvane with args in the work folder, with a home of its own.
    CliRun corvane(const std::vector<std::string>& args) { return runCommand(CORVANE_CLI, args, work.path(), home.path()); }
    std::string db() const { return work.file("site.db"); }
    void createDb() { ASSERT_EQ(corvane({"db", "info", db()}).exitCode, 0); }

    TempDir home, work;
};

}  // namespace

TEST_F(CliTest, StartupPrintsWhatItSettled) {
    CliRun r = corvane({"startup", "-FAKESFRA"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string folder = home.path() + "/.local/share/Veltrona/Corvane";
    EXPECT_EQ(r.out, "settingsFolder: " + folder + "\nmainIniPath: " + folder + "/Corvane.ini\ndbIniPath: " + folder +
                         "/Corvane-DBSettings.ini\ndatabaseFile: " + work.path() + "/default.db\nfakeSweep: 1\n");
    EXPECT_TRUE(corvane({"startup"}).out.ends_with("\nfakeSweep: 0\n"));
}

TEST_F(CliTest, VersionNamesTheProgramAndTheSqliteItCarries) {
    CliRun r = corvane({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, std::string("corvane 1.5.2 (v1_5 May  9 2023)\nSQLite ") + sqlite3_libversion() + "\n");
    EXPECT_NE(corvane({}).err.find("\n  corvane --version\n"), std::string::npos);
}

TEST_F(CliTest, InfoCreatesThenReportsTheDatabase) {
    CliRun r = corvane({"db", "info", db()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "version: 2.0\ncreated: yes\nTransformer: 0\nMeasurement: 0\nEquipment: 0\nSweep: 0\nData: 0\n"
              "Data_FRA: 0\nData_LCR: 0\n");
    EXPECT_TRUE(corvane({"db", "info", db()}).out.starts_with("version: 2.0\ncreated: no\n"));

    writeFile(work.file("junk.db"), "not a database at all, just some text in a file\n");
    CliRun bad = corvane({"db", "info", work.file("junk.db")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("Database Error: File selected is not a Database\nError Code: 26"), std::string::npos);
}

TEST_F(CliTest, RecordsAreAddedListedAndCounted) {
    createDb();
    CliRun t = corvane({"db", "add-transformer", db(), "--mode", "0", "--identifier", "T-1", "--manufacturer", "O'Neil",
                     "--serial", "SN1"});
    EXPECT_EQ(t.out, "result: 0\n");
    EXPECT_EQ(t.exitCode, 0);
    CliRun dup = corvane({"db", "add-transformer", db(), "--mode", "0", "--identifier", "T-1", "--manufacturer", "M",
                       "--serial", "S"});
    EXPECT_EQ(dup.out, "result: -2\n");
    EXPECT_EQ(dup.exitCode, 1);
    EXPECT_EQ(corvane({"db", "add-setup", db(), "--mode", "0", "--name", "OPEN1", "--reference", "H1", "--response",
                       "H0", "--connected", "NONE", "--oltc", "3", "--length", "30", "--fluid", "no"})
                  .out,
              "result: 0\n");
    EXPECT_EQ(corvane({"db", "add-equipment", db(), "--mode", "0", "--manufacturer", "Other", "--instrument", "QMX74",
                       "--serial", "410-5", "--due", "2030-06-01"})
                  .out,
              "result: 0\n");
    writeFile(work.file("points.csv"), "20,-40.5,12.25\n\n100, -45, 80\n");
    EXPECT_EQ(corvane({"db", "next-id", db(), "Sweep"}).out, "1\n");
    CliRun s = corvane({"db", "add-sweep", db(), "--mode", "0", "--name", "Tap5", "--transformer", "T-1", "--setup", "1",
                     "--equipment", "1", "--date", "2013-07-01", "--time", "13:48", "--type", "0", "--points",
                     work.file("points.csv"), "--comments", "it's ok"});
    EXPECT_EQ(s.out, "result: 0\n") << s.err;
    EXPECT_EQ(corvane({"db", "next-id", db(), "Sweep"}).out, "2\n");
    EXPECT_EQ(corvane({"db", "next-id", db(), "Transformer"}).out, "-1\n");

    EXPECT_EQ(corvane({"db", "rows", db(), "Sweep", "--columns", "4,7,10,5"}).out, "Tap5\t01-07-2013\tit's ok\t0.0\n");
    EXPECT_EQ(corvane({"db", "rows", db(), "Data", "--columns", "2,3,4", "--where", "WHERE Frequency > 50"}).out,
              "100.0\t-45.0\t80.0\n");
    EXPECT_EQ(corvane({"db", "rows", db(), "Measurement"}).out, "1\tOPEN1\tH1\tH0\tNONE\t3\t30.0\tNo\t \n");
    CliRun info = corvane({"db", "info", db()});
    EXPECT_NE(info.out.find("Sweep: 1\nData: 2\n"), std::string::npos);
}

TEST_F(CliTest, PointsFileMustMatchTheDataType) {
    createDb();
    writeFile(work.file("bad.csv"), "20,-40.5\n");
    CliRun r = corvane({"db", "add-sweep", db(), "--mode", "2", "--name", "Bad", "--transformer", "T", "--setup", "1",
                     "--equipment", "1", "--date", "2013-07-01", "--time", "13:48", "--type", "0", "--points",
                     work.file("bad.csv")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("expected 3 values, found 2"), std::string::npos);
    EXPECT_NE(corvane({"db", "info", db()}).out.find("Sweep: 0\n"), std::string::npos);
}

TEST_F(CliTest, DeleteAsksAndOnlyYesDeletes) {
    createDb();
    corvane({"db", "add-transformer", db(), "--mode", "0", "--identifier", "T-1", "--manufacturer", "M", "--serial",
             "S"});
    CliRun no = corvane({"db", "delete", db(), "transformer", "--where", "WHERE Transformer_Identifier='T-1'"});
    EXPECT_EQ(no.out, "deleted: no\n");
    EXPECT_TRUE(no.err.starts_with("Alert!: Deleting a transformer will also delete")) << no.err;
    CliRun yes = corvane({"db", "delete", db(), "0", "--where", "WHERE Transformer_Identifier='T-1'", "--yes"});
    EXPECT_EQ(yes.out, "deleted: yes\n");
    EXPECT_EQ(corvane({"db", "rows", db(), "Transformer"}).out, "");
}

TEST_F(CliTest, SearchListsTheViewRowsThatMatch) {
    createDb();
    for (const char* name : {"Alpha", "Beta"})
        corvane({"db", "add-sweep", db(), "--mode", "2", "--name", name, "--transformer", "T", "--setup", "1",
                 "--equipment", "1", "--date", name[0] == 'A' ? "2020-05-12" : "2021-01-02", "--time", "10:00",
                 "--type", "1"});
    EXPECT_EQ(corvane({"db", "search", db(), "3", "12-05-2020"}).out, "1\tAlpha\t12-05-2020\t10:00\t \tFRA\t\n");
    EXPECT_EQ(corvane({"db", "search", db(), "3", "et"}).out, "2\tBeta\t02-01-2021\t10:00\t \tFRA\t\n");
    EXPECT_EQ(corvane({"db", "search", db(), "0", ""}).out, "");
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    EXPECT_EQ(corvane({}).exitCode, 2);
    EXPECT_EQ(corvane({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(corvane({"db", "rows"}).exitCode, 2);
    createDb();
    EXPECT_EQ(corvane({"db", "rows", db(), "NoSuchTable"}).exitCode, 2);
    EXPECT_EQ(corvane({"db", "rows", db(), "Sweep", "--columns", "0,12"}).exitCode, 2);
    EXPECT_EQ(corvane({"db", "add-transformer", db(), "--identifier", "X"}).exitCode, 2);
    EXPECT_EQ(corvane({"db", "search", db(), "7", "x"}).exitCode, 2);
    CliRun missing = corvane({"db", "rows", work.file("absent.db"), "Sweep"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Database Error: Unable to open Database file"), std::string::npos);
}

TEST_F(CliTest, NewDatabasesOfAType) {
    CliRun r = corvane({"db", "new", db(), "--type", "7", "--transformer", "TX-1", "--manufacturer", "Maker", "--serial", "9"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "created: yes\n");
    EXPECT_EQ(corvane({"db", "rows", db(), "Measurement", "--columns", "1"}).out, "OPEN1\nOPEN2\nSHORT\nINTERWINDING\n");
    EXPECT_EQ(corvane({"db", "rows", db(), "Transformer", "--columns", "0"}).out, "TX-1\n");

    CliRun exists = corvane({"db", "new", db(), "--type", "10"});
    EXPECT_EQ(exists.out, "created: no\n");
    EXPECT_EQ(exists.err, "Corvane: A file with that name already exists\n");
    EXPECT_EQ(corvane({"db", "new", work.file("empty.db"), "--type", "10"}).out, "created: yes\n");
    EXPECT_TRUE(corvane({"db", "info", work.file("empty.db")}).out.ends_with("Measurement: 0\nEquipment: 0\nSweep: 0\n"
                                                                            "Data: 0\nData_FRA: 0\nData_LCR: 0\n"));
    EXPECT_EQ(corvane({"db", "new", work.file("x.db"), "--type", "3"}).exitCode, 2);  // needs its transformer
    EXPECT_EQ(corvane({"db", "new", work.file("x.db"), "--type", "11"}).exitCode, 2);
}

TEST_F(CliTest, ATransformerTheDialogWouldRefuseMakesNoDatabaseAndSaysWhy) {
    // The transformer dialog's rules: four characters at least, manufacturer and serial number given.
    const struct {
        const char* identifier;
        const char* manufacturer;
        const char* message;
    } refusals[] = {{"T1", "Maker", "Invalid Transformer Identifier"},
                    {"TX-1", "", "Transformer Manufacturer is a required field"}};
    for (const auto& r : refusals) {
        CliRun run = corvane({"db", "new", work.file("t.db"), "--type", "0", "--transformer", r.identifier,
                              "--manufacturer", r.manufacturer, "--serial", "9"});
        EXPECT_EQ(run.exitCode, 1) << r.message;
        EXPECT_EQ(run.out, "created: no\n");
        EXPECT_EQ(run.err, std::string("Invalid: ") + r.message + "\n");
        EXPECT_FALSE(platform::fileExists(work.file("t.db"))) << "no file for a refused transformer";
    }
}

TEST_F(CliTest, ARecordTheStoreRefusesIsExplainedAsItsDialogWould) {
    createDb();
    CliRun t = corvane({"db", "add-transformer", db(), "--mode", "0", "--identifier", "T1", "--manufacturer", "M",
                        "--serial", "S"});
    EXPECT_EQ(t.out, "result: -1\n");
    EXPECT_EQ(t.err, "Invalid: Invalid Transformer Identifier\n");
    CliRun s = corvane({"db", "add-setup", db(), "--mode", "0", "--name", "OPEN1", "--reference", "H1", "--response",
                        "H0", "--connected", "NONE", "--oltc", "-3", "--length", "30", "--fluid", "no"});
    EXPECT_EQ(s.out, "result: -1\n");
    EXPECT_EQ(s.err, "Invalid: Invalid On Load Tap Changer (OLTC) value\n");
    CliRun e = corvane({"db", "add-equipment", db(), "--mode", "0", "--manufacturer", "M", "--instrument", "",
                        "--serial", "1"});
    EXPECT_EQ(e.err, "Invalid: Measurement Instrument is a required field\n");
    EXPECT_EQ(e.exitCode, 1);
}

TEST_F(CliTest, BackupCheckAndRestore) {
    createDb();
    corvane({"db", "add-transformer", db(), "--mode", "0", "--identifier", "TX-1", "--manufacturer", "M", "--serial", "S"});
    const std::string location = work.file("backups");
    CliRun b = corvane({"backup", "--db", db(), "--location", location});
    ASSERT_EQ(b.exitCode, 0) << b.err;
    ASSERT_TRUE(b.out.starts_with("backup: ") && b.out.ends_with("_Manual.db\n")) << b.out;
    const std::string name = b.out.substr(8, b.out.size() - 9);
    EXPECT_EQ(corvane({"backup", "check", "--location", location}).out, "");

    corvane({"db", "delete", db(), "transformer", "--where", "WHERE Transformer_Identifier='TX-1'", "--yes"});
    EXPECT_EQ(corvane({"restore", "--db", db(), name, "--location", location}).out, "restored: no\n");
    CliRun restored = corvane({"restore", "--db", db(), name, "--location", location, "--yes"});
    EXPECT_EQ(restored.out, "restored: yes\n");
    EXPECT_EQ(corvane({"db", "rows", db(), "Transformer", "--columns", "0"}).out, "TX-1\n");
    EXPECT_EQ(corvane({"restore", "--db", db(), "missing.db", "--location", location, "--yes"}).exitCode, 1);

    std::remove((location + "/Corvane/site/" + name).c_str());
    EXPECT_EQ(corvane({"backup", "check", "--location", location}).out,
              "site: - Detected a backup file has been manually removed [" + name + "]\n");
}
