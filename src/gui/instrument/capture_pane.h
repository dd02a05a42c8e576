// The screen-capture pane: the picture area and the download and export buttons.
#pragma once

#include <windows.h>

namespace gui {

LRESULT CALLBACK capturePaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace gui
