// The main window's life: creating the window and its panes, the start-up steps of its creation,
// the message loop, resizing and shut-down.
#include "gui/app/main_window.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "common/identity.h"
#include "app/startup.h"
#include "gui/app/window_classes.h"
#include "gui/db/data_browser.h"
#include "gui/instrument/instrument_link.h"
#include "instrument/comms_log.h"
#include "instrument/settings.h"
#include "gui/measure/measurement_panes.h"
#include "gui/measure/results_windows.h"
#include "gui/resources/resource.h"
#include "gui/tool_button.h"
#include "gui/window_record.h"

namespace gui {
namespace {

// The data browser's tool buttons and their icons.
constexpr struct {
    int button;
    int icon;
} kToolIcons[] = {
    {IDC_TOOL_NEW_DATABASE, IDI_TOOL_NEW_DATABASE}, {IDC_TOOL_OPEN_DATABASE, IDI_TOOL_OPEN_DATABASE},
    {IDC_TOOL_IMPORT, IDI_TOOL_IMPORT},             {IDC_TOOL_EXPORT_XML, IDI_TOOL_EXPORT_XML},
    {IDC_TOOL_EXPORT_CSV, IDI_TOOL_EXPORT_CSV},     {IDC_TOOL_EXPORT_EXCEL, IDI_TOOL_EXPORT_EXCEL},
    {IDC_TOOL_DIAGNOSE, IDI_TOOL_DIAGNOSE},         {IDC_TOOL_GRAPH, IDI_TOOL_GRAPH},
    {IDC_TOOL_ADD, IDI_TOOL_ADD},                   {IDC_TOOL_EDIT, IDI_TOOL_EDIT},
    {IDC_TOOL_DELETE, IDI_TOOL_DELETE},             {IDC_TOOL_SETTINGS, IDI_TOOL_SETTINGS},
    {IDC_TOOL_FLEET, IDI_TOOL_FLEET},
};

// The logo button shows the hand cursor while the mouse is over it.
LRESULT CALLBACK logoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclass, DWORD_PTR) {
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
        return TRUE;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, logoProc, subclass);
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void loadConnectSettings() {
    const app::ConnectSettings& saved = app::connectSettings();
    instrument::InstrumentLink& link = instrumentLink();
    link.interfaceType = saved.interfaceType;
    link.portName = saved.comPort;
    link.baudRate = saved.baudRate;
    link.ipAddress = saved.ipAddr;
}

// The window's record, before anything else reaches for it.
void onNcCreate(HWND window, const CREATESTRUCTA& creation) {
    auto* state = new MainState;
    state->initialSize = {creation.cx, creation.cy};
    state->commsLogFailures = WindowCommandSink(window);
    attachRecord(window, state);
}

void setUpLogo(HWND window) {
    HWND logo = controlWindow(window, IDC_LOGO);
    if (!logo) return;
    SetWindowSubclass(logo, logoProc, 0, 0);
    MainState& state = mainState(window);
    state.logoBitmap = static_cast<HBITMAP>(
        LoadImageA(programInstance(), MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    SendMessageA(logo, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(state.logoBitmap));
}

// The start-up steps of the main window's creation.
void onCreate(HWND window) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS |
                                      ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&controls);
    instrument::setCommsLogFailureSink(&mainState(window).commsLogFailures);
    createAllControls(window);
    setUpLogo(window);
    for (const auto& tool : kToolIcons)
        setToolIcon(controlWindow(window, tool.button),
                    static_cast<HICON>(LoadImageA(programInstance(), MAKEINTRESOURCEA(tool.icon), IMAGE_ICON, 24, 24,
                                                  LR_DEFAULTCOLOR)));
    setUpResultsControls(window);
    setUpMeasurementTables(window);
    PostMessageA(paneWindow(window, kConfigClass), WM_COMMAND, IDC_PAGE_ACQU, 0);
    PostMessageA(window, WM_COMMAND, IDC_MEASURE, 0);

    app::settleSettingsFiles();
    loadConnectSettings();
    instrument::settingsTable();   // built here, on first use, before anything reads it

    mainState(window).mode = kModeSfra;
    showMode(window, kModeSfra);
    markSelected(window, IDC_MEASURE, IDC_MEASURE, IDC_DATABASE);
    highlightMenuPosition(window, kMenuSfra);

    PostMessageA(window, WM_MAIN_OPEN_DATABASE, 0, 0);

    SendMessageA(window, WM_COMMAND, IDC_SETTINGS_TOGGLE, 0);
    SendMessageA(paneWindow(window, kFraClass), WM_COMMAND, IDC_FRA_VIEW_GRAPH, 0);
    markSelected(window, 0, IDC_FRA_START, IDC_FRA_START);
    SendMessageA(window, WM_COMMAND, CMD_REFRESH_CONTROLS, 0);
}

// Before the record exists (Windows asks while creating the window) the system's limits stand.
void onGetMinMaxInfo(HWND window, MINMAXINFO& info) {
    if (const MainState* state = windowRecord<MainState>(window))
        info.ptMinTrackSize = {state->initialSize.cx, state->initialSize.cy};
}

void onSize(HWND window, WPARAM kind) {
    if (kind == SIZE_MINIMIZED) return;
    layoutAll(window);
    if (mainState(window).mode == kModeDatabase) enableDataBrowser(window);
}

void onPaint(HWND window) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}

void onDestroy(HWND window) {
    MainState& state = mainState(window);
    instrument::setCommsLogFailureSink(nullptr);
    if (state.comInitialised) CoUninitialize();
    state.comInitialised = false;
    if (state.logoBitmap) DeleteObject(state.logoBitmap);
    state.logoBitmap = nullptr;
    PostQuitMessage(0);
}

}  // namespace

HWND mainWindowOf(HWND window) { return GetAncestor(window, GA_ROOTOWNER); }

MainState& mainState(HWND window) { return *windowRecord<MainState>(mainWindowOf(window)); }

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        onNcCreate(window, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
        break;
    case WM_CREATE:
        onCreate(window);
        return 0;
    case WM_GETMINMAXINFO:
        onGetMinMaxInfo(window, *reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_SIZE:
        onSize(window, wParam);
        return 0;
    case WM_PAINT:
        onPaint(window);
        return 0;
    case WM_COMMAND:
        if (onMainCommand(window, LOWORD(wParam))) return 0;
        break;
    case WM_MAIN_OPEN_DATABASE:
        app::openStartupDatabase();
        fillDataBrowser(window);
        return 0;
    case WM_CLOSE:
        // A sweep the database did not take is not lost with the program.
        if (!shownSweepsMayGo(window)) return 0;
        break;
    case WM_DESTROY:
        onDestroy(window);
        return 0;
    case WM_NCDESTROY:
        delete detachRecord<MainState>(window);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createMainWindow() {
    int width = 1024, height = 625;
    const int frameX = GetSystemMetrics(SM_CXFRAME), frameY = GetSystemMetrics(SM_CYFRAME);
    if (frameX > 4) width += 2 * (frameX - 4);
    if (frameY > 4) height += 2 * (frameY - 4);
    HWND window = CreateWindowExA(0, kMainClass, common::mainWindowTitle().c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, width, height, nullptr, nullptr, programInstance(), nullptr);
    if (!window) return nullptr;
    mainState(window).comInitialised =
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE) != RPC_E_CHANGED_MODE;
    if (HWND logo = controlWindow(window, IDC_LOGO)) EnableWindow(logo, TRUE);
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
