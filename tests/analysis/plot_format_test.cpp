// Engineering notation and the compact frequency labels of the axes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/plot_format.h"

using namespace analysis;

TEST(FormatEngineering, PicksThePrefixAndTheDecimalsByMagnitude) {
    EXPECT_EQ(FormatEngineering(2500), "2.5000 k");
    EXPECT_EQ(FormatEngineering(0.5), "500.00 m");
    EXPECT_EQ(FormatEngineering(123.4), "123.40 ");
    EXPECT_EQ(FormatEngineering(1.5), "1.5000 ");
    EXPECT_EQ(FormatEngineering(12.5), "12.500 ");
    EXPECT_EQ(FormatEngineering(47e-12), "47.000 p");
    EXPECT_EQ(FormatEngineering(3.3e-9), "3.3000 n");
    EXPECT_EQ(FormatEngineering(2e-6), "2.0000 u");
    EXPECT_EQ(FormatEngineering(1e6), "1.0000 M");
    EXPECT_EQ(FormatEngineering(999e6), "999.00 M");
    EXPECT_EQ(FormatEngineering(2e9), "2.0000 G");
}

TEST(FormatEngineering, ZeroNegativesAndValuesBeyondThePrefixes) {
    EXPECT_EQ(FormatEngineering(0), "0.0000 ");
    EXPECT_EQ(FormatEngineering(-0.00123), "-1.2300 m");
    EXPECT_EQ(FormatEngineering(1.5e12), "1.5000E12");
    EXPECT_EQ(FormatEngineering(2e-15), "2.0000E-15");
    EXPECT_EQ(FormatEngineering(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_NE(FormatEngineering(std::nan("")).find("nan"), std::string::npos);
}

TEST(FormatEngineering, BufferKeepsTwoBytesSpare) {
    char buffer[6];
    FormatEngineering(2500, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "2.50");
    char roomy[32];
    FormatEngineering(-0.00123, roomy, sizeof roomy);
    EXPECT_STREQ(roomy, "-1.2300 m");
}

TEST(FormatFrequencyLabel, PrefixTakesThePlaceOfThePoint) {
    EXPECT_EQ(FormatFrequencyLabel(2500), "2k5");
    EXPECT_EQ(FormatFrequencyLabel(1000), "1k");
    EXPECT_EQ(FormatFrequencyLabel(10000), "10k");
    EXPECT_EQ(FormatFrequencyLabel(100000), "100k");
    EXPECT_EQ(FormatFrequencyLabel(1000000), "1M");
    EXPECT_EQ(FormatFrequencyLabel(1250000), "1M25");
    EXPECT_EQ(FormatFrequencyLabel(100), "100");
    EXPECT_EQ(FormatFrequencyLabel(20), "20");
    EXPECT_EQ(FormatFrequencyLabel(0), "0");
    // The value is cut to a whole number first.
    EXPECT_EQ(FormatFrequencyLabel(2599.9), "2k599");
    EXPECT_EQ(FormatFrequencyLabel(1.67), "1");
    // The exponent form stands whole instead of shrinking to its first digit.
    EXPECT_EQ(FormatFrequencyLabel(1.5e12), "1.5000E12");

    char buffer[4];
    FormatFrequencyLabel(100000, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "10");
}
