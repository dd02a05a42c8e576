// The "Sweep Data" dialog: the worker's reports come in as commands, the dialog shows them, hands a
// finished sweep to its pane and, asked to close, stops the sweep first.
#include "gui/measure/sweep_data_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "common/string_printf.h"
#include "db/browser_views.h"
#include "db/record_store.h"
#include "gui/app/main_window.h"
#include "gui/db/data_browser.h"
#include "gui/dialog_fields.h"
#include "gui/resources/resource.h"
#include "measure/sweep_handover.h"
#include "platform/prompter.h"

namespace gui {
namespace {

// The LCR pane gets its sweep a moment after the dialog has shown how the sweep ended.
constexpr DWORD kLcrHandoverDelayMs = 250;
constexpr int kPercent = 100;

struct SweepData final : ModalDialog {
    SweepData(HWND pane, MeasurementRun& run, int handoverCommand, int startStopCommand)
        : pane(pane), measurement(run), handoverCommand(handoverCommand), startStopCommand(startStopCommand) {}

    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM parameter) override;

    HWND pane;
    MeasurementRun& measurement;
    int handoverCommand;
    int startStopCommand;
};

void setStatus(HWND dialog, const std::string& text) { setControlText(dialog, IDC_SWEEP_STATUS, text); }

void setProgress(HWND dialog, int percent) { SendDlgItemMessageW(dialog, IDC_SWEEP_PROGRESS, PBM_SETPOS, percent, 0); }

// Every way out: the sweep stops first (the instrument is interrupted unless all points came), then
// the pane ends the run.
void close(HWND dialog, SweepData& data) {
    data.measurement.pending.save = false;
    if (data.measurement.hasWorker()) {
        setStatus(dialog, "Cancelling Sweep");
        platform::WaitCursor wait;
        data.measurement.flags().abort = true;
        data.measurement.release();
    }
    data.measurement.sink.setDialog(nullptr);
    PostMessageA(data.pane, WM_COMMAND, static_cast<WPARAM>(data.startStopCommand), 0);
    EndDialog(dialog, IDCANCEL);
}

void onWorkerFinished(HWND dialog, SweepData& data) {
    MeasurementRun& run = data.measurement;
    if (run.hasWorker()) {
        run.flags().abort = true;
        run.release();
    }
    const int steps = run.stepCount();
    const measure::SweepOutcome outcome = measure::sweepOutcome(run.flags(), steps);
    if (outcome == measure::SweepOutcome::Complete) {
        setStatus(dialog, "Sweep Finished");
    } else if (steps > measure::kMaxSweepPoints && run.flags().received == measure::kMaxSweepPoints) {
        setStatus(dialog, common::stringPrintf("Sweep Failed: the instrument sent %d points; the first %d are shown",
                                               steps, measure::kMaxSweepPoints));
    } else if (outcome == measure::SweepOutcome::ReadFailed && run.pending.save) {
        setStatus(dialog, measure::kFailedSweepNotStored);
    } else {
        setStatus(dialog, "Sweep Failed");
    }
    if (outcome == measure::SweepOutcome::NotCompleted) return;  // nothing to show; the user closes

    if (run.kind == measure::SweepKind::Lcr) Sleep(kLcrHandoverDelayMs);
    PostMessageA(data.pane, WM_COMMAND, static_cast<WPARAM>(data.handoverCommand), 0);
    // A sweep cut short is shown but not stored: the dialog stays up so that the failure is seen.
    if (!measure::storedAsChosen(outcome)) return;
    if (run.pending.save) setStatus(dialog, "Saving to Database");
    else close(dialog, data);
}

void onStored(HWND dialog) {
    setStatus(dialog, "Sweep Added to Database Successfully");
    showControl(dialog, IDCANCEL, false);
    showControl(dialog, IDC_SWEEP_VIEW, true);
    showControl(dialog, IDC_SWEEP_GO_TO_DATABASE, true);
    SetFocus(GetDlgItem(dialog, IDC_SWEEP_VIEW));
}

void onGoToDatabase(HWND dialog, SweepData& data) {
    HWND main = mainWindowOf(data.pane);
    showView(main, db::kSweepsView);
    close(dialog, data);
    PostMessageA(main, WM_COMMAND, IDC_DATABASE, 0);
}

bool SweepData::onInit(HWND dialog) {
    setStatus(dialog, "Waiting for data");
    startMarquee(dialog, IDC_SWEEP_PROGRESS);
    showControl(dialog, IDCANCEL, true);
    showControl(dialog, IDC_SWEEP_VIEW, false);
    showControl(dialog, IDC_SWEEP_GO_TO_DATABASE, false);
    // Reports the worker sent before the dialog existed come now.
    measurement.sink.setDialog(dialog);
    return true;
}

bool SweepData::onCommand(HWND dialog, int id, int, LPARAM parameter) {
    switch (id) {
    case measure::kNotifyLinkFailed:
        platform::showMessage("Comms Error", "Corvane", platform::Icon::Information);
        return true;
    case measure::kNotifyFirstPoint:
        setStatus(dialog, "Reading Data");
        countSteps(dialog, IDC_SWEEP_PROGRESS, kPercent);
        return true;
    case measure::kNotifyPointArrived:
        setProgress(dialog, measure::progressPercentage(parameter, measurement.stepCount()));
        return true;
    case measure::kNotifyWorkerFinished:
        onWorkerFinished(dialog, *this);
        return true;
    case db::kStoreProgressCommand:
        setProgress(dialog, static_cast<int>(std::clamp<LPARAM>(parameter, 0, kPercent)));
        return true;
    case db::kStoreDoneCommand:
        onStored(dialog);
        return true;
    case CMD_SWEEP_NOT_STORED:
        setStatus(dialog, "The sweep could not be saved to the database: it stays on display, and Add To Database "
                          "tries again");
        return true;
    case IDC_SWEEP_GO_TO_DATABASE:
        onGoToDatabase(dialog, *this);
        return true;
    case IDC_SWEEP_VIEW:
    case IDCANCEL:
        close(dialog, *this);
        return true;
    default:
        return false;
    }
}

}  // namespace

void runSweepDataDialog(HWND pane, MeasurementRun& run, int handoverCommand, int startStopCommand) {
    SweepData dialog(pane, run, handoverCommand, startStopCommand);
    dialog.run(mainWindowOf(pane), IDD_SWEEP_DATA);
}

}  // namespace gui
