// The Restore Database dialog: the backups in a list, "Restore" (or a double click on one) with the
// warning that the current database will be replaced.
#include "gui/db/restore_database_dialog.h"

#include <commctrl.h>

#include "db/backup.h"
#include "gui/dialog_fields.h"
#include "gui/resources/database_dialog_ids.h"
#include "platform/prompter.h"

namespace gui {
namespace {

struct RestoreDatabase final : ModalDialog {
    explicit RestoreDatabase(const std::vector<std::string>& backups) : backups(backups) {}

    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM) override;
    bool onNotify(HWND dialog, const NMHDR& note) override;

    const std::vector<std::string>& backups;  // one row each, in this order
    std::string chosen;
};

int selectedRow(HWND dialog) { return selectedListRow(dialog, IDC_RESTORE_LIST); }

void onRestore(HWND dialog, RestoreDatabase& s) {
    const int row = selectedRow(dialog);
    if (row < 0) {
        platform::showMessage("Please select a backup to restore from", "Error: No restore target",
                              platform::Icon::None);
        return;
    }
    if (!db::confirmRestore()) return;
    s.chosen = s.backups[static_cast<std::size_t>(row)];
    EndDialog(dialog, IDOK);
}

bool RestoreDatabase::onInit(HWND dialog) {
    fillOneColumnList(dialog, IDC_RESTORE_LIST, "Backup Name", backups);
    focusControl(dialog, IDC_RESTORE_LIST);
    return false;  // the list has the focus
}

bool RestoreDatabase::onNotify(HWND dialog, const NMHDR& note) {
    if (note.idFrom != IDC_RESTORE_LIST) return false;
    switch (note.code) {
    case LVN_ITEMCHANGED:
        enableControl(dialog, IDOK, selectedRow(dialog) >= 0);
        return true;
    case NM_DBLCLK:
        // On a row; a double click on the empty part of the list chooses nothing.
        if (reinterpret_cast<const NMITEMACTIVATE&>(note).iItem >= 0) onRestore(dialog, *this);
        return true;
    default:
        return false;
    }
}

bool RestoreDatabase::onCommand(HWND dialog, int id, int, LPARAM) {
    if (id != IDOK) return false;
    onRestore(dialog, *this);
    return true;
}

}  // namespace

std::string chooseBackupToRestore(HWND owner, const std::vector<std::string>& backups) {
    RestoreDatabase dialog(backups);
    return dialog.run(owner, IDD_RESTORE_DATABASE) == IDOK ? dialog.chosen : std::string();
}

}  // namespace gui
