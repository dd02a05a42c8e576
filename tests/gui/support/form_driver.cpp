// Typing, reading indicators and lists, popup menus, and the records every record-dialog test starts with.
#include "gui/support/form_driver.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "app/instrument_registration.h"
#include "db/record_store.h"
#include "gui/app/layout.h"
#include "gui/instrument/instrument_link.h"
#include "gui/resources/resource.h"
#include "gui/resources/dialog_ids.h"
#include "gui/support/dialog_driver.h"
#include "gui/support/host_process.h"
#include "instrument/comms_log.h"
#include "instrument/identification.h"
#include "instrument/settings.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace gui_testing {

void typeInto(HWND dialog, int id, const std::string& text) {
    setItemText(dialog, id, text);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void clickButton(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

COLORREF colourShown(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT r;
    GetClientRect(control, &r);
    HDC dc = GetDC(control);
    const COLORREF colour = GetPixel(dc, r.right / 2, r.bottom / 2);
    ReleaseDC(control, dc);
    return colour;
}

int focusedControl(HWND dialog) {
    HWND focus = GetFocus();
    return focus && GetParent(focus) == dialog ? GetDlgCtrlID(focus) : 0;
}

int listRows(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string listCell(HWND list, int row, int column) {
    char text[512] = "";
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

void doubleClickRow(HWND dialog, int listId, int row) {
    HWND list = GetDlgItem(dialog, listId);
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(listId);
    click.hdr.code = NM_DBLCLK;
    click.iItem = row;
    SendMessageW(dialog, WM_NOTIFY, listId, reinterpret_cast<LPARAM>(&click));
}

void pickFirstRow(HWND dialog, int field, const std::string& table) {
    answerNextDialog("Select from Table", [table](HWND picker) {
        if (!table.empty()) {
            EXPECT_EQ(itemText(picker, IDC_SELECT_TABLE), "Table: " + table);
        }
        doubleClickRow(picker, IDC_SELECT_LIST, 0);
    });
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, field)), TRUE);
    EXPECT_TRUE(pumpUntil([&] { return !itemText(dialog, field).empty(); })) << table;
}

bool pumpUntil(const std::function<bool()>& done, unsigned ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done() && GetTickCount64() < end) pumpMessages(20);
    return done();
}

namespace {

struct MenuAnswer {
    std::function<void(HMENU)> check;
    int position;
    ULONGLONG deadline;
};

std::unique_ptr<MenuAnswer> pendingMenu;

BOOL CALLBACK findMenuWindow(HWND window, LPARAM found) {
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (std::string(className) != "#32768" || !IsWindowVisible(window) || process != GetCurrentProcessId()) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK pollMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!pendingMenu) {
        KillTimer(nullptr, timer);
        return;
    }
    HWND menuWindow = nullptr;
    EnumWindows(findMenuWindow, reinterpret_cast<LPARAM>(&menuWindow));
    if (!menuWindow) {
        if (GetTickCount64() > pendingMenu->deadline) {
            ADD_FAILURE() << "no popup menu appeared";
            pendingMenu.reset();
            KillTimer(nullptr, timer);
        }
        return;
    }
    KillTimer(nullptr, timer);
    const std::unique_ptr<MenuAnswer> answer = std::move(pendingMenu);
    answer->check(reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0)));
    if (answer->position < 0) {
        PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
        return;
    }
    for (int i = 0; i <= answer->position; ++i) PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
}

}  // namespace

void answerNextMenu(std::function<void(HMENU)> check, int position, unsigned ms) {
    pendingMenu = std::make_unique<MenuAnswer>(MenuAnswer{std::move(check), position, GetTickCount64() + ms});
    SetTimer(nullptr, 0, 40, pollMenu);
}

void RecordsTest::SetUp() {
    MainWindowTest::SetUp();
    using namespace testing_support;
    ASSERT_EQ(db::store_transformer(transformerRecord("TX-100", "Maker Co", "S123"), db::kAddChecked), 0);
    db::SetupRecord setup = setupRecord("OPEN1 HV", "H1", "H0", "NONE", 3, 30.0f);
    setup.id = 1;
    ASSERT_EQ(db::store_setup(setup, db::kAddChecked), 0);
    db::EquipmentRecord equipment = equipmentRecord("Veltrona Ltd", "QMX74", "410-2718", "2030-01-31");
    equipment.id = 1;
    ASSERT_EQ(db::store_equipment(equipment, db::kAddChecked), 0);
    db::SweepRecord sweep = sweepRecord("Tap5 after repair", "2024-03-05", "10:30", 10, 21, db::kDataFra);
    sweep.transformerIdentifier = "TX-100";
    sweep.setupId = 1;
    sweep.equipmentId = 1;
    sweep.comments = "first";
    ASSERT_EQ(db::store_new_sweep(sweep, db::kAddChecked), 0);
}

std::vector<std::string> RecordsTest::rows(db::TableIndex table, const std::string& where) {
    std::vector<std::string> out;
    db::select_rows(out, table, db::allColumns(table), where, false);
    return out;
}

void SimulatorTest::connectTo(const instrument::InstrumentLink& simulator) {
    instrument::InstrumentLink& link = gui::instrumentLink();
    link = simulator;
    link.connected = instrument::connectAndIdentify(link, false);
    ASSERT_TRUE(link.connected);
    instrument::commsLogStart(dir.path());
    SendMessageA(main, WM_COMMAND, CMD_REFRESH_CONTROLS, 0);
}

void SimulatorTest::TearDown() {
    if (instrument::commsLogEnabled()) instrument::commsLogToggle();
    gui::instrumentLink() = instrument::InstrumentLink{};
    instrument::settingsTable() = instrument::makeSettingsTable();
    app::setCurrentEquipmentId(-1);
    RecordsTest::TearDown();
}

std::string SimulatorTest::traffic() { return testing_support::readFile(dir.file(instrument::kCommsLogFileName)); }

void screenshotIfAsked(HWND window, const std::string& name) {
    const char* folder = std::getenv("CORVANE_SCREENSHOTS");
    RECT r;
    if (!folder || !*folder || !GetWindowRect(window, &r)) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pumpMessages(300);
    const std::string crop = std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + "+" +
                             std::to_string(r.left) + "+" + std::to_string(r.top);
    runHostCommand("import -window root -crop " + crop + " +repage " +
                       shellQuoted(std::string(folder) + "/" + name + ".png"),
                   30000);
}

}  // namespace gui_testing
