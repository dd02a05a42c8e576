// What happens to a finished sweep: whether it is handed over, the rows of the pane's table, and
// storing it with its points. User-interface thread, after the worker has ended.
#pragma once

#include <string>

#include "measure/sweep_job.h"
#include "measure/sweep_setup.h"

namespace measure {

enum class SweepOutcome {
    Complete,       // every point arrived
    ReadFailed,     // a reply was unreadable after the first point: the points received are kept
    NotCompleted,   // aborted, or nothing arrived: nothing is handed over
};

SweepOutcome sweepOutcome(const JobFlags& job, int stepCount);

// Whether a sweep is stored when the user chose to save it: only a complete one. A sweep cut short
// would read back from the database like a whole sweep of fewer points, so it is shown but never
// stored by itself; the user may still add what is shown deliberately.
bool storedAsChosen(SweepOutcome outcome);
// What the user is told of a sweep cut short that was to be saved.
inline constexpr const char* kFailedSweepNotStored =
    "Sweep Failed: not every point arrived, so the sweep was not saved to the database";

// The progress bar's percentage after received of stepCount points, n x 100 / steps + 1 as the
// "Sweep Data" dialog shows it: always 1 to 100, whatever the counts (a step count of 0 or below
// shows 100).
int progressPercentage(long long received, long long stepCount);

// How many points a sweep hands over: all for a complete sweep, those received after a failed read,
// none otherwise.
int handedOverPoints(const JobFlags& job, int stepCount);

// One row of the pane's table, the step counted from 1: FRA "%d\t%.4lf\t%.5E..." without the delay,
// LCR with all seven quantities.
std::string fraTableRow(int step, const db::FraPoint& p);
std::string lcrTableRow(int step, const db::LcrPoint& p);

// Stores the pending sweep (given the next sweep id now) with the first count points of the block,
// reporting progress to sink, whole or not at all. Returns 0, or the failing store operation's result.
int storeFraSweep(PendingSweep& pending, const FraSweepBlock& block, int count,
                  platform::NotificationSink* progress = nullptr);
int storeLcrSweep(PendingSweep& pending, const LcrSweepBlock& block, int count,
                  platform::NotificationSink* progress = nullptr);

}  // namespace measure
