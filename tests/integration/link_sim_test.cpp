// The transport against the simulated instrument: numbers in both forms, strict parsing, long
// replies and silence.
#include <gtest/gtest.h>

#include <cmath>

#include "instrument/link.h"
#include "platform/clock.h"
#include "sim_process.h"

using namespace instrument;
using testing_support::SimProcess;

namespace {

// One realtime FRA reading: frequency, magnitudes, gain, phase, delay.
int readRealtime(InstrumentLink& link, double* v, bool strict) {
    linkWrite("fra?\n", link);
    return linkReadValues(v, 6, link, strict);
}

void expectConsistentReading(const double* v) {
    EXPECT_GT(v[0], 0.0);
    EXPECT_GT(v[1], 0.0);
    EXPECT_GT(v[2], 0.0);
    EXPECT_NEAR(v[3], 20.0 * std::log10(v[2] / v[1]), 0.05);
    EXPECT_GE(v[4], -180.0);
    EXPECT_LE(v[4], 180.0);
}

}  // namespace

TEST(LinkWithSim, ReadingsInTextAndInPackedBinaryAgree) {
    double text[6] = {}, packed[6] = {};
    {
        SimProcess sim({"--fast"});
        InstrumentLink link = sim.lanLink();
        ASSERT_EQ(linkOpen(link), 0);
        ASSERT_EQ(readRealtime(link, text, true), 6);
        linkClose(link);
    }
    {
        SimProcess sim({"--fast", "--binary"}, true);
        InstrumentLink link = sim.serialLink();
        ASSERT_EQ(linkOpen(link), 0);
        ASSERT_EQ(readRealtime(link, packed, true), 6);
        linkClose(link);
    }
    expectConsistentReading(text);
    expectConsistentReading(packed);
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(packed[i], text[i], std::fabs(text[i]) * 1e-3 + 1e-9) << i;
}

TEST(LinkWithSim, ANumberWithoutItsPointFailsStrictParsingOnly) {
    SimProcess sim({"--fast", "--fault", "nodot:fra?:1"});
    InstrumentLink link = sim.lanLink();
    ASSERT_EQ(linkOpen(link), 0);
    double v[6];
    EXPECT_EQ(readRealtime(link, v, true), -1);
    EXPECT_EQ(readRealtime(link, v, true), 6);  // only the first reply was spoilt
    linkClose(link);
}

TEST(LinkWithSim, ALongReplyIsCutToTheBuffer) {
    SimProcess sim({"--fast"}, true);
    for (InstrumentLink link : {sim.lanLink(), sim.serialLink()}) {
        ASSERT_EQ(linkOpen(link), 0);
        linkWrite("*IDN?\n", link);
        std::string reply;
        EXPECT_EQ(linkReadLine(reply, 9, link), 8);
        EXPECT_EQ(reply, "VELTRONA");
        linkDiscard(link, 100);
        linkClose(link);
    }
}

TEST(LinkWithSim, SilenceEndsEachReadWithinItsTimeout) {
    SimProcess sim({"--fast", "--fault", "silent-after:1"}, true);
    for (InstrumentLink link : {sim.lanLink(), sim.serialLink()}) {
        ASSERT_EQ(linkOpen(link), 0);
        linkSetReadTimeout(250, link);
        std::string reply;
        linkWrite("*IDN?\n", link);
        linkReadLine(reply, 256, link);  // the one reply it still gives, on the first link
        const std::uint64_t start = platform::nowMs();
        linkWrite("*IDN?\n", link);
        EXPECT_LE(linkReadLine(reply, 256, link), 0);
        EXPECT_LT(platform::nowMs() - start, 1500u);
        linkSetReadTimeout(5000, link);
        linkClose(link);
    }
}
