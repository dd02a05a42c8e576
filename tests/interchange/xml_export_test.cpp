// The IEC XML writer: the exact file, escaping checked with a real XML parser, and the questions and
// warnings that decide which sweeps get a file.
#include <gtest/gtest.h>

#include "interchange/xml_export.h"
#include "support/fake_prompter.h"
#include "support/records.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

using namespace interchange;
using namespace testing_support;
using platform::Answer;

namespace {

db::SweepBundle tap5() {
    // The date as loaded from the database.
    db::SweepBundle b =
        filledBundle(transformerRecord("T1", "Maker", "S-1"), setupRecord("", "H1", "H0", "NONE", 3, 30.25f),
                     equipmentRecord("Other Instruments", "QMX74", "410-77"),
                     sweepRecord("Tap5", "01-07-2013", "13:48", 10, 0.5, db::kDataFra));
    b.sweep.fraPoints = {{20000000, 1, 0.5, 0.5, 1.23456789e-5, 0}, {123456789, 1, 1, 10, -45, 0}};
    return b;
}

std::string hex(const std::string& text) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : text) out += std::string{digits[c >> 4], digits[c & 15]};
    return out;
}

}  // namespace

TEST(XmlExport, WritesTheExampleSweepByteForByte) {
    TempDir dir;
    FakePrompter prompter;
    const db::SweepBundle b = tap5();
    EXPECT_EQ(exportXml(dir.path(), std::span(&b, 1)), 1);
    EXPECT_TRUE(prompter.boxes.empty());
    EXPECT_EQ(readFile(dir.file("Tap5_01-07-2013.xml")),
              "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n"
              "<IECFraFile version=\"1.0\">\r\n"
              "    <Transformer identifier=\"T1\">\r\n"
              "        <Date>01-07-2013</Date>\r\n"
              "        <Time>13h48</Time>\r\n"
              "        <Manufacturer>Maker</Manufacturer>\r\n"
              "        <SerialNumber>S-1</SerialNumber>\r\n"
              "    </Transformer>\r\n"
              "    <MeasurementSetup>\r\n"
              "        <MeasuringEquipment manufacturer=\"Other Instruments\" instrument=\"QMX74\" serial=\"410-77\" />\r\n"
              "        <PeakVoltage unit=\"V\">10</PeakVoltage>\r\n"
              "        <ReferenceTerminal>H1</ReferenceTerminal>\r\n"
              "        <ResponseTerminal>H0</ResponseTerminal>\r\n"
              "        <ConnectedTerminals>NONE</ConnectedTerminals>\r\n"
              "        <EarthedTerminals />\r\n"
              "        <OLTC from=\"5\">3</OLTC>\r\n"
              "        <DETC />\r\n"
              "        <TransformerTemperature unit=\"DegreesC\">0.5</TransformerTemperature>\r\n"
              "        <FluidFilled>no</FluidFilled>\r\n"
              "        <LengthOfUnshieldedConnection unit=\"mm\">30.25</LengthOfUnshieldedConnection>\r\n"
              "        <Comments></Comments>\r\n"
              "    </MeasurementSetup>\r\n"
              "    <MeasurementResult>\r\n"
              "        <Point frequency=\"20000000\" amplitude=\"0.5\" phase=\"1.2345679e-05\" />\r\n"
              "        <Point frequency=\"1.2345679e+08\" amplitude=\"10\" phase=\"-45\" />\r\n"
              "    </MeasurementResult>\r\n"
              "</IECFraFile>");

    // A basic sweep writes the same point columns from its own array; fluid filled says "yes".
    db::SweepBundle basic = tap5();
    basic.sweep.dataType = db::kDataBasicFra;
    basic.sweep.fraPoints.clear();
    basic.sweep.basicPoints = {{100, -6.0205999, 90}};
    basic.setup.fluidFilled = true;
    const std::string text = iecXmlText(basic);
    EXPECT_NE(text.find("\r\n        <FluidFilled>yes</FluidFilled>\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n        <Point frequency=\"100\" amplitude=\"-6.0205999\" phase=\"90\" />\r\n"
                        "    </MeasurementResult>\r\n"),
              std::string::npos);
}

TEST(XmlExport, EscapedTextsParseAsXmlAndReadBackUnchanged) {
    TempDir dir;
    FakePrompter prompter;
    db::SweepBundle b = tap5();
    b.transformer.identifier = "T&1 \"<main>\" O'Neil";
    b.transformer.manufacturer = "A&B <Transformers>";
    b.transformer.serialNumber = "'S\"1'";
    b.equipment.manufacturer = "R&D \"Labs\"";
    b.equipment.instrument = "<X>'";
    b.equipment.serialNumber = "1&2";
    b.setup.referenceTerminal = "H1&H2";
    b.setup.responseTerminal = "<X1>";
    b.setup.connectedTerminals = "\"X1-X2\" & 'X3'";
    b.setup.comments = "Tank earthed & dry\n\t<checked> \"twice\" — it's fine";
    ASSERT_EQ(exportXml(dir.path(), std::span(&b, 1)), 1);
    const std::string file = dir.file("Tap5_01-07-2013.xml");

    // Python's own parser reads the file; each value comes back hex-encoded, one a line.
    const char* script =
        "import sys, xml.etree.ElementTree as E\n"
        "r = E.parse(sys.argv[1]).getroot()\n"
        "t = r.find('Transformer'); s = r.find('MeasurementSetup'); e = s.find('MeasuringEquipment')\n"
        "v = [r.tag, r.get('version'), t.get('identifier'), t.findtext('Manufacturer'), t.findtext('SerialNumber'),\n"
        "     e.get('manufacturer'), e.get('instrument'), e.get('serial'), s.findtext('ReferenceTerminal'),\n"
        "     s.findtext('ResponseTerminal'), s.findtext('ConnectedTerminals'), s.findtext('Comments'),\n"
        "     str(len(r.find('MeasurementResult').findall('Point')))]\n"
        "print('\\n'.join(x.encode('utf-8').hex() for x in v))\n";
    const CommandResult parsed = runCommand("python3", {"-c", script, file}, dir.path(), dir.path());
    ASSERT_EQ(parsed.exitCode, 0) << parsed.err;
    const std::vector<std::string> expected = {"IECFraFile", "1.0", b.transformer.identifier, b.transformer.manufacturer,
                                               b.transformer.serialNumber, b.equipment.manufacturer,
                                               b.equipment.instrument, b.equipment.serialNumber,
                                               b.setup.referenceTerminal, b.setup.responseTerminal,
                                               b.setup.connectedTerminals, b.setup.comments, "2"};
    std::string lines;
    for (const auto& v : expected) lines += hex(v) + "\n";
    EXPECT_EQ(parsed.out, lines);

    // Every value stays on its own line, so the line-oriented reader still finds its lines.
    const std::string text = readFile(file);
    EXPECT_NE(text.find("\r\n        <Comments>Tank earthed &amp; dry&#10;&#9;&lt;checked&gt; &quot;twice&quot; — "
                        "it&apos;s fine</Comments>\r\n"),
              std::string::npos);
}

TEST(XmlExport, SkipsLcrSweepsWithAWarning) {
    TempDir dir;
    FakePrompter prompter;
    std::vector<db::SweepBundle> bundles(2, tap5());
    bundles[1].sweep.name = "Z1";
    bundles[1].sweep.dataType = db::kDataLcr;
    bundles[1].sweep.lcrPoints = {{100, 1e-3, -80, 1000, 80, 0.5, 0, 10}};
    EXPECT_EQ(exportXml(dir.path(), bundles), 1);
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "Warning: LCR Tests cannot be exported to XML The test \"Z1\"\nWill not be exported");
    EXPECT_EQ(prompter.boxes[0].caption, "Incorrect test selected");
    EXPECT_EQ(prompter.boxes[0].icon, platform::Icon::Warning);
    EXPECT_EQ(prompter.boxes[0].buttons, platform::Buttons::Ok);
    EXPECT_FALSE(readFile(dir.file("Tap5_01-07-2013.xml")).empty());
    EXPECT_TRUE(readFile(dir.file("Z1_01-07-2013.xml")).empty());
}

TEST(XmlExport, AsksBeforeEmptySweepsAndExistingFiles) {
    TempDir dir;
    FakePrompter prompter;
    db::SweepBundle empty = tap5();
    empty.sweep.name = "Empty";
    empty.sweep.fraPoints.clear();
    const std::string emptyQuestion =
        "Warning: There is no test data associated with test \"Empty\"\nThe exported test will be empty\n\n"
        "Would you still like to export this test?";

    prompter.queueAnswer(Answer::No);
    EXPECT_EQ(exportXml(dir.path(), std::span(&empty, 1)), 0);
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, emptyQuestion);
    EXPECT_EQ(prompter.boxes[0].caption, "Empty test selected");
    EXPECT_EQ(prompter.boxes[0].icon, platform::Icon::Warning);
    EXPECT_EQ(prompter.boxes[0].buttons, platform::Buttons::YesNo);
    EXPECT_TRUE(readFile(dir.file("Empty_01-07-2013.xml")).empty());

    prompter.queueAnswer(Answer::Yes);
    EXPECT_EQ(exportXml(dir.path(), std::span(&empty, 1)), 1);
    const std::string text = readFile(dir.file("Empty_01-07-2013.xml"));
    EXPECT_NE(text.find("    <MeasurementResult>\r\n    </MeasurementResult>\r\n</IECFraFile>"), std::string::npos);

    // Two sweeps with the same name and date: the second asks before it replaces the first's file.
    prompter.boxes.clear();
    std::vector<db::SweepBundle> twins(2, tap5());
    twins[1].sweep.peakVoltage = 20;
    const std::string path = dir.file("Tap5_01-07-2013.xml");
    const std::string overwrite = "Warning: There is already a file with the name \"" + path +
                                  "\"\n\nWould you like to export this test and overwrite the previous file?";
    prompter.queueAnswer(Answer::No);
    EXPECT_EQ(exportXml(dir.path(), twins), 1);
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, overwrite);
    EXPECT_EQ(prompter.boxes[0].caption, "Overwrite test?");
    EXPECT_EQ(prompter.boxes[0].buttons, platform::Buttons::YesNo);
    EXPECT_NE(readFile(path).find(">10</PeakVoltage>"), std::string::npos);

    prompter.queueAnswer(Answer::Yes);
    EXPECT_EQ(exportXml(dir.path(), std::span(&twins[1], 1)), 1);
    EXPECT_NE(readFile(path).find(">20</PeakVoltage>"), std::string::npos);
}

TEST(XmlExport, FilesStayInTheFolderAndFailuresAreQuiet) {
    TempDir dir;
    FakePrompter prompter;
    std::vector<db::SweepBundle> bundles(3, tap5());
    bundles[0].sweep.name = "../../escape";
    bundles[0].sweep.date = "01/07/2013";
    bundles[1].marker = -1;  // a sweep that could not be loaded
    bundles[2].sweep.name = "HV: A*?";
    EXPECT_EQ(exportXml(dir.path(), bundles), 2);
    EXPECT_FALSE(readFile(dir.file("___.._escape_01_07_2013.xml")).empty());
    EXPECT_FALSE(readFile(dir.file("HV_ A___01-07-2013.xml")).empty());
    EXPECT_TRUE(prompter.boxes.empty());

    // A folder that is not there: nothing written, nothing said.
    EXPECT_EQ(exportXml(dir.file("missing"), bundles), 0);
    EXPECT_TRUE(prompter.boxes.empty());
}
