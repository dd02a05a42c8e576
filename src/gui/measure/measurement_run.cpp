// Starting and ending a pane's measurement worker, and routing its reports.
#include "gui/measure/measurement_run.h"

#include "app/startup.h"
#include "gui/instrument/instrument_link.h"
#include "measure/fra_worker.h"
#include "measure/lcr_worker.h"

namespace gui {
namespace {

bool forPane(int command) { return command == measure::kNotifyFraReading || command == measure::kNotifyLcrReading; }

}  // namespace

void RunSink::notify(int command, long long parameter) {
    std::lock_guard<std::mutex> lock(mutex_);
    HWND target = forPane(command) ? pane_ : command == measure::kNotifyLcrRepaint ? results_ : dialog_;
    if (target)
        PostMessageA(target, WM_COMMAND, static_cast<WPARAM>(command), static_cast<LPARAM>(parameter));
    else if (!forPane(command) && command != measure::kNotifyLcrRepaint)
        held_.push_back({command, parameter});
}

void RunSink::setWindows(HWND pane, HWND results) {
    std::lock_guard<std::mutex> lock(mutex_);
    pane_ = pane;
    results_ = results;
    held_.clear();
}

void RunSink::setDialog(HWND dialog) {
    std::lock_guard<std::mutex> lock(mutex_);
    dialog_ = dialog;
    if (!dialog) return;
    for (const Report& r : held_)
        PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(r.command), static_cast<LPARAM>(r.parameter));
    held_.clear();
}

MeasurementRun::MeasurementRun(measure::SweepKind k) : kind(k) {
    // The jobs are large (a whole sweep each): they live on the heap with the pane.
    if (kind == measure::SweepKind::Fra) fraJob = std::make_unique<measure::SweepJob>();
    else lcrJob = std::make_unique<measure::LcrSweepJob>();
}

measure::JobFlags& MeasurementRun::flags() {
    return fraJob ? static_cast<measure::JobFlags&>(*fraJob) : static_cast<measure::JobFlags&>(*lcrJob);
}

int MeasurementRun::stepCount() const { return fraJob ? fraJob->block.stepCount : lcrJob->block.stepCount; }

bool MeasurementRun::start(RunKind run, HWND pane, HWND results, const instrument::InstrumentSetting* modeSetting) {
    if (worker) return false;
    if (fraJob) fraJob->reset();
    else lcrJob->reset();
    sink.setWindows(pane, results);
    flags().sink = &sink;
    flags().readingTaken = true;
    std::function<void()> body;
    instrument::InstrumentLink& link = instrumentLink();
    if (fraJob) {
        const measure::Replay replay{app::isFakeSweep(), replayPath};
        measure::SweepJob& job = *fraJob;
        if (run == RunKind::Sweep) body = [&job, &link, replay] { measure::fraSweepWorker(job, link, replay); };
        else body = [&job, &link, replay] { measure::fraRealtimeWorker(job, link, replay); };
    } else {
        measure::LcrSweepJob& job = *lcrJob;
        // The instrument is switched to impedance measurement (and given time to settle) unless the
        // settings read from it say it is there already.
        const bool impedanceMode = modeSetting && modeSetting->value == 1;
        if (run == RunKind::Sweep) body = [&job, &link, impedanceMode] { measure::lcrSweepWorker(job, link, impedanceMode); };
        else body = [&job, &link] { measure::lcrRealtimeWorker(job, link); };
    }
    worker = std::make_unique<platform::WorkerThread>();
    if (worker->start(std::move(body))) return true;
    worker.reset();
    return false;
}

// The worker's destructor waits for its body to return.
void MeasurementRun::release() { worker.reset(); }

}  // namespace gui
