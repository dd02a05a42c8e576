// Damaged and hostile files of every kind the data browser imports: each is refused with its
// reader's message or imported whole, and the database is whole afterwards.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "../db/db_fixture.h"
#include "interchange/csv_export.h"
#include "interchange/import_file.h"
#include "interchange/xml_export.h"
#include "support/records.h"

using namespace testing_support;
using interchange::ImportOutcome;

namespace {

const std::set<std::string> kCsvMessages = {"Unable to open file", "The selected file is not a valid CSV file",
                                            "The selected file does not contain FRA data"};
const std::set<std::string> kXmlMessages = {"Unable to open file", "The selected file is not a valid XML file",
                                            "The selected file is not a compatable XML file"};
const std::set<std::string> kPaxMessages = {"Unable to open file", "The selected file is not a compatible PAX file",
                                            "The selected file is not a compatable PAX file"};

std::string lines(std::initializer_list<std::string> parts, const char* end = "\r\n") {
    std::string text;
    for (const auto& p : parts) text += p + end;
    return text;
}

std::string pointLines(const char* separator, const char* before = "", const char* after = "") {
    std::string text;
    for (int i = 1; i <= 50; ++i)
        text += std::string(before) + std::to_string(i * 20) + separator + "-4" + std::to_string(i % 10) + separator +
                std::to_string(i) + after + "\r\n";
    return text;
}

db::SweepBundle sampleBundle() {
    db::SweepBundle b = filledBundle(transformerRecord("T-100", "Maker", "S-1"), setupRecord("OPEN1", "H1", "H0", "NONE", 1, 10),
                                     equipmentRecord("Veltrona Ltd", "FRA5087", "410-77"),
                                     sweepRecord("Tap5", "01-07-2013", "13:48", 10, 20, db::kDataBasicFra));
    for (int i = 1; i <= 50; ++i) b.sweep.basicPoints.push_back({i * 20.0, -40.0 - i, 1.0 * i});
    return b;
}

std::string paxText() {
    std::string text = lines({"<Frameworx>", "<FileInfo version=\"1\" />", "<Created>x</Created>", "<Time>10:00</Time>",
                              "<Date>2020-05-12</Date>", "<A>a</A>", "<B>b</B>", "<Site>North</Site>",
                              "<Manufacturer>Maker</Manufacturer>", "<SerialNumber>S-1</SerialNumber>"});
    for (int i = 0; i < 12; ++i) text += "<Skip>x</Skip>\r\n";
    text += lines({"<Notes>After the fault", "</Notes>", "<Extra>x</Extra>", "<Results version=\"1\">", "<Sweep>",
                   "<Name>Short</Name>", "<Kind>FRA</Kind>"});
    std::string points;
    for (int i = 1; i <= 50; ++i) points += std::to_string(i * 20) + ",-40," + std::to_string(i) + ";";
    return text + lines({"<Points>" + points + "</Points>", "</Sweep>", "</Results>", "</Frameworx>"});
}

std::string sfraText() {
    return lines({"<?xml version=\"1.0\" encoding=\"utf-8\"?>", "<SweepFile version=\"3\">", "<Transformer>",
                  "<Manufacturer>Maker</Manufacturer>", "<SerialNumber>S-1</SerialNumber>", "<Rating>40</Rating>",
                  "</Transformer>", "<Test>", "<Name>OPEN1</Name>", "<Site>North</Site>", "<Operator>J</Operator>",
                  "<Purpose></Purpose>", "</Test>", "<Instrument>", "<Manufacturer>Other</Manufacturer>",
                  "<Model>QMX74</Model>", "<SerialNumber>410-77</SerialNumber>", "<Firmware>2.1</Firmware>",
                  "</Instrument>", "<Measurement>", "<Started>7/1/2013 13:48:05</Started>",
                  "<FluidFilled>1</FluidFilled>", "<Comments>none</Comments>",
                  "<ReferenceTerminal>H1</ReferenceTerminal>", "<ResponseTerminal>H0</ResponseTerminal>",
                  "<Tap>5</Tap>", "<ShortedTerminals>X1-X2</ShortedTerminals>", "</Measurement>", "<Data>"}) +
           pointLines(",", "<d>", "</d>") + lines({"</Data>", "</SweepFile>"});
}

struct FileKind {
    const char* name;
    const char* extension;
    const std::set<std::string>* messages;
    bool xml;  // a damaged file may nest its elements deeply
};

// Every kind with a file of it that imports.
std::vector<std::pair<FileKind, std::string>> kinds(const TempDir& dir) {
    const db::SweepBundle bundle = sampleBundle();
    EXPECT_EQ(interchange::exportSweepReports(dir.path(), {bundle}), 1);
    const std::string report = readFile(dir.file("Tap5_01-07-2013.csv"));
    std::vector<db::LcrPoint> lcr(50, db::LcrPoint{100, 1e-3, -80, 1000, 80, 1.5, 0, 170});
    EXPECT_TRUE(interchange::exportImpedanceTable(dir.file("impedance.csv"), lcr));
    return {
        {{"sweep report", ".csv", &kCsvMessages, false}, report},
        {{"instrument file", ".csv", &kCsvMessages, false},
         lines({"Instrument Configuration", "Model,FRA5087", "data start sweep", "Frequency,A,B,Gain,Phase,Delay"}) +
             pointLines(",1,1,", "", ",0")},
        {{"quoted column file", ".csv", &kCsvMessages, false},
         lines({"\"Frequency\",\"Sweep1 (dB)\",\"Phase\""}) + pointLines(",")},
        {{"plain column file", ".txt", &kCsvMessages, false}, lines({"Frequency,Sweep1"}) + pointLines(",")},
        {{"impedance table", ".csv", &kCsvMessages, false}, readFile(dir.file("impedance.csv"))},
        {{"IEC XML", ".xml", &kXmlMessages, true}, interchange::iecXmlText(bundle)},
        {{"sfra", ".sfra", &kXmlMessages, true}, sfraText()},
        {{"PAX", ".pax", &kPaxMessages, true}, paxText()},
    };
}

// The damaged forms of a file of a kind; empty when the damage does not apply to the kind.
struct Damage {
    const char* name;
    std::string (*make)(const std::string& good, const FileKind& kind);
};

std::string randomBytes(std::size_t count, bool zeros) {
    std::mt19937 random(7);
    std::string bytes(count, '\0');
    if (!zeros)
        for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

const Damage kDamages[] = {
    {"empty", [](const std::string&, const FileKind&) { return std::string(); }},
    {"binary", [](const std::string&, const FileKind&) { return randomBytes(64 * 1024, false); }},
    {"NUL-filled", [](const std::string&, const FileKind&) { return randomBytes(64 * 1024, true); }},
    {"3 MB single line",
     [](const std::string& good, const FileKind&) {
         std::string line;
         while (line.size() < 3u << 20) line += good;
         for (char& c : line)
             if (c == '\n' || c == '\r') c = ' ';
         return line;
     }},
    {"deeply nested",
     [](const std::string& good, const FileKind& kind) {
         if (!kind.xml) return std::string();
         const std::size_t rootEnd = good.find('\n', good.find('\n') + 1) + 1;  // the declaration and the root
         std::string text = good.substr(0, rootEnd);
         for (int i = 0; i < 100000; ++i) text += "<a>";
         for (int i = 0; i < 100000; ++i) text += "</a>";
         return text + "\r\n" + good.substr(rootEnd);
     }},
    {"UTF-16",
     [](const std::string& good, const FileKind&) {
         std::string text = "\xFF\xFE";
         for (char c : good) text += std::string{c, '\0'};
         return text;
     }},
    {"cut in half", [](const std::string& good, const FileKind&) { return good.substr(0, good.size() / 2); }},
    {"cut before its end",
     [](const std::string& good, const FileKind&) { return good.substr(0, good.size() - 12); }},
};

class HostileFileTest : public DbTest {
protected:
    // How many rows the tables holding what an import stores have, joined.
    std::string counts() {
        return value("SELECT (SELECT count(*) FROM Transformer) || '/' || (SELECT count(*) FROM Measurement) || '/' || "
                     "(SELECT count(*) FROM Equipment) || '/' || (SELECT count(*) FROM Sweep) || '/' || "
                     "(SELECT count(*) FROM Data)");
    }
};

}  // namespace

TEST_F(HostileFileTest, IsRefusedWithItsMessageOrImportedWhole) {
    for (const auto& [kind, good] : kinds(dir)) {
        // The good file itself imports (an impedance table goes to the Edit Sweep dialog instead).
        const std::string goodFile = dir.file(std::string("good") + kind.extension);
        writeFile(goodFile, good);
        db::SweepBundle bundle;
        const ImportOutcome expected =
            std::string(kind.name) == "impedance table" ? ImportOutcome::ImpedanceTable : ImportOutcome::Stored;
        EXPECT_EQ(interchange::importIntoDatabase(goodFile, bundle), expected) << kind.name << prompter.captions();

        for (const Damage& damage : kDamages) {
            const std::string text = damage.make(good, kind);
            if (text.empty() && std::string(damage.name) != "empty") continue;
            const std::string context = std::string(kind.name) + ", " + damage.name;
            const std::string file = dir.file(std::string("damaged") + kind.extension);
            writeFile(file, text);
            const std::string before = counts();
            prompter.boxes.clear();

            const ImportOutcome outcome = interchange::importIntoDatabase(file, bundle);
            std::printf("%s: %s\n", context.c_str(),
                        outcome == ImportOutcome::Stored ? "stored"
                        : prompter.boxes.empty()         ? "not stored"
                                                         : prompter.boxes[0].text.c_str());
            if (outcome == ImportOutcome::Stored) {
                EXPECT_GT(bundle.sweep.pointCount(), 0) << context;
                EXPECT_EQ(value("SELECT count(*) FROM Data WHERE Sweep_Id=" + std::to_string(bundle.sweep.id)),
                          std::to_string(bundle.sweep.pointCount()))
                    << context;
                EXPECT_TRUE(prompter.boxes.empty()) << context << ": " << prompter.captions();
            } else {
                EXPECT_EQ(counts(), before) << context;
                if (outcome == ImportOutcome::Refused) {
                    ASSERT_EQ(prompter.boxes.size(), 1u) << context << ": " << prompter.captions();
                    EXPECT_EQ(prompter.boxes[0].caption, "Import Error") << context;
                    EXPECT_TRUE(kind.messages->contains(prompter.boxes[0].text))
                        << context << ": " << prompter.boxes[0].text;
                }
            }
            EXPECT_EQ(storeInconsistencies(path), std::vector<std::string>{}) << context;
        }
    }
}
