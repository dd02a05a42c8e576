// The main window: its creation (the program's start-up), its modes, the enabling of its controls
// by connection and running sweep, the settings strip toggle and the menu commands. Its state is one
// MainState record, which the window owns from WM_NCCREATE to WM_NCDESTROY. User-interface thread
// only.
#pragma once

#include <windows.h>

#include "gui/app/layout.h"
#include "gui/window_command_sink.h"

namespace gui {

enum Mode { kModeSfra = 0, kModeImpedance = 1, kModeDatabase = 2, kModeCapture = 4 };

struct MainState {
    Mode mode = kModeSfra;
    Mode previousMode = kModeSfra;  // the measurement mode to return to from the database
    bool settingsHidden = false;
    bool comInitialised = false;
    HBITMAP logoBitmap = nullptr;
    SIZE initialSize = {0, 0};      // outer size at creation: the smallest allowed, and where growth starts
    Layout layout;                  // the panes and controls, with their windows, and the fonts
    WindowCommandSink commsLogFailures;  // the comms log reports a failure to this window
};

// The main window of any window of the program: the main window itself, its panes and controls, and
// the windows and dialogs it owns.
HWND mainWindowOf(HWND window);

// The main window's record, reached from any window of the program (as for mainWindowOf) once the
// main window's creation has begun.
MainState& mainState(HWND window);

// Computes the initial size, creates the main window (which runs the start-up steps of its
// creation), initialises COM and enables the logo button. nullptr when the window was not created.
HWND createMainWindow();

// Shows the window and runs the message loop until it is destroyed; returns the quit code.
int runMessageLoop(HWND main, int showCommand);

// The main window's procedure and its command handler (false for a command it does not know).
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool onMainCommand(HWND window, int id);

// Shows the panes and buttons of a mode.
void showMode(HWND main, Mode mode);

// Enables, shows and hides the main window's controls by the program's state.
void refreshControlStates(HWND main, bool enabled, bool connected, bool sweepRunning);

// Positions of the menu bar's items for the modes.
constexpr int kMenuSfra = 2;
constexpr int kMenuImpedance = 3;
constexpr int kMenuCapture = 4;

// Greys "&Connection...", "&SFRA", "&Impedance" and "C&apture" while a measurement runs, or enables
// them again.
void enableMeasurementMenus(HWND main, bool enabled);

// Draws the main window's top-level menu item at position highlighted and positions 2 to 5
// otherwise plain.
void highlightMenuPosition(HWND main, int position);

}  // namespace gui
