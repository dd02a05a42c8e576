// Storing a sweep's points in bulk and loading sweeps back with them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "db_fixture.h"
#include "support/fault_vfs.h"
#include "support/records.h"

using namespace testing_support;
using db::TableIndex;

namespace {

struct RecordingSink : platform::NotificationSink {
    std::vector<std::pair<int, long long>> seen;
    void notify(int command, long long parameter) override { seen.emplace_back(command, parameter); }
};

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST_F(DbTest, PointsOfEveryDataTypeReadBackBitForBit) {
    db::SweepRecord w = addBasics();
    const double awkward[] = {1.0 / 3.0, 2.0e6 * std::pow(10.0, 1.0 / 1999.0), -1e-300, 123456.78901234567, 5e-324};

    w.dataType = db::kDataFra;
    for (double x : awkward) w.fraPoints.push_back({x, x * 2, x / 7, -x, x + 1, x * 1e-9});
    w.id = db::next_row_id(TableIndex::Sweep);
    ASSERT_EQ(db::store_sweep(w, db::kAddChecked), 0);
    ASSERT_EQ(db::store_points(w), 0);

    db::SweepRecord lcr = w;
    lcr.name = "Impedance";
    lcr.dataType = db::kDataLcr;
    lcr.fraPoints.clear();
    for (double x : awkward) lcr.lcrPoints.push_back({x, x, x * 3, x / 3, -x, x * x, x / 1e12, 1 / (x + 2)});
    lcr.id = db::next_row_id(TableIndex::Sweep);
    ASSERT_EQ(db::store_sweep(lcr, db::kAddChecked), 0);
    ASSERT_EQ(db::store_points(lcr), 0);

    std::vector<db::SweepRecord> loaded = db::load_sweeps({lcr.id, w.id});
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].id, lcr.id);  // in the order asked for
    ASSERT_EQ(loaded[1].fraPoints.size(), std::size(awkward));
    ASSERT_EQ(loaded[0].lcrPoints.size(), std::size(awkward));
    for (std::size_t i = 0; i < std::size(awkward); ++i) {
        const db::FraPoint& a = w.fraPoints[i];
        const db::FraPoint& b = loaded[1].fraPoints[i];
        EXPECT_TRUE(sameBits(a.frequency, b.frequency) && sameBits(a.magnitude1, b.magnitude1) &&
                    sameBits(a.magnitude2, b.magnitude2) && sameBits(a.amplitude, b.amplitude) &&
                    sameBits(a.phase, b.phase) && sameBits(a.delay, b.delay))
            << "FRA point " << i;
        const db::LcrPoint& c = lcr.lcrPoints[i];
        const db::LcrPoint& d = loaded[0].lcrPoints[i];
        EXPECT_TRUE(sameBits(c.frequency, d.frequency) && sameBits(c.admittance, d.admittance) &&
                    sameBits(c.admittancePhase, d.admittancePhase) && sameBits(c.impedance, d.impedance) &&
                    sameBits(c.impedancePhase, d.impedancePhase) && sameBits(c.inductance, d.inductance) &&
                    sameBits(c.capacitance, d.capacitance) && sameBits(c.resistance, d.resistance))
            << "LCR point " << i;
    }
    EXPECT_EQ(loaded[1].date, "01-07-2013");
    EXPECT_EQ(loaded[1].peakVoltage, 10.0);
    EXPECT_EQ(loaded[1].temperature, 21.5);
}

TEST_F(DbTest, PointIdsContinueTheSequenceAndProgressIsReported) {
    addBasics();
    std::int64_t first = addSweep("First", 0, 3);
    db::SweepRecord second;
    second.transformerIdentifier = "T1";
    second.name = "Second";
    second.id = db::next_row_id(TableIndex::Sweep);
    for (int i = 0; i < 200; ++i) second.basicPoints.push_back({10.0 * (i + 1), -30, 0});
    ASSERT_EQ(db::store_sweep(second, db::kAddChecked), 0);

    RecordingSink sink;
    ASSERT_EQ(db::store_points(second, &sink), 0);
    EXPECT_EQ(column("SELECT min(Data_Id) || '-' || max(Data_Id) FROM Data WHERE Sweep_Id=" + std::to_string(second.id)),
              std::vector<std::string>{"4-203"});
    EXPECT_EQ(value("SELECT count(*) FROM Data WHERE Sweep_Id=" + std::to_string(first)), "3");

    ASSERT_EQ(sink.seen.size(), 201u);
    long long last = 0;
    for (std::size_t i = 0; i < 200; ++i) {
        EXPECT_EQ(sink.seen[i].first, db::kStoreProgressCommand);
        EXPECT_GE(sink.seen[i].second, last);
        last = sink.seen[i].second;
    }
    EXPECT_EQ(sink.seen[0].second, 1);
    EXPECT_EQ(last, 100);
    EXPECT_EQ(sink.seen.back(), std::make_pair(db::kStoreDoneCommand, 0LL));
}

TEST_F(DbTest, PointsForASweepNotYetStoredAreRefused) {
    addBasics();
    db::SweepRecord w;
    w.id = db::next_row_id(TableIndex::Sweep);
    w.basicPoints.push_back({20, -40, 0});
    EXPECT_EQ(db::store_points(w), -1);
    w.id = -1;
    EXPECT_EQ(db::store_points(w), -1);
    w.id = 0;
    w.dataType = 7;
    EXPECT_EQ(db::store_points(w), -1);
    EXPECT_EQ(value("SELECT count(*) FROM Data"), "0");
}

TEST_F(DbTest, APointThatCannotBeWrittenFailsTheWholeSweep) {
    db::SweepRecord w = addBasics();
    storeSweep(w);
    for (int i = 0; i < 2000; ++i) w.basicPoints.push_back({10.0 + i, -40, 0});
    // The 1800th point finds the disk full, as far as SQLite can tell.
    exec("CREATE TRIGGER full BEFORE INSERT ON Data WHEN NEW.Frequency = 1809 BEGIN SELECT RAISE(FAIL, 'disk full'); "
         "END");
    RecordingSink sink;
    int rc = db::store_points(w, &sink);
    EXPECT_NE(rc, 0);
    EXPECT_EQ(value("SELECT count(*) FROM Data"), "0");
    ASSERT_FALSE(prompter.boxes.empty());
    EXPECT_EQ(prompter.boxes[0].caption, "Database Error");
    // Never "stored" for a sweep that was not.
    for (const auto& [command, parameter] : sink.seen) EXPECT_NE(command, db::kStoreDoneCommand);

    exec("DROP TRIGGER full");
    sink.seen.clear();
    EXPECT_EQ(db::store_points(w, &sink), 0);
    EXPECT_EQ(value("SELECT count(*) FROM Data"), "2000");
    EXPECT_EQ(sink.seen.back(), std::make_pair(db::kStoreDoneCommand, 0LL));
}

TEST_F(DbTest, ANewSweepWhosePointsFailLeavesNoRowBehind) {
    db::SweepRecord w = addBasics();
    for (int i = 0; i < 2000; ++i) w.basicPoints.push_back({10.0 + i, -40, 0});
    exec("CREATE TRIGGER full BEFORE INSERT ON Data WHEN NEW.Frequency = 1809 BEGIN SELECT RAISE(FAIL, 'disk full'); "
         "END");
    RecordingSink sink;
    EXPECT_NE(db::store_new_sweep(w, db::kAddChecked, &sink), 0);
    EXPECT_EQ(value("SELECT count(*) FROM Sweep"), "0");
    EXPECT_EQ(value("SELECT count(*) FROM Data"), "0");
    for (const auto& [command, parameter] : sink.seen) EXPECT_NE(command, db::kStoreDoneCommand);

    // The same sweep stores whole once the disk has room again; "stored" comes after the commit.
    exec("DROP TRIGGER full");
    sink.seen.clear();
    ASSERT_EQ(db::store_new_sweep(w, db::kAddChecked, &sink), 0);
    EXPECT_EQ(value("SELECT count(*) FROM Sweep"), "1");
    EXPECT_EQ(value("SELECT count(*) FROM Data WHERE Sweep_Id=" + std::to_string(w.id)), "2000");
    EXPECT_EQ(sink.seen.back(), std::make_pair(db::kStoreDoneCommand, 0LL));
    // A later plain write still makes its own transaction.
    EXPECT_EQ(db::store_transformer(transformerRecord("T-200", "Maker", "S2"), db::kAddChecked), 0);
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);
    ASSERT_TRUE(db::open_database(path, db::OpenMode::Open, nullptr, db::Connection::Main));
    EXPECT_EQ(value("SELECT count(*) FROM Transformer WHERE Transformer_Identifier='T-200'"), "1");
}

TEST_F(DbTest, LoadingMissingSweepsFindsNothing) {
    addBasics();
    std::int64_t id = addSweep("Only", 2, 4);
    db::SweepRecord r;
    EXPECT_FALSE(db::load_sweep(id + 1, r));
    auto loaded = db::load_sweeps({id + 5, id, id + 9});
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].lcrPoints.size(), 4u);
    EXPECT_EQ(loaded[0].pointCount(), 4);
    db::SweepBundle b;
    EXPECT_FALSE(db::load_sweep_bundle(id + 1, b));
    EXPECT_EQ(b.marker, -1);
}

TEST_F(DbTest, BundleCarriesTransformerSetupAndEquipment) {
    exec("INSERT INTO Measurement (Name, Reference_Terminal, Response_Terminal, Connected_Terminals, OLTC, "
         "Unshielded_Length, Fluid_Filled, Comments) VALUES ('SHORT1','H1','H0','X1-X2-X3-X1',5,12.5,'TRUE','wet')");
    db::SweepRecord w = addBasics();
    storeSweep(w);

    db::SweepBundle b;
    ASSERT_TRUE(db::load_sweep_bundle(w.id, b));
    EXPECT_GT(b.marker, 0);
    EXPECT_EQ(b.transformer.identifier, "T1");
    EXPECT_EQ(b.transformer.serialNumber, "S-1");
    EXPECT_EQ(b.setup.name, "SHORT1");
    EXPECT_EQ(b.setup.connectedTerminals, "X1-X2-X3-X1");
    EXPECT_EQ(b.setup.oltc, 5);
    EXPECT_FLOAT_EQ(b.setup.unshieldedLength, 12.5f);
    EXPECT_TRUE(b.setup.fluidFilled);
    EXPECT_EQ(b.setup.comments, "wet");
    EXPECT_EQ(b.equipment.instrument, "QMX74");
    EXPECT_EQ(b.equipment.calibrationDueDate, "2030-01-31");
    EXPECT_EQ(b.sweep.date, "01-07-2013");
    EXPECT_EQ(b.sweep.time, "13:48");
}

TEST(DiskFull, AFailedCommitIsReportedAndNothingIsKept) {
    FaultVfs disk;
    TempDir dir;
    FakePrompter prompter;
    const std::string file = dir.file("full.db");
    bool created = false;
    ASSERT_TRUE(db::open_database(file, db::OpenMode::CreateIfMissing, &created, db::Connection::Main));
    db::TransformerRecord t;
    t.identifier = "T100";
    t.manufacturer = "Maker";
    t.serialNumber = "S1";

    disk.failWritesWith(13);  // SQLITE_FULL
    EXPECT_EQ(db::store_transformer(t, db::kAddChecked), 13);
    ASSERT_EQ(prompter.boxes.size(), 2u) << prompter.captions();
    EXPECT_EQ(prompter.boxes[0].text, "database or disk is full");
    EXPECT_EQ(prompter.boxes[1].text, "Error adding Tranformer to database");

    disk.failWritesWith(0);
    ASSERT_EQ(db::store_transformer(t, db::kAddChecked), 0);
    db::SweepRecord w;
    w.transformerIdentifier = "T100";
    w.name = "Sweep at the end of the day";
    w.id = db::next_row_id(TableIndex::Sweep);
    ASSERT_EQ(db::store_sweep(w, db::kAddChecked), 0);
    for (int i = 0; i < 2000; ++i) w.basicPoints.push_back({10.0 + i, -40, 0});

    prompter.boxes.clear();
    disk.failWritesWith(13);
    EXPECT_EQ(db::store_points(w), 13);
    EXPECT_EQ(prompter.boxes.at(0).text, "Databse Full!\nError Code: 13");
    disk.failWritesWith(0);
    EXPECT_EQ(db::count_rows(TableIndex::Data), 0);
    EXPECT_EQ(db::store_points(w), 0);
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);

    ASSERT_TRUE(db::open_database(file, db::OpenMode::Open, nullptr, db::Connection::Main));
    EXPECT_EQ(db::count_rows(TableIndex::Data), 2000);
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);
}
