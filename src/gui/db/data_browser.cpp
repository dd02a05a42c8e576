// The data browser's windows: the tool strip, whose buttons (with their tooltips) hand their commands
// to the data view pane, and the data view pane with the caption, the view selector, the search box
// and the owner-data list of the current view, filled row by row as the list shows them.
#include "gui/db/data_browser.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "db/database_files.h"
#include "db/row_text.h"
#include "db/schema.h"
#include "gui/app/layout.h"
#include "gui/tool_button.h"
#include "gui/app/window_classes.h"
#include "gui/db/browser_state.h"
#include "gui/dialog_fields.h"
#include "gui/resources/browser_ids.h"
#include "gui/resources/resource.h"
#include "gui/window_record.h"
#include "platform/win32/wide_text.h"

namespace gui {
namespace {

struct ViewName {
    const char* caption;
    const char* description;
};

constexpr ViewName kViews[db::kViewCount] = {
    {"Transformers", "Basic transformer details"},
    {"Measurement Setups", "The testing conditions"},
    {"Measurement Equipment", "The equipment used for sweeping"},
    {"Sweeps", "Sweep details"},
    {"Filtered Results", "The filter results"},
};

HWND listOf(HWND window) { return controlWindow(window, IDC_DATA_LIST); }

// View 4 shows its filter only while the database it was made in is open.
bool filterIsCurrent(const DataView& v) {
    return v.filterDatabase != 0 && v.filterDatabase == db::connectionGeneration(db::Connection::Main);
}

std::string shortName(const std::string& name) {
    if (name.size() < 21) return name;
    return name.substr(0, 1) + "." + name.substr(name.size() - 18);
}

// A closed database is named nowhere: its rows are gone from the list as well.
void setCaption(HWND window, int view) {
    const std::string name = db::databaseIsOpen() ? shortName(db::shownDatabaseName()) : std::string();
    const std::string text =
        std::string(kViews[view].caption) + " (" + name + ")  " + kViews[view].description;
    SetWindowTextA(controlWindow(window, IDC_DATA_CAPTION), text.c_str());
}

void addTooltips(HWND window) {
    const DescriptorTable& tools = descriptorTable(window, "dataTools");
    HWND tips = nullptr;
    for (const ControlDescriptor& c : tools.entries)
        if (c.window && c.id == 0) tips = c.window;
    if (!tips) return;
    for (const ControlDescriptor& c : tools.entries) {
        if (!c.window || c.id == 0) continue;
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = c.parent;
        tool.uId = reinterpret_cast<UINT_PTR>(c.window);
        tool.lpszText = const_cast<char*>(c.text);
        SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

std::string searchText(HWND window) {
    HWND box = controlWindow(window, IDC_DATA_SEARCH);
    const int length = GetWindowTextLengthW(box);
    std::vector<WCHAR> text(static_cast<std::size_t>(std::max(length, 0)) + 1, 0);
    const int copied = GetWindowTextW(box, text.data(), length + 1);
    return platform::win32::narrow(text.data(), static_cast<std::size_t>(std::max(copied, 0)));
}

void emptySearchBox(HWND window, DataView& v) {
    HWND box = controlWindow(window, IDC_DATA_SEARCH);
    if (GetWindowTextLengthW(box) == 0) return;
    v.settingSearch = true;
    SetWindowTextW(box, L"");
    v.settingSearch = false;
}

// Column widths: the list's width less the vertical scroll bar, shared out; a setup list's comments'
// neighbour (the fluid flag) takes three quarters of a share, and the last column what is left, so
// that the columns fill the list exactly and no horizontal scroll bar shows.
void insertColumns(HWND window, const db::ViewContext& context) {
    HWND list = listOf(window);
    while (SendMessageA(list, LVM_DELETECOLUMN, 0, 0)) {
    }
    RECT client;
    GetClientRect(list, &client);
    const int count = static_cast<int>(context.columns.size());
    const int available = client.right - GetSystemMetrics(SM_CXVSCROLL);
    const int share = available / (count ? count : 1);
    int left = available;
    for (int i = 0; i < count; ++i) {
        const std::string title = db::columnTitle(db::columnName(context.table, context.columns[i]));
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(title.c_str());
        column.cx = i == count - 1 ? left
                    : context.table == db::TableIndex::Measurement && i == count - 2 ? share * 3 / 4
                                                                                      : share;
        left -= column.cx;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

// The sort arrow on the header of the sorted column, none while in the order of loading.
void markSortedColumn(HWND window, const DataView& v) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(listOf(window), LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == v.sortColumn && v.sortOrder == db::SortOrder::Ascending) item.fmt |= HDF_SORTUP;
        if (i == v.sortColumn && v.sortOrder == db::SortOrder::Descending) item.fmt |= HDF_SORTDOWN;
        SendMessageA(header, HDM_SETITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
}

// Rows examined in one step of loading a long list: a few milliseconds between the user's messages.
constexpr std::size_t kRowsPerStep = 4096;

// Takes the next rows of a long list and gives the list their number, keeping its scroll position
// and selection; posts itself again until the list is complete.
void loadMoreRows(HWND window) {
    DataView* v = dataViewOf(window);
    HWND list = listOf(window);
    if (!v || !list || !v->rows.loadMore(kRowsPerStep)) return;
    SendMessageA(list, LVM_SETITEMCOUNT, v->rows.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    if (!v->rows.complete()) PostMessageA(paneWindow(window, kDataViewClass), WM_BROWSER_LOAD_MORE, 0, 0);
}

// Selects the current view's rows that the search box keeps, in the current order, and gives the
// list their number; it asks for each row's texts as it shows the row. The selection is cleared,
// since the rows at each position change. A long list shows its first rows at once and grows to its
// end a step at a time, sorted or not.
void loadRows(HWND window) {
    DataView* v = dataViewOf(window);
    HWND list = listOf(window);
    if (!v || !list) return;
    v->reloadPosted = false;
    if (db::databaseIsOpen() && (v->view != db::kFilteredView || filterIsCurrent(*v)))
        v->rows.load(v->context, searchText(window), v->sortColumn, v->sortOrder);
    else v->rows.clear();
    LVITEMA none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    SendMessageA(list, LVM_SETITEMCOUNT, v->rows.size(), 0);
    if (!v->rows.complete()) PostMessageA(paneWindow(window, kDataViewClass), WM_BROWSER_LOAD_MORE, 0, 0);
    InvalidateRect(list, nullptr, TRUE);
    markSortedColumn(window, *v);
    setCaption(window, v->view);
    enableDataBrowser(window);
}

// A header click: the same column again turns ascending, descending, back to the order of loading
// and round again; another column starts from the order of loading, sorted ascending by it.
void onColumnClick(HWND window, int column) {
    DataView* v = dataViewOf(window);
    if (!v) return;
    if (column != v->sortColumn) {
        v->sortColumn = column;
        v->sortOrder = db::SortOrder::Ascending;
    } else {
        switch (v->sortOrder) {
        case db::SortOrder::Loading: v->sortOrder = db::SortOrder::Ascending; break;
        case db::SortOrder::Ascending: v->sortOrder = db::SortOrder::Descending; break;
        case db::SortOrder::Descending: v->sortOrder = db::SortOrder::Loading; break;
        }
    }
    loadRows(window);
}

// The list asks for a cell's text. Rows of a database that has been closed or replaced show blank,
// and the list is loaded anew once this paint is over.
void onGetDispInfo(HWND window, NMLVDISPINFOW& info) {
    DataView* v = dataViewOf(window);
    if (!v || !(info.item.mask & LVIF_TEXT) || !info.item.pszText || info.item.cchTextMax <= 0) return;
    const std::vector<std::string>& values = v->rows.row(static_cast<std::size_t>(std::max(info.item.iItem, 0)));
    const auto column = static_cast<std::size_t>(std::max(info.item.iSubItem, 0));
    const platform::win32::WideString text = platform::win32::widen(column < values.size() ? values[column] : "");
    const int length = std::min(text.length(), info.item.cchTextMax - 1);
    std::copy(text.c_str(), text.c_str() + length, info.item.pszText);
    info.item.pszText[length] = 0;
    if (!v->rows.current() && !v->reloadPosted) {
        v->reloadPosted = true;
        PostMessageA(window, WM_BROWSER_RELOAD, 0, 0);
    }
}

// Double click or Enter on a row: a sweep view graphs its selection; a transformer, setup or
// equipment row shows all sweeps of its record.
void onActivate(HWND window, int row) {
    DataView* v = dataViewOf(window);
    if (!v || row < 0 || static_cast<std::size_t>(row) >= v->rows.size()) return;
    if (isSweepView(*v)) {
        graphSelectedSweeps(window);
        return;
    }
    db::Finder finder;
    if (db::allSweepsOf(v->context.table, {v->rows.key(static_cast<std::size_t>(row))}, finder))
        showFinder(window, finder);
}

// The context menu from the keyboard (Shift+F10, the menu key) opens below the first selected row.
void onContextMenu(HWND window, HWND from, LPARAM where) {
    if (from != listOf(window)) return;
    POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    if (at.x == -1 && at.y == -1) {
        const std::vector<int> rows = selectedRows(window, 1);
        RECT item{LVIR_LABEL, 0, 0, 0};
        if (!rows.empty()) SendMessageA(from, LVM_GETITEMRECT, rows.front(), reinterpret_cast<LPARAM>(&item));
        at = {item.left, item.bottom};
        ClientToScreen(from, &at);
    }
    showContextMenu(window, at);
}

LRESULT onNotify(HWND window, NMHDR& note) {
    if (note.idFrom != IDC_DATA_LIST) return 0;
    switch (note.code) {
    case LVN_GETDISPINFOW: onGetDispInfo(window, reinterpret_cast<NMLVDISPINFOW&>(note)); return 0;
    case LVN_COLUMNCLICK: onColumnClick(window, reinterpret_cast<NMLISTVIEW&>(note).iSubItem); return 0;
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED: enableDataBrowser(window); return 0;
    case NM_DBLCLK: onActivate(window, reinterpret_cast<NMITEMACTIVATE&>(note).iItem); return 0;
    case NM_RETURN: {
        const std::vector<int> rows = selectedRows(window, 1);
        if (!rows.empty()) onActivate(window, rows.front());
        return 0;
    }
    case LVN_ODFINDITEMW: return -1;  // letters typed into the list find nothing: the search box finds
    case NM_RCLICK: {
        const DWORD at = GetMessagePos();
        showContextMenu(window, {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))});
        return TRUE;  // handled: the list sends no WM_CONTEXTMENU after it
    }
    default: return 0;
    }
}

// Sets the pane's controls up the first time the browser is filled.
void setUpControls(HWND window) {
    HWND selector = controlWindow(window, IDC_DATA_VIEW_SELECTOR);
    for (const ViewName& v : kViews) SendMessageA(selector, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(v.caption));
    HWND search = controlWindow(window, IDC_DATA_SEARCH);
    SendMessageW(search, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"Press Enter to Search"));
    searchOnEnter(search, loadRows);
    SendMessageA(listOf(window), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
                 LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    addTooltips(window);
}

void onCommand(HWND window, int id, int code) {
    const DataView* v = dataViewOf(window);
    switch (id) {
    case IDC_DATA_VIEW_SELECTOR:
        if (code == CBN_SELCHANGE)
            showView(window, static_cast<int>(SendMessageA(controlWindow(window, id), CB_GETCURSEL, 0, 0)));
        break;
    case IDC_DATA_SEARCH:
        if (code == EN_CHANGE && v && !v->settingSearch) loadRows(window);
        break;
    default:
        onBrowserCommand(window, id);
        break;
    }
}

}  // namespace

DataView* dataViewOf(HWND window) { return windowRecord<DataView>(paneWindow(window, kDataViewClass)); }

std::vector<int> selectedRows(HWND window, std::size_t limit) {
    std::vector<int> rows;
    HWND list = listOf(window);
    for (int row = -1; rows.size() < limit;) {
        row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
        if (row < 0) break;
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> selectedKeys(HWND window, std::size_t limit) {
    std::vector<std::string> keys;
    DataView* v = dataViewOf(window);
    if (!v) return keys;
    for (int row : selectedRows(window, limit)) keys.push_back(v->rows.key(static_cast<std::size_t>(row)));
    return keys;
}

bool isSweepView(const DataView& view) { return view.context.table == db::TableIndex::Sweep; }

void showFinder(HWND window, const db::Finder& finder) {
    DataView* v = dataViewOf(window);
    if (!v) return;
    v->filter = finder.view;
    v->filterDatabase = db::connectionGeneration(db::Connection::Main);
    showView(window, db::kFilteredView);
}

void refreshView(HWND window) { loadRows(window); }

void showView(HWND window, int view) {
    DataView* v = dataViewOf(window);
    if (!v || !listOf(window) || view < 0 || view >= db::kViewCount) return;
    v->view = view;
    if (view == db::kFilteredView) v->context = v->filter;
    else db::tableView(view, v->context);
    v->sortColumn = 0;
    v->sortOrder = db::SortOrder::Loading;
    emptySearchBox(window, *v);
    insertColumns(window, v->context);
    SendMessageA(controlWindow(window, IDC_DATA_VIEW_SELECTOR), CB_SETCURSEL, view, 0);
    loadRows(window);
}

void fillDataBrowser(HWND window) {
    DataView* v = dataViewOf(window);
    if (!v) return;
    if (SendMessageA(controlWindow(window, IDC_DATA_VIEW_SELECTOR), CB_GETCOUNT, 0, 0) == 0) setUpControls(window);
    // The filter named records of the database it was made in; another database starts on its sweeps.
    showView(window, v->view == db::kFilteredView && !filterIsCurrent(*v) ? db::kSweepsView : v->view);
}

void enableDataBrowser(HWND window) {
    for (const char* pane : {kDataToolsClass, kDataViewClass}) EnableWindow(paneWindow(window, pane), TRUE);
    for (const char* table : {"dataTools", "dataView"})
        for (const ControlDescriptor& c : descriptorTable(window, table).entries)
            if (c.window && !(c.style & WS_DISABLED)) EnableWindow(c.window, TRUE);
    const DataView* v = dataViewOf(window);
    const bool open = db::databaseIsOpen() && v;
    const auto selected = open ? SendMessageA(listOf(window), LVM_GETSELECTEDCOUNT, 0, 0) : 0;
    const bool sweeps = open && isSweepView(*v) && selected > 0;
    const bool transformers = open && v->context.table == db::TableIndex::Transformer && selected > 0;
    const struct {
        int id;
        bool enabled;
    } rules[] = {
        {IDC_TOOL_IMPORT, open},
        {IDC_TOOL_EXPORT_XML, sweeps},
        {IDC_TOOL_EXPORT_CSV, sweeps},
        {IDC_TOOL_DIAGNOSE, sweeps || transformers},
        {IDC_TOOL_GRAPH, sweeps},
        {IDC_TOOL_ADD, open && v->view < db::kSweepsView},
        {IDC_TOOL_EDIT, open && selected == 1},
        {IDC_TOOL_DELETE, open && selected > 0},
    };
    for (const auto& rule : rules) EnableWindow(controlWindow(window, rule.id), rule.enabled ? TRUE : FALSE);
}

// The tool strip's buttons are the browser's commands, which the data view pane carries out.
LRESULT CALLBACK dataToolsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) return SendMessageA(paneWindow(window, kDataViewClass), message, wParam, lParam);
    if (message == WM_DRAWITEM && drawToolButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK dataViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        attachRecord(window, new DataView);
        break;
    case WM_NOTIFYFORMAT:
        return NFR_UNICODE;  // the list asks for its texts in UTF-16, which hold every stored character
    case WM_COMMAND:
        onCommand(window, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return onNotify(window, *reinterpret_cast<NMHDR*>(lParam));
    case WM_CONTEXTMENU:
        onContextMenu(window, reinterpret_cast<HWND>(wParam), lParam);
        return 0;
    case WM_BROWSER_RELOAD:
        loadRows(window);
        return 0;
    case WM_BROWSER_LOAD_MORE:
        loadMoreRows(window);
        return 0;
    case WM_DESTROY:
        db::close_current_database();
        break;
    case WM_NCDESTROY:
        delete detachRecord<DataView>(window);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace gui
