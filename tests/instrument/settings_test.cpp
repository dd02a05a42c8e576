// The settings protocol against a scripted instrument: the whole-table read and write, the status
// check after each setting, and the messages of every way it can fail.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "instrument/comms_log.h"
#include "instrument/settings.h"
#include "support/fake_prompter.h"
#include "support/script_peer.h"
#include "support/temp_dir.h"

using namespace instrument;
using testing_support::FakePrompter;
using testing_support::ScriptPeer;

namespace {

class SettingsProtocolTest : public ::testing::Test {
protected:
    SettingsProtocolTest() : peer(ScriptPeer::Kind::Tcp) {
        link.interfaceType = kLan;
        link.ipAddress = "127.0.0.1";
        link.lanPort = peer.port();
        peer.on("*ESR?", "0\r\n");
    }
    ~SettingsProtocolTest() override { linkSetReadTimeout(5000, link); }

    // Answers every item query: choices and numbers 0, texts a frequency; overrides by index.
    void answerAllItems(const std::map<int, std::string>& overrides = {}) {
        std::set<int> done;
        for (const auto& s : table) {
            if (!done.insert(s.configIndex).second) continue;
            auto o = overrides.find(s.configIndex);
            std::string value = o != overrides.end() ? o->second : s.isText() ? "1.0000E+03" : "0";
            peer.on("config," + std::to_string(s.configIndex) + "?", value + "\r\n");
        }
    }

    ScriptPeer peer;
    InstrumentLink link;
    std::vector<InstrumentSetting> table = makeSettingsTable();
    FakePrompter prompter;
};

}  // namespace

TEST_F(SettingsProtocolTest, ReadingFoldsInstrumentValuesAndHoldsTheInstrument) {
    answerAllItems({{1, "4"}, {36, "6"}, {18, "1000"}, {117, "192.0.2.10 and a long tail"}});
    ASSERT_TRUE(readAllSettings(table, link));
    EXPECT_TRUE(prompter.boxes.empty());
    EXPECT_EQ(findSetting(table, "Acqu:mode")->shownValue(), "Frequency Response Analyser");
    EXPECT_EQ(findSetting(table, "Chan:Impedance")->shownValue(), "High Impedance");
    EXPECT_EQ(findSetting(table, "Sweep:Steps")->value, 1000);
    EXPECT_EQ(findSetting(table, "Sweep:Start")->text, "1.0000E+03");
    EXPECT_EQ(findSetting(table, "Remo:IP")->text, "192.0.2.10 and a l");  // 18 characters at most
    EXPECT_EQ(lanReadTimeout(), 1000u);
    EXPECT_FALSE(link.open);
    ASSERT_TRUE(peer.waitFor("SUSPEN,OFF\n"));
    const std::string sent = peer.received();
    EXPECT_LT(sent.find("SUSPEN,ON\n"), sent.find("config,1?\n"));
    EXPECT_EQ(sent.substr(sent.size() - 12), std::string("SUSPEN,OFF\n\0", 12));
}

TEST_F(SettingsProtocolTest, ANegativeNumberIsRetriedThenReported) {
    answerAllItems({{1, "4"}, {13, "-5"}});
    EXPECT_FALSE(readAllSettings(table, link));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "An error occurred reading the config from the SFRA (Id:13 Ret:65534)");
    EXPECT_EQ(prompter.boxes[0].caption, "Read SFRA");
    EXPECT_EQ(prompter.boxes[0].icon, platform::Icon::Warning);
    EXPECT_EQ(findSetting(table, "Acqu:mode")->value, 3);  // read before the failure: kept
    ASSERT_TRUE(peer.waitFor("SUSPEN,OFF\n"));
    const std::string sent = peer.received();
    std::size_t asked = 0;
    for (std::size_t at = 0; (at = sent.find("config,13?\n", at)) != std::string::npos; ++at) ++asked;
    EXPECT_EQ(asked, 3u);
    EXPECT_NE(sent.rfind("SUSPEN,OFF\n"), std::string::npos);
}

TEST_F(SettingsProtocolTest, ANumberOutOfRangeStopsTheRead) {
    answerAllItems({{13, "9"}});
    EXPECT_FALSE(readAllSettings(table, link));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "An error occurred reading the config from the SFRA (Id:13 Ret:9)");
    EXPECT_EQ(peer.received().find("config,12?"), std::string::npos);  // nothing after the failure
}

TEST_F(SettingsProtocolTest, WritingSendsChangedItemsInInstrumentNumbers) {
    peer.on("*esr?", "0\r\n");
    findSetting(table, "Acqu:mode")->value = 3;
    findSetting(table, "Acqu:mode")->changed = true;
    findSetting(table, "Sweep:Start")->text = "2.0000E+01";
    findSetting(table, "Sweep:Start")->changed = true;
    ASSERT_TRUE(writeChangedSettings(table, link));
    EXPECT_TRUE(prompter.boxes.empty());
    EXPECT_FALSE(findSetting(table, "Acqu:mode")->changed);
    EXPECT_FALSE(findSetting(table, "Sweep:Start")->changed);
    const std::string sent = peer.received();
    EXPECT_NE(sent.find(std::string("config,1,4\n\0*esr?\n", 18)), std::string::npos);
    EXPECT_NE(sent.find("config,19,2.0000E+01\n"), std::string::npos);
    EXPECT_LT(sent.find("config,1,4"), sent.find("config,19,"));
}

TEST_F(SettingsProtocolTest, AValueOutOfRangeIsNotSent) {
    findSetting(table, "Acqu:mCyc")->text = "150";
    findSetting(table, "Acqu:mCyc")->changed = true;
    findSetting(table, "Sys:Beep")->value = 1;
    findSetting(table, "Sys:Beep")->changed = true;
    EXPECT_FALSE(writeChangedSettings(table, link));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "Acqu::Min Cycles can only be set between 1.0 and 100.0");
    EXPECT_EQ(prompter.boxes[0].caption, "Set Up SFRA");
    EXPECT_EQ(prompter.boxes[0].icon, platform::Icon::Information);
    EXPECT_TRUE(findSetting(table, "Acqu:mCyc")->changed);
    EXPECT_TRUE(findSetting(table, "Sys:Beep")->changed);  // after the stop: untouched
    EXPECT_EQ(peer.received().find("config,115,"), std::string::npos);
    EXPECT_EQ(peer.received().find("config,9,"), std::string::npos);
}

TEST_F(SettingsProtocolTest, ATextLongerThanItsItemIsNotSentAndLongCommandsKeepTheirLineFeed) {
    InstrumentSetting& window = *findSetting(table, "Acqu:window");
    peer.on("*esr?", "0\r\n");
    window.text = std::string(20, '7');
    window.changed = true;
    EXPECT_FALSE(writeChangedSettings(table, link));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "Acqu::window can hold at most 19 characters");
    EXPECT_EQ(prompter.boxes[0].caption, "Set Up SFRA");
    EXPECT_TRUE(window.changed);
    ASSERT_TRUE(peer.waitFor("SUSPEN,OFF\n"));
    EXPECT_EQ(peer.received().find("config,12,"), std::string::npos);

    window.text = std::string(19, '7');
    EXPECT_TRUE(writeChangedSettings(table, link));
    EXPECT_TRUE(peer.waitFor("config,12," + window.text + "\n"));
    ASSERT_EQ(linkOpen(link), 0);
    const std::string text(120, 'x');
    setItemText(117, text, link);
    linkClose(link);
    EXPECT_TRUE(peer.waitFor("config,117," + text + "\n"));
}

TEST_F(SettingsProtocolTest, AReplyCutOffByTheTimeoutIsNoReply) {
    peer.on("config,1?", "4\r\n");
    peer.on("config,13?", "0\r\n");
    peer.on("config,12?", "2.5E");
    EXPECT_FALSE(readAllSettings(table, link));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "An error occurred reading the config from the SFRA (Id:12 Ret:0)");
    EXPECT_EQ(findSetting(table, "Acqu:window")->text, "");
}

TEST_F(SettingsProtocolTest, ARefusedSettingIsTriedFourTimesAndLogged) {
    testing_support::TempDir dir;
    commsLogStart(dir.path());
    peer.on("*esr?", "32\r\n");
    findSetting(table, "Acqu:speed")->value = 2;
    findSetting(table, "Acqu:speed")->changed = true;
    EXPECT_FALSE(writeChangedSettings(table, link));
    commsLogToggle();
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "An error occurred writing the config to the SFRA (Id:13 Ret:32)");
    EXPECT_TRUE(findSetting(table, "Acqu:speed")->changed);
    const std::string sent = peer.received();
    std::size_t tries = 0;
    for (std::size_t at = 0; (at = sent.find("config,13,2\n", at)) != std::string::npos; ++at) ++tries;
    EXPECT_EQ(tries, 4u);
    EXPECT_NE(testing_support::readFile(dir.path() + "/Corvane_COMMS.log").find("ESR : 32 CME \n"), std::string::npos);
}

TEST_F(SettingsProtocolTest, AStatusThatOnlyComesOnTheThirdTryStillFails) {
    peer.onEach("*esr?", {"", "", "0\r\n"});
    findSetting(table, "Acqu:speed")->value = 1;
    findSetting(table, "Acqu:speed")->changed = true;
    EXPECT_FALSE(writeChangedSettings(table, link));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "An error occurred writing the config to the SFRA (Id:13 Ret:0)");
}

TEST_F(SettingsProtocolTest, AnInstrumentThatCannotBeReachedFailsAtOnce) {
    link.lanPort = 1;  // nothing listens on loopback port 1
    EXPECT_FALSE(readAllSettings(table, link));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "An error occurred reading the config from the SFRA (Id:1 Ret:0)");
    findSetting(table, "Sys:Beep")->changed = true;
    EXPECT_FALSE(writeChangedSettings(table, link));
    EXPECT_EQ(prompter.boxes.back().text, "An error occurred writing the config to the SFRA (Id:9 Ret:0)");
}
