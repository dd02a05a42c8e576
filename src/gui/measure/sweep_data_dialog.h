// The "Sweep Data" dialog: the progress of a sweep from the first point to the last and, when the
// sweep is to be kept, into the database; Cancel stops the sweep. Modal, run by the pane that started
// the sweep; user-interface thread only.
#pragma once

#include <windows.h>

#include "gui/measure/measurement_run.h"

namespace gui {

// Runs the dialog for the run's sweep. A sweep that came in (whole, or cut short by an unreadable
// reply) goes to the pane as its handover command; when the dialog ends it posts the pane's
// START/STOP command, which ends the run.
void runSweepDataDialog(HWND pane, MeasurementRun& run, int handoverCommand, int startStopCommand);

}  // namespace gui
