// The Create New Database dialog: the list of transformer types and "Create Database".
#include "gui/db/create_database_dialog.h"

#include <commctrl.h>

#include "db/database_files.h"
#include "db/default_setups.h"
#include "gui/db/record_dialogs.h"
#include "gui/dialog_fields.h"
#include "gui/resources/database_dialog_ids.h"
#include "platform/win32/wide_text.h"

namespace gui {
namespace {

using platform::win32::WideString;
using platform::win32::widen;

HWND typeList(HWND dialog) { return GetDlgItem(dialog, IDC_CREATE_TYPE_LIST); }

int selectedCount(HWND dialog) { return static_cast<int>(SendMessageW(typeList(dialog), LVM_GETSELECTEDCOUNT, 0, 0)); }

// The rows are the types in index order, so a row is its type.
int selectedType(HWND dialog) {
    return static_cast<int>(SendMessageW(typeList(dialog), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void onInitDialog(HWND dialog) {
    HWND list = typeList(dialog);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    WideString title = widen("Transformer Type");
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = title.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    for (int type = 0; type < db::kTransformerTypeCount; ++type) {
        WideString name = widen(db::transformerTypeName(type));
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = type;
        item.pszText = name.data();
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
    focusControl(dialog, IDC_CREATE_TYPE_LIST);
}

// Creating the database asks for the transformer and the file in dialogs of its own; cancelling
// either comes back here for another choice.
void onCreate(HWND dialog) {
    if (selectedCount(dialog) != 1) return;
    const bool created = db::create_database(selectedType(dialog), [dialog](db::TransformerRecord& transformer) {
        return editTransformerDialog(dialog, transformer, TransformerDialogMode::NewDatabase);
    });
    if (created) EndDialog(dialog, IDOK);
}

bool onNotify(HWND dialog, const NMHDR& note) {
    if (note.idFrom != IDC_CREATE_TYPE_LIST || note.code != LVN_ITEMCHANGED) return false;
    enableControl(dialog, IDOK, selectedCount(dialog) == 1);
    return true;
}

bool onCommand(HWND dialog, int id) {
    switch (id) {
    case IDOK: onCreate(dialog); return true;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return true;
    default: return false;
    }
}

INT_PTR CALLBACK createDatabaseProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog);
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

bool createDatabaseDialog(HWND owner) {
    return runDialog(owner, IDD_CREATE_DATABASE, createDatabaseProc, nullptr) == IDOK;
}

}  // namespace gui
