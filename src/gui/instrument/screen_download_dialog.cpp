// The "Download" dialog and its worker: the worker's reports come in as commands, the dialog shows
// them, and the last one ends the dialog once the worker has gone.
#include "gui/instrument/screen_download_dialog.h"

#include <commctrl.h>

#include <memory>

#include "common/string_printf.h"
#include "gui/dialog_fields.h"
#include "gui/resources/capture_ids.h"
#include "gui/window_command_sink.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/known_folders.h"
#include "platform/prompter.h"
#include "platform/thread.h"

namespace gui {
namespace {

constexpr unsigned kWorkerEndWaitMs = 10000;

struct DownloadDialog final : ModalDialog {
    explicit DownloadDialog(const instrument::InstrumentLink& shared, ScreenDownload& d) : link(shared), download(d) {}

    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM parameter) override;

    instrument::InstrumentLink link;  // the worker's own copy of the open link
    ScreenDownload& download;
    WindowCommandSink sink;
    platform::WorkerThread worker;
    int steps = 0;
    std::uint64_t startMs = 0;
};

// The worker: the download, the colour picture's file, and the report that ends the dialog.
void work(DownloadDialog& d) {
    ScreenDownload& download = d.download;
    download.succeeded = instrument::downloadScreen(d.link, download.request, download.picture, d.sink);
    std::string folder;
    if (download.succeeded && download.picture.isColour && platform::temporaryFolder(folder))
        instrument::saveColourScreen(download.picture, platform::joinPath(folder, instrument::kColourScreenFile));
    d.sink.notify(instrument::kNotifyScreenDone, download.succeeded ? 1 : 0);
}

void onSteps(HWND dialog, DownloadDialog& d, int steps) {
    d.steps = steps;
    countSteps(dialog, IDC_DOWNLOAD_PROGRESS, steps > 0 ? steps : 1);
}

void onStep(HWND dialog, const DownloadDialog& d, int done) {
    const int total = d.steps > 0 ? d.steps : 1;
    SendDlgItemMessageW(dialog, IDC_DOWNLOAD_PROGRESS, PBM_SETPOS, done, 0);
    SetWindowTextA(dialog, common::stringPrintf("%d%% complete", done * 100 / total).c_str());
    setControlText(dialog, IDC_DOWNLOAD_STATUS, common::stringPrintf("Progress: %d/%d", done, total));
    setControlText(dialog, IDC_DOWNLOAD_TIME, "Estimated time remaining: " + instrument::remainingTimeText(
                                                  platform::nowMs() - d.startMs, done, total));
}

// The worker's last report: once it has ended, its failure is shown and the dialog ends.
void onDone(HWND dialog, DownloadDialog& d, bool downloaded) {
    d.download.finished = d.worker.wait(kWorkerEndWaitMs);
    if (d.download.finished && !downloaded)
        platform::showMessage("A communication error has occured while downloading the screenshot from the instrument",
                              "Communication Error", platform::Icon::Warning);
    EndDialog(dialog, 1);
}

bool DownloadDialog::onInit(HWND dialog) {
    startMarquee(dialog, IDC_DOWNLOAD_PROGRESS);
    sink = WindowCommandSink(dialog);
    if (!worker.start([this] { work(*this); })) EndDialog(dialog, 0);
    return true;
}

bool DownloadDialog::onCommand(HWND dialog, int id, int, LPARAM parameter) {
    switch (id) {
    case instrument::kNotifyScreenCaption:
        SetWindowTextA(dialog, instrument::kDownloadingCaption);
        return true;
    case instrument::kNotifyScreenSteps:
        onSteps(dialog, *this, static_cast<int>(parameter));
        return true;
    case instrument::kNotifyScreenStarted:
        startMs = platform::nowMs();
        return true;
    case instrument::kNotifyScreenStep:
        onStep(dialog, *this, static_cast<int>(parameter));
        return true;
    case instrument::kNotifyScreenDone:
        onDone(dialog, *this, parameter != 0);
        return true;
    case IDCANCEL:
        return true;  // the download cannot be left half done: the worker holds the instrument
    default:
        return false;
    }
}

}  // namespace

void runScreenDownloadDialog(HWND owner, const instrument::InstrumentLink& link, ScreenDownload& download) {
    // The record holds a whole link with its receive ring: too big for the stack.
    auto dialog = std::make_unique<DownloadDialog>(link, download);
    dialog->run(owner, IDD_DOWNLOAD);
}

}  // namespace gui
