#include "measure/fra_worker.h"

#include <cstdlib>

#include "instrument/settings.h"
#include "measure/replay.h"
#include "platform/clock.h"

namespace measure {
namespace {

using instrument::linkWrite;

constexpr unsigned kOpcPollMs = 200;

// Stores one point and announces it; true when the sweep is complete.
bool storePoint(SweepJob& job, const double* v, int stepCount) {
    const int i = job.received;
    job.block.points[i] = {v[0], v[1], v[2], v[3], v[4], v[5]};
    job.received = i + 1;
    if (i == 0) job.notify(kNotifyFirstPoint);
    job.notify(kNotifyPointArrived, i + 1);
    return i + 1 >= stepCount;
}

// Waits for the instrument to report the sweep done ("*opc?" turning non-zero) or for an abort.
void waitForSweep(SweepJob& job, instrument::InstrumentLink& link) {
    while (!job.abort) {
        linkWrite("*opc?\n", link);
        std::string reply;
        const bool done =
            instrument::linkReadLine(reply, 128, link) > 0 && std::strtol(reply.c_str(), nullptr, 10) != 0;
        sleepUnlessAborted(job, kOpcPollMs);
        if (done) return;
    }
}

void readInstrumentPoints(SweepJob& job, instrument::InstrumentLink& link, int stepCount) {
    double v[6] = {};
    while (!job.abort) {
        if (job.received >= heldPoints(stepCount)) {
            // More points than the job can hold: keep the first 2000 and end as incomplete.
            job.readFailed = true;
            return;
        }
        if (instrument::linkReadValues(v, 6, link, true) == 6) {
            if (storePoint(job, v, stepCount)) return;
        } else if (job.received > 0) {
            job.readFailed = true;
            return;
        }
        // Nothing readable yet before the first point: the instrument may still be busy; ask again.
    }
}

void replayText(SweepJob& job, ReplayFile& file) {
    const int stepCount = file.readTextHeader();
    job.block.stepCount = stepCount;
    if (stepCount <= 0) return;
    double v[6] = {};  // the delay is not in the file and stays 0
    while (!job.abort && job.received < heldPoints(stepCount)) {
        const int n = file.readTextPoint(v);
        if (n < 0) return;
        if (n == 5) {
            if (storePoint(job, v, stepCount)) return;
        } else if (job.received > 0) {
            job.readFailed = true;
            return;
        }
    }
}

void replayData(SweepJob& job, ReplayFile& file) {
    if (!file.readBlock(job.block) || job.block.stepCount <= 0 || job.block.stepCount > kMaxSweepPoints) {
        job.block = {};
        return;
    }
    // The whole sweep arrives in one piece.
    job.received = job.block.stepCount;
    job.notify(kNotifyFirstPoint);
    job.notify(kNotifyPointArrived, job.received);
}

void replaySweep(SweepJob& job, const Replay& replay) {
    ReplayFile file;
    // A file that cannot be opened gives no points: the user cancels.
    while (!file.open(replay.path)) {
        if (job.abort) return;
        platform::sleepMs(100);
    }
    if (ReplayFile::isTextPath(replay.path)) replayText(job, file);
    else replayData(job, file);
}

}  // namespace

void fraSweepWorker(SweepJob& job, instrument::InstrumentLink& link, const Replay& replay) {
    if (instrument::linkOpen(link) != 0) {
        job.notify(kNotifyLinkFailed);
        job.notify(kNotifyWorkerFinished);
        return;
    }
    AbortWatch watch(job, link.cancel);
    for (int i = 0; i < 5; ++i) linkWrite("OUTPUT,ON\n", link);
    int stepCount = 0;
    try {
        stepCount = instrument::queryItemNumber(18, 0, 3000, link);
    } catch (const instrument::SettingError&) {
        stepCount = 0;
    }
    if (stepCount < 1) {
        // Without a step count nothing can be measured: report it as the comms failure it is.
        job.notify(kNotifyLinkFailed);
        instrument::linkClose(link);
        job.notify(kNotifyWorkerFinished);
        return;
    }
    job.block.stepCount = stepCount;

    if (replay.enabled) {
        replaySweep(job, replay);
    } else {
        linkWrite("fra,start\n", link);
        waitForSweep(job, link);
        linkWrite("fra?sweep\n", link);  // also after an abort, as the instrument expects
        readInstrumentPoints(job, link, stepCount);
        if (job.received != stepCount) {
            linkWrite("\x14", link);
            instrument::linkDiscard(link, 100);
            linkWrite("abort\n", link);
            linkWrite("*trg\n", link);
        }
    }
    instrument::linkClose(link);
    job.notify(kNotifyWorkerFinished);
}

void fraRealtimeWorker(SweepJob& job, instrument::InstrumentLink& link, const Replay& replay) {
    if (!link.connected || instrument::linkOpen(link) != 0) return;
    ReplayFile file;
    if (replay.enabled) {
        file.open(replay.path);
    } else {
        linkWrite("CONFIG, 7, 1", link);
        linkWrite("START", link);
    }
    instrument::linkSetReadTimeout(100, link);
    bool first = true;
    while (sweepRunning() != 0) {
        if (!job.readingTaken) {
            platform::sleepMs(2);
            continue;
        }
        job.readingTaken = false;
        bool read = false;
        if (replay.enabled) {
            read = file.readPoint(job.currentReading);
            if (read) {
                platform::sleepMs(500);
                if (first) instrument::linkSetReadTimeout(5000, link);
                first = false;
            }
        } else {
            linkWrite("fra?\n", link);
            double v[6];
            read = instrument::linkReadValues(v, 6, link, true) == 6;
            if (read) job.currentReading = {v[0], v[1], v[2], v[3], v[4], v[5]};
        }
        if (read) {
            job.notify(kNotifyFraReading);
        } else {
            linkWrite("\x14", link);
            instrument::linkDiscard(link, 20);
            job.readingTaken = true;
        }
    }
    if (link.connected) instrument::linkClose(link);
}

}  // namespace measure
