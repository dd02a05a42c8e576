// The FRA and LCR results windows inside their panes: the live readout (REALTIME) and the graph of
// the sweep on display (GRAPH) with its cursors, scaling, background and, for FRA, the 0 dB and 0°
// points. Each window keeps its display and view in its own record. User-interface thread only.
#pragma once

#include <windows.h>

#include <vector>

#include "db/records.h"

namespace gui {

LRESULT CALLBACK fraResultsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK lcrResultsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Fills the graph controls' lists (scaling, background, the LCR axis quantities). window: any window
// of the program.
void setUpResultsControls(HWND window);

// The sweep on display: replaced by a new one (the window is then told with its new-sweep command),
// read back, or (LCR) emptied.
void showFraSweep(HWND results, int phaseRangeCode, const db::FraPoint* points, int count);
std::vector<db::FraPoint> fraSweepShown(HWND results);
void showLcrSweep(HWND results, int phaseRangeCode, const db::LcrPoint* points, int count);
std::vector<db::LcrPoint> lcrSweepShown(HWND results);
void clearLcrSweep(HWND results);

// A realtime reading for the readout: true when it differs from the one shown, which it then
// replaces. The LCR instrument answers with 11 or 14 values.
bool showFraReading(HWND results, const db::FraPoint& reading);
bool showLcrReading(HWND results, const double* values, int count);

// Draws the window's picture (without the controls below it) into dc, whose drawing surface is
// width x height; used for painting and for the bitmap and clipboard copies.
void drawResults(HWND results, HDC dc, int width, int height);

// The picture's size: the client area less a 6-pixel margin left, top and right and the controls
// strip at the bottom.
SIZE resultsPictureSize(HWND results);

}  // namespace gui
