// Engineering numbers as they are typed into the sweep and record dialogs.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "measure/engineering_number.h"

using measure::parseEngineeringNumber;

TEST(EngineeringNumber, MultipliersSeparatorsAndExponents) {
    EXPECT_DOUBLE_EQ(parseEngineeringNumber("10k"), 10000.0);
    EXPECT_DOUBLE_EQ(parseEngineeringNumber("45M"), 45e6);
    EXPECT_DOUBLE_EQ(parseEngineeringNumber("45.1M"), 45.1e6);
    EXPECT_DOUBLE_EQ(parseEngineeringNumber("1k5"), 1005.0);  // each letter closes a group of its own
    EXPECT_DOUBLE_EQ(parseEngineeringNumber("2,5m"), 2.5e-3);
    EXPECT_DOUBLE_EQ(parseEngineeringNumber("4.99"), 4.99);
    EXPECT_DOUBLE_EQ(parseEngineeringNumber("1.0000E+01"), 10.0);
    EXPECT_DOUBLE_EQ(parseEngineeringNumber("2.5e-3"), 2.5e-3);
    EXPECT_DOUBLE_EQ(parseEngineeringNumber("-12.5"), -12.5);
    EXPECT_DOUBLE_EQ(parseEngineeringNumber("3p"), 3e-12);
    EXPECT_DOUBLE_EQ(parseEngineeringNumber("2D"), 20.0);
    EXPECT_DOUBLE_EQ(parseEngineeringNumber("7d"), 0.7);
    EXPECT_EQ(parseEngineeringNumber(""), 0.0);
}

TEST(EngineeringNumber, ValidityFlag) {
    bool valid = false;
    EXPECT_DOUBLE_EQ(parseEngineeringNumber("230", &valid), 230.0);
    EXPECT_TRUE(valid);
    parseEngineeringNumber("1.2.3", &valid);
    EXPECT_FALSE(valid);  // a second separator in one group
    parseEngineeringNumber("1.5k2.5", &valid);
    EXPECT_TRUE(valid);  // one separator per group
    // "V" is no multiplier: with the flag asked for, the number is refused and its group dropped.
    EXPECT_DOUBLE_EQ(parseEngineeringNumber("11kV", &valid), 11000.0);
    EXPECT_FALSE(valid);
    EXPECT_DOUBLE_EQ(parseEngineeringNumber("12V"), 12.0);  // without the flag, it just ends the group
    EXPECT_DOUBLE_EQ(parseEngineeringNumber("12V", &valid), 0.0);
    EXPECT_FALSE(valid);
}

TEST(EngineeringNumber, LongDigitRunsKeepTheirValue) {
    const std::string zeros(400, '0');
    struct Case {
        std::string text;
        double value;
    } cases[] = {
        {"1e" + std::string(20, '9'), HUGE_VAL},  // an exponent of 20 digits: infinitely large, no overflow
        {"1e-" + std::string(20, '9'), 0.0},
        {"0." + zeros + "5", 0.0},  // digits past a double's smallest weight add nothing
        {"2." + zeros + "7", 2.0},
        {"0e400", 0.0},  // zero under an infinite power of ten
        {"1." + std::string(40, '0') + "1k", 1000.0},
    };
    for (const Case& c : cases) {
        bool valid = false;
        EXPECT_DOUBLE_EQ(parseEngineeringNumber(c.text, &valid), c.value) << c.text.substr(0, 12);
        EXPECT_TRUE(valid) << c.text.substr(0, 12);
    }
}
