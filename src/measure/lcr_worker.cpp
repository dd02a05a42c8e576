#include "measure/lcr_worker.h"

#include <cstdlib>
#include <cstring>

#include "instrument/settings.h"
#include "platform/clock.h"

namespace measure {

using instrument::linkWrite;

void lcrSweepWorker(LcrSweepJob& job, instrument::InstrumentLink& link, bool impedanceModeSet) {
    if (instrument::linkOpen(link) != 0) {
        job.notify(kNotifyLinkFailed);
        job.notify(kNotifyWorkerFinished);
        return;
    }
    AbortWatch watch(job, link.cancel);
    linkWrite("\x14", link);
    instrument::linkDiscard(link, 100);
    linkWrite("CONFIG, 7, 1\n", link);
    int stepCount, phaseCode;
    try {
        stepCount = std::atoi(instrument::queryItemText(18, 2048, link).c_str());
        phaseCode = instrument::queryItemNumber(6, 0, 255, link);
    } catch (const instrument::SettingError&) {
        stepCount = -1;
        phaseCode = 0;
    }
    job.block.stepCount = stepCount;
    job.block.phaseRangeCode = phaseCode >= 0 && phaseCode <= 2 ? phaseCode : 0;

    if (stepCount >= 2 && stepCount <= kMaxSweepPoints) {
        if (!impedanceModeSet) {
            linkWrite("CONFIG, 1, 1\n", link);
            sleepUnlessAborted(job, 2000);
        }
        linkWrite("start\n", link);
        linkWrite("*wai\n", link);
        linkWrite("LCR,SWEEP?\n", link);
        double v[8] = {};
        while (!job.abort) {
            if (instrument::linkReadValues(v, 8, link, true) == 8) {
                const int i = job.received;
                job.block.points[i] = {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]};
                job.received = i + 1;
                if (i == 0) job.notify(kNotifyFirstPoint);
                job.notify(kNotifyPointArrived, i + 1);
                if (i + 1 == stepCount) break;
            } else if (job.received > 0) {
                job.readFailed = true;
                break;
            }
        }
    }
    if (job.received != stepCount) {
        linkWrite("\x14", link);
        instrument::linkDiscard(link, 100);
        linkWrite("abort\n", link);
    }
    instrument::linkClose(link);
    job.notify(kNotifyWorkerFinished);
}

void lcrRealtimeWorker(LcrSweepJob& job, instrument::InstrumentLink& link) {
    job.shortForm = false;
    if (!link.connected || instrument::linkOpen(link) != 0) return;
    linkWrite("CONFIG, 7, 1", link);
    linkWrite("START", link);
    instrument::linkSetReadTimeout(100, link);
    while (sweepRunning() != 0) {
        if (!job.readingTaken) {
            platform::sleepMs(2);
            continue;
        }
        job.readingTaken = false;
        linkWrite("lcr?\n", link);
        double v[14];
        const int n = instrument::linkReadValues(v, 14, link, true);
        if (n == 11 || n == 14) {
            const bool shortForm = n == 11;
            // A change of form changes the whole readout.
            if (shortForm != job.shortForm) job.notify(kNotifyLcrRepaint, 1);
            job.shortForm = shortForm;
            std::memcpy(shortForm ? job.shortReading : job.longReading, v, sizeof(double) * static_cast<std::size_t>(n));
            job.notify(kNotifyLcrReading);
        } else {
            job.readingTaken = true;
        }
    }
    if (link.connected) instrument::linkClose(link);
}

}  // namespace measure
