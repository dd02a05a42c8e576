// Opening, creating and upgrading database files; the equipment serial correction; next_row_id.
#include <gtest/gtest.h>

#include <thread>

#include "db_fixture.h"
#include "platform/files.h"

using namespace testing_support;
using db::Connection;
using db::TableIndex;

namespace {

const char* const kExpectedSchema[] = {
    "CREATE TABLE Transformer ( Transformer_Identifier TEXT PRIMARY KEY,  Manufacturer TEXT, Serial_Number TEXT, "
    "Fingerprint_Sweep_Id INTEGER)",
    "CREATE TABLE Measurement ( Measurement_Id INTEGER PRIMARY KEY AUTOINCREMENT , Name TEXT, Reference_Terminal "
    "TEXT, Response_Terminal TEXT, Connected_Terminals TEXT, OLTC INTEGER, Unshielded_Length REAL, Fluid_Filled "
    "BOOLEAN, Comments TEXT)",
    "CREATE TABLE Equipment ( Equipment_Id INTEGER PRIMARY KEY AUTOINCREMENT , Manufacturer TEXT, Instrument TEXT, "
    "Serial_Number TEXT, Calibration_Due_Date TEXT)",
    "CREATE TABLE Sweep ( SweepId INTEGER PRIMARY KEY AUTOINCREMENT, Measurement_Id INTEGER NOT NULL, Equipment_Id "
    "INTEGER NOT NULL, Transformer_Identifier TEXT NOT NULL, Name TEXT, Peak_Voltage REAL, Temperature REAL, Date "
    "TEXT, Time TEXT, Phase_Convention INTEGER, Comments TEXT, Data_Type INTEGER NOT NULL)",
    "CREATE TABLE Data ( Data_Id INTEGER PRIMARY KEY AUTOINCREMENT , Sweep_Id INTEGER NOT NULL, Frequency REAL, "
    "Amplitude REAL, Phase REAL)",
    "CREATE TABLE Data_FRA ( Data_Id INTEGER PRIMARY KEY AUTOINCREMENT , Sweep_Id INTEGER NOT NULL, Frequency REAL, "
    "Magnitude1 REAL, Magnitude2 REAL, Amplitude REAL, Phase REAL, Delay REAL)",
    "CREATE TABLE Data_LCR ( Data_Id INTEGER PRIMARY KEY AUTOINCREMENT , Sweep_Id INTEGER NOT NULL, Frequency REAL, "
    "Admittance REAL, Admittance_Phase REAL, Impedance REAL, Impedance_Phase REAL, Inductance REAL, Capacitance REAL, "
    "Resistance REAL)",
    "CREATE TABLE Version ( Database_version REAL )",
};

// The tables of a file as it was before the point tables of full FRA and LCR sweeps existed.
void makeVersion0File(const std::string& file, bool withSweepTable = true) {
    execOnFile(file,
               "CREATE TABLE Transformer ( Transformer_Identifier TEXT PRIMARY KEY,  Manufacturer TEXT, Serial_Number "
               "TEXT, Fingerprint_Sweep_Id INTEGER);"
               "CREATE TABLE Measurement ( Measurement_Id INTEGER PRIMARY KEY AUTOINCREMENT , Name TEXT, "
               "Reference_Terminal TEXT, Response_Terminal TEXT, Connected_Terminals TEXT, OLTC INTEGER, "
               "Unshielded_Length REAL, Fluid_Filled BOOLEAN, Comments TEXT);"
               "CREATE TABLE Equipment ( Equipment_Id INTEGER PRIMARY KEY AUTOINCREMENT , Manufacturer TEXT, "
               "Instrument TEXT, Serial_Number TEXT, Calibration_Due_Date TEXT);"
               "CREATE TABLE Data ( Data_Id INTEGER PRIMARY KEY AUTOINCREMENT , Sweep_Id INTEGER NOT NULL, Frequency "
               "REAL, Amplitude REAL, Phase REAL);"
               "INSERT INTO Transformer VALUES ('OLD-T', 'Maker', 'S9', NULL);"
               "INSERT INTO Measurement (Name, Reference_Terminal, Response_Terminal, Connected_Terminals, OLTC, "
               "Unshielded_Length, Fluid_Filled, Comments) VALUES ('OPEN1','H1','H0','NONE','3','30.00','FALSE','');"
               "INSERT INTO Equipment (Manufacturer, Instrument, Serial_Number, Calibration_Due_Date) VALUES "
               "('Other','X','410-5','2020-01-01');"
               "INSERT INTO Data (Sweep_Id, Frequency, Amplitude, Phase) VALUES (1, 20, -40, 5), (1, 40, -42, 6);");
    if (withSweepTable)
        execOnFile(file,
                   "CREATE TABLE Sweep ( SweepId INTEGER PRIMARY KEY AUTOINCREMENT, Measurement_Id INTEGER NOT NULL, "
                   "Equipment_Id INTEGER NOT NULL, Transformer_Identifier TEXT NOT NULL, Name TEXT, Peak_Voltage REAL, "
                   "Temperature REAL, Date TEXT, Time TEXT, Phase_Convention INTEGER, Comments TEXT);"
                   "INSERT INTO Sweep (Measurement_Id, Equipment_Id, Transformer_Identifier, Name, Peak_Voltage, "
                   "Temperature, Date, Time, Phase_Convention, Comments) VALUES "
                   "(1, 1, 'OLD-T', 'Old sweep', '10.00000', '20.00000', '2012-03-04', '09:30', '0', '');");
}

std::vector<std::string> schemaOf(const std::string& file) {
    return columnOnFile(file, "SELECT sql FROM sqlite_master WHERE type='table' AND name<>'sqlite_sequence' ORDER BY rowid");
}

class FileTest : public ::testing::Test {
protected:
    void TearDown() override { db::open_database({}, db::OpenMode::Close, nullptr, Connection::Main); }
    TempDir dir;
    FakePrompter prompter;
};

}  // namespace

TEST_F(FileTest, NewFileGetsExactlyTheEightTablesAndVersionTwo) {
    std::string file = dir.file("new.db");
    bool created = false;
    ASSERT_TRUE(db::open_database(file, db::OpenMode::CreateIfMissing, &created, Connection::Main));
    EXPECT_TRUE(created);
    EXPECT_EQ(schemaOf(file), std::vector<std::string>(std::begin(kExpectedSchema), std::end(kExpectedSchema)));
    EXPECT_EQ(db::storedVersionText(Connection::Main), "2.0");
    EXPECT_EQ(columnOnFile(file, "SELECT typeof(Database_version) FROM Version"), std::vector<std::string>{"real"});
    EXPECT_TRUE(prompter.boxes.empty());

    // Opening it again is no creation and changes nothing.
    ASSERT_TRUE(db::open_database(file, db::OpenMode::CreateIfMissing, &created, Connection::Main));
    EXPECT_FALSE(created);
    EXPECT_EQ(schemaOf(file).size(), 8u);
}

TEST_F(FileTest, MissingFileIsNotCreatedWithoutTheCreatedFlag) {
    std::string file = dir.file("missing.db");
    EXPECT_FALSE(db::open_database(file, db::OpenMode::Open, nullptr, Connection::Main));
    EXPECT_FALSE(platform::fileExists(file));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].caption, "Database Error");
    EXPECT_EQ(prompter.boxes[0].text, "Unable to open Database file\nError Code: 14");
    EXPECT_EQ(db::connectionHandle(Connection::Main), nullptr);
}

TEST_F(FileTest, FileThatIsNotADatabaseFailsAndStaysAsItWas) {
    std::string file = dir.file("notes.db");
    writeFile(file, "These are my notes, not a database. Please keep them.\n");
    bool created = false;
    EXPECT_FALSE(db::open_database(file, db::OpenMode::CreateIfMissing, &created, Connection::Main));
    EXPECT_FALSE(created);
    ASSERT_FALSE(prompter.boxes.empty());
    EXPECT_EQ(prompter.boxes[0].text, "File selected is not a Database\nError Code: 26");
    EXPECT_EQ(readFile(file), "These are my notes, not a database. Please keep them.\n");
}

TEST_F(FileTest, CloseModesCloseTheConnection) {
    bool created = false;
    ASSERT_TRUE(db::open_database(dir.file("b.db"), db::OpenMode::CreateIfMissing, &created, Connection::Main));
    EXPECT_NE(db::connectionHandle(Connection::Main), nullptr);
    EXPECT_FALSE(db::open_database({}, db::OpenMode::Close, nullptr, Connection::Main));
    EXPECT_EQ(db::connectionHandle(Connection::Main), nullptr);
    // Closing a closed connection is harmless.
    EXPECT_FALSE(db::open_database({}, db::OpenMode::Close, nullptr, Connection::Main));
}

TEST_F(FileTest, VersionZeroFileIsUpgradedKeepingEveryRow) {
    std::string file = dir.file("old.db");
    makeVersion0File(file);
    bool created = false;
    ASSERT_TRUE(db::open_database(file, db::OpenMode::CreateIfMissing, &created, Connection::Main));
    EXPECT_FALSE(created);
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
    EXPECT_EQ(db::storedVersionText(Connection::Main), "2.0");
    EXPECT_EQ(columnOnFile(file, "SELECT name FROM sqlite_master WHERE name IN ('Data_FRA','Data_LCR','Version') "
                                 "ORDER BY name"),
              (std::vector<std::string>{"Data_FRA", "Data_LCR", "Version"}));

    db::SweepRecord sweep;
    ASSERT_TRUE(db::load_sweep(1, sweep));
    EXPECT_EQ(sweep.dataType, 0);
    EXPECT_EQ(sweep.name, "Old sweep");
    EXPECT_EQ(sweep.date, "04-03-2012");
    ASSERT_EQ(sweep.basicPoints.size(), 2u);
    EXPECT_EQ(sweep.basicPoints[1].amplitude, -42.0);
    EXPECT_EQ(columnOnFile(file, "SELECT count(*) FROM Transformer")[0], "1");
    EXPECT_EQ(columnOnFile(file, "SELECT count(*) FROM Measurement")[0], "1");
}

TEST_F(FileTest, VersionTableWithoutARowKeepsExistingPointTables) {
    std::string file = dir.file("half.db");
    bool created = false;
    ASSERT_TRUE(db::open_database(file, db::OpenMode::CreateIfMissing, &created, Connection::Main));
    db::open_database({}, db::OpenMode::Close, nullptr, Connection::Main);
    execOnFile(file, "INSERT INTO Data_FRA (Sweep_Id, Frequency) VALUES (7, 100); DELETE FROM Version;");

    ASSERT_TRUE(db::open_database(file, db::OpenMode::CreateIfMissing, &created, Connection::Main));
    EXPECT_EQ(columnOnFile(file, "SELECT Frequency FROM Data_FRA"), std::vector<std::string>{"100.0"});
    EXPECT_EQ(db::storedVersionText(Connection::Main), "2.0");
}

TEST_F(FileTest, NullVersionFailsTheOpen) {
    std::string file = dir.file("null.db");
    bool created = false;
    ASSERT_TRUE(db::open_database(file, db::OpenMode::CreateIfMissing, &created, Connection::Main));
    db::open_database({}, db::OpenMode::Close, nullptr, Connection::Main);
    execOnFile(file, "UPDATE Version SET Database_version = NULL");
    EXPECT_FALSE(db::open_database(file, db::OpenMode::CreateIfMissing, &created, Connection::Main));
}

TEST_F(FileTest, FailedUpgradeLeavesTheFileUntouched) {
    std::string file = dir.file("broken.db");
    makeVersion0File(file, /*withSweepTable=*/false);
    auto before = schemaOf(file);
    EXPECT_FALSE(db::open_database(file, db::OpenMode::CreateIfMissing, nullptr, Connection::Main));
    EXPECT_EQ(prompter.boxes.at(0).caption, "Database Error");
    db::open_database({}, db::OpenMode::Close, nullptr, Connection::Main);
    EXPECT_EQ(schemaOf(file), before);
    EXPECT_EQ(columnOnFile(file, "SELECT count(*) FROM Data")[0], "2");
}

class SerialCorrectionTest : public DbTest {
protected:
    void addEquipment(const std::string& maker, const std::string& serial) {
        exec("INSERT INTO Equipment (Manufacturer, Instrument, Serial_Number, Calibration_Due_Date) VALUES ('" + maker +
             "', 'QMX74', '" + serial + "', '2031-02-03')");
    }
    void addSweepRow(int equipment, const std::string& name) {
        exec("INSERT INTO Sweep (Measurement_Id, Equipment_Id, Transformer_Identifier, Name, Peak_Voltage, Temperature, "
             "Date, Time, Phase_Convention, Comments, Data_Type) VALUES (1, " +
             std::to_string(equipment) + ", 'T1', '" + name + "', 10, 20, '2021-06-07', '08:00', 0, 'kept', 0)");
    }
    void reopen() {
        db::open_database({}, db::OpenMode::Close, nullptr, Connection::Main);
        ASSERT_TRUE(db::open_database(path, db::OpenMode::Open, nullptr, Connection::Main));
    }
};

TEST_F(SerialCorrectionTest, OwnInstrumentsGetThePrefixOthersAreLeftAlone) {
    addEquipment("Veltrona Ltd", "1234");
    addEquipment("Other Instruments", "5678");
    addEquipment("Veltrona Ltd", "410-999");
    reopen();
    EXPECT_EQ(column("SELECT Serial_Number FROM Equipment ORDER BY Equipment_Id"),
              (std::vector<std::string>{"410-1234", "5678", "410-999"}));
    // The due date keeps its stored form through the update.
    EXPECT_EQ(value("SELECT Calibration_Due_Date FROM Equipment WHERE Equipment_Id=1"), "2031-02-03");
}

TEST_F(SerialCorrectionTest, SweepsMoveToTheExistingPrefixedTwin) {
    addEquipment("Veltrona Ltd", "410-1234");  // id 1
    addEquipment("Veltrona Ltd", "1234");      // id 2, the old registration
    addSweepRow(2, "First");
    addSweepRow(2, "Second");
    reopen();
    EXPECT_EQ(column("SELECT Equipment_Id FROM Equipment"), std::vector<std::string>{"1"});
    EXPECT_EQ(column("SELECT Equipment_Id FROM Sweep ORDER BY SweepId"), (std::vector<std::string>{"1", "1"}));
    EXPECT_EQ(column("SELECT Date || ' ' || Time || ' ' || Comments FROM Sweep WHERE SweepId=1"),
              std::vector<std::string>{"2021-06-07 08:00 kept"});
}

TEST_F(SerialCorrectionTest, AnotherMakersInstrumentWithTheSameSerialKeepsItsSweeps) {
    addEquipment("Veltrona Ltd", "410-1234");       // id 1
    addEquipment("Veltrona Ltd", "1234");           // id 2, the old registration
    addEquipment("Other Instruments", "1234");      // id 3
    addSweepRow(2, "Moved over");
    addSweepRow(3, "Other maker sweep");
    reopen();
    EXPECT_EQ(column("SELECT Equipment_Id || ' ' || Manufacturer || ' ' || Serial_Number FROM Equipment "
                     "ORDER BY Equipment_Id"),
              (std::vector<std::string>{"1 Veltrona Ltd 410-1234", "3 Other Instruments 1234"}));
    EXPECT_EQ(column("SELECT Equipment_Id FROM Sweep ORDER BY SweepId"), (std::vector<std::string>{"1", "3"}));
}

TEST_F(SerialCorrectionTest, SweepThatCannotMoveKeepsItsEquipment) {
    addEquipment("Veltrona Ltd", "410-1234");
    addEquipment("Veltrona Ltd", "1234");
    addSweepRow(2, "ab");  // too short a name for an update: it stays where it is
    reopen();
    EXPECT_EQ(value("SELECT count(*) FROM Sweep"), "1");
    EXPECT_EQ(value("SELECT count(*) FROM Equipment"), "2");
}

TEST_F(SerialCorrectionTest, SerialTooLongForThePrefixIsNotCutShort) {
    addEquipment("Veltrona Ltd", "12345678");
    reopen();
    EXPECT_EQ(value("SELECT Serial_Number FROM Equipment"), "12345678");
}

TEST_F(DbTest, NextRowIdFollowsTheTableSequence) {
    EXPECT_EQ(db::next_row_id(TableIndex::Transformer), -1);
    EXPECT_EQ(db::next_row_id(TableIndex::Sweep), 1);
    addBasics();
    for (int i = 1; i <= 5; ++i) addSweep("Sweep" + std::to_string(i), 0, 0);
    exec("DELETE FROM Sweep WHERE SweepId=5");
    EXPECT_EQ(db::next_row_id(TableIndex::Sweep), 6);
    EXPECT_EQ(db::next_row_id(TableIndex::DataLcr), 1);

    db::open_database({}, db::OpenMode::Close, nullptr, Connection::Main);
    prompter.boxes.clear();
    EXPECT_EQ(db::next_row_id(TableIndex::Sweep), 1);
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].caption, "Database Connection Error");
    EXPECT_EQ(prompter.boxes[0].text,
              "There was a problem accessing the database\n please re-open the database from the database page\n"
              "[code:N3X7V4L]");
}

// A file made before the key indexes (here: a version-0 file and a current one without them) gains
// them once, with its tables and rows as they were; a file that has them is not written to again.
TEST_F(FileTest, KeyIndexesAreAddedOnceAndChangeNoTableOrRow) {
    const std::string indexes =
        "SELECT name || ' ON ' || tbl_name FROM sqlite_master WHERE type='index' AND sql IS NOT NULL ORDER BY name";
    const std::vector<std::string> expected{"Data_FRA_Sweep_Id ON Data_FRA",
                                            "Data_LCR_Sweep_Id ON Data_LCR",
                                            "Data_Sweep_Id ON Data",
                                            "Sweep_Comments ON Sweep",
                                            "Sweep_Data_Type ON Sweep",
                                            "Sweep_Date ON Sweep",
                                            "Sweep_Equipment_Id ON Sweep",
                                            "Sweep_Measurement_Id ON Sweep",
                                            "Sweep_Name ON Sweep",
                                            "Sweep_Time ON Sweep",
                                            "Sweep_Transformer_Identifier ON Sweep"};
    const std::string counts = "SELECT (SELECT count(*) FROM Sweep) || '/' || (SELECT count(*) FROM Data)";

    const std::string old = dir.file("old.db");
    makeVersion0File(old);
    ASSERT_TRUE(db::open_database(old, db::OpenMode::Open, nullptr, Connection::Main));
    EXPECT_EQ(columnOnFile(old, indexes), expected);
    EXPECT_EQ(columnOnFile(old, counts), std::vector<std::string>{"1/2"});

    const std::string current = dir.file("current.db");
    bool created = false;
    ASSERT_TRUE(db::open_database(current, db::OpenMode::CreateIfMissing, &created, Connection::Main));
    EXPECT_EQ(columnOnFile(current, indexes), expected) << "a new file has them from the start";
    db::open_database({}, db::OpenMode::Close, nullptr, Connection::Main);
    execOnFile(current, "DROP INDEX Data_Sweep_Id; DROP INDEX Sweep_Equipment_Id;"
                        "INSERT INTO Transformer VALUES ('T1', 'Maker', 'S1', NULL);"
                        "INSERT INTO Sweep (Measurement_Id, Equipment_Id, Transformer_Identifier, Data_Type) "
                        "VALUES (1, 1, 'T1', 1);"
                        "INSERT INTO Data (Sweep_Id, Frequency, Amplitude, Phase) VALUES (1, 20, -40, 5);");
    const std::vector<std::string> tables = schemaOf(current);
    ASSERT_TRUE(db::open_database(current, db::OpenMode::Open, nullptr, Connection::Main));
    EXPECT_EQ(columnOnFile(current, indexes), expected);
    EXPECT_EQ(schemaOf(current), tables);
    EXPECT_EQ(columnOnFile(current, counts), std::vector<std::string>{"1/1"});
    EXPECT_EQ(columnOnFile(current, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    db::open_database({}, db::OpenMode::Close, nullptr, Connection::Main);

    const std::string before = readFile(current);
    ASSERT_TRUE(db::open_database(current, db::OpenMode::Open, nullptr, Connection::Main));
    db::open_database({}, db::OpenMode::Close, nullptr, Connection::Main);
    EXPECT_TRUE(readFile(current) == before) << "an indexed file is not written to";
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
}

// A file whose point tables are large hands the indexing to the front end's runner, which may run it
// on another thread; a small one is indexed at once.
TEST_F(FileTest, LongIndexingGoesThroughTheRunner) {
    int runs = 0;
    db::setKeyIndexRunner([&runs](const std::function<void()>& work) {
        ++runs;
        std::thread worker(work);
        worker.join();
    });
    const std::string small = dir.file("small.db"), large = dir.file("large.db");
    for (const std::string& file : {small, large}) {
        bool created = true;
        ASSERT_TRUE(db::open_database(file, db::OpenMode::Open, &created, Connection::Main));
        db::open_database({}, db::OpenMode::Close, nullptr, Connection::Main);
        execOnFile(file, "DROP INDEX Data_FRA_Sweep_Id");
    }
    // The estimate is the largest key, so one point numbered high stands for many.
    execOnFile(large, "INSERT INTO Data_FRA (Data_Id, Sweep_Id) VALUES (600000, 1)");
    const std::string present = "SELECT count(*) FROM sqlite_master WHERE name='Data_FRA_Sweep_Id'";
    ASSERT_TRUE(db::open_database(small, db::OpenMode::Open, nullptr, Connection::Main));
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(columnOnFile(small, present), std::vector<std::string>{"1"});
    ASSERT_TRUE(db::open_database(large, db::OpenMode::Open, nullptr, Connection::Main));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(columnOnFile(large, present), std::vector<std::string>{"1"});
    // Only the point tables' indexes take long: a large file that lacks one of Sweep's alone gets it
    // at once.
    db::open_database({}, db::OpenMode::Close, nullptr, Connection::Main);
    execOnFile(large, "DROP INDEX Sweep_Name");
    ASSERT_TRUE(db::open_database(large, db::OpenMode::Open, nullptr, Connection::Main));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(columnOnFile(large, "SELECT count(*) FROM sqlite_master WHERE name='Sweep_Name'"),
              std::vector<std::string>{"1"});
    db::setKeyIndexRunner(nullptr);
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
}
