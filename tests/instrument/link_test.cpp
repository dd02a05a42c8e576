// The transport against a scripted instrument on a loopback socket and on a pseudo-terminal: what
// goes on the wire, how replies are framed and cut, timeouts, and the comms log.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "instrument/comms_log.h"
#include "instrument/link.h"
#include "packed.h"
#include "platform/clock.h"
#include "platform/thread.h"
#include "support/fake_prompter.h"
#include "support/script_peer.h"
#include "support/temp_dir.h"

using namespace instrument;
using testing_support::ScriptPeer;

namespace {

InstrumentLink lanLink(const ScriptPeer& peer) {
    InstrumentLink link;
    link.interfaceType = kLan;
    link.ipAddress = "127.0.0.1";
    link.lanPort = peer.port();
    return link;
}

InstrumentLink serialLink(const ScriptPeer& peer) {
    InstrumentLink link;
    link.interfaceType = kSerial;
    link.portName = peer.device();
    link.baudRate = 19200;
    return link;
}

class LinkTest : public ::testing::TestWithParam<ScriptPeer::Kind> {
protected:
    LinkTest() : peer(GetParam()) {}
    void SetUp() override { linkSetReadTimeout(300, link); }
    void TearDown() override {
        linkClose(link);
        linkSetReadTimeout(5000, link);
    }
    bool lan() const { return GetParam() == ScriptPeer::Kind::Tcp; }

    ScriptPeer peer;
    InstrumentLink link = lan() ? lanLink(peer) : serialLink(peer);
};

}  // namespace

TEST_P(LinkTest, OpeningSendsTheInterruptOnceAndCommandsGoOutWithTheirFraming) {
    ASSERT_EQ(linkOpen(link), 0);
    linkSetReadTimeout(300, link);
    EXPECT_TRUE(link.open);
    EXPECT_EQ(linkOpen(link), 0);  // already open: nothing is sent again
    EXPECT_EQ(linkWrite("*IDN?\n", link), lan() ? 0 : 6);
    ASSERT_TRUE(peer.waitFor("*IDN?\n"));
    EXPECT_EQ(peer.received(), lan() ? std::string("\x14\0*IDN?\n\0", 9) : std::string("\x14*IDN?\n"));
}

TEST_P(LinkTest, RepliesLoseTheirLineEnds) {
    peer.on("a?", "1.0,2.0\r\n");
    peer.on("b?", "bare\n");
    ASSERT_EQ(linkOpen(link), 0);
    linkSetReadTimeout(300, link);
    std::string reply;
    linkWrite("a?\n", link);
    EXPECT_EQ(linkReadLine(reply, 256, link), 7);
    EXPECT_EQ(reply, "1.0,2.0");
    // A bare line feed stays in a serial reply; the LAN reader never keeps it.
    linkWrite("b?\n", link);
    EXPECT_EQ(linkReadLine(reply, 256, link), lan() ? 4 : 5);
    EXPECT_EQ(reply, lan() ? "bare" : "bare\n");
}

TEST_P(LinkTest, SilenceTimesOutWithAnEmptyReply) {
    ASSERT_EQ(linkOpen(link), 0);
    linkSetReadTimeout(200, link);
    std::string reply = "stale";
    const std::uint64_t start = platform::nowMs();
    EXPECT_EQ(linkReadLine(reply, 256, link), lan() ? -1 : 0);
    const std::uint64_t waited = platform::nowMs() - start;
    EXPECT_EQ(reply, "");
    EXPECT_GE(waited, 190u);
    EXPECT_LT(waited, 2000u);
    double values[6];
    EXPECT_EQ(linkReadValues(values, 6, link, true), lan() ? -1 : 0);
}

TEST_P(LinkTest, LongRepliesAreCutAndTheRestHandledByLinkKind) {
    peer.on("long?", std::string(300, 'x') + "\r\nnext\r\n");
    ASSERT_EQ(linkOpen(link), 0);
    linkSetReadTimeout(300, link);
    std::string reply;
    linkWrite("long?\n", link);
    EXPECT_EQ(linkReadLine(reply, 128, link), 127);
    EXPECT_EQ(reply, std::string(127, 'x'));
    linkReadLine(reply, 128, link);
    // The LAN reader drops the overflow with its line; on a serial port it is the next read.
    EXPECT_EQ(reply, lan() ? std::string("next") : std::string(127, 'x'));
}

TEST_P(LinkTest, AWholeSweepSentAtOnceArrivesIntact) {
    // 2000 lines of six values: far more than the receive ring holds.
    std::string sweep;
    for (int i = 0; i < 2000; ++i) {
        char line[128];
        std::snprintf(line, sizeof line, "%.4E,1.0000E+00,2.0000E-02,-4.0000E+01,-9.0000E+01,%.4E\r\n", 20.0 + i, 1e-6 * i);
        sweep += line;
    }
    peer.on("fra?sweep", sweep);
    ASSERT_EQ(linkOpen(link), 0);
    linkSetReadTimeout(1000, link);
    linkWrite("fra?sweep\n", link);
    double v[6];
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(linkReadValues(v, 6, link, true), 6) << "point " << i;
        ASSERT_EQ(v[0], std::atof(std::to_string(20.0 + i).c_str())) << "point " << i;
    }
}

TEST_P(LinkTest, ValuesArriveAsTextOrPackedBinary) {
    peer.on("fra?", "1.0000E+03,2.0000E+00,2.0000E-02,-4.0000E+01,-9.0000E+01,2.5000E-04\r\n");
    peer.on("bin?", testing_support::packedReply({1000.0, -40.0}) + "\r\n");
    peer.on("one?", testing_support::packedGroup(2.5) + "\r\n");
    peer.on("bad?", "1.0000E+03,2000\r\n");
    ASSERT_EQ(linkOpen(link), 0);
    linkSetReadTimeout(300, link);
    double v[6] = {};
    linkWrite("fra?\n", link);
    ASSERT_EQ(linkReadValues(v, 6, link, true), 6);
    EXPECT_EQ(v[3], -40.0);
    linkWrite("bin?\n", link);
    ASSERT_EQ(linkReadValues(v, 6, link, true), 2);
    EXPECT_NEAR(v[0], 1000.0, 1e-3);
    EXPECT_NEAR(v[1], -40.0, 1e-4);
    std::string text;
    linkWrite("one?\n", link);
    linkReadLine(text, 128, link);
    EXPECT_EQ(text, "2.50000E0");
    linkWrite("bad?\n", link);
    EXPECT_EQ(linkReadValues(v, 6, link, true), -1);
}

TEST_P(LinkTest, ACommandWrittenJustBeforeClosingStillArrives) {
    ASSERT_EQ(linkOpen(link), 0);
    peer.pauseFor(200);
    linkWrite("SUSPEN,OFF\n", link);
    linkClose(link);
    EXPECT_TRUE(peer.waitFor("SUSPEN,OFF\n"));
}

TEST_P(LinkTest, DiscardDropsWhatArrived) {
    ASSERT_EQ(linkOpen(link), 0);
    linkSetReadTimeout(300, link);
    peer.send("noise\r\nmore noise\r\n");
    linkDiscard(link, 100);
    peer.send("fresh\r\n");
    std::string reply;
    linkReadLine(reply, 128, link);
    EXPECT_EQ(reply, "fresh");
}

INSTANTIATE_TEST_SUITE_P(BothLinks, LinkTest, ::testing::Values(ScriptPeer::Kind::Tcp, ScriptPeer::Kind::Pty),
                         [](const auto& info) { return info.param == ScriptPeer::Kind::Tcp ? "Lan" : "Serial"; });

TEST(Link, UnreachableInstrumentsFailToOpen) {
    InstrumentLink lan;
    lan.interfaceType = kLan;
    lan.ipAddress = "127.0.0.1";
    {
        ScriptPeer peer(ScriptPeer::Kind::Tcp);
        lan.lanPort = peer.port();
    }  // nobody listens there any more
    EXPECT_EQ(linkOpen(lan), -1);
    EXPECT_FALSE(lan.open);

    InstrumentLink serial;
    serial.interfaceType = kSerial;
    serial.portName = "/dev/no-such-port";
    serial.baudRate = 9600;
    EXPECT_EQ(linkOpen(serial), -1);

    InstrumentLink none;
    EXPECT_EQ(linkOpen(none), -1);
}

TEST(Link, ALanLineCutOffByTheTimeoutIsNoReply) {
    ScriptPeer peer(ScriptPeer::Kind::Tcp);
    peer.on("half?", "1.0000E+03,2.00");
    peer.on("packed?", testing_support::packedGroup(2.5));
    InstrumentLink link = lanLink(peer);
    ASSERT_EQ(linkOpen(link), 0);
    linkSetReadTimeout(200, link);
    std::string reply;
    linkWrite("half?\n", link);
    EXPECT_EQ(linkReadLine(reply, 256, link), -1);
    EXPECT_EQ(reply, "");
    // A packed first byte must not turn the failed read into a length.
    linkWrite("packed?\n", link);
    EXPECT_EQ(linkReadLine(reply, 256, link), -1);
    EXPECT_EQ(reply, "");
    linkClose(link);
    linkSetReadTimeout(5000, link);
}

TEST(ReceiveRing, KeepsTheNewestBytesWhenFull) {
    auto ring = std::make_unique<ReceiveRing>();
    std::string first(kReceiveRingSize - 2, 'a');
    ring->push(first.data(), static_cast<int>(first.size()));
    ring->push("bcde", 4);  // two bytes too many: the two oldest go
    EXPECT_EQ(ring->count, kReceiveRingSize);
    char c;
    std::string out;
    while (ring->pop(c)) out += c;
    EXPECT_EQ(out.size(), static_cast<std::size_t>(kReceiveRingSize));
    EXPECT_EQ(out.substr(out.size() - 4), "bcde");
    EXPECT_EQ(out.front(), 'a');
}

TEST(CommsLog, FileHasItsHeaderAndOneLinePerExchange) {
    testing_support::TempDir dir;
    ScriptPeer peer(ScriptPeer::Kind::Tcp);
    peer.on("*IDN?", "VELTRONA,QMX74,410-2718,2.07\r\n");
    InstrumentLink link = lanLink(peer);
    commsLogStart(dir.path() + "/logs");
    ASSERT_EQ(linkOpen(link), 0);
    linkWrite("*IDN?\n", link);
    std::string reply;
    linkReadLine(reply, 256, link);
    link.identity = reply;
    linkWrite("calstr?\n", link);
    linkClose(link);
    commsLogToggle();
    EXPECT_FALSE(commsLogEnabled());

    std::string log = testing_support::readFile(dir.path() + "/logs/Corvane_COMMS.log");
    // Time stamps vary; compare the lines with them blanked out.
    std::string masked;
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i] == '[' && i + 14 < log.size() && log[i + 3] == ':' && log[i + 13] == ']') {
            masked += "[T]";
            i += 13;
        } else {
            masked += log[i];
        }
    }
    std::string seqWrite = log.substr(log.find("] (") + 3, 5);
    std::uint64_t first = std::stoull(seqWrite);
    auto seq = [&](int k) {
        char text[16];
        std::snprintf(text, sizeof text, "(%05llu)", static_cast<unsigned long long>(first + k));
        return std::string(text);
    };
    EXPECT_EQ(masked, "VTLCOMPANYNAME Corvane CommsLog\nSoftware Version 1_5 (build 2)\n[T] ***\tLOG FILE OPENED\t***\n"
                      "[T] " + seq(0) + " [serial:unknown] >>\t\\024\n"
                      "[T] " + seq(1) + " [serial:unknown] >>\t*IDN?\n"
                      "[T] " + seq(2) + " [serial:unknown] <<\tVELTRONA,QMX74,410-2718,2.07\n"
                      "[T] " + seq(3) + " [serial:410-2718]>>\tcalstr?\n");

    // Switching on again into the same folder starts a fresh file.
    commsLogStart(dir.path() + "/logs");
    commsLogWrite("again\n");
    commsLogToggle();
    log = testing_support::readFile(dir.path() + "/logs/Corvane_COMMS.log");
    EXPECT_EQ(log.find("calstr?"), std::string::npos);
    EXPECT_EQ(log.rfind("VTLCOMPANYNAME Corvane CommsLog\n", 0), 0u);
}

namespace {

class CommandRecorder final : public platform::NotificationSink {
public:
    void notify(int command, long long) override { commands.push_back(command); }
    std::vector<int> commands;  // read only after the notifying thread has ended
};

}  // namespace

TEST(CommsLog, AFailureOnAWorkerWaitsForTheUserInterfaceThread) {
    testing_support::TempDir dir;
    testing_support::writeFile(dir.file("blocker"), "a file where the log's folder should be");
    testing_support::FakePrompter prompter;
    CommandRecorder sink;
    setCommsLogFailureSink(&sink);
    commsLogStart(dir.file("blocker"));
    platform::WorkerThread worker;
    ASSERT_TRUE(worker.start([] { commsLogWrite("from a worker\n"); }));
    ASSERT_TRUE(worker.wait(10000));
    EXPECT_FALSE(commsLogEnabled());
    EXPECT_TRUE(prompter.boxes.empty());
    EXPECT_EQ(sink.commands, std::vector<int>{kNotifyCommsLogFailed});
    showPendingCommsLogFailure();
    showPendingCommsLogFailure();  // shown once
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "Error opening comms log for writing\nComms Logging disabled");
    EXPECT_EQ(prompter.boxes[0].caption, "Error");

    // On the user-interface thread the message comes at once; the sink still hears that the log
    // went off, and nothing is left pending.
    commsLogStart(dir.file("blocker"));
    commsLogWrite("from the user interface\n");
    EXPECT_FALSE(commsLogEnabled());
    EXPECT_EQ(prompter.boxes.size(), 2u);
    EXPECT_EQ(sink.commands.size(), 2u);
    showPendingCommsLogFailure();
    EXPECT_EQ(prompter.boxes.size(), 2u);
    setCommsLogFailureSink(nullptr);
}
