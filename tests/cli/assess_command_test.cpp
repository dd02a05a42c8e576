// "corvane assess" end to end: sweeps stored by the db commands, the text report, the JSON object
// as another tool reads it, the three phases pairwise, and the failures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "support/run_command.h"
#include "support/temp_dir.h"

using namespace testing_support;

namespace {

class AssessCommandTest : public ::testing::Test {
protected:
    // A new database of transformer TX-100 with the default setups (OPEN1 H1-H0, OPEN2 H2-H0, OPEN3
    // H3-H0, OPEN4 X1-X3, ...) and one instrument.
    void SetUp() override {
        ASSERT_EQ(corvane({"db", "new", db(), "--type", "0", "--transformer", "TX-100", "--manufacturer", "Maker",
                           "--serial", "S-1", "--yes"}).exitCode, 0);
        ASSERT_EQ(corvane({"db", "add-equipment", db(), "--mode", "0", "--manufacturer", "Veltrona Ltd", "--instrument",
                           "QMX74", "--serial", "410-77"}).exitCode, 0);
    }

    CommandResult corvane(const std::vector<std::string>& args) {
        return runCommand(CORVANE_CLI, args, work.path(), home.path());
    }
    std::string db() const { return work.file("site.db"); }

    // Stores a basic FRA sweep (type 0) or an LCR one (type 2) of 300 log-spaced points from 20 Hz to
    // 2 MHz with setup setup; shift moves the resonances.
    void addSweep(const std::string& name, int setup, double shift = 0, int dataType = 0) {
        std::string points;
        for (int i = 0; i < 300; ++i) {
            const double f = 20 * std::pow(1e5, i / 299.0);
            char line[160];
            if (dataType == 0) std::snprintf(line, sizeof line, "%.6f,%.6f,0\n", f, -45 + 15 * std::sin(3 * std::log(f) + shift));
            else std::snprintf(line, sizeof line, "%.6f,1e-3,5,1000,-5,0.1,1e-9,10\n", f);
            points += line;
        }
        writeFile(work.file("points.csv"), points);
        CommandResult r = corvane({"db", "add-sweep", db(), "--mode", "2", "--name", name, "--transformer", "TX-100",
                                   "--setup", std::to_string(setup), "--equipment", "1", "--date", "2024-03-01",
                                   "--time", "10:00", "--type", std::to_string(dataType), "--points",
                                   work.file("points.csv")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }

    // What python3 prints for the expression on the JSON object in file (d), or "(no python3)".
    std::string jsonQuery(const std::string& file, const std::string& expression) {
        CommandResult r = runCommand("sh",
                                     {"-c",
                                      "command -v python3 >/dev/null || { echo '(no python3)'; exit 0; }; python3 -c "
                                      "'import json, sys; d = json.load(open(sys.argv[1])); print(" +
                                          expression + ")' \"$0\"",
                                      file},
                                     work.path(), home.path());
        return r.exitCode == 0 ? r.out : "python3 failed: " + r.err;
    }

    TempDir home, work;
};

}  // namespace

TEST_F(AssessCommandTest, ReportsFindingsIndicesAndBothVerdicts) {
    addSweep("Fingerprint", 1);
    addSweep("After fault", 1, 0.4);
    addSweep("Other winding", 4);  // OPEN4: X1-X3
    CommandResult text = corvane({"assess", "--db", db(), "1", "2", "--bands", "1000,100000,1000000"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("Comparability:\n  nothing found that makes the comparison doubtful\n"), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("\nDL/T 911: WARNING (Gentle Deformation)\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\nCustom correlation analysis (limits on Rxy): PASS\n"), std::string::npos);
    EXPECT_NE(text.out.find("\n  RHF "), std::string::npos);
    EXPECT_NE(text.out.find("\n  B2 "), std::string::npos);

    CommandResult json = corvane({"assess", "--db", db(), "1", "3", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    writeFile(work.file("a.json"), json.out);
    const std::string file = work.file("a.json");
    if (jsonQuery(file, "1") == "(no python3)\n") GTEST_SKIP() << "python3 reads the JSON";
    EXPECT_EQ(jsonQuery(file, "d[\"findings\"]"),
              "['Reference terminal differs: H1 against X1', 'Response terminal differs: H0 against X3']\n");
    EXPECT_EQ(jsonQuery(file, "d[\"custom\"], d[\"dlt911\"][\"verdict\"] in (\"PASS\", \"WARNING\", \"FAIL\", \"UNKNOWN\")"),
              "None True\n");
    EXPECT_EQ(jsonQuery(file, "[(b[\"name\"], b[\"low\"], b[\"high\"], sorted(b)) for b in d[\"dlt911\"][\"bands\"]][0]"),
              "('RLF', 1000, 100000, ['ASLE', 'CC', 'CSD', 'LRxy', 'MM', 'Rxy', 'SD', 'count', 'high', 'low', "
              "'maxAbsDiff', 'maxAbsDiffFrequency', 'name'])\n");
}

TEST_F(AssessCommandTest, ThreePhasesArePairedWithAnAbsentIndexAsNull) {
    addSweep("H1-H0", 1);
    addSweep("H2-H0", 2, 0.05);
    addSweep("H3-H0", 3, 0.1);
    // A band above the sweeps' last frequency has no points: its indices are null, and the findings
    // say that neither sweep covers it.
    CommandResult r = corvane({"assess", "--db", db(), "--phases", "1", "2", "3", "--json", "--bands",
                               "1000,100000,2000000,4000000", "--pass", "1,1,1", "--warning", "0.5,0.5,0.5"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    writeFile(work.file("p.json"), r.out);
    const std::string file = work.file("p.json");
    if (jsonQuery(file, "1") == "(no python3)\n") GTEST_SKIP() << "python3 reads the JSON";
    EXPECT_EQ(jsonQuery(file, "[(p[\"reference\"], p[\"sweep\"], p[\"kind\"], len(p[\"findings\"])) for p in d[\"pairs\"]]"),
              "[(1, 2, 'construction-based', 2), (2, 3, 'construction-based', 2), (3, 1, 'construction-based', 2)]\n");
    EXPECT_EQ(jsonQuery(file, "d[\"pairs\"][0][\"findings\"][1]"),
              "The sweep's frequency range (20 Hz to 2 MHz) does not cover B3 (2 MHz to 4 MHz)\n");
    EXPECT_EQ(jsonQuery(file, "d[\"pairs\"][0][\"custom\"][\"bands\"][2][\"count\"], "
                              "d[\"pairs\"][0][\"custom\"][\"bands\"][2][\"CC\"], d[\"pairs\"][0][\"custom\"][\"verdict\"]"),
              "0 None UNKNOWN\n");
}

TEST_F(AssessCommandTest, RefusesWhatItCannotAssess) {
    addSweep("Fingerprint", 1);
    addSweep("Impedance", 1, 0, 2);
    EXPECT_EQ(corvane({"assess", "--db", db(), "1"}).exitCode, 2);
    EXPECT_EQ(corvane({"assess", "--db", db(), "1", "1", "--bands", "100000,1000"}).exitCode, 2);
    EXPECT_EQ(corvane({"assess", "--db", db(), "1", "1", "--bands", "1000,100000", "--pass", "1,2"}).exitCode, 2);
    EXPECT_EQ(corvane({"assess", "--db", db(), "1", "1", "--pass", "1"}).exitCode, 2);
    CommandResult lcr = corvane({"assess", "--db", db(), "1", "2"});
    EXPECT_EQ(lcr.exitCode, 1);
    EXPECT_EQ(lcr.err, "corvane: sweep 2 is an LCR sweep; an assessment compares FRA sweeps\n");
    EXPECT_EQ(corvane({"assess", "--db", db(), "1", "9"}).exitCode, 1);
}
