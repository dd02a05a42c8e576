// The Connect dialog (Configure > Connection...): how the instrument is reached, testing that, saving
// it as the default, and connecting; then the steps after the dialog. User-interface thread only.
#pragma once

#include <windows.h>

namespace gui {

// The modal dialog; returns its result (IDC_CONNECT after a successful connection, IDCANCEL otherwise).
INT_PTR showConnectDialog(HWND owner);

// Copies the dialog's choices into the instrument link.
void readConnectDialog(HWND dialog);

// False, after saying what is missing in a "Test Connection" box, when the choice cannot be used.
bool validateConnectChoice(HWND dialog);

// Disables the main window's controls, shows the dialog, then registers a connected instrument,
// warns when its calibration is due, reads its settings and sets the window title; otherwise says
// that no connection was made.
void afterConnectDialog(HWND mainWindow);

}  // namespace gui
