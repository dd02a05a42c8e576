// "corvane plot" end to end: sweeps stored through the record store by the db commands, the graph
// written as SVG, the diagnosis view, and the exit codes and messages of the failures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "support/run_command.h"
#include "support/temp_dir.h"

using namespace testing_support;

namespace {

class PlotCommandTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(corvane({"db", "info", db()}).exitCode, 0); }

    CommandResult corvane(const std::vector<std::string>& args) {
        return runCommand(CORVANE_CLI, args, work.path(), home.path());
    }
    std::string db() const { return work.file("site.db"); }
    std::string svg() const { return work.file("graph.svg"); }

    // Stores a sweep of the data type with 200 log-spaced points from 20 Hz to 2 MHz; offset shifts
    // the resonances of the gain.
    void addSweep(const std::string& name, int dataType, double offset = 0) {
        std::string points;
        for (int i = 0; i < 200; ++i) {
            const double f = 20 * std::pow(1e5, i / 199.0);
            const double gain = -45 + 15 * std::sin(3 * std::log(f) + offset), phase = 80 * std::cos(2 * std::log(f));
            char line[160];
            if (dataType == 0) std::snprintf(line, sizeof line, "%.6f,%.6f,%.6f\n", f, gain, phase);
            else std::snprintf(line, sizeof line, "%.6f,1e-3,5,1000,-5,0.1,1e-9,10\n", f);
            points += line;
        }
        writeFile(work.file("points.csv"), points);
        CommandResult r = corvane({"db", "add-sweep", db(), "--mode", "2", "--name", name, "--transformer", "T1",
                                   "--setup", "1", "--equipment", "1", "--date", "2024-03-01", "--time", "10:00",
                                   "--type", std::to_string(dataType), "--points", work.file("points.csv")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }

    // "" when python3's XML parser reads the file (or python3 is not there), otherwise its complaint.
    std::string xmlParseProblem(const std::string& path) {
        CommandResult r = runCommand("sh",
                                     {"-c",
                                      "command -v python3 >/dev/null || exit 0; python3 -c 'import sys, "
                                      "xml.etree.ElementTree as E; E.parse(sys.argv[1])' \"$0\"",
                                      path},
                                     work.path(), home.path());
        return r.exitCode == 0 ? "" : r.err;
    }

    TempDir home, work;
};

}  // namespace

TEST_F(PlotCommandTest, WritesTheGraphWithTheSweepNamesInTheLegend) {
    addSweep("HV-A <1>", 0);
    addSweep("HV-B & C", 0, 0.2);
    CommandResult r = corvane({"plot", "--db", db(), "1", "2", "--out", svg()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string doc = readFile(svg());
    ASSERT_TRUE(doc.starts_with("<?xml")) << doc.substr(0, 200);
    EXPECT_EQ(xmlParseProblem(svg()), "");
    EXPECT_NE(doc.find(">HV-A &lt;1&gt;</text>"), std::string::npos);
    EXPECT_NE(doc.find(">HV-B &amp; C</text>"), std::string::npos);
    EXPECT_NE(doc.find(">GAIN (dB)</text>"), std::string::npos);
    EXPECT_NE(doc.find(">PHASE (°)</text>"), std::string::npos);
    EXPECT_NE(doc.find(">No Diagnosis Info.</text>"), std::string::npos);
    EXPECT_NE(doc.find(">1k</text>"), std::string::npos);  // decade labels of the logarithmic axis
    EXPECT_NE(doc.find(">1M</text>"), std::string::npos);
    EXPECT_NE(doc.find("width=\"1024\" height=\"625\""), std::string::npos);
    EXPECT_NE(doc.find("<rect x=\"0\" y=\"0\" width=\"1024\" height=\"625\" fill=\"#000000\"/>"), std::string::npos);
}

TEST_F(PlotCommandTest, AxisKindBackgroundAndSize) {
    addSweep("Open", 0);
    CommandResult r =
        corvane({"plot", "--db", db(), "1", "--out", svg(), "--linear", "--background", "white", "--size", "800x520"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string doc = readFile(svg());
    EXPECT_EQ(xmlParseProblem(svg()), "");
    EXPECT_NE(doc.find("<rect x=\"0\" y=\"0\" width=\"800\" height=\"520\" fill=\"#ffffff\"/>"), std::string::npos);
    EXPECT_NE(doc.find("stroke-dasharray=\"3,3\""), std::string::npos);  // the dotted grid of a linear axis
    EXPECT_EQ(doc.find(">1k</text>"), std::string::npos);
}

TEST_F(PlotCommandTest, DiagnoseDrawsTheTwoGainCurvesAndTheResults) {
    addSweep("Finger", 0);
    addSweep("Repeat", 0);
    addSweep("Other", 0, 1.0);
    CommandResult r = corvane({"plot", "--db", db(), "3", "--diagnose", "1", "2", "--out", svg()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string doc = readFile(svg());
    EXPECT_EQ(xmlParseProblem(svg()), "");
    EXPECT_NE(doc.find(">PASS</text>"), std::string::npos);
    EXPECT_NE(doc.find(">Normal Winding</text>"), std::string::npos);
    EXPECT_NE(doc.find(">10.0000</text>"), std::string::npos);
    EXPECT_NE(doc.find(">Finger</text>"), std::string::npos);
    EXPECT_NE(doc.find(">Repeat</text>"), std::string::npos);
    EXPECT_NE(doc.find(">Other</text>"), std::string::npos);
    EXPECT_EQ(doc.find(">No Diagnosis Info.</text>"), std::string::npos);
    // Only the two gain curves are drawn, over their difference curve with the bands marked.
    int curves = 0;
    for (std::size_t p = doc.find("<polyline"); p != std::string::npos; p = doc.find("<polyline", p + 1)) ++curves;
    EXPECT_EQ(curves, 3);
    EXPECT_NE(doc.find(">Difference (dB) \xC2\xB1" "1</text>"), std::string::npos) << "the same sweep twice: 0 dB";
    EXPECT_NE(doc.find(">RMF</text>"), std::string::npos);

    CommandResult same = corvane({"plot", "--db", db(), "--diagnose", "2", "2", "--out", svg()});
    EXPECT_EQ(same.exitCode, 2);
    EXPECT_NE(same.err.find("Error: The fingerprint and diagnosis sweep cannot be the same sweep"), std::string::npos);
}

TEST_F(PlotCommandTest, FailuresAndUsageErrors) {
    addSweep("Open", 0);
    addSweep("Imp", 2);
    auto plot = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = {"plot", "--db", db()};
        args.insert(args.end(), extra.begin(), extra.end());
        return corvane(args);
    };
    CommandResult ten = plot({"1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "--out", svg()});
    EXPECT_EQ(ten.exitCode, 2);
    EXPECT_NE(ten.err.find("at most 9 sweeps"), std::string::npos);
    EXPECT_NE(ten.err.find("corvane plot --db PATH ID... --out FILE.svg"), std::string::npos);
    EXPECT_EQ(plot({"1", "1", "1", "1", "1", "1", "1", "1", "1", "--out", svg()}).exitCode, 0);
    EXPECT_EQ(plot({"--out", svg()}).exitCode, 2);
    EXPECT_EQ(plot({"one", "--out", svg()}).exitCode, 2);
    EXPECT_EQ(plot({"1"}).exitCode, 2);
    EXPECT_EQ(plot({"1", "--out", svg(), "--background", "red"}).exitCode, 2);
    EXPECT_EQ(plot({"1", "--out", svg(), "--size", "10x10"}).exitCode, 2);
    EXPECT_EQ(plot({"1", "--out", svg(), "--diagnose", "1"}).exitCode, 2);

    std::remove(svg().c_str());
    CommandResult unknown = plot({"1", "99", "--out", svg()});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.err.find("no sweep with id 99"), std::string::npos);
    EXPECT_EQ(readFile(svg()), "");

    CommandResult mixed = plot({"1", "2", "--out", svg()});
    EXPECT_EQ(mixed.exitCode, 1);
    EXPECT_NE(mixed.err.find("Error: Test Mismatch: LCR an FRA tests cannot be graphed together"), std::string::npos);

    EXPECT_EQ(plot({"2", "--out", svg()}).exitCode, 0);
    EXPECT_NE(readFile(svg()).find(">ADMITTANCE (S)</text>"), std::string::npos);

    EXPECT_EQ(plot({"1", "--out", work.file("no/such/folder/graph.svg")}).exitCode, 1);
    CommandResult missing = corvane({"plot", "--db", work.file("absent.db"), "1", "--out", svg()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Database Error"), std::string::npos);
}
