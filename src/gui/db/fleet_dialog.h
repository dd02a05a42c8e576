// The data browser's "Fleet Database..." command: the "Fleet Database" dialog that pushes the open
// database to the fleet server, pulls transformers from it (into the open database or into another
// file, which then becomes the open one) and tells what each would do, with a progress box while it
// runs and its summary afterwards. Modal; user-interface thread only.
#pragma once

#include <windows.h>

namespace gui {

void fleetDatabaseCommand(HWND main);

}  // namespace gui
