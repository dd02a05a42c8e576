// The instrument settings strip above the measurement panes: page buttons and the page header. The
// strip's window keeps the current page. User-interface thread only.
#pragma once

#include <windows.h>

namespace gui {

LRESULT CALLBACK settingsStripProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows a page by its page number (0 ACQU ... 10 MODE); pages without a button are ignored. window:
// any window of the program.
void showPage(HWND window, int page);

// Draws the current page again from the settings table (after reading the instrument).
void redrawCurrentPage(HWND window);

}  // namespace gui
