// The Restore Database dialog: the backups in a list, "Restore" (or a double click on one) with the
// warning that the current database will be replaced.
#include "gui/db/restore_database_dialog.h"

#include <commctrl.h>

#include "db/backup.h"
#include "gui/dialog_fields.h"
#include "gui/resources/database_dialog_ids.h"
#include "platform/prompter.h"
#include "platform/win32/wide_text.h"

namespace gui {
namespace {

using platform::win32::WideString;
using platform::win32::widen;

struct RestoreDatabase {
    explicit RestoreDatabase(const std::vector<std::string>& backups) : backups(backups) {}

    const std::vector<std::string>& backups;  // one row each, in this order
    std::string chosen;
};

RestoreDatabase& stateOf(HWND dialog) { return *dialogRecord<RestoreDatabase>(dialog); }

HWND backupList(HWND dialog) { return GetDlgItem(dialog, IDC_RESTORE_LIST); }

int selectedRow(HWND dialog) {
    return static_cast<int>(SendMessageW(backupList(dialog), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void onInitDialog(HWND dialog, LPARAM record) {
    const RestoreDatabase& s = attachDialogRecord<RestoreDatabase>(dialog, record);
    HWND list = backupList(dialog);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    WideString title = widen("Backup Name");
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = title.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    for (std::size_t row = 0; row < s.backups.size(); ++row) {
        WideString name = widen(s.backups[row]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = name.data();
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
    focusControl(dialog, IDC_RESTORE_LIST);
}

void onRestore(HWND dialog) {
    const int row = selectedRow(dialog);
    if (row < 0) {
        platform::showMessage("Please select a backup to restore from", "Error: No restore target",
                              platform::Icon::None);
        return;
    }
    if (!db::confirmRestore()) return;
    RestoreDatabase& s = stateOf(dialog);
    s.chosen = s.backups[static_cast<std::size_t>(row)];
    EndDialog(dialog, IDOK);
}

bool onNotify(HWND dialog, const NMHDR& note) {
    if (note.idFrom != IDC_RESTORE_LIST) return false;
    switch (note.code) {
    case LVN_ITEMCHANGED:
        enableControl(dialog, IDOK, selectedRow(dialog) >= 0);
        return true;
    case NM_DBLCLK:
        // On a row; a double click on the empty part of the list chooses nothing.
        if (reinterpret_cast<const NMITEMACTIVATE&>(note).iItem >= 0) onRestore(dialog);
        return true;
    default:
        return false;
    }
}

bool onCommand(HWND dialog, int id) {
    switch (id) {
    case IDOK: onRestore(dialog); return true;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return true;
    default: return false;
    }
}

INT_PTR CALLBACK restoreDatabaseProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog, lParam);
        return FALSE;  // the list has the focus
    case WM_COMMAND:
        return onCommand(dialog, LOWORD(wParam)) ? TRUE : FALSE;
    case WM_NOTIFY:
        return onNotify(dialog, *reinterpret_cast<const NMHDR*>(lParam)) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

std::string chooseBackupToRestore(HWND owner, const std::vector<std::string>& backups) {
    RestoreDatabase state(backups);
    return runDialog(owner, IDD_RESTORE_DATABASE, restoreDatabaseProc, &state) == IDOK ? state.chosen : std::string();
}

}  // namespace gui
