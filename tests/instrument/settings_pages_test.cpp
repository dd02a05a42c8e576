// The settings pages' rules: what the acquisition mode, speed and traces show, and the checks an edit
// passes before the table takes it.
#include <gtest/gtest.h>

#include "instrument/settings_pages.h"

using namespace instrument;

namespace {

void set(std::vector<InstrumentSetting>& table, const char* item, int value) { findSetting(table, item)->value = value; }

}  // namespace

TEST(SettingsPages, TheAcquisitionModeSpeedAndTracesDecideWhatIsShown) {
    std::vector<InstrumentSetting> table = makeSettingsTable();
    set(table, "Acqu:mode", 3);  // frequency response analyser
    EXPECT_TRUE(itemShown(table, "Mode:FRA:Graph"));
    EXPECT_FALSE(itemShown(table, "Mode:SCO:Timebase"));
    EXPECT_FALSE(itemShown(table, "Mode:IMP:Measure"));
    EXPECT_FALSE(itemShown(table, "Acqu:window"));
    EXPECT_TRUE(itemShown(table, "Acqu:mCyc"));

    set(table, "Acqu:speed", 5);  // "Window"
    EXPECT_TRUE(itemShown(table, "Acqu:window"));

    set(table, "Acqu:mode", 2);  // oscilloscope, one trace
    EXPECT_TRUE(itemShown(table, "Mode:SCO:Timebase"));
    EXPECT_FALSE(itemShown(table, "Mode:FRA:Graph"));
    EXPECT_FALSE(itemShown(table, "Mode:SCO:TrigChan"));
    set(table, "Mode:SCO:Traces", 1);
    EXPECT_TRUE(itemShown(table, "Mode:SCO:TrigChan"));

    set(table, "Acqu:mode", 1);
    EXPECT_TRUE(itemShown(table, "Mode:IMP:Graph"));
    EXPECT_FALSE(itemShown(table, "Mode:SCO:TrigChan"));

    EXPECT_TRUE(shapesPages("Mode:SCO:Traces"));
    EXPECT_FALSE(shapesPages("Acqu:filter"));
}

// Typing 150 into Minimum Cycles: "1" and "15" are taken, "150" is refused and 15 stays.
TEST(SettingsPages, MinimumCyclesAndDelayRefuseValuesOutsideTheirRange) {
    std::vector<InstrumentSetting> table = makeSettingsTable();
    InstrumentSetting& cycles = *findSetting(table, "Acqu:mCyc");
    EXPECT_TRUE(applyEdit(cycles, "1").taken);
    EXPECT_TRUE(applyEdit(cycles, "15").taken);
    const EditResult refused = applyEdit(cycles, "150");
    EXPECT_FALSE(refused.taken);
    EXPECT_EQ(refused.refusal, "Minimum Cycles must be set between 1 and 100");
    EXPECT_EQ(cycles.text, "15");
    EXPECT_TRUE(cycles.changed);
    EXPECT_EQ(applyEdit(cycles, "0").refusal, "Minimum Cycles must be set between 1 and 100");
    EXPECT_EQ(applyEdit(cycles, "1x").refusal, "Minimum Cycles must be set between 1 and 100");

    InstrumentSetting& delay = *findSetting(table, "Acqu:delay");
    EXPECT_EQ(applyEdit(delay, "61").refusal, "Delay must be set between 0 and 60");
    EXPECT_FALSE(delay.changed);
    EXPECT_TRUE(applyEdit(delay, "60").taken);
    EXPECT_EQ(delay.text, "60");

    // An empty box changes nothing; other text items take what is typed, cut to what they hold.
    const EditResult empty = applyEdit(delay, "");
    EXPECT_FALSE(empty.taken);
    EXPECT_TRUE(empty.refusal.empty());
    EXPECT_EQ(delay.text, "60");
    InstrumentSetting& start = *findSetting(table, "Sweep:Start");
    EXPECT_TRUE(applyEdit(start, "1.0000E+01 and more text").taken);
    EXPECT_EQ(start.text, "1.0000E+01 and more");
}

TEST(SettingsPages, StepsTakeTheNumberAndChoicesTheirPosition) {
    std::vector<InstrumentSetting> table = makeSettingsTable();
    InstrumentSetting& steps = *findSetting(table, "Sweep:Steps");
    EXPECT_TRUE(applyEdit(steps, "250").taken);
    EXPECT_EQ(steps.value, 250);
    EXPECT_TRUE(steps.changed);

    InstrumentSetting& wave = *findSetting(table, "Out:Wave");
    EXPECT_FALSE(applyChoice(wave, 0)) << "the choice it already had";
    EXPECT_FALSE(wave.changed);
    EXPECT_FALSE(applyChoice(wave, -1)) << "no choice";
    EXPECT_FALSE(applyChoice(wave, 5)) << "beyond the labels";
    EXPECT_TRUE(applyChoice(wave, 4));
    EXPECT_EQ(wave.value, 4);
    EXPECT_TRUE(wave.changed);
}
