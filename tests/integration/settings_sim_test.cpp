// Reading and writing the simulated instrument's settings over the LAN and a serial line.
#include <gtest/gtest.h>

#include "instrument/settings.h"
#include "sim_process.h"
#include "support/fake_prompter.h"

using namespace instrument;
using testing_support::FakePrompter;
using testing_support::SimProcess;

TEST(SettingsWithSim, ReadWriteAndReadBackOverBothLinks) {
    SimProcess sim({"--fast"}, true);
    for (InstrumentLink link : {sim.lanLink(), sim.serialLink()}) {
        FakePrompter prompter;
        std::vector<InstrumentSetting> table = makeSettingsTable();
        ASSERT_TRUE(readAllSettings(table, link)) << prompter.captions();
        EXPECT_EQ(findSetting(table, "Acqu:mode")->shownValue(), "Frequency Response Analyser");
        EXPECT_EQ(findSetting(table, "Chan:Impedance")->shownValue(), "High Impedance");
        EXPECT_FALSE(findSetting(table, "Sweep:Start")->text.empty());

        const int steps = link.interfaceType == kLan ? 500 : 250;
        findSetting(table, "Sweep:Steps")->value = steps;
        findSetting(table, "Sweep:Steps")->changed = true;
        findSetting(table, "Sweep:End")->text = "1.0000E+06";
        findSetting(table, "Sweep:End")->changed = true;
        ASSERT_TRUE(writeChangedSettings(table, link)) << prompter.captions();

        std::vector<InstrumentSetting> again = makeSettingsTable();
        ASSERT_TRUE(readAllSettings(again, link));
        EXPECT_EQ(findSetting(again, "Sweep:Steps")->value, steps);
        EXPECT_EQ(findSetting(again, "Sweep:End")->text, "1.0000E+06");
        EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
    }
}

TEST(SettingsWithSim, TheInstrumentRefusesAMalformedSetting) {
    SimProcess sim({"--fast"});
    InstrumentLink link = sim.lanLink();
    FakePrompter prompter;
    std::vector<InstrumentSetting> table = makeSettingsTable();
    findSetting(table, "Sweep:Start")->text = "twenty";
    findSetting(table, "Sweep:Start")->changed = true;
    EXPECT_FALSE(writeChangedSettings(table, link));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "An error occurred writing the config to the SFRA (Id:19 Ret:32)");
    EXPECT_TRUE(findSetting(table, "Sweep:Start")->changed);
}

TEST(SettingsWithSim, GarbageInPlaceOfANumberIsReported) {
    SimProcess sim({"--fast", "--fault", "garbage:config,18?"});
    InstrumentLink link = sim.lanLink();
    FakePrompter prompter;
    std::vector<InstrumentSetting> table = makeSettingsTable();
    EXPECT_FALSE(readAllSettings(table, link));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "An error occurred reading the config from the SFRA (Id:18 Ret:65534)");
}

TEST(SettingsWithSim, AnItemThatNeverAnswersStopsTheReadWithinItsRetries) {
    SimProcess sim({"--fast", "--fault", "silent:config,13?"});
    InstrumentLink link = sim.lanLink();
    FakePrompter prompter;
    std::vector<InstrumentSetting> table = makeSettingsTable();
    EXPECT_FALSE(readAllSettings(table, link));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "An error occurred reading the config from the SFRA (Id:13 Ret:0)");
    EXPECT_EQ(findSetting(table, "Acqu:mode")->value, 3);
}
