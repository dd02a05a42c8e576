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
#include "gui/app/window_classes.h"
#include "gui/db/data_browser.h"
#include "gui/resources/resource.h"
#include "measure/sweep_handover.h"
#include "platform/prompter.h"

namespace gui {
namespace {

constexpr UINT kMarqueeStepMs = 80;
// The LCR pane gets its sweep a moment after the dialog has shown how the sweep ended.
constexpr DWORD kLcrHandoverDelayMs = 250;

// The dialog's record, kept with the dialog (DWLP_USER).
struct SweepData {
    HWND pane;
    MeasurementRun& run;
    int handoverCommand;
    int startStopCommand;
};

SweepData& dataOf(HWND dialog) { return *reinterpret_cast<SweepData*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

void setStatus(HWND dialog, const std::string& text) { SetDlgItemTextA(dialog, IDC_SWEEP_STATUS, text.c_str()); }

void showButton(HWND dialog, int id, bool visible) {
    ShowWindow(GetDlgItem(dialog, id), visible ? SW_SHOW : SW_HIDE);
}

void setMarquee(HWND dialog, bool on) {
    HWND bar = GetDlgItem(dialog, IDC_SWEEP_PROGRESS);
    const LONG style = GetWindowLongA(bar, GWL_STYLE);
    if (on) {
        SetWindowLongA(bar, GWL_STYLE, style | PBS_MARQUEE);
        SendMessageA(bar, PBM_SETMARQUEE, TRUE, kMarqueeStepMs);
        return;
    }
    SendMessageA(bar, PBM_SETMARQUEE, FALSE, 0);
    SetWindowLongA(bar, GWL_STYLE, style & ~PBS_MARQUEE);
    SendMessageA(bar, PBM_SETRANGE32, 0, 100);
    SendMessageA(bar, PBM_SETPOS, 0, 0);
}

void setProgress(HWND dialog, int percent) { SendDlgItemMessageA(dialog, IDC_SWEEP_PROGRESS, PBM_SETPOS, percent, 0); }

void onInitDialog(HWND dialog, SweepData* data) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
    setStatus(dialog, "Waiting for data");
    setMarquee(dialog, true);
    showButton(dialog, IDCANCEL, true);
    showButton(dialog, IDC_SWEEP_VIEW, false);
    showButton(dialog, IDC_SWEEP_GO_TO_DATABASE, false);
    // Reports the worker sent before the dialog existed come now.
    data->run.sink.setDialog(dialog);
}

// Every way out: the sweep stops first (the instrument is interrupted unless all points came), then
// the pane ends the run.
void close(HWND dialog) {
    SweepData& data = dataOf(dialog);
    data.run.pending.save = false;
    if (data.run.hasWorker()) {
        setStatus(dialog, "Cancelling Sweep");
        platform::WaitCursor wait;
        data.run.flags().abort = true;
        data.run.release();
    }
    data.run.sink.setDialog(nullptr);
    PostMessageA(data.pane, WM_COMMAND, static_cast<WPARAM>(data.startStopCommand), 0);
    EndDialog(dialog, IDCANCEL);
}

void onWorkerFinished(HWND dialog) {
    SweepData& data = dataOf(dialog);
    MeasurementRun& run = data.run;
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
    else close(dialog);
}

void onStored(HWND dialog) {
    setStatus(dialog, "Sweep Added to Database Successfully");
    showButton(dialog, IDCANCEL, false);
    showButton(dialog, IDC_SWEEP_VIEW, true);
    showButton(dialog, IDC_SWEEP_GO_TO_DATABASE, true);
    SetFocus(GetDlgItem(dialog, IDC_SWEEP_VIEW));
}

void onGoToDatabase(HWND dialog) {
    HWND main = mainWindowOf(dataOf(dialog).pane);
    showView(main, db::kSweepsView);
    close(dialog);
    PostMessageA(main, WM_COMMAND, IDC_DATABASE, 0);
}

bool onCommand(HWND dialog, int id, LPARAM parameter) {
    switch (id) {
    case measure::kNotifyLinkFailed:
        platform::showMessage("Comms Error", "Corvane", platform::Icon::Information);
        return true;
    case measure::kNotifyFirstPoint:
        setStatus(dialog, "Reading Data");
        setMarquee(dialog, false);
        return true;
    case measure::kNotifyPointArrived:
        setProgress(dialog, measure::progressPercentage(parameter, dataOf(dialog).run.stepCount()));
        return true;
    case measure::kNotifyWorkerFinished:
        onWorkerFinished(dialog);
        return true;
    case db::kStoreProgressCommand:
        setProgress(dialog, static_cast<int>(std::clamp<LPARAM>(parameter, 0, 100)));
        return true;
    case db::kStoreDoneCommand:
        onStored(dialog);
        return true;
    case CMD_SWEEP_NOT_STORED:
        setStatus(dialog, "The sweep could not be saved to the database");
        return true;
    case IDC_SWEEP_GO_TO_DATABASE:
        onGoToDatabase(dialog);
        return true;
    case IDC_SWEEP_VIEW:
    case IDCANCEL:
        close(dialog);
        return true;
    default:
        return false;
    }
}

INT_PTR CALLBACK sweepDataProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog, reinterpret_cast<SweepData*>(lParam));
        return TRUE;
    case WM_COMMAND:
        return onCommand(dialog, LOWORD(wParam), lParam) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

void runSweepDataDialog(HWND pane, MeasurementRun& run, int handoverCommand, int startStopCommand) {
    SweepData data{pane, run, handoverCommand, startStopCommand};
    DialogBoxParamA(programInstance(), MAKEINTRESOURCEA(IDD_SWEEP_DATA), mainWindowOf(pane), sweepDataProc,
                    reinterpret_cast<LPARAM>(&data));
}

}  // namespace gui
