// What the data browser's files share: the data view pane's record (the view shown, view 4's filter,
// the rows of its owner-data list and their order), the list's selection read as keys, and the
// browser's commands and context menu. The record is owned by the data view pane from WM_NCCREATE
// to WM_NCDESTROY. User-interface thread only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "db/browser_finders.h"
#include "db/browser_rows.h"
#include "db/browser_views.h"

namespace gui {

struct DataView {
    int view = db::kSweepsView;               // 0-4
    db::ViewContext context;                  // what the list shows: a table view or the filter
    db::ViewContext filter;                   // view 4's, set by the finders
    std::uint64_t filterDatabase = 0;         // the connection generation the filter was made in; 0: none
    db::ViewRows rows;
    int sortColumn = 0;                       // the last header clicked
    db::SortOrder sortOrder = db::SortOrder::Loading;
    bool reloadPosted = false;                // WM_BROWSER_RELOAD is on its way
    bool settingSearch = false;               // the program itself is emptying the search box
};

// The data view pane's record, from any window of the program; nullptr before the pane exists.
DataView* dataViewOf(HWND window);

// The list's selected rows, in list order, at most limit of them.
std::vector<int> selectedRows(HWND window, std::size_t limit = std::numeric_limits<std::size_t>::max());

// The keys (first column) of the selected rows, in list order, at most limit of them.
std::vector<std::string> selectedKeys(HWND window, std::size_t limit = std::numeric_limits<std::size_t>::max());

// Whether the list shows sweeps: view 3, or view 4 on Sweep.
bool isSweepView(const DataView& view);

// The ids of the selected sweeps in list order; none outside a sweep view.
std::vector<std::int64_t> selectedSweepIds(HWND window);

// Shows the finder's rows in view 4.
void showFinder(HWND window, const db::Finder& finder);

// Shows the current view again after its records changed, keeping the search text and the order.
void refreshView(HWND window);

// The browser's commands, from the tool strip, the context menu, the keyboard or a sent WM_COMMAND
// (in browser_commands.cpp); false for a command that is not the browser's.
bool onBrowserCommand(HWND window, int id);

// Graph for the selected sweeps (also the double click in a sweep view).
void graphSelectedSweeps(HWND window);

// The list's context menu for the selected rows, at the screen point at; nothing when no row is
// selected. The chosen item runs as its command (in browser_menu.cpp).
void showContextMenu(HWND window, POINT at);

// Runs finder command id (IDM_BROWSER_FINDER_FIRST + n) on the selected rows; false when id is no
// finder of theirs.
bool runFinderCommand(HWND window, int id);

}  // namespace gui
