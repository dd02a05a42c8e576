// Every exchange with the instrument against every kind of fault the simulator injects, over TCP and
// over its pseudo-terminal: each case ends within the bound its timeouts give (or, where the program
// waits for the user, promptly on Cancel), tells the user what the program tells, leaves the link
// closed and the instrument released, and keeps nothing that only half arrived.
#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <functional>
#include <sstream>

#include "instrument/identification.h"
#include "instrument/screen_capture.h"
#include "instrument/settings.h"
#include "measure/fra_worker.h"
#include "measure/lcr_worker.h"
#include "measure/sweep_handover.h"
#include "platform/clock.h"
#include "platform/thread.h"
#include "sim_process.h"
#include "support/fake_prompter.h"

using instrument::InstrumentLink;
using testing_support::SimProcess;

namespace {

// ---- the bounds, from the transport's and the exchanges' timeouts ------------------------------------

constexpr unsigned kIdnWaitMs = 5 * 500;  // "*IDN?" asked five times, 500 ms each
// The reply wait in force: 5000 ms on a serial port, which gets it back whenever it is opened; on the
// LAN the 1000 ms that reading the settings after connecting leaves, except in identification,
// which sets 500 ms and then 5000 ms itself.
constexpr unsigned kSerialReplyMs = 5000;
constexpr unsigned kLanReplyMs = 1000;
constexpr unsigned kIdentifyReplyMs = 5000;
constexpr unsigned kRecoverMs = 100;  // the interrupt byte and 100 ms of discarding after a missed reply
// A configuration item that never answers: asked three times, three times over for a number, each
// at the 100 ms wait of the whole-table procedures, each followed by a recovery.
constexpr unsigned kItemFailsMs = 9 * (100 + kRecoverMs);
// A setting whose status never comes: four "*esr?" at 100 ms after 200 ms, the last three after a
// recovery, the setting written again and 500 ms.
constexpr unsigned kSettingFailsMs = 4 * (200 + 100) + 3 * (kRecoverMs + 500);
// Opening (2 s to connect at most, 100 ms of settling), the screen download's 200 ms before it holds
// the instrument, closing a serial port (1 s for its output to drain), and scheduling under the
// sanitizers.
constexpr unsigned kMarginMs = 2000 + 100 + 200 + 1000 + 1500;
// Where the program waits until the user cancels: it must be seen still waiting after this long...
constexpr unsigned kSeenWaitingMs = 1500;
// ...and end within this once cancelled: the interrupt, its 100 ms discard, "abort" and closing.
constexpr unsigned kCancelEndsMs = 1500;
// Cases longer than this on the pseudo-terminal repeat a TCP case step for step with only the
// serial port's longer reply wait; they run on TCP alone to keep the matrix short.
constexpr unsigned kLongestSerialCaseMs = 20000;

enum class Op { Identify, ReadSettings, WriteSettings, FraSweep, LcrSweep, FraRealtime, LcrRealtime, Screen };
enum class Wire { Tcp, Pty };

constexpr unsigned kUntilCancelled = 0;

struct FaultCase {
    Op op;
    const char* fault;
    // The bound: this many waits for a reply at the wait in force, plus fixedMs (kUntilCancelled: the
    // program waits for the user).
    unsigned replyWaits;
    unsigned fixedMs;
    const char* told;        // what the user is told: a box's text (its beginning), the sweep's status
    const char* releasedBy;  // the last commands the instrument hears
};

bool waitsForUser(const FaultCase& c) { return c.replyWaits == 0 && c.fixedMs == kUntilCancelled; }

unsigned replyWaitMs(Op op, Wire wire) {
    if (wire == Wire::Pty) return kSerialReplyMs;
    return op == Op::Identify ? kIdentifyReplyMs : kLanReplyMs;
}

unsigned boundMs(const FaultCase& c, Wire wire) { return c.replyWaits * replyWaitMs(c.op, wire) + c.fixedMs + kMarginMs; }

constexpr const char* kConnected = "The connection was successful\n";
constexpr const char* kNotConnected = "The connection failed";
constexpr const char* kReadFailed = "An error occurred reading the config from the SFRA";
constexpr const char* kWriteFailed = "An error occurred writing the config to the SFRA";
constexpr const char* kFraAbort = "\\024\nabort\n*trg\n";
constexpr const char* kLcrAbort = "\\024\nabort\n";
constexpr const char* kSettingsReleased = "SUSPEN,OFF\n";
constexpr const char* kScreenReleased = "\\024\n\\031\nSUSPEND,OFF\n";

// The reply lines of each exchange, counted by silent-after:N: identification "*IDN?", "calstr?",
// "calver?", "version?"; a settings read "*ESR?" then the 73 items; a settings write "*ESR?" then the
// setting's "*esr?"; an FRA sweep item 18, "*opc?", the points; an LCR sweep items 18 and 6, the
// points; a screen download its 240 rows.
const FaultCase kCases[] = {
    {Op::Identify, "silent-after:0", 0, kIdnWaitMs, kNotConnected, ""},
    {Op::Identify, "silent-after:1", 3, 0, kConnected, ""},
    {Op::Identify, "silent-after:2", 2, 0, kConnected, ""},
    {Op::Identify, "silent-after:3", 1, 0, kConnected, ""},
    {Op::Identify, "silent:calver?", 1, 0, kConnected, ""},
    {Op::Identify, "garbage:*IDN?", 0, 0, kNotConnected, ""},
    {Op::Identify, "nodot:*IDN?", 0, 0, kConnected, ""},
    {Op::Identify, "delay:300", 0, 4 * 300, kConnected, ""},

    {Op::ReadSettings, "silent-after:0", 5, kItemFailsMs, kReadFailed, kSettingsReleased},
    {Op::ReadSettings, "silent-after:1", 0, kItemFailsMs, kReadFailed, kSettingsReleased},
    {Op::ReadSettings, "silent-after:40", 0, kItemFailsMs, kReadFailed, kSettingsReleased},
    {Op::ReadSettings, "silent-after:73", 0, kItemFailsMs, kReadFailed, kSettingsReleased},
    {Op::ReadSettings, "garbage:config,18?", 0, kItemFailsMs, kReadFailed, kSettingsReleased},
    {Op::ReadSettings, "delay:50", 0, 74 * 50, "", kSettingsReleased},

    {Op::WriteSettings, "silent-after:0", 5, kSettingFailsMs, kWriteFailed, kSettingsReleased},
    {Op::WriteSettings, "silent-after:1", 0, kSettingFailsMs, kWriteFailed, kSettingsReleased},
    {Op::WriteSettings, "garbage:*esr?", 0, 0, "", kSettingsReleased},  // garbage reads as status 0
    {Op::WriteSettings, "delay:50", 0, 2 * 50, "", kSettingsReleased},

    {Op::FraSweep, "silent-after:0", 9, 9 * kRecoverMs, "Comms Error", ""},
    {Op::FraSweep, "silent-after:1", 0, kUntilCancelled, "Sweep Failed", kFraAbort},
    {Op::FraSweep, "silent-after:2", 0, kUntilCancelled, "Sweep Failed", kFraAbort},
    {Op::FraSweep, "silent-after:5", 1, kRecoverMs, "Sweep Failed", kFraAbort},
    {Op::FraSweep, "garbage:*opc?", 0, kUntilCancelled, "Sweep Failed", kFraAbort},
    {Op::FraSweep, "garbage:fra?sweep", 0, kUntilCancelled, "Sweep Failed", kFraAbort},
    {Op::FraSweep, "nodot:fra?sweep:4", 0, kRecoverMs, "Sweep Failed", kFraAbort},
    {Op::FraSweep, "drop-at-point:3", 1, kRecoverMs, "Sweep Failed", kFraAbort},
    {Op::FraSweep, "delay:200", 0, 3 * 200, "Sweep Finished", "fra?sweep\n"},

    {Op::LcrSweep, "silent-after:0", 3, 3 * kRecoverMs, "Sweep Failed", kLcrAbort},
    {Op::LcrSweep, "silent-after:1", 9, 9 * kRecoverMs, "Sweep Failed", kLcrAbort},
    {Op::LcrSweep, "silent-after:2", 0, kUntilCancelled, "Sweep Failed", kLcrAbort},
    {Op::LcrSweep, "silent-after:5", 1, kRecoverMs, "Sweep Failed", kLcrAbort},
    {Op::LcrSweep, "garbage:lcr,sweep?", 0, kUntilCancelled, "Sweep Failed", kLcrAbort},
    {Op::LcrSweep, "drop-at-point:3", 1, kRecoverMs, "Sweep Failed", kLcrAbort},
    {Op::LcrSweep, "delay:200", 0, 3 * 200, "Sweep Finished", "LCR,SWEEP?\n"},

    {Op::FraRealtime, "silent-after:0", 0, kUntilCancelled, "", ""},
    {Op::FraRealtime, "garbage:fra?", 0, kUntilCancelled, "", ""},
    {Op::FraRealtime, "delay:200", 0, kUntilCancelled, "", ""},
    {Op::LcrRealtime, "silent-after:0", 0, kUntilCancelled, "", ""},
    {Op::LcrRealtime, "garbage:lcr?", 0, kUntilCancelled, "", ""},

    {Op::Screen, "silent-after:0", 1, kRecoverMs, "download failed", kScreenReleased},
    {Op::Screen, "silent-after:120", 1, kRecoverMs, "download failed", kScreenReleased},
    {Op::Screen, "silent-at-row:239", 1, kRecoverMs, "download failed", kScreenReleased},
    {Op::Screen, "drop-at-row:100", 1, kRecoverMs, "download failed", kScreenReleased},
    {Op::Screen, "garbage:screen?", 0, kRecoverMs, "download failed", kScreenReleased},
    {Op::Screen, "delay:300", 0, 300, "downloaded", "SUSPEND,OFF\n"},
};

// What one run left behind.
struct Observed {
    std::string told;
    bool linkOpen = true;
    bool keptSomething = false;  // a sweep stored, or a picture taken, from a run that did not finish
};

// Records the last sweep notification that decides what the "Sweep Data" dialog says.
class SweepSink final : public platform::NotificationSink {
public:
    void notify(int command, long long) override {
        if (command == measure::kNotifyLinkFailed) linkFailed = true;
    }
    std::atomic<bool> linkFailed{false};
};

class QuietSink final : public platform::NotificationSink {
public:
    void notify(int, long long) override {}
};

// Runs body on a worker: to its end when the case is bounded, otherwise until it has been seen
// waiting, then cancels it and requires it to end promptly.
template <typename Cancel>
void runAndMaybeCancel(const FaultCase& c, const std::function<void()>& body, Cancel cancel) {
    platform::WorkerThread worker;
    ASSERT_TRUE(worker.start(body));
    if (!waitsForUser(c)) {
        EXPECT_TRUE(worker.wait(~0u));
        return;
    }
    EXPECT_FALSE(worker.wait(kSeenWaitingMs)) << "the program should still be waiting for the user";
    cancel();
    const std::uint64_t cancelled = platform::nowMs();
    EXPECT_TRUE(worker.wait(kCancelEndsMs)) << "Cancel did not end the wait promptly";
    worker.wait(~0u);
    EXPECT_LE(platform::nowMs() - cancelled, kCancelEndsMs);
}

template <typename Job, typename Work>
Observed runSweep(const FaultCase& c, InstrumentLink& link, Job& job, Work work) {
    SweepSink sink;
    job.reset();
    job.sink = &sink;
    runAndMaybeCancel(c, [&] { work(job, link); }, [&] { job.abort = true; });
    Observed o;
    const measure::SweepOutcome outcome = measure::sweepOutcome(job, job.block.stepCount);
    const bool whole = outcome == measure::SweepOutcome::Complete;
    o.told = sink.linkFailed ? "Comms Error" : whole ? "Sweep Finished" : "Sweep Failed";
    o.linkOpen = link.open;
    // Saving was chosen: only a whole sweep may be stored, and a cancelled one shows nothing either.
    o.keptSomething = !whole && (measure::storedAsChosen(outcome) ||
                                 (outcome == measure::SweepOutcome::NotCompleted &&
                                  measure::handedOverPoints(job, job.block.stepCount) > 0));
    return o;
}

template <typename Job, typename Work>
Observed runRealtime(const FaultCase& c, InstrumentLink& link, Job& job, Work work, int running) {
    QuietSink sink;
    job.reset();
    job.sink = &sink;
    link.connected = true;
    measure::sweepRunning() = running;
    runAndMaybeCancel(c, [&] { work(job, link); }, [&] { measure::sweepRunning() = 0; });
    measure::sweepRunning() = 0;
    Observed o;
    o.linkOpen = link.open;
    return o;
}

Observed run(const FaultCase& c, InstrumentLink& link, testing_support::FakePrompter& prompter) {
    Observed o;
    auto lastBox = [&prompter] { return prompter.boxes.empty() ? std::string() : prompter.boxes.back().text; };
    switch (c.op) {
    case Op::Identify:
        instrument::connectAndIdentify(link, true);
        o.told = lastBox();
        o.linkOpen = link.open;
        return o;
    case Op::ReadSettings: {
        std::vector<instrument::InstrumentSetting> table = instrument::makeSettingsTable();
        instrument::readAllSettings(table, link);
        o.told = lastBox();
        o.linkOpen = link.open;
        return o;
    }
    case Op::WriteSettings: {
        std::vector<instrument::InstrumentSetting> table = instrument::makeSettingsTable();
        instrument::InstrumentSetting* steps = instrument::findSetting(table, "Sweep:Steps");
        steps->value = 40;
        steps->changed = true;
        instrument::writeChangedSettings(table, link);
        o.told = lastBox();
        o.linkOpen = link.open;
        return o;
    }
    case Op::FraSweep: {
        static measure::SweepJob job;
        return runSweep(c, link, job, [](measure::SweepJob& j, InstrumentLink& l) { measure::fraSweepWorker(j, l); });
    }
    case Op::LcrSweep: {
        static measure::LcrSweepJob job;
        return runSweep(c, link, job,
                        [](measure::LcrSweepJob& j, InstrumentLink& l) { measure::lcrSweepWorker(j, l, true); });
    }
    case Op::FraRealtime: {
        static measure::SweepJob job;
        return runRealtime(c, link, job, [](measure::SweepJob& j, InstrumentLink& l) { measure::fraRealtimeWorker(j, l); }, 1);
    }
    case Op::LcrRealtime: {
        static measure::LcrSweepJob job;
        return runRealtime(c, link, job, measure::lcrRealtimeWorker, 2);
    }
    case Op::Screen: {
        instrument::ScreenPicture picture;
        QuietSink sink;
        bool downloaded = false;
        instrument::holdForScreenDownload(link, [&] {
            downloaded = instrument::downloadScreen(link, {{320, 240}, 11, false, instrument::kScreenWhole}, picture, sink);
        });
        o.told = downloaded ? "downloaded" : "download failed";
        o.keptSomething = !downloaded && picture.valid;
        o.linkOpen = link.open;
        return o;
    }
    }
    return o;
}

// The commands the instrument heard, without the link names and the connection events.
std::string commandsHeard(const std::string& heard) {
    std::istringstream lines(heard);
    std::string line, commands;
    while (std::getline(lines, line))
        if (line.size() > 5 && line[3] == '>') commands += line.substr(5) + "\n";
    return commands;
}

struct MatrixCase {
    FaultCase fault;
    Wire wire;
};

void PrintTo(const MatrixCase& c, std::ostream* out) { *out << c.fault.fault << (c.wire == Wire::Tcp ? " on TCP" : " on the pty"); }

class FaultMatrix : public ::testing::TestWithParam<MatrixCase> {};

}  // namespace

TEST_P(FaultMatrix, EndsInItsBoundSaysSoAndLetsTheInstrumentGo) {
    const FaultCase& c = GetParam().fault;
    const Wire wire = GetParam().wire;
    SimProcess sim({"--fast", "--fault", c.fault}, wire == Wire::Pty);
    InstrumentLink link = wire == Wire::Pty ? sim.serialLink() : sim.lanLink();
    if (c.op != Op::Identify) {
        link.connected = true;  // identified earlier, as every exchange but identification expects
        link.model = 11;
    }
    instrument::linkSetReadTimeout(replyWaitMs(c.op, wire), link);
    testing_support::FakePrompter prompter;

    const std::uint64_t start = platform::nowMs();
    const Observed o = run(c, link, prompter);
    const std::uint64_t elapsed = platform::nowMs() - start;

    if (!waitsForUser(c)) {
        EXPECT_LE(elapsed, boundMs(c, wire));
    }
    if (*c.told) {
        EXPECT_TRUE(o.told.starts_with(c.told)) << o.told;
    } else {
        EXPECT_EQ(o.told, "");
    }
    EXPECT_FALSE(o.linkOpen);
    EXPECT_FALSE(o.keptSomething);
    platform::sleepMs(100);  // the last command on its way to the simulator's log
    const std::string heard = sim.heard();
    // An instrument that dropped the connection hears nothing more; the program closes its end.
    const bool dropped = wire == Wire::Tcp && std::string(c.fault).starts_with("drop-");
    EXPECT_TRUE(commandsHeard(heard).ends_with(dropped ? "" : c.releasedBy))
        << heard.substr(heard.size() > 600 ? heard.size() - 600 : 0);
    if (wire == Wire::Tcp) {
        EXPECT_TRUE(heard.ends_with("tcp: closed\n")) << "the link was not closed";
    }
}

namespace {

std::vector<MatrixCase> matrix() {
    std::vector<MatrixCase> cases;
    for (const FaultCase& c : kCases) {
        cases.push_back({c, Wire::Tcp});
        if (boundMs(c, Wire::Pty) <= kLongestSerialCaseMs) cases.push_back({c, Wire::Pty});
    }
    return cases;
}

std::string caseName(const ::testing::TestParamInfo<MatrixCase>& info) {
    static const char* const kOps[] = {"Identify", "ReadSettings", "WriteSettings", "FraSweep",
                                       "LcrSweep", "FraRealtime",  "LcrRealtime",   "Screen"};
    std::string name = std::string(kOps[static_cast<int>(info.param.fault.op)]) + "_" + info.param.fault.fault + "_" +
                       (info.param.wire == Wire::Tcp ? "tcp" : "pty");
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrix, ::testing::ValuesIn(matrix()), caseName);
