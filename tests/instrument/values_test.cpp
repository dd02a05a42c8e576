// Numeric replies: text and packed binary forms, strict and lenient parsing, the counted prefix.
#include <gtest/gtest.h>

#include <cmath>

#include "instrument/values.h"
#include "packed.h"

using instrument::parseReplyValues;
using instrument::parseValues;

TEST(TextValues, StrictParsingAcceptsOnlyWellFormedFields) {
    double v[8] = {};
    EXPECT_EQ(parseValues("1.2345E+03,-4.0123E+01,0.0000E+00", v, 8, true), 3);
    EXPECT_DOUBLE_EQ(v[0], 1234.5);
    EXPECT_DOUBLE_EQ(v[1], -40.123);
    for (const char* bad : {"12345E+03", "1.23.5E+03", "1.234E+", "1.23456E+003", "1.2345E+03,", "1.2345E+03,7"})
        EXPECT_EQ(parseValues(bad, v, 8, true), -1) << bad;
    // Lenient parsing takes whatever the C library makes of each field.
    EXPECT_EQ(parseValues("1,2.5,abc", v, 8, false), 3);
    EXPECT_EQ(v[0], 1.0);
    EXPECT_EQ(v[1], 2.5);
    EXPECT_EQ(v[2], 0.0);
    EXPECT_EQ(parseValues("1.0000E+00,2.0000E+00,3.0000E+00", v, 2, true), 2);  // capacity first
    EXPECT_EQ(parseValues("", v, 8, false), 0);
}

TEST(TextValues, CountedPrefixBecomesTheFirstValue) {
    double v[8] = {};
    EXPECT_EQ(parseReplyValues("SWEEPPT:00012:1.0000E+03,2.5000E+00", v, 8, true), 3);
    EXPECT_EQ(v[0], 12.0);
    EXPECT_EQ(v[1], 1000.0);
    EXPECT_EQ(v[2], 2.5);
    EXPECT_EQ(parseReplyValues("SWEEPPT:00012:1000,2.5000E+00", v, 8, true), 0);  // strict error after the prefix
    // A shorter word is no prefix: the whole reply is parsed (and here fails).
    EXPECT_EQ(parseReplyValues("FRA:00012:1.0000E+03", v, 8, true), -1);
}

TEST(PackedValues, DecodeEncodeAndShowAsText) {
    for (double x : {2.5, -0.001, 1.0e6, 20.0, -180.0, 1.0e-12}) {
        std::string g = testing_support::packedGroup(x);
        double back = instrument::decodePacked(reinterpret_cast<const unsigned char*>(g.data()));
        EXPECT_NEAR(back, x, std::fabs(x) * 2e-6) << x;
    }
    EXPECT_EQ(instrument::decodePacked(reinterpret_cast<const unsigned char*>(testing_support::packedGroup(0).data())),
              0.0);
    EXPECT_EQ(instrument::packedValueText(2.5), "2.50000E0");
    EXPECT_EQ(instrument::packedValueText(-0.001), "-1.00000E-3");
    EXPECT_EQ(instrument::packedValueText(1e10), "1.00000E10");
    EXPECT_EQ(instrument::packedValueText(0.0), "0.00000E0");
    EXPECT_EQ(instrument::packedValueText(1.5e-100), "1.50000E-100");
}

TEST(PackedValues, GroupsEndAtAZeroOrLineFeedAndRejectCommas) {
    double v[8] = {};
    std::string reply = testing_support::packedReply({20.0, -40.5, 12.25});
    EXPECT_EQ(parseValues(reply, v, 8, true), 3);
    EXPECT_NEAR(v[1], -40.5, 1e-4);
    EXPECT_EQ(parseValues(reply, v, 2, true), 2);

    std::string withLineFeed = testing_support::packedGroup(1.0) + "\n" + testing_support::packedGroup(2.0);
    EXPECT_EQ(parseValues(withLineFeed, v, 8, true), 1);
    EXPECT_EQ(parseValues(withLineFeed, v, 8, false), 2);  // lenient parsing only stops at a zero

    std::string comma = testing_support::packedGroup(1.0);
    comma[2] = ',';
    EXPECT_EQ(parseValues(comma, v, 8, true), -1);
    std::string cut = testing_support::packedGroup(1.0) + "," + testing_support::packedGroup(2.0).substr(0, 2);
    EXPECT_EQ(parseValues(cut, v, 8, true), -1);
}
