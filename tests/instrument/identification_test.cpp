// Identities, model codes and identity fields, and an identity reply cut short on the wire.
#include <gtest/gtest.h>

#include "instrument/identification.h"
#include "support/fake_prompter.h"
#include "support/script_peer.h"

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

TEST(Identity, AnIdentityCutOffByTheTimeoutIsNoIdentity) {
    testing_support::ScriptPeer peer(testing_support::ScriptPeer::Kind::Tcp);
    peer.on("*IDN?", "VELTRONA,QMX74,410-27");
    InstrumentLink link;
    link.interfaceType = kLan;
    link.ipAddress = "127.0.0.1";
    link.lanPort = peer.port();
    testing_support::FakePrompter prompter;
    EXPECT_FALSE(connectAndIdentify(link, true));
    EXPECT_EQ(link.identity, "");
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "The connection failed");
}
