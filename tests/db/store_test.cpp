// Adding and updating transformers, setups, equipment and sweeps: validation, result codes, quoting,
// and what a failed write leaves behind.
#include <gtest/gtest.h>

#include "db_fixture.h"
#include "support/records.h"

using namespace testing_support;
using db::TableIndex;

namespace {

db::TransformerRecord transformer(const std::string& id) { return transformerRecord(id, "Maker", "S1"); }
db::EquipmentRecord equipment() { return equipmentRecord("Veltrona Ltd", "QMX74", "410-12"); }
db::SetupRecord setup(const std::string& name) { return setupRecord(name, "H1", "H0", "NONE", 3, 30.0f); }

}  // namespace

TEST_F(DbTest, ValidationAppliesToCheckedAddsAndUpdatesOnly) {
    EXPECT_EQ(db::store_transformer(transformer("T2"), db::kAddChecked), -1);
    EXPECT_EQ(db::store_transformer(transformer("T2"), db::kAddUnchecked), 0);
    EXPECT_EQ(db::store_transformer(transformer("T2"), db::kUpdate), -1);

    db::TransformerRecord noMaker = transformer("T3X");
    noMaker.manufacturer = "";
    EXPECT_EQ(db::store_transformer(noMaker, db::kAddChecked), -1);

    db::SetupRecord s = setup("OP");
    EXPECT_EQ(db::store_setup(s, db::kAddChecked), -1);
    s = setup("OPEN1");
    s.oltc = -1;
    EXPECT_EQ(db::store_setup(s, db::kAddChecked), -1);
    s = setup("OPEN1");
    s.unshieldedLength = -0.5f;
    EXPECT_EQ(db::store_setup(s, db::kAddChecked), -1);
    s = setup("OPEN1");
    s.connectedTerminals = "";
    EXPECT_EQ(db::store_setup(s, db::kAddChecked), -1);

    db::EquipmentRecord e = equipment();
    e.serialNumber = "";
    EXPECT_EQ(db::store_equipment(e, db::kAddChecked), -1);

    db::SweepRecord w;
    w.name = "ab";
    EXPECT_EQ(db::store_sweep(w, db::kAddChecked), -1);

    EXPECT_EQ(value("SELECT count(*) FROM Measurement"), "0");
    EXPECT_EQ(value("SELECT count(*) FROM Equipment"), "0");
    EXPECT_EQ(column("SELECT Transformer_Identifier FROM Transformer"), std::vector<std::string>{"T2"});
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST_F(DbTest, ExistingAndMissingKeysGiveTheirCodes) {
    ASSERT_EQ(db::store_transformer(transformer("T100"), db::kAddChecked), 0);
    EXPECT_EQ(db::store_transformer(transformer("T100"), db::kAddChecked), -2);
    EXPECT_EQ(db::store_transformer(transformer("T100"), db::kAddUnchecked), -2);
    EXPECT_EQ(db::store_transformer(transformer("t100"), db::kUpdate), -3);  // identifiers compare exactly

    db::SetupRecord s = setup("OPEN1");
    s.id = 7;
    EXPECT_EQ(db::store_setup(s, db::kUpdate), -3);
    EXPECT_EQ(db::store_setup(s, db::kAddChecked), 0);  // the database numbers new rows itself
    EXPECT_EQ(value("SELECT Measurement_Id FROM Measurement"), "1");
}

TEST_F(DbTest, EquipmentDuplicatesAreRefusedOnlyWhenChecked) {
    ASSERT_EQ(db::store_equipment(equipment(), db::kAddChecked), 0);
    EXPECT_EQ(db::store_equipment(equipment(), db::kAddChecked), -2);
    EXPECT_EQ(db::store_equipment(equipment(), db::kAddUnchecked), 0);
    EXPECT_EQ(value("SELECT count(*) FROM Equipment"), "2");
}

TEST_F(DbTest, QuotesInEveryTextSurviveTheRoundTrip) {
    db::TransformerRecord t = transformer("O'Neil's \"T1\"");
    t.manufacturer = "O'Neil";
    t.serialNumber = "'; DROP TABLE Sweep; --";
    ASSERT_EQ(db::store_transformer(t, db::kAddChecked), 0);
    db::SetupRecord s = setup("Tap 'A'");
    s.comments = "lead's length, \"approx\"";
    ASSERT_EQ(db::store_setup(s, db::kAddChecked), 0);
    db::EquipmentRecord e = equipment();
    e.instrument = "QMX'74";
    ASSERT_EQ(db::store_equipment(e, db::kAddChecked), 0);
    EXPECT_EQ(db::store_equipment(e, db::kAddChecked), -2);  // the duplicate check quotes too

    db::SweepRecord w;
    w.transformerIdentifier = t.identifier;
    w.setupId = 1;
    w.equipmentId = 1;
    w.name = "Tap5 'after' move";
    w.comments = "it's fine";
    w.date = "2020-01-02";
    w.time = "10:11";
    storeSweep(w);

    db::SweepBundle b;
    ASSERT_TRUE(db::load_sweep_bundle(w.id, b));
    EXPECT_EQ(b.transformer.identifier, t.identifier);
    EXPECT_EQ(b.transformer.manufacturer, "O'Neil");
    EXPECT_EQ(b.transformer.serialNumber, "'; DROP TABLE Sweep; --");
    EXPECT_EQ(b.setup.name, "Tap 'A'");
    EXPECT_EQ(b.setup.comments, "lead's length, \"approx\"");
    EXPECT_EQ(b.equipment.instrument, "QMX'74");
    EXPECT_EQ(b.sweep.name, "Tap5 'after' move");
    EXPECT_EQ(b.sweep.comments, "it's fine");
    EXPECT_EQ(b.sweep.transformerIdentifier, t.identifier);
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
}

TEST_F(DbTest, StoredValuesTakeTheirFormats) {
    db::SetupRecord s = setup("OPEN1");
    s.unshieldedLength = 12.345f;
    s.fluidFilled = true;
    ASSERT_EQ(db::store_setup(s, db::kAddChecked), 0);
    EXPECT_EQ(value("SELECT Unshielded_Length || '|' || Fluid_Filled || '|' || OLTC FROM Measurement"), "12.35|TRUE|3");

    db::SweepRecord w = addBasics();
    w.peakVoltage = 1.0 / 3.0;
    w.temperature = -5.25;
    w.id = db::next_row_id(TableIndex::Sweep);
    ASSERT_EQ(db::store_sweep(w, db::kAddChecked), 0);
    EXPECT_EQ(value("SELECT Peak_Voltage || '|' || Temperature || '|' || Date || '|' || Time FROM Sweep"),
              "0.33333|-5.25|2013-07-01|13:48");
    EXPECT_EQ(value("SELECT Fingerprint_Sweep_Id IS NULL FROM Transformer"), "1");
}

TEST_F(DbTest, UpdatesChangeFieldsButNeverASweepsDateAndTime) {
    db::SweepRecord w = addBasics();
    w.id = db::next_row_id(TableIndex::Sweep);
    ASSERT_EQ(db::store_sweep(w, db::kAddChecked), 0);

    w.name = "Renamed";
    w.comments = "after repair";
    w.date = "1999-12-31";
    w.time = "23:59";
    w.dataType = 1;
    w.phaseConvention = 1;
    ASSERT_EQ(db::store_sweep(w, db::kUpdate), 0);
    EXPECT_EQ(value("SELECT Name || '|' || Comments || '|' || Date || '|' || Time || '|' || Data_Type || '|' || "
                    "Phase_Convention FROM Sweep"),
              "Renamed|after repair|2013-07-01|13:48|1|1");

    db::TransformerRecord t = transformer("T100");
    ASSERT_EQ(db::store_transformer(t, db::kAddChecked), 0);
    t.manufacturer = "New maker";
    t.fingerprintSweepId = w.id;
    ASSERT_EQ(db::store_transformer(t, db::kUpdate), 0);
    EXPECT_EQ(value("SELECT Manufacturer || '|' || Fingerprint_Sweep_Id FROM Transformer WHERE "
                    "Transformer_Identifier='T100'"),
              "New maker|1");
}

TEST_F(DbTest, FailedWriteShowsBothMessagesAndKeepsNothing) {
    exec("CREATE TRIGGER refuse BEFORE INSERT ON Transformer BEGIN SELECT RAISE(ABORT, 'refused by test'); END");
    int rc = db::store_transformer(transformer("T500"), db::kAddChecked);
    EXPECT_EQ(rc, 19);  // SQLITE_CONSTRAINT
    ASSERT_EQ(prompter.boxes.size(), 2u);
    EXPECT_EQ(prompter.boxes[0].caption, "Database Error");
    EXPECT_EQ(prompter.boxes[0].text, "refused by test");
    EXPECT_EQ(prompter.boxes[1].caption, "Error");
    EXPECT_EQ(prompter.boxes[1].text, "Error adding Tranformer to database");
    EXPECT_EQ(value("SELECT count(*) FROM Transformer"), "0");
    // The connection is usable afterwards: no transaction was left open.
    exec("DROP TRIGGER refuse");
    EXPECT_EQ(db::store_transformer(transformer("T500"), db::kAddChecked), 0);
}

TEST_F(DbTest, StoringWithoutADatabaseFailsWithTheConnectionMessage) {
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);
    EXPECT_NE(db::store_transformer(transformer("T123"), db::kAddChecked), 0);
    ASSERT_FALSE(prompter.boxes.empty());
    EXPECT_EQ(prompter.boxes[0].caption, "Database Connection Error");
    EXPECT_EQ(prompter.boxes[0].text.substr(prompter.boxes[0].text.size() - 11), "[code:1157]");
}

TEST(DatabaseErrorText, CodesMapToTheirTexts) {
    EXPECT_EQ(db::databaseErrorText(13), "Databse Full!\nError Code: 13");
    EXPECT_EQ(db::databaseErrorText(5), "Database file is locked\nError Code: 5");
    EXPECT_EQ(db::databaseErrorText(26), "File selected is not a Database\nError Code: 26");
    EXPECT_EQ(db::databaseErrorText(1), "Unknown Error\nError Code: 1");
    EXPECT_EQ(db::databaseErrorText(27), "Unknown Error\nError Code: 27");
}
