// The data browser: the database mode's tool strip and its view of the current database's
// transformers, setups, equipment or sweeps, or of a filtered set of one of them (view 4), with the
// search box, sorting by column, the context menu's finders and the record commands. The data view
// pane owns the browser's state. User-interface thread only.
#pragma once

#include <windows.h>

namespace gui {

LRESULT CALLBACK dataToolsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK dataViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sets up the view selector, the search box and the tooltips (the first time), and shows the
// current view (at first the sweeps) of the current database, or an empty list when none is open.
// After another database was opened a filtered view falls back to the sweeps. window: any window of
// the program.
void fillDataBrowser(HWND window);

// Shows view 0-4 (transformers, setups, equipment, sweeps, the last filter) of the current
// database in the order of loading, with the search box emptied; the data view pane keeps it as its
// current view.
void showView(HWND window, int view);

// Enables the browser's two windows and their controls; the commands that need a database only
// while one is open, and those that need a selection by the list's selection.
void enableDataBrowser(HWND window);

}  // namespace gui
