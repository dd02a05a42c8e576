// Configure > Debug...: switching the comms log on (into a folder the user chooses) and off.
#pragma once

#include <windows.h>

namespace gui {

// Turns the log off, or asks for its folder and turns it on with a fresh file; the menu item shows
// a check mark exactly while the log is on.
void toggleCommsLog(HWND mainWindow);

// The log could not write its file and went off (reported from any thread, handled here on the
// user-interface thread): says so if a worker met the failure, and takes the check mark away.
void onCommsLogFailed(HWND mainWindow);

}  // namespace gui
