// Registering the program's window classes.
#include "gui/app/window_classes.h"

#include "gui/analysis/graph_window.h"
#include "gui/app/main_window.h"
#include "gui/db/data_browser.h"
#include "gui/instrument/capture_pane.h"
#include "gui/instrument/settings_strip.h"
#include "gui/measure/measurement_panes.h"
#include "gui/measure/results_windows.h"
#include "gui/resources/resource.h"

namespace gui {
namespace {

HINSTANCE instance = nullptr;

void registerClass(const char* name, WNDPROC procedure, bool isMain) {
    WNDCLASSEXA c{};
    c.cbSize = sizeof c;
    c.style = 0;
    c.lpfnWndProc = procedure;
    c.hInstance = instance;
    c.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    c.lpszClassName = name;
    c.hIconSm = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_CORVANE), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    if (isMain) {
        c.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_CORVANE));
        c.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
    }
    RegisterClassExA(&c);
}

}  // namespace

void registerWindowClasses(HINSTANCE programInstance) {
    instance = programInstance;
    registerClass(kMainClass, mainWindowProc, true);
    registerClass(kConfigClass, settingsStripProc, false);
    registerClass(kFraClass, fraPaneProc, false);
    registerClass(kFraResultsClass, fraResultsProc, false);
    registerClass(kLcrClass, lcrPaneProc, false);
    registerClass(kLcrResultsClass, lcrResultsProc, false);
    registerClass(kCaptureClass, capturePaneProc, false);
    registerClass(kDataToolsClass, dataToolsProc, false);
    registerClass(kDataViewClass, dataViewProc, false);
    registerClass(kGraphClass, graphWindowProc, false);
}

HINSTANCE programInstance() { return instance; }

}  // namespace gui
