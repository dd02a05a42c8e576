// Numbers and file names shared by the sweep file writers.
#include <gtest/gtest.h>

#include "interchange/text_format.h"

using namespace interchange;

TEST(TextFormat, GeneralNumbersWithEightDigits) {
    EXPECT_EQ(generalNumber(20000000), "20000000");
    EXPECT_EQ(generalNumber(10), "10");
    EXPECT_EQ(generalNumber(0.5), "0.5");
    EXPECT_EQ(generalNumber(1.23456789e-5), "1.2345679e-05");
    EXPECT_EQ(generalNumber(123456789), "1.2345679e+08");
    EXPECT_EQ(generalNumber(-6.0205999), "-6.0205999");
    EXPECT_EQ(generalNumber(0.0001), "0.0001");
    EXPECT_EQ(generalNumber(0), "0");
}

TEST(TextFormat, SweepFilesStayInTheirFolderWithValidNames) {
    db::SweepRecord s;
    s.name = "Tap5";
    s.date = "01-07-2013";
    EXPECT_EQ(sweepFilePath("/out", s, ".csv"), "/out/Tap5_01-07-2013.csv");
    s.name = "../../etc/HV: phase A*?\"<>|\tend";
    EXPECT_EQ(sweepFilePath("/out", s, ".xml"), "/out/___.._etc_HV_ phase A_______end_01-07-2013.xml");
    s.name = ".hidden";
    EXPECT_EQ(sweepFilePath("/out", s, ".csv"), "/out/_hidden_01-07-2013.csv");
    s.name = "C:\\Windows\\x";
    s.date = "01/07/2013";
    EXPECT_EQ(sweepFilePath("/out", s, ".xml"), "/out/C__Windows_x_01_07_2013.xml");
    EXPECT_EQ(safeFileNamePart("Tap 5 (after) — ok"), "Tap 5 (after) — ok");
}
