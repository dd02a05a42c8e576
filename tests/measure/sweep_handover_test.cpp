// The "Sweep Data" dialog's progress figure for any counts the worker reports.
#include <gtest/gtest.h>

#include "measure/sweep_handover.h"

namespace {

TEST(SweepProgress, StaysBetweenOneAndAHundredWhateverTheCounts) {
    EXPECT_EQ(measure::progressPercentage(1, 2), 51);
    EXPECT_EQ(measure::progressPercentage(2, 2), 100);
    EXPECT_EQ(measure::progressPercentage(0, 2000), 1);
    EXPECT_EQ(measure::progressPercentage(1999, 2000), 100);
    EXPECT_EQ(measure::progressPercentage(7, 50), 15);         // fewer steps than a hundred
    EXPECT_EQ(measure::progressPercentage(2000, 1500), 100);   // more points than the count said
    EXPECT_EQ(measure::progressPercentage(3, 0), 100);         // no count from the instrument
    EXPECT_EQ(measure::progressPercentage(30000000, 40000000), 76);   // large counts do not overflow
}

}  // namespace
