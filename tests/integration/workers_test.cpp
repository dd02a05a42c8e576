// The FRA and LCR workers against the simulated instrument: complete, aborted, failed and silent
// sweeps, realtime readings and their hand-shake, replayed files, and storing what arrived.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <mutex>

#include "db/record_store.h"
#include "db/schema.h"
#include "instrument/comms_log.h"
#include "measure/fra_worker.h"
#include "measure/lcr_worker.h"
#include "measure/sweep_handover.h"
#include "platform/clock.h"
#include "platform/thread.h"
#include "sim_process.h"
#include "support/fake_prompter.h"
#include "support/temp_dir.h"

using namespace measure;
using instrument::InstrumentLink;
using testing_support::SimProcess;
using testing_support::TempDir;

namespace {

// Records every notification, from whichever thread it comes.
class RecordingSink final : public platform::NotificationSink {
public:
    void notify(int command, long long parameter) override {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.emplace_back(command, parameter);
    }
    std::vector<std::pair<int, long long>> seen() {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }
    int count(int command) {
        int n = 0;
        for (const auto& s : seen()) n += s.first == command;
        return n;
    }
    // Waits up to timeoutMs until command has come n times.
    bool waitFor(int command, int n, unsigned timeoutMs = 5000) {
        const std::uint64_t until = platform::nowMs() + timeoutMs;
        while (platform::nowMs() < until) {
            if (count(command) >= n) return true;
            platform::sleepMs(2);
        }
        return false;
    }

private:
    std::mutex mutex_;
    std::vector<std::pair<int, long long>> seen_;
};

// Sets configuration items straight on the instrument.
void configure(InstrumentLink link, const std::vector<std::string>& settings) {
    ASSERT_EQ(instrument::linkOpen(link), 0);
    for (const std::string& s : settings) instrument::linkWrite("config," + s + "\n", link);
    // A reply shows the settings have been taken before the link is closed (closing drops what is
    // still on its way).
    instrument::linkWrite("*ESR?\n", link);
    std::string status;
    instrument::linkReadLine(status, 16, link);
    EXPECT_EQ(status, "0");
    instrument::linkClose(link);
}

class WorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        job = std::make_unique<SweepJob>();
        job->reset();
        job->sink = &sink;
        lcr = std::make_unique<LcrSweepJob>();
        lcr->reset();
        lcr->sink = &sink;
    }
    void TearDown() override {
        if (instrument::commsLogEnabled()) instrument::commsLogToggle();
        sweepRunning() = 0;
    }
    std::string log() const { return testing_support::readFile(logDir.path() + "/Corvane_COMMS.log"); }

    RecordingSink sink;
    std::unique_ptr<SweepJob> job;
    std::unique_ptr<LcrSweepJob> lcr;
    TempDir logDir;
    testing_support::FakePrompter prompter;
};

}  // namespace

TEST_F(WorkerTest, ACompleteFraSweepIsStoredAndReadsBackIdentical) {
    SimProcess sim({"--fast"});
    InstrumentLink link = sim.lanLink();
    configure(link, {"18,120", "19,2.0000E+01", "20,2.0000E+06"});
    fraSweepWorker(*job, link);
    EXPECT_EQ(job->block.stepCount, 120);
    EXPECT_EQ(job->received, 120);
    EXPECT_FALSE(job->readFailed);
    EXPECT_EQ(sweepOutcome(*job, job->block.stepCount), SweepOutcome::Complete);
    EXPECT_EQ(sink.count(kNotifyFirstPoint), 1);
    EXPECT_EQ(sink.count(kNotifyPointArrived), 120);
    EXPECT_EQ(sink.seen().back(), std::make_pair(kNotifyWorkerFinished, 0LL));
    EXPECT_DOUBLE_EQ(job->block.points[0].frequency, 20.0);
    EXPECT_NEAR(job->block.points[119].frequency, 2e6, 1.0);
    EXPECT_EQ(fraTableRow(1, job->block.points[0]).substr(0, 10), "1\t20.0000\t");

    TempDir dir;
    bool created = false;
    ASSERT_TRUE(db::open_database(dir.file("site.db"), db::OpenMode::CreateIfMissing, &created, db::Connection::Main));
    PendingSweep pending;
    pending.record.name = "Fingerprint";
    pending.record.transformerIdentifier = "TX-1";
    pending.record.date = "2026-12-08";
    ASSERT_EQ(storeFraSweep(pending, job->block, 120), 0);
    db::SweepRecord back;
    ASSERT_TRUE(db::load_sweep(pending.record.id, back));
    EXPECT_EQ(back.dataType, db::kDataFra);
    ASSERT_EQ(back.fraPoints.size(), 120u);
    EXPECT_EQ(std::memcmp(back.fraPoints.data(), job->block.points, 120 * sizeof(db::FraPoint)), 0);
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);
}

TEST_F(WorkerTest, ATwoStepSweepAnnouncesEachPoint) {
    SimProcess sim({"--fast"});
    InstrumentLink link = sim.lanLink();
    configure(link, {"18,2"});
    fraSweepWorker(*job, link);
    EXPECT_EQ(sink.count(kNotifyFirstPoint), 1);
    EXPECT_EQ(sink.count(kNotifyPointArrived), 2);
    EXPECT_EQ(sweepOutcome(*job, 2), SweepOutcome::Complete);
}

TEST_F(WorkerTest, CancellingWhileTheInstrumentSweepsInterruptsIt) {
    SimProcess sim({"--point-ms", "50"});
    InstrumentLink link = sim.lanLink();
    configure(link, {"18,400"});  // twenty seconds of measuring
    instrument::commsLogStart(logDir.path());
    platform::WorkerThread worker;
    ASSERT_TRUE(worker.start([&] { fraSweepWorker(*job, link); }));
    platform::sleepMs(600);
    job->abort = true;
    ASSERT_TRUE(worker.wait(5000));
    EXPECT_EQ(sweepOutcome(*job, job->block.stepCount), SweepOutcome::NotCompleted);
    EXPECT_EQ(handedOverPoints(*job, job->block.stepCount), 0);
    const std::string text = log();
    const std::size_t readout = text.find(">>\tfra?sweep\n");
    ASSERT_NE(readout, std::string::npos);
    EXPECT_LT(text.find(">>\t\\024\n", readout), text.find(">>\tabort\n", readout));
    EXPECT_LT(text.find(">>\tabort\n", readout), text.find(">>\t*trg\n", readout));
}

TEST_F(WorkerTest, AnUnreadablePointAfterTheFirstEndsTheSweepWithWhatArrived) {
    SimProcess sim({"--fast", "--fault", "nodot:fra?sweep:6"});
    InstrumentLink link = sim.lanLink();
    configure(link, {"18,50"});
    instrument::commsLogStart(logDir.path());
    fraSweepWorker(*job, link);
    EXPECT_EQ(job->received, 5);
    EXPECT_TRUE(job->readFailed);
    EXPECT_EQ(sweepOutcome(*job, 50), SweepOutcome::ReadFailed);
    EXPECT_EQ(handedOverPoints(*job, 50), 5);
    EXPECT_NE(log().find(">>\tabort\n"), std::string::npos);
}

TEST_F(WorkerTest, AnUnreadableFirstPointIsAskedForAgain) {
    SimProcess sim({"--fast", "--fault", "nodot:fra?sweep:1"});
    InstrumentLink link = sim.lanLink();
    configure(link, {"18,30"});
    instrument::linkSetReadTimeout(300, link);
    fraSweepWorker(*job, link);
    instrument::linkSetReadTimeout(5000, link);
    // The spoilt first line is skipped; the rest arrive, one short, and the read after the last fails.
    EXPECT_EQ(job->received, 29);
    EXPECT_TRUE(job->readFailed);
    EXPECT_NEAR(job->block.points[0].frequency, 20.0 * std::pow(2e6 / 20.0, 1.0 / 29.0), 1e-3);
}

TEST_F(WorkerTest, ADroppedConnectionKeepsThePointsThatCame) {
    SimProcess sim({"--fast", "--fault", "drop-at-point:12"});
    InstrumentLink link = sim.lanLink();
    configure(link, {"18,40"});
    instrument::linkSetReadTimeout(300, link);
    fraSweepWorker(*job, link);
    instrument::linkSetReadTimeout(5000, link);
    EXPECT_EQ(job->received, 12);
    EXPECT_EQ(sweepOutcome(*job, 40), SweepOutcome::ReadFailed);
}

TEST_F(WorkerTest, AnInstrumentThatNeverFinishesWaitsForTheUser) {
    SimProcess sim({"--fast", "--fault", "silent:*opc?"});
    InstrumentLink link = sim.lanLink();
    configure(link, {"18,10"});
    instrument::linkSetReadTimeout(200, link);
    platform::WorkerThread worker;
    ASSERT_TRUE(worker.start([&] { fraSweepWorker(*job, link); }));
    EXPECT_FALSE(worker.wait(1000));  // still waiting for the sweep to end
    job->abort = true;
    EXPECT_TRUE(worker.wait(3000));
    instrument::linkSetReadTimeout(5000, link);
    EXPECT_EQ(job->received, 0);
    EXPECT_EQ(sweepOutcome(*job, 10), SweepOutcome::NotCompleted);
}

TEST_F(WorkerTest, AnUnreachableInstrumentIsAReportedCommsError) {
    InstrumentLink dead;
    dead.interfaceType = instrument::kLan;
    dead.ipAddress = "127.0.0.1";
    dead.lanPort = 1;
    fraSweepWorker(*job, dead);
    EXPECT_EQ(sink.seen(), (std::vector<std::pair<int, long long>>{{kNotifyLinkFailed, 0}, {kNotifyWorkerFinished, 0}}));
    lcrSweepWorker(*lcr, dead, true);
    EXPECT_EQ(sink.count(kNotifyLinkFailed), 2);
}

TEST_F(WorkerTest, LcrSweepsOverASerialLineWithAndWithoutTheModeSwitch) {
    SimProcess sim({"--fast"}, true);
    InstrumentLink link = sim.serialLink();
    configure(link, {"18,25", "6,1"});
    instrument::commsLogStart(logDir.path());
    lcrSweepWorker(*lcr, link, true);
    EXPECT_EQ(lcr->received, 25);
    EXPECT_EQ(lcr->block.phaseRangeCode, 1);
    EXPECT_EQ(sweepOutcome(*lcr, lcr->block.stepCount), SweepOutcome::Complete);
    EXPECT_EQ(log().find("CONFIG, 1, 1"), std::string::npos);
    const db::LcrPoint& p = lcr->block.points[10];
    EXPECT_NEAR(p.admittance * p.impedance, 1.0, 1e-3);
    EXPECT_EQ(lcrTableRow(11, p).substr(0, 3), "11\t");

    lcr->reset();
    const std::uint64_t start = platform::nowMs();
    lcrSweepWorker(*lcr, link, false);
    EXPECT_GE(platform::nowMs() - start, 2000u);  // the instrument is given time to change mode
    EXPECT_NE(log().find(">>\tCONFIG, 1, 1\n"), std::string::npos);
    EXPECT_EQ(lcr->received, 25);
}

TEST_F(WorkerTest, AnLcrStepCountOutOfRangeSendsNoStart) {
    SimProcess sim({"--fast"});
    InstrumentLink link = sim.lanLink();
    configure(link, {"18,2500"});
    instrument::commsLogStart(logDir.path());
    lcrSweepWorker(*lcr, link, true);
    EXPECT_EQ(lcr->received, 0);
    EXPECT_EQ(log().find(">>\tstart\n"), std::string::npos);
    EXPECT_NE(log().find(">>\tabort\n"), std::string::npos);
    EXPECT_EQ(log().find("*trg"), std::string::npos);
}

TEST_F(WorkerTest, FraRealtimeHandsOverOneReadingAtATime) {
    SimProcess sim({"--fast"});
    InstrumentLink link = sim.lanLink();
    link.connected = true;
    sweepRunning() = 1;
    platform::WorkerThread worker;
    ASSERT_TRUE(worker.start([&] { fraRealtimeWorker(*job, link); }));
    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(sink.waitFor(kNotifyFraReading, i));
        platform::sleepMs(50);
        EXPECT_EQ(sink.count(kNotifyFraReading), i);  // no new reading until this one is taken
        EXPECT_DOUBLE_EQ(job->currentReading.frequency, 1000.0);
        job->readingTaken = true;
    }
    sweepRunning() = 0;
    EXPECT_TRUE(worker.wait(3000));

    InstrumentLink notConnected = sim.lanLink();
    sweepRunning() = 1;
    fraRealtimeWorker(*job, notConnected);  // ends at once
    sweepRunning() = 0;
}

TEST_F(WorkerTest, LcrRealtimeRepaintsWhenTheReadingChangesForm) {
    SimProcess sim({"--fast"}, true);
    InstrumentLink link = sim.lanLink();
    link.connected = true;
    InstrumentLink side = sim.serialLink();
    configure(side, {"104,0"});
    sweepRunning() = 2;
    platform::WorkerThread worker;
    ASSERT_TRUE(worker.start([&] { lcrRealtimeWorker(*lcr, link); }));
    ASSERT_TRUE(sink.waitFor(kNotifyLcrReading, 1));
    EXPECT_TRUE(lcr->shortForm);
    EXPECT_EQ(sink.count(kNotifyLcrRepaint), 1);  // long to short
    // The worker asks for the next reading once the last one is taken.
    auto nextReading = [&] {
        const int next = sink.count(kNotifyLcrReading) + 1;
        lcr->readingTaken = true;
        return sink.waitFor(kNotifyLcrReading, next);
    };
    configure(side, {"104,1"});
    // A reply that came too late for its request is read for the next one, so the new form may show
    // a reading late.
    for (int i = 0; i < 3 && lcr->shortForm; ++i) ASSERT_TRUE(nextReading());
    EXPECT_FALSE(lcr->shortForm);
    EXPECT_EQ(sink.count(kNotifyLcrRepaint), 2);
    EXPECT_GT(lcr->longReading[0], 0.0);
    ASSERT_TRUE(nextReading());
    EXPECT_EQ(sink.count(kNotifyLcrRepaint), 2);  // same form: no repaint
    sweepRunning() = 0;
    EXPECT_TRUE(worker.wait(3000));
}

TEST_F(WorkerTest, ReplayedTextAndDataFiles) {
    SimProcess sim({"--fast"});
    InstrumentLink link = sim.lanLink();
    TempDir dir;
    testing_support::writeFile(dir.file("sweep.txt"),
                               "Exported sweep\n,steps,3\nFREQUENCY (HZ),MAGNITUDE 1 (V),MAGNITUDE 2 (V),GAIN (DB),PHASE (DEG)\n"
                               "100,1.0,0.01,-40,10\n200,1.0,0.02,-34,20\n300,1.0,0.03,-30.5,30\n");
    fraSweepWorker(*job, link, Replay{true, dir.file("sweep.txt")});
    EXPECT_EQ(job->block.stepCount, 3);
    EXPECT_EQ(job->received, 3);
    EXPECT_EQ(sweepOutcome(*job, 3), SweepOutcome::Complete);
    EXPECT_EQ(job->block.points[2].amplitude, -30.5);
    EXPECT_EQ(job->block.points[2].delay, 0.0);

    testing_support::writeFile(dir.file("noheader.txt"), ",steps,3\n100,1,1,1,1\n");
    job->reset();
    fraSweepWorker(*job, link, Replay{true, dir.file("noheader.txt")});
    EXPECT_EQ(job->received, 0);

    auto block = std::make_unique<FraSweepBlock>();
    block->stepCount = 5;
    block->phaseRangeCode = 2;
    for (int i = 0; i < 5; ++i) block->points[i] = {1000.0 * (i + 1), 1, 0.1, -20, 45.0 * i, 1e-6};
    testing_support::writeFile(dir.file("sweep.dat"), std::string(reinterpret_cast<const char*>(block.get()), sizeof *block));
    job->reset();
    fraSweepWorker(*job, link, Replay{true, dir.file("sweep.dat")});
    EXPECT_EQ(job->received, 5);
    EXPECT_EQ(job->block.phaseRangeCode, 2);
    EXPECT_EQ(std::memcmp(job->block.points, block->points, 5 * sizeof(db::FraPoint)), 0);

    // Realtime replay reads the data file point after point.
    link.connected = true;
    job->reset();
    sweepRunning() = 1;
    platform::WorkerThread worker;
    ASSERT_TRUE(worker.start([&] { fraRealtimeWorker(*job, link, Replay{true, dir.file("sweep.dat")}); }));
    ASSERT_TRUE(sink.waitFor(kNotifyFraReading, 1));
    EXPECT_EQ(job->block.stepCount, 0);
    sweepRunning() = 0;
    job->readingTaken = true;
    EXPECT_TRUE(worker.wait(3000));
}
