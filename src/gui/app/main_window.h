// The main window: its creation (the program's start-up), its modes, the enabling of its controls
// by connection and running sweep, the settings strip toggle and the menu commands. User-interface
// thread only.
#pragma once

#include <windows.h>

#include "instrument/link.h"

namespace gui {

enum Mode { kModeSfra = 0, kModeImpedance = 1, kModeDatabase = 2, kModeCapture = 4 };

struct MainState {
    int mode = kModeSfra;
    int previousMode = kModeSfra;   // the measurement mode to return to from the database
    bool settingsHidden = false;
    bool comInitialised = false;
    HBITMAP logoBitmap = nullptr;
    SIZE initialSize = {0, 0};      // outer size at creation: also the smallest allowed
};

MainState& mainState();
HWND mainWindow();

// The one record of the instrument connection.
instrument::InstrumentLink& instrumentLink();

// Computes the initial size, creates the main window (which runs the start-up steps of its
// creation), initialises COM and enables the logo button. nullptr when the window was not created.
HWND createMainWindow();

// Shows the window and runs the message loop until it is destroyed; returns the quit code.
int runMessageLoop(HWND main, int showCommand);

// The main window's procedure and its command handler (false for a command it does not know).
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool onMainCommand(HWND window, int id);

// Shows the panes and buttons of a mode.
void showMode(int mode);

// Enables, shows and hides the controls by the program's state.
void refreshControlStates(HWND window, bool enabled, bool connected, bool sweepRunning);

// refreshControlStates(main window, true, connected, sweep running).
void refreshControls();

// Draws the top-level menu item at position highlighted and positions 2 to 5 otherwise plain.
void highlightMenuPosition(int position);

// Hides or shows the instrument settings strip (command 10003).
void toggleSettingsStrip();

}  // namespace gui
