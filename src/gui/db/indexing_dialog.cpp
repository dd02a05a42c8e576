// The "Preparing Database" box and its worker.
#include "gui/db/indexing_dialog.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "db/schema.h"
#include "gui/app/window_classes.h"
#include "gui/resources/database_dialog_ids.h"
#include "platform/thread.h"

namespace gui {
namespace {

constexpr UINT kMarqueeStepMs = 80;

// The box's record, kept with the box (DWLP_USER) while it runs.
struct Indexing {
    explicit Indexing(const std::function<void()>& w) : work(w) {}

    const std::function<void()>& work;
    platform::WorkerThread worker;
};

INT_PTR CALLBACK indexingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        SendDlgItemMessageA(dialog, IDC_INDEXING_PROGRESS, PBM_SETMARQUEE, TRUE, kMarqueeStepMs);
        Indexing& d = *reinterpret_cast<Indexing*>(lParam);
        const bool started = d.worker.start([&d, dialog] {
            d.work();
            PostMessageA(dialog, WM_COMMAND, IDC_INDEXING_DONE, 0);
        });
        if (!started) {
            d.work();
            EndDialog(dialog, 1);
        }
        return TRUE;
    }
    case WM_COMMAND:
        // Nothing else ends the box: the indexes are made whole or not at all, and the database is
        // not usable until the worker has finished with it.
        if (LOWORD(wParam) == IDC_INDEXING_DONE) {
            reinterpret_cast<Indexing*>(GetWindowLongPtrA(dialog, DWLP_USER))->worker.wait(INFINITE);
            EndDialog(dialog, 1);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void installIndexingDialog() {
    db::setKeyIndexRunner([](const std::function<void()>& work) {
        Indexing d(work);
        // A box that cannot be shown leaves the work to be done here, without it.
        if (DialogBoxParamA(programInstance(), MAKEINTRESOURCEA(IDD_INDEXING), GetActiveWindow(), indexingProc,
                            reinterpret_cast<LPARAM>(&d)) == -1)
            work();
    });
}

}  // namespace gui
