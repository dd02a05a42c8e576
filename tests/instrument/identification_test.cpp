// Identities, model codes, calibration dates and the window title: the pure parts of connecting.
#include <gtest/gtest.h>

#include "instrument/identification.h"

using namespace instrument;

TEST(Identity, OnlyTheServedIdentitiesAreAccepted) {
    EXPECT_TRUE(isAcceptedIdentity("VELTRONA,QMX74,410-2718,2.07"));
    EXPECT_TRUE(isAcceptedIdentity("VELTRONA,QMX27,1,1"));
    EXPECT_TRUE(isAcceptedIdentity("ORVIK-TEST,QMX74"));
    EXPECT_FALSE(isAcceptedIdentity("OTHERCO,QMX74,410-2718,2.07"));
    EXPECT_FALSE(isAcceptedIdentity("veltrona,QMX74,410-2718,2.07"));
    EXPECT_FALSE(isAcceptedIdentity("VELTRONA,QMX7"));
}

TEST(Identity, ModelTextsMapToTheirCodes) {
    struct Case {
        const char* text;
        int model, modelVariant, rangeVariant;
    } cases[] = {
        {"QMX74,410-1,2.0", 11, 0, 0}, {"QMX27", 10, 0, 0},     {"VTAX1", 18, 0, 0},     {"VTA46", 13, 0, 0},
        {"VTA03", 15, 0, 0},           {"VTA844", 17, 0, 0},    {"VTA9", 9997, 0, 0},    {"KRM9379", 9, 3, 0},
        {"KRM9300", 9, 2, 0},          {"KRM66", 7, 0, 0},      {"KRM8344", 7, 0, 0},    {"KRM8300", 7, 0, 2},
        {"HCX-IV", 7, 0, 2},           {"ZWA77", 5, 0, 0},      {"DWX24", 5, 0, 0},      {"ZWA27", 4, 0, 0},
        {"ZWA97", 16, 0, 0},           {"ZWA67", 2, 0, 0},      {"TBX interface", 3, 0, 0}, {"ZWA87", 1, 0, 0},
        {"ZWA71", 6, 0, 0},            {"BRX", 12, 0, 0},       {"KCAN-RS232", 9999, 0, 0}, {"XYZ", 0, 0, 0},
    };
    for (const Case& c : cases) {
        InstrumentLink link;
        classifyModel(c.text, link);
        EXPECT_EQ(link.model, c.model) << c.text;
        EXPECT_EQ(link.modelVariant, c.modelVariant) << c.text;
        EXPECT_EQ(link.rangeVariant, c.rangeVariant) << c.text;
    }
}

TEST(Identity, FieldsSplitAtCommas) {
    EXPECT_EQ(identityField("VELTRONA,QMX74,410-2718,2.07", 0), "VELTRONA");
    EXPECT_EQ(identityField("VELTRONA,QMX74,410-2718,2.07", 2), "410-2718");
    EXPECT_EQ(identityField("VELTRONA,QMX74,410-2718,2.07", 3), "2.07");
    EXPECT_EQ(identityField("VELTRONA,QMX74,410-2718,2.07", 4), "");
    EXPECT_EQ(identityField("", 1), "");
}

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

TEST(Title, ShowsTheConnection) {
    InstrumentLink link;
    EXPECT_EQ(windowTitle(link), "Corvane v1_5");
    link.connected = true;
    link.interfaceType = kLan;
    link.identity = "VELTRONA,QMX74,1234,2.01";
    EXPECT_EQ(windowTitle(link), "Corvane v1_5     LAN,QMX74,1234,2.01");
    link.interfaceType = kSerial;
    link.identity = "";
    EXPECT_EQ(windowTitle(link), "Corvane v1_5     SER,Unknown Connection");
}
