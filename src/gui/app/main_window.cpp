// The main window's life: registering the classes, creating the window and its panes, the start-up
// steps of its creation, the message loop, resizing and shut-down.
#include "gui/app/main_window.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "common/identity.h"
#include "gui/app/layout.h"
#include "app/startup.h"
#include "gui/app/window_classes.h"
#include "gui/db/data_browser.h"
#include "instrument/settings.h"
#include "gui/measure/result_panes.h"
#include "gui/resources/resource.h"

namespace gui {
namespace {

MainState state;
HWND theMainWindow = nullptr;
instrument::InstrumentLink link;
WNDPROC buttonProc = nullptr;

// The logo button shows the hand cursor while the mouse is over it.
LRESULT CALLBACK logoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETCURSOR) {
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
        return TRUE;
    }
    return CallWindowProcA(buttonProc, window, message, wParam, lParam);
}

void loadConnectSettings() {
    const app::ConnectSettings& saved = app::connectSettings();
    link.interfaceType = saved.interfaceType;
    link.portName = saved.comPort;
    link.baudRate = saved.baudRate;
    link.ipAddress = saved.ipAddr;
}

// The start-up steps of the main window's creation.
void onCreate(HWND window) {
    theMainWindow = window;
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS |
                                      ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&controls);
    createAllControls(window);
    if (HWND logo = controlWindow(10005)) {
        buttonProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(logo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(logoProc)));
        state.logoBitmap = static_cast<HBITMAP>(
            LoadImageA(programInstance(), MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        SendMessageA(logo, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(state.logoBitmap));
    }
    for (int i = 0; i < 12; ++i)
        SendMessageA(controlWindow(10700 + i), BM_SETIMAGE, IMAGE_ICON,
                     reinterpret_cast<LPARAM>(LoadImageA(programInstance(), MAKEINTRESOURCEA(IDI_TOOL_FIRST + i),
                                                         IMAGE_ICON, 24, 24, LR_DEFAULTCOLOR)));
    setUpResultControls();
    PostMessageA(paneWindow(kConfigClass), WM_COMMAND, 10102, 0);
    PostMessageA(window, WM_COMMAND, 10001, 0);

    app::settleSettingsFiles();
    loadConnectSettings();
    instrument::settingsTable();   // built here, on first use, before anything reads it

    state.mode = kModeSfra;
    showMode(kModeSfra);
    markSelected(10001, 10001, 10002);
    highlightMenuPosition(2);

    app::openStartupDatabase();
    fillDataBrowser();

    SendMessageA(window, WM_COMMAND, 10003, 0);
    SendMessageA(paneWindow(kFraClass), WM_COMMAND, 10203, 0);
    markSelected(0, 10206, 10206);
    SendMessageA(window, WM_COMMAND, CMD_REFRESH_CONTROLS, 0);
}

void onSize(WPARAM kind) {
    if (kind == SIZE_MINIMIZED) return;
    layoutAll();
    if (state.mode == kModeDatabase) enableDataBrowser();
}

void onDestroy() {
    if (state.comInitialised) CoUninitialize();
    state.comInitialised = false;
    if (state.logoBitmap) DeleteObject(state.logoBitmap);
    state.logoBitmap = nullptr;
    PostQuitMessage(0);
}

}  // namespace

MainState& mainState() { return state; }
HWND mainWindow() { return theMainWindow; }
instrument::InstrumentLink& instrumentLink() { return link; }

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        onCreate(window);
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {state.initialSize.cx, state.initialSize.cy};
        return 0;
    }
    case WM_SIZE:
        onSize(wParam);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_COMMAND:
        if (onMainCommand(window, LOWORD(wParam))) return 0;
        break;
    case WM_DESTROY:
        onDestroy();
        return 0;
    case WM_NCDESTROY:
        destroyAllControls();
        theMainWindow = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createMainWindow() {
    state = MainState{};
    int width = 1024, height = 625;
    const int frameX = GetSystemMetrics(SM_CXFRAME), frameY = GetSystemMetrics(SM_CYFRAME);
    if (frameX > 4) width += 2 * (frameX - 4);
    if (frameY > 4) height += 2 * (frameY - 4);
    state.initialSize = {width, height};
    HWND window = CreateWindowExA(0, kMainClass, common::mainWindowTitle().c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, width, height, nullptr, nullptr, programInstance(), nullptr);
    state.comInitialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE) !=
                           RPC_E_CHANGED_MODE;
    if (HWND logo = controlWindow(10005)) EnableWindow(logo, TRUE);
    return window;
}

int runMessageLoop(HWND main, int showCommand) {
    ShowWindow(main, showCommand);
    UpdateWindow(main);
    HACCEL accelerators = LoadAcceleratorsA(programInstance(), MAKEINTRESOURCEA(IDR_MAINMENU));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(main, accelerators, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace gui
