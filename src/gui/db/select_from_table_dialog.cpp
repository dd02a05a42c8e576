// The Select from Table dialog: a table's rows to pick one from, a search on Enter, and "Edit..." on
// the list's context menu.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "db/row_text.h"
#include "gui/db/record_dialogs.h"
#include "gui/dialog_fields.h"
#include "gui/resources/dialog_ids.h"
#include "platform/win32/wide_text.h"

namespace gui {
namespace {

constexpr std::size_t kKeyCapacity = 128;  // the chosen key, terminator included

struct SelectFromTable final : ModalDialog {
    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM) override;
    bool onNotify(HWND dialog, const NMHDR& note) override;
    bool onMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;

    db::ViewContext view;
    std::string chosen;
};

HWND listOf(HWND dialog) { return GetDlgItem(dialog, IDC_SELECT_LIST); }

const char* tableTitle(db::TableIndex table) {
    switch (table) {
    case db::TableIndex::Transformer: return "Transformers";
    case db::TableIndex::Measurement: return "Measurement Setups";
    case db::TableIndex::Equipment: return "Measurement Equipment";
    case db::TableIndex::Sweep: return "Sweeps";
    default: return db::tableName(table);
    }
}

int selectedRow(HWND dialog) { return selectedListRow(dialog, IDC_SELECT_LIST); }

// The text of a row's first column: the key of its record.
std::string keyOf(HWND dialog, int row) {
    WCHAR text[kKeyCapacity * 2] = {};
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    const LRESULT length = SendMessageW(listOf(dialog), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return platform::win32::narrow(text, static_cast<std::size_t>(length));
}

void enableOk(HWND dialog) { enableControl(dialog, IDOK, selectedRow(dialog) >= 0); }

void selectRow(HWND dialog, int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(listOf(dialog), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

// Fills the list with the rows (as select_rows_to_view gives them) and selects the first.
void showRows(HWND dialog, const db::ViewContext& view, const std::vector<std::string>& rows) {
    HWND list = listOf(dialog);
    const std::size_t columns = view.columns.size();
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::vector<std::string> values = db::splitRow(rows[r]);
        for (std::size_t c = 0; c < columns && c < values.size(); ++c) {
            platform::win32::WideString text = platform::win32::widen(values[c]);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            item.iSubItem = static_cast<int>(c);
            item.pszText = text.data();
            SendMessageW(list, c == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
        }
    }
    if (!rows.empty()) selectRow(dialog, 0);
    enableOk(dialog);
}

// The rows the search text keeps (all of the base clause's rows when it is empty).
void search(HWND dialog) {
    const db::ViewContext& view = ModalDialog::of<SelectFromTable>(dialog)->view;
    std::vector<std::string> rows;
    db::search_view(view, controlText(dialog, IDC_SELECT_SEARCH), rows);
    showRows(dialog, view, rows);
}

void addColumns(HWND dialog, const db::ViewContext& view) {
    HWND list = listOf(dialog);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    RECT client;
    GetClientRect(list, &client);
    const int count = static_cast<int>(view.columns.size());
    const int width = (client.right - GetSystemMetrics(SM_CXVSCROLL)) / (count ? count : 1);
    for (int i = 0; i < count; ++i) {
        platform::win32::WideString title =
            platform::win32::widen(db::columnTitle(db::columnName(view.table, view.columns[static_cast<std::size_t>(i)])));
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = title.data();
        column.cx = width;
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void onOk(HWND dialog, SelectFromTable& s) {
    const int row = selectedRow(dialog);
    if (row < 0) return;
    s.chosen = keyOf(dialog, row).substr(0, kKeyCapacity - 1);
    EndDialog(dialog, IDOK);
}

// The selected row, read in full, in its record's dialog in edit mode; a confirmed edit shows anew.
void onEdit(HWND dialog, const SelectFromTable& s) {
    const int row = selectedRow(dialog);
    if (row >= 0 && editStoredRecord(dialog, s.view.table, keyOf(dialog, row), s.view.baseFilter)) search(dialog);
}

// The list's context menu, from a right click or the keyboard (then at the selected row); false for
// another window's.
bool onContextMenu(HWND dialog, const SelectFromTable& s, HWND from, LPARAM where) {
    if (from != listOf(dialog)) return false;
    const int row = selectedRow(dialog);
    if (row < 0) return true;
    POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    if (at.x == -1 && at.y == -1) {  // from the keyboard
        RECT item{LVIR_LABEL, 0, 0, 0};
        SendMessageW(from, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
        at = {item.left, item.bottom};
        ClientToScreen(from, &at);
    }
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, IDM_SELECT_EDIT, L"Edit...");
    const int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, dialog, nullptr);
    DestroyMenu(menu);
    if (command == IDM_SELECT_EDIT) onEdit(dialog, s);
    return true;
}

bool SelectFromTable::onInit(HWND dialog) {
    setControlText(dialog, IDC_SELECT_TABLE, std::string("Table: ") + tableTitle(view.table));
    setCueText(dialog, IDC_SELECT_SEARCH, "Search text");
    searchOnEnter(GetDlgItem(dialog, IDC_SELECT_SEARCH), search);
    addColumns(dialog, view);
    std::vector<std::string> rows;
    db::select_rows_to_view(rows, view.table, view.columns, view.baseFilter, false);
    showRows(dialog, view, rows);
    focusControl(dialog, IDC_SELECT_LIST);
    return false;  // the list has the focus
}

bool SelectFromTable::onNotify(HWND dialog, const NMHDR& note) {
    if (note.idFrom != IDC_SELECT_LIST) return false;
    switch (note.code) {
    case LVN_ITEMCHANGED: enableOk(dialog); return true;
    case NM_DBLCLK: onOk(dialog, *this); return true;
    default: return false;
    }
}

bool SelectFromTable::onCommand(HWND dialog, int id, int, LPARAM) {
    switch (id) {
    case IDM_SELECT_EDIT: onEdit(dialog, *this); return true;
    case IDOK: onOk(dialog, *this); return true;
    default: return false;
    }
}

bool SelectFromTable::onMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return message == WM_CONTEXTMENU && onContextMenu(dialog, *this, reinterpret_cast<HWND>(wParam), lParam);
}

}  // namespace

std::string selectFromTable(HWND owner, db::TableIndex table, const std::vector<int>& columns,
                            const std::string& baseWhere) {
    SelectFromTable dialog;
    dialog.view.table = table;
    dialog.view.columns = columns;
    dialog.view.baseFilter = baseWhere;
    return dialog.run(owner, IDD_SELECT_FROM_TABLE) == IDOK ? dialog.chosen : std::string();
}

}  // namespace gui
