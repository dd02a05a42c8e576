// The CSV readers on files written by hand: every kind the data browser and the impedance pane
// accept, and the malformed, truncated and oversized files they must refuse whole.
#include <gtest/gtest.h>

#include <cstdio>

#include "interchange/csv_import.h"
#include "interchange/text_format.h"
#include "platform/clock.h"
#include "support/fake_prompter.h"
#include "support/records.h"
#include "support/temp_dir.h"

using namespace testing_support;
using interchange::CsvImport;

namespace {

constexpr const char* kNotValid = "The selected file is not a valid CSV file";

// A sweep report as a person would type it: LF line ends only, "yes" in lower case, LCR points with
// their step numbers in front.
const char* kHandReport =
    "File Version:\t1.0\n"
    "\n"
    "Transformer Details\n"
    "===================\n"
    "Identifier:\tGSU-2\n"
    "Manufacturer:\tWorks, Inc\n"
    "Serial Number:\t7781\n"
    "\n"
    "Measurement Equipment\n"
    "======================\n"
    "Manufacturer:\tLab\n"
    "Instrument:\tBridge\n"
    "Serial Number:\t12\n"
    "\n"
    "Measurement Setup\n"
    "==================\n"
    "Name:\tSHORT3\n"
    "Reference Terminal:\tX1\n"
    "Response Terminal:\tX2\n"
    "Connected Terminals:\tH1-H2-H3\n"
    "OLTC:\t17\n"
    "Fluid Filled:\tyes\n"
    "Unshielded Length:\t0.75\n"
    "Comments:\t\n"
    "\n"
    "Sweep Details\n"
    "=============\n"
    "Name:\tImpedance A\n"
    "Date:\t5-3-2019\n"
    "Time:\t09:05\n"
    "Steps:\t2\n"
    "Peak Voltage:\t1e1\n"
    "Temperature:\t-3.5\n"
    "Comments:\tcold day, windy\n"
    "\n"
    "Sweep Data\n"
    "===========\n"
    "Frequency,Admittance,AdmittancePhase,Impedance,ImpedancePhase,Inductance,Capacitace,Resistance\n"
    "1,100,0.001,-80,1000,80,1.59,0,10\n"
    "2,200,0.002,-81,500,81,0.79,0,9\n";

std::string basicReport(int steps, const std::string& columns, const std::vector<std::string>& pointLines) {
    std::string text =
        "File Version:\t1.0\r\n\r\nTransformer Details\r\n===================\r\nIdentifier:\tT1\r\n"
        "Manufacturer:\tM\r\nSerial Number:\tS\r\n\r\nMeasurement Equipment\r\n======================\r\n"
        "Manufacturer:\tE\r\nInstrument:\tI\r\nSerial Number:\tN\r\n\r\nMeasurement Setup\r\n"
        "==================\r\nName:\tOPEN1\r\nReference Terminal:\tH1\r\nResponse Terminal:\tH0\r\n"
        "Connected Terminals:\tNONE\r\nOLTC:\t0\r\nFluid Filled:\tNo\r\nUnshielded Length:\t0\r\nComments:\t\r\n"
        "\r\nSweep Details\r\n=============\r\nName:\tTap5\r\nDate:\t01-07-2013\r\nTime:\t13:48\r\nSteps:\t" +
        std::to_string(steps) +
        "\r\nPeak Voltage:\t10\r\nTemperature:\t20\r\nComments:\t\r\n\r\nSweep Data\r\n===========\r\n" + columns +
        "\r\n";
    for (const auto& line : pointLines) text += line + "\r\n";
    return text;
}

std::vector<std::string> repeated(int count, const std::string& line) { return std::vector<std::string>(count, line); }

const char* kInstrumentHead =
    "Instrument Configuration\r\n"
    "Model,FRA5087\r\n"
    "Sweep points,3\r\n"
    "data start sweep\r\n";

const char* kImpedanceTableHead =
    "File Version,1.0\r\n"
    "Steps,2\r\n"
    "\r\n"
    "Sweep Data\r\n"
    "===========\r\n"
    "Step,Frequency (Hz),Admittance (S),Admittance Phase (Deg),Impedance (Ohm),Phase (Deg),Inductance (H),"
    "Capacitance (F),Resistance (Ohm)\r\n";

class CsvImportTest : public ::testing::Test {
protected:
    // Writes text to a file and reads it as the data browser does.
    CsvImport importText(const std::string& text, const std::string& name = "in.csv") {
        writeFile(dir.file(name), text);
        return interchange::importCsvFile(dir.file(name), bundle);
    }
    // The same for the impedance pane.
    bool importDisplay(const std::string& text) {
        writeFile(dir.file("pane.csv"), text);
        return interchange::importImpedanceFile(dir.file("pane.csv"), points);
    }
    // The data browser refused the text with message: one box, nothing handed over.
    void expectRefused(const std::string& text, const std::string& message) {
        SCOPED_TRACE(text);
        prompter.boxes.clear();
        bundle.marker = 7;
        EXPECT_EQ(importText(text), CsvImport::Refused);
        expectImportRefused(bundle, prompter, message);
        EXPECT_TRUE(bundle.sweep.lcrPoints.empty());
    }
    void expectDisplayRefused(const std::string& text, const std::string& message) {
        prompter.boxes.clear();
        EXPECT_FALSE(importDisplay(text)) << text;
        EXPECT_TRUE(points.empty());
        ASSERT_EQ(prompter.boxes.size(), 1u) << text;
        EXPECT_EQ(prompter.boxes[0].text, message);
        EXPECT_EQ(prompter.boxes[0].caption, "Import Error");
    }

    TempDir dir;
    FakePrompter prompter;
    db::SweepBundle bundle;
    std::vector<db::LcrPoint> points;
};

}  // namespace

TEST_F(CsvImportTest, HandWrittenSweepReportFillsEveryField) {
    ASSERT_EQ(importText(kHandReport), CsvImport::Sweep);
    EXPECT_EQ(bundle.marker, 1);
    EXPECT_EQ(bundle.transformer.identifier, "GSU-2");
    EXPECT_EQ(bundle.transformer.manufacturer, "Works, Inc");
    EXPECT_EQ(bundle.transformer.serialNumber, "7781");
    EXPECT_EQ(bundle.equipment.manufacturer, "Lab");
    EXPECT_EQ(bundle.equipment.instrument, "Bridge");
    EXPECT_EQ(bundle.equipment.serialNumber, "12");
    EXPECT_EQ(bundle.setup.name, "SHORT3");
    EXPECT_EQ(bundle.setup.referenceTerminal, "X1");
    EXPECT_EQ(bundle.setup.responseTerminal, "X2");
    EXPECT_EQ(bundle.setup.connectedTerminals, "H1-H2-H3");
    EXPECT_EQ(bundle.setup.oltc, 17);
    EXPECT_TRUE(bundle.setup.fluidFilled);
    EXPECT_FLOAT_EQ(bundle.setup.unshieldedLength, 0.75f);
    EXPECT_EQ(bundle.setup.comments, "");
    const db::SweepRecord& s = bundle.sweep;
    EXPECT_EQ(s.name, "Impedance A");
    EXPECT_EQ(s.date, "2019-03-05");
    EXPECT_EQ(s.time, "09:05");
    EXPECT_EQ(s.peakVoltage, 10.0);
    EXPECT_EQ(s.temperature, -3.5);
    EXPECT_EQ(s.comments, "cold day, windy");
    EXPECT_EQ(s.transformerIdentifier, "GSU-2");
    ASSERT_EQ(s.dataType, db::kDataLcr);
    ASSERT_EQ(s.lcrPoints.size(), 2u);
    EXPECT_EQ(s.lcrPoints[1].frequency, 200);
    EXPECT_EQ(s.lcrPoints[1].admittance, 0.002);
    EXPECT_EQ(s.lcrPoints[1].impedance, 500);
    EXPECT_EQ(s.lcrPoints[1].inductance, 0.79);
    EXPECT_EQ(s.lcrPoints[1].resistance, 9);
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST_F(CsvImportTest, ReportDataTypeFollowsTheColumnLine) {
    ASSERT_EQ(importText(basicReport(2, "Frequency,Amplitude,Phase", {"10,-40,5", "20,-41.5,-6"})), CsvImport::Sweep);
    EXPECT_EQ(bundle.sweep.dataType, db::kDataBasicFra);
    ASSERT_EQ(bundle.sweep.basicPoints.size(), 2u);
    EXPECT_EQ(bundle.sweep.basicPoints[1].amplitude, -41.5);
    EXPECT_EQ(bundle.sweep.basicPoints[1].phase, -6);
    EXPECT_EQ(bundle.sweep.date, "2013-07-01");
    EXPECT_EQ(bundle.sweep.time, "13:48");

    ASSERT_EQ(importText(basicReport(1, "Frequency,Magnitude1,Magnitude2,Gain,Phase,Delay",
                                     {"10,1,0.5,-6.0205999,-45,0"})),
              CsvImport::Sweep);
    EXPECT_EQ(bundle.sweep.dataType, db::kDataFra);
    ASSERT_EQ(bundle.sweep.fraPoints.size(), 1u);
    EXPECT_EQ(bundle.sweep.fraPoints[0].magnitude2, 0.5);
    EXPECT_EQ(bundle.sweep.fraPoints[0].amplitude, -6.0205999);
    EXPECT_EQ(bundle.sweep.fraPoints[0].phase, -45);

    // Four columns: no data type, so the header comes in without points.
    ASSERT_EQ(importText(basicReport(2, "Frequency,Gain,Phase,Delay", {"10,1,2,3", "20,1,2,3"})), CsvImport::Sweep);
    EXPECT_EQ(bundle.marker, 1);
    EXPECT_EQ(bundle.sweep.name, "Tap5");
    EXPECT_EQ(bundle.sweep.pointCount(), 0);
    EXPECT_TRUE(bundle.sweep.fraPoints.empty());
    EXPECT_TRUE(bundle.sweep.lcrPoints.empty());
}

TEST_F(CsvImportTest, MalformedAndTruncatedReportsAreRefusedWhole) {
    const std::string fra = "Frequency,Magnitude1,Magnitude2,Gain,Phase,Delay";
    // Fewer point lines than announced, at the end of the file or before a blank line.
    expectRefused(basicReport(3, fra, {"10,1,0.5,-6,-45,0", "20,1,0.5,-6,-45,0"}), kNotValid);
    expectRefused(basicReport(3, fra, {"10,1,0.5,-6,-45,0", "", "30,1,0.5,-6,-45,0"}), kNotValid);
    // A short point line, and one with a trailing comma.
    expectRefused(basicReport(2, fra, {"10,1,0.5,-6,-45,0", "20,1,0.5"}), kNotValid);
    expectRefused(basicReport(1, "Frequency,Amplitude,Phase", {"10,1,0.5,"}), kNotValid);
    // A labelled line that lost its tab.
    std::string noTab = basicReport(0, fra, {});
    noTab.replace(noTab.find("OLTC:\t"), 6, "OLTC: ");
    expectRefused(noTab, kNotValid);
    // More points than a sweep holds, or a negative count.
    expectRefused(basicReport(2001, "Frequency,Amplitude,Phase", repeated(2001, "10,1,2")), kNotValid);
    expectRefused(basicReport(-1, "Frequency,Amplitude,Phase", {}), kNotValid);
    // A line far longer than any the program writes.
    std::string longLine = basicReport(0, fra, {});
    longLine.replace(longLine.find("Comments:\t"), 10, "Comments:\t" + std::string(70000, 'x'));
    expectRefused(longLine, kNotValid);

    // The point limit itself is accepted.
    ASSERT_EQ(importText(basicReport(2000, "Frequency,Amplitude,Phase", repeated(2000, "10,1,2"))), CsvImport::Sweep);
    EXPECT_EQ(bundle.sweep.basicPoints.size(), 2000u);
}

TEST_F(CsvImportTest, ReportCutOffAnywhereIsRefused) {
    const std::string text =
        basicReport(2, "Frequency,Magnitude1,Magnitude2,Gain,Phase,Delay", {"10,1,0.5,-6.0205999,-45,0", "20,1,0.5,-7,-46,0.25"});
    db::SweepBundle b;
    std::string refusal;
    ASSERT_EQ(interchange::parseCsvForDatabase(text, b, refusal), CsvImport::Sweep);
    // Every cut, also the ones inside the last point line that leave six fields ("...,0.2").
    for (std::size_t length = 0; length < text.size(); ++length) {
        b.marker = 5;
        EXPECT_EQ(interchange::parseCsvForDatabase(text.substr(0, length), b, refusal), CsvImport::Refused) << length;
        EXPECT_EQ(b.marker, -1);
        EXPECT_TRUE(b.sweep.fraPoints.empty()) << length;
        EXPECT_EQ(refusal, kNotValid);
    }
    // The same through a real file.
    expectRefused(text.substr(0, text.size() - 4), kNotValid);
}

TEST_F(CsvImportTest, InstrumentFileGivesFrequencyGainAndPhaseOfAnUnknownTransformer) {
    ASSERT_EQ(importText(std::string(kInstrumentHead) +
                         "Frequency,Magnitude 1,Magnitude 2,Gain,Phase,Delay\r\n"
                         "20,1.0,0.01,-40.0,85.5,1e-6\r\n"
                         "40,1.0,0.02,-34.5,80.25,2e-6\r\n"
                         "\r\n"
                         "end of data\r\n",
                         "instrument.txt"),
              CsvImport::Sweep);
    EXPECT_EQ(bundle.marker, 1);
    EXPECT_EQ(bundle.transformer.identifier, "Unknown");
    EXPECT_EQ(bundle.equipment.instrument, "Unknown");
    EXPECT_EQ(bundle.equipment.serialNumber, "Unknown");
    EXPECT_EQ(bundle.sweep.dataType, db::kDataBasicFra);
    ASSERT_EQ(bundle.sweep.basicPoints.size(), 2u);
    EXPECT_EQ(bundle.sweep.basicPoints[1].frequency, 40);
    EXPECT_EQ(bundle.sweep.basicPoints[1].amplitude, -34.5);
    EXPECT_EQ(bundle.sweep.basicPoints[1].phase, 80.25);
}

TEST_F(CsvImportTest, InstrumentFilesForTheWrongUseOrCutShortAreRefused) {
    const std::string head = kInstrumentHead;
    const std::string lcrColumns = "Frequency,Admittance,Adm Phase,Impedance,Phase,L,C,R\r\n";
    const std::string fraColumns = "Frequency,Magnitude 1,Magnitude 2,Gain,Phase,Delay\r\n";
    expectRefused(head + lcrColumns + "100,1,2,3,4,5,6,7\r\n", "The selected file does not contain FRA data");
    expectRefused("Instrument Configuration\r\nModel,FRA5087\r\ndata start sweep\r\n", kNotValid);
    expectRefused("Instrument Configuration\r\nModel,FRA5087\r\n", kNotValid);
    expectRefused(head + fraColumns + "20,1,0.01,-40,85,1e-6\r\n40,1,0.02\r\n", kNotValid);
    std::string tooMany = head + fraColumns;
    for (int i = 0; i < 2001; ++i) tooMany += "20,1,0.01,-40,85,1e-6\r\n";
    expectRefused(tooMany, kNotValid);
}

TEST_F(CsvImportTest, ColumnFilesNameTheSweepFromTheirTitles) {
    ASSERT_EQ(importText("\"Frequency\",\"Sweep1 (dB)\",\"Sweep1 (deg)\"\r\n"
                         "10,-40.5,12\r\n"
                         "\"20\",\"-41\",\"13.5\"\r\n"),
              CsvImport::Sweep);
    EXPECT_EQ(bundle.sweep.name, "Sweep1");
    EXPECT_EQ(bundle.transformer.identifier, "Unknown");
    EXPECT_EQ(bundle.equipment.instrument, "Unknown");
    EXPECT_EQ(bundle.equipment.serialNumber, "Unknown");
    EXPECT_EQ(bundle.sweep.dataType, db::kDataBasicFra);
    ASSERT_EQ(bundle.sweep.basicPoints.size(), 2u);
    EXPECT_EQ(bundle.sweep.basicPoints[0].amplitude, -40.5);
    EXPECT_EQ(bundle.sweep.basicPoints[1].frequency, 20);  // quoted values are numbers too
    EXPECT_EQ(bundle.sweep.basicPoints[1].phase, 13.5);

    // The plain form with two columns: the second title names the sweep, phases are 0.
    ASSERT_EQ(importText("Frequency,HV-LV open (dB)\n100,-50\n200,-48.5\n", "plain.txt"), CsvImport::Sweep);
    EXPECT_EQ(bundle.sweep.name, "HV-LV open");
    ASSERT_EQ(bundle.sweep.basicPoints.size(), 2u);
    EXPECT_EQ(bundle.sweep.basicPoints[1].amplitude, -48.5);
    EXPECT_EQ(bundle.sweep.basicPoints[0].phase, 0);
    EXPECT_EQ(bundle.sweep.basicPoints[1].phase, 0);

    ASSERT_EQ(importText("Frequency,Tap3,Phase\n100,-50,1\n"), CsvImport::Sweep);
    EXPECT_EQ(bundle.sweep.name, "Tap3");
}

TEST_F(CsvImportTest, ColumnFilesWithBadLinesAreRefused) {
    expectRefused("\"Frequency\",\"S (dB)\"\r\n10,1,2,3\r\n", kNotValid);  // first data line of four fields
    expectRefused("Frequency,S\r\n10\r\n", kNotValid);                     // ... of one field
    expectRefused("Frequency,S\r\n10,1\r\n20,2,3,4\r\n", kNotValid);       // a later line
    expectRefused("Frequency,S,P\r\n10,1,5\r\n20,-4", kNotValid);           // a last line cut short
    expectRefused("Frequency,S\r\n", kNotValid);                           // no data at all
    expectRefused("Frequency,S\r\n\r\n10,1\r\n", kNotValid);
    std::string tooMany = "Frequency,S\n";
    for (int i = 0; i < 2001; ++i) tooMany += "10,1\n";
    expectRefused(tooMany, kNotValid);
}

TEST_F(CsvImportTest, ImpedanceTableGoesToTheEditSweepDialogNotStraightIn) {
    ASSERT_EQ(importText(std::string(kImpedanceTableHead) +
                         "1,100.00000000,0.00100000,-80.00000000,1000.00000000,80.00000000,1.59154940,0.00000000,"
                         "10.00000000\r\n"
                         "2,200.00000000,0.00200000,-81.00000000,500.00000000,81.00000000,0.79577470,0.00000000,"
                         "9.50000000\r\n"),
              CsvImport::ImpedanceTable);
    EXPECT_EQ(bundle.marker, -1);  // not for import_sweep_bundle: the user completes it first
    const db::SweepRecord& s = bundle.sweep;
    EXPECT_EQ(s.dataType, db::kDataLcr);
    EXPECT_EQ(s.equipmentId, -1);
    ASSERT_EQ(s.lcrPoints.size(), 2u);
    EXPECT_EQ(s.lcrPoints[0].frequency, 100);
    EXPECT_EQ(s.lcrPoints[1].admittancePhase, -81);
    EXPECT_EQ(s.lcrPoints[1].inductance, 0.7957747);
    EXPECT_EQ(s.lcrPoints[1].resistance, 9.5);
    // Dated and timed now, as YYYY-MM-DD and HH:MM.
    const platform::LocalTime now = platform::localTimeNow();
    char date[32], time[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", now.year, now.month, now.day);
    std::snprintf(time, sizeof time, "%02d:%02d", now.hour, now.minute);
    EXPECT_EQ(s.date, date);
    EXPECT_EQ(s.time.size(), 5u);
    EXPECT_EQ(s.time.str()[2], ':');
    EXPECT_EQ(s.time.str().substr(0, 2), std::string(time).substr(0, 2));
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST_F(CsvImportTest, MalformedImpedanceTablesAreRefused) {
    const std::string head = kImpedanceTableHead;
    expectRefused("File Version,1.0\r\nSteps,1\r\n\r\nNo data here\r\n", kNotValid);
    expectRefused("File Version,1.0\r\nSteps,1\r\n\r\nSweep Data\r\n===========\r\n", kNotValid);
    expectRefused("File Version,1.0\r\n\r\nSweep Data\r\n===\r\nFrequency,Admittance,AdmittancePhase,Impedance,"
                  "ImpedancePhase,Inductance,Capacitace,Resistance\r\n100,1,2,3,4,5,6,7\r\n",
                  kNotValid);
    expectRefused(head + "1,100,1,2,3,4,5,6,7\r\n2,200,1,2,3\r\n", kNotValid);
}

TEST_F(CsvImportTest, UnknownEmptyAndMissingFilesAreRefused) {
    expectRefused("Date,Value\r\n1,2\r\n", kNotValid);
    expectRefused("", kNotValid);
    expectRefused("\"Freq\",\"S\"\r\n1,2\r\n", kNotValid);
    prompter.boxes.clear();
    EXPECT_EQ(interchange::importCsvFile(dir.file("missing.csv"), bundle), CsvImport::Refused);
    EXPECT_EQ(bundle.marker, -1);
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "Unable to open file");
    EXPECT_EQ(prompter.boxes[0].caption, "Import Error");
}

TEST_F(CsvImportTest, ImpedancePaneReadsInstrumentFilesAndImpedanceTablesOnly) {
    ASSERT_TRUE(importDisplay(std::string(kInstrumentHead) +
                              "Frequency,Admittance,Adm Phase,Impedance,Phase,L,C,R\r\n"
                              "100,0.001,-80,1000,80,1.5,0,10\r\n"
                              "200,0.002,-81,500,81,0.7,0,9\r\n"
                              "\r\n"));
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1].frequency, 200);
    EXPECT_EQ(points[1].impedancePhase, 81);
    EXPECT_EQ(points[1].resistance, 9);

    ASSERT_TRUE(importDisplay(std::string(kImpedanceTableHead) + "1,100.5,1,2,3,4,5,6,7\r\n"));
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].frequency, 100.5);
    EXPECT_EQ(points[0].resistance, 7);
    EXPECT_TRUE(prompter.boxes.empty());

    // A table without points is no import, but no error either.
    EXPECT_FALSE(importDisplay(kImpedanceTableHead));
    EXPECT_TRUE(prompter.boxes.empty());

    expectDisplayRefused(std::string(kInstrumentHead) + "Frequency,Magnitude 1,Magnitude 2,Gain,Phase,Delay\r\n1,2,3,4,5,6\r\n",
                         "The selected file does not contain Impedance data");
    expectDisplayRefused(std::string(kInstrumentHead) + "Frequency,A,B,C,D,E,F,G\r\n1,2,3,4,5,6,7\r\n", kNotValid);
    expectDisplayRefused(kHandReport, kNotValid);
    expectDisplayRefused("Frequency,S\r\n10,1\r\n", kNotValid);
    std::string tooMany = std::string(kImpedanceTableHead);
    for (int i = 0; i < 2001; ++i) tooMany += "1,100,1,2,3,4,5,6,7\r\n";
    expectDisplayRefused(tooMany, kNotValid);
}

TEST_F(CsvImportTest, ImportButtonChoosesACsvOrTextFile) {
    const std::string table = std::string(kImpedanceTableHead) + "1,100,1,2,3,4,5,6,7\r\n";
    writeFile(dir.file("t.CSV"), table);
    writeFile(dir.file("t.dat"), table);
    writeFile(dir.file("t.Csv"), table);

    prompter.openResults.push_back({dir.file("t.CSV")});
    ASSERT_TRUE(interchange::importIntoDisplay(points));
    EXPECT_EQ(points.size(), 1u);
    ASSERT_EQ(prompter.choicesShown.size(), 1u);
    EXPECT_EQ(prompter.choicesShown[0].title, "Import into Database");
    EXPECT_TRUE(prompter.choicesShown[0].mustExist);

    // Other extensions, mixed case included, are ignored without a word; so is a cancelled chooser.
    prompter.openResults.push_back({dir.file("t.dat")});
    EXPECT_FALSE(interchange::importIntoDisplay(points));
    prompter.openResults.push_back({dir.file("t.Csv")});
    EXPECT_FALSE(interchange::importIntoDisplay(points));
    EXPECT_FALSE(interchange::importIntoDisplay(points));
    EXPECT_TRUE(points.empty());
    EXPECT_TRUE(prompter.boxes.empty());

    EXPECT_TRUE(interchange::hasCsvExtension("/in/a.b.TXT"));
    EXPECT_FALSE(interchange::hasCsvExtension("C:\\in.txt\\a"));
}

TEST(CsvDates, ShownDatesReturnToTheStoredFormOrStayAsTheyAre) {
    EXPECT_EQ(interchange::storedDate("1-7-13", '-', true), "0013-07-01");
    EXPECT_EQ(interchange::storedDate("ERR_BAD_DAY", '-', true), "ERR_BAD_DAY");
    EXPECT_EQ(interchange::storedDate("01-2013", '-', true), "01-2013");
}
