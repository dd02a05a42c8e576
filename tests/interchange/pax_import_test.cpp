// The PAX reader against hand-written files and a real database: the fields it takes, the sweep's
// name, the point list, and the files it refuses without storing anything.
#include <gtest/gtest.h>

#include "db/db_fixture.h"
#include "interchange/pax_import.h"
#include "support/records.h"

using namespace interchange;
using namespace testing_support;

namespace {

const std::string kNotPax = "The selected file is not a compatible PAX file";
const std::string kWrongVersion = "The selected file is not a compatable PAX file";
constexpr std::size_t kVersionLine = 1, kSecondVersionLine = 27, kSweepLine = 29, kNameLine = 30, kPointLine = 33;

std::vector<std::string> paxLines() {
    return {
        "<Frameworx>",
        "  <FileInfo version=\"1\" />",
        "  <Created>2020-05-12T10:00:00</Created>",  // 1: passed over
        "  <Time>10:00</Time>",                      // 2: the sweep's time
        "  <Date>2020-05-12</Date>",                 // 3: the sweep's date
        "  <Operator>J. Smith</Operator>",
        "  <Company>Grid &amp; Co</Company>",
        "  <Substation>North</Substation>",          // 6: the identifier's first part
        "  <Manufacturer>Maker &lt;UK&gt;</Manufacturer>",
        "  <SerialNumber>S-1</SerialNumber>",
        "  <Nameplate>",                             // twelve fields passed over, a section among them
        "    <Rating>40 MVA</Rating>",
        "    <Voltage>132/33 kV</Voltage>",
        "    <Vector>Dyn11</Vector>",
        "    <Year>1998</Year>",
        "  </Nameplate>",
        "  <Cooling>ONAN</Cooling>",
        "  <Oil>yes</Oil>",
        "  <Tap>5</Tap>",
        "  <Phases>3</Phases>",
        "  <Weather>dry</Weather>",
        "  <Ambient>21</Ambient>",
        "  <Location>Yard 3</Location>",
        "  <Notes>After the fault",                  // the comments, one line of text each
        "    second &amp; last",
        "  </Notes>",
        "  <Extra>x</Extra>",
        "  <Results version=\"1\">",
        "    <Info>not read</Info>",
        "    <Sweep>",
        "      <Name>Short</Name>",
        "      <Kind>FRA</Kind>",
        "      <Span>1,2</Span>",
        "      <Points>20,-40.5,12.25;100, -6.0205999 ,-45; 2e7,1.2345678e-05,179.5;</Points>",
        "    </Sweep>",
        "  </Results>",
        "</Frameworx>",
    };
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text;
}

class PaxImport : public DbTest {
protected:
    std::string fileWith(const std::vector<std::string>& lines, const std::string& name = "sweep.pax") {
        writeFile(dir.file(name), joinLines(lines));
        return dir.file(name);
    }

    void expectRefused(const std::string& file, const std::string& text, const std::string& why) {
        SCOPED_TRACE(why);
        prompter.boxes.clear();
        db::SweepBundle b;
        b.marker = 3;
        EXPECT_FALSE(importPaxFile(file, b));
        expectImportRefused(b, prompter, text);
        EXPECT_TRUE(b.sweep.comments.empty());
        EXPECT_FALSE(db::import_sweep_bundle(b));
        EXPECT_EQ(value("SELECT count(*) FROM Sweep"), "0");
    }
};

}  // namespace

TEST_F(PaxImport, ReadsItsFieldsAndPointsIntoTheDatabase) {
    db::SweepBundle b;
    ASSERT_TRUE(importPaxFile(fileWith(paxLines()), b));
    EXPECT_TRUE(prompter.boxes.empty());
    EXPECT_EQ(b.marker, 1);
    EXPECT_EQ(b.sweep.time, "10:00");
    EXPECT_EQ(b.sweep.date, "2020-05-12");
    EXPECT_EQ(b.transformer.manufacturer, "Maker <UK>");
    EXPECT_EQ(b.transformer.serialNumber, "S-1");
    EXPECT_EQ(b.transformer.identifier, "North_S-1");
    EXPECT_EQ(b.sweep.transformerIdentifier, "North_S-1");
    EXPECT_EQ(b.setup.comments, "After the fault\nsecond & last\n");
    EXPECT_EQ(b.sweep.comments, "After the fault\nsecond & last\n");
    EXPECT_EQ(b.equipment.manufacturer, "Unknown");
    EXPECT_EQ(b.equipment.instrument, "Unknown");
    EXPECT_EQ(b.equipment.serialNumber, "Unknown");
    EXPECT_EQ(b.sweep.name, "Short");
    EXPECT_EQ(b.sweep.dataType, db::kDataBasicFra);
    EXPECT_EQ(b.sweep.peakVoltage, 0);
    EXPECT_EQ(b.setup.oltc, 0);
    ASSERT_EQ(b.sweep.pointCount(), 3);  // the closing ";" adds no point
    EXPECT_EQ(b.sweep.basicPoints[0].frequency, 20);
    EXPECT_EQ(b.sweep.basicPoints[0].amplitude, -40.5);
    EXPECT_EQ(b.sweep.basicPoints[0].phase, 12.25);
    EXPECT_EQ(b.sweep.basicPoints[1].amplitude, -6.0205999);
    EXPECT_EQ(b.sweep.basicPoints[2].frequency, 2e7);
    EXPECT_EQ(b.sweep.basicPoints[2].amplitude, 1.2345678e-05);
    EXPECT_EQ(b.sweep.basicPoints[2].phase, 179.5);

    ASSERT_TRUE(db::import_sweep_bundle(b));
    db::SweepBundle stored;
    ASSERT_TRUE(db::load_sweep_bundle(b.sweep.id, stored));
    EXPECT_EQ(stored.sweep.name, "Short");
    EXPECT_EQ(stored.sweep.date, "12-05-2020");
    EXPECT_EQ(stored.transformer.identifier, "North_S-1");
    EXPECT_EQ(stored.equipment.instrument, "Unknown");
    EXPECT_EQ(stored.setup.comments, "After the fault\nsecond & last\n");
    ASSERT_EQ(stored.sweep.pointCount(), 3);
    EXPECT_EQ(stored.sweep.basicPoints[1].frequency, 100);
}

TEST_F(PaxImport, NamesTheSweepAfterItsSectionUniquely) {
    addBasics();
    addSweep("short", db::kDataBasicFra, 2);
    db::SweepBundle b;
    ASSERT_TRUE(importPaxFile(fileWith(paxLines()), b));
    EXPECT_EQ(b.sweep.name, "Short (2)");

    std::vector<std::string> lines = paxLines();
    lines[kNameLine] = "      <Name>HV1</Name>";
    ASSERT_TRUE(importPaxFile(fileWith(lines), b));
    EXPECT_EQ(b.sweep.name, "HV1 (1)");
}

TEST_F(PaxImport, KeepsAtMost2000Points) {
    std::vector<std::string> lines = paxLines();
    std::string list;
    for (int i = 1; i <= 2500; ++i) list += std::to_string(i) + ",-20,5;";
    lines[kPointLine] = "      <Points>" + list + "</Points>";
    db::SweepBundle b;
    ASSERT_TRUE(importPaxFile(fileWith(lines), b));
    ASSERT_EQ(b.sweep.pointCount(), 2000);
    EXPECT_EQ(b.sweep.basicPoints.back().frequency, 2000);
    ASSERT_TRUE(db::import_sweep_bundle(b));
    EXPECT_EQ(value("SELECT count(*) FROM Data"), "2000");
}

TEST_F(PaxImport, RefusedFilesShowTheirMessageAndStoreNothing) {
    auto variant = [&](std::size_t index, const std::string& line) {
        std::vector<std::string> lines = paxLines();
        lines[index] = line;
        return fileWith(lines);
    };
    expectRefused(variant(0, "<Frameworx >"), kNotPax, "space in the root tag");
    expectRefused(variant(0, "<Frameworx version=\"1\">"), kNotPax, "root with attributes");
    expectRefused(variant(kVersionLine, "  <FileInfo version=\"2\" />"), kWrongVersion, "file version 2");
    expectRefused(variant(kVersionLine, "  <FileInfo />"), kWrongVersion, "no file version");
    expectRefused(variant(kSecondVersionLine, "  <Results version=\"1.0\">"), kWrongVersion, "results version 1.0");
    expectRefused(variant(kPointLine, "      <Points>20,-40,1;100,-6;2e7,1,2</Points>"), kNotPax, "short point");
    expectRefused(variant(kPointLine, "      <Points>20,-40,1;100,x,-45</Points>"), kNotPax, "not a number");
    expectRefused(variant(kPointLine, "      <Points></Points>"), kNotPax, "a sweep without points");
    expectRefused(variant(kSweepLine, "    <Sweeps>"), kNotPax, "no sweep section");

    // Cut short anywhere before the point list.
    const std::vector<std::string> lines = paxLines();
    for (std::size_t keep = 1; keep <= kPointLine; ++keep)
        expectRefused(fileWith(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(keep))),
                      kNotPax, "first " + std::to_string(keep) + " lines");

    expectRefused(dir.file("missing.pax"), "Unable to open file", "missing file");
    EXPECT_EQ(value("SELECT count(*) FROM Transformer"), "0");
}
