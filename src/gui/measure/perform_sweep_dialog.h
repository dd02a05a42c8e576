// The Perform Sweep dialog before every FRA or LCR sweep: the sweep's instrument settings and, when it
// is to be stored, its details. Modal, owned by the main window; user-interface thread only.
#pragma once

#include <windows.h>

#include "measure/sweep_setup.h"

namespace gui {

// Shows the dialog for an FRA or an LCR sweep. True when the user confirmed: the pending sweep holds
// the sweep's details and whether to store it, and settings that changed have been marked changed
// and written to the instrument. False when cancelled.
bool runPerformSweep(HWND owner, measure::SweepKind kind, measure::PendingSweep& pending);

}  // namespace gui
