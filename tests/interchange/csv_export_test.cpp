// The CSV writers: sweep reports byte for byte with their questions, and the impedance table.
#include <gtest/gtest.h>

#include "interchange/csv_export.h"
#include "platform/files.h"
#include "support/fake_prompter.h"
#include "support/records.h"
#include "support/temp_dir.h"

using namespace testing_support;
using platform::Answer;

namespace {

db::SweepBundle fraBundle() {
    // The date as load_sweep_bundle delivers it.
    db::SweepBundle b = filledBundle(transformerRecord("T-100", "Maker, Ltd", "SN-9"),
                                     setupRecord("OPEN1", "H1", "H0", "NONE", 5, 30.5f),
                                     equipmentRecord("Veltrona Ltd", "FRA5087", "410-77"),
                                     sweepRecord("Tap5", "01-07-2013", "13:48", 10, 21.5, db::kDataFra));
    b.setup.fluidFilled = true;
    b.setup.comments = "outdoor";
    b.sweep.comments = "after repair";
    b.sweep.fraPoints = {{10, 1, 0.5, -6.0205999, -45, 0}, {20000000, 1.23456789e-5, 2e-7, -100.5, 179.9, 1e-9}};
    return b;
}

const char* kFraReport =
    "File Version:\t1.0\r\n"
    "\r\n"
    "Transformer Details\r\n"
    "===================\r\n"
    "Identifier:\tT-100\r\n"
    "Manufacturer:\tMaker, Ltd\r\n"
    "Serial Number:\tSN-9\r\n"
    "\r\n"
    "Measurement Equipment\r\n"
    "======================\r\n"
    "Manufacturer:\tVeltrona Ltd\r\n"
    "Instrument:\tFRA5087\r\n"
    "Serial Number:\t410-77\r\n"
    "\r\n"
    "Measurement Setup\r\n"
    "==================\r\n"
    "Name:\tOPEN1\r\n"
    "Reference Terminal:\tH1\r\n"
    "Response Terminal:\tH0\r\n"
    "Connected Terminals:\tNONE\r\n"
    "OLTC:\t5\r\n"
    "Fluid Filled:\tYes\r\n"
    "Unshielded Length:\t30.5\r\n"
    "Comments:\toutdoor\r\n"
    "\r\n"
    "Sweep Details\r\n"
    "=============\r\n"
    "Name:\tTap5\r\n"
    "Date:\t01-07-2013\r\n"
    "Time:\t13:48\r\n"
    "Steps:\t2\r\n"
    "Peak Voltage:\t10\r\n"
    "Temperature:\t21.5\r\n"
    "Comments:\tafter repair\r\n"
    "\r\n"
    "Sweep Data\r\n"
    "===========\r\n"
    "Frequency,Magnitude1,Magnitude2,Gain,Phase,Delay\r\n"
    "10,1,0.5,-6.0205999,-45,0\r\n"
    "20000000,1.2345679e-05,2e-07,-100.5,179.9,1e-09\r\n";

// The header lines 1 to 37 are the same for every data type; what follows the underline differs.
std::string dataPart(const std::string& report) {
    const std::string marker = "Sweep Data\r\n===========\r\n";
    return report.substr(report.find(marker) + marker.size());
}

}  // namespace

TEST(CsvExport, SweepReportByteForByteNamedAfterSweepAndDate) {
    TempDir dir;
    FakePrompter prompter;
    EXPECT_EQ(interchange::exportSweepReports(dir.path(), {fraBundle()}), 1);
    EXPECT_EQ(readFile(dir.file("Tap5_01-07-2013.csv")), kFraReport);
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST(CsvExport, ColumnLinesAndPointLinesOfBasicAndImpedanceSweeps) {
    TempDir dir;
    FakePrompter prompter;
    db::SweepBundle basic = fraBundle();
    basic.sweep.name = "Basic";
    basic.sweep.dataType = db::kDataBasicFra;
    basic.sweep.basicPoints = {{100, -40.25, 12.5}, {1.5e6, -3.3333333, -0.0001}};
    basic.setup.fluidFilled = false;
    db::SweepBundle lcr = fraBundle();
    lcr.sweep.name = "Lcr";
    lcr.sweep.dataType = db::kDataLcr;
    lcr.sweep.lcrPoints = {{100, 1e-3, -80, 1000, 80, 1.5915494, 0, 10}};
    ASSERT_EQ(interchange::exportSweepReports(dir.path(), {basic, lcr}), 2);

    std::string basicText = readFile(dir.file("Basic_01-07-2013.csv"));
    EXPECT_NE(basicText.find("Fluid Filled:\tNo\r\n"), std::string::npos);
    EXPECT_NE(basicText.find("Steps:\t2\r\n"), std::string::npos);
    EXPECT_EQ(dataPart(basicText), "Frequency,Amplitude,Phase\r\n100,-40.25,12.5\r\n1500000,-3.3333333,-0.0001\r\n");
    EXPECT_EQ(dataPart(readFile(dir.file("Lcr_01-07-2013.csv"))),
              "Frequency,Admittance,AdmittancePhase,Impedance,ImpedancePhase,Inductance,Capacitace,Resistance\r\n"
              "100,0.001,-80,1000,80,1.5915494,0,10\r\n");
}

TEST(CsvExport, OddNamesAndLineBreaks) {
    TempDir dir;
    FakePrompter prompter;
    db::SweepBundle b = fraBundle();
    b.sweep.name = "../escape";
    b.sweep.comments = "line one\r\nline two";  // comments keep their line breaks
    b.setup.connectedTerminals = "X1\nX2";      // a one-line field must stay on its line
    ASSERT_EQ(interchange::exportSweepReports(dir.path(), {b}), 1);
    std::string text = readFile(dir.file("___escape_01-07-2013.csv"));  // inside the folder, not hidden
    EXPECT_NE(text.find("Name:\t../escape\r\n"), std::string::npos);
    EXPECT_NE(text.find("Comments:\tline one\r\nline two\r\n\r\nSweep Data\r\n"), std::string::npos);
    EXPECT_NE(text.find("Connected Terminals:\tX1 X2\r\n"), std::string::npos);
}

TEST(CsvExport, EmptySweepIsWrittenOnlyWhenTheUserAgrees) {
    TempDir dir;
    FakePrompter prompter;
    db::SweepBundle b = fraBundle();
    b.sweep.fraPoints.clear();

    prompter.queueAnswer(Answer::No);
    EXPECT_EQ(interchange::exportSweepReports(dir.path(), {b}), 0);
    EXPECT_FALSE(platform::fileExists(dir.file("Tap5_01-07-2013.csv")));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text,
              "Warning: There is no test data associated with test \"Tap5\"\nThe exported test will be empty\n\n"
              "Would you still like to export this test?");
    EXPECT_EQ(prompter.boxes[0].caption, "Warning: Empty test selected");
    EXPECT_EQ(prompter.boxes[0].icon, platform::Icon::Warning);
    EXPECT_EQ(prompter.boxes[0].buttons, platform::Buttons::YesNo);

    prompter.queueAnswer(Answer::Yes);
    EXPECT_EQ(interchange::exportSweepReports(dir.path(), {b}), 1);
    std::string text = readFile(dir.file("Tap5_01-07-2013.csv"));
    EXPECT_NE(text.find("Steps:\t0\r\n"), std::string::npos);
    EXPECT_EQ(dataPart(text), "Frequency,Magnitude1,Magnitude2,Gain,Phase,Delay\r\n");
}

TEST(CsvExport, ExistingFileIsReplacedOnlyWhenTheUserAgrees) {
    TempDir dir;
    FakePrompter prompter;
    const std::string path = dir.file("Tap5_01-07-2013.csv");
    writeFile(path, "old content");

    prompter.queueAnswer(Answer::No);
    EXPECT_EQ(interchange::exportSweepReports(dir.path(), {fraBundle()}), 0);
    EXPECT_EQ(readFile(path), "old content");
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "Warning: There is already a file with the name \"" + path +
                                          "\"\n\nWould you like to export this test and overwrite the previous file?");
    EXPECT_EQ(prompter.boxes[0].caption, "Overwrite test?");
    EXPECT_EQ(prompter.boxes[0].icon, platform::Icon::Warning);
    EXPECT_EQ(prompter.boxes[0].buttons, platform::Buttons::YesNo);

    prompter.queueAnswer(Answer::Yes);
    EXPECT_EQ(interchange::exportSweepReports(dir.path(), {fraBundle()}), 1);
    EXPECT_EQ(readFile(path), kFraReport);
}

TEST(CsvExport, EachSweepInTurnAndOnlyWrittenFilesCount) {
    TempDir dir;
    FakePrompter prompter;
    db::SweepBundle empty = fraBundle();
    empty.sweep.name = "Empty";
    empty.sweep.fraPoints.clear();
    writeFile(dir.file("Empty_01-07-2013.csv"), "old");
    db::SweepBundle second = fraBundle();
    second.sweep.name = "Second";
    db::SweepBundle notLoaded;  // marker -1: nothing to write, nothing to ask

    // Empty: Yes to "empty", then No to "overwrite"; Second is written without a question.
    prompter.queueAnswer(Answer::Yes);
    prompter.queueAnswer(Answer::No);
    EXPECT_EQ(interchange::exportSweepReports(dir.path(), {empty, notLoaded, second}), 1);
    EXPECT_EQ(prompter.captions(), "Warning: Empty test selected|Overwrite test?");
    EXPECT_EQ(readFile(dir.file("Empty_01-07-2013.csv")), "old");
    EXPECT_TRUE(platform::fileExists(dir.file("Second_01-07-2013.csv")));

    // A folder that is not there: skipped without a word.
    EXPECT_EQ(interchange::exportSweepReports(dir.file("no such folder"), {second}), 0);
    EXPECT_EQ(prompter.boxes.size(), 2u);
}

TEST(CsvExport, ImpedanceTableInFixedFormWithStepNumbers) {
    TempDir dir;
    FakePrompter prompter;
    std::vector<db::LcrPoint> points = {{100, 0.001, -80.5, 1000, 80.5, 1.5915494, 0, 10},
                                        {20, 1e-9, 0, 123456.789, -90, 0, 2.5e-12, 0.123456789}};
    ASSERT_TRUE(interchange::exportImpedanceTable(dir.file("table"), points));
    EXPECT_EQ(readFile(dir.file("table.csv")),
              "File Version,1.0\r\n"
              "Steps,2\r\n"
              "\r\n"
              "Sweep Data\r\n"
              "===========\r\n"
              "Step,Frequency (Hz),Admittance (S),Admittance Phase (Deg),Impedance (Ohm),Phase (Deg),"
              "Inductance (H),Capacitance (F),Resistance (Ohm)\r\n"
              "1,100.00000000,0.00100000,-80.50000000,1000.00000000,80.50000000,1.59154940,0.00000000,10.00000000\r\n"
              "2,20.00000000,0.00000000,0.00000000,123456.78900000,-90.00000000,0.00000000,0.00000000,0.12345679\r\n");
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST(CsvExport, ImpedanceTableNameGetsCsvOnlyWithoutADot) {
    EXPECT_EQ(interchange::impedanceTablePath("C:\\Out\\table"), "C:\\Out\\table.csv");
    EXPECT_EQ(interchange::impedanceTablePath("C:\\Out\\table.txt"), "C:\\Out\\table.txt");
    EXPECT_EQ(interchange::impedanceTablePath("C:\\Out\\my.data"), "C:\\Out\\my.data");
    EXPECT_EQ(interchange::impedanceTablePath("C:\\v1.2\\table"), "C:\\v1.2\\table.csv");
    EXPECT_EQ(interchange::impedanceTablePath("/home/u/v1.2/table"), "/home/u/v1.2/table.csv");
    EXPECT_EQ(interchange::impedanceTablePath("table"), "table.csv");

    TempDir dir;
    FakePrompter prompter;
    ASSERT_TRUE(interchange::exportImpedanceTable(dir.file("kept.txt"), {{100, 0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_TRUE(platform::fileExists(dir.file("kept.txt")));
    EXPECT_FALSE(platform::fileExists(dir.file("kept.txt.csv")));
}

TEST(CsvExport, ImpedanceTableWithoutPointsOrNameWritesNothing) {
    TempDir dir;
    FakePrompter prompter;
    EXPECT_FALSE(interchange::exportImpedanceTable(dir.file("none"), {}));
    EXPECT_FALSE(platform::fileExists(dir.file("none.csv")));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "There is no test data to export");
    EXPECT_EQ(prompter.boxes[0].caption, "Export Error");
    EXPECT_EQ(prompter.boxes[0].icon, platform::Icon::Warning);
    EXPECT_EQ(prompter.boxes[0].buttons, platform::Buttons::Ok);

    EXPECT_FALSE(interchange::exportImpedanceTable("", {{100, 0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_FALSE(interchange::exportImpedanceTable(dir.file("missing/folder"), {{100, 0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(prompter.boxes.size(), 1u);
}
