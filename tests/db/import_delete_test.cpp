// Importing a sweep bundle into the database, and deleting records with what depends on them.
#include <gtest/gtest.h>

#include "db_fixture.h"
#include "support/records.h"

using namespace testing_support;
using db::TableIndex;

namespace {

db::SweepBundle bundle(const std::string& sweepName) {
    db::SweepBundle b =
        filledBundle(transformerRecord("IMP-T", "Maker", "99"), setupRecord("", "H1", "H2", "NONE", 1, 2.5f),
                     equipmentRecord("Other", "FRA-X", "77"),
                     sweepRecord(sweepName, "2021-02-03", "11:12", 10, 0, db::kDataBasicFra));
    b.sweep.comments = "from file";
    b.sweep.basicPoints = {{20, -40, 1}, {40, -45, 2}};
    return b;
}

}  // namespace

TEST_F(DbTest, ImportStoresTheSweepWithItsRecordsOnce) {
    db::SweepBundle b = bundle("Imported");
    ASSERT_TRUE(db::import_sweep_bundle(b));
    EXPECT_EQ(b.sweep.id, 1);
    EXPECT_EQ(value("SELECT count(*) FROM Data WHERE Sweep_Id=1"), "2");
    // The unnamed setup was named after the sweep.
    EXPECT_EQ(value("SELECT Name FROM Measurement"), "Imported");
    EXPECT_EQ(value("SELECT Measurement_Id || '|' || Equipment_Id || '|' || Transformer_Identifier FROM Sweep"),
              "1|1|IMP-T");

    // A second sweep with the same transformer, setup and equipment reuses them.
    db::SweepBundle again = bundle("Imported again");
    ASSERT_TRUE(db::import_sweep_bundle(again));
    EXPECT_EQ(value("SELECT count(*) FROM Transformer"), "1");
    EXPECT_EQ(value("SELECT count(*) FROM Equipment"), "1");
    EXPECT_EQ(value("SELECT count(*) FROM Measurement"), "1");
    EXPECT_EQ(value("SELECT Measurement_Id || '|' || Equipment_Id FROM Sweep WHERE SweepId=2"), "1|1");
}

TEST_F(DbTest, ImportedSetupKeepsItsOwnNameAndIsFoundByIt) {
    db::SweepBundle b = bundle("S1");
    b.setup.name = "OPEN4";
    ASSERT_TRUE(db::import_sweep_bundle(b));
    db::SweepBundle c = bundle("S2");
    c.setup.name = "OPEN4";
    c.setup.referenceTerminal = "X9";  // found by name alone
    ASSERT_TRUE(db::import_sweep_bundle(c));
    EXPECT_EQ(column("SELECT Name FROM Measurement"), std::vector<std::string>{"OPEN4"});
}

TEST_F(DbTest, ImportedNamesThatAreTakenGetNumbered) {
    for (const char* expected : {"Tap5", "Tap5(1)", "Tap5(2)"}) {
        db::SweepBundle b = bundle("Tap5");
        ASSERT_TRUE(db::import_sweep_bundle(b));
        EXPECT_EQ(b.sweep.name, expected);
    }
    // An unnamed sweep that matches a stored one by its values becomes import(1).
    db::SweepBundle unnamed = bundle("");
    ASSERT_TRUE(db::import_sweep_bundle(unnamed));
    EXPECT_EQ(unnamed.sweep.name, "import(1)");
    // An unnamed sweep that matches nothing keeps its empty name.
    db::SweepBundle other = bundle("");
    other.sweep.time = "23:59";
    ASSERT_TRUE(db::import_sweep_bundle(other));
    EXPECT_EQ(other.sweep.name, "");
    EXPECT_EQ(value("SELECT count(*) FROM Sweep"), "5");
    EXPECT_EQ(value("SELECT count(*) FROM Data"), "10");
}

TEST_F(DbTest, ImportGivesUpAfterAThousandDuplicates) {
    exec("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
         "INSERT INTO Sweep (Measurement_Id, Equipment_Id, Transformer_Identifier, Name, Data_Type) "
         "SELECT 1, 1, 'T1', CASE WHEN i = 0 THEN 'Dup' ELSE 'Dup(' || i || ')' END, 0 FROM n");
    db::SweepBundle b = bundle("Dup");
    EXPECT_FALSE(db::import_sweep_bundle(b));
    ASSERT_FALSE(prompter.boxes.empty());
    EXPECT_EQ(prompter.boxes.back().caption, "Error: Duplicate Names");
    EXPECT_EQ(prompter.boxes.back().text, "Unable to add sweep to database, too many duplicate names detected");
    EXPECT_EQ(value("SELECT count(*) FROM Sweep"), "1001");
    EXPECT_EQ(value("SELECT count(*) FROM Data"), "0");
    // Nor are the transformer, setup and equipment the refused sweep came with.
    EXPECT_EQ(value("SELECT (SELECT count(*) FROM Transformer) + (SELECT count(*) FROM Measurement) + "
                    "(SELECT count(*) FROM Equipment)"),
              "0");

    db::SweepBundle empty;
    EXPECT_FALSE(db::import_sweep_bundle(empty));
}

TEST_F(DbTest, ImportWhosePointsFailLeavesNoSweep) {
    exec("CREATE TRIGGER refuse BEFORE INSERT ON Data WHEN NEW.Frequency = 40 BEGIN SELECT RAISE(ABORT, 'no'); END");
    db::SweepBundle b = bundle("Half");
    EXPECT_FALSE(db::import_sweep_bundle(b));
    EXPECT_EQ(value("SELECT count(*) FROM Sweep"), "0");
    EXPECT_EQ(value("SELECT count(*) FROM Data"), "0");
}

class DeleteTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        addBasics();  // setup 1, equipment 1, transformer T1
        exec("INSERT INTO Measurement (Name, Reference_Terminal, Response_Terminal, Connected_Terminals, OLTC, "
             "Unshielded_Length, Fluid_Filled, Comments) VALUES ('OPEN2','H2','H0','NONE',3,30.0,'FALSE','')");
        basic = addSweep("Basic", 0, 3);
        fra = addSweep("Full", 1, 4);
        lcr = addSweep("Impedance", 2, 5);
        db::SweepRecord keep;
        keep.transformerIdentifier = "T1";
        keep.setupId = 2;
        keep.equipmentId = 1;
        keep.name = "Other setup";
        keep.basicPoints = {{20, -40, 0}};
        keep.id = db::next_row_id(TableIndex::Sweep);
        ASSERT_EQ(db::store_sweep(keep, db::kAddChecked), 0);
        ASSERT_EQ(db::store_points(keep), 0);
        kept = keep.id;
    }
    std::string counts() {
        return value("SELECT (SELECT count(*) FROM Sweep) || '/' || (SELECT count(*) FROM Data) || '/' || "
                     "(SELECT count(*) FROM Data_FRA) || '/' || (SELECT count(*) FROM Data_LCR) || '/' || "
                     "(SELECT count(*) FROM Measurement)");
    }
    std::int64_t basic = 0, fra = 0, lcr = 0, kept = 0;
};

TEST_F(DeleteTest, SetupTakesItsSweepsAndTheirPointsWithIt) {
    ASSERT_EQ(counts(), "4/4/4/5/2");
    prompter.queueAnswer(platform::Answer::Yes);
    EXPECT_TRUE(db::delete_records(db::DeleteKind::Setup, {TableIndex::Measurement, {}, "WHERE Name='OPEN1'"}, true));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].caption, "Alert!");
    EXPECT_EQ(prompter.boxes[0].text,
              "Deleting this setup will also delete all associated sweeps and their respective data\n\nThis action is "
              "permanent, and cannot be reverted\n\nContinue?");
    EXPECT_EQ(prompter.boxes[0].buttons, platform::Buttons::YesNo);
    EXPECT_EQ(counts(), "1/1/0/0/1");
    EXPECT_EQ(value("SELECT SweepId FROM Sweep"), std::to_string(kept));
}

TEST_F(DeleteTest, AnsweringNoOrMatchingNothingDeletesNothing) {
    EXPECT_FALSE(db::delete_records(db::DeleteKind::Transformer,
                                    {TableIndex::Transformer, {}, "WHERE Transformer_Identifier='T1'"}, true));
    EXPECT_EQ(counts(), "4/4/4/5/2");
    EXPECT_FALSE(
        db::delete_records(db::DeleteKind::Sweep, {TableIndex::Sweep, {}, "WHERE Name='nothing like it'"}, false));
    EXPECT_EQ(counts(), "4/4/4/5/2");
}

TEST_F(DeleteTest, KindFourTakesTheTableOfTheSelection) {
    EXPECT_TRUE(db::delete_records(db::DeleteKind::SelectionTable,
                                   {TableIndex::Sweep, {0, 4}, "WHERE SweepId='" + std::to_string(fra) + "'"}, false));
    EXPECT_EQ(counts(), "3/4/0/5/2");
    EXPECT_TRUE(db::delete_records(db::DeleteKind::SelectionTable,
                                   {TableIndex::Equipment, {}, "WHERE Equipment_Id='1'"}, false));
    EXPECT_EQ(counts(), "0/0/0/0/2");
    EXPECT_EQ(value("SELECT count(*) FROM Equipment"), "0");
}

TEST_F(DeleteTest, TransformerWithThousandsOfSweepsGoesInOneTransaction) {
    exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2500) "
         "INSERT INTO Sweep (Measurement_Id, Equipment_Id, Transformer_Identifier, Name, Data_Type) "
         "SELECT 1, 1, 'T1', 'Bulk ' || i, 0 FROM n");
    exec("INSERT INTO Data (Sweep_Id, Frequency) SELECT SweepId, 50 FROM Sweep WHERE Name LIKE 'Bulk %'");
    EXPECT_TRUE(db::delete_records(db::DeleteKind::Transformer,
                                   {TableIndex::Transformer, {}, "WHERE Transformer_Identifier='T1'"}, false));
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
    EXPECT_EQ(counts(), "0/0/0/0/2");
    EXPECT_EQ(value("SELECT count(*) FROM Transformer"), "0");
}

TEST_F(DeleteTest, AFailedDeletionKeepsEverything) {
    exec("CREATE TRIGGER guard BEFORE DELETE ON Sweep BEGIN SELECT RAISE(ABORT, 'sweeps are guarded'); END");
    EXPECT_FALSE(db::delete_records(db::DeleteKind::Setup, {TableIndex::Measurement, {}, "WHERE Name='OPEN1'"}, false));
    ASSERT_FALSE(prompter.boxes.empty());
    EXPECT_EQ(prompter.boxes[0].caption, "Database Error");
    EXPECT_EQ(counts(), "4/4/4/5/2");
}
