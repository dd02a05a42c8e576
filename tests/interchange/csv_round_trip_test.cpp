// Sweep reports out and back in again: every field and point the report carries comes back, for all
// three data types, through a real database as well; refused files store nothing.
#include <gtest/gtest.h>

#include "db/record_store.h"
#include "db/schema.h"
#include "interchange/csv_export.h"
#include "interchange/csv_import.h"
#include "platform/files.h"
#include "support/fake_prompter.h"
#include "support/records.h"
#include "support/temp_dir.h"

using namespace testing_support;
using interchange::CsvImport;

namespace {

// A bundle with every field the report carries set, as load_sweep_bundle delivers it (date shown
// day-month-year). The numbers have at most the 8 significant digits the report keeps, so they must
// come back exactly; the comments hold commas, tabs and line breaks, the setup's ending in one.
db::SweepBundle fullBundle(int dataType) {
    db::SweepBundle b = filledBundle(transformerRecord("T-100 HV", "Maker, Ltd", "SN\t9"),
                                     setupRecord("OPEN1 (H1-H0)", "H1", "H0", "X1-X2-X3-X1", 17, 12.25f),
                                     equipmentRecord("Veltrona Ltd", "FRA5087", "410-77"),
                                     sweepRecord("Tap5 O'Neil", "01-07-2013", "13:48", 10, 21.5, dataType));
    b.setup.fluidFilled = dataType != db::kDataFra;
    b.setup.comments = "lead on top,\r\nbushing cleaned\r\n";
    b.sweep.comments = "after repair\nsecond line, with comma\n\nafter a blank line";
    switch (dataType) {
    case db::kDataBasicFra:
        b.sweep.basicPoints = {{20, -40.123457, 85.5}, {1234.5678, -3.3333333, -179.99}, {20000000, 1.2345679e-05, 0}};
        break;
    case db::kDataFra:
        b.sweep.fraPoints = {{10, 1, 0.5, -6.0205999, -45, 0},
                             {1.5e6, 9.8765432e-3, 2e-7, -100.5, 179.9, 1.2345678e-09},
                             {20000000, 0.1, 0.2, 6.0205999, -0.5, 3e-12}};
        break;
    default:
        b.sweep.lcrPoints = {{100, 1e-3, -80.5, 1000, 80.5, 1.5915494, 0, 10},
                             {2e5, 4.5e-7, 12.5, 2222222.2, -12.5, 0, 1.2345678e-11, 98765.432}};
        break;
    }
    return b;
}

// A fresh database on the main connection in the test's folder.
class CsvDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        bool created = false;
        ASSERT_TRUE(
            db::open_database(dir.file("test.db"), db::OpenMode::CreateIfMissing, &created, db::Connection::Main));
        ASSERT_TRUE(created);
    }
    void TearDown() override { db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main); }

    TempDir dir;
    FakePrompter prompter;
};

class CsvRoundTrip : public CsvDatabase, public ::testing::WithParamInterface<int> {};

}  // namespace

// Export, import, store, load and export again. The reader's side field by field is checked on
// hand-written files (csv_import_test); here the second export must equal the first byte for byte,
// which holds only if every field and point came back.
TEST_P(CsvRoundTrip, ReportComesBackWholeThroughTheDatabase) {
    const db::SweepBundle original = fullBundle(GetParam());
    const std::string first = dir.file("first"), second = dir.file("second");
    ASSERT_TRUE(platform::makeDirectory(first) && platform::makeDirectory(second));
    const std::string name = "/Tap5 O'Neil_01-07-2013.csv";
    ASSERT_EQ(interchange::exportSweepReports(first, {original}), 1);

    db::SweepBundle read;
    ASSERT_EQ(interchange::importCsvFile(first + name, read), CsvImport::Sweep);
    EXPECT_EQ(read.marker, 1);
    EXPECT_EQ(read.sweep.date, "2013-07-01");  // back in the stored form
    EXPECT_EQ(read.setup.comments, original.setup.comments);
    EXPECT_EQ(read.sweep.comments, original.sweep.comments);
    EXPECT_EQ(read.transformer.serialNumber, original.transformer.serialNumber);
    EXPECT_EQ(read.sweep.dataType, original.sweep.dataType);
    EXPECT_EQ(read.sweep.pointCount(), original.sweep.pointCount());

    ASSERT_TRUE(db::import_sweep_bundle(read));
    EXPECT_EQ(db::count_rows(db::TableIndex::Sweep), 1);
    db::SweepBundle loaded;
    ASSERT_TRUE(db::load_sweep_bundle(read.sweep.id, loaded));
    EXPECT_EQ(loaded.sweep.name, original.sweep.name);
    EXPECT_EQ(loaded.setup.fluidFilled, original.setup.fluidFilled);
    ASSERT_EQ(interchange::exportSweepReports(second, {loaded}), 1);
    EXPECT_EQ(readFile(second + name), readFile(first + name));
    EXPECT_TRUE(prompter.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(AllDataTypes, CsvRoundTrip,
                         ::testing::Values(db::kDataBasicFra, db::kDataFra, db::kDataLcr));

TEST_F(CsvDatabase, ImpedanceTableComesBackToThePane) {
    const std::vector<db::LcrPoint> points = fullBundle(db::kDataLcr).sweep.lcrPoints;
    ASSERT_TRUE(interchange::exportImpedanceTable(dir.file("table"), points));
    std::vector<db::LcrPoint> read;
    ASSERT_TRUE(interchange::importImpedanceFile(dir.file("table.csv"), read));
    ASSERT_EQ(read.size(), points.size());
    // Fixed form keeps 8 decimals: values are equal to that resolution.
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].frequency, points[i].frequency);
        EXPECT_NEAR(read[i].admittance, points[i].admittance, 5e-9);
        EXPECT_EQ(read[i].admittancePhase, points[i].admittancePhase);
        EXPECT_NEAR(read[i].impedance, points[i].impedance, 5e-9);
        EXPECT_EQ(read[i].impedancePhase, points[i].impedancePhase);
        EXPECT_NEAR(read[i].inductance, points[i].inductance, 5e-9);
        EXPECT_NEAR(read[i].capacitance, points[i].capacitance, 5e-9);
        EXPECT_NEAR(read[i].resistance, points[i].resistance, 5e-9);
    }
}

TEST_F(CsvDatabase, RefusedFilesStoreNothing) {
    const std::string good = dir.file("good");
    ASSERT_TRUE(platform::makeDirectory(good));
    ASSERT_EQ(interchange::exportSweepReports(good, {fullBundle(db::kDataFra)}), 1);
    const std::string report = readFile(good + "/Tap5 O'Neil_01-07-2013.csv");

    // One broken file of each kind, handled as the data browser does: store what the reader filled.
    const std::vector<std::string> broken = {
        report.substr(0, report.size() - 10),
        "Instrument Configuration\r\ndata start sweep\r\nFrequency,M1,M2,Gain,Phase,Delay\r\n20,1,0.01\r\n",
        "\"Frequency\",\"S (dB)\"\r\n10,-40\r\n20\r\n",
        "Frequency,S\r\n10,-40,3,4\r\n",
        "File Version,1.0\r\n\r\nSweep Data\r\n===\r\nStep,F,A,AP,I,IP,L,C\r\n1,2,3,4,5,6,7,8\r\n",
    };
    for (const auto& text : broken) {
        writeFile(dir.file("broken.csv"), text);
        db::SweepBundle b;
        EXPECT_EQ(interchange::importCsvFile(dir.file("broken.csv"), b), CsvImport::Refused) << text;
        EXPECT_FALSE(db::import_sweep_bundle(b));
    }
    EXPECT_EQ(prompter.boxes.size(), broken.size());
    EXPECT_EQ(db::count_rows(db::TableIndex::Sweep), 0);
    EXPECT_EQ(db::count_rows(db::TableIndex::DataFra), 0);
    EXPECT_EQ(db::count_rows(db::TableIndex::Transformer), 0);
}

TEST_F(CsvDatabase, HandWrittenColumnFileIsStoredAsABasicSweep) {
    writeFile(dir.file("col.txt"), "\"Frequency\",\"Sweep1 (dB)\",\"Sweep1 (deg)\"\n10,-40.5,12\n20,-41,13.5\n");
    db::SweepBundle b;
    ASSERT_EQ(interchange::importCsvFile(dir.file("col.txt"), b), CsvImport::Sweep);
    ASSERT_TRUE(db::import_sweep_bundle(b));
    db::SweepBundle loaded;
    ASSERT_TRUE(db::load_sweep_bundle(b.sweep.id, loaded));
    EXPECT_EQ(loaded.sweep.name, "Sweep1");
    EXPECT_EQ(loaded.sweep.dataType, db::kDataBasicFra);
    EXPECT_EQ(loaded.transformer.identifier, "Unknown");
    EXPECT_EQ(loaded.equipment.instrument, "Unknown");
    ASSERT_EQ(loaded.sweep.basicPoints.size(), 2u);
    EXPECT_EQ(loaded.sweep.basicPoints[1].phase, 13.5);
}
