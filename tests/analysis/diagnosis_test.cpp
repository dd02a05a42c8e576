// The winding-deformation diagnosis: band membership, interpolation, correlation, classification.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/diagnosis.h"

using namespace analysis;

namespace {

// A basic FRA sweep of n log-spaced points from 100 Hz to 2 MHz with gain(f) in dB.
template <typename Gain>
db::SweepRecord sweep(int n, Gain gain, double from = 100.0, double to = 2e6) {
    db::SweepRecord s;
    s.dataType = db::kDataBasicFra;
    for (int i = 0; i < n; ++i) {
        double f = from * std::pow(to / from, static_cast<double>(i) / (n - 1));
        s.basicPoints.push_back({f, gain(f), 0.0});
    }
    return s;
}

double wavy(double f) { return -30.0 + 12.0 * std::sin(3.0 * std::log(f)) + 4.0 * std::cos(7.1 * std::log(f)); }

}  // namespace

TEST(Diagnosis, BandEdges) {
    EXPECT_EQ(bandOf(1000.0), -1);
    EXPECT_EQ(bandOf(1000.001), kRLF);
    EXPECT_EQ(bandOf(100000.0), kRLF);
    EXPECT_EQ(bandOf(600000.0), kRMF);
    EXPECT_EQ(bandOf(1000000.0), kRHF);
    EXPECT_EQ(bandOf(1000000.5), -1);
}

TEST(Diagnosis, IdenticalAndOffsetSweepsPass) {
    db::SweepRecord fp = sweep(1000, wavy);
    for (double offset : {0.0, 6.5}) {
        db::SweepRecord d = sweep(1000, [offset](double f) { return wavy(f) + offset; });
        DiagnosisResult r = diagnose(fp, d);
        EXPECT_EQ(r.classCode, kNormalWinding) << offset;
        for (const BandStats& b : r.bands) {
            EXPECT_GT(b.count, 0);
            if (offset == 0.0) {
                // Identical curves correlate exactly, whatever the single-precision root rounds to.
                EXPECT_EQ(b.LRxy, 1.0);
                EXPECT_EQ(b.Rxy, 10.0);
                continue;
            }
            // Otherwise the single-precision root leaves LRxy within a few parts in 10^8 of 1, on
            // either side: Rxy is then 10 (at or above 1) or about 7 to 9.
            EXPECT_NEAR(b.LRxy, 1.0, 1e-6);
            EXPECT_GT(b.Rxy, 6.5);
        }
        EXPECT_STREQ(verdictText(r.classCode), "PASS");
    }
}

TEST(Diagnosis, MirroredSweepIsSevere) {
    db::SweepRecord fp = sweep(800, wavy);
    db::SweepRecord d = sweep(800, [](double f) { return -wavy(f) - 20.0; });
    DiagnosisResult r = diagnose(fp, d);
    for (const BandStats& b : r.bands) {
        EXPECT_NEAR(b.LRxy, -1.0, 1e-6);
        EXPECT_NEAR(b.Rxy, -std::log10(2.0), 1e-6);
    }
    EXPECT_EQ(r.classCode, kSevereDeformation);
    EXPECT_STREQ(classText(r.classCode), "Severe Deformation");
}

TEST(Diagnosis, InterpolatesLinearlyInFrequencyAndDecibels) {
    db::SweepRecord fp;
    fp.basicPoints = {{1500, -10, 0}, {2000, -20, 0}, {3000, -5, 0}};
    db::SweepRecord d;
    d.basicPoints = {{1000, -10, 0}, {2000, -30, 0}, {4000, 10, 0}};
    DiagnosisResult r;
    ComputeBandCorrelation(r, fp, d);
    const BandStats& b = r.bands[kRLF];
    ASSERT_EQ(b.count, 3);
    EXPECT_DOUBLE_EQ(b.sumX, -35.0);
    // 1500 Hz: halfway from -10 to -30; 2000 Hz: exactly -30; 3000 Hz: halfway from -30 to 10.
    EXPECT_DOUBLE_EQ(b.sumY, -20.0 - 30.0 - 10.0);
}

TEST(Diagnosis, PointsOutsideTheDiagnosedSweepAreLeftOut) {
    db::SweepRecord fp = sweep(1000, wavy);
    db::SweepRecord shortSweep = sweep(500, wavy, 5000.0, 500000.0);
    DiagnosisResult r = diagnose(fp, shortSweep);
    EXPECT_EQ(r.bands[kRHF].count, 0);
    EXPECT_TRUE(std::isnan(r.bands[kRHF].Rxy));
    EXPECT_GT(r.bands[kRLF].count, 0);
    EXPECT_LT(r.bands[kRLF].count, diagnose(fp, fp).bands[kRLF].count);
    // RLF and RMF match, RHF is not a number: no rule holds.
    EXPECT_EQ(r.classCode, kUnknownDiagnosis);

    db::SweepRecord one;  // a sweep of one point cannot be walked
    one.basicPoints = {{5000, -20, 0}};
    EXPECT_EQ(diagnose(fp, one).bands[kRLF].count, 0);
}

TEST(Diagnosis, MixedDataTypesUseTheirGains) {
    db::SweepRecord fp = sweep(600, wavy);
    db::SweepRecord full;
    full.dataType = db::kDataFra;
    for (const auto& p : fp.basicPoints) full.fraPoints.push_back({p.frequency, 1.0, 0.1, p.amplitude, 0, 0});
    EXPECT_EQ(diagnose(fp, full).classCode, kNormalWinding);
    db::SweepRecord impedance;
    impedance.dataType = db::kDataLcr;
    impedance.lcrPoints = {{1000, 1, 1, 1, 1, 1, 1, 1}, {2000, 1, 1, 1, 1, 1, 1, 1}};
    EXPECT_EQ(diagnose(fp, impedance).bands[kRLF].count, 0);
}

TEST(Diagnosis, ClassificationRulesInTheirOrder) {
    EXPECT_EQ(ClassifyDiagnosis(2.0, 1.0, 0.6), kNormalWinding);
    EXPECT_EQ(ClassifyDiagnosis(2.5, 0.8, 0.7), kUnknownDiagnosis);
    EXPECT_EQ(ClassifyDiagnosis(2.5, 1.5, 0.3), kGentleDeformation);
    EXPECT_EQ(ClassifyDiagnosis(2.5, 2.5, 0.3), kUnknownDiagnosis);
    EXPECT_EQ(ClassifyDiagnosis(0.6, 0.6, 1.0), kObviousDeformation);
    EXPECT_EQ(ClassifyDiagnosis(1.0, 0.6, 1.0), kGentleDeformation);
    EXPECT_EQ(ClassifyDiagnosis(0.59, 5.0, 5.0), kSevereDeformation);
    EXPECT_EQ(ClassifyDiagnosis(2.5, 0.5, 5.0), kObviousDeformation);
    EXPECT_EQ(ClassifyDiagnosis(NAN, 5.0, 5.0), kUnknownDiagnosis);
    EXPECT_STREQ(verdictText(kGentleDeformation), "WARNING");
    EXPECT_STREQ(verdictText(kObviousDeformation), "FAIL");
    EXPECT_STREQ(verdictText(kUnknownDiagnosis), "UNKNOWN");
    EXPECT_STREQ(verdictText(kNoDiagnosis), "");
    EXPECT_STREQ(bandLabel(kRMF), "RMF (100k-600k):");
}

namespace {

// A winding-like response: a falling low band with a deep first resonance, then a ladder of
// resonances and anti-resonances; shift moves them as a deformation would.
double windingGain(double f, double shift) {
    double g = -45.0 - 12.0 * std::log10(1.0 + f / 800.0);
    g -= 25.0 / (1.0 + std::pow(std::log(f / (1100.0 * shift)) * 9.0, 2));
    for (int k = 0; k < 12; ++k) {
        const double fk = 4000.0 * std::pow(1.55, k) * (k > 5 ? shift : 1.0);
        g += (k % 2 ? 9.0 : -14.0) / (1.0 + std::pow(std::log(f / fk) * 14.0, 2));
    }
    return g;
}

// The same figures computed another way: each fingerprint point's partner found by binary search,
// the correlation from plain sums.
double independentCorrelation(const db::SweepRecord& fp, const db::SweepRecord& d, double low, double high) {
    std::vector<double> xs, ys;
    const auto& D = d.basicPoints;
    for (const auto& p : fp.basicPoints) {
        if (p.frequency <= low || p.frequency > high) continue;
        auto it = std::lower_bound(D.begin(), D.end(), p.frequency,
                                   [](const db::BasicFraPoint& q, double f) { return q.frequency < f; });
        if (it == D.end() || it == D.begin()) continue;
        const auto& b = *it;
        const auto& a = *(it - 1);
        xs.push_back(p.amplitude);
        ys.push_back(a.amplitude + (p.frequency - a.frequency) / (b.frequency - a.frequency) * (b.amplitude - a.amplitude));
    }
    const double n = static_cast<double>(xs.size());
    double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        sx += xs[i], sy += ys[i], sxx += xs[i] * xs[i], syy += ys[i] * ys[i], sxy += xs[i] * ys[i];
    }
    return (sxy - sx * sy / n) / std::sqrt((sxx - sx * sx / n) * (syy - sy * sy / n));
}

}  // namespace

TEST(Diagnosis, AgreesWithAnIndependentComputationOnRealisticCurves) {
    const db::SweepRecord fp = sweep(1000, [](double f) { return windingGain(f, 1.0); }, 20.0, 2e6);
    for (double shift : {1.0, 1.01, 1.04, 1.15}) {
        // A different frequency grid for the diagnosed sweep, so that interpolation really happens.
        const db::SweepRecord d = sweep(1500, [shift](double f) { return windingGain(f, shift) + 0.3; }, 15.0, 3e6);
        const DiagnosisResult r = diagnose(fp, d);
        const double edges[] = {1000.0, 100000.0, 600000.0, 1000000.0};
        for (int b = 0; b < kBandCount; ++b) {
            const double expected = independentCorrelation(fp, d, edges[b], edges[b + 1]);
            EXPECT_NEAR(r.bands[b].LRxy, expected, 2e-6) << "shift " << shift << " band " << b;
            // Curves that differ keep the single-precision root of the figures as they always were.
            const BandStats& s = r.bands[b];
            EXPECT_EQ(s.LRxy, s.Cxy / static_cast<double>(std::sqrt(static_cast<float>(s.Dx * s.Dy))));
            if (1.0 - expected > 1e-4) {
                EXPECT_NEAR(r.bands[b].Rxy, -std::log10(1.0 - expected), 1e-3) << "shift " << shift << " band " << b;
            }
        }
    }
}
