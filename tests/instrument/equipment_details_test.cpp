// The equipment auto-fill exchange against a scripted instrument: what it fills, the attempts the
// two queries share, and an instrument that cannot be reached.
#include <gtest/gtest.h>

#include "instrument/equipment_details.h"
#include "support/fake_prompter.h"
#include "support/script_peer.h"

using namespace instrument;
using testing_support::ScriptPeer;

namespace {

InstrumentLink lanLinkTo(int port) {
    InstrumentLink link;
    link.interfaceType = kLan;
    link.ipAddress = "127.0.0.1";
    link.lanPort = port;
    return link;
}

}  // namespace

TEST(EquipmentDetails, IdentityAndCalibrationFillTheFieldsAfterEmptyReplies) {
    ScriptPeer peer(ScriptPeer::Kind::Tcp);
    peer.onEach("*IDN?", {"\n", "\n", "VELTRONA,QMX74,410-2718,2.07\n"});
    peer.onEach("CALSTR?", {"\n", "\n", "\n", "15_MAR_2023\n"});  // the sixth empty reply would be one too many
    InstrumentLink link = lanLinkTo(peer.port());
    testing_support::FakePrompter prompter;
    EquipmentDetails details;
    ASSERT_TRUE(readEquipmentDetails(link, details));
    EXPECT_EQ(details.instrument, "QMX74");
    EXPECT_EQ(details.serialNumber, "410-2718");
    EXPECT_EQ(details.manufacturer, "Veltrona Ltd");
    EXPECT_EQ(details.calibrationDueDate, "2024-03-15");
    EXPECT_FALSE(link.open);
    EXPECT_EQ(lanReadTimeout(), 5000u);
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST(EquipmentDetails, AnUncalibratedInstrumentKeepsTheDueDate) {
    ScriptPeer peer(ScriptPeer::Kind::Tcp);
    peer.on("*IDN?", "VELTRONA,QMX27,77,1.0\n");
    peer.on("CALSTR?", "default_calibration\n");
    InstrumentLink link = lanLinkTo(peer.port());
    EquipmentDetails details;
    details.calibrationDueDate = "2030-01-31";
    ASSERT_TRUE(readEquipmentDetails(link, details));
    EXPECT_EQ(details.instrument, "QMX27");
    EXPECT_EQ(details.calibrationDueDate, "2030-01-31");
}

TEST(EquipmentDetails, SixEmptyRepliesInAllOrNoConnectionGiveUpWithTheMessage) {
    ScriptPeer peer(ScriptPeer::Kind::Tcp);
    peer.onEach("*IDN?", {"\n", "\n", "VELTRONA,QMX74,410-2718,2.07\n"});
    peer.onEach("CALSTR?", {"\n", "\n", "\n", "\n", "15_MAR_2023\n"});
    testing_support::FakePrompter prompter;
    for (int port : {peer.port(), 1}) {
        InstrumentLink link = lanLinkTo(port);
        EquipmentDetails details;
        details.instrument = "kept";
        EXPECT_FALSE(readEquipmentDetails(link, details)) << port;
        EXPECT_EQ(details.instrument, "kept");
        EXPECT_FALSE(link.open);
    }
    ASSERT_EQ(prompter.boxes.size(), 2u);
    EXPECT_EQ(prompter.boxes[0].text,
              "Unable to communicate with instrument, please check the connection and try again");
    EXPECT_EQ(prompter.boxes[0].caption, "Error: Unable to Auto-fill");
    EXPECT_EQ(prompter.boxes[1].text, prompter.boxes[0].text);
}
