// The instrument settings strip: its page buttons select the page whose title heads the strip.
#include "gui/instrument/settings_strip.h"

#include <string>

#include "gui/app/layout.h"
#include "gui/app/window_classes.h"
#include "gui/resources/resource.h"
#include "gui/window_record.h"

namespace gui {
namespace {

struct Page {
    int button;
    int number;
    const char* title;
};

constexpr Page kPages[] = {
    {IDC_PAGE_ACQU, 0, "Acquisition Control"}, {IDC_PAGE_SWEEP, 1, "Sweep Settings"},
    {IDC_PAGE_TRIM, 2, "Trim Control"},        {IDC_PAGE_OUT, 6, "Generator Settings"},
    {IDC_PAGE_CH1, 7, "Input Settings CH1"},   {IDC_PAGE_CH2, 8, "Input Settings CH2"},
    {IDC_PAGE_SYS, 9, "System Settings"},      {IDC_PAGE_MODE, 10, "Measurement Settings"},
};

// The strip window's record.
struct SettingsStrip {
    int page = 0;
};

SettingsStrip* stripOf(HWND window) { return windowRecord<SettingsStrip>(paneWindow(window, kConfigClass)); }

const Page* pageOf(int number) {
    for (const Page& p : kPages)
        if (p.number == number) return &p;
    return nullptr;
}

bool onCommand(HWND window, int id) {
    for (const Page& p : kPages)
        if (p.button == id) {
            showPage(window, p.number);
            return true;
        }
    return false;
}

}  // namespace

void showPage(HWND window, int number) {
    const Page* p = pageOf(number);
    SettingsStrip* strip = stripOf(window);
    if (!p || !strip) return;
    strip->page = number;
    SetWindowTextA(controlWindow(window, IDC_SETTINGS_TITLE), (std::string("Configuration: ") + p->title).c_str());
    markSelected(window, p->button, IDC_PAGE_ACQU, IDC_PAGE_PROG);
}

void redrawCurrentPage(HWND window) {
    const SettingsStrip* strip = stripOf(window);
    if (!strip) return;
    showPage(window, strip->page);
    InvalidateRect(paneWindow(window, kConfigClass), nullptr, TRUE);
}

LRESULT CALLBACK settingsStripProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        attachRecord(window, new SettingsStrip);
        break;
    case WM_COMMAND:
        if (onCommand(window, LOWORD(wParam))) return 0;
        break;
    case WM_NCDESTROY:
        delete detachRecord<SettingsStrip>(window);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace gui
