// The FRA measurement workers: a sweep read point by point from the instrument (or replayed from a
// file), and the realtime readout. Each runs on a worker thread with the job and the link, which the
// user interface leaves alone meanwhile; they report through the job's sink.
#pragma once

#include <string>

#include "instrument/link.h"
#include "measure/sweep_job.h"

namespace measure {

// Where a replayed sweep comes from; an empty path in replay mode yields no points.
struct Replay {
    bool enabled = false;
    std::string path;
};

// Programs and starts a sweep, waits for the instrument to finish it, reads its points into
// job.block (at most 2000), and interrupts the instrument when the sweep did not complete. Ends with
// kNotifyWorkerFinished. Stops early when job.abort is set.
void fraSweepWorker(SweepJob& job, instrument::InstrumentLink& link, const Replay& replay = {});

// Reads one reading after the other into job.currentReading while sweepRunning() is set, waiting for
// the user interface to take each (job.readingTaken) before asking for the next. Needs a connected
// link.
void fraRealtimeWorker(SweepJob& job, instrument::InstrumentLink& link, const Replay& replay = {});

// A point count the job can hold: the instrument may report up to 3000 steps.
constexpr int heldPoints(int stepCount) { return stepCount < kMaxSweepPoints ? stepCount : kMaxSweepPoints; }

}  // namespace measure
