// Calibration texts turned into dates and due dates, and whether a due date has passed.
#include <gtest/gtest.h>

#include "instrument/calibration.h"

using namespace instrument;

TEST(Calibration, DatesInNumbersAndWords) {
    std::string out = "unchanged";
    EXPECT_TRUE(calibrationDate("07_MAR_2024", out, false));
    EXPECT_EQ(out, "07-03-2024");
    EXPECT_TRUE(calibrationDate("07_MAR_2024", out, true));
    EXPECT_EQ(out, "07th March 2024");
    EXPECT_TRUE(calibrationDate("21_JUN_2025 site cal", out, true));
    EXPECT_EQ(out, "21st June 2025");
    EXPECT_TRUE(calibrationDate("02_JUL_2025", out, false));
    EXPECT_EQ(out, "02-07-2025");
    EXPECT_TRUE(calibrationDate("23_AUG_2025", out, true));
    EXPECT_EQ(out, "23rd August 2025");
    EXPECT_TRUE(calibrationDate("12_XYZ_2025", out, false));
    EXPECT_EQ(out, "12-XYZ-2025");
    out = "unchanged";
    EXPECT_FALSE(calibrationDate("default_calibration", out, false));
    EXPECT_FALSE(calibrationDate("", out, false));
    EXPECT_EQ(out, "unchanged");
    EXPECT_TRUE(calibrationDate("7", out, false));  // short texts must not read past their end

    EXPECT_EQ(calibrationDueDate("07_MAR_2024"), "2025-03-07");
    EXPECT_EQ(calibrationDueDate("31_DEC_1999"), "2000-12-31");
    EXPECT_EQ(calibrationDueDate("default_calibration"), "");
}

TEST(Calibration, DueTodayIsCurrentDueYesterdayIsNot) {
    platform::LocalTime today;
    today.year = 2026, today.month = 12, today.day = 8;
    EXPECT_TRUE(isCalibrationCurrent("2026-12-08", today));
    EXPECT_TRUE(isCalibrationCurrent("2027-01-01", today));
    EXPECT_FALSE(isCalibrationCurrent("2026-12-07", today));
    EXPECT_FALSE(isCalibrationCurrent("2025-12-31", today));
    EXPECT_FALSE(isCalibrationCurrent("08-12-2026x", today));
    EXPECT_FALSE(isCalibrationCurrent("2026-12", today));
    EXPECT_FALSE(isCalibrationCurrent("", today));
}
