// The instrument settings strip above the measurement panes: the page buttons, the page header and
// the pages, whose rows show and edit the process's settings table (instrument::settingsTable()).
// Edits change only the table and mark its items changed; "SET UP SFRA" sends them. The strip's
// window keeps the current page and owns every page's controls, made on the page's first display.
// User-interface thread only.
#pragma once

#include <windows.h>

#include "instrument/settings.h"

namespace gui {

LRESULT CALLBACK settingsStripProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows a page by its page number (0 ACQU ... 10 MODE), filled from the table; pages without a
// button are ignored. window: any window of the program.
void showPage(HWND window, int page);

// Draws the current page again from the table (after reading the instrument).
void redrawCurrentPage(HWND window);

// The table item that the control id of the page shown edits; nullptr for any other id.
instrument::InstrumentSetting* pageControlSetting(HWND window, int id);

}  // namespace gui
