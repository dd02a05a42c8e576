// The analyser's command interpreter fed with literal bytes as the program sends them on TCP (zero byte
// after each command) and on the serial line, with an injected clock.
#include <gtest/gtest.h>

#include <cmath>

#include "protocol.h"
#include "wire.h"

using namespace sim;
using simtest::parseBinary;
using simtest::parseStrict;
using simtest::splitLines;

namespace {

InstrumentSetup fastSetup() {
    InstrumentSetup s;
    s.pointMs = 0;
    return s;
}

// One link to an instrument, with a clock the test moves.
struct Peer {
    Instrument instrument;
    Session session;
    std::int64_t now = 1000;

    explicit Peer(InstrumentSetup setup = fastSetup(), LinkKind link = LinkKind::Tcp)
        : instrument(std::move(setup)), session(instrument, link) {}

    void raw(const std::string& bytes) { session.receive(bytes, now); }
    // A command as the program writes it on TCP: its text and a zero byte.
    void tcp(const std::string& command) { raw(command + std::string(1, '\0')); }
    std::vector<std::string> lines() { return splitLines(session.takeDue(now)); }
    std::string ask(const std::string& command) {
        tcp(command + "\n");
        const auto l = lines();
        return l.size() == 1 ? l[0] : "<" + std::to_string(l.size()) + " lines>";
    }
    int esr() { return std::atoi(ask("*esr?").c_str()); }
};

std::vector<double> values(const std::string& line) {
    std::vector<double> v;
    EXPECT_TRUE(parseStrict(line, v)) << line;
    return v;
}

}  // namespace

// ---- framing ----------------------------------------------------------------------------------------

TEST(SimFraming, TcpCommandsEndInZeroBytesAndMayArriveSplitOrTogether) {
    Peer p;
    const std::string both = std::string("*IDN?\n", 6) + '\0' + "calstr?\n" + '\0';
    for (char c : both) p.raw(std::string(1, c));  // one byte at a time
    EXPECT_EQ(p.lines(), (std::vector<std::string>{"VELTRONA,QMX74,410-2718,2.07", "07_MAR_2026"}));
    // A zero byte alone ends a command too (the realtime commands have no line feed).
    p.raw(std::string("*IDN?") + '\0');
    EXPECT_EQ(p.lines().size(), 1u);
}

TEST(SimFraming, SerialLinesIgnoreCarriageReturnAndNeverCarryZeroBytes) {
    Peer p(fastSetup(), LinkKind::Serial);
    p.raw("*IDN?\r\nCALSTR?\n");
    EXPECT_EQ(p.lines(), (std::vector<std::string>{"VELTRONA,QMX74,410-2718,2.07", "07_MAR_2026"}));
    p.raw("fra,start\nfra?sweep\nSCREEN,COLOUR?\n");
    const std::string bytes = p.session.takeDue(p.now);
    EXPECT_GT(bytes.size(), 100000u);
    EXPECT_EQ(bytes.find('\0'), std::string::npos);
}

TEST(SimFraming, InterruptBytesAndTheConnectEscapeAreIgnored) {
    // Serial: 0x14, then "^[" without a line end, then the identity query, all in one run.
    Peer serial(fastSetup(), LinkKind::Serial);
    serial.raw("\x14^[*IDN?\n");
    EXPECT_EQ(serial.lines(), (std::vector<std::string>{"VELTRONA,QMX74,410-2718,2.07"}));
    // TCP: each write carries its own zero byte.
    Peer tcp;
    tcp.raw(std::string("\x14", 1) + '\0' + "^[" + '\0' + "*IDN?\n" + '\0');
    EXPECT_EQ(tcp.lines().size(), 1u);
    // The screen-abort bytes (0x14 LF, 0x19 LF) and a stray 0x19 inside a command change nothing.
    tcp.raw("\x14\n\x19\n*I\x19" "DN?\n");
    EXPECT_EQ(tcp.lines().size(), 1u);
    EXPECT_EQ(tcp.esr(), 0);
}

TEST(SimFraming, WhatTheInstrumentHearsIsKeptOnceForTheTrafficLog) {
    Peer tcp;
    tcp.raw(std::string("\x14", 1) + '\0' + "abort\n" + '\0' + "*trg\n" + '\0' + "\x19\n");
    EXPECT_EQ(tcp.session.takeHeard(), "\\024\nabort\n*trg\n\\031\n");
    EXPECT_EQ(tcp.session.takeHeard(), "");
    // A serial line that went deaf hears only the interrupt that wakes it, then commands again.
    InstrumentSetup setup = fastSetup();
    setup.faults.silentAtPoint = 0;
    Peer serial(setup, LinkKind::Serial);
    serial.raw("fra,start\nfra?sweep\n");
    serial.lines();
    serial.raw("*opc?\n\x14" "abort\n");
    EXPECT_EQ(serial.session.takeHeard(), "fra,start\nfra?sweep\n\\024\nabort\n");
}

TEST(SimFraming, RealtimeStartWithoutLineFeedWorksOnBothLinks) {
    // Serial: "CONFIG, 7, 1" and "START" run straight into the next query.
    Peer serial(fastSetup(), LinkKind::Serial);
    serial.raw("CONFIG, 7, 1STARTfra?\n");
    auto l = serial.lines();
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(values(l[0]).size(), 6u);
    EXPECT_EQ(serial.instrument.settings().number(7), 1);
    EXPECT_EQ(serial.esr(), 0);
    serial.raw("CONFIG, 7, 1STARTlcr?\n");
    l = serial.lines();
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(values(l[0]).size(), 11u);

    // TCP: each ends in its zero byte.
    Peer tcp;
    tcp.tcp("CONFIG, 7, 1");
    tcp.tcp("START");
    tcp.tcp("lcr?\n");
    l = tcp.lines();
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(values(l[0]).size(), 11u);
    EXPECT_EQ(tcp.instrument.settings().number(7), 1);
    EXPECT_EQ(tcp.esr(), 0);
}

TEST(SimFraming, ModeSwitchesAreItemSetsAndUnknownCommandsFlagACommandError) {
    Peer p;
    p.tcp("CONFIG,1,1\n");
    EXPECT_EQ(p.ask("config,1?"), "1");
    p.tcp("CONFIG, 1, 3\n");
    EXPECT_EQ(p.ask("config,1?"), "3");
    p.tcp("CONFIG, 7, 1\n");
    EXPECT_EQ(p.ask("config,7?"), "1");
    for (const char* c : {"SUSPEN,ON\n", "SUSPEN,OFF\n", "SUSPEND,ON\n", "SUSPEND, OFF\n", "OUTPUT,ON\n", "*trg\n", "*wai\n"})
        p.tcp(c);
    EXPECT_TRUE(p.lines().empty());
    EXPECT_EQ(p.esr(), 0);
    // A digit after "CONFIG, 7, 1" makes it an ordinary (here out-of-range) setting, not a token.
    p.tcp("CONFIG, 7, 10\n");
    EXPECT_EQ(p.esr(), 32);
    p.tcp("FROBNICATE\n");
    EXPECT_TRUE(p.lines().empty());
    EXPECT_EQ(p.esr(), 32);
    EXPECT_EQ(p.esr(), 0) << "*esr? clears the register";
}

// ---- configuration items ----------------------------------------------------------------------------

TEST(SimConfig, EveryKnownIndexAnswersAndStartsRealistic) {
    Peer p;
    const int indices[] = {1,  13, 12,  115, 116, 14,  47,  19,  20, 18, 60, 21, 113, 61, 62, 63, 171, 172,
                           173, 64, 65, 68,  66,  110, 161, 162, 163, 22, 2,  16, 117, 125, 7, 48, 49, 53,
                           54, 55, 51, 52,  72,  56,  36,  133, 28,  26, 32, 29, 27, 33,  6,  39, 40, 42,
                           8,  9,  112, 121, 75, 174, 76, 88, 89, 90, 91, 92, 94, 95, 3, 104, 111};
    ASSERT_EQ(sizeof indices / sizeof indices[0], 71u) << "73 table entries, two indices shared";
    for (int index : indices) {
        const std::string reply = p.ask("config," + std::to_string(index) + "?");
        EXPECT_FALSE(reply.empty() || reply[0] == '<') << index;
    }
    EXPECT_EQ(p.esr(), 0);
    EXPECT_EQ(p.ask("config,1?"), "4");
    EXPECT_EQ(p.ask("config,36?"), "6");
    EXPECT_EQ(p.ask("config,19?"), "2.0000E+01");
    EXPECT_EQ(p.ask("config,20?"), "2.0000E+06");
    EXPECT_EQ(p.ask("config,18?"), "1000");
    EXPECT_EQ(p.ask("config,60?"), "0");
    EXPECT_EQ(p.ask("config,6?"), "0");
    EXPECT_EQ(p.ask("config,48?"), "1.0000E+03");
    EXPECT_EQ(p.ask("config,117?"), "127.0.0.1");
}

TEST(SimConfig, SettingsAreCheckedAgainstTheirRanges) {
    struct Case {
        const char* command;
        bool accepted;
    };
    const Case cases[] = {
        {"config,18,3000", true},   {"config,18,3001", false},   {"config,18,1", false},     {"config,18,2", true},
        {"config,18,12x", false},   {"config,18,", false},       {"config,18,1.5", false},   {"config,1,4", true},
        {"config,1,5", false},      {"config,36,6", true},       {"config,36,7", false},     {"config,3,2", true},
        {"config,3,-1", false},     {"config,60,2", true},       {"config,60,3", false},     {"config,22,2", false},
        {"config,115,100", true},   {"config,115,150", false},   {"config,115,0", false},    {"config,116,60", true},
        {"config,116,61", false},   {"config,162,5", true},      {"config,162,5.5", false},  {"config,162,abc", false},
        {"config,19,1.0000E+02", true}, {"config,19,5.0E+07", false}, {"config,19,1E-4", false},
        {"config,20,3.2E+07", true}, {"config,48,fast", false},  {"config,12,", false},     {"config,999,1", false},
        {"config,x,1", false},      {"config,117,192.168.1.20", true}, {"CONFIG, 6, 2", true},
    };
    for (const Case& c : cases) {
        Peer p;
        const std::string body = std::string(c.command).substr(std::string(c.command).find(',') + 1);
        const std::string index = body.substr(0, body.find(','));
        const std::string before = p.ask("config," + index + "?");
        p.tcp(std::string(c.command) + "\n");
        EXPECT_TRUE(p.lines().empty()) << c.command << ": a setting has no reply";
        EXPECT_EQ(p.esr(), c.accepted ? 0 : 32) << c.command;
        if (!c.accepted && before[0] != '<') {
            EXPECT_EQ(p.ask("config," + index + "?"), before) << c.command << " kept";
        }
    }
    Peer p;
    p.tcp("config,19,1.0000E+02\n");
    EXPECT_EQ(p.ask("config,19?"), "1.0000E+02");
    p.tcp("config, 18, 250\n");
    EXPECT_EQ(p.ask("config,18?"), "250");
    EXPECT_TRUE(p.ask("config,999?").find("<0") == 0) << "no reply for an unknown item";
    EXPECT_EQ(p.esr(), 32);
}

// ---- sweeps -----------------------------------------------------------------------------------------

TEST(SimSweep, OperationCompleteTurnsOneAfterStepsTimesPointTime) {
    InstrumentSetup setup;
    setup.pointMs = 5;
    Peer p(setup);
    EXPECT_EQ(p.ask("*opc?"), "1") << "nothing running";
    p.tcp("config,18,10\n");
    p.tcp("fra,start\n");
    EXPECT_EQ(p.ask("*opc?"), "0");
    p.now += 49;
    EXPECT_EQ(p.ask("*opc?"), "0");
    p.now += 1;
    EXPECT_EQ(p.ask("*opc?"), "1");

    Peer fast;
    fast.tcp("fra,start\n");
    EXPECT_EQ(fast.ask("*opc?"), "1");
}

TEST(SimSweep, FraReadoutDeliversEveryPointConsistently) {
    Peer p;
    p.tcp("config,18,200\n");
    p.tcp("fra,start\n");
    ASSERT_EQ(p.ask("*opc?"), "1");
    p.tcp("fra?sweep\n");
    const auto l = p.lines();
    ASSERT_EQ(l.size(), 200u);
    double previous = 0;
    for (std::size_t k = 0; k < l.size(); ++k) {
        const auto v = values(l[k]);
        ASSERT_EQ(v.size(), 6u);
        EXPECT_GT(v[0], previous);
        previous = v[0];
        EXPECT_NEAR(v[3], 20 * std::log10(v[2] / v[1]), 0.002) << "gain from the two magnitudes";
        EXPECT_GE(v[4], -180.0);
        EXPECT_LE(v[4], 180.0);
    }
    EXPECT_NEAR(values(l.front())[0], 20.0, 1e-9);
    EXPECT_NEAR(values(l.back())[0], 2e6, 1);
    // Logarithmic spacing: the middle of three points is the geometric mean of 20 Hz and 2 MHz.
    p.tcp("config,18,3\n");
    p.tcp("fra,start\n");
    p.tcp("fra?sweep\n");
    const auto three = p.lines();
    ASSERT_EQ(three.size(), 3u);
    EXPECT_NEAR(values(three[1])[0], std::sqrt(20 * 2e6), 0.5);
    // Linear spacing.
    p.tcp("config,60,1\n");
    p.tcp("fra,start\n");
    p.tcp("fra?sweep\n");
    const auto linear = p.lines();
    ASSERT_EQ(linear.size(), 3u);
    EXPECT_NEAR(values(linear[1])[0], 1000010.0, 50) << "five significant digits";
}

TEST(SimSweep, PhaseFollowsThePhaseConvention) {
    for (int convention : {0, 1, 2}) {
        Peer p;
        p.tcp("config,6," + std::to_string(convention) + "\n");
        p.tcp("config,18,300\n");
        p.tcp("fra,start\n");
        p.tcp("fra?sweep\n");
        p.tcp("start\n");
        p.tcp("LCR,SWEEP?\n");
        const auto l = p.lines();
        ASSERT_EQ(l.size(), 600u);
        const double low = convention == 2 ? 0 : convention == 1 ? -360 : -180;
        const double high = convention == 2 ? 360 : convention == 1 ? 0 : 180;
        for (std::size_t k = 0; k < l.size(); ++k) {
            const auto v = values(l[k]);
            for (int field : k < 300 ? std::vector<int>{4} : std::vector<int>{2, 4}) {
                EXPECT_GE(v[field], low) << convention << " line " << k;
                EXPECT_LE(v[field], high) << convention << " line " << k;
            }
        }
    }
}

TEST(SimSweep, LcrPointsStreamAsTheyAreMeasured) {
    InstrumentSetup setup;
    setup.pointMs = 5;
    Peer p(setup);
    p.tcp("config,18,10\n");
    p.tcp("CONFIG, 1, 1\n");
    p.tcp("start\n");
    p.tcp("*wai\n");
    p.tcp("LCR,SWEEP?\n");
    EXPECT_TRUE(p.lines().empty());
    EXPECT_EQ(p.session.nextDueMs(), p.now + 5);
    p.now += 5;
    EXPECT_EQ(p.lines().size(), 1u);
    p.now += 22;
    EXPECT_EQ(p.lines().size(), 4u);
    EXPECT_EQ(p.session.nextDueMs(), p.now + 3);
    p.now += 100;
    const auto rest = p.lines();
    ASSERT_EQ(rest.size(), 5u);
    for (const auto& line : rest) {
        const auto v = values(line);
        ASSERT_EQ(v.size(), 8u);
        EXPECT_NEAR(v[1] * v[3], 1.0, 2e-4) << "|Y| = 1/|Z|";
        EXPECT_NEAR(v[2], -v[4], 1e-3) << "admittance angle is the negated impedance angle";
        EXPECT_TRUE(v[5] == 0 || v[6] == 0) << "inductance or capacitance, never both";
    }
}

TEST(SimSweep, AbortStopsTheSweepAndCancelsTheReadout) {
    InstrumentSetup setup;
    setup.pointMs = 5;
    Peer p(setup);
    p.tcp("config,18,10\n");
    p.tcp("start\n");
    p.tcp("LCR,SWEEP?\n");
    p.now += 12;
    EXPECT_EQ(p.lines().size(), 2u);
    p.raw("\x14");
    p.tcp("abort\n");
    p.now += 1000;
    EXPECT_TRUE(p.lines().empty());
    EXPECT_EQ(p.ask("*opc?"), "1");
    p.tcp("LCR,SWEEP?\n");
    EXPECT_EQ(p.lines().size(), 2u) << "only the points measured before the abort";

    // An FRA sweep aborted while *opc? still reads 0.
    p.tcp("fra,start\n");
    p.now += 20;
    EXPECT_EQ(p.ask("*opc?"), "0");
    p.tcp("abort\n");
    EXPECT_EQ(p.ask("*opc?"), "1");
    p.tcp("fra?sweep\n");
    EXPECT_EQ(p.lines().size(), 4u);
}

TEST(SimSweep, ReadoutWithoutASweepFlagsAQueryError) {
    Peer p;
    p.tcp("fra?sweep\n");
    EXPECT_TRUE(p.lines().empty());
    EXPECT_EQ(p.esr(), 4);
}

TEST(SimSweep, RealtimeImpedanceHasElevenOrFourteenValues) {
    Peer p;
    p.tcp("config,48,5.0000E+04\n");
    auto v = values(p.ask("lcr?"));
    ASSERT_EQ(v.size(), 11u);
    EXPECT_DOUBLE_EQ(v[0], 5e4);
    EXPECT_NEAR(v[1], 10.0, 1e-9) << "the generator's voltage";
    EXPECT_NEAR(v[2] * v[3], v[1], v[1] * 2e-4) << "current times |Z|";
    EXPECT_NEAR(v[3] * v[7], 1.0, 2e-4) << "|Z| times |Y|";
    EXPECT_NEAR(std::hypot(v[5], v[6]), v[3], v[3] * 2e-4) << "|Z| from R and X";
    EXPECT_NEAR(std::hypot(v[9], v[10]), v[7], v[7] * 2e-4) << "|Y| from G and B";
    for (int circuit : {1, 2}) {
        p.tcp("config,104," + std::to_string(circuit) + "\n");
        const auto longForm = values(p.ask("lcr?"));
        ASSERT_EQ(longForm.size(), 14u);
        EXPECT_NEAR(longForm[11] * longForm[12], 1.0, 1e-4) << "tan delta and Q";
        EXPECT_NEAR(std::hypot(longForm[5], longForm[13]), longForm[3], longForm[3] * 2e-4) << "R and X";
    }
    p.tcp("config,104,3\n");
    EXPECT_EQ(values(p.ask("lcr?")).size(), 11u);
    const auto fra = values(p.ask("fra?"));
    ASSERT_EQ(fra.size(), 6u);
    EXPECT_DOUBLE_EQ(fra[0], 5e4);
}

// ---- number forms -----------------------------------------------------------------------------------

TEST(SimNumbers, BinaryModeSendsPackedGroupsAndKeepsStatusRepliesText) {
    InstrumentSetup setup = fastSetup();
    setup.binary = true;
    Peer p(setup);
    p.tcp("config,18,50\n");
    p.tcp("fra,start\n");
    EXPECT_EQ(p.ask("*opc?"), "1");
    EXPECT_EQ(p.ask("config,18?"), "50");
    EXPECT_EQ(p.esr(), 0);
    p.tcp("fra?sweep\n");
    const auto binaryLines = p.lines();
    ASSERT_EQ(binaryLines.size(), 50u);

    Peer text;  // the same sweep in text, for the values
    text.tcp("config,18,50\n");
    text.tcp("fra,start\n");
    text.tcp("fra?sweep\n");
    const auto textLines = text.lines();
    ASSERT_EQ(textLines.size(), 50u);
    for (std::size_t k = 0; k < 50; ++k) {
        const std::string& line = binaryLines[k];
        ASSERT_EQ(line.size(), 6u * 5 - 1);
        for (std::size_t i = 0; i < line.size(); ++i) {
            const auto c = static_cast<unsigned char>(line[i]);
            if (i % 5 == 4) {
                EXPECT_EQ(c, ',');
            } else {
                EXPECT_TRUE(c & 0x80) << "line " << k << " byte " << i;
            }
        }
        std::vector<double> b, t;
        ASSERT_TRUE(parseBinary(line, b));
        ASSERT_TRUE(parseStrict(textLines[k], t));
        for (int i = 0; i < 6; ++i) EXPECT_NEAR(b[i], t[i], std::fabs(t[i]) * 1e-4 + 1e-30) << k << "/" << i;
    }
    std::vector<double> rt;
    EXPECT_TRUE(parseBinary(p.ask("lcr?"), rt));
    EXPECT_EQ(rt.size(), 11u);
}

// ---- faults -----------------------------------------------------------------------------------------

TEST(SimFaults, SilentAfterSomeLinesNeverAnswersAgain) {
    InstrumentSetup setup = fastSetup();
    setup.faults.silentAfterLines = 3;
    Peer p(setup);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(p.ask("*IDN?"), "VELTRONA,QMX74,410-2718,2.07");
    EXPECT_EQ(p.ask("*IDN?"), "<0 lines>");
    EXPECT_EQ(p.ask("*esr?"), "<0 lines>");
    p.session.reset();  // a reconnection does not bring it back
    EXPECT_EQ(p.ask("*IDN?"), "<0 lines>");
}

TEST(SimFaults, SilentAndGarbageAffectOnlyTheirCommand) {
    InstrumentSetup setup = fastSetup();
    setup.faults.silentCommands = {"calstr?"};
    setup.faults.garbageCommands = {"fra?", "config,18?"};
    Peer p(setup);
    EXPECT_EQ(p.ask("CALSTR?"), "<0 lines>") << "compared without regard to case";
    EXPECT_EQ(p.ask("calver?").rfind("CAL", 0), 0u);
    const std::string garbage = p.ask("fra?");
    std::vector<double> v;
    EXPECT_FALSE(parseStrict(garbage, v)) << garbage;
    EXPECT_FALSE(std::isdigit(static_cast<unsigned char>(p.ask("config,18?")[0])));
    EXPECT_EQ(p.ask("config,19?"), "2.0000E+01");
    EXPECT_TRUE(parseStrict(p.ask("lcr?"), v));
}

TEST(SimFaults, NoDotBreaksExactlyTheKthReplyLine) {
    InstrumentSetup setup = fastSetup();
    setup.faults.noDot = {{"fra?sweep", 3}, {"config,19?", 1}};
    Peer p(setup);
    EXPECT_EQ(p.ask("config,19?"), "20000E+01");
    EXPECT_EQ(p.ask("config,19?"), "2.0000E+01") << "only the first reply";
    p.tcp("config,18,5\n");
    p.tcp("fra,start\n");
    p.tcp("fra?sweep\n");
    const auto l = p.lines();
    ASSERT_EQ(l.size(), 5u);
    std::vector<double> v;
    for (std::size_t k = 0; k < l.size(); ++k) EXPECT_EQ(parseStrict(l[k], v), k != 2) << l[k];
    // The frequency stays readable; one later field lacks its point and is still 8-10 characters.
    EXPECT_EQ(l[2].find("E+"), 6u);
    // In binary mode the faulty line comes as text.
    InstrumentSetup binary = setup;
    binary.binary = true;
    binary.faults.noDot = {{"fra?", 2}};
    Peer b(binary);
    std::vector<double> values;
    EXPECT_TRUE(parseBinary(b.ask("fra?"), values));
    const std::string bad = b.ask("fra?");
    EXPECT_FALSE(static_cast<unsigned char>(bad[0]) & 0x80);
    EXPECT_FALSE(parseStrict(bad, values));
}

TEST(SimFaults, DropAtPointClosesTheTcpConnection) {
    InstrumentSetup setup = fastSetup();
    setup.faults.dropAtPoint = 4;
    Peer p(setup);
    p.tcp("config,18,10\n");
    p.tcp("fra,start\n");
    p.tcp("fra?sweep\n");
    EXPECT_EQ(p.lines().size(), 4u);
    EXPECT_TRUE(p.session.closeRequested());
    p.session.reset();
    EXPECT_FALSE(p.session.closeRequested());
    EXPECT_EQ(p.ask("config,18?"), "10") << "settings survive the reconnection";
}

TEST(SimFaults, DropAtPointOnTheSerialLineHangsUntilInterrupted) {
    InstrumentSetup setup;
    setup.pointMs = 5;
    setup.faults.dropAtPoint = 2;
    Peer p(setup, LinkKind::Serial);
    p.raw("config,18,10\nstart\nLCR,SWEEP?\n");
    p.now += 100;
    EXPECT_EQ(p.lines().size(), 2u);
    p.raw("*IDN?\n");
    EXPECT_TRUE(p.lines().empty()) << "deaf after the drop";
    EXPECT_FALSE(p.session.closeRequested());
    p.raw("\x14" "abort\n*IDN?\n");
    EXPECT_EQ(p.lines().size(), 1u);
}

TEST(SimFaults, SilentAtPointKeepsTheConnectionButAnswersNothingUntilInterrupted) {
    InstrumentSetup setup = fastSetup();
    setup.faults.silentAtPoint = 3;
    Peer p(setup);
    p.tcp("config,18,10\n");
    p.tcp("fra,start\n");
    p.tcp("fra?sweep\n");
    EXPECT_EQ(p.lines().size(), 3u);
    EXPECT_FALSE(p.session.closeRequested());
    p.tcp("*IDN?\n");
    EXPECT_TRUE(p.lines().empty()) << "silent after the third point";
    p.tcp("\x14");
    p.tcp("*IDN?\n");
    EXPECT_EQ(p.lines().size(), 1u);
}

// A screen read-out broken off after 100 of its lines: silent until the interrupt byte, or on TCP a
// closed connection.
TEST(SimFaults, ScreenReadOutsBreakOffAtTheirRow) {
    InstrumentSetup setup = fastSetup();
    setup.faults.silentAtRow = 100;
    Peer silent(setup);
    silent.tcp("SCREEN,COLOUR?\n");
    EXPECT_EQ(silent.lines().size(), 100u);
    EXPECT_FALSE(silent.session.closeRequested());
    EXPECT_EQ(silent.ask("*IDN?"), "<0 lines>") << "deaf after the hundredth line";
    silent.raw("\x14\n\x19\n");
    EXPECT_EQ(silent.ask("*IDN?"), "VELTRONA,QMX74,410-2718,2.07");

    setup.faults = {};
    setup.faults.dropAtRow = 7;
    Peer dropped(setup);
    dropped.tcp("SCREEN?\n");
    EXPECT_EQ(dropped.lines().size(), 7u);
    EXPECT_TRUE(dropped.session.closeRequested());
}

TEST(SimFaults, DelayHoldsEveryReply) {
    InstrumentSetup setup = fastSetup();
    setup.faults.delayMs = 100;
    Peer p(setup);
    p.tcp("*IDN?\n");
    p.tcp("*opc?\n");
    p.now += 99;
    EXPECT_TRUE(p.lines().empty());
    p.now += 1;
    EXPECT_EQ(p.lines().size(), 2u);
}

// ---- screen -----------------------------------------------------------------------------------------

TEST(SimScreen, MonochromeAndColourDownloadsHaveTheModelsGeometry) {
    struct Case {
        const char* identity;
        std::size_t width, height;
    };
    for (const Case& c : {Case{"VELTRONA,QMX74,410-2718,2.07", 320, 240}, Case{"VELTRONA,ZWA97,410-1,1.0", 512, 272},
                          Case{"VELTRONA,ZWA7,410-1,1.0", 512, 272}, Case{"VELTRONA,ZWA77,410-1,1.0", 320, 240}}) {
        InstrumentSetup setup = fastSetup();
        setup.identity = c.identity;
        Peer p(setup);
        p.tcp("fra,start\n");
        // Every group form on the wide model, the plain forms on the others.
        const bool wide = std::string(c.identity).find("ZWA97") != std::string::npos;
        const std::vector<const char*> mono = wide ? std::vector<const char*>{"SCREEN?", "SCREEN,GROUP1?", "SCREEN,GROUP2?"}
                                                   : std::vector<const char*>{"SCREEN?"};
        const std::vector<const char*> colour = wide ? std::vector<const char*>{"SCREEN,COLOUR?", "SCREEN,COLOUR,GROUP1?", "SCREEN,COLOUR,GROUP2?"}
                                                     : std::vector<const char*>{"SCREEN,COLOUR?"};
        for (const char* command : mono) {
            p.tcp(std::string(command) + "\n");
            const auto l = p.lines();
            ASSERT_EQ(l.size(), c.height) << c.identity << " " << command;
            std::size_t ink = 0;
            for (const auto& row : l) {
                ASSERT_EQ(row.size(), 2 + c.width / 8 * 2);
                for (std::size_t i = 2; i < row.size(); i += 2) {
                    const unsigned long byte = std::stoul(row.substr(i, 2), nullptr, 16);
                    ink += __builtin_popcountl(byte);
                }
            }
            // Drawn, but mostly background: frame, grid, curve and lettering.
            EXPECT_GT(ink, c.width * 2);
            EXPECT_LT(ink, c.width * c.height / 2);
        }
        for (const char* command : colour) {
            p.tcp(std::string(command) + "\n");
            const auto l = p.lines();
            ASSERT_EQ(l.size(), 4 * c.height) << command;
            bool curveColour = false;
            for (const auto& row : l) {
                ASSERT_EQ(row.size(), 2 + c.width / 4 * 2);
                for (std::size_t i = 2; i < row.size(); i += 2) {
                    const unsigned long byte = std::stoul(row.substr(i, 2), nullptr, 16);
                    ASSERT_LT(byte, 64u) << "two bits each for red, green and blue";
                    curveColour = curveColour || byte == 0x0F;
                }
            }
            EXPECT_TRUE(curveColour) << "the gain curve is drawn";
        }
        EXPECT_EQ(p.esr(), 0);
    }
}
