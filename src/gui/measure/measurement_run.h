// One measurement of a pane: its job record, the worker thread that fills it, where the worker's
// reports go, and the sweep waiting to be stored. The FRA pane and the LCR pane each own one; at most
// one of them runs at a time (measure::sweepRunning). User-interface thread, except the sink, which
// the worker calls.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "measure/sweep_job.h"
#include "measure/sweep_setup.h"
#include "platform/notification_sink.h"
#include "platform/thread.h"

namespace gui {

// Routes a run's reports to the window that acts on them, as posted commands: realtime readings to
// the pane, the LCR readout's form change to its results window, everything else to the "Sweep
// Data" dialog. Reports that come before the dialog exists wait for it.
class RunSink final : public platform::NotificationSink {
public:
    void notify(int command, long long parameter) override;
    void setWindows(HWND pane, HWND results);
    // The dialog opened (reports held for it are posted now) or closed (nullptr).
    void setDialog(HWND dialog);

private:
    struct Report {
        int command;
        long long parameter;
    };
    std::mutex mutex_;
    HWND pane_ = nullptr;
    HWND results_ = nullptr;
    HWND dialog_ = nullptr;
    std::vector<Report> held_;
};

enum class RunKind { Sweep, Realtime };

struct MeasurementRun {
    explicit MeasurementRun(measure::SweepKind kind);

    measure::JobFlags& flags();
    // The sweep's step count as the worker read it from the instrument.
    int stepCount() const;

    // Clears the job and starts the worker of the pane's kind. False when a worker is still held or
    // none could be started.
    bool start(RunKind run, HWND pane, HWND results, const instrument::InstrumentSetting* modeSetting);
    // Waits for the worker to end (it has been told to by sweepRunning or abort) and lets it go.
    void release();
    bool hasWorker() const { return worker != nullptr; }

    const measure::SweepKind kind;
    std::unique_ptr<measure::SweepJob> fraJob;     // the FRA pane's
    std::unique_ptr<measure::LcrSweepJob> lcrJob;  // the LCR pane's
    std::unique_ptr<platform::WorkerThread> worker;
    RunSink sink;
    measure::PendingSweep pending;  // what Perform Sweep confirmed for the sweep under way
    std::string replayPath;         // "-fakesfra": the file the FRA sweep replays
};

}  // namespace gui
