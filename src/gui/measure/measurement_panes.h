// The FRA and impedance (LCR) panes: the view buttons (REALTIME, GRAPH, TABLE), the table, starting
// and stopping a measurement, taking a finished sweep over and storing it, and the buttons that act
// on the sweep on display. Each pane's window keeps its view and its measurement in its record.
// User-interface thread only.
#pragma once

#include <windows.h>

namespace gui {

LRESULT CALLBACK fraPaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK lcrPaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Gives the two tables their columns. window: any window of the program.
void setUpMeasurementTables(HWND window);

enum class PaneView { Realtime = 0, Graph = 1, Table = 2 };

// The view a pane shows.
PaneView paneView(HWND pane);

// Whether the sweeps on display may go with the program: a sweep the database did not take is
// offered to be kept in a file first; false when the user keeps the program open for it.
bool shownSweepsMayGo(HWND main);

// Enables the panes' own buttons by whether a measurement runs and what is on display.
void refreshPaneControls(HWND window, bool sweepRunning);

}  // namespace gui
