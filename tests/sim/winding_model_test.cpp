// The simulated winding: does its response look like a real open-circuit SFRA curve, do the impedance
// quantities agree with each other, and does each profile grade as intended by the band-correlation
// diagnosis (the program's own, on sweeps read as the program reads them)?
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>

#include "analysis/diagnosis.h"
#include "protocol.h"
#include "wire.h"
#include "winding_model.h"

using namespace sim;

namespace {

struct Point {
    double f, gain;
};

// A sweep as the program receives it: "fra,start", then "fra?sweep" parsed strictly.
std::vector<Point> measuredSweep(Profile profile, const char* start, const char* end, int steps, std::uint64_t seed = 1) {
    InstrumentSetup setup;
    setup.pointMs = 0;
    setup.profile = profile;
    setup.seed = seed;
    Instrument instrument(setup);
    Session session(instrument, LinkKind::Tcp);
    const std::string commands = std::string("config,19,") + start + "\n" + '\0' + "config,20," + end + "\n" + '\0' +
                                 "config,18," + std::to_string(steps) + "\n" + '\0' + "fra,start\n" + '\0' +
                                 "fra?sweep\n" + '\0';
    session.receive(commands, 0);
    std::vector<Point> points;
    for (const std::string& line : simtest::splitLines(session.takeDue(0))) {
        std::vector<double> v;
        EXPECT_TRUE(simtest::parseStrict(line, v)) << line;
        if (v.size() == 6) points.push_back({v[0], v[3]});
    }
    EXPECT_EQ(points.size(), static_cast<std::size_t>(steps));
    return points;
}

// The program's own diagnosis of two measured sweeps.
analysis::DiagnosisResult diagnose(const std::vector<Point>& fingerprint, const std::vector<Point>& diagnosed) {
    auto record = [](const std::vector<Point>& points) {
        db::SweepRecord s;
        s.dataType = db::kDataBasicFra;
        for (const Point& p : points) s.basicPoints.push_back({p.f, p.gain, 0.0});
        return s;
    };
    return analysis::diagnose(record(fingerprint), record(diagnosed));
}

std::string describe(const analysis::DiagnosisResult& d) {
    char text[160];
    std::snprintf(text, sizeof text, "RLF %.3f RMF %.3f RHF %.3f (counts %d %d %d) class %d", d.bands[0].Rxy,
                  d.bands[1].Rxy, d.bands[2].Rxy, d.bands[0].count, d.bands[1].count, d.bands[2].count, d.classCode);
    return text;
}

}  // namespace

TEST(SimWindingModel, EachProfileGradesAsIntendedAgainstTheHealthyFingerprint) {
    struct Case {
        Profile profile;
        int expected;
    };
    const Case cases[] = {{Profile::Healthy, 1}, {Profile::Repeat, 1}, {Profile::Gentle, 2}, {Profile::Obvious, 3},
                          {Profile::Severe, 4}};
    // The usual sweep, and a wider, denser one: the grading must not hang on the grid.
    const std::vector<Point> fingerprint = measuredSweep(Profile::Healthy, "2.0000E+01", "2.0000E+06", 1000);
    const std::vector<Point> wideFingerprint = measuredSweep(Profile::Healthy, "1.0000E+01", "2.0000E+07", 2000);
    for (const Case& c : cases) {
        const analysis::DiagnosisResult d = diagnose(fingerprint, measuredSweep(c.profile, "2.0000E+01", "2.0000E+06", 1000));
        EXPECT_EQ(d.classCode, c.expected) << profileName(c.profile) << ": " << describe(d);
        EXPECT_GT(d.bands[0].count, 350);
        std::printf("[          ] %-8s %s\n", profileName(c.profile), describe(d).c_str());
        const analysis::DiagnosisResult w = diagnose(wideFingerprint, measuredSweep(c.profile, "1.0000E+01", "2.0000E+07", 2000));
        EXPECT_EQ(w.classCode, c.expected) << profileName(c.profile) << " (wide): " << describe(w);
    }
    // Repeat measurements with other noise stay normal.
    for (std::uint64_t seed : {2u, 3u, 99u}) {
        const analysis::DiagnosisResult d = diagnose(fingerprint, measuredSweep(Profile::Repeat, "2.0000E+01", "2.0000E+06", 1000, seed));
        EXPECT_EQ(d.classCode, 1) << "seed " << seed << ": " << describe(d);
    }
}

TEST(SimWindingModel, RepeatNoiseIsSmallAndRepeatableBySeed) {
    const auto a = measuredSweep(Profile::Repeat, "2.0000E+01", "2.0000E+06", 300, 5);
    const auto b = measuredSweep(Profile::Repeat, "2.0000E+01", "2.0000E+06", 300, 5);
    const auto c = measuredSweep(Profile::Repeat, "2.0000E+01", "2.0000E+06", 300, 6);
    const auto h = measuredSweep(Profile::Healthy, "2.0000E+01", "2.0000E+06", 300);
    int differ = 0;
    for (std::size_t k = 0; k < a.size(); ++k) {
        EXPECT_EQ(a[k].gain, b[k].gain);
        differ += a[k].gain != c[k].gain;
        EXPECT_NEAR(a[k].gain, h[k].gain, 0.3) << a[k].f;
    }
    EXPECT_GT(differ, 250);
}

TEST(SimWindingModel, HealthyCurveLooksLikeAnOpenCircuitSfraCurve) {
    WindingModel model(Profile::Healthy);
    std::vector<FraReading> r;
    for (int k = 0; k < 2000; ++k) r.push_back(model.measureFra(10 * std::pow(2e6, k / 1999.0)));  // 10 Hz - 20 MHz
    for (const auto& p : r) {
        ASSERT_TRUE(std::isfinite(p.gainDb) && std::isfinite(p.phaseDeg) && std::isfinite(p.delay)) << p.frequency;
        EXPECT_GT(p.gainDb, -100) << p.frequency;
        EXPECT_LT(p.gainDb, 0) << p.frequency;
        EXPECT_GT(p.phaseDeg, -180.0001);
        EXPECT_LE(p.phaseDeg, 180);
        EXPECT_LE(p.mag1, 10.0);
        EXPECT_LT(p.mag2, p.mag1);
    }
    auto gainAt = [&](double f) {
        for (const auto& p : r)
            if (p.frequency >= f) return p.gainDb;
        return r.back().gainDb;
    };
    const double start = gainAt(20);
    EXPECT_GE(start, -60);
    EXPECT_LE(start, -40);
    // The first deep minimum: the lowest point below 10 kHz, between a few hundred Hz and a few kHz.
    const FraReading* first = &r[0];
    for (const auto& p : r)
        if (p.frequency < 1e4 && p.gainDb < first->gainDb) first = &p;
    EXPECT_GT(first->frequency, 300);
    EXPECT_LT(first->frequency, 3000);
    EXPECT_LT(first->gainDb, start - 25);

    // Between 2 kHz and 1 MHz: alternating minima and maxima, each pair at least 10 dB apart, between
    // -60 and -15 dB.
    int swings = 0;
    double low = 1e9, high = -1e9;
    bool seekingMax = true;
    for (const auto& p : r) {
        if (p.frequency < 2e3 || p.frequency > 1e6) continue;
        EXPECT_GT(p.gainDb, -80);
        if (p.frequency > 1e4) {
            EXPECT_GT(p.gainDb, -60) << p.frequency;
            EXPECT_LT(p.gainDb, -15) << p.frequency;
        }
        low = std::min(low, p.gainDb);
        high = std::max(high, p.gainDb);
        if (seekingMax && p.gainDb < high - 10) {
            ++swings;
            seekingMax = false;
            low = p.gainDb;
        } else if (!seekingMax && p.gainDb > low + 10) {
            ++swings;
            seekingMax = true;
            high = p.gainDb;
        }
    }
    EXPECT_GE(swings, 10) << "a series of resonances 10 dB or more deep";
}

TEST(SimWindingModel, DeformationsChangeTheBandsTheyShould) {
    // Shorted turns raise the low band strongly; axial displacement leaves it alone.
    WindingModel healthy(Profile::Healthy), gentle(Profile::Gentle), severe(Profile::Severe);
    EXPECT_GT(severe.measureFra(50).gainDb, healthy.measureFra(50).gainDb + 15);
    EXPECT_NEAR(gentle.measureFra(50).gainDb, healthy.measureFra(50).gainDb, 0.1);
    // Above 5 MHz the leads dominate and every profile is much the same.
    EXPECT_NEAR(severe.measureFra(1e7).gainDb, healthy.measureFra(1e7).gainDb, 8);
}

TEST(SimWindingModel, ImpedanceQuantitiesAgreeWithEachOtherAndWithTheResponse) {
    constexpr double kTwoPi = 2 * std::numbers::pi;
    for (Profile profile : {Profile::Healthy, Profile::Severe}) {
        WindingModel model(profile);
        bool sawInductive = false, sawCapacitive = false;
        for (int k = 0; k < 400; ++k) {
            const double f = 10 * std::pow(2e6, k / 399.0);
            const ImpedanceReading z = model.measureImpedance(f);
            ASSERT_TRUE(std::isfinite(z.zMagnitude) && z.zMagnitude > 0) << f;
            EXPECT_NEAR(z.yMagnitude * z.zMagnitude, 1.0, 1e-12);
            EXPECT_DOUBLE_EQ(z.yPhaseDeg, -z.zPhaseDeg);
            EXPECT_NEAR(z.resistance, z.zMagnitude * std::cos(z.zPhaseDeg * std::numbers::pi / 180), z.zMagnitude * 1e-9);
            EXPECT_GT(z.resistance, 0) << "a passive winding";
            const double x = z.z.imag();
            if (x > 0) {
                sawInductive = true;
                EXPECT_NEAR(z.inductance, x / (kTwoPi * f), z.inductance * 1e-12);
                EXPECT_EQ(z.capacitance, 0);
            } else if (x < 0) {
                sawCapacitive = true;
                EXPECT_NEAR(z.capacitance, -1 / (kTwoPi * f * x), z.capacitance * 1e-12);
                EXPECT_EQ(z.inductance, 0);
            }
            // The reference channel sees the source divided between its 50 ohm and this impedance
            // (the lead inductance is negligible at these frequencies).
            if (f < 1e4) {
                const double expected = std::abs(10.0 * z.z / (z.z + 50.0));
                EXPECT_NEAR(model.measureFra(f).mag1, expected, expected * 1e-3) << f;
            }
        }
        EXPECT_TRUE(sawInductive && sawCapacitive) << profileName(profile);
    }
    // Low frequencies look into the magnetising inductance: tens of henries.
    WindingModel model(Profile::Healthy);
    const ImpedanceReading lf = model.measureImpedance(20);
    EXPECT_GT(lf.inductance, 10);
    EXPECT_LT(lf.inductance, 100);
}
