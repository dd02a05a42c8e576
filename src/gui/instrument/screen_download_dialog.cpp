// The "Download" dialog and its worker: the worker's reports come in as commands, the dialog shows
// them, and the last one ends the dialog once the worker has gone.
#include "gui/instrument/screen_download_dialog.h"

#include <commctrl.h>

#include <memory>

#include "common/string_printf.h"
#include "gui/app/window_classes.h"
#include "gui/resources/capture_ids.h"
#include "gui/window_command_sink.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/known_folders.h"
#include "platform/prompter.h"
#include "platform/thread.h"

namespace gui {
namespace {

constexpr UINT kMarqueeStepMs = 80;
constexpr unsigned kWorkerEndWaitMs = 10000;

// The dialog's record, kept with the dialog (DWLP_USER) for as long as it runs.
struct DownloadDialog {
    explicit DownloadDialog(const instrument::InstrumentLink& shared, ScreenDownload& d) : link(shared), download(d) {}

    instrument::InstrumentLink link;  // the worker's own copy of the open link
    ScreenDownload& download;
    WindowCommandSink sink;
    platform::WorkerThread worker;
    int steps = 0;
    std::uint64_t startMs = 0;
};

DownloadDialog& dialogOf(HWND dialog) { return *reinterpret_cast<DownloadDialog*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

void setText(HWND dialog, int id, const std::string& text) { SetDlgItemTextA(dialog, id, text.c_str()); }

// The worker: the download, the colour picture's file, and the report that ends the dialog.
void work(DownloadDialog& d) {
    ScreenDownload& download = d.download;
    download.succeeded = instrument::downloadScreen(d.link, download.request, download.picture, d.sink);
    std::string folder;
    if (download.succeeded && download.picture.isColour && platform::temporaryFolder(folder))
        instrument::saveColourScreen(download.picture, platform::joinPath(folder, instrument::kColourScreenFile));
    d.sink.notify(instrument::kNotifyScreenDone, download.succeeded ? 1 : 0);
}

void onInitDialog(HWND dialog, DownloadDialog* d) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(d));
    SendDlgItemMessageA(dialog, IDC_DOWNLOAD_PROGRESS, PBM_SETMARQUEE, TRUE, kMarqueeStepMs);
    d->sink = WindowCommandSink(dialog);
    if (!d->worker.start([d] { work(*d); })) EndDialog(dialog, 0);
}

void onSteps(HWND dialog, int steps) {
    DownloadDialog& d = dialogOf(dialog);
    d.steps = steps;
    HWND bar = GetDlgItem(dialog, IDC_DOWNLOAD_PROGRESS);
    SendMessageA(bar, PBM_SETMARQUEE, FALSE, 0);
    SetWindowLongA(bar, GWL_STYLE, GetWindowLongA(bar, GWL_STYLE) & ~PBS_MARQUEE);
    SendMessageA(bar, PBM_SETRANGE32, 0, steps > 0 ? steps : 1);
    SendMessageA(bar, PBM_SETPOS, 0, 0);
}

void onStep(HWND dialog, int done) {
    const DownloadDialog& d = dialogOf(dialog);
    const int total = d.steps > 0 ? d.steps : 1;
    SendDlgItemMessageA(dialog, IDC_DOWNLOAD_PROGRESS, PBM_SETPOS, done, 0);
    SetWindowTextA(dialog, common::stringPrintf("%d%% complete", done * 100 / total).c_str());
    setText(dialog, IDC_DOWNLOAD_STATUS, common::stringPrintf("Progress: %d/%d", done, total));
    setText(dialog, IDC_DOWNLOAD_TIME, "Estimated time remaining: " +
                                           instrument::remainingTimeText(platform::nowMs() - d.startMs, done, total));
}

// The worker's last report: once it has ended, its failure is shown and the dialog ends.
void onDone(HWND dialog, bool downloaded) {
    DownloadDialog& d = dialogOf(dialog);
    d.download.finished = d.worker.wait(kWorkerEndWaitMs);
    if (d.download.finished && !downloaded)
        platform::showMessage("A communication error has occured while downloading the screenshot from the instrument",
                              "Communication Error", platform::Icon::Warning);
    EndDialog(dialog, 1);
}

bool onCommand(HWND dialog, int id, LPARAM parameter) {
    switch (id) {
    case instrument::kNotifyScreenCaption:
        SetWindowTextA(dialog, instrument::kDownloadingCaption);
        return true;
    case instrument::kNotifyScreenSteps:
        onSteps(dialog, static_cast<int>(parameter));
        return true;
    case instrument::kNotifyScreenStarted:
        dialogOf(dialog).startMs = platform::nowMs();
        return true;
    case instrument::kNotifyScreenStep:
        onStep(dialog, static_cast<int>(parameter));
        return true;
    case instrument::kNotifyScreenDone:
        onDone(dialog, parameter != 0);
        return true;
    case IDCANCEL:
        return true;  // the download cannot be left half done: the worker holds the instrument
    default:
        return false;
    }
}

INT_PTR CALLBACK downloadProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog, reinterpret_cast<DownloadDialog*>(lParam));
        return TRUE;
    case WM_COMMAND:
        return onCommand(dialog, LOWORD(wParam), lParam) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

void runScreenDownloadDialog(HWND owner, const instrument::InstrumentLink& link, ScreenDownload& download) {
    // The record holds a whole link with its receive ring: too big for the stack.
    auto d = std::make_unique<DownloadDialog>(link, download);
    DialogBoxParamA(programInstance(), MAKEINTRESOURCEA(IDD_DOWNLOAD), owner, downloadProc,
                    reinterpret_cast<LPARAM>(d.get()));
}

}  // namespace gui
