// The XML readers against real files and a real database: what the writer writes comes back, also
// laid out, encoded and ordered as other XML writers do it; ".sfra" files of both versions import;
// and every refused file shows its message and stores nothing.
#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "common/utf8.h"
#include "db/db_fixture.h"
#include "interchange/xml_export.h"
#include "interchange/xml_import.h"
#include "support/records.h"

using namespace interchange;
using namespace testing_support;

namespace {

// A sweep with every field the XML file carries, texts full of characters XML must escape.
db::SweepBundle richBundle(int dataType) {
    db::SweepBundle b = filledBundle(transformerRecord("T&1 \"<main>\"", "A&B <Transformers> O'Neil", "S'1\""),
                                     setupRecord("OPEN1", "H1&H2", "<X1>", "\"X1-X2\" & 'X3'", 17, 30.25f),
                                     equipmentRecord("R&D \"Labs\"", "<FRA>'5", "410-77", "2030-01-31"),
                                     sweepRecord("Tap5", "2013-07-01", "13:48", 12.5, -3.25, dataType));
    b.setup.fluidFilled = true;
    b.setup.comments = "Tank earthed & dry\nsecond line\t<checked>";
    const double points[][3] = {{20, -40.5, 12.25}, {1.2345678e5, -6.0205999, -45}, {2e7, 1.2345678e-05, 179.5}};
    for (const auto& p : points) {
        if (dataType == db::kDataFra) b.sweep.fraPoints.push_back({p[0], 1.0, 0.5, p[1], p[2], 1e-6});
        else b.sweep.basicPoints.push_back({p[0], p[1], p[2]});
    }
    return b;
}

// Frequency, amplitude and phase of a sweep's points, whichever array its data type selects.
std::vector<db::BasicFraPoint> carriedPoints(const db::SweepRecord& s) {
    if (s.dataType == db::kDataBasicFra) return s.basicPoints;
    std::vector<db::BasicFraPoint> out;
    for (const auto& p : s.fraPoints) out.push_back({p.frequency, p.amplitude, p.phase});
    return out;
}

void expectCarriedFieldsEqual(const db::SweepBundle& expected, const db::SweepBundle& got) {
    EXPECT_EQ(got.transformer.identifier, expected.transformer.identifier);
    EXPECT_EQ(got.transformer.manufacturer, expected.transformer.manufacturer);
    EXPECT_EQ(got.transformer.serialNumber, expected.transformer.serialNumber);
    EXPECT_EQ(got.equipment.manufacturer, expected.equipment.manufacturer);
    EXPECT_EQ(got.equipment.instrument, expected.equipment.instrument);
    EXPECT_EQ(got.equipment.serialNumber, expected.equipment.serialNumber);
    EXPECT_EQ(got.setup.referenceTerminal, expected.setup.referenceTerminal);
    EXPECT_EQ(got.setup.responseTerminal, expected.setup.responseTerminal);
    EXPECT_EQ(got.setup.connectedTerminals, expected.setup.connectedTerminals);
    EXPECT_EQ(got.setup.oltc, expected.setup.oltc);
    EXPECT_EQ(got.setup.unshieldedLength, expected.setup.unshieldedLength);
    EXPECT_EQ(got.setup.fluidFilled, expected.setup.fluidFilled);
    EXPECT_EQ(got.setup.comments, expected.setup.comments);
    EXPECT_EQ(got.sweep.transformerIdentifier, expected.transformer.identifier);
    EXPECT_EQ(got.sweep.time, expected.sweep.time);
    EXPECT_EQ(got.sweep.peakVoltage, expected.sweep.peakVoltage);
    EXPECT_EQ(got.sweep.temperature, expected.sweep.temperature);
    EXPECT_EQ(got.sweep.dataType, db::kDataBasicFra);
    const auto want = carriedPoints(expected.sweep);
    const auto have = carriedPoints(got.sweep);
    ASSERT_EQ(have.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(have[i].frequency, want[i].frequency) << i;
        EXPECT_EQ(have[i].amplitude, want[i].amplitude) << i;
        EXPECT_EQ(have[i].phase, want[i].phase) << i;
    }
}

std::string joinLines(const std::vector<std::string>& lines, const char* end = "\r\n") {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += lines[i] + (i + 1 < lines.size() ? end : "");
    return text;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0, end;
    while ((end = text.find('\n', start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start + 1));
        start = end + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// A ".sfra" file as the reader expects it: the fields after the root line in their fixed order,
// then the points.
std::vector<std::string> sweepFileLines(const char* version) {
    return {
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>",
        std::string("<SweepFile version=\"") + version + "\">",
        "  <Transformer>",
        "    <Manufacturer>Maker &amp; Sons</Manufacturer>",
        "    <SerialNumber>S-1</SerialNumber>",
        "    <Rating>40 MVA</Rating>",
        "  </Transformer>",
        "  <Test>",
        "    <Name>OPEN1</Name>",
        "    <Site>North yard</Site>",
        "    <Operator>J. Smith</Operator>",
        "    <Purpose></Purpose>",
        "  </Test>",
        "  <Instrument>",
        "    <Manufacturer>Other Instruments</Manufacturer>",
        "    <Model>QMX74</Model>",
        "    <SerialNumber>410-77</SerialNumber>",
        "    <Firmware>2.1</Firmware>",
        "  </Instrument>",
        "  <Measurement>",
        "    <Started>7/1/2013 13:48:05</Started>",
        "    <FluidFilled>1</FluidFilled>",
        "    <Comments>After the fault",
        "      second &lt;line&gt;",
        "    </Comments>",
        "    <ReferenceTerminal>H1</ReferenceTerminal>",
        "    <ResponseTerminal>H0</ResponseTerminal>",
        "    <Tap>5</Tap>",
        "    <ShortedTerminals>X1-X2-X3</ShortedTerminals>",
        "  </Measurement>",
        "  <Data>",
        "    <d>20,-40.5,12.25</d>",
        "    <d>100, -6.0205999 ,-45</d>",
        "    <d>2e7,1.2345678e-05,179.5</d>",
        "  </Data>",
        "</SweepFile>",
    };
}

class XmlImport : public DbTest {
protected:
    // Imports the file and checks it was refused with text, that the bundle is empty and that
    // handing it to the store adds nothing.
    void expectRefused(const std::string& file, const std::string& text, const std::string& why) {
        SCOPED_TRACE(why);
        prompter.boxes.clear();
        const std::string sweepsBefore = value("SELECT count(*) FROM Sweep");
        db::SweepBundle b;
        b.marker = 7;
        EXPECT_FALSE(importXmlFile(file, b));
        expectImportRefused(b, prompter, text);
        EXPECT_TRUE(b.transformer.identifier.empty());
        EXPECT_FALSE(db::import_sweep_bundle(b));
        EXPECT_EQ(value("SELECT count(*) FROM Sweep"), sweepsBefore);
    }

    // The writer's file for the example sweep, one entry a line with its line end.
    std::vector<std::string> writtenLines(int points = 3) {
        db::SweepBundle b = richBundle(db::kDataBasicFra);
        b.sweep.date = "01-07-2013";
        b.sweep.basicPoints.resize(points, {50, -20, 10});
        return splitLines(iecXmlText(b));
    }

    std::string fileWith(const std::string& name, const std::string& content) {
        writeFile(dir.file(name), content);
        return dir.file(name);
    }
};

// UTF-8 text as UTF-16 with a byte-order mark, little- or big-endian.
std::string utf16(const std::string& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    auto unit = [&](unsigned u) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    };
    for (std::size_t i = 0; i < text.size();) {
        char32_t c;
        const std::size_t length = common::utf8Sequence(text, i, c);
        if (length == 0) throw std::runtime_error("not UTF-8");
        i += length;
        if (c < 0x10000) {
            unit(c);
        } else {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string replaced(const std::string& text, const char* pattern, const char* by) {
    return std::regex_replace(text, std::regex(pattern), by);
}

const std::string kNotValid = "The selected file is not a valid XML file";
const std::string kNotCompatible = "The selected file is not a compatable XML file";

}  // namespace

TEST_F(XmlImport, ExportThenImportKeepsEveryCarriedFieldThroughTheDatabase) {
    for (int dataType : {db::kDataBasicFra, db::kDataFra}) {
        SCOPED_TRACE(dataType);
        TempDir out;
        // The original goes into the first database and comes out as the data browser exports it.
        bool created = false;
        ASSERT_TRUE(db::open_database(dir.file("first" + std::to_string(dataType) + ".db"),
                                      db::OpenMode::CreateIfMissing, &created, db::Connection::Main));
        db::SweepBundle original = richBundle(dataType);
        ASSERT_TRUE(db::import_sweep_bundle(original));
        db::SweepBundle loaded;
        ASSERT_TRUE(db::load_sweep_bundle(original.sweep.id, loaded));
        ASSERT_EQ(loaded.sweep.date, "01-07-2013");
        ASSERT_TRUE(loaded.setup.fluidFilled);
        ASSERT_EQ(exportXml(out.path(), std::span(&loaded, 1)), 1);

        // Read back into a second, empty database.
        ASSERT_TRUE(db::open_database(dir.file("second" + std::to_string(dataType) + ".db"),
                                      db::OpenMode::CreateIfMissing, &created, db::Connection::Main));
        ASSERT_TRUE(created);
        db::SweepBundle read;
        ASSERT_TRUE(importXmlFile(out.file("Tap5_01-07-2013.xml"), read));
        EXPECT_TRUE(prompter.boxes.empty());
        EXPECT_EQ(read.marker, 1);
        expectCarriedFieldsEqual(loaded, read);
        EXPECT_EQ(read.sweep.date, "2013-07-01");
        EXPECT_EQ(read.sweep.name, "Tap5_01-07-2013");

        ASSERT_TRUE(db::import_sweep_bundle(read));
        db::SweepBundle stored;
        ASSERT_TRUE(db::load_sweep_bundle(read.sweep.id, stored));
        expectCarriedFieldsEqual(loaded, stored);
        EXPECT_EQ(stored.sweep.date, "01-07-2013");
        EXPECT_EQ(stored.sweep.name, "Tap5_01-07-2013");
        EXPECT_EQ(value("SELECT count(*) FROM Data"), "3");
    }
}

TEST_F(XmlImport, ReadsCommentLinesConversionsAndEitherSpellingOfYes) {
    std::vector<std::string> lines = writtenLines();
    lines.insert(lines.begin() + 1, "<!-- written by hand -->\r\n");
    lines[4] = "        <Date>1-7-2013</Date>\r\n";
    lines[10] = "        <MeasuringEquipment manufacturer=\"M\" instrument=\"I\" serial=\"77\" />\r\n";
    lines[11] = "        <PeakVoltage unit=\"V\">12.5 V</PeakVoltage>\r\n";  // a unit after the number
    lines[19] = "        <FluidFilled>Yes</FluidFilled>\r\n";
    db::SweepBundle b;
    ASSERT_TRUE(importXmlFile(fileWith("Tap5.xml", joinLines(lines, "")), b));
    EXPECT_EQ(b.sweep.date, "2013-07-01");
    EXPECT_EQ(b.sweep.time, "13:48");
    EXPECT_EQ(b.equipment.serialNumber, "00077");
    EXPECT_EQ(b.sweep.peakVoltage, 12.5);
    EXPECT_TRUE(b.setup.fluidFilled);
    EXPECT_EQ(b.sweep.pointCount(), 3);
    EXPECT_EQ(b.sweep.name, "Tap5");

    // Written "yes" and "no" by the writer; LF-only line ends read the same.
    lines[19] = "        <FluidFilled>no</FluidFilled>\r\n";
    lines[4] = "        <Date>20130701</Date>\r\n";  // not day-month-year: kept as written
    std::string text = joinLines(lines, "");
    std::erase(text, '\r');
    ASSERT_TRUE(importXmlFile(fileWith("lf.xml", text), b));
    EXPECT_FALSE(b.setup.fluidFilled);
    EXPECT_EQ(b.sweep.date, "20130701");
    EXPECT_EQ(b.sweep.time, "13:48");
    EXPECT_EQ(b.setup.comments, "Tank earthed & dry\nsecond line\t<checked>");
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST_F(XmlImport, NamesAreMadeUniqueWithoutRegardToCase) {
    addBasics();
    addSweep("tap5", db::kDataBasicFra, 2);
    addSweep("ab (1)", db::kDataBasicFra, 2);
    const std::string content = joinLines(writtenLines(), "");
    db::SweepBundle b;
    ASSERT_TRUE(importXmlFile(fileWith("Tap5.xml", content), b));
    EXPECT_EQ(b.sweep.name, "Tap5 (2)");
    ASSERT_TRUE(importXmlFile(fileWith("ab.xml", content), b));
    EXPECT_EQ(b.sweep.name, "ab (2)");
    ASSERT_TRUE(importXmlFile(fileWith("cd.XML", content), b));
    EXPECT_EQ(b.sweep.name, "cd (1)");
    ASSERT_TRUE(importXmlFile(fileWith("Unique.sweep.xml", content), b));
    EXPECT_EQ(b.sweep.name, "Unique.sweep");
    // A long name keeps its number within the name's capacity.
    EXPECT_EQ(uniqueSweepName(std::string(200, 'x')), std::string(150, 'x'));
    addSweep(std::string(150, 'y'), db::kDataBasicFra, 1);
    EXPECT_EQ(uniqueSweepName(std::string(200, 'Y')), std::string(146, 'Y') + " (2)");
}

TEST_F(XmlImport, KeepsAtMost2000Points) {
    std::vector<std::string> lines = writtenLines(2500);
    lines[23 + 1999] = "        <Point frequency=\"1999\" amplitude=\"1\" phase=\"2\" />\r\n";
    lines[23 + 2000] = "        <Point />\r\n";  // past the limit: not read at all
    db::SweepBundle b;
    ASSERT_TRUE(importXmlFile(fileWith("many.xml", joinLines(lines, "")), b));
    ASSERT_EQ(b.sweep.pointCount(), 2000);
    EXPECT_EQ(b.sweep.basicPoints.back().frequency, 1999);

    ASSERT_TRUE(db::import_sweep_bundle(b));
    EXPECT_EQ(value("SELECT count(*) FROM Data"), "2000");
}

TEST_F(XmlImport, RefusedIecFilesShowTheirMessageAndStoreNothing) {
    const std::vector<std::string> lines = writtenLines();
    auto variant = [&](std::size_t index, const std::string& line) {
        std::vector<std::string> copy = lines;
        copy[index] = line + "\r\n";
        return fileWith("variant.xml", joinLines(copy, ""));
    };
    expectRefused(variant(0, "<?xml version=\"1.1\" encoding=\"utf-8\" ?>"), kNotValid, "XML 1.1");
    expectRefused(variant(0, "<?xml?>"), kNotValid, "no version");
    expectRefused(variant(1, "<IECFraFile version=\"2.0\">"), kNotCompatible, "IEC file version 2.0");
    expectRefused(variant(2, "    <Transformer>"), kNotValid, "no identifier");
    expectRefused(variant(9, "        <MeasuringEquipment manufacturer=\"M\" instrument=\"I\" />"), kNotValid,
                  "two equipment values");
    expectRefused(variant(23, "        <Point frequency=\"20\" amplitude=\"-40\" />"), kNotValid, "short point");
    expectRefused(variant(23, "        <Point />"), kNotValid, "point without attributes");
    expectRefused(variant(23, "        <Point frequency=\"abc\" amplitude=\"-40\" phase=\"1\" />"), kNotValid,
                  "frequency not a number");
    expectRefused(variant(24, "        <Point frequency=\"20\" amplitude=\"-40dB\" phase=\"1\" />"), kNotValid,
                  "amplitude with a unit");
    expectRefused(variant(25, "        <Point frequency=\"20\" amplitude=\"\" phase=\"1\" />"), kNotValid,
                  "empty amplitude");

    // Cut short anywhere before the line that ends the points, also in the middle of a line.
    for (std::size_t keep = 1; keep + 1 < lines.size(); ++keep) {
        std::vector<std::string> head(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(keep));
        expectRefused(fileWith("cut.xml", joinLines(head, "")), kNotValid, "first " + std::to_string(keep) + " lines");
    }
    std::string cut = joinLines(lines, "");
    cut.resize(cut.find("phase=\"-45") + 8);
    expectRefused(fileWith("cut.xml", cut), kNotValid, "cut in a point line");
    expectRefused(fileWith("empty.xml", ""), kNotValid, "empty file");

    expectRefused(dir.file("missing.xml"), "Unable to open file", "missing file");
    EXPECT_EQ(value("SELECT count(*) FROM Transformer"), "0");
}

TEST_F(XmlImport, ReadsSweepFilesOfBothVersions) {
    for (const char* version : {"3", "2"}) {
        SCOPED_TRACE(version);
        std::vector<std::string> lines = sweepFileLines(version);
        if (std::string(version) == "2") lines.insert(lines.begin() + 1, "<!-- exported -->");
        db::SweepBundle b;
        ASSERT_TRUE(importXmlFile(fileWith(std::string("Winding") + version + ".sfra", joinLines(lines)), b));
        EXPECT_EQ(b.marker, 1);
        EXPECT_EQ(b.transformer.manufacturer, "Maker & Sons");
        EXPECT_EQ(b.transformer.serialNumber, "S-1");
        EXPECT_EQ(b.transformer.identifier, "S-1_Maker & Sons");
        EXPECT_EQ(b.sweep.transformerIdentifier, "S-1_Maker & Sons");
        EXPECT_EQ(b.setup.name, "OPEN1");
        EXPECT_EQ(b.setup.comments, "North yard\nJ. Smith\n");
        EXPECT_EQ(b.equipment.manufacturer, "Other Instruments");
        EXPECT_EQ(b.equipment.instrument, "QMX74");
        EXPECT_EQ(b.equipment.serialNumber, "410-77");
        EXPECT_EQ(b.sweep.date, "2013-07-01");
        EXPECT_EQ(b.sweep.time, "13:48");
        EXPECT_TRUE(b.setup.fluidFilled);
        EXPECT_EQ(b.sweep.comments, "After the fault\nsecond <line>\n");
        EXPECT_EQ(b.setup.referenceTerminal, "H1");
        EXPECT_EQ(b.setup.responseTerminal, "H0");
        EXPECT_EQ(b.setup.oltc, 5);
        EXPECT_EQ(b.setup.connectedTerminals, "X1-X2-X3");
        EXPECT_EQ(b.sweep.dataType, db::kDataBasicFra);
        ASSERT_EQ(b.sweep.pointCount(), 3);
        EXPECT_EQ(b.sweep.basicPoints[1].frequency, 100);
        EXPECT_EQ(b.sweep.basicPoints[1].amplitude, -6.0205999);
        EXPECT_EQ(b.sweep.basicPoints[1].phase, -45);
        EXPECT_EQ(b.sweep.basicPoints[2].frequency, 2e7);
        EXPECT_EQ(b.sweep.basicPoints[2].amplitude, 1.2345678e-05);
        EXPECT_EQ(b.sweep.name, std::string("Winding") + version);

        ASSERT_TRUE(db::import_sweep_bundle(b));
        db::SweepBundle stored;
        ASSERT_TRUE(db::load_sweep_bundle(b.sweep.id, stored));
        EXPECT_EQ(stored.sweep.comments, "After the fault\nsecond <line>\n");
        EXPECT_EQ(stored.setup.name, "OPEN1");
        EXPECT_EQ(stored.sweep.pointCount(), 3);
    }
    EXPECT_TRUE(prompter.boxes.empty());
    EXPECT_EQ(value("SELECT count(*) FROM Measurement"), "1");  // the second sweep found setup OPEN1

    // An empty field leaves its value alone; a fluid flag of 0 is not filled; points stop at 2000.
    std::vector<std::string> lines = sweepFileLines("3");
    lines[8] = "    <Name></Name>";
    lines[21] = "    <FluidFilled>0</FluidFilled>";
    lines.insert(lines.begin() + 34, 2100, "    <d>1,2,3</d>");
    db::SweepBundle b;
    ASSERT_TRUE(importXmlFile(fileWith("More.SFRA", joinLines(lines)), b));
    EXPECT_TRUE(b.setup.name.empty());
    EXPECT_FALSE(b.setup.fluidFilled);
    EXPECT_EQ(b.sweep.pointCount(), 2000);
}

TEST_F(XmlImport, RefusedSweepFilesShowTheirMessageAndStoreNothing) {
    const std::vector<std::string> lines = sweepFileLines("3");
    auto variant = [&](std::size_t index, const std::string& line) {
        std::vector<std::string> copy = lines;
        copy[index] = line;
        return fileWith("variant.sfra", joinLines(copy));
    };
    expectRefused(variant(0, "<?xml version=\"1.1\"?>"), kNotValid, "XML 1.1");
    expectRefused(variant(1, "<SweepFile version=\"4\">"), kNotCompatible, "version 4");
    expectRefused(variant(1, "<SweepFile>"), kNotCompatible, "no version");
    expectRefused(variant(32, "    <d>100,-6.0205999</d>"), kNotValid, "two values");
    expectRefused(variant(32, "    <d>100;-6;-45</d>"), kNotValid, "wrong separator");
    expectRefused(variant(32, "    <d/>"), kNotValid, "empty point");
    for (std::size_t keep = 1; keep + 1 < lines.size(); ++keep) {
        std::vector<std::string> head(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(keep));
        expectRefused(fileWith("cut.sfra", joinLines(head)), kNotValid, "first " + std::to_string(keep) + " lines");
    }
    EXPECT_EQ(value("SELECT count(*) FROM Transformer"), "0");
}

// The writer's document as other XML writers lay it out: each form must import exactly as the
// original does.
TEST_F(XmlImport, ReadsTheSameDocumentHoweverItIsWritten) {
    db::SweepBundle original = richBundle(db::kDataBasicFra);
    original.sweep.date = "01-07-2013";
    original.setup.comments = "Tank earthed & dry\nsecond line\t<checked> \"caf\xC3\xA9\" O'Neil\n";
    const std::string written = iecXmlText(original);
    const std::string utf16Declaration = replaced(written, "utf-8", "UTF-16");

    const std::vector<std::pair<const char*, std::function<std::string()>>> forms = {
        {"as written", [&] { return written; }},
        {"one line", [&] { return replaced(written, "\r\n *", ""); }},
        {"tabs and LF", [&] { return replaced(replaced(written, "    ", "\t"), "\r\n", "\n"); }},
        {"UTF-8 byte-order mark", [&] { return "\xEF\xBB\xBF" + written; }},
        {"UTF-16 little-endian with BOM", [&] { return utf16(utf16Declaration, false); }},
        {"UTF-16 big-endian with BOM", [&] { return utf16(replaced(written, "<\\?xml[^>]*>", ""), true); }},
        {"no declaration", [&] { return replaced(written, "<\\?xml[^>]*>\r\n", ""); }},
        {"attributes reordered and single-quoted",
         [&] {
             std::string x = replaced(written, "<Point frequency=\"([^\"]*)\" amplitude=\"([^\"]*)\" phase=\"([^\"]*)\" />",
                                      "<Point phase='$3'\n   amplitude=\"$2\" frequency='$1'/>");
             x = replaced(x, "<MeasuringEquipment manufacturer=(\"[^\"]*\") instrument=(\"[^\"]*\") serial=(\"[^\"]*\")",
                          "<MeasuringEquipment serial=$3 manufacturer=$1 instrument=$2");
             return replaced(x, "<Transformer identifier=", "<Transformer rating=\"40 MVA\" identifier=");
         }},
        {"comments and processing instructions between elements",
         [&] {
             return replaced(written, "\r\n", "<!-- checked <b>&</b> -->\r\n<?stamp by=\"hand\"?>") +
                    "\r\n<!-- end -->\r\n";
         }},
        {"empty elements written out",
         [&] { return replaced(replaced(written, "<(\\w+)([^<>]*) />", "<$1$2></$1>"), "<DETC>", "<DETC>\n"); }},
        {"text in CDATA and split by comments",
         [&] {
             std::string x = replaced(written, "<Manufacturer>A&amp;B ", "<Manufacturer><![CDATA[A&B ]]>");
             return replaced(x, "<SerialNumber>S", "<SerialNumber>\n   S<!-- no -->");
         }},
        {"elements of other programs",
         [&] {
             std::string x = replaced(written, "<MeasurementSetup>", "<Remarks><Comments>not these</Comments></Remarks>"
                                                                      "<MeasurementSetup><Extra><Point frequency=\"1\" /></Extra>");
             return replaced(x, "</MeasurementResult>", "</MeasurementResult><MeasurementResult/>");
         }},
    };

    db::SweepBundle reference;
    ASSERT_TRUE(importXmlFile(fileWith("Tap5.xml", written), reference));
    EXPECT_EQ(reference.setup.comments, original.setup.comments);
    for (const auto& [form, make] : forms) {
        SCOPED_TRACE(form);
        db::SweepBundle b;
        ASSERT_TRUE(importXmlFile(fileWith("Tap5.xml", make()), b));
        expectCarriedFieldsEqual(reference, b);
        EXPECT_EQ(b.sweep.date, "2013-07-01");
        EXPECT_EQ(b.sweep.name, "Tap5");
    }
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST_F(XmlImport, ReadsReferencesAndLeavesMissingElementsEmpty) {
    const std::string handWritten =
        "<?xml version='1.0' encoding='UTF-8' standalone='yes'?>\n"
        "<!DOCTYPE IECFraFile>\n"
        "<IECFraFile version='1.0'>\n"
        " <Transformer identifier=' T&lt;1&gt; &amp; &quot;main&quot; &apos;A&apos; '>\n"
        "  <Date> 1-7-2013 </Date><Time>09h05</Time>\n"
        "  <Manufacturer>Soci&#233;t&#xE9; &amp; Fils</Manufacturer>\n"
        " </Transformer>\n"
        " <MeasurementSetup>\n"
        "  <MeasuringEquipment instrument='FRA&#233;' manufacturer='R&amp;D' serial='7'/>\n"
        "  <FluidFilled>YES</FluidFilled>\n"
        "  <Comments>&#10;  tap &lt;5&gt; &#9;</Comments>\n"
        " </MeasurementSetup>\n"
        " <MeasurementResult><Point frequency='1e3' amplitude='-3.5' phase=' 45 '/></MeasurementResult>\n"
        "</IECFraFile>\n";
    db::SweepBundle b;
    ASSERT_TRUE(importXmlFile(fileWith("hand.xml", handWritten), b));
    EXPECT_EQ(b.transformer.identifier, "T<1> & \"main\" 'A'");
    EXPECT_EQ(b.transformer.manufacturer, "Soci\xC3\xA9t\xC3\xA9 & Fils");
    EXPECT_EQ(b.equipment.manufacturer, "R&D");
    EXPECT_EQ(b.equipment.instrument, "FRA\xC3\xA9");
    EXPECT_EQ(b.equipment.serialNumber, "00007");
    EXPECT_EQ(b.sweep.date, "2013-07-01");
    EXPECT_EQ(b.sweep.time, "09:05");
    EXPECT_TRUE(b.setup.fluidFilled);
    EXPECT_EQ(b.setup.comments, "\n  tap <5> \t");  // blanks written as references are kept
    ASSERT_EQ(b.sweep.pointCount(), 1);
    EXPECT_EQ(b.sweep.basicPoints[0].frequency, 1000);
    EXPECT_EQ(b.sweep.basicPoints[0].phase, 45);
    // What the file does not hold stays empty.
    EXPECT_TRUE(b.transformer.serialNumber.empty());
    EXPECT_TRUE(b.setup.referenceTerminal.empty());
    EXPECT_EQ(b.setup.oltc, 0);
    EXPECT_EQ(b.sweep.peakVoltage, 0);
    ASSERT_TRUE(db::import_sweep_bundle(b));
    db::SweepBundle stored;
    ASSERT_TRUE(db::load_sweep_bundle(b.sweep.id, stored));
    EXPECT_EQ(stored.transformer.identifier, "T<1> & \"main\" 'A'");
    EXPECT_EQ(stored.setup.comments, "\n  tap <5> \t");

    // A text longer than its field is cut to the field, however long the line.
    std::string huge = handWritten;
    huge.insert(huge.find("<Comments>") + 10, std::string(3000000, 'c'));
    ASSERT_TRUE(importXmlFile(fileWith("huge.xml", huge), b));
    EXPECT_EQ(b.setup.comments.str(), std::string(decltype(db::SetupRecord::comments)::kMaxLength, 'c'));
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST_F(XmlImport, RefusesDocumentsThatAreNotWellFormedIecFiles) {
    const std::string written = joinLines(writtenLines(), "");
    std::string bomb = "<?xml version=\"1.0\"?><!DOCTYPE IECFraFile [<!ENTITY a \"aaaaaaaaaaaaaaaa\">";
    for (char c = 'b'; c <= 'k'; ++c) {  // each entity sixteen of the one before
        bomb += std::string("<!ENTITY ") + c + " \"";
        for (int i = 0; i < 16; ++i) bomb += std::string("&") + static_cast<char>(c - 1) + ";";
        bomb += "\">";
    }
    bomb += "]>" + replaced(written.substr(written.find("<IECFraFile")), "<Comments>", "<Comments>&k;");

    const std::vector<std::tuple<const char*, std::string, std::string>> refused = {
        {"unclosed element", replaced(written, "</Date>", ""), kNotValid},
        {"mismatched end tag", replaced(written, "</Time>", "</Date>"), kNotValid},
        {"wrong root", replaced(written, "IECFraFile", "FraFile"), kNotValid},
        {"second root", written + "<IECFraFile version=\"1.0\"/>", kNotValid},
        {"truncated", written.substr(0, written.size() / 2), kNotValid},
        {"truncated before the root ends", written.substr(0, written.size() - 3), kNotValid},
        {"undefined entity", replaced(written, "&amp;", "&nbsp;"), kNotValid},
        {"bare ampersand", replaced(written, "&amp;", "&"), kNotValid},
        {"binary", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\xFF\xFE", 18), kNotValid},
        {"declared encoding the bytes are not", utf16(written, false), kNotValid},
        {"no transformer", replaced(written, "<Transformer identifier=\"[^\"]*\">", "<Transformer>"), kNotValid},
        {"entity expansion bomb", bomb, kNotValid},
        {"root of another version", replaced(written, "IECFraFile version=\"1.0\"", "IECFraFile version=\"2.0\""),
         kNotCompatible},
        {"root without a version", replaced(written, "IECFraFile version=\"1.0\"", "IECFraFile"), kNotCompatible},
    };
    for (const auto& [why, content, message] : refused) expectRefused(fileWith("bad.xml", content), message, why);
    EXPECT_EQ(value("SELECT count(*) FROM Transformer"), "0");
}
