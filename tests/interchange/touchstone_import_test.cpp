// The Touchstone reader against hand-written files of each version, unit, format, wrapping and
// comment placement, its refusals, the instrument and date its comments give, and the thinning of
// long files; the gains and phases expected are converted here from the values written, with
// std::complex, apart from the reader's own arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "db/db_fixture.h"
#include "interchange/import_file.h"
#include "interchange/touchstone_import.h"
#include "support/records.h"

using namespace interchange;
using namespace testing_support;

namespace {

// What a file holds of its transmission: frequency in Hz and the pair as written.
struct Written {
    double frequency;
    double a, b;
};
enum class As { MA, DB, RI };

db::BasicFraPoint expected(const Written& w, As as) {
    if (as == As::DB) return {w.frequency, w.a, w.b};
    const std::complex<double> s = as == As::RI ? std::complex<double>(w.a, w.b)
                                                : std::polar(w.a, w.b * std::acos(-1.0) / 180);
    const double phase = as == As::RI ? std::arg(s) * 180 / std::acos(-1.0) : w.b;
    return {w.frequency, 10 * std::log10(std::norm(s)), phase};
}

struct FileCase {
    const char* what;
    int ports;  // as the name gives them
    const char* text;
    TouchstoneParameter parameter;
    As as;
    std::vector<Written> points;
};

const FileCase kFiles[] = {
    {"version 1, two ports, MA in kHz, CR LF, tabs, a comment after data", 2,
     "! two-port\r\n# kHz S MA R 50\r\n1\t0.5 10  0.25 -20\t0.1 0 0.9 5 ! S21 is 0.25 at -20\r\n"
     "10 0.5 10 0.125 -90.5 0.1 0 0.9 5\r\n",
     {}, As::MA, {{1e3, 0.25, -20}, {1e4, 0.125, -90.5}}},
    {"version 1, DB in hz written small, exponents as analysers write them", 2,
     "#hz s db r 50\n20 -1 0 -2.000000e+001 -1.700000e+002 -3 0 -1 0\n2.5E+03 -1 0 -4.05e1 1.5e2 -3 0 -1 0\n",
     {}, As::DB, {{20, -20, -170}, {2500, -40.5, 150}}},
    {"version 1, RI in MHz without R, S12 chosen", 2,
     "# MHz RI S\n0.5 0 0 0.3 0.4 -0.6 -0.8 0 0\n1.5 0 0 -0.5 0 1e-3 -1e-3 0 0\n",
     {1, 2}, As::RI, {{5e5, -0.6, -0.8}, {1.5e6, 1e-3, -1e-3}}},
    {"no option line: GHz, S, MA", 2, "1 0 0 0.5 45 0 0 0 0\n2 0 0 0.5 -45 0 0 0 0\n", {}, As::MA,
     {{1e9, 0.5, 45}, {2e9, 0.5, -45}}},
    {"version 1, three ports, a row a line, S21 on the second", 3,
     "# Hz S RI R 50\n"
     "100 0.1 0 0.2 0 0.3 0\n 0.4 0.5 0.6 0 0.7 0 ! row 2\n 0.8 0 0.9 0 1 0\n"
     "200 0.1 0 0.2 0 0.3 0\n -0.25 0 0.6 0 0.7 0\n 0.8 0 0.9 0 1 0\n",
     {}, As::RI, {{100, 0.4, 0.5}, {200, -0.25, 0}}},
    {"version 1, four ports, S31 chosen", 4,
     "# khz s ma\n"
     "1 1 0 1 0 1 0 1 0\n 1 0 1 0 1 0 1 0\n 0.5 33 1 0 1 0 1 0\n 1 0 1 0 1 0 1 0\n"
     "2 1 0 1 0 1 0 1 0\n 1 0 1 0 1 0 1 0\n 0.25 -66 1 0 1 0 1 0\n 1 0 1 0 1 0 1 0\n",
     {3, 1}, As::MA, {{1e3, 0.5, 33}, {2e3, 0.25, -66}}},
    {"version 1, two ports, noise parameters after the network data", 2,
     "# Hz S DB\n100 0 0 -10 5 0 0 0 0\n200 0 0 -12 6 0 0 0 0\n! noise\n100 1.5 0.5 10 0.2\n200 1.6 0.5 11 0.2\n",
     {}, As::DB, {{100, -10, 5}, {200, -12, 6}}},
    {"version 2, 12_21 order, reference over lines, comments between keywords", 0,
     "! made by hand\n[Version] 2.0\n# MHz S RI R 50\n[Number of Ports] 2\n! the order\n[Two-Port Data Order] 12_21\n"
     "[Number of Frequencies] 2\n[Reference] 50\n50\n[Network Data]\n1 0 0 9 9 0.6 0.8 0 0\n2 0 0 9 9 0 -0.5 0 0\n[End]\n",
     {}, As::RI, {{1e6, 0.6, 0.8}, {2e6, 0, -0.5}}},
    {"version 2, 21_12 order, one record wrapped over lines", 2,
     "[version] 2.1\n# GHz S MA\n[Number of Ports] 2\n[Two-Port Data Order] 21_12\n[Number of Frequencies] 2\n"
     "[Network Data]\n1 0 0\n 0.7 12 9 9\n 0 0\n2 0 0 0.35 24 9 9 0 0\n[Noise Data]\n1 2 3 4 5\n[End]\n",
     {}, As::MA, {{1e9, 0.7, 12}, {2e9, 0.35, 24}}},
    {"version 2, three ports in a lower triangle", 3,
     "[Version] 2.0\n# Hz S DB\n[Number of Ports] 3\n[Matrix Format] Lower\n[Begin Information]\n1 2 3\n[End Information]\n"
     "[Network Data]\n10 0 0\n -6 30 0 0\n 0 0 0 0 0 0\n20 0 0 -7 31 0 0 0 0 0 0 0 0\n",
     {}, As::DB, {{10, -6, 30}, {20, -7, 31}}},
};

}  // namespace

TEST(Touchstone, EachVersionUnitFormatAndWrappingGivesTheWrittenTransmission) {
    for (const FileCase& c : kFiles) {
        SCOPED_TRACE(c.what);
        TouchstoneSweep sweep;
        ASSERT_EQ(readTouchstone(c.text, c.ports, c.parameter, sweep), "");
        ASSERT_EQ(sweep.points.size(), c.points.size());
        for (std::size_t i = 0; i < c.points.size(); ++i) {
            const db::BasicFraPoint want = expected(c.points[i], c.as);
            EXPECT_DOUBLE_EQ(sweep.points[i].frequency, want.frequency) << i;
            EXPECT_NEAR(sweep.points[i].amplitude, want.amplitude, 1e-9) << i;
            EXPECT_NEAR(sweep.points[i].phase, want.phase, 1e-9) << i;
        }
        EXPECT_TRUE(sweep.manufacturer.empty() && sweep.date.empty());
    }
}

TEST(Touchstone, RefusesWhatIsNoTransmissionOrNotWhole) {
    const struct {
        const char* text;
        int ports;
        TouchstoneParameter parameter;
        const char* reason;
    } refused[] = {
        {"# Hz S MA\n1 0.5 0\n2 0.5 0\n", 1, {}, "a 1-port file holds no transmission"},
        {"[Version] 2.0\n# Hz S MA\n[Number of Ports] 1\n[Network Data]\n1 0.5 0\n", 2, {}, "a 1-port file holds no transmission"},
        {"# Hz Y MA\n1 0 0 1 0 0 0 0 0\n", 2, {}, "it holds Y-parameters; a winding's transfer is read as S-parameters"},
        {"# Hz z ri\n1 0 0 1 0 0 0 0 0\n", 2, {}, "it holds Z-parameters; a winding's transfer is read as S-parameters"},
        {"# Hz S MA\n1 0 0 1 0 0 0 0 0\n", 2, {3, 1}, "it has 2 ports; S31 needs 3"},
        {"# Hz S MA\n1 0 0 1 0 0 0 0 0\n2 0 0 1 0 0 0 0\n3 0 0 1 0 0 0 0 0\n", 2, {},
         "the point at line 3 has 17 values where 9 belong"},
        {"# Hz S MA\n1 0 0 1 0 0 0 0 0\n2 0 0 1 0 0 0 0\n", 2, {}, "the point at line 3 has 8 values where 9 belong"},
        {"# Hz S MA\n1 0 0 1 0 0 0 0 0\n1 0 0 1 0 0 0 0 0\n", 2, {}, "the frequency at line 3 is not above the one before"},
        {"# Hz S MA\n2 0 0 1 0 0 0 0 0\n1 0 0 1 0 0 0 0 0\n", 2, {}, "the frequency at line 3 is not above the one before"},
        {"! nothing but comments\n# Hz S MA\n", 2, {}, "it holds no network data"},
        {"", 2, {}, "it holds no network data"},
        {"[Version] 2.0\n# Hz S MA\n[Number of Ports] 2\n[Number of Frequencies] 3\n[Network Data]\n1 0 0 1 0 0 0 0 0\n", 2,
         {}, "it announces 3 frequencies and holds 1"},
        {"# Hz S MA\n1 0 0 0 0 0 0 0 0\n", 2, {}, "S21 is zero at 1 Hz and has no gain in dB"},
        {"# Hz S RI\n1 0 0 0 0 0 0 0 0\n", 2, {}, "S21 is zero at 1 Hz and has no gain in dB"},
        {"# Hz S MA\n1 0 0 one 0 0 0 0 0\n", 2, {}, "not a Touchstone file: line 2 holds \"one\""},
        {"[Number of Ports] 2\n1 0 0 1 0 0 0 0 0\n", 2, {}, "the keyword [number of ports] stands before [Version]"},
        {"# Hz S XY\n", 2, {}, "not a Touchstone file: its option line holds \"xy\""},
        {"1 0 0 1 0 0 0 0 0\n# Hz S MA\n2 0 0 1 0 0 0 0 0\n", 2, {}, "its option line stands after network data"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.reason);
        TouchstoneSweep sweep;
        sweep.points.push_back({});
        EXPECT_EQ(readTouchstone(r.text, r.ports, r.parameter, sweep), r.reason);
        EXPECT_TRUE(sweep.points.empty());
    }
    TouchstoneSweep sweep;
    EXPECT_EQ(readTouchstone(std::string("# Hz S MA\n1 0 0 1\0 0 0 0 0\n", 24), 2, {}, sweep),
              "not a Touchstone file: it holds binary data");
}

TEST(Touchstone, CommentDatesInTheFormsAnalysersWrite) {
    const struct {
        const char* text;
        const char* date;
        const char* time;
    } dates[] = {
        {"2024-03-05 10:30:12", "2024-03-05", "10:30"},      {"2024-03-05T10:30:12Z", "2024-03-05", "10:30"},
        {"05.03.2024 10:30", "2024-03-05", "10:30"},         {"Tuesday, March 05, 2024 10:30:12", "2024-03-05", "10:30"},
        {"Tue Mar 05 10:30:12 2024", "2024-03-05", "10:30"}, {"05 Mar 2024", "2024-03-05", ""},
        {"March 5, 2024 01:15:00 PM", "2024-03-05", "13:15"}, {"2024/02/29 12:00 AM", "2024-02-29", "00:00"},
    };
    for (const auto& d : dates) {
        std::string date, time;
        ASSERT_TRUE(commentDate(d.text, date, time)) << d.text;
        EXPECT_EQ(date, d.date) << d.text;
        EXPECT_EQ(time, d.time) << d.text;
    }
    for (const char* none : {"03/05/2024", "31.02.2024", "2023-02-29", "yesterday", "10:30", "99999999999 Mar 2024"}) {
        std::string date, time;
        EXPECT_FALSE(commentDate(none, date, time)) << none;
    }
}

namespace {

class TouchstoneFile : public DbTest {
protected:
    std::string file(const std::string& name, const std::string& text) {
        writeFile(dir.file(name), text);
        return dir.file(name);
    }
};

// An analyser's file of n points from 1 kHz up, S21 falling 1 dB a point.
std::string analyserFile(int n) {
    std::string text = "!Keysight Technologies,E5061B,MY123456,A.03.20\n!Date: Tuesday, March 05, 2024 10:30:12\n"
                       "!Measurement: S21\n!Correction: ON\n# Hz S DB R 50\n";
    for (int i = 0; i < n; ++i)
        text += std::to_string(1000 + 10 * i) + " 0 0 " + std::to_string(-i % 90) + " 45 0 0 0 0\n";
    return text;
}

}  // namespace

TEST_F(TouchstoneFile, ImportsWithTheInstrumentAndDateItsCommentsGiveAndIsStored) {
    db::SweepBundle b;
    ASSERT_TRUE(importTouchstoneFile(file("HV1 phase A.s2p", analyserFile(1001)), b));
    EXPECT_TRUE(prompter.boxes.empty());
    EXPECT_EQ(b.sweep.name, "HV1 phase A");
    EXPECT_EQ(b.sweep.dataType, db::kDataBasicFra);
    EXPECT_EQ(b.sweep.date, "2024-03-05");
    EXPECT_EQ(b.sweep.time, "10:30");
    EXPECT_EQ(b.equipment.manufacturer, "Keysight Technologies");
    EXPECT_EQ(b.equipment.instrument, "E5061B");
    EXPECT_EQ(b.equipment.serialNumber, "MY123456");
    EXPECT_EQ(b.transformer.identifier, "Unknown");
    ASSERT_EQ(b.sweep.pointCount(), 1001);
    EXPECT_EQ(b.sweep.basicPoints[1000].frequency, 11000);
    ASSERT_EQ(importIntoDatabase(file("second.S2P", analyserFile(20)), b), ImportOutcome::Stored);
    EXPECT_EQ(value("SELECT count(*) FROM Data"), "20");

    // Without those comments: the defaults of a file that names nothing.
    ASSERT_TRUE(importTouchstoneFile(file("bare.s3p", "# Hz S DB\n1 0 0 0 0 0 0\n 7 8 0 0 0 0\n 0 0 0 0 0 0\n"), b));
    EXPECT_EQ(b.equipment.instrument, "Unknown");
    EXPECT_EQ(b.equipment.serialNumber, "Unknown");
    EXPECT_TRUE(b.sweep.date.empty());
    EXPECT_EQ(b.sweep.basicPoints[0].amplitude, 7);
}

TEST_F(TouchstoneFile, ALongFileIsThinnedEvenlyOverItsWholeRangeAndTheUserIsTold) {
    db::SweepBundle b;
    ASSERT_TRUE(importTouchstoneFile(file("long.s2p", analyserFile(5001)), b));
    ASSERT_EQ(b.sweep.pointCount(), 2000);
    EXPECT_EQ(b.sweep.basicPoints.front().frequency, 1000);
    EXPECT_EQ(b.sweep.basicPoints.back().frequency, 1000 + 10 * 5000) << "never cut at the top";
    double widest = 0, narrowest = 1e9;
    for (std::size_t i = 1; i < b.sweep.basicPoints.size(); ++i) {
        const double step = b.sweep.basicPoints[i].frequency - b.sweep.basicPoints[i - 1].frequency;
        widest = std::max(widest, step);
        narrowest = std::min(narrowest, step);
    }
    EXPECT_LE(widest - narrowest, 10) << "the kept points lie evenly, at most one file step apart";
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].caption, "Import");
    EXPECT_EQ(prompter.boxes[0].text, "long.s2p: 2000 of its 5001 points were kept, spread evenly over the whole frequency range");
}

TEST_F(TouchstoneFile, ARefusedFileNamesItselfAndStoresNothing) {
    const struct {
        const char* name;
        const char* text;
    } files[] = {{"one.s2p", "[Version] 2.0\n# Hz S MA\n[Number of Ports] 1\n[Network Data]\n1 0.5 0\n"},
                 {"admittance.s2p", "# Hz Y MA\n1 0 0 1 0 0 0 0 0\n"},
                 {"empty.s4p", "! nothing\n"}};
    const char* messages[] = {"one.s2p: a 1-port file holds no transmission",
                              "admittance.s2p: it holds Y-parameters; a winding's transfer is read as S-parameters",
                              "empty.s4p: it holds no network data"};
    for (std::size_t i = 0; i < 3; ++i) {
        prompter.boxes.clear();
        db::SweepBundle b;
        EXPECT_EQ(importIntoDatabase(file(files[i].name, files[i].text), b), ImportOutcome::Refused);
        expectImportRefused(b, prompter, messages[i]);
    }
    EXPECT_EQ(value("SELECT count(*) FROM Sweep"), "0");
    EXPECT_EQ(value("SELECT count(*) FROM Equipment"), "0");
    db::SweepBundle b;
    EXPECT_EQ(importIntoDatabase(dir.file("sweep.s5p"), b), ImportOutcome::Skipped);
}
