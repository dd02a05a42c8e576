// The data browser: the database mode's tool strip and its view of the current database's
// transformers, setups, equipment or sweeps. User-interface thread only.
#pragma once

#include <windows.h>

namespace gui {

LRESULT CALLBACK dataToolsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK dataViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sets up the view selector, the search box and the tooltips, and shows the current view (at first
// the sweeps) of the current database, or empties the list when none is open. window: any window of
// the program.
void fillDataBrowser(HWND window);

// Shows view 0-3 (transformers, setups, equipment, sweeps) of the current database; the data view
// pane keeps it as its current view.
void showView(HWND window, int view);

// Enables the browser's two windows and their controls; the commands that need a database only
// while one is open.
void enableDataBrowser(HWND window);

}  // namespace gui
