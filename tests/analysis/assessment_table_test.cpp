// The assessment as the diagnosis mode lists it: the findings, the verdict lines and the indices
// table, for one comparison and for the three pairs of a phase comparison.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "analysis/assessment_table.h"

using namespace analysis;

namespace {

db::SweepBundle bundle(std::int64_t id, double shift) {
    db::SweepBundle b;
    b.sweep.id = id;
    b.sweep.transformerIdentifier = "T1";
    b.sweep.date = "05-06-2024";
    b.sweep.dataType = db::kDataFra;
    for (int i = 0; i < 600; ++i) {
        const double f = 20.0 * std::pow(1e5, i / 599.0);
        b.sweep.fraPoints.push_back({f, 1, 1, -40.0 + 10.0 * std::sin(std::log(f * shift)), 0, 0});
    }
    b.setup.referenceTerminal = "H1";
    b.setup.responseTerminal = "H0";
    b.setup.oltc = 3;
    return b;
}

std::size_t column(const char* title) {
    return static_cast<std::size_t>(std::find(kIndexColumns.begin(), kIndexColumns.end(), title) - kIndexColumns.begin());
}

}  // namespace

TEST(AssessmentTable, ListsFindingsVerdictsAndEveryBandsIndicesInTheirColumns) {
    db::SweepBundle changed = bundle(2, 1.05);
    changed.setup.oltc = 5;
    CustomAnalysisSettings custom;
    ASSERT_TRUE(bandsFromEdges({1000, 100000, 3e6, 4e6}, custom.bands));  // the last band lies beyond the sweep
    custom.limits.assign(3, CustomBandLimits{});
    custom.useLRxy = true;
    const Assessment a = assess(bundle(1, 1.0), changed, ComparisonKind::TimeBased, &custom);
    const AssessmentTable table = tabulate({{"", a}});

    EXPECT_NE(std::find(table.findings.begin(), table.findings.end(), "OLTC position differs: 3 against 5"),
              table.findings.end());
    ASSERT_EQ(table.rows.size(), 6u) << "three DL/T 911 bands, then the three custom ones";
    for (const auto& row : table.rows) ASSERT_EQ(row.size(), kIndexColumns.size());
    EXPECT_EQ(table.rows[0][0], "DL/T 911");
    EXPECT_EQ(table.rows[1][column("Band")], "RMF");
    EXPECT_EQ(table.rows[3][0], "Custom");
    for (std::size_t b = 0; b < 3; ++b) {
        const BandIndices& shown = a.dlt911.bands[b];
        EXPECT_EQ(table.rows[b][column("N")], std::to_string(shown.count));
        EXPECT_NEAR(std::atof(table.rows[b][column("Rxy")].c_str()), *shown.Rxy, 0.005);
        EXPECT_NEAR(std::atof(table.rows[b][column("CC")].c_str()), *shown.CC, 1e-6);
        EXPECT_NEAR(std::atof(table.rows[b][column("ASLE")].c_str()), *shown.ASLE, 1e-3);
        EXPECT_NEAR(std::atof(table.rows[b][column("At Hz")].c_str()), *shown.maxAbsDiffFrequency,
                    *shown.maxAbsDiffFrequency * 1e-5);
    }
    // The band beyond the sweep gives no index: every one shows as absent, and its verdict is UNKNOWN.
    for (const char* index : {"LRxy", "Rxy", "CC", "SD", "CSD", "ASLE", "MM", "Max |d| dB", "At Hz"})
        EXPECT_EQ(table.rows[5][column(index)], "-") << index;
    EXPECT_EQ(table.rows[5][column("Verdict")], "UNKNOWN");
    EXPECT_EQ(table.rows[0][column("Verdict")], "") << "DL/T 911 grades the three bands together";

    ASSERT_GE(table.verdicts.size(), 3u);
    EXPECT_EQ(table.verdicts[0].rfind("DL/T 911: " + a.dlt911.verdict + " (", 0), 0u) << table.verdicts[0];
    EXPECT_EQ(table.verdicts[1], "Custom correlation analysis (limits on LRxy): UNKNOWN");
    EXPECT_EQ(table.verdicts[2], a.custom->unknownReason);
}

TEST(AssessmentTable, NamesEachPairOfAPhaseComparisonAndSaysWhenNothingIsDoubtful) {
    db::SweepBundle b = bundle(12, 1.02), c = bundle(13, 0.97);
    b.setup.referenceTerminal = "H2";
    c.setup.referenceTerminal = "H3";
    const std::vector<Assessment> pairs = assessPhases(bundle(11, 1.0), b, c, nullptr);
    const AssessmentTable table = tabulate({{"A-B", pairs[0]}, {"B-C", pairs[1]}, {"C-A", pairs[2]}});
    EXPECT_EQ(table.findings, (std::vector<std::string>{"A-B: Nothing found that makes the comparison doubtful",
                                                        "B-C: Nothing found that makes the comparison doubtful",
                                                        "C-A: Nothing found that makes the comparison doubtful"}));
    ASSERT_EQ(table.rows.size(), 9u);
    EXPECT_EQ(table.rows[0][0], "A-B DL/T 911");
    EXPECT_EQ(table.rows[4][0], "B-C DL/T 911");
    EXPECT_EQ(table.rows[8][0], "C-A DL/T 911");
    EXPECT_EQ(table.verdicts[2].rfind("C-A: DL/T 911: ", 0), 0u) << table.verdicts[2];
}
