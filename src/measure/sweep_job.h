// The job records shared by a measurement worker, the progress display and the pane: the FRA and
// LCR sweep blocks of at most 2000 points, the realtime readings, the abort and hand-shake flags, and
// the notification commands the workers send. One worker runs at a time; the worker writes the
// points, the received count and the readings, the user interface sets abort and reading-taken and
// reads the rest only after the notification that announces it.
#pragma once

#include <atomic>
#include <cstdint>

#include "db/records.h"
#include "platform/notification_sink.h"

namespace measure {

constexpr int kMaxSweepPoints = 2000;

// Notifications (the command numbers the GUI's windows act on).
constexpr int kNotifyLinkFailed = 126;       // to the progress dialog: the link could not be opened
constexpr int kNotifyFirstPoint = 127;       // the first point has arrived
constexpr int kNotifyPointArrived = 128;     // a point has arrived; parameter: points received
constexpr int kNotifyWorkerFinished = 129;   // the worker has ended
constexpr int kNotifyFraReading = 130;       // to the FRA pane: a realtime reading is in the job
constexpr int kNotifyFraSweepReady = 131;    // to the FRA pane: the sweep may be taken over
constexpr int kNotifyLcrRepaint = 182;       // to the LCR results window; parameter 1: everything
constexpr int kNotifyLcrReading = 184;       // to the LCR pane: a realtime reading is in the job
constexpr int kNotifyLcrSweepReady = 185;    // to the LCR pane: the sweep may be taken over

// The block a finished FRA sweep is handed over in; also the layout of a replay data file.
struct FraSweepBlock {
    std::int32_t stepCount;
    std::int32_t phaseRangeCode;  // 0: -180..180 degrees, 1: -360..0, 2: 0..360
    db::FraPoint points[kMaxSweepPoints];
};
static_assert(sizeof(FraSweepBlock) == 96008, "the replay data file layout");

struct LcrSweepBlock {
    std::int32_t stepCount;  // -1 when the instrument could not be asked
    std::int32_t phaseRangeCode;
    db::LcrPoint points[kMaxSweepPoints];
};
static_assert(sizeof(LcrSweepBlock) == 128008);

// Which measurement runs: 0 none, 1 FRA, 2 LCR. Realtime workers run while it is set.
std::atomic<int>& sweepRunning();

// State common to both jobs.
struct JobFlags {
    platform::NotificationSink* sink = nullptr;  // where the worker reports; routed by command number
    std::atomic<bool> readingTaken{true};  // realtime hand-shake: the last reading has been consumed
    std::atomic<bool> abort{false};        // set by the user interface to stop the worker
    std::atomic<bool> readFailed{false};   // a reply was unreadable after at least one point
    std::atomic<std::int32_t> received{0}; // points stored so far

    void notify(int command, long long parameter = 0) const {
        if (sink) sink->notify(command, parameter);
    }
};

// For as long as it lives, reads on the link stop waiting the moment the job is aborted, so that the
// user's Cancel ends a wait for a reply at once. Worker thread.
class AbortWatch {
public:
    AbortWatch(const JobFlags& job, const std::atomic<bool>*& linkCancel) : slot_(linkCancel) { slot_ = &job.abort; }
    ~AbortWatch() { slot_ = nullptr; }
    AbortWatch(const AbortWatch&) = delete;
    AbortWatch& operator=(const AbortWatch&) = delete;

private:
    const std::atomic<bool>*& slot_;
};

// Sleeps about ms milliseconds, or less when the job is aborted meanwhile.
void sleepUnlessAborted(const JobFlags& job, unsigned ms);

struct SweepJob : JobFlags {
    db::FraPoint currentReading{};
    FraSweepBlock block{};

    // Clears the job for a new run, keeping the sink.
    void reset();
};

struct LcrSweepJob : JobFlags {
    double shortReading[11] = {};
    double longReading[14] = {};
    std::atomic<bool> shortForm{false};  // the last realtime reply had 11 values
    LcrSweepBlock block{};

    void reset();
};

}  // namespace measure
