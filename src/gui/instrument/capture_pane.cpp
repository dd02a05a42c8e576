// The screen-capture pane paints its picture area: white, framed, beside the buttons.
#include "gui/instrument/capture_pane.h"

namespace gui {
namespace {

// The picture area: right of the buttons, below the title.
RECT pictureArea(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    return {170, 28, client.right - 6, client.bottom - 6};
}

void paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    const RECT area = pictureArea(window);
    if (area.right > area.left && area.bottom > area.top) {
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    }
    EndPaint(window, &ps);
}

}  // namespace

LRESULT CALLBACK capturePaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_SIZE:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace gui
