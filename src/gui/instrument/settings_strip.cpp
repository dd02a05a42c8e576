// The instrument settings strip: its page buttons select the page whose title heads the strip.
#include "gui/instrument/settings_strip.h"

#include <string>

#include "gui/app/layout.h"
#include "gui/app/window_classes.h"

namespace gui {
namespace {

struct Page {
    int button;
    int number;
    const char* title;
};

constexpr Page kPages[] = {
    {10102, 0, "Acquisition Control"}, {10103, 1, "Sweep Settings"},      {10104, 2, "Trim Control"},
    {10108, 6, "Generator Settings"},  {10109, 7, "Input Settings CH1"},  {10110, 8, "Input Settings CH2"},
    {10111, 9, "System Settings"},     {10112, 10, "Measurement Settings"},
};

int page = 0;

const Page* pageOf(int number) {
    for (const Page& p : kPages)
        if (p.number == number) return &p;
    return nullptr;
}

}  // namespace

void showPage(int number) {
    const Page* p = pageOf(number);
    if (!p) return;
    page = number;
    SetWindowTextA(controlWindow(10101), (std::string("Configuration: ") + p->title).c_str());
    markSelected(p->button, 10102, 10113);
}

void redrawCurrentPage() {
    showPage(page);
    InvalidateRect(paneWindow(kConfigClass), nullptr, TRUE);
}

LRESULT CALLBACK settingsStripProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        for (const Page& p : kPages)
            if (p.button == LOWORD(wParam)) {
                showPage(p.number);
                return 0;
            }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace gui
