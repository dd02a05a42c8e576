// The Range dialog's rules: what each axis accepts, adjusts and refuses.
#include <gtest/gtest.h>

#include "analysis/range_entry.h"

using namespace analysis;

namespace {

const std::string kNotAscending = "The maximum frequency must be greater than the minimum frequency";

}  // namespace

TEST(RangeEntry, FrequenciesAreKeptWithinTheInstrumentsSpanAndApart) {
    RangeEntry e = checkRangeEntry(RangeAxis::Frequency, "5", "5.0005");
    EXPECT_EQ(e.refusal, "");
    EXPECT_EQ(e.min, 5);
    EXPECT_DOUBLE_EQ(e.max, 5.001);
    EXPECT_FALSE(e.minAdjusted);
    EXPECT_TRUE(e.maxAdjusted);

    e = checkRangeEntry(RangeAxis::Frequency, "1000", "5e7");
    EXPECT_EQ(e.max, 40000000);
    EXPECT_TRUE(e.maxAdjusted);

    EXPECT_EQ(checkRangeEntry(RangeAxis::Frequency, "0", "1000").refusal, "Invalid frequency values");
    EXPECT_EQ(checkRangeEntry(RangeAxis::Frequency, "-5", "1000").refusal, "Invalid frequency values");
    EXPECT_EQ(checkRangeEntry(RangeAxis::Frequency, "1000", "1000").refusal, kNotAscending);
    EXPECT_EQ(checkRangeEntry(RangeAxis::Frequency, "nan", "1000").refusal, kNotAscending);
}

TEST(RangeEntry, ValueAxesAreLimitedAndNeverLeftEmptyOrReversed) {
    RangeEntry e = checkRangeEntry(RangeAxis::Left, "-500", "20");
    EXPECT_EQ(e.refusal, "");
    EXPECT_EQ(e.min, -200);
    EXPECT_TRUE(e.minAdjusted);
    EXPECT_EQ(checkRangeEntry(RangeAxis::Right, "-400", "400").max, 360);

    EXPECT_EQ(checkRangeEntry(RangeAxis::Left, "10", "-10").refusal, kNotAscending);
    EXPECT_EQ(checkRangeEntry(RangeAxis::Right, "5", "5").refusal, kNotAscending);
    // Both beyond the limit would give an axis of no height once limited.
    EXPECT_EQ(checkRangeEntry(RangeAxis::Left, "-500", "-300").refusal, kNotAscending);
    // Text that is no number reads as 0, as the dialog always read it.
    EXPECT_EQ(checkRangeEntry(RangeAxis::Left, "abc", "12").min, 0);
}
