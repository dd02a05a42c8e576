// The "Preparing Database" box and its worker.
#include "gui/db/indexing_dialog.h"

#include <windows.h>

#include <functional>

#include "db/schema.h"
#include "gui/dialog_fields.h"
#include "gui/resources/database_dialog_ids.h"
#include "platform/thread.h"

namespace gui {
namespace {

struct Indexing final : ModalDialog {
    explicit Indexing(const std::function<void()>& w) : work(w) {}

    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM) override;

    const std::function<void()>& work;
    platform::WorkerThread worker;
};

bool Indexing::onInit(HWND dialog) {
    startMarquee(dialog, IDC_INDEXING_PROGRESS);
    const bool started = worker.start([this, dialog] {
        work();
        PostMessageW(dialog, WM_COMMAND, IDC_INDEXING_DONE, 0);
    });
    if (!started) {
        work();
        EndDialog(dialog, 1);
    }
    return true;
}

// Nothing else ends the box: the indexes are made whole or not at all, and the database is not
// usable until the worker has finished with it.
bool Indexing::onCommand(HWND dialog, int id, int, LPARAM) {
    if (id == IDC_INDEXING_DONE) {
        worker.wait(INFINITE);
        EndDialog(dialog, 1);
    }
    return true;
}

}  // namespace

void installIndexingDialog() {
    db::setKeyIndexRunner([](const std::function<void()>& work) {
        Indexing box(work);
        // A box that cannot be shown leaves the work to be done here, without it.
        if (box.run(GetActiveWindow(), IDD_INDEXING) == -1) work();
    });
}

}  // namespace gui
