// The impedance pane's "Export Sweep" dialog: where to write the displayed impedance sweep as an
// impedance table. Modal; user-interface thread only.
#pragma once

#include <windows.h>

#include <vector>

#include "db/records.h"

namespace gui {

// Shows the dialog; OK writes the table of points to the chosen file. True when a file was written.
bool exportSweepDialog(HWND owner, const std::vector<db::LcrPoint>& points);

}  // namespace gui
