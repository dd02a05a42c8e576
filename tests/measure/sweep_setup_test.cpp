// The Perform Sweep checks: field states, the confirmation's order and messages, the settings it
// changes and the pending sweep it fills.
#include <gtest/gtest.h>

#include "measure/sweep_setup.h"
#include "platform/clock.h"
#include "support/fake_prompter.h"
#include "support/script_peer.h"

using namespace measure;
using instrument::findSetting;
using testing_support::FakePrompter;
using testing_support::ScriptPeer;

namespace {

class SweepSetupTest : public ::testing::Test {
protected:
    SweepSetupTest() : peer(ScriptPeer::Kind::Tcp) {
        peer.on("*ESR?", "0\r\n");
        peer.on("*esr?", "0\r\n");
        link.interfaceType = instrument::kLan;
        link.ipAddress = "127.0.0.1";
        link.lanPort = peer.port();
        findSetting(table, "Sweep:Steps")->value = 1000;
        findSetting(table, "Sweep:Start")->text = "2.0000E+01";
        findSetting(table, "Sweep:End")->text = "2.0000E+06";
        findSetting(table, "Acqu:mCyc")->text = "3";
        findSetting(table, "Acqu:speed")->value = 2;
    }
    ~SweepSetupTest() override { instrument::linkSetReadTimeout(5000, link); }

    SweepSetupFields complete() {
        SweepSetupFields f = openSweepSetup(table, 4);
        f.name = "Tap 5 after repair";
        f.peakVoltage = "10";
        f.temperature = "21.5";
        f.transformerIdentifier = "TX-1";
        f.setupId = 2;
        return f;
    }
    std::string lastBox() const { return prompter.boxes.empty() ? "" : prompter.boxes.back().text; }

    ScriptPeer peer;
    instrument::InstrumentLink link;
    std::vector<instrument::InstrumentSetting> table = instrument::makeSettingsTable();
    FakePrompter prompter;
    PendingSweep pending;
};

}  // namespace

TEST(SweepFields, NameAndValueStates) {
    EXPECT_EQ(checkSweepName("", {}).state, kFieldEmpty);
    EXPECT_EQ(checkSweepName("Tap", {}).state, kFieldInvalid);
    EXPECT_EQ(checkSweepName("Tap", {}).text, "The name is too short");
    EXPECT_EQ(checkSweepName("Tap5", {}).text, "OK");
    EXPECT_EQ(checkSweepName("tap5", {"Other", "TAP5"}).text, "This name is already taken");
    EXPECT_EQ(checkValueField(""), kFieldEmpty);
    EXPECT_EQ(checkValueField("0"), kFieldInvalid);
    EXPECT_EQ(checkValueField("1.2.3"), kFieldInvalid);
    EXPECT_EQ(checkValueField("11kV"), kFieldInvalid);
    EXPECT_EQ(checkValueField("10k"), kFieldValid);
    EXPECT_EQ(checkValueField("-12"), kFieldValid);
}

TEST(SweepFields, OpeningShowsTheSettingsOrTheirDefaults) {
    std::vector<instrument::InstrumentSetting> empty = instrument::makeSettingsTable();
    SweepSetupFields f = openSweepSetup(empty, -1);
    EXPECT_EQ(f.steps, "2000");
    EXPECT_EQ(f.start, "1.0000E1");
    EXPECT_EQ(f.end, "2.0000E7");
    EXPECT_EQ(f.minCycles, "1");
    EXPECT_TRUE(f.save);
    EXPECT_EQ(f.equipmentId, -1);
    EXPECT_EQ(f.name, "");
}

TEST_F(SweepSetupTest, DetailsAreCheckedFirstAndInOrder) {
    struct Case {
        void (*spoil)(SweepSetupFields&);
        const char* message;
        SetupFocus focus;
    } cases[] = {
        {[](SweepSetupFields& f) { f.name = ""; }, "Sweep Name is a required field", SetupFocus::Name},
        {[](SweepSetupFields& f) { f.name = "Tap"; }, "Sweep Name is too short", SetupFocus::Name},
        {[](SweepSetupFields& f) { f.name = "existing"; }, "Sweep Name is already taken", SetupFocus::Name},
        {[](SweepSetupFields& f) { f.peakVoltage = "0"; }, "Invalid Peak Voltage value", SetupFocus::PeakVoltage},
        {[](SweepSetupFields& f) { f.temperature = ""; }, "Invalid Temperature value", SetupFocus::Temperature},
        {[](SweepSetupFields& f) { f.transformerIdentifier = ""; }, "Transformer is a required field", SetupFocus::None},
        {[](SweepSetupFields& f) { f.setupId = -1; }, "Measurement Setup is a required field", SetupFocus::None},
        {[](SweepSetupFields& f) { f.equipmentId = -1; }, "Measurement Equipment is a required field", SetupFocus::None},
        {[](SweepSetupFields& f) { f.steps = "2001"; }, "The sweep must be between 2 and 2000 steps", SetupFocus::None},
        {[](SweepSetupFields& f) { f.steps = "many"; }, "The sweep must be between 2 and 2000 steps", SetupFocus::None},
        {[](SweepSetupFields& f) { f.start = "4.99"; }, "The start frequency must be between 5 Hz and 45Mhz", SetupFocus::None},
        {[](SweepSetupFields& f) { f.end = "45.1M"; }, "The end frequency must be between 5 Hz and 45Mhz", SetupFocus::None},
        {[](SweepSetupFields& f) { f.minCycles = "101"; }, "The minimum cycles must be between 1 and 100", SetupFocus::None},
    };
    for (const Case& c : cases) {
        SweepSetupFields f = complete();
        c.spoil(f);
        SetupFocus focus = SetupFocus::None;
        EXPECT_FALSE(confirmSweepSetup(f, SweepKind::Fra, {"Existing"}, table, pending, link, &focus)) << c.message;
        EXPECT_EQ(lastBox(), c.message);
        EXPECT_EQ(prompter.boxes.back().caption, "Invalid");
        EXPECT_EQ(focus, c.focus) << c.message;
    }
}

TEST_F(SweepSetupTest, WithoutSavingOnlyTheSettingsCount) {
    SweepSetupFields f = openSweepSetup(table, -1);
    f.save = false;
    f.steps = "2";
    f.start = "5";
    f.end = "45M";
    EXPECT_TRUE(confirmSweepSetup(f, SweepKind::Fra, {}, table, pending, link));
    EXPECT_TRUE(prompter.boxes.empty());
    EXPECT_FALSE(pending.save);
    EXPECT_EQ(findSetting(table, "Sweep:Steps")->value, 2);
    EXPECT_EQ(findSetting(table, "Sweep:End")->text, "4.5000E+07");
    EXPECT_FALSE(findSetting(table, "Sweep:Steps")->changed);  // written to the instrument already
    ASSERT_TRUE(peer.waitFor("SUSPEN,OFF"));
    EXPECT_NE(peer.received().find("config,18,2\n"), std::string::npos);
    EXPECT_NE(peer.received().find("config,19,5.0000E+00\n"), std::string::npos);
}

TEST_F(SweepSetupTest, UnchangedSettingsAreNotWrittenAndThePendingSweepIsFilled) {
    SweepSetupFields f = complete();
    f.comments = std::string(400, 'c');
    const platform::LocalTime before = platform::localTimeNow();
    ASSERT_TRUE(confirmSweepSetup(f, SweepKind::Fra, {"Existing"}, table, pending, link));
    EXPECT_TRUE(prompter.boxes.empty());
    EXPECT_EQ(peer.received(), "");  // nothing changed: the instrument was not bothered
    EXPECT_TRUE(pending.save);
    const db::SweepRecord& r = pending.record;
    EXPECT_EQ(r.name, "Tap 5 after repair");
    EXPECT_EQ(r.peakVoltage, 10.0);
    EXPECT_EQ(r.temperature, 21.5);
    EXPECT_EQ(r.transformerIdentifier, "TX-1");
    EXPECT_EQ(r.setupId, 2);
    EXPECT_EQ(r.equipmentId, 4);
    EXPECT_EQ(r.comments.size(), 300u);
    EXPECT_EQ(r.date.str().substr(0, 4), std::to_string(before.year));
    EXPECT_EQ(r.date.size(), 10u);
    EXPECT_EQ(r.time.size(), 5u);
}

TEST_F(SweepSetupTest, SettingsThatPassedStayChangedWhenALaterCheckFails) {
    SweepSetupFields f = complete();
    f.steps = "1500";
    f.start = "10k";
    f.end = "1";  // refused
    EXPECT_FALSE(confirmSweepSetup(f, SweepKind::Fra, {}, table, pending, link));
    EXPECT_EQ(findSetting(table, "Sweep:Steps")->value, 1500);
    EXPECT_TRUE(findSetting(table, "Sweep:Steps")->changed);
    EXPECT_EQ(findSetting(table, "Sweep:Start")->text, "1.0000E+04");
    EXPECT_TRUE(findSetting(table, "Sweep:Start")->changed);
    EXPECT_FALSE(findSetting(table, "Sweep:End")->changed);
    EXPECT_EQ(peer.received(), "");
}

TEST_F(SweepSetupTest, AWindowLongerThanTheInstrumentKeepsIsRefused) {
    SweepSetupFields f = complete();
    f.speed = 5;
    f.window = std::string(20, '9');
    EXPECT_FALSE(confirmSweepSetup(f, SweepKind::Fra, {}, table, pending, link));
    EXPECT_EQ(lastBox(), "The window can be at most 19 characters long");
    EXPECT_EQ(prompter.boxes.back().caption, "Invalid");
    EXPECT_FALSE(findSetting(table, "Acqu:window")->changed);
    EXPECT_EQ(peer.received(), "");

    f.window = std::string(19, '9');
    EXPECT_TRUE(confirmSweepSetup(f, SweepKind::Fra, {}, table, pending, link));
    EXPECT_TRUE(peer.waitFor("config,12," + f.window + "\n"));
}

TEST_F(SweepSetupTest, TheImpedanceSweepAcceptsEmptyVoltageAndTemperature) {
    SweepSetupFields f = complete();
    f.peakVoltage = "";
    f.temperature = "";
    EXPECT_FALSE(confirmSweepSetup(f, SweepKind::Fra, {}, table, pending, link));
    EXPECT_TRUE(confirmSweepSetup(f, SweepKind::Lcr, {}, table, pending, link));
    EXPECT_EQ(pending.record.peakVoltage, 0.0);
    f.temperature = "warm";
    EXPECT_FALSE(confirmSweepSetup(f, SweepKind::Lcr, {}, table, pending, link));
    EXPECT_EQ(lastBox(), "Invalid Temperature value");
}
