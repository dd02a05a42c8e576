// The data browser's windows: the tool strip's buttons with their tooltips, the caption, the view
// selector, the search box and the list of the current view.
#include "gui/db/data_browser.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "gui/app/layout.h"
#include "gui/app/window_classes.h"
#include "gui/resources/resource.h"
#include "gui/window_record.h"
#include "db/browser_views.h"
#include "db/database_files.h"
#include "db/row_text.h"
#include "db/schema.h"

namespace gui {
namespace {

struct ViewName {
    const char* caption;
    const char* description;
};

constexpr ViewName kViews[] = {
    {"Transformers", "Basic transformer details"},
    {"Measurement Setups", "The testing conditions"},
    {"Measurement Equipment", "The equipment used for sweeping"},
    {"Sweeps", "Sweep details"},
    {"Filtered Results", "The filter results"},
};

// The data view pane's record.
struct DataView {
    int view = 3;
};

DataView* viewOf(HWND window) { return windowRecord<DataView>(paneWindow(window, kDataViewClass)); }

// The tool buttons that need an open database.
constexpr int kDatabaseCommands[] = {IDC_TOOL_IMPORT, IDC_TOOL_EXPORT_XML, IDC_TOOL_EXPORT_CSV, IDC_TOOL_DIAGNOSE,
                                     IDC_TOOL_GRAPH,  IDC_TOOL_ADD,        IDC_TOOL_EDIT,       IDC_TOOL_DELETE};

std::string shortName(const std::string& name) {
    if (name.size() < 21) return name;
    return name.substr(0, 1) + "." + name.substr(name.size() - 18);
}

void setCaption(HWND window, int view) {
    const std::string text = std::string(kViews[view].caption) + " (" + shortName(db::shownDatabaseName()) + ")  " +
                             kViews[view].description;
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

// A view chosen in the selector is shown; false for any other command.
bool onCommand(HWND window, int id, int code) {
    if (id != IDC_DATA_VIEW_SELECTOR || code != CBN_SELCHANGE) return false;
    showView(window, static_cast<int>(SendMessageA(controlWindow(window, id), CB_GETCURSEL, 0, 0)));
    return true;
}

}  // namespace

void showView(HWND window, int view) {
    HWND list = controlWindow(window, IDC_DATA_LIST);
    DataView* current = viewOf(window);
    if (!list || !current || view < 0 || view >= db::kTableViewCount) return;
    current->view = view;
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    while (SendMessageA(list, LVM_DELETECOLUMN, 0, 0)) {
    }
    db::ViewContext context;
    db::tableView(view, context);
    RECT client;
    GetClientRect(list, &client);
    const int count = static_cast<int>(context.columns.size());
    const int width = (client.right - GetSystemMetrics(SM_CXVSCROLL)) / (count ? count : 1) + 5;
    for (int i = 0; i < count; ++i) {
        const std::string title = db::columnTitle(db::columnName(context.table, context.columns[i]));
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(title.c_str());
        column.cx = view == 1 && i == count - 2 ? width * 3 / 4 : width;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    std::vector<std::string> rows;
    if (db::databaseIsOpen()) db::select_rows_to_view(rows, context.table, context.columns, context.baseFilter, true);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::vector<std::string> values = db::splitRow(rows[r]);
        for (int c = 0; c < count && c < static_cast<int>(values.size()); ++c) {
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            item.iSubItem = c;
            item.pszText = values[c].data();
            SendMessageA(list, c == 0 ? LVM_INSERTITEMA : LVM_SETITEMTEXTA, r, reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageA(controlWindow(window, IDC_DATA_VIEW_SELECTOR), CB_SETCURSEL, view, 0);
    setCaption(window, view);
    enableDataBrowser(window);
}

void fillDataBrowser(HWND window) {
    HWND selector = controlWindow(window, IDC_DATA_VIEW_SELECTOR);
    if (selector && SendMessageA(selector, CB_GETCOUNT, 0, 0) == 0) {
        for (const ViewName& v : kViews) SendMessageA(selector, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(v.caption));
        SendMessageW(controlWindow(window, IDC_DATA_SEARCH), EM_SETCUEBANNER, TRUE,
                     reinterpret_cast<LPARAM>(L"Press Enter to Search"));
        addTooltips(window);
    }
    if (const DataView* current = viewOf(window)) showView(window, current->view);
}

void enableDataBrowser(HWND window) {
    for (const char* pane : {kDataToolsClass, kDataViewClass}) EnableWindow(paneWindow(window, pane), TRUE);
    for (const char* table : {"dataTools", "dataView"})
        for (const ControlDescriptor& c : descriptorTable(window, table).entries)
            if (c.window && !(c.style & WS_DISABLED)) EnableWindow(c.window, TRUE);
    const BOOL open = db::databaseIsOpen() ? TRUE : FALSE;
    for (int id : kDatabaseCommands) EnableWindow(controlWindow(window, id), open);
}

// The tool strip's buttons report to it; their commands are the data browser's record commands.
LRESULT CALLBACK dataToolsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK dataViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        attachRecord(window, new DataView);
        break;
    case WM_COMMAND:
        if (onCommand(window, LOWORD(wParam), HIWORD(wParam))) return 0;
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
