// The main window's commands: modes and their panes, the enabling of controls, the settings strip
// toggle, menu highlighting and the menu commands.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "gui/app/about_dialog.h"
#include "gui/app/graph_export.h"
#include "gui/app/layout.h"
#include "gui/app/main_window.h"
#include "gui/app/window_classes.h"
#include "gui/db/data_browser.h"
#include "gui/instrument/comms_log_command.h"
#include "gui/instrument/connect_dialog.h"
#include "instrument/settings.h"
#include "gui/instrument/settings_strip.h"
#include "measure/sweep_job.h"
#include "gui/resources/resource.h"

namespace gui {
namespace {

constexpr const char* kMakerHomePage = "https://www.veltrona.com/";
constexpr const char* kMakerSupportPage = "https://www.veltrona.com/support/";

// The measurement panes' places: below the settings strip, or in its room while it is hidden.
constexpr app::ControlRect kPaneNormal{6, 210, 1002, 354};
constexpr app::ControlRect kPaneSpare{6, 36, 1002, 528};

void show(HWND window, bool visible) {
    if (window) ShowWindow(window, visible ? SW_SHOW : SW_HIDE);
}

// The window's own visibility flag: true for a pane that shows while its parent does.
bool styleVisible(HWND window) { return window && (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE); }

void enable(HWND window, bool enabled) {
    if (window) EnableWindow(window, enabled ? TRUE : FALSE);
}

bool connected() { return instrumentLink().connected; }

// Redraws the menu bar of a shown window; while the window is being created its first paint draws
// the menu bar anyway, and Wine loses the caption if the frame is redrawn that early.
void redrawMenuBar() {
    if (IsWindowVisible(mainWindow())) DrawMenuBar(mainWindow());
}
bool sweepIsRunning() { return measure::sweepRunning() != 0; }

// The data browser's two windows and every control in them.
void showDataBrowser(bool visible) {
    show(paneWindow(kDataToolsClass), visible);
    show(paneWindow(kDataViewClass), visible);
}

void enableMenuItems(bool enabled) {
    HMENU menu = GetMenu(mainWindow());
    const UINT flags = MF_BYPOSITION | (enabled ? MF_ENABLED : MF_DISABLED | MF_GRAYED);
    for (int position = 2; position <= 5; ++position) EnableMenuItem(menu, position, flags);
    redrawMenuBar();
}

// The measurement mode switches of the menu: the instrument is told the new mode when connected.
void switchMeasurementMode(int mode, const char* command) {
    instrument::InstrumentLink& link = instrumentLink();
    const bool tell = link.connected;
    if (tell && instrument::linkOpen(link) == 0) instrument::linkWrite(command, link);
    MainState& s = mainState();
    s.previousMode = s.mode;
    s.mode = mode;
    highlightMenuPosition(mode == kModeSfra ? 2 : 3);
    if (tell) instrument::linkClose(link);
    for (const char* results : {kFraResultsClass, kLcrResultsClass}) InvalidateRect(paneWindow(results), nullptr, TRUE);
    refreshControls();
}

void openWebPage(HWND window, const char* address) {
    ShellExecuteA(window, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

void measureButton() {
    MainState& s = mainState();
    if (s.mode != kModeDatabase) return;
    s.mode = s.previousMode;
    showMode(s.mode);
    markSelected(10001, 10001, 10002);
    refreshControls();
}

void databaseButton() {
    MainState& s = mainState();
    if (s.mode == kModeDatabase) return;
    s.previousMode = s.mode;
    s.mode = kModeDatabase;
    showMode(kModeDatabase);
    markSelected(10002, 10001, 10002);
    refreshControls();
}

void captureCommand() {
    MainState& s = mainState();
    s.previousMode = s.mode;
    s.mode = kModeCapture;
    highlightMenuPosition(4);
    refreshControls();
}

// A measurement pane's own table and results window take their design rectangles, made taller by
// the strip's height while the strip is hidden.
void fitPaneContents(const char* resultsClass, int listId, bool stripHidden) {
    const int extra = stripHidden ? kPaneSpare.height - kPaneNormal.height : 0;
    for (ControlDescriptor* c : {findClassDescriptor(resultsClass), findDescriptor(listId)}) {
        if (!c) continue;
        c->baseRect = c->designRect;
        c->baseRect.height += extra;
    }
}

}  // namespace

void highlightMenuPosition(int position) {
    HWND main = mainWindow();
    HMENU menu = GetMenu(main);
    for (int p = 2; p <= 5; ++p) {
        // The item's highlight state, as HiliteMenuItem sets it on Windows; Wine's HiliteMenuItem
        // only moves the menu bar's selection, which the next call takes away again.
        const bool lit = p == position;
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STATE;
        GetMenuItemInfoA(menu, p, TRUE, &item);
        item.fState = lit ? item.fState | MFS_HILITE : item.fState & ~MFS_HILITE;
        SetMenuItemInfoA(menu, p, TRUE, &item);
    }
    redrawMenuBar();
}

void refreshControls() {
    refreshControlStates(mainWindow(), true, connected(), sweepIsRunning());
}

void showMode(int mode) {
    const MainState& s = mainState();
    show(paneWindow(kConfigClass), mode != kModeDatabase && !s.settingsHidden);
    showDataBrowser(mode == kModeDatabase);
    for (int id : {10003, 10006, 10007}) enable(controlWindow(id), false);
    if (mode == kModeSfra || mode == kModeImpedance)
        for (int id : {10003, 10004, 10006, 10007}) show(controlWindow(id), true);
    enableMenuItems(mode != kModeDatabase);
    if (mode == kModeDatabase) enableDataBrowser();
}

void refreshControlStates(HWND, bool enabled, bool isConnected, bool sweepRunning) {
    const int mode = mainState().mode;
    for (const char* name : {"main", "settings"})
        for (const ControlDescriptor& c : descriptorTable(name).entries)
            if (c.window && !(c.style & WS_DISABLED)) enable(c.window, enabled);
    const bool instrumentCommands = enabled && isConnected && mode != kModeDatabase;
    enable(controlWindow(10006), instrumentCommands && !sweepRunning);
    enable(controlWindow(10007), instrumentCommands && !sweepRunning);

    const struct {
        const char* pane;
        int mode;
    } panes[] = {{kFraClass, kModeSfra}, {kLcrClass, kModeImpedance}, {kCaptureClass, kModeCapture}};
    for (const auto& p : panes) {
        enable(paneWindow(p.pane), p.mode == mode);
        show(paneWindow(p.pane), p.mode == mode);
    }
    for (int id = 11031; id <= 11035; ++id) enable(controlWindow(id), mode == kModeCapture && isConnected);

    HWND fraTable = controlWindow(10200);
    enable(controlWindow(10208), fraTable && ListView_GetItemCount(fraTable) > 0);

    for (int id : {10000, 10001, 10002}) {
        show(controlWindow(id), !sweepRunning);
        enable(controlWindow(id), !sweepRunning);
    }
    show(controlWindow(10005), true);
    enable(controlWindow(10005), true);
    enable(controlWindow(10003), instrumentCommands);
}

void toggleSettingsStrip() {
    MainState& s = mainState();
    s.settingsHidden = !s.settingsHidden;
    SetWindowTextA(controlWindow(10003), s.settingsHidden ? "SHOW SETTINGS" : "HIDE SETTINGS");
    HWND visiblePane = nullptr;
    for (const char* pane : {kFraClass, kLcrClass, kCaptureClass})
        if (styleVisible(paneWindow(pane))) visiblePane = paneWindow(pane);
    if (!s.settingsHidden) show(visiblePane, false);
    for (const char* pane : {kFraClass, kLcrClass, kCaptureClass})
        if (ControlDescriptor* c = findClassDescriptor(pane)) c->baseRect = s.settingsHidden ? kPaneSpare : kPaneNormal;
    fitPaneContents(kFraResultsClass, 10200, s.settingsHidden);
    fitPaneContents(kLcrResultsClass, 10400, s.settingsHidden);
    show(paneWindow(kConfigClass), s.mode != kModeDatabase && !s.settingsHidden);
    layoutAll();
    show(visiblePane, true);
    redrawCurrentPage();
}

bool onMainCommand(HWND window, int id) {
    switch (id) {
    case IDM_ABOUT:
        showAboutDialog(window);
        break;
    case IDM_EXIT:
        DestroyWindow(window);
        break;
    case IDM_CONNECTION:
        afterConnectDialog(window);
        break;
    case IDM_DEBUG:
        toggleCommsLog(window);
        break;
    case IDM_SAVE_BITMAP:
    case IDM_COPY_CLIPBOARD:
        exportGraph(window, id == IDM_SAVE_BITMAP);
        break;
    case IDM_SFRA:
        switchMeasurementMode(kModeSfra, "CONFIG,1,3\n");
        break;
    case IDM_IMPEDANCE:
        switchMeasurementMode(kModeImpedance, "CONFIG,1,1\n");
        break;
    case IDM_CAPTURE:
        captureCommand();
        break;
    case IDM_SUPPORT:
        openWebPage(window, kMakerSupportPage);
        break;
    case 10001:
        measureButton();
        break;
    case 10002:
        databaseButton();
        break;
    case 10003:
        toggleSettingsStrip();
        break;
    case 10005:
        openWebPage(window, kMakerHomePage);
        break;
    case 10006:
        instrument::readAllSettings(instrument::settingsTable(), instrumentLink());
        redrawCurrentPage();
        break;
    case 10007:
        instrument::writeChangedSettings(instrument::settingsTable(), instrumentLink());
        break;
    case CMD_REFRESH_CONTROLS:
        refreshControls();
        enable(controlWindow(10005), true);
        break;
    default:
        return false;
    }
    return true;
}

}  // namespace gui
