// Display > Save to Bitmap and Display > Copy to Clipboard: the current mode's results graph as a
// bitmap file or on the clipboard.
#pragma once

#include <windows.h>

namespace gui {

// toFile: asks for a file name first (cancelling ends the command). The graph is the FRA results
// graph in the SFRA mode and the LCR results graph otherwise. A file that cannot be written is
// left alone silently.
void exportGraph(HWND mainWindow, bool toFile);

}  // namespace gui
