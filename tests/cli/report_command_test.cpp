// "corvane report" end to end, the PDF read back with poppler as any reader would: every field with
// its value (accented names and units included), the assessment, the page count for one and for nine
// sweeps, every font embedded, each page rendered; and a file that cannot be written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <vector>
#include <string>

#include "support/run_command.h"
#include "support/temp_dir.h"

using namespace testing_support;

namespace {

class ReportCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(corvane({"db", "new", db(), "--type", "0", "--transformer", "TX-Ω 1", "--manufacturer",
                           "Müller & Söhne", "--serial", "S°77", "--yes"}).exitCode, 0);
        ASSERT_EQ(corvane({"db", "add-equipment", db(), "--mode", "0", "--manufacturer", "Veltrona Ltd", "--instrument",
                           "QMX74", "--serial", "410-77", "--due", "2023-01-31"}).exitCode, 0);
        ASSERT_EQ(corvane({"db", "add-setup", db(), "--mode", "2", "--name", "HV Ω test", "--reference", "H1",
                           "--response", "H0", "--connected", "X1-X2-X3", "--oltc", "5", "--length", "32.5",
                           "--fluid", "yes", "--comments", "short leads"}).exitCode, 0);
    }

    CommandResult corvane(const std::vector<std::string>& args) {
        return runCommand(CORVANE_CLI, args, work.path(), home.path());
    }
    CommandResult tool(const std::string& program, const std::vector<std::string>& args) {
        return runCommand(program, args, work.path(), home.path());
    }
    std::string db() const { return work.file("site.db"); }

    // A 2000-point FRA sweep of the last setup; shift moves its resonances.
    std::string addSweep(const std::string& name, double shift, const std::string& comments = "") {
        std::string points;
        for (int i = 0; i < 2000; ++i) {
            const double f = 20 * std::pow(1e5, i / 1999.0);
            char line[200];
            std::snprintf(line, sizeof line, "%.6f,1,0.1,%.6f,%.3f,0\n", f, -45 + 15 * std::sin(3 * std::log(f) + shift),
                          -80 + 0.05 * i);
            points += line;
        }
        writeFile(work.file("points.csv"), points);
        CommandResult r = corvane({"db", "add-sweep", db(), "--mode", "2", "--name", name, "--transformer", "TX-Ω 1",
                                   "--setup", "13", "--equipment", "1", "--date", "2024-03-05", "--time", "10:30",
                                   "--peak", "12.5", "--temp", "21.5", "--type", "1", "--points", work.file("points.csv"),
                                   "--comments", comments});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return std::to_string(++sweeps_);
    }

    std::string text(const std::string& pdf) { return tool("pdftotext", {"-layout", pdf, "-"}).out; }
    int pages(const std::string& pdf) {
        const std::string info = tool("pdfinfo", {pdf}).out;
        const std::size_t at = info.find("Pages:");
        return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
    }

    TempDir home, work;
    int sweeps_ = 0;
};

}  // namespace

TEST_F(ReportCommandTest, EveryFieldTheAssessmentAndTheSignaturesAreInThePdf) {
    const std::string fingerprint = addSweep("Fingerprint Müller", 0, "as delivered, \"new\"");
    const std::string fault = addSweep("After fault", 0.5);
    const std::string pdf = work.file("report.pdf");
    CommandResult r = corvane({"report", "--db", db(), "--out", pdf, "--reference", fingerprint, "--site",
                               "Nordwerk Süd substation", fingerprint, fault});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string t = text(pdf);
    for (const char* shown :
         {"Sweep Frequency Response Analysis Report", "Nordwerk Süd substation", "Database:", "TX-Ω 1", "Müller & Söhne",
          "S°77", "1. Fingerprint Müller (reference)", "2. After fault", "05-03-2024 10:30", "HV Ω test", "H1", "H0",
          "X1-X2-X3", "32.5 mm", "Yes", "21.5 °C", "12.50 V", "Veltrona Ltd QMX74", "410-77",
          "31-01-2023 OVERDUE", "as delivered, \"new\"", "2000 points", "Gain", "Phase", "RMF",
          "FREQUENCY (Hz)", "Assessment: After fault against Fingerprint Müller", "Comparability",
          "Calibration of the reference's instrument was overdue on its date", "DL/T 911: ", "LRxy", "ASLE", "Tested by", "Reviewed by",
          "Signature:", "Corvane 1.5.2", "Page 1 of ", "Page 3 of 3"})
        EXPECT_NE(t.find(shown), std::string::npos) << shown;
    EXPECT_EQ(pages(pdf), 3);
    ASSERT_EQ(corvane({"report", "--db", db(), "--out", work.file("one.pdf"), fault}).exitCode, 0);
    EXPECT_EQ(pages(work.file("one.pdf")), 2) << "the tables, then the two graphs and the signatures";

    // Every font is embedded; every page renders.
    const std::string fonts = tool("pdffonts", {pdf}).out;
    int embedded = 0;
    std::istringstream lines(fonts);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::vector<std::string> w{std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
        if (w.size() < 5 || w[1] != "CID") continue;
        EXPECT_EQ(w[4], "yes") << line;  // the "emb" column
        ++embedded;
    }
    EXPECT_EQ(embedded, 2) << fonts;
    ASSERT_EQ(tool("pdftoppm", {"-r", "30", "-png", pdf, work.file("page")}).exitCode, 0);
    for (int p = 1; p <= 3; ++p)
        EXPECT_GT(std::filesystem::file_size(work.file("page-" + std::to_string(p) + ".png")), 1000u) << p;
}

TEST_F(ReportCommandTest, NineSweepsFlowOverMorePagesOnLetterAndFailuresLeaveNothing) {
    std::vector<std::string> args = {"report", "--db", db(), "--out", work.file("nine.pdf"), "--letter"};
    for (int i = 0; i < 9; ++i) args.push_back(addSweep("Sweep " + std::to_string(i + 1), 0.1 * i, std::string(250, 'c')));
    ASSERT_EQ(corvane(args).exitCode, 0);
    const std::string info = tool("pdfinfo", {work.file("nine.pdf")}).out;
    EXPECT_NE(info.find("612 x 792 pts (letter)"), std::string::npos) << info;
    const int count = pages(work.file("nine.pdf"));
    EXPECT_EQ(count, 5) << "nine sweep tables, two graphs, the signatures";
    const std::string t = text(work.file("nine.pdf"));
    EXPECT_NE(t.find("9. Sweep 9"), std::string::npos);
    EXPECT_NE(t.find("Page 5 of 5"), std::string::npos);
    EXPECT_EQ(t.find("Assessment"), std::string::npos) << "no reference, no assessment";

    // Ten sweeps, an unknown sweep, a folder that does not exist: refused, nothing written.
    args.push_back(args.back());
    EXPECT_EQ(corvane(args).exitCode, 1);
    CommandResult unknown = corvane({"report", "--db", db(), "--out", work.file("x.pdf"), "1", "99"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.err.find("There is no sweep with id 99"), std::string::npos) << unknown.err;
    const std::string nowhere = work.file("missing/folder/r.pdf");
    CommandResult unwritable = corvane({"report", "--db", db(), "--out", nowhere, "1"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.err.find("The report could not be written to " + nowhere), std::string::npos) << unwritable.err;
    EXPECT_FALSE(std::filesystem::exists(work.file("x.pdf")));
    EXPECT_EQ(corvane({"report", "--db", db(), "--out", work.file("y.pdf")}).exitCode, 2);
}
