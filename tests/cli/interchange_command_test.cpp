// corvane import and export: sweep files out of one database and into another.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "support/run_command.h"
#include "support/temp_dir.h"

using namespace testing_support;

namespace {

class InterchangeCommandTest : public ::testing::Test {
protected:
    CommandResult corvane(const std::vector<std::string>& args) {
        return runCommand(CORVANE_CLI, args, work.path(), home.path());
    }
    // A database with one FRA sweep (id 1) of three points and one impedance sweep (id 2).
    void prepare(const std::string& db) {
        ASSERT_EQ(corvane({"db", "info", db}).exitCode, 0);
        ASSERT_EQ(corvane({"db", "add-transformer", db, "--mode", "0", "--identifier", "TX <1> & \"A\"",
                           "--manufacturer", "O'Neil", "--serial", "9"})
                      .exitCode,
                  0);
        writeFile(work.file("fra.csv"), "20,1,0.01,-40,-80,0.001\n2000,1,0.1,-20,-45,0.0001\n200000,1,0.5,-6,10,0\n");
        writeFile(work.file("lcr.csv"), "100,0.001,-80,1000,80,1.5,0,170\n1000,0.0005,-85,2000,85,0.3,0,175\n");
        ASSERT_EQ(corvane({"db", "add-sweep", db, "--mode", "2", "--name", "Tap5 <HV> & \"LV\"", "--transformer", "TX <1> & \"A\"",
                           "--setup", "1", "--equipment", "1", "--date", "2013-07-01", "--time", "13:48", "--type", "1",
                           "--points", work.file("fra.csv")})
                      .exitCode,
                  0);
        ASSERT_EQ(corvane({"db", "add-sweep", db, "--mode", "2", "--name", "Impedance", "--transformer", "TX <1> & \"A\"",
                           "--setup", "1", "--equipment", "1", "--date", "2013-07-02", "--time", "09:00", "--type", "2",
                           "--points", work.file("lcr.csv")})
                      .exitCode,
                  0);
    }

    TempDir home, work;
};

}  // namespace

TEST_F(InterchangeCommandTest, ExportedFilesImportIntoAnotherDatabase) {
    const std::string source = work.file("site.db"), target = work.file("office.db");
    prepare(source);
    const std::string out = work.file("out");
    std::filesystem::create_directories(out);
    EXPECT_EQ(corvane({"export", "csv", "--db", source, out, "1", "2"}).out, "exported: 2\n");
    EXPECT_EQ(corvane({"export", "xml", "--db", source, out, "1"}).out, "exported: 1\n");
    const std::string xml = out + "/Tap5 _HV_ & _LV__01-07-2013.xml";
    ASSERT_TRUE(std::filesystem::exists(xml));
    ASSERT_TRUE(std::filesystem::exists(out + "/Impedance_02-07-2013.csv"));
    EXPECT_NE(readFile(xml).find("<Transformer identifier=\"TX &lt;1&gt; &amp; &quot;A&quot;\">"), std::string::npos);
    EXPECT_NE(readFile(xml).find("<Manufacturer>O&apos;Neil</Manufacturer>"), std::string::npos);

    // Exporting again asks before overwriting; without --yes the files stay as they were.
    CommandResult again = corvane({"export", "csv", "--db", source, out, "1"});
    EXPECT_EQ(again.out, "exported: 0\n");
    EXPECT_NE(again.err.find("Overwrite test?: "), std::string::npos);
    EXPECT_EQ(corvane({"export", "csv", "--db", source, out, "1", "--yes"}).out, "exported: 1\n");

    ASSERT_EQ(corvane({"db", "info", target}).exitCode, 0);
    writeFile(out + "/notes.doc", "not a sweep");
    CommandResult imported = corvane({"import", "--db", target, out + "/Tap5 _HV_ & _LV__01-07-2013.csv",
                                      out + "/Impedance_02-07-2013.csv", xml, out + "/notes.doc"});
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_NE(imported.out.find("imported: Tap5 <HV> & \"LV\"\n"), std::string::npos) << imported.out;
    EXPECT_NE(imported.out.find("imported: Impedance\n"), std::string::npos) << imported.out;
    EXPECT_NE(imported.out.find("skipped: " + out + "/notes.doc\n"), std::string::npos);
    EXPECT_EQ(std::count(imported.out.begin(), imported.out.end(), '\n'), 4);
    EXPECT_EQ(corvane({"db", "rows", target, "Data_LCR", "--columns", "2,7"}).out, "100.0\t1.5\n1000.0\t0.3\n");
    EXPECT_NE(corvane({"db", "info", target}).out.find("Sweep: 3\nData: 3\nData_FRA: 3\nData_LCR: 2\n"),
              std::string::npos);
}

TEST_F(InterchangeCommandTest, ImpedanceTablesAndRefusals) {
    const std::string db = work.file("site.db");
    prepare(db);
    EXPECT_EQ(corvane({"export", "impedance", "--db", db, "2", work.file("table")}).exitCode, 0);
    EXPECT_TRUE(readFile(work.file("table.csv")).starts_with("File Version,1.0\r\nSteps,2\r\n"));
    EXPECT_EQ(corvane({"export", "impedance", "--db", db, "1", work.file("t2")}).exitCode, 1);  // not an impedance sweep
    EXPECT_EQ(corvane({"export", "csv", "--db", db, work.path(), "9"}).exitCode, 1);
    EXPECT_EQ(corvane({"export", "pdf", "--db", db, work.path(), "1"}).exitCode, 2);
    writeFile(work.file("broken.xml"), "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<IECFraFile version=\"1.0\">\n");
    CommandResult broken = corvane({"import", "--db", db, work.file("broken.xml")});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_NE(broken.err.find("Import Error: "), std::string::npos);
    EXPECT_NE(corvane({"db", "info", db}).out.find("Sweep: 2\n"), std::string::npos);
}

// A network analyser's file: 1000 points with four comment lines, S21 falling and rising over the
// winding's resonances.
std::string analyserFile(double shift) {
    std::string text = "!Rohde-Schwarz,ZNL6,101234,2.10\n!Date: 2024-03-05 10:30:12\n!Trace: S21\n!Averages: 4\n"
                       "# Hz S DB R 50\n";
    for (int k = 0; k < 1000; ++k) {
        const double f = 20 * std::pow(1e5, k / 999.0);
        char line[160];
        std::snprintf(line, sizeof line, "%.9g -1 0 %.6f %.3f -30 0 -1 0\n", f, -40 + 12 * std::sin(std::log(f) * 3 * shift),
                      -0.09 * k);
        text += line;
    }
    return text;
}

TEST_F(InterchangeCommandTest, NetworkAnalyserFilesImportAndAreAssessedAndPlotted) {
    const std::string db = work.file("vna.db");
    ASSERT_EQ(corvane({"db", "info", db}).exitCode, 0);
    writeFile(work.file("HV1 2019.s2p"), analyserFile(1.0));
    writeFile(work.file("HV1 2024.S2P"), analyserFile(1.03));
    CommandResult imported = corvane({"import", "--db", db, work.file("HV1 2019.s2p"), work.file("HV1 2024.S2P")});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(imported.out, "imported: HV1 2019\nimported: HV1 2024\n");
    EXPECT_EQ(corvane({"db", "rows", db, "Equipment", "--columns", "1,2,3"}).out.find("Rohde-Schwarz\tZNL6\t101234\n"), 0u);

    CommandResult assessed = corvane({"assess", "--db", db, "1", "2", "--json"});
    ASSERT_EQ(assessed.exitCode, 0) << assessed.err;
    EXPECT_NE(assessed.out.find("\"count\":155"), std::string::npos) << "the middle band's points";
    EXPECT_EQ(corvane({"plot", "--db", db, "--diagnose", "1", "2", "--out", work.file("d.svg")}).exitCode, 0);
    EXPECT_TRUE(std::filesystem::file_size(work.file("d.svg")) > 1000);

    // S12 is chosen by name; a reflection or a port beyond the file is no transmission to read.
    CommandResult s12 = corvane({"import", "--db", db, work.file("HV1 2019.s2p"), "--parameter", "s12"});
    ASSERT_EQ(s12.exitCode, 0) << s12.err;
    EXPECT_EQ(corvane({"db", "rows", db, "Data", "--columns", "3", "--where", "WHERE Sweep_Id='3'"}).out.substr(0, 6),
              "-30.0\n");
    EXPECT_EQ(corvane({"import", "--db", db, work.file("HV1 2019.s2p"), "--parameter", "S11"}).exitCode, 2);
    CommandResult beyond = corvane({"import", "--db", db, work.file("HV1 2019.s2p"), "--parameter", "S31"});
    EXPECT_EQ(beyond.exitCode, 1);
    EXPECT_NE(beyond.err.find("Import Error: HV1 2019.s2p: it has 2 ports; S31 needs 3"), std::string::npos) << beyond.err;
    EXPECT_NE(corvane({"db", "info", db}).out.find("Sweep: 3\n"), std::string::npos);
}
