// The main window under Wine: start-up, the descriptor tables, anchoring, modes, the settings strip,
// menu highlighting and the menu commands.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "gui/app/layout.h"
#include "gui/app/main_window.h"
#include "app/timer_service.h"
#include "gui/app/window_classes.h"
#include "gui/db/data_browser.h"
#include "gui/instrument/instrument_link.h"
#include "db/database_files.h"
#include "db/record_store.h"
#include "db/schema.h"
#include "gui/measure/results_windows.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "gui/resources/resource.h"
#include "gui/support/dialog_driver.h"
#include "gui/support/main_window_fixture.h"
#include "gui/tool_button.h"

namespace gui_testing {
namespace {

using gui::controlWindow;
using gui::paneWindow;

bool shown(HWND w) { return w && IsWindowVisible(w); }

bool isBold(HWND w) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfWeight == 700;
}

bool isComboBox(HWND w) {
    char name[32] = "";
    GetClassNameA(w, name, sizeof name);
    return lstrcmpiA(name, "ComboBox") == 0;
}

// A drop-down list's designed height is that of its open list; closed it is as tall as its text.
void expectPlace(HWND w, int x, int y, int width, int height, const std::string& what) {
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, x) << what;
    EXPECT_EQ(r.top, y) << what;
    EXPECT_EQ(r.right - r.left, width) << what;
    if (!isComboBox(w)) {
        EXPECT_EQ(r.bottom - r.top, height) << what;
    }
}

int clientWidth(HWND w) {
    RECT r;
    GetClientRect(w, &r);
    return r.right;
}

bool menuHighlighted(HWND main, int position) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE;
    GetMenuItemInfoA(GetMenu(main), position, TRUE, &item);
    return (item.fState & MFS_HILITE) != 0;
}

// Texts the start-up changes: the toggle reads SHOW SETTINGS once the strip is hidden, the settings
// header names the first page, the FRA pane's GRAPH view turns START into SWEEP.
const char* startupText(int id, const char* design) {
    switch (id) {
    case IDC_SETTINGS_TOGGLE: return "SHOW SETTINGS";
    case IDC_SETTINGS_TITLE: return "Configuration: Acquisition Control";
    case IDC_FRA_START: return "SWEEP";
    case IDC_LCR_SWEEP: return "SWEEP";
    case IDC_DATA_CAPTION: return nullptr;   // the caption names the database
    default: return design;
    }
}

// A fresh account: no settings folder at all when the program starts.
class FirstStart : public MainWindowTest {
protected:
    void SetUp() override {
        for (const char* name : {"Corvane.ini", "Corvane-DBSettings.ini"})
            platform::deleteFile(platform::joinPath(settingsFolderPath(), name));
        RemoveDirectoryA(settingsFolderPath().c_str());
        MainWindowTest::SetUp();
    }
};

TEST_F(FirstStart, CreatesSettingsFilesAndDefaultDatabase) {
    const std::string folder = settingsFolderPath();
    for (const char* name : {"Corvane.ini", "Corvane-DBSettings.ini"}) {
        const std::string file = platform::joinPath(folder, name);
        const std::string stamp = platform::getProfileString(file, "Init", "Created", "", 128);
        EXPECT_NE(stamp.find(':'), std::string::npos) << name << " stamp: " << stamp;
        EXPECT_NE(stamp.find('/'), std::string::npos) << name;
    }
    const std::string database = platform::joinPath(platform::currentDirectory(), "default.db");
    EXPECT_TRUE(platform::fileExists(database));
    EXPECT_TRUE(db::databaseIsOpen());
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open_v2(database.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    std::set<std::string> tables;
    sqlite3_exec(handle, "SELECT name FROM sqlite_master WHERE type='table'",
                 [](void* out, int, char** values, char**) {
                     static_cast<std::set<std::string>*>(out)->insert(values[0]);
                     return 0;
                 },
                 &tables, nullptr);
    sqlite3_close(handle);
    for (const char* table : {"Transformer", "Measurement", "Equipment", "Sweep", "Data", "Data_FRA", "Data_LCR"})
        EXPECT_TRUE(tables.count(table)) << table;
}

class MainWindow : public MainWindowTest {};

TEST_F(MainWindow, EveryControlOfEveryTableIsCreatedWithItsIdTextAndPlace) {
    int checked = 0;
    for (const gui::DescriptorTable& table : gui::makeDescriptorTables()) {
        for (const gui::ControlDescriptor& design : table.entries) {
            if (!design.className || design.id == 0) continue;
            HWND w = controlWindow(main, design.id);
            ASSERT_NE(w, nullptr) << design.id;
            EXPECT_EQ(GetDlgCtrlID(w), design.id);
            EXPECT_EQ(GetParent(w), table.parentClass ? paneWindow(main, table.parentClass) : main);
            const char* text = startupText(design.id, design.text);
            if (text && !isComboBox(w)) {
                EXPECT_EQ(windowText(w), text) << design.id;
            }
            if (design.positionRule == app::PositionRule::AsDesigned && design.sizeRule == app::SizeRule::Fixed)
                expectPlace(w, design.designRect.x, design.designRect.y, design.designRect.width,
                            design.designRect.height, std::to_string(design.id));
            ++checked;
        }
    }
    EXPECT_EQ(checked, 80);
    EXPECT_EQ(controlWindow(main, IDC_DATA_LIST + 1), nullptr);        // beyond every table's range
    EXPECT_EQ(controlWindow(main, IDC_FRA_CENTRE_0DB + 1), nullptr);   // a gap in the FRA results' range
    // Right-anchored: the toggle 180 and the logo 15 pixels from the right edge.
    const int w = clientWidth(main);
    expectPlace(controlWindow(main, IDC_SETTINGS_TOGGLE), w - 127 - 180, 6, 127, 25, "toggle");
    expectPlace(controlWindow(main, IDC_LOGO), w - 141 - 15, 8, 141, 20, "logo");
    // Bottom-anchored graph controls inside the results window.
    HWND results = paneWindow(main, gui::kFraResultsClass);
    RECT client;
    GetClientRect(results, &client);
    expectPlace(controlWindow(main, IDC_FRA_CURSOR2), client.right - 450 - 6, client.bottom - 18 - 20, 450, 18,
                "cursor 2");
}

TEST_F(MainWindow, StartsInSfraModeWithTheStripHiddenAndMeasureSelected) {
    const gui::MainState& s = gui::mainState(main);
    EXPECT_EQ(s.mode, gui::kModeSfra);
    EXPECT_TRUE(s.settingsHidden);
    EXPECT_TRUE(shown(paneWindow(main, gui::kFraClass)));
    EXPECT_FALSE(shown(paneWindow(main, gui::kConfigClass)));
    EXPECT_FALSE(shown(paneWindow(main, gui::kLcrClass)));
    EXPECT_FALSE(shown(paneWindow(main, gui::kDataViewClass)));
    EXPECT_TRUE(isBold(controlWindow(main, IDC_MEASURE)));
    EXPECT_FALSE(isBold(controlWindow(main, IDC_DATABASE)));
    EXPECT_TRUE(isBold(controlWindow(main, IDC_FRA_VIEW_GRAPH)));
    EXPECT_TRUE(menuHighlighted(main, 2));
    EXPECT_FALSE(menuHighlighted(main, 3));
    expectPlace(paneWindow(main, gui::kFraClass), 6, 36, 1002, 528, "FRA pane in the strip's room");
    expectPlace(paneWindow(main, gui::kFraResultsClass), 6, 68, 986, 278 + 174, "results made taller");
    // Without an instrument the instrument commands are off, the mode buttons on.
    EXPECT_FALSE(IsWindowEnabled(controlWindow(main, IDC_SETTINGS_TOGGLE)));
    EXPECT_FALSE(IsWindowEnabled(controlWindow(main, IDC_READ_SFRA)));
    EXPECT_FALSE(IsWindowEnabled(controlWindow(main, IDC_SETUP_SFRA)));
    EXPECT_TRUE(IsWindowEnabled(controlWindow(main, IDC_MEASURE)));
    EXPECT_TRUE(IsWindowEnabled(controlWindow(main, IDC_DATABASE)));
    EXPECT_FALSE(IsWindowEnabled(controlWindow(main, IDC_FRA_ADD_TO_DATABASE)));
    EXPECT_EQ(windowText(main), "Corvane v1_5");
}

TEST_F(MainWindow, GrowingTheWindowWidensAndDeepensThePanesAndKeepsRightMargins) {
    grow(256, 120);
    const int w = clientWidth(main);
    expectPlace(controlWindow(main, IDC_SETTINGS_TOGGLE), w - 127 - 180, 6, 127, 25, "toggle");
    expectPlace(controlWindow(main, IDC_LOGO), w - 141 - 15, 8, 141, 20, "logo");
    expectPlace(paneWindow(main, gui::kFraClass), 6, 36, 1002 + 256, 528 + 120, "FRA pane");
    expectPlace(paneWindow(main, gui::kFraResultsClass), 6, 68, 986 + 256, 452 + 120, "FRA results");
    expectPlace(paneWindow(main, gui::kDataViewClass), 6, 82, 1004 + 256, 489 + 120, "data view");
    expectPlace(paneWindow(main, gui::kDataToolsClass), 6, 36, 1004 + 256, 44, "data tools: wider only");
    // The results window's controls keep their bottom and right margins.
    RECT client;
    GetClientRect(paneWindow(main, gui::kFraResultsClass), &client);
    expectPlace(controlWindow(main, IDC_FRA_CURSOR2), client.right - 456, client.bottom - 38, 450, 18, "cursor 2");
    expectPlace(controlWindow(main, IDC_FRA_FIND_MARGINS), 570, client.bottom - 27 - 42, 140, 27, "margin button");
    // The LCR results' middle-anchored lists.
    SendMessageA(main, WM_COMMAND, IDM_IMPEDANCE, 0);
    pumpMessages(50);
    GetClientRect(paneWindow(main, gui::kLcrResultsClass), &client);
    expectPlace(controlWindow(main, IDC_LCR_SCALING), client.right / 2 - 140, client.bottom - 33, 140, 27, "scaling");
    expectPlace(controlWindow(main, IDC_LCR_BACKGROUND), client.right / 2 - 140 + 146, client.bottom - 33, 140, 27,
                "background");
    // Maximising grows the same way.
    ShowWindow(main, SW_MAXIMIZE);
    pumpMessages(100);
    RECT outer;
    GetWindowRect(main, &outer);
    const gui::MainState& s = gui::mainState(main);
    const int dw = outer.right - outer.left - s.initialSize.cx, dh = outer.bottom - outer.top - s.initialSize.cy;
    ASSERT_GT(dw, 0);
    expectPlace(paneWindow(main, gui::kLcrClass), 6, 36, 1002 + dw, 528 + dh, "LCR pane maximised");
    expectPlace(controlWindow(main, IDC_SETTINGS_TOGGLE), clientWidth(main) - 307, 6, 127, 25, "toggle maximised");
}

TEST_F(MainWindow, TheWindowCannotBeMadeSmallerThanItsInitialSize) {
    MINMAXINFO info{};
    SendMessageA(main, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    RECT outer;
    GetWindowRect(main, &outer);
    EXPECT_EQ(info.ptMinTrackSize.x, outer.right - outer.left);
    EXPECT_EQ(info.ptMinTrackSize.y, outer.bottom - outer.top);
    EXPECT_GE(info.ptMinTrackSize.x, 1024);
    EXPECT_GE(info.ptMinTrackSize.y, 625);
}

TEST_F(MainWindow, TheStripToggleSwapsTextAndPlaces) {
    SendMessageA(main, WM_COMMAND, IDC_SETTINGS_TOGGLE, 0);
    EXPECT_EQ(windowText(controlWindow(main, IDC_SETTINGS_TOGGLE)), "HIDE SETTINGS");
    EXPECT_TRUE(shown(paneWindow(main, gui::kConfigClass)));
    EXPECT_TRUE(shown(paneWindow(main, gui::kFraClass)));
    expectPlace(paneWindow(main, gui::kConfigClass), 6, 36, 1002, 170, "strip");
    expectPlace(paneWindow(main, gui::kFraClass), 6, 210, 1002, 354, "FRA pane below the strip");
    expectPlace(paneWindow(main, gui::kFraResultsClass), 6, 68, 986, 278, "results at design size");
    expectPlace(controlWindow(main, IDC_FRA_TABLE), 6, 68, 986, 278, "table at design size");
    SendMessageA(main, WM_COMMAND, IDC_SETTINGS_TOGGLE, 0);
    EXPECT_EQ(windowText(controlWindow(main, IDC_SETTINGS_TOGGLE)), "SHOW SETTINGS");
    EXPECT_FALSE(shown(paneWindow(main, gui::kConfigClass)));
    expectPlace(paneWindow(main, gui::kFraClass), 6, 36, 1002, 528, "FRA pane in the strip's room");
    expectPlace(controlWindow(main, IDC_FRA_TABLE), 6, 68, 986, 452, "table taller");
}

TEST_F(MainWindow, DatabaseAndMeasureReturnToTheModeThatWasLeft) {
    SendMessageA(main, WM_COMMAND, IDC_MEASURE, 0);   // MEASURE outside the database mode: nothing
    EXPECT_EQ(gui::mainState(main).mode, gui::kModeSfra);
    SendMessageA(main, WM_COMMAND, IDC_DATABASE, 0);
    EXPECT_EQ(gui::mainState(main).mode, gui::kModeDatabase);
    EXPECT_TRUE(shown(paneWindow(main, gui::kDataViewClass)));
    EXPECT_TRUE(shown(paneWindow(main, gui::kDataToolsClass)));
    EXPECT_FALSE(shown(paneWindow(main, gui::kFraClass)));
    EXPECT_TRUE(isBold(controlWindow(main, IDC_DATABASE)));
    EXPECT_FALSE(isBold(controlWindow(main, IDC_MEASURE)));
    EXPECT_TRUE(GetMenuState(GetMenu(main), 2, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(GetMenu(main), 5, MF_BYPOSITION) & MF_GRAYED);
    SendMessageA(main, WM_COMMAND, IDC_DATABASE, 0);   // DATABASE inside it: nothing
    EXPECT_EQ(gui::mainState(main).previousMode, gui::kModeSfra);
    SendMessageA(main, WM_COMMAND, IDC_MEASURE, 0);
    EXPECT_EQ(gui::mainState(main).mode, gui::kModeSfra);
    EXPECT_TRUE(shown(paneWindow(main, gui::kFraClass)));
    EXPECT_FALSE(shown(paneWindow(main, gui::kDataViewClass)));
    EXPECT_FALSE(GetMenuState(GetMenu(main), 2, MF_BYPOSITION) & MF_GRAYED);

    SendMessageA(main, WM_COMMAND, IDM_IMPEDANCE, 0);
    EXPECT_TRUE(shown(paneWindow(main, gui::kLcrClass)));
    SendMessageA(main, WM_COMMAND, IDC_DATABASE, 0);
    EXPECT_FALSE(shown(paneWindow(main, gui::kLcrClass)));
    SendMessageA(main, WM_COMMAND, IDC_MEASURE, 0);
    EXPECT_EQ(gui::mainState(main).mode, gui::kModeImpedance);
    EXPECT_TRUE(shown(paneWindow(main, gui::kLcrClass)));
    EXPECT_FALSE(shown(paneWindow(main, gui::kFraClass)));
}

TEST_F(MainWindow, MenuModesSwitchPanesAndHighlightTheirItemWithoutAnInstrument) {
    SendMessageA(main, WM_COMMAND, IDM_CAPTURE, 0);
    EXPECT_EQ(gui::mainState(main).mode, gui::kModeCapture);
    EXPECT_TRUE(menuHighlighted(main, 4));
    EXPECT_FALSE(menuHighlighted(main, 2));
    EXPECT_TRUE(shown(paneWindow(main, gui::kCaptureClass)));
    EXPECT_FALSE(shown(paneWindow(main, gui::kFraClass)));
    EXPECT_FALSE(IsWindowEnabled(controlWindow(main, IDC_CAPTURE_MONO_DOWNLOAD)));   // nothing to download from
    SendMessageA(main, WM_COMMAND, IDM_IMPEDANCE, 0);
    EXPECT_EQ(gui::mainState(main).mode, gui::kModeImpedance);
    EXPECT_TRUE(menuHighlighted(main, 3));
    EXPECT_FALSE(menuHighlighted(main, 4));
    EXPECT_TRUE(shown(paneWindow(main, gui::kLcrClass)));
    EXPECT_FALSE(shown(paneWindow(main, gui::kCaptureClass)));
    SendMessageA(main, WM_COMMAND, IDM_SFRA, 0);
    EXPECT_EQ(gui::mainState(main).mode, gui::kModeSfra);
    EXPECT_EQ(gui::mainState(main).previousMode, gui::kModeImpedance);
    EXPECT_TRUE(menuHighlighted(main, 2));
    EXPECT_TRUE(shown(paneWindow(main, gui::kFraClass)));
    EXPECT_FALSE(gui::instrumentLink().open);
}

TEST_F(MainWindow, ViewButtonsShowTheTableOrTheResultsWindow) {
    HWND fra = paneWindow(main, gui::kFraClass);
    SendMessageA(fra, WM_COMMAND, IDC_FRA_VIEW_TABLE, 0);
    EXPECT_TRUE(shown(controlWindow(main, IDC_FRA_TABLE)));
    EXPECT_FALSE(shown(paneWindow(main, gui::kFraResultsClass)));
    EXPECT_TRUE(isBold(controlWindow(main, IDC_FRA_VIEW_TABLE)));
    EXPECT_FALSE(isBold(controlWindow(main, IDC_FRA_VIEW_GRAPH)));
    SendMessageA(fra, WM_COMMAND, IDC_FRA_VIEW_REALTIME, 0);
    EXPECT_EQ(windowText(controlWindow(main, IDC_FRA_START)), "START");
    EXPECT_TRUE(shown(paneWindow(main, gui::kFraResultsClass)));
    EXPECT_FALSE(shown(controlWindow(main, IDC_FRA_CURSOR1)));   // graph controls only in GRAPH view
    SendMessageA(fra, WM_COMMAND, IDC_FRA_VIEW_GRAPH, 0);
    EXPECT_EQ(windowText(controlWindow(main, IDC_FRA_START)), "SWEEP");
    EXPECT_TRUE(shown(controlWindow(main, IDC_FRA_CURSOR1)));
}

TEST_F(MainWindow, SettingsPageButtonsNameTheirPage) {
    HWND strip = paneWindow(main, gui::kConfigClass);
    SendMessageA(strip, WM_COMMAND, IDC_PAGE_SYS, 0);
    EXPECT_EQ(windowText(controlWindow(main, IDC_SETTINGS_TITLE)), "Configuration: System Settings");
    EXPECT_TRUE(isBold(controlWindow(main, IDC_PAGE_SYS)));
    EXPECT_FALSE(isBold(controlWindow(main, IDC_PAGE_ACQU)));
    SendMessageA(strip, WM_COMMAND, IDC_PAGE_COMMS, 0);   // COMMS has no page
    EXPECT_EQ(windowText(controlWindow(main, IDC_SETTINGS_TITLE)), "Configuration: System Settings");
    EXPECT_FALSE(IsWindowEnabled(controlWindow(main, IDC_PAGE_COMMS)));
}

TEST_F(MainWindow, ItsPanesControlsAndDialogsReachItsOneRecord) {
    const gui::MainState* record = &gui::mainState(main);
    EXPECT_EQ(&gui::mainState(paneWindow(main, gui::kFraResultsClass)), record);
    EXPECT_EQ(&gui::mainState(controlWindow(main, IDC_LCR_BACKGROUND)), record);
    answerNextDialog("About", [&](HWND box) {
        EXPECT_EQ(gui::mainWindowOf(box), main);
        EXPECT_EQ(&gui::mainState(box), record);
        pressButton(box, IDOK);
    });
    SendMessageA(main, WM_COMMAND, IDM_ABOUT, 0);
}

TEST_F(MainWindow, TheLogoShowsTheHandCursor) {
    HWND logo = controlWindow(main, IDC_LOGO);
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    SendMessageA(logo, WM_SETCURSOR, reinterpret_cast<WPARAM>(logo), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
}

TEST_F(MainWindow, AboutShowsTheProductAndVersionAndTheSqliteItCarries) {
    std::string product, version, sqlite;
    answerNextDialog("About", [&](HWND box) {
        product = itemText(box, IDC_ABOUT_PRODUCT);
        version = itemText(box, IDC_ABOUT_VERSION);
        sqlite = itemText(box, IDC_ABOUT_SQLITE);
        pressButton(box, IDOK);
    });
    SendMessageA(main, WM_COMMAND, IDM_ABOUT, 0);
    EXPECT_EQ(product, "Corvane");
    EXPECT_EQ(version, "v1_5 May  9 2023");
    EXPECT_EQ(sqlite, std::string("SQLite ") + db::sqliteVersion());
    EXPECT_TRUE(sqlite.starts_with("SQLite 3.")) << sqlite;
}

// A window that notes the commands posted to it and when they came.
struct Delivery {
    WPARAM command;
    LPARAM id;
    DWORD at;
};
std::vector<Delivery> deliveries;

// The probe's own commands and message, none of the program's.
constexpr int kFirstProbeCommand = 40001;
constexpr int kSecondProbeCommand = 40002;
constexpr int kLateProbeCommand = 40003;
constexpr int kProbeMessage = WM_APP + 7;

LRESULT CALLBACK probeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND || message == kProbeMessage)
        deliveries.push_back({message == WM_COMMAND ? wParam : 0, lParam, GetTickCount()});
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(MainWindow, TheTimerServicePostsEachCommandOnceInOrderAfterItsDelay) {
    WNDCLASSA probeClass{};
    probeClass.lpfnWndProc = probeProc;
    probeClass.hInstance = GetModuleHandleA(nullptr);
    probeClass.lpszClassName = "CorvaneTimerProbe";
    RegisterClassA(&probeClass);
    HWND probe = CreateWindowA("CorvaneTimerProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(probe, nullptr);
    deliveries.clear();
    const auto handle = reinterpret_cast<app::WindowHandle>(probe);
    const DWORD start = GetTickCount();
    const int first = app::addDelayedCommand(500, handle, kFirstProbeCommand, true);
    const int second = app::addDelayedCommand(500, handle, kSecondProbeCommand, true);
    const int plain = app::addDelayedCommand(200, handle, kProbeMessage, false);
    pumpMessages(1200);
    ASSERT_EQ(deliveries.size(), 3u);
    EXPECT_EQ(deliveries[0].id, plain);
    EXPECT_EQ(deliveries[0].command, 0u);
    EXPECT_EQ(deliveries[1].command, static_cast<WPARAM>(kFirstProbeCommand));
    EXPECT_EQ(deliveries[1].id, first);
    EXPECT_EQ(deliveries[2].command, static_cast<WPARAM>(kSecondProbeCommand));
    EXPECT_EQ(deliveries[2].id, second);
    EXPECT_GE(deliveries[1].at - start, 500u);
    EXPECT_GE(deliveries[0].at - start, 200u);
    // Delivered entries leave the list at the tick after.
    for (const app::DelayedCommand& entry : app::delayedCommands()) EXPECT_NE(entry.window, handle);
    // A window that is gone: the post fails quietly and the entry still goes.
    app::addDelayedCommand(100, handle, kLateProbeCommand, true);
    DestroyWindow(probe);
    pumpMessages(400);
    EXPECT_EQ(deliveries.size(), 3u);
    for (const app::DelayedCommand& entry : app::delayedCommands()) EXPECT_NE(entry.window, handle);
}

TEST_F(MainWindow, ResourcesAreInPlace) {
    // Alt+? and Alt+/ both open About.
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINMENU));
    ACCEL entries[4];
    ASSERT_EQ(CopyAcceleratorTableA(table, entries, 4), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(entries[i].cmd, IDM_ABOUT);
        EXPECT_TRUE(entries[i].fVirt & FALT);
    }
    EXPECT_EQ(entries[0].key, '?');
    EXPECT_EQ(entries[1].key, '/');
    // The logo and the data browser's tool icons.
    EXPECT_NE(SendMessageA(controlWindow(main, IDC_LOGO), BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageA(controlWindow(main, IDC_LOGO), BM_GETIMAGE, IMAGE_BITMAP, 0)),
              gui::mainState(main).logoBitmap);
    for (int id = IDC_TOOL_NEW_DATABASE; id <= IDC_TOOL_SETTINGS; ++id)
        EXPECT_NE(SendMessageA(controlWindow(main, id), BM_GETIMAGE, IMAGE_ICON, 0), 0) << id;
    // The classes of every pane and window.
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    for (const char* name : {gui::kMainClass, gui::kConfigClass, gui::kFraClass, gui::kFraResultsClass, gui::kLcrClass,
                             gui::kLcrResultsClass, gui::kCaptureClass, gui::kDataToolsClass, gui::kDataViewClass,
                             gui::kGraphClass})
        EXPECT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), name, &info)) << name;
    EXPECT_NE(GetMenu(main), nullptr);
}

// The colours a tool button shows when drawn as its parent draws it, enabled or disabled.
std::set<COLORREF> toolButtonColours(HWND button, bool enabled) {
    RECT r;
    GetClientRect(button, &r);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, r.right, r.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, picture);
    DRAWITEMSTRUCT item{ODT_BUTTON, static_cast<UINT>(GetDlgCtrlID(button)), 0, ODA_DRAWENTIRE,
                        enabled ? 0u : static_cast<UINT>(ODS_DISABLED), button, dc, r, 0};
    EXPECT_TRUE(gui::drawToolButton(item));
    std::set<COLORREF> colours;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x) colours.insert(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(picture);
    DeleteDC(dc);
    return colours;
}

bool isGrey(COLORREF c) { return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c); }

TEST_F(MainWindow, ToolButtonsShowTheirIconAndAGreyedCopyWhileDisabled) {
    HWND newDatabase = controlWindow(main, IDC_TOOL_NEW_DATABASE);
    ASSERT_TRUE(GetWindowLongA(newDatabase, GWL_STYLE) & BS_OWNERDRAW);
    EXPECT_EQ(windowText(newDatabase), "New Database");
    const std::set<COLORREF> enabled = toolButtonColours(newDatabase, true);
    const std::set<COLORREF> disabled = toolButtonColours(newDatabase, false);
    EXPECT_TRUE(std::any_of(enabled.begin(), enabled.end(), [](COLORREF c) { return !isGrey(c); }))
        << "the icon's colours, enabled";
    // Greyed, but still the icon: more than the face and its frame.
    EXPECT_TRUE(std::all_of(disabled.begin(), disabled.end(), isGrey));
    EXPECT_GT(disabled.size(), 8u);
    EXPECT_FALSE(gui::drawToolButton(DRAWITEMSTRUCT{ODT_BUTTON, IDC_MEASURE, 0, ODA_DRAWENTIRE, 0,
                                                    controlWindow(main, IDC_MEASURE), nullptr, {}, 0}))
        << "other buttons are not tool buttons";
}

TEST_F(MainWindow, SaveToBitmapWritesTheGraphAndCancelWritesNothing) {
    const std::string file = dir.file("graph.bmp");
    prompter.saveResults.push_back(file);
    SendMessageA(main, WM_COMMAND, IDM_SAVE_BITMAP, 0);
    ASSERT_EQ(prompter.choicesShown.size(), 1u);
    EXPECT_EQ(prompter.choicesShown[0].title, "Save to Bitmap");
    EXPECT_TRUE(prompter.choicesShown[0].filters.empty());
    EXPECT_TRUE(prompter.choicesShown[0].mustExist);
    const std::string bytes = testing_support::readFile(file);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data() + 14, sizeof header);
    const SIZE picture = gui::resultsPictureSize(paneWindow(main, gui::kFraResultsClass));
    EXPECT_EQ(header.biWidth, picture.cx);
    EXPECT_EQ(std::abs(header.biHeight), picture.cy);

    prompter.saveResults.push_back("");
    SendMessageA(main, WM_COMMAND, IDM_SAVE_BITMAP, 0);
    EXPECT_EQ(prompter.choicesShown.size(), 2u);
}

TEST_F(MainWindow, CopyToClipboardPlacesTheGraph) {
    OpenClipboard(main);
    EmptyClipboard();
    CloseClipboard();
    SendMessageA(main, WM_COMMAND, IDM_COPY_CLIPBOARD, 0);
    ASSERT_TRUE(OpenClipboard(main));
    HBITMAP copied = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    BITMAP info{};
    if (copied) GetObjectA(copied, sizeof info, &info);
    CloseClipboard();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(info.bmWidth, gui::resultsPictureSize(paneWindow(main, gui::kFraResultsClass)).cx);
}

TEST_F(MainWindow, TheDataBrowserListsTheSweepsOfTheCurrentDatabase) {
    SendMessageA(main, WM_COMMAND, IDC_DATABASE, 0);
    const std::string caption = windowText(controlWindow(main, IDC_DATA_CAPTION));
    EXPECT_EQ(caption.rfind("Sweeps (", 0), 0u) << caption;
    EXPECT_NE(caption.find(")  Sweep details"), std::string::npos) << caption;
    HWND list = controlWindow(main, IDC_DATA_LIST);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 6);
    EXPECT_TRUE(IsWindowEnabled(controlWindow(main, IDC_TOOL_IMPORT)));
    EXPECT_FALSE(IsWindowEnabled(controlWindow(main, IDC_TOOL_GRAPH)));  // no sweep selected yet
    EXPECT_FALSE(IsWindowEnabled(controlWindow(main, IDC_TOOL_EXPORT_EXCEL)));

    // A stored sweep is listed as the browser shows it: date day first, data type by name, the
    // comment as written.
    db::TransformerRecord t;
    t.identifier = "T-101";
    t.manufacturer = "Maker";
    t.serialNumber = "S1";
    ASSERT_EQ(db::store_transformer(t, db::kAddChecked), 0);
    db::SweepRecord sweep;
    sweep.id = db::next_row_id(db::TableIndex::Sweep);
    sweep.transformerIdentifier = "T-101";
    sweep.setupId = 1;
    sweep.equipmentId = 1;
    sweep.name = "Tap 5";
    sweep.date = "2013-07-01";
    sweep.time = "13:48";
    sweep.comments = "it's \"new\"";
    sweep.dataType = db::kDataFra;
    ASSERT_EQ(db::store_sweep(sweep, db::kAddChecked), 0);
    gui::showView(main, 3);
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 1);
    const auto cell = [&](int row, int column) {
        char text[128] = "";
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        return std::string(text);
    };
    EXPECT_EQ(cell(0, 1), "Tap 5");
    EXPECT_EQ(cell(0, 2), "01-07-2013");
    EXPECT_EQ(cell(0, 4), "it's \"new\"");
    EXPECT_EQ(cell(0, 5), "FRA");
    // The view selector shows the transformers.
    SendMessageA(controlWindow(main, IDC_DATA_VIEW_SELECTOR), CB_SETCURSEL, 0, 0);
    HWND viewPane = paneWindow(main, gui::kDataViewClass);
    SendMessageA(viewPane, WM_COMMAND, MAKEWPARAM(IDC_DATA_VIEW_SELECTOR, CBN_SELCHANGE), 0);
    EXPECT_EQ(windowText(controlWindow(main, IDC_DATA_CAPTION)).rfind("Transformers (", 0), 0u);
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(cell(0, 0), "T-101");
    EXPECT_EQ(cell(0, 2), "S1");
}

}  // namespace
}  // namespace gui_testing
