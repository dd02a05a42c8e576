// Texts that could break SQL, XML, file names or the line-oriented files, in every text field of a
// sweep: stored and read back, found by the data browser's search, exported as CSV and XML without a
// file outside the chosen folder, and imported again.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "../db/db_fixture.h"
#include "db/browser_rows.h"
#include "db/browser_views.h"
#include "interchange/csv_export.h"
#include "interchange/import_file.h"
#include "interchange/xml_export.h"
#include "support/records.h"
#include "support/run_command.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

struct HostileText {
    const char* label;
    std::string text;
};

std::string longText() {
    std::string text;
    while (text.size() < 5000) text += "Winding 'HV' <tap> & \"LV\" / ";
    return text.substr(0, 5000);
}

// None holds a dash: the search turns a text with dashes round as a date.
const HostileText kTexts[] = {
    {"quotes", "O'Neil \"big\" ''twice'' \"\""},
    {"SQL", "x'); DROP TABLE Sweep; SELECT ('"},
    {"LIKE wildcards", "100% _done_ \\%"},
    {"markup", "<&\"> &amp; ]]> <![CDATA[x]]> <?pi?>"},
    {"slashes", "../../etc/passwd"},
    {"backslashes", "..\\..\\Windows\\win.ini"},
    {"dot name", "..."},
    {"tab CR LF", "a\tb\rc\nd\r\n"},
    {"other C0", "bell\a esc\x1b unit\x1f start\x01"},
    {"UTF8", "Tr\xc3\xa4ger \xe5\xa4\x89\xe5\x9c\xa7\xe5\x99\xa8"},
    {"5000 characters", longText()},
};

// Every text field of a bundle set to text (each cut at its field's capacity), with three points.
db::SweepBundle hostileBundle(const std::string& text) {
    db::SweepBundle b = filledBundle(transformerRecord(text, text, text), setupRecord(text, text, text, text, 2, 30),
                                     equipmentRecord(text, text, text, "2030-01-31"),
                                     sweepRecord(text, "2013-07-01", "13:48", 10, 21.5, db::kDataBasicFra));
    b.setup.comments = text;
    b.sweep.comments = text;
    b.sweep.basicPoints = {{20, -40, 10}, {2000, -20, -45}, {2e6, -6, 80}};
    return b;
}

// Each text field of a bundle, labelled.
std::vector<std::pair<std::string, std::string>> fields(const db::SweepBundle& b) {
    return {{"transformer identifier", b.transformer.identifier}, {"transformer manufacturer", b.transformer.manufacturer},
            {"transformer serial", b.transformer.serialNumber},   {"setup name", b.setup.name},
            {"reference terminal", b.setup.referenceTerminal},    {"response terminal", b.setup.responseTerminal},
            {"connected terminals", b.setup.connectedTerminals},  {"setup comments", b.setup.comments},
            {"equipment manufacturer", b.equipment.manufacturer}, {"instrument", b.equipment.instrument},
            {"equipment serial", b.equipment.serialNumber},       {"sweep name", b.sweep.name},
            {"sweep comments", b.sweep.comments}};
}

// What a file's round trip does to a field: the value it gives back for the value exported, or
// nullopt for a field the file does not carry.
using RoundTrip = std::function<std::optional<std::string>(const std::string& field, const std::string& value)>;

void expectSameFields(const db::SweepBundle& got, const db::SweepBundle& expected, const std::string& context,
                      const RoundTrip& roundTrip = nullptr) {
    const auto a = fields(got), e = fields(expected);
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::optional<std::string> want = roundTrip ? roundTrip(e[i].first, e[i].second) : e[i].second;
        if (want) {
            EXPECT_EQ(a[i].second, *want) << context << ": " << a[i].first;
        }
    }
}

// The sweep report writes every field but the comments on one line of its own, so line breaks in
// them come back as blanks.
std::optional<std::string> csvRoundTrip(const std::string& field, const std::string& value) {
    if (field.ends_with("comments")) return value;
    std::string out = value;
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

// The XML file carries neither the setup's name nor the sweep's comments, and names the sweep after
// the file. Control characters other than tab, line feed and carriage return cannot stand in XML at
// all and are left out; the reader pads the equipment serial to five characters with zeros.
std::optional<std::string> xmlRoundTrip(const std::string& field, const std::string& value) {
    if (field == "setup name" || field == "sweep name" || field == "sweep comments") return std::nullopt;
    std::string out;
    for (char c : value)
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r') out += c;
    if (field == "equipment serial" && out.size() < 5) out.insert(0, 5 - out.size(), '0');
    return out;
}

// The keys of the rows the data browser lists in view for search.
std::vector<std::string> listed(int view, const std::string& search) {
    db::ViewContext context;
    EXPECT_TRUE(db::tableView(view, context));
    db::ViewRows rows;
    EXPECT_TRUE(rows.load(context, search, -1, db::SortOrder::Loading));
    while (rows.loadMore(1000)) {
    }
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < rows.size(); ++i) keys.push_back(rows.key(i));
    return keys;
}

// Every file under root, as paths relative to it.
std::vector<std::string> filesUnder(const std::string& root) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (!entry.is_directory()) files.push_back(fs::relative(entry.path(), root).string());
    std::sort(files.begin(), files.end());
    return files;
}

class HostileTextTest : public DbTest {};

}  // namespace

TEST_F(HostileTextTest, GoesThroughStoreSearchExportAndImportUnchanged) {
    const TempDir exports;
    struct Exported {
        db::SweepBundle stored;
        std::string csv, xml;
    };
    std::vector<Exported> exported;

    for (const HostileText& h : kTexts) {
        SCOPED_TRACE(h.label);
        db::SweepBundle b = hostileBundle(h.text);
        const db::SweepBundle asGiven = b;
        ASSERT_TRUE(db::import_sweep_bundle(b));

        // Stored: every field reads back as it went in, cut at its capacity.
        db::SweepBundle stored;
        ASSERT_TRUE(db::load_sweep_bundle(b.sweep.id, stored));
        expectSameFields(stored, asGiven, "stored");
        EXPECT_EQ(stored.sweep.basicPoints.size(), 3u);

        // The search finds the sweep by its name and the transformer by its identifier.
        const std::string id = std::to_string(b.sweep.id);
        const std::vector<std::string> sweeps = listed(db::kSweepsView, stored.sweep.name);
        EXPECT_NE(std::find(sweeps.begin(), sweeps.end(), id), sweeps.end());
        EXPECT_EQ(listed(db::kTransformersView, stored.transformer.identifier),
                  std::vector<std::string>{stored.transformer.identifier});

        // Each export writes its one file straight into the chosen folder, under a name that is
        // not hidden.
        const std::string folder = exports.file(h.label) + "/chosen";
        fs::create_directories(folder);
        ASSERT_EQ(interchange::exportSweepReports(folder, {stored}), 1);
        ASSERT_EQ(interchange::exportXml(folder, std::span(&stored, 1)), 1);
        const std::vector<std::string> files = filesUnder(exports.file(h.label));
        ASSERT_EQ(files.size(), 2u);
        for (const std::string& f : files) {
            EXPECT_EQ(fs::path(f).parent_path(), "chosen") << f;
            EXPECT_NE(fs::path(f).filename().string().front(), '.') << f;
        }
        const std::string csv = folder + "/" + fs::path(files[0]).filename().string();
        const std::string xml = folder + "/" + fs::path(files[1]).filename().string();
        EXPECT_TRUE(csv.ends_with(".csv") && xml.ends_with(".xml")) << csv << " " << xml;
        exported.push_back({stored, csv, xml});
    }
    EXPECT_EQ(value("SELECT count(*) FROM Sweep"), std::to_string(std::size(kTexts)));
    EXPECT_EQ(prompter.boxes.size(), 0u) << prompter.captions();

    // Every XML file is well-formed to a real XML parser.
    std::vector<std::string> args{"-c", "import sys, xml.dom.minidom as m\nfor f in sys.argv[1:]: m.parse(f)"};
    for (const Exported& e : exported) args.push_back(e.xml);
    const CommandResult parsed = runCommand("python3", args, exports.path(), exports.path());
    EXPECT_EQ(parsed.exitCode, 0) << parsed.err;

    // Imported into another database, the files give back what was exported.
    bool created = false;
    ASSERT_TRUE(db::open_database(dir.file("other.db"), db::OpenMode::CreateIfMissing, &created, db::Connection::Main));
    for (std::size_t i = 0; i < exported.size(); ++i) {
        SCOPED_TRACE(kTexts[i].label);
        const Exported& e = exported[i];
        db::SweepBundle read;
        ASSERT_EQ(interchange::importIntoDatabase(e.csv, read), interchange::ImportOutcome::Stored) << prompter.captions()
            << (prompter.boxes.empty() ? "" : prompter.boxes.back().text);
        db::SweepBundle back;
        ASSERT_TRUE(db::load_sweep_bundle(read.sweep.id, back));
        expectSameFields(back, e.stored, "CSV", csvRoundTrip);

        ASSERT_EQ(interchange::importIntoDatabase(e.xml, read), interchange::ImportOutcome::Stored);
        ASSERT_TRUE(db::load_sweep_bundle(read.sweep.id, back));
        expectSameFields(back, e.stored, "XML", xmlRoundTrip);
    }
    EXPECT_EQ(prompter.boxes.size(), 0u) << prompter.captions();
}
