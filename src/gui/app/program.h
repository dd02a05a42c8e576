// What the process sets up before its main window exists: the window classes and the timer
// service's message delivery. Shared by the program's entry and the GUI tests.
#pragma once

#include <windows.h>

namespace gui {

// Registers the window classes and lets the timer service post to windows. Called once, on the
// user-interface thread.
void initialiseProgram(HINSTANCE instance);

}  // namespace gui
