// The assessment's comparability check, the reason an unknown DL/T 911 class is given, the custom
// analysis's verdicts and saved settings, and the three comparisons' pairs.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "analysis/assessment.h"
#include "support/temp_dir.h"

using namespace analysis;

namespace {

// A sweep of a winding as the program stores it: 1,000 log-spaced FRA points from 20 Hz to 2 MHz on
// transformer T1, setup H1-H0, the instrument calibrated until 2027.
db::SweepBundle bundle(std::int64_t id, double (*gain)(double) = [](double f) { return -40.0 + 10.0 * std::sin(std::log(f)); }) {
    db::SweepBundle b;
    b.sweep.id = id;
    b.sweep.transformerIdentifier = "T1";
    b.sweep.date = "05-06-2024";
    b.sweep.temperature = 20.0;
    b.sweep.dataType = db::kDataFra;
    for (int i = 0; i < 1000; ++i) {
        const double f = 20.0 * std::pow(1e5, i / 999.0);
        b.sweep.fraPoints.push_back({f, 1, 1, gain(f), 0, 0});
    }
    b.setup.referenceTerminal = "H1";
    b.setup.responseTerminal = "H0";
    b.setup.connectedTerminals = "NONE";
    b.setup.oltc = 3;
    b.setup.unshieldedLength = 30.0f;
    b.equipment.manufacturer = "Veltrona Ltd";
    b.equipment.instrument = "QMX74";
    b.equipment.serialNumber = "410-2718";
    b.equipment.calibrationDueDate = "01-03-2027";
    return b;
}

}  // namespace

TEST(Comparability, NamesEachDifferenceOfTheSetupEquipmentAndConditions) {
    const db::SweepBundle reference = bundle(1);
    EXPECT_TRUE(comparabilityFindings(reference, bundle(2), ComparisonKind::TimeBased, dlt911Bands()).empty())
        << "same setup, equipment and conditions";

    const struct {
        std::function<void(db::SweepBundle&)> change;
        const char* finding;
    } kCases[] = {
        {[](db::SweepBundle& b) { b.setup.oltc = 5; }, "OLTC position differs: 3 against 5"},
        {[](db::SweepBundle& b) { b.setup.referenceTerminal = "H2"; }, "Reference terminal differs: H1 against H2"},
        {[](db::SweepBundle& b) { b.setup.responseTerminal = "X0"; }, "Response terminal differs: H0 against X0"},
        {[](db::SweepBundle& b) { b.setup.connectedTerminals = "X1-X2-X3"; },
         "Connected terminals differs: NONE against X1-X2-X3"},
        {[](db::SweepBundle& b) { b.setup.unshieldedLength = 25.0f; },
         "Unshielded lead length differs: 30.0 mm against 25.0 mm"},
        {[](db::SweepBundle& b) { b.setup.fluidFilled = true; }, "Fluid filled differs: No against Yes"},
        {[](db::SweepBundle& b) { b.sweep.temperature = 35.0; },
         "Temperature differs by 15.0 °C: 20.0 °C against 35.0 °C"},
        {[](db::SweepBundle& b) { b.equipment.manufacturer = "Other"; }, "Instrument maker differs: Veltrona Ltd against Other"},
        {[](db::SweepBundle& b) { b.equipment.instrument = "QMX75"; }, "Instrument model differs: QMX74 against QMX75"},
        {[](db::SweepBundle& b) { b.equipment.serialNumber = "410-9"; },
         "Instrument serial number differs: 410-2718 against 410-9"},
        {[](db::SweepBundle& b) { b.equipment.calibrationDueDate = "2024-01-31"; },
         "Calibration of the sweep's instrument was overdue on its date: due 31-01-2024, swept 05-06-2024"},
        {[](db::SweepBundle& b) { b.sweep.transformerIdentifier = "T2"; }, "Transformer differs: T1 against T2"},
        {[](db::SweepBundle& b) {
             b.sweep.fraPoints.erase(b.sweep.fraPoints.begin() + 900, b.sweep.fraPoints.end());  // ends near 630 kHz
         },
         "The sweep's frequency range (20 Hz to 631.727 kHz) does not cover RHF (600 kHz to 1 MHz)"},
        {[](db::SweepBundle& b) {
             b.sweep.fraPoints.clear();
             for (int i = 0; i < 400; ++i) b.sweep.fraPoints.push_back({20.0 + i * 5000.0, 1, 1, -40, 0, 0});
         },
         "Point spacing differs: logarithmic against linear"},
    };
    for (const auto& c : kCases) {
        db::SweepBundle sweep = bundle(2);
        c.change(sweep);
        const std::vector<std::string> findings =
            comparabilityFindings(reference, sweep, ComparisonKind::TimeBased, dlt911Bands());
        EXPECT_NE(std::find(findings.begin(), findings.end(), c.finding), findings.end())
            << c.finding << "\nfound:\n" << ::testing::PrintToString(findings);
    }

    db::SweepBundle fewer = bundle(2);
    fewer.sweep.fraPoints.resize(400);
    const auto countFindings = comparabilityFindings(reference, fewer, ComparisonKind::TimeBased, {});
    EXPECT_NE(std::find(countFindings.begin(), countFindings.end(), "Point counts differ widely: 1000 against 400"),
              countFindings.end());
    db::SweepBundle lcr = bundle(2);
    lcr.sweep.dataType = db::kDataLcr;
    EXPECT_EQ(comparabilityFindings(reference, lcr, ComparisonKind::TimeBased, {}).front(),
              "Data type differs: FRA against LCR");
}

TEST(Comparability, EachKindExpectsItsOwnDifference) {
    db::SweepBundle sister = bundle(2);
    sister.sweep.transformerIdentifier = "T2";
    EXPECT_TRUE(comparabilityFindings(bundle(1), sister, ComparisonKind::TypeBased, dlt911Bands()).empty());
    EXPECT_EQ(comparabilityFindings(bundle(1), bundle(2), ComparisonKind::TypeBased, {}),
              std::vector<std::string>{"Same transformer T1: a type-based comparison is made against a sister unit"});

    db::SweepBundle phaseB = bundle(2);
    phaseB.setup.referenceTerminal = "H2";
    EXPECT_TRUE(comparabilityFindings(bundle(1), phaseB, ComparisonKind::ConstructionBased, {}).empty());
    phaseB.setup.responseTerminal = "X0";  // another winding, not another phase
    EXPECT_EQ(comparabilityFindings(bundle(1), phaseB, ComparisonKind::ConstructionBased, {}),
              std::vector<std::string>{"Response terminal differs: H0 against X0"});
}

TEST(Assessment, AnUnknownClassNamesTheBandThatDecidedIt) {
    const double none = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(unknownReason(2.5, 1.5, 0.3), "") << "gentle";
    EXPECT_EQ(unknownReason(2.5, 2.5, 0.3),
              "UNKNOWN decided by RHF: 0.3000 is below 0.6 with RLF and RMF in the normal range");
    EXPECT_EQ(unknownReason(2.5, 0.8, 0.7), "UNKNOWN decided by RMF: 0.8000 lies between 0.6 and 1.0, where no rule applies");
    EXPECT_EQ(unknownReason(2.5, 2.5, none), "UNKNOWN decided by RHF: no value (no points in the band, or a flat curve)");
    EXPECT_EQ(unknownReason(none, 2.5, 2.5), "UNKNOWN decided by RLF: no value (no points in the band, or a flat curve)");
}

TEST(Assessment, TheCustomAnalysisGradesEachBandAndIsSavedInTheSettings) {
    CustomAnalysisSettings custom;
    ASSERT_TRUE(bandsFromEdges({1000, 10000, 100000, 1e6, 2e6}, custom.bands));
    custom.limits = {{2.0, 1.0}, {2.0, 1.0}, {0.5, 0.2}, {2.0, 1.0}};
    db::SweepBundle shifted = bundle(2, [](double f) { return -40.0 + 10.0 * std::sin(std::log(f * 1.3)); });
    const Assessment a = assess(bundle(1), shifted, ComparisonKind::TimeBased, &custom);
    ASSERT_TRUE(a.custom);
    EXPECT_EQ(a.custom->title, "Custom correlation analysis");
    EXPECT_EQ(a.dlt911.title, "DL/T 911");
    ASSERT_EQ(a.custom->bandVerdicts.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const double rxy = *a.custom->bands[i].Rxy;
        const CustomBandLimits& l = custom.limits[i];
        EXPECT_EQ(a.custom->bandVerdicts[i], rxy >= l.pass ? "PASS" : rxy >= l.warning ? "WARNING" : "FAIL") << i;
    }
    EXPECT_EQ(a.difference.size(), 1000u);
    EXPECT_NEAR(a.difference[500].difference,
                shifted.sweep.fraPoints[500].amplitude - bundle(1).sweep.fraPoints[500].amplitude, 1e-12);

    // A band beyond the sweep's last frequency gives no value and so "UNKNOWN", which a FAIL outranks.
    ASSERT_TRUE(bandsFromEdges({1000, 100000, 3e6, 4e6}, custom.bands));
    custom.limits = {{0.5, 0.1}, {0.5, 0.1}, {0.5, 0.1}};
    const Assessment beyond = assess(bundle(1), bundle(2), ComparisonKind::TimeBased, &custom);
    EXPECT_EQ(beyond.custom->bandVerdicts, (std::vector<std::string>{"PASS", "PASS", "UNKNOWN"}));
    EXPECT_EQ(beyond.custom->verdict, "UNKNOWN");
    EXPECT_EQ(beyond.custom->unknownReason, "UNKNOWN decided by B3: no value (no points in the band, or a flat curve)");

    testing_support::TempDir dir;
    const std::string ini = dir.file("Corvane-DBSettings.ini");
    CustomAnalysisSettings read;
    EXPECT_FALSE(readCustomAnalysis(ini, read));
    custom.useLRxy = true;
    writeCustomAnalysis(ini, custom);
    ASSERT_TRUE(readCustomAnalysis(ini, read));
    ASSERT_EQ(read.bands.size(), 3u);
    EXPECT_EQ(read.bands[2].low, 3e6);
    EXPECT_EQ(read.bands[2].high, 4e6);
    EXPECT_EQ(read.limits[1].warning, 0.1);
    EXPECT_TRUE(read.useLRxy);
}

TEST(Assessment, PhasesArePairedAThenBThenC) {
    db::SweepBundle a = bundle(11), b = bundle(12), c = bundle(13);
    b.setup.referenceTerminal = "H2";
    c.setup.referenceTerminal = "H3";
    const std::vector<Assessment> pairs = assessPhases(a, b, c, nullptr);
    ASSERT_EQ(pairs.size(), 3u);
    const std::pair<std::int64_t, std::int64_t> expected[] = {{11, 12}, {12, 13}, {13, 11}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(pairs[i].referenceId, expected[i].first);
        EXPECT_EQ(pairs[i].sweepId, expected[i].second);
        EXPECT_EQ(pairs[i].kind, ComparisonKind::ConstructionBased);
        EXPECT_TRUE(pairs[i].findings.empty()) << ::testing::PrintToString(pairs[i].findings);
        EXPECT_EQ(pairs[i].dlt911.verdict, "PASS");
    }
}

TEST(CustomAnalysis, TypedTextsMakeTheSettingsOrNameTheFieldThatIsWrong) {
    CustomAnalysisSettings made;
    ASSERT_EQ(customAnalysisFromText({" 20, 1000 ,10000", "LRxy", "0.9,0.8", ""}, made).field, CustomAnalysisField::None);
    ASSERT_EQ(made.bands.size(), 2u);
    EXPECT_EQ(made.bands[1].low, 1000);
    EXPECT_EQ(made.bands[1].high, 10000);
    EXPECT_TRUE(made.useLRxy);
    EXPECT_EQ(made.limits[1].pass, 0.8);
    EXPECT_EQ(made.limits[1].warning, 0.6) << "an empty list keeps the default limits";

    // What the dialog shows of saved settings makes the same settings again.
    CustomAnalysisSettings again;
    ASSERT_EQ(customAnalysisFromText(customAnalysisText(made), again).field, CustomAnalysisField::None);
    EXPECT_EQ(again.bands[0].high, made.bands[0].high);
    EXPECT_EQ(again.limits[0].pass, 0.9);
    EXPECT_TRUE(again.useLRxy);

    const struct {
        CustomAnalysisText text;
        CustomAnalysisField field;
    } refused[] = {
        {{"1000,20", "Rxy", "", ""}, CustomAnalysisField::Edges},
        {{"20", "Rxy", "", ""}, CustomAnalysisField::Edges},
        {{"0,20", "Rxy", "", ""}, CustomAnalysisField::Edges},
        {{"20,kHz", "Rxy", "", ""}, CustomAnalysisField::Edges},
        {{"1,2,3,4,5,6,7,8", "Rxy", "", ""}, CustomAnalysisField::Edges},
        {{"20,1000", "CC", "", ""}, CustomAnalysisField::Index},
        {{"20,1000,2000", "Rxy", "1", ""}, CustomAnalysisField::Pass},
        {{"20,1000", "Rxy", "", "0.5,x"}, CustomAnalysisField::Warning},
        {{"20,1000", "Rxy", "0.5", "0.7"}, CustomAnalysisField::Warning},  // above its pass limit
    };
    for (const auto& r : refused) {
        CustomAnalysisSettings untouched = made;
        const CustomAnalysisRefusal refusal = customAnalysisFromText(r.text, untouched);
        EXPECT_EQ(refusal.field, r.field) << r.text.edges << " / " << r.text.pass << " / " << r.text.warning;
        EXPECT_FALSE(refusal.message.empty());
        EXPECT_EQ(untouched.bands.size(), 2u);
    }

    // Cleared, a settings file gives no custom analysis any more.
    testing_support::TempDir dir;
    const std::string ini = dir.file("Corvane-DBSettings.ini");
    ASSERT_TRUE(writeCustomAnalysis(ini, made));
    ASSERT_TRUE(readCustomAnalysis(ini, again));
    ASSERT_TRUE(clearCustomAnalysis(ini));
    EXPECT_FALSE(readCustomAnalysis(ini, again));
}
