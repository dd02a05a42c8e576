// The 0 dB and 0 degree points of a response and their reports.
#include <gtest/gtest.h>

#include "measure/zero_crossings.h"

using namespace measure;

namespace {

std::vector<ResponsePoint> gains(std::initializer_list<double> values, double phaseStep = 10.0) {
    std::vector<ResponsePoint> pts;
    double f = 100.0, phase = 0.0;
    for (double g : values) {
        pts.push_back({f, g, phase});
        f += 100.0;
        phase += phaseStep;
    }
    return pts;
}

}  // namespace

TEST(ZeroCrossings, InterpolatesFrequencyAndTheOtherQuantity) {
    auto found = findGainCrossings(gains({3, 1, -1, -3}));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_DOUBLE_EQ(found[0].frequency, 250.0);
    EXPECT_DOUBLE_EQ(found[0].other, 15.0);  // halfway between 10 and 20 degrees
    EXPECT_EQ(gainCrossingReport(found), "0dB point = freq: 250.00 phase: 15.00");

    std::vector<ResponsePoint> phases = {{1000, -5, 30}, {2000, -7, -10}};
    auto zero = findPhaseCrossings(phases);
    ASSERT_EQ(zero.size(), 1u);
    EXPECT_DOUBLE_EQ(zero[0].frequency, 1750.0);
    EXPECT_DOUBLE_EQ(zero[0].other, -6.5);
    EXPECT_EQ(phaseCrossingReport(zero), "0Phase point = freq: 1750.00 gain: -6.50");
}

TEST(ZeroCrossings, PointsLyingOnZeroCountOnceWithTheirNeighbour) {
    auto at = [](std::initializer_list<double> g) { return findGainCrossings(gains(g)); };
    ASSERT_EQ(at({0, -1}).size(), 1u);
    EXPECT_DOUBLE_EQ(at({0, -1})[0].frequency, 100.0);
    ASSERT_EQ(at({1, 0, 1}).size(), 1u);
    EXPECT_DOUBLE_EQ(at({1, 0, 1})[0].frequency, 200.0);
    ASSERT_EQ(at({-1, 0, 1}).size(), 1u);
    EXPECT_DOUBLE_EQ(at({-1, 0, 1})[0].frequency, 200.0);
    EXPECT_TRUE(at({1, 1, 0, 0}).empty());
    EXPECT_TRUE(at({5}).empty());
    EXPECT_EQ(gainCrossingReport(at({5})), "No gain 0dB point found");
    EXPECT_EQ(phaseCrossingReport(findPhaseCrossings(gains({5}, 0))), "No 0Phase point found");
}

TEST(ZeroCrossings, TwoPointsAtOneFrequencyDoNotDivideByZero) {
    std::vector<ResponsePoint> pts = {{500, 2, 40}, {500, -2, 20}};
    auto found = findGainCrossings(pts);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_DOUBLE_EQ(found[0].frequency, 500.0);
    EXPECT_DOUBLE_EQ(found[0].other, 30.0);
}

TEST(ZeroCrossings, ReportsListTenAndThenEllipsis) {
    std::vector<ResponsePoint> pts;
    for (int i = 0; i < 13; ++i) pts.push_back({100.0 * (i + 1), (i % 2) ? -1.0 : 1.0, 0.0});
    auto found = findGainCrossings(pts);
    ASSERT_EQ(found.size(), 12u);
    std::string report = gainCrossingReport(found);
    EXPECT_EQ(report.rfind("There were 12 0dB points found\n\n0dB point 1 =  freq: 150.00  phase: 0.00 \n", 0), 0u);
    EXPECT_NE(report.find("0dB point 10 =  freq: 1050.00  phase: 0.00 \n..."), std::string::npos);
    EXPECT_EQ(report.find("0dB point 11"), std::string::npos);
    EXPECT_TRUE(report.ends_with("..."));

    std::vector<Crossing> two = {{1, 2}, {3, 4}};
    EXPECT_EQ(phaseCrossingReport(two), "There were 2 0Phase points found\n\n0Phase point 1 =  freq: 1.00  gain: 2.00 \n"
                                        "0Phase point 2 =  freq: 3.00  gain: 4.00 \n");
}
