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
#include "gui/instrument/instrument_link.h"
#include "instrument/comms_log.h"
#include "instrument/settings.h"
#include "gui/instrument/settings_strip.h"
#include "gui/measure/measurement_panes.h"
#include "measure/sweep_job.h"
#include "gui/resources/capture_ids.h"
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
void redrawMenuBar(HWND main) {
    if (IsWindowVisible(main)) DrawMenuBar(main);
}
bool sweepIsRunning() { return measure::sweepRunning() != 0; }

void refreshControls(HWND main) { refreshControlStates(main, true, connected(), sweepIsRunning()); }

// The data browser's two windows and every control in them.
void showDataBrowser(HWND main, bool visible) {
    show(paneWindow(main, kDataToolsClass), visible);
    show(paneWindow(main, kDataViewClass), visible);
}

void enableMenuItems(HWND main, bool enabled) {
    HMENU menu = GetMenu(main);
    const UINT flags = MF_BYPOSITION | (enabled ? MF_ENABLED : MF_DISABLED | MF_GRAYED);
    for (int position = 2; position <= 5; ++position) EnableMenuItem(menu, position, flags);
    redrawMenuBar(main);
}

}  // namespace

void enableMeasurementMenus(HWND main, bool enabled) {
    HMENU menu = GetMenu(main);
    const UINT state = enabled ? MF_ENABLED : MF_DISABLED | MF_GRAYED;
    EnableMenuItem(menu, IDM_CONNECTION, MF_BYCOMMAND | state);
    for (int position : {kMenuSfra, kMenuImpedance, kMenuCapture}) EnableMenuItem(menu, position, MF_BYPOSITION | state);
    redrawMenuBar(main);
}

namespace {

// The measurement mode switches of the menu: the instrument is told the new mode when connected.
void switchMeasurementMode(HWND main, Mode mode, const char* command) {
    instrument::InstrumentLink& link = instrumentLink();
    const bool tell = link.connected;
    if (tell && instrument::linkOpen(link) == 0) instrument::linkWrite(command, link);
    MainState& s = mainState(main);
    s.previousMode = s.mode;
    s.mode = mode;
    highlightMenuPosition(main, mode == kModeSfra ? kMenuSfra : kMenuImpedance);
    if (tell) instrument::linkClose(link);
    for (const char* results : {kFraResultsClass, kLcrResultsClass})
        InvalidateRect(paneWindow(main, results), nullptr, TRUE);
    refreshControls(main);
}

void openWebPage(HWND window, const char* address) {
    ShellExecuteA(window, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

void measureButton(HWND main) {
    MainState& s = mainState(main);
    if (s.mode != kModeDatabase) return;
    s.mode = s.previousMode;
    showMode(main, s.mode);
    markSelected(main, IDC_MEASURE, IDC_MEASURE, IDC_DATABASE);
    refreshControls(main);
}

void databaseButton(HWND main) {
    MainState& s = mainState(main);
    if (s.mode == kModeDatabase) return;
    s.previousMode = s.mode;
    s.mode = kModeDatabase;
    showMode(main, kModeDatabase);
    markSelected(main, IDC_DATABASE, IDC_MEASURE, IDC_DATABASE);
    refreshControls(main);
}

void captureCommand(HWND main) {
    MainState& s = mainState(main);
    s.previousMode = s.mode;
    s.mode = kModeCapture;
    highlightMenuPosition(main, kMenuCapture);
    refreshControls(main);
}

// A measurement pane's own table and results window take their design rectangles, made taller by
// the strip's height while the strip is hidden.
void fitPaneContents(HWND main, const char* resultsClass, int listId, bool stripHidden) {
    const int extra = stripHidden ? kPaneSpare.height - kPaneNormal.height : 0;
    for (ControlDescriptor* c : {findClassDescriptor(main, resultsClass), findDescriptor(main, listId)}) {
        if (!c) continue;
        c->baseRect = c->designRect;
        c->baseRect.height += extra;
    }
}

// Hides or shows the instrument settings strip; the measurement panes take its room while it is
// hidden.
void toggleSettingsStrip(HWND main) {
    MainState& s = mainState(main);
    s.settingsHidden = !s.settingsHidden;
    SetWindowTextA(controlWindow(main, IDC_SETTINGS_TOGGLE), s.settingsHidden ? "SHOW SETTINGS" : "HIDE SETTINGS");
    HWND visiblePane = nullptr;
    for (const char* pane : {kFraClass, kLcrClass, kCaptureClass})
        if (styleVisible(paneWindow(main, pane))) visiblePane = paneWindow(main, pane);
    if (!s.settingsHidden) show(visiblePane, false);
    for (const char* pane : {kFraClass, kLcrClass, kCaptureClass})
        if (ControlDescriptor* c = findClassDescriptor(main, pane))
            c->baseRect = s.settingsHidden ? kPaneSpare : kPaneNormal;
    fitPaneContents(main, kFraResultsClass, IDC_FRA_TABLE, s.settingsHidden);
    fitPaneContents(main, kLcrResultsClass, IDC_LCR_TABLE, s.settingsHidden);
    show(paneWindow(main, kConfigClass), s.mode != kModeDatabase && !s.settingsHidden);
    layoutAll(main);
    show(visiblePane, true);
    redrawCurrentPage(main);
}

void readSfraButton(HWND main) {
    instrument::readAllSettings(instrument::settingsTable(), instrumentLink());
    redrawCurrentPage(main);
}

void setUpSfraButton() { instrument::writeChangedSettings(instrument::settingsTable(), instrumentLink()); }

}  // namespace

void highlightMenuPosition(HWND main, int position) {
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
    redrawMenuBar(main);
}

void showMode(HWND main, Mode mode) {
    const MainState& s = mainState(main);
    show(paneWindow(main, kConfigClass), mode != kModeDatabase && !s.settingsHidden);
    showDataBrowser(main, mode == kModeDatabase);
    for (int id : {IDC_SETTINGS_TOGGLE, IDC_READ_SFRA, IDC_SETUP_SFRA}) enable(controlWindow(main, id), false);
    if (mode == kModeSfra || mode == kModeImpedance)
        for (int id : {IDC_SETTINGS_TOGGLE, IDC_SETTINGS_LABEL, IDC_READ_SFRA, IDC_SETUP_SFRA})
            show(controlWindow(main, id), true);
    enableMenuItems(main, mode != kModeDatabase);
    if (mode == kModeDatabase) enableDataBrowser(main);
}

void refreshControlStates(HWND main, bool enabled, bool isConnected, bool sweepRunning) {
    const Mode mode = mainState(main).mode;
    for (const char* name : {"main", "settings"})
        for (const ControlDescriptor& c : descriptorTable(main, name).entries)
            if (c.window && !(c.style & WS_DISABLED)) enable(c.window, enabled);
    const bool instrumentCommands = enabled && isConnected && mode != kModeDatabase;
    enable(controlWindow(main, IDC_READ_SFRA), instrumentCommands && !sweepRunning);
    enable(controlWindow(main, IDC_SETUP_SFRA), instrumentCommands && !sweepRunning);

    const struct {
        const char* pane;
        Mode mode;
    } panes[] = {{kFraClass, kModeSfra}, {kLcrClass, kModeImpedance}, {kCaptureClass, kModeCapture}};
    for (const auto& p : panes) {
        enable(paneWindow(main, p.pane), p.mode == mode);
        show(paneWindow(main, p.pane), p.mode == mode);
    }
    for (int id = IDC_CAPTURE_TO_CLIPBOARD; id <= IDC_CAPTURE_COLOUR_DOWNLOAD; ++id)
        enable(controlWindow(main, id), mode == kModeCapture && isConnected);
    SendMessageA(paneWindow(main, kCaptureClass), WM_COMMAND, CMD_CAPTURE_REFRESH, 0);

    refreshPaneControls(main, sweepRunning);

    for (int id : {IDC_DATA_MODE_LABEL, IDC_MEASURE, IDC_DATABASE}) {
        show(controlWindow(main, id), !sweepRunning);
        enable(controlWindow(main, id), !sweepRunning);
    }
    show(controlWindow(main, IDC_LOGO), true);
    enable(controlWindow(main, IDC_LOGO), true);
    enable(controlWindow(main, IDC_SETTINGS_TOGGLE), instrumentCommands);
}

bool onMainCommand(HWND window, int id) {
    switch (id) {
    case IDM_ABOUT:
        showAboutDialog(window);
        break;
    case IDM_EXIT:
        SendMessageA(window, WM_CLOSE, 0, 0);  // as the close box: asks before a sweep is lost
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
        switchMeasurementMode(window, kModeSfra, "CONFIG,1,3\n");
        break;
    case IDM_IMPEDANCE:
        switchMeasurementMode(window, kModeImpedance, "CONFIG,1,1\n");
        break;
    case IDM_CAPTURE:
        captureCommand(window);
        break;
    case IDM_SUPPORT:
        openWebPage(window, kMakerSupportPage);
        break;
    case IDC_MEASURE:
        measureButton(window);
        break;
    case IDC_DATABASE:
        databaseButton(window);
        break;
    case IDC_SETTINGS_TOGGLE:
        toggleSettingsStrip(window);
        break;
    case IDC_LOGO:
        openWebPage(window, kMakerHomePage);
        break;
    case IDC_READ_SFRA:
        readSfraButton(window);
        break;
    case IDC_SETUP_SFRA:
        setUpSfraButton();
        break;
    case CMD_REFRESH_CONTROLS:
        refreshControls(window);
        break;
    case instrument::kNotifyCommsLogFailed:
        onCommsLogFailed(window);
        break;
    default:
        return false;
    }
    return true;
}

}  // namespace gui
