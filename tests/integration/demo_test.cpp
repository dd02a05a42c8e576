// The main job of run.sh, run on the test build against the fast simulator: its verdicts and the
// files it leaves behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_command.h"
#include "support/temp_dir.h"

using namespace testing_support;

// What the job's sweeps and the simulator said, for a failure's message.
std::string sweepLogs(const std::string& out) {
    std::string logs;
    for (const char* name : {"fingerprint", "repeat", "deformed"})
        logs += std::string("--- ") + name + "\n" + readFile(out + "/" + name + ".txt") + readFile(out + "/" + name + ".log");
    return logs + "--- simulator\n" + readFile(out + "/simulator.txt");
}

TEST(MainJob, RepeatPassesDeformedFailsAndTheFilesAreValid) {
    TempDir home, work;
    const std::string out = work.file("run");
    CommandResult r = runCommand(CORVANE_SOURCE_DIR "/tools/demo.sh", {CORVANE_BINARY_DIR, out, "--fast"}, work.path(),
                                 home.path());
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err << sweepLogs(out);
    EXPECT_NE(r.out.find("Repeat test against the fingerprint:   PASS\n"), std::string::npos) << r.out;
    const bool deformedFlagged = r.out.find("Deformed winding against the fingerprint: FAIL\n") != std::string::npos ||
                                 r.out.find("Deformed winding against the fingerprint: WARNING\n") != std::string::npos;
    EXPECT_TRUE(deformedFlagged) << r.out;
    EXPECT_NE(r.out.find("(6 sweeps)"), std::string::npos) << r.out;

    int xml = 0, csv = 0;
    for (const auto& entry : std::filesystem::directory_iterator(out + "/export")) {
        const std::string path = entry.path().string();
        if (entry.path().extension() == ".csv") {
            ++csv;
            EXPECT_TRUE(readFile(path).starts_with("File Version:\t1.0\r\n")) << path;
        }
        if (entry.path().extension() != ".xml") continue;
        ++xml;
        // A real XML parser must accept every file.
        CommandResult parsed = runCommand(
            "python3", {"-c", "import sys, xml.etree.ElementTree as E; E.parse(sys.argv[1]); print('ok')", path},
            work.path(), home.path());
        EXPECT_EQ(parsed.out, "ok\n") << path << parsed.err;
    }
    EXPECT_EQ(xml, 3);
    EXPECT_EQ(csv, 3);
    // The assessment's indices agree with the formulas, computed apart from the program on the
    // measured points as the database holds them.
    CommandResult oracle = runCommand(CORVANE_SOURCE_DIR "/tests/integration/assessment_oracle.py",
                                      {out + "/demo.db", out + "/assessment.json"}, work.path(), home.path());
    EXPECT_EQ(oracle.out, "ok\n") << oracle.err;
    EXPECT_NE(readFile(out + "/assessment.txt").find("\nCustom correlation analysis (limits on Rxy): "),
              std::string::npos);
    for (const char* svg : {"/graph.svg", "/diagnosis.svg"}) {
        CommandResult parsed = runCommand(
            "python3", {"-c", "import sys, xml.etree.ElementTree as E; print(E.parse(sys.argv[1]).getroot().tag)", out + svg},
            work.path(), home.path());
        EXPECT_EQ(parsed.out, "{http://www.w3.org/2000/svg}svg\n") << svg << parsed.err;
    }
    // The report names the simulator's instrument and grades the deformed winding as the job did.
    const std::string report = runCommand("pdftotext", {out + "/report.pdf", "-"}, work.path(), home.path()).out;
    EXPECT_NE(report.find("Demonstration substation"), std::string::npos);
    EXPECT_NE(report.find("Assessment: "), std::string::npos);
    EXPECT_NE(report.find(deformedFlagged && r.out.find(": FAIL\n") != std::string::npos ? "DL/T 911: FAIL" : "DL/T 911: WARNING"),
              std::string::npos)
        << report;
}
