// The data browser's windows: the tool strip's buttons with their tooltips, the caption, the view
// selector, the search box and the list of the current view.
#include "gui/db/data_browser.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "gui/app/layout.h"
#include "gui/app/window_classes.h"
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

int currentView = 3;

// The tool buttons that need an open database.
constexpr int kDatabaseCommands[] = {10702, 10703, 10704, 10706, 10707, 10708, 10709, 10710};

std::string columnTitle(const char* name) {
    std::string title = name;
    for (char& c : title)
        if (c == '_') c = ' ';
    return title;
}

std::string shortName(const std::string& name) {
    if (name.size() < 21) return name;
    return name.substr(0, 1) + "." + name.substr(name.size() - 18);
}

void setCaption(int view) {
    const std::string text = std::string(kViews[view].caption) + " (" + shortName(db::shownDatabaseName()) + ")  " +
                             kViews[view].description;
    SetWindowTextA(controlWindow(10800), text.c_str());
}

void addTooltips() {
    HWND tips = nullptr;
    for (const ControlDescriptor& c : descriptorTable("dataTools").entries)
        if (c.window && c.id == 0) tips = c.window;
    if (!tips) return;
    for (const ControlDescriptor& c : descriptorTable("dataTools").entries) {
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

}  // namespace

void showView(int view) {
    HWND list = controlWindow(10805);
    if (!list || view < 0 || view >= db::kTableViewCount) return;
    currentView = view;
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
        const std::string title = columnTitle(db::columnName(context.table, context.columns[i]));
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
    SendMessageA(controlWindow(10802), CB_SETCURSEL, view, 0);
    setCaption(view);
    enableDataBrowser();
}

void fillDataBrowser() {
    HWND selector = controlWindow(10802);
    if (selector && SendMessageA(selector, CB_GETCOUNT, 0, 0) == 0) {
        for (const ViewName& v : kViews) SendMessageA(selector, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(v.caption));
        SendMessageW(controlWindow(10804), EM_SETCUEBANNER, TRUE,
                     reinterpret_cast<LPARAM>(L"Press Enter to Search"));
        addTooltips();
    }
    showView(currentView);
}

void enableDataBrowser() {
    for (const char* pane : {kDataToolsClass, kDataViewClass}) EnableWindow(paneWindow(pane), TRUE);
    for (const char* table : {"dataTools", "dataView"})
        for (const ControlDescriptor& c : descriptorTable(table).entries)
            if (c.window && !(c.style & WS_DISABLED)) EnableWindow(c.window, TRUE);
    const BOOL open = db::databaseIsOpen() ? TRUE : FALSE;
    for (int id : kDatabaseCommands) EnableWindow(controlWindow(id), open);
}

// The tool strip's buttons report to it; their commands are the data browser's record commands.
LRESULT CALLBACK dataToolsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK dataViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == 10802 && HIWORD(wParam) == CBN_SELCHANGE) {
        showView(static_cast<int>(SendMessageA(controlWindow(10802), CB_GETCURSEL, 0, 0)));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace gui
