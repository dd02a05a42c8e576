// The screen-capture pane: the picture area and the download and export buttons. The pane's window
// owns the picture it shows, which only a download that came whole replaces; a failed download
// leaves it as it was. User-interface thread only.
#pragma once

#include <windows.h>

namespace gui {

// Also draws the pane into a context on WM_PRINTCLIENT, as painting does.
LRESULT CALLBACK capturePaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Downloads the connected instrument's screen (black and white, or colour) behind the "Download"
// dialog, holding the instrument meanwhile. Nothing happens without an identified instrument; a link
// that cannot be opened, or a download that could not be run, shows "Failed to capture screen data".
void downloadScreen(HWND pane, bool colour);

// The picture area (as painted, white with its frame when nothing has been downloaded) to the
// clipboard (IDC_CAPTURE_TO_CLIPBOARD), to a bitmap file the user chooses (IDC_CAPTURE_TO_BITMAP) or
// into a new word-processor document (IDC_CAPTURE_TO_WORD).
void exportScreen(HWND pane, int target);

}  // namespace gui
