// The FRA and impedance (LCR) panes: their view buttons (REALTIME, GRAPH, TABLE), their tables and
// their results windows. Each pane's window keeps the view it shows. User-interface thread only.
#pragma once

#include <windows.h>

namespace gui {

// Fills the results windows' lists (scaling, background, axis quantities) and the tables' columns.
// window: any window of the program.
void setUpResultControls(HWND window);

LRESULT CALLBACK fraPaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK lcrPaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK fraResultsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK lcrResultsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Draws a results window's picture (the graph area, without the controls below it) into dc, whose
// drawing surface is width x height; used for painting and for the bitmap and clipboard copies.
void drawResults(HWND resultsWindow, HDC dc, int width, int height);

// The picture's size: the client area less a 6-pixel margin left, top and right and the controls
// strip at the bottom.
SIZE resultsPictureSize(HWND resultsWindow);

}  // namespace gui
