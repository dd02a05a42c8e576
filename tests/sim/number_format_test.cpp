// The two number forms of measured values: text that strict parsing accepts, and packed binary groups.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "number_format.h"
#include "wire.h"

using namespace sim;

namespace {

const double kSamples[] = {0.0,     1.0,     -1.0,      0.5,      -3.0,     1e-12,     -4.0123e1,     9.99995e3,
                           1.23456e9, 2e6,   5.2e-10,   -7.7e-8,  3.2e7,    1e-99,     1e-100,        -9.99999e99,
                           1e150,   6.02e23, -1.6e-19,  123.456,  -0.0001,  2.5,       std::nan(""),  std::numeric_limits<double>::infinity()};

}  // namespace

TEST(SimNumberFormat, TextFieldsHaveOnePointAndEightToElevenCharacters) {
    for (double v : kSamples) {
        const std::string t = formatText(v);
        std::vector<double> parsed;
        ASSERT_TRUE(simtest::parseStrict(t, parsed)) << v << " -> " << t;
        if (std::isfinite(v) && std::fabs(v) >= 1e-99 && std::fabs(v) < 1e99) {
            EXPECT_NEAR(parsed[0], v, std::fabs(v) * 5e-5) << t;
        }
    }
    EXPECT_EQ(formatText(1234.5), "1.2345E+03");
    EXPECT_EQ(formatText(-40.123), "-4.0123E+01");
    EXPECT_EQ(formatText(std::nan("")), "0.0000E+00");
    EXPECT_EQ(formatTextWithoutPoint(12345.0), "12345E+04");
}

TEST(SimNumberFormat, BinaryGroupsMatchTheirKnownBytes) {
    // 0.5 = 2^19 / 2^20 x 2^0; -3 = 0.75 x 2^2, negative.
    EXPECT_EQ(formatBinary(0.5), std::string("\x80\xA0\x80\x80", 4));
    EXPECT_EQ(formatBinary(-3.0), std::string("\x82\xF0\x80\x80", 4));
    // 1e-3 = 0.512 x 2^-9: exponent byte 0x80 | (-9 & 0x7F).
    EXPECT_EQ(static_cast<unsigned char>(formatBinary(1e-3)[0]), 0x80 | 0x77);
    // Zero has the non-zero bit clear.
    EXPECT_EQ(formatBinary(0.0), std::string("\x80\x80\x80\x80", 4));
}

TEST(SimNumberFormat, BinaryGroupsDecodeWithinMantissaPrecisionAndAvoidFramingBytes) {
    for (double v : kSamples) {
        const std::string g = formatBinary(v);
        ASSERT_EQ(g.size(), 4u);
        for (char c : g) {
            const auto b = static_cast<unsigned char>(c);
            EXPECT_TRUE(b & 0x80) << v;
            EXPECT_NE(b, ',');
        }
        std::vector<double> decoded;
        ASSERT_TRUE(simtest::parseBinary(g, decoded));
        ASSERT_EQ(decoded.size(), 1u);
        EXPECT_DOUBLE_EQ(decodeBinary(g), decoded[0]);
        const double a = std::fabs(v);
        if (!std::isfinite(v)) {
            EXPECT_EQ(decoded[0], 0.0);
        } else if (a > std::ldexp(1.0, 63)) {
            EXPECT_GT(std::fabs(decoded[0]), 9e18) << "saturates";
            EXPECT_EQ(std::signbit(decoded[0]), std::signbit(v));
        } else if (a < std::ldexp(0.5, -64)) {
            EXPECT_EQ(decoded[0], 0.0) << v;
        } else {
            EXPECT_NEAR(decoded[0], v, a * std::ldexp(1.0, -19)) << v;
        }
    }
}

TEST(SimNumberFormat, ValueLinesJoinFieldsWithCommas) {
    const std::vector<double> v = {20.0, 9.97, 0.0957, -40.36, -75.2, 9.06e-5};
    EXPECT_EQ(formatValues(v, false), "2.0000E+01,9.9700E+00,9.5700E-02,-4.0360E+01,-7.5200E+01,9.0600E-05");
    const std::string b = formatValues(v, true);
    std::vector<double> decoded;
    ASSERT_TRUE(simtest::parseBinary(b, decoded));
    ASSERT_EQ(decoded.size(), v.size());
    EXPECT_EQ(b.find('\r'), std::string::npos);
    EXPECT_EQ(b.find('\n'), std::string::npos);
    // A malformed field makes the whole line text, with exactly that field lacking its point.
    const std::string bad = formatValues(v, true, 1);
    EXPECT_EQ(bad, "2.0000E+01,99700E+00,9.5700E-02,-4.0360E+01,-7.5200E+01,9.0600E-05");
}
