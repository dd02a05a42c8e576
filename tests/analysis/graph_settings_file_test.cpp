// The graph window's appearance in the settings file: what is written only where it applies, and
// stored values that a graph could not show keeping their defaults. (The window's tests read back
// what it wrote.)
#include <gtest/gtest.h>

#include "analysis/graph_settings_file.h"
#include "platform/profile.h"
#include "support/temp_dir.h"

using namespace analysis;

TEST(GraphSettingsFile, WritesOnlyWhatAppliesAndKeepsDefaultsForWhatCannotBeShown) {
    testing_support::TempDir dir;
    const std::string file = dir.file("Corvane.ini");
    GraphSettings s;
    AxisRanges r;
    s.leftScaling = kScaleCentredOnZero;
    s.plots[0].rightColour = kCustomColourIndex;
    ASSERT_TRUE(writeGraphSettings(file, s, r, 1));
    auto stored = [&](const char* section, const char* key) {
        return platform::getProfileString(file, section, key, "<missing>", 64);
    };
    EXPECT_EQ(stored("GraphSettings", "GainScaling"), "2");
    for (const char* key : {"FreqManual1", "GainManual1", "PhaseManual1", "CustomColour"})
        EXPECT_EQ(stored("GraphSettings", key), "<missing>") << key;
    EXPECT_EQ(stored("Plot0Settings", "CustomPhaseColour"), "0");
    EXPECT_EQ(stored("Plot0Settings", "CustomGainColour"), "<missing>");
    EXPECT_EQ(stored("Plot1Settings", "GainWeight"), "<missing>");

    testing_support::writeFile(
        file, "[GraphSettings]\r\nBGColour=7\r\nFreqScaling=1\r\nFreqManual1=0\r\nFreqManual2=100\r\n"
              "GainScaling=1\r\nGainManual1=10\r\nGainManual2=-10\r\nPhaseScaling=1\r\nPhaseManual1=-90\r\n"
              "PhaseManual2=90\r\n[Plot0Settings]\r\nGainWeight=40\r\nPhaseColour=19\r\nGainMarginColour=-1\r\n");
    CustomColourList colours;
    readGraphSettings(file, s, r, colours);
    EXPECT_EQ(s.background, kBackgroundBlack);
    EXPECT_EQ(s.frequencyScaling, kScaleManual);
    EXPECT_EQ(r.frequencyMin, 1000);  // a frequency of 0 cannot be shown on a logarithmic axis
    EXPECT_EQ(r.leftMax, 10);         // nor a reversed range
    EXPECT_EQ(r.rightMin, -90);
    EXPECT_EQ(s.plots[0].leftWeight, kRegular);
    EXPECT_EQ(s.plots[0].rightColour, 1);
    EXPECT_EQ(s.plots[0].gainMarginColour, kMarginWhite);
}
