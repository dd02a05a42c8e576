// The table of configuration items and the value mapping.
#include <gtest/gtest.h>

#include <set>

#include "instrument/settings.h"

using namespace instrument;

TEST(SettingsTable, HoldsTheSeventyThreeItemsInOrder) {
    auto table = makeSettingsTable();
    ASSERT_EQ(table.size(), 73u);
    EXPECT_STREQ(table.front().name, "Acqu:mode");
    EXPECT_STREQ(table.back().name, "Mode:IMP:Graph");
    std::multiset<int> indices;
    for (const auto& s : table) {
        indices.insert(s.configIndex);
        EXPECT_EQ(s.value, 0);
        EXPECT_FALSE(s.changed);
        if (s.kind == Kind::Choice) {
            EXPECT_FALSE(s.options.empty()) << s.name;
        }
    }
    EXPECT_EQ(indices.count(133), 2u);  // both input items
    EXPECT_EQ(indices.count(60), 2u);   // sweep scale and output step type
    EXPECT_EQ(indices.size(), 73u);
    const InstrumentSetting* cycles = findSetting(table, "Acqu:mCyc");
    ASSERT_NE(cycles, nullptr);
    EXPECT_EQ(cycles->configIndex, 115);
    EXPECT_EQ(cycles->kind, Kind::Text);
    EXPECT_EQ(cycles->minimum, 1.0);
    EXPECT_EQ(cycles->maximum, 100.0);
    EXPECT_STREQ(cycles->messageName, "Acqu::Min Cycles");
    EXPECT_EQ(findSetting(table, "Sweep:Steps")->kind, Kind::Number);
    EXPECT_EQ(findSetting(table, "Sweep:Start")->minimum, kNoLimit);
    EXPECT_EQ(findSetting(table, "No:Such"), nullptr);
}

TEST(SettingsTable, FoldedInstrumentValuesMapBothWays) {
    auto table = makeSettingsTable();
    InstrumentSetting& mode = *findSetting(table, "Acqu:mode");
    EXPECT_EQ(fromInstrumentValue(mode, 4), 3);
    EXPECT_EQ(toInstrumentValue(mode, 3), 4);
    EXPECT_EQ(fromInstrumentValue(mode, 2), 2);
    mode.value = 3;
    EXPECT_EQ(mode.shownValue(), "Frequency Response Analyser");
    InstrumentSetting& impedance = *findSetting(table, "Chan:Impedance");
    EXPECT_EQ(fromInstrumentValue(impedance, 6), 1);
    EXPECT_EQ(toInstrumentValue(impedance, 1), 6);
    InstrumentSetting& bandwidth = *findSetting(table, "Mode:SCO:Bandwidth");
    EXPECT_EQ(fromInstrumentValue(bandwidth, 2), 1);
    EXPECT_EQ(toInstrumentValue(bandwidth, 1), 2);
    InstrumentSetting& steps = *findSetting(table, "Out:StepType");
    steps.value = 2;  // a legal value without a label
    EXPECT_EQ(steps.shownValue(), "2");
}
