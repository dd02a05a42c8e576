// Connecting to and identifying the simulated instrument, over the LAN and over a serial line.
#include <gtest/gtest.h>

#include "app/instrument_registration.h"
#include "db/schema.h"
#include "instrument/comms_log.h"
#include "instrument/identification.h"
#include "sim_process.h"
#include "support/fake_prompter.h"

using namespace instrument;
using testing_support::FakePrompter;
using testing_support::SimProcess;

TEST(Identify, OverTheLanAndOverAPseudoTerminal) {
    SimProcess sim({"--fast"}, true);
    for (InstrumentLink link : {sim.lanLink(), sim.serialLink()}) {
        FakePrompter prompter;
        ASSERT_TRUE(connectAndIdentify(link, true)) << link.interfaceType;
        EXPECT_FALSE(link.open);
        EXPECT_EQ(link.identity, "VELTRONA,QMX74,410-2718,2.07");
        EXPECT_EQ(link.model, 11);
        EXPECT_FALSE(link.calibration.empty());
        EXPECT_FALSE(link.calibrationVersion.empty());
        EXPECT_FALSE(link.firmwareVersion.empty());
        ASSERT_EQ(prompter.boxes.size(), 1u);
        EXPECT_EQ(prompter.boxes[0].caption, "Test Connection");
        EXPECT_EQ(prompter.boxes[0].text, "The connection was successful\nVELTRONA,QMX74,410-2718,2.07");
    }
}

TEST(Identify, EveryServedIdentityAndOnlyThose) {
    struct Case {
        const char* identity;
        int model;
    } cases[] = {{"VELTRONA,QMX27,410-0001,1.10", 10}, {"ORVIK-TEST,QMX74,410-0002,3.00", 11}};
    for (const Case& c : cases) {
        SimProcess sim({"--fast", "--identity", c.identity});
        InstrumentLink link = sim.lanLink();
        FakePrompter prompter;
        EXPECT_TRUE(connectAndIdentify(link, false)) << c.identity;
        EXPECT_EQ(link.model, c.model) << c.identity;
        EXPECT_TRUE(prompter.boxes.empty());
    }
    SimProcess other({"--fast", "--identity", "OTHERCO,QMX74,410-0003,1.00"});
    InstrumentLink link = other.lanLink();
    FakePrompter prompter;
    EXPECT_FALSE(connectAndIdentify(link, true));
    EXPECT_EQ(link.identity, "");
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "The connection failed");
    // A model left from an earlier connection makes the refusal read as an incompatible instrument.
    link.model = 11;
    EXPECT_FALSE(connectAndIdentify(link, true));
    EXPECT_EQ(prompter.boxes.back().text, "Incompatable instrument");
}

TEST(Identify, SilentInstrumentsAndUnreachableOnes) {
    SimProcess sim({"--fast", "--fault", "silent:*IDN?"});
    InstrumentLink link = sim.lanLink();
    FakePrompter prompter;
    EXPECT_FALSE(connectAndIdentify(link, true));
    EXPECT_EQ(prompter.boxes.back().text, "The connection failed");

    InstrumentLink dead;
    dead.interfaceType = kLan;
    dead.ipAddress = "127.0.0.1";
    dead.lanPort = 1;
    EXPECT_FALSE(connectAndIdentify(dead, true));
    EXPECT_EQ(prompter.boxes.back().text, "Failed to connect to IP address 127.0.0.1");
    InstrumentLink port;
    port.interfaceType = kUsb;
    port.portName = "/dev/no-such-port";
    port.baudRate = 19200;
    EXPECT_FALSE(connectAndIdentify(port, true));
    EXPECT_EQ(prompter.boxes.back().text, "Unable to open port /dev/no-such-port");
    EXPECT_EQ(prompter.boxes.back().caption, "Test Connection");

    InstrumentLink none;
    EXPECT_FALSE(connectAndIdentify(none, true));
}

TEST(Identify, TextsWithoutAReplyKeepTheirEarlierValues) {
    SimProcess sim({"--fast", "--fault", "silent:calstr?"});
    InstrumentLink link = sim.lanLink();
    link.calibration = "01_JAN_2020";
    FakePrompter prompter;
    ASSERT_TRUE(connectAndIdentify(link, false));
    EXPECT_EQ(link.calibration, "01_JAN_2020");
    EXPECT_FALSE(link.firmwareVersion.empty());
}

TEST(Identify, TheCommsLogShowsTheWholeConversation) {
    testing_support::TempDir dir;
    SimProcess sim({"--fast"});
    InstrumentLink link = sim.lanLink();
    FakePrompter prompter;
    commsLogStart(dir.path());
    ASSERT_TRUE(connectAndIdentify(link, false));
    commsLogToggle();
    const std::string log = testing_support::readFile(dir.path() + "/Corvane_COMMS.log");
    const char* const expected[] = {
        "LOG FILE OPENED",
        "] ***\tCONNECTING\t***\n",
        " [serial:unknown] >>\t\\024\n",
        "] ***\tCONNECTED\t***\n",
        " [serial:unknown] >>\t^[",
        " [serial:unknown] >>\t*IDN?\n",
        " [serial:unknown] <<\tVELTRONA,QMX74,410-2718,2.07\n",
        "] ***\tIDENTIFIED: VELTRONA,QMX74,410-2718,2.07 (11)\t***\n",
        " [serial:410-2718]>>\tcalstr?\n",
        " [serial:410-2718]<<\t",
        " [serial:410-2718]>>\tcalver?\n",
        " [serial:410-2718]>>\tversion?\n",
    };
    std::size_t at = 0;
    for (const char* line : expected) {
        std::size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing after offset " << at << ": " << line << "\n" << log;
        at = found + 1;
    }
}

TEST(AfterConnect, RegistersReadsTheSettingsAndNamesTheConnection) {
    testing_support::TempDir dir;
    SimProcess sim({"--fast", "--calibration", "01_JAN_2020"});
    InstrumentLink link = sim.lanLink();
    FakePrompter prompter;
    bool created = false;
    ASSERT_TRUE(db::open_database(dir.file("site.db"), db::OpenMode::CreateIfMissing, &created, db::Connection::Main));
    link.connected = connectAndIdentify(link, false);
    ASSERT_TRUE(link.connected);
    std::vector<InstrumentSetting> table = makeSettingsTable();
    prompter.queueAnswer(platform::Answer::Yes);  // add the instrument to the database
    EXPECT_EQ(app::afterConnect(link, table), "Corvane v1_5     LAN,QMX74,410-2718,2.07");
    EXPECT_EQ(app::currentEquipmentId(), 1);
    // Calibrated in 2020, due in 2021: the warning names the calibration text.
    ASSERT_EQ(prompter.boxes.size(), 2u) << prompter.captions();
    EXPECT_EQ(prompter.boxes[0].caption, "Add to Database");
    EXPECT_EQ(prompter.boxes[1].caption, "Calibration Due");
    EXPECT_EQ(prompter.boxes[1].text, "The connected instrument is due for calibration.\nDate last calibrated is 01_JAN_2020");
    EXPECT_EQ(findSetting(table, "Acqu:mode")->shownValue(), "Frequency Response Analyser");
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);

    InstrumentLink idle;
    EXPECT_EQ(app::afterConnect(idle, table), "Corvane v1_5");
    EXPECT_EQ(prompter.boxes.back().text, "No connection was made");
    EXPECT_EQ(prompter.boxes.back().caption, "Corvane");
}
