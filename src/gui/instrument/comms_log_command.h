// Configure > Debug...: switching the comms log on (into a folder the user chooses) and off.
#pragma once

#include <windows.h>

namespace gui {

// Turns the log off, or asks for its folder and turns it on with a fresh file; the menu item shows
// a check mark exactly while the log is on.
void toggleCommsLog(HWND mainWindow);

}  // namespace gui
