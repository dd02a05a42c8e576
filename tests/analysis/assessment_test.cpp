// Band indices of a sweep against its reference, checked against the formulas worked out here from
// the two raw sweeps (own interpolation, own sums in long double), and the bands set from edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/assessment.h"

using namespace analysis;

namespace {

using Curve = std::vector<std::pair<double, double>>;  // frequency (Hz), gain (dB)

// A basic FRA sweep of n log-spaced points from `from` to `to`.
template <typename Gain>
db::SweepRecord sweep(int n, Gain gain, double from, double to) {
    db::SweepRecord s;
    s.dataType = db::kDataBasicFra;
    for (int i = 0; i < n; ++i) {
        const double f = from * std::pow(to / from, static_cast<double>(i) / (n - 1));
        s.basicPoints.push_back({f, gain(f), 0.0});
    }
    return s;
}

Curve curveOf(const db::SweepRecord& s) {
    Curve c;
    for (const auto& p : s.basicPoints) c.push_back({p.frequency, p.amplitude});
    return c;
}

// An open-circuit winding: -50 dB at 20 Hz rising to -20 dB at 2 MHz, a deep core resonance near
// 1.2 kHz, then alternating resonances and anti-resonances; shift moves the seventh (near 170 kHz).
double windingGain(double f, double shift = 1.0) {
    double g = -50.0 + 6.0 * std::log10(f / 20.0);
    g -= 22.0 / (1.0 + std::pow(std::log(f / 1200.0) * 8.0, 2));
    for (int k = 0; k < 10; ++k) {
        const double fk = 5000.0 * std::pow(1.8, k) * (k == 6 ? shift : 1.0);
        g += (k % 2 ? 9.0 : -14.0) / (1.0 + std::pow(std::log(f / fk) * 14.0, 2));
    }
    return g;
}
constexpr double kShiftedResonance = 5000.0 * 1.8 * 1.8 * 1.8 * 1.8 * 1.8 * 1.8;

std::optional<double> ratio(long double num, long double den) {
    if (den == 0) return std::nullopt;
    return static_cast<double>(num / den);
}

// The indices from the formulas: the reference's points in (low, high] that lie within the
// diagnosed sweep's range, the diagnosed gain interpolated between its two neighbours.
BandIndices oracle(const Curve& ref, const Curve& diag, double low, double high) {
    std::vector<long double> fs, xs, ys;
    for (const auto& [f, x] : ref) {
        if (f <= low || f > high || f < diag.front().first || f > diag.back().first) continue;
        std::size_t j = 1;
        while (diag[j].first < f) ++j;
        const auto& [fa, ga] = diag[j - 1];
        const auto& [fb, gb] = diag[j];
        fs.push_back(f), xs.push_back(x), ys.push_back(ga + (gb - ga) * ((f - fa) / (fb - fa)));
    }
    BandIndices e;
    const std::size_t n = xs.size();
    e.count = static_cast<int>(n);
    if (n == 0) return e;
    long double sx = 0, sy = 0, sxy = 0, sxx = 0, syy = 0, sd2 = 0, sad = 0, smin = 0, smax = 0, best = -1;
    for (std::size_t i = 0; i < n; ++i) {
        const long double d = ys[i] - xs[i], X = std::pow(10.0L, xs[i] / 20), Y = std::pow(10.0L, ys[i] / 20);
        sx += xs[i], sy += ys[i], sxy += xs[i] * ys[i], sxx += xs[i] * xs[i], syy += ys[i] * ys[i];
        sd2 += d * d, sad += std::fabs(d), smin += std::min(X, Y), smax += std::max(X, Y);
        if (std::fabs(d) > best) best = std::fabs(d), e.maxAbsDiffFrequency = static_cast<double>(fs[i]);
    }
    const long double mx = sx / n, my = sy / n;
    long double cxy = 0, vx = 0, vy = 0, c2 = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const long double dx = xs[i] - mx, dy = ys[i] - my;
        cxy += dx * dy, vx += dx * dx, vy += dy * dy, c2 += (dx - dy) * (dx - dy);
    }
    e.CC = ratio(sxy, std::sqrt(sxx * syy));
    e.ASLE = static_cast<double>(sad / n);
    e.MM = ratio(smin, smax);
    e.maxAbsDiff = static_cast<double>(best);
    if (n > 1) e.SD = static_cast<double>(std::sqrt(sd2 / (n - 1))), e.CSD = static_cast<double>(std::sqrt(c2 / (n - 1)));
    e.LRxy = ratio(cxy, std::sqrt(vx * vy));
    if (e.LRxy) e.Rxy = 1 - *e.LRxy < 1e-10 ? 10.0 : -std::log10(1 - *e.LRxy);
    return e;
}

void expectClose(const std::optional<double>& got, const std::optional<double>& want, const char* name) {
    ASSERT_EQ(got.has_value(), want.has_value()) << name;
    if (want) {
        EXPECT_NEAR(*got, *want, 1e-9 * std::max(1.0, std::fabs(*want))) << name;
    }
}

// Compares every index; argmax false where all |d| are equal but for rounding, so that which point
// comes first depends on the last bit.
void expectIndices(const BandIndices& got, const BandIndices& want, bool argmax = true) {
    EXPECT_EQ(got.count, want.count);
    using M = std::optional<double> BandIndices::*;
    const std::pair<M, const char*> indices[] = {{&BandIndices::CC, "CC"},     {&BandIndices::SD, "SD"},
                                                 {&BandIndices::CSD, "CSD"},   {&BandIndices::ASLE, "ASLE"},
                                                 {&BandIndices::MM, "MM"},     {&BandIndices::maxAbsDiff, "maxAbsDiff"}};
    for (const auto& [index, name] : indices) expectClose(got.*index, want.*index, name);
    ASSERT_EQ(got.maxAbsDiffFrequency.has_value(), want.maxAbsDiffFrequency.has_value());
    if (argmax && want.maxAbsDiffFrequency) {
        EXPECT_EQ(*got.maxAbsDiffFrequency, *want.maxAbsDiffFrequency);
    }
    ASSERT_EQ(got.LRxy.has_value(), want.LRxy.has_value()) << "LRxy";
    ASSERT_EQ(got.Rxy.has_value(), want.Rxy.has_value()) << "Rxy";
    if (!want.LRxy) return;
    // The root is taken in single precision: LRxy to 1e-6, and Rxy must be the relative factor of
    // the program's own LRxy (its LRxy-equivalent then within 1e-6 of the formula's).
    EXPECT_NEAR(*got.LRxy, *want.LRxy, 1e-6);
    EXPECT_NEAR(*got.Rxy, 1 - *got.LRxy < 1e-10 ? 10.0 : -std::log10(1 - *got.LRxy), 1e-9);
    EXPECT_NEAR(1 - std::pow(10.0, -*got.Rxy), *want.LRxy, 1e-6);
}

std::vector<FrequencyBand> testBands() {
    std::vector<FrequencyBand> own, bands = dlt911Bands();
    EXPECT_TRUE(bandsFromEdges({20.0, 2e3, 2e4, 2e5, 2e6}, own));
    bands.insert(bands.end(), own.begin(), own.end());
    return bands;
}

const db::SweepRecord kReference = sweep(1000, [](double f) { return windingGain(f); }, 20.0, 2e6);

}  // namespace

TEST(AssessmentIndices, HandWorkedBand) {
    // x = -10, -20, -30; y = -12, -15, -35: d = -2, 5, -5, the largest first at 2 kHz.
    const std::vector<ResampledPoint> pts = {{1000, -10, -12}, {2000, -20, -15}, {3000, -30, -35}, {4000, 0, 40}};
    const BandIndices b = bandIndices(pts, {"B1", 500, 3000});
    EXPECT_EQ(b.count, 3);
    EXPECT_EQ(b.band.name, "B1");
    ASSERT_TRUE(b.CC && b.SD && b.CSD && b.ASLE && b.MM && b.maxAbsDiff && b.maxAbsDiffFrequency && b.LRxy && b.Rxy);
    EXPECT_NEAR(*b.CC, 1470.0 / std::sqrt(1400.0 * 1594.0), 1e-12);
    EXPECT_NEAR(*b.SD, std::sqrt(27.0), 1e-12);
    EXPECT_NEAR(*b.CSD, std::sqrt(79.0 / 3.0), 1e-12);
    EXPECT_NEAR(*b.ASLE, 4.0, 1e-12);
    const auto p = [](double db) { return std::pow(10.0, db / 20.0); };
    EXPECT_NEAR(*b.MM, (p(-12) + p(-20) + p(-35)) / (p(-10) + p(-15) + p(-30)), 1e-12);
    EXPECT_EQ(*b.maxAbsDiff, 5.0);
    EXPECT_EQ(*b.maxAbsDiffFrequency, 2000.0);
    EXPECT_NEAR(*b.LRxy, 690.0 / std::sqrt(562800.0), 1e-6);
}

TEST(AssessmentIndices, MeasuredCurvesAgreeWithTheFormulas) {
    const Curve ref = curveOf(kReference);
    for (double shift : {1.0, 1.03, 1.08}) {
        // Another grid, so that the diagnosed gain is really interpolated.
        const db::SweepRecord d = sweep(1500, [shift](double f) { return windingGain(f, shift) + 0.4; }, 15.0, 3e6);
        const std::vector<ResampledPoint> pts = resampleAtFingerprint(kReference, d);
        for (const FrequencyBand& band : testBands()) {
            SCOPED_TRACE(band.name + " shift " + std::to_string(shift));
            expectIndices(bandIndices(pts, band), oracle(ref, curveOf(d), band.low, band.high));
        }
    }
}

TEST(AssessmentIndices, IdenticalSweepsCorrelateExactly) {
    const std::vector<ResampledPoint> pts = resampleAtFingerprint(kReference, kReference);
    const Curve ref = curveOf(kReference);
    for (const FrequencyBand& band : testBands()) {
        SCOPED_TRACE(band.name);
        const BandIndices b = bandIndices(pts, band);
        expectIndices(b, oracle(ref, ref, band.low, band.high), false);
        ASSERT_TRUE(b.Rxy && b.CC && b.MM && b.maxAbsDiff);
        EXPECT_EQ(*b.Rxy, 10.0);
        EXPECT_NEAR(*b.CC, 1.0, 1e-12);
        EXPECT_NEAR(*b.MM, 1.0, 1e-12);
        EXPECT_NEAR(*b.maxAbsDiff, 0.0, 1e-12);
    }
}

TEST(AssessmentIndices, ConstantOffsetIsSeenByLevelIndicesOnly) {
    const double offset = 3.0;
    const db::SweepRecord d = sweep(1000, [offset](double f) { return windingGain(f) + offset; }, 20.0, 2e6);
    const std::vector<ResampledPoint> pts = resampleAtFingerprint(kReference, d);
    for (const FrequencyBand& band : testBands()) {
        SCOPED_TRACE(band.name);
        const BandIndices b = bandIndices(pts, band);
        expectIndices(b, oracle(curveOf(kReference), curveOf(d), band.low, band.high), false);
        ASSERT_TRUE(b.LRxy && b.Rxy && b.CC && b.SD && b.CSD && b.ASLE && b.maxAbsDiff);
        EXPECT_NEAR(*b.LRxy, 1.0, 1e-6);
        EXPECT_GT(*b.Rxy, 6.5);  // 10 unless the single-precision root lands just below 1
        EXPECT_LT(*b.CC, 1.0 - 1e-6);
        EXPECT_NEAR(*b.ASLE, offset, 1e-9);
        EXPECT_NEAR(*b.maxAbsDiff, offset, 1e-9);
        EXPECT_NEAR(*b.SD, offset * std::sqrt(b.count / (b.count - 1.0)), 1e-9);
        EXPECT_NEAR(*b.CSD, 0.0, 1e-9);
    }
}

TEST(AssessmentIndices, ShiftedResonanceShowsInItsBand) {
    const db::SweepRecord d = sweep(1000, [](double f) { return windingGain(f, 1.04); }, 20.0, 2e6);
    const std::vector<ResampledPoint> pts = resampleAtFingerprint(kReference, d);
    const BandIndices bands[] = {bandIndices(pts, dlt911Bands()[0]), bandIndices(pts, dlt911Bands()[1])};
    for (const BandIndices& b : bands) ASSERT_TRUE(b.Rxy && b.SD && b.maxAbsDiffFrequency);
    EXPECT_GT(*bands[0].Rxy, *bands[1].Rxy);
    EXPECT_LT(*bands[1].Rxy, 2.0);
    EXPECT_GT(*bands[1].SD, 2.0 * *bands[0].SD);
    EXPECT_NEAR(*bands[1].maxAbsDiffFrequency / kShiftedResonance, 1.0, 0.1);
}

TEST(AssessmentIndices, BandsTooSmallOrFlatLeaveIndicesOut) {
    const Curve ref = curveOf(kReference);
    const std::vector<ResampledPoint> pts = resampleAtFingerprint(kReference, kReference);
    // One point: (f[499], f[500]]; none: strictly between two reference points, and beyond the sweep.
    const double f499 = ref[499].first, f500 = ref[500].first, f501 = ref[501].first;
    const BandIndices one = bandIndices(pts, {"one", f499, f500});
    expectIndices(one, oracle(ref, ref, f499, f500), false);
    EXPECT_EQ(one.count, 1);
    EXPECT_FALSE(one.SD || one.CSD);
    EXPECT_TRUE(one.CC && one.ASLE && one.MM && one.maxAbsDiff && one.maxAbsDiffFrequency);
    for (const FrequencyBand& band : {FrequencyBand{"gap", f500, (f500 + f501) / 2}, FrequencyBand{"above", 2.5e6, 3e6}}) {
        const BandIndices none = bandIndices(pts, band);
        EXPECT_EQ(none.count, 0) << band.name;
        EXPECT_FALSE(none.LRxy || none.Rxy || none.CC || none.SD || none.CSD || none.ASLE || none.MM ||
                     none.maxAbsDiff || none.maxAbsDiffFrequency) << band.name;
    }
    EXPECT_EQ(bandIndices({}, dlt911Bands()[0]).count, 0);

    // Flat curves: no variance, so no correlation; the level indices stay.
    const db::SweepRecord flatRef = sweep(400, [](double) { return -30.0; }, 20.0, 2e6);
    const db::SweepRecord flat = sweep(300, [](double) { return -27.0; }, 10.0, 3e6);
    const BandIndices b = bandIndices(resampleAtFingerprint(flatRef, flat), dlt911Bands()[1]);
    expectIndices(b, oracle(curveOf(flatRef), curveOf(flat), 1e5, 6e5));
    EXPECT_FALSE(b.LRxy || b.Rxy);
    ASSERT_TRUE(b.CC && b.SD && b.ASLE && b.MM);
    EXPECT_NEAR(*b.MM, std::pow(10.0, -3.0 / 20.0), 1e-12);

    // A reference at 0 dB throughout: the cosine form has no denominator either.
    const BandIndices zero = bandIndices({{2000, 0, -3}, {3000, 0, 2}, {4000, 0, -1}}, {"z", 1000, 5000});
    EXPECT_FALSE(zero.CC || zero.LRxy || zero.Rxy);
    ASSERT_TRUE(zero.SD && zero.ASLE);
    EXPECT_NEAR(*zero.SD, std::sqrt(7.0), 1e-12);
}

TEST(AssessmentBands, FixedAndFromEdges) {
    const std::vector<FrequencyBand> fixed = dlt911Bands();
    ASSERT_EQ(fixed.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(fixed[i].name, std::vector<std::string>({"RLF", "RMF", "RHF"})[i]);
        EXPECT_TRUE(fixed[i].low == kBandEdges[i][0] && fixed[i].high == kBandEdges[i][1]) << i;
    }

    std::vector<FrequencyBand> bands;
    ASSERT_TRUE(bandsFromEdges({1e3, 1e5}, bands));
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_TRUE(bands[0].name == "B1" && bands[0].low == 1e3 && bands[0].high == 1e5);
    ASSERT_TRUE(bandsFromEdges({20, 1e2, 1e3, 1e4, 1e5, 1e6, 2e6}, bands));
    ASSERT_EQ(bands.size(), 6u);
    EXPECT_TRUE(bands[5].name == "B6" && bands[3].low == 1e4 && bands[3].high == 1e5);

    const std::vector<std::vector<double>> refused = {
        {}, {1e3}, {10, 20, 30, 40, 50, 60, 70, 80}, {1e5, 1e3}, {1e3, 1e3}, {0, 1e3}, {-5, 1e3}, {1e3, 1e4, 5e3}};
    for (const auto& edges : refused) {
        std::vector<FrequencyBand> kept = {{"keep", 1, 2}};
        EXPECT_FALSE(bandsFromEdges(edges, kept)) << edges.size() << " edges";
        EXPECT_TRUE(kept.size() == 1 && kept[0].name == "keep");
    }
}
