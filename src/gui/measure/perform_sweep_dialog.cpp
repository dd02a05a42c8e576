// The Perform Sweep dialog: its fields, live checks, pickers and New buttons, the confirmation, and
// its fit on a screen lower than the dialog.
#include "gui/measure/perform_sweep_dialog.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/instrument_registration.h"
#include "db/database_files.h"
#include "db/record_lookup.h"
#include "db/record_store.h"
#include "gui/db/sweep_details.h"
#include "gui/instrument/instrument_link.h"
#include "gui/resources/dialog_ids.h"
#include "instrument/settings.h"

namespace gui {
namespace {

constexpr int kWindowSpeed = 5;       // the speed option that uses the window setting
constexpr int kScrollLinePixels = 20;
constexpr int kWheelLines = 3;

// The controls of the sweep details, which "Save Sweep to Database" enables.
constexpr int kDetailControls[] = {
    IDC_DETAILS_ID,          IDC_DETAILS_NAME,        IDC_DETAILS_NAME_STATUS,     IDC_DETAILS_PEAK_VOLTAGE,
    IDC_DETAILS_TEMPERATURE, IDC_DETAILS_TRANSFORMER, IDC_DETAILS_NEW_TRANSFORMER, IDC_DETAILS_SETUP,
    IDC_DETAILS_NEW_SETUP,   IDC_DETAILS_COMMENTS,
};

struct PerformSweep final : SweepDetailsDialog {
    PerformSweep(measure::SweepKind kind, measure::PendingSweep& pending) : kind(kind), pending(pending) {}

    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM) override;
    bool onMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM) override;
    measure::NameStatus checkName(const std::string& name) const override {
        return measure::checkSweepName(name, sweepNames);
    }
    int checkValue(const std::string& value) const override { return measure::checkValueField(value); }
    void onAdded(HWND dialog, SweepPart part) override;

    measure::SweepKind kind;
    measure::PendingSweep& pending;
    measure::SweepSetupFields opened;   // the settings as the dialog opened
    std::vector<std::string> sweepNames;
    bool databaseOpen = false;
    int contentHeight = 0;  // the client height the layout needs; above the window's, it scrolls
    int scrolled = 0;       // pixels scrolled down
};

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void applyDetailsEnabling(HWND dialog, const PerformSweep& s) {
    const bool details = s.databaseOpen && checked(dialog, IDC_PERFORM_SAVE);
    enableControl(dialog, IDC_PERFORM_SAVE, s.databaseOpen);
    for (int id : kDetailControls) enableControl(dialog, id, details);
    // The equipment is the connected instrument's, or one added here: never picked.
    enableControl(dialog, IDC_DETAILS_EQUIPMENT, false);
    enableControl(dialog, IDC_DETAILS_NEW_EQUIPMENT, details && s.choices.equipmentId < 0);
}

void showSettings(HWND dialog, const measure::SweepSetupFields& f) {
    setControlText(dialog, IDC_PERFORM_STEPS, f.steps);
    setControlText(dialog, IDC_PERFORM_START, f.start);
    setControlText(dialog, IDC_PERFORM_END, f.end);
    setControlText(dialog, IDC_PERFORM_MIN_CYCLES, f.minCycles);
    if (const instrument::InstrumentSetting* speed = instrument::findSetting(instrument::settingsTable(), "Acqu:speed"))
        for (const char* option : speed->options) SendDlgItemMessageA(dialog, IDC_PERFORM_SPEED, CB_ADDSTRING, 0,
                                                                      reinterpret_cast<LPARAM>(option));
    SendDlgItemMessageW(dialog, IDC_PERFORM_SPEED, CB_SETCURSEL, f.speed, 0);
    setControlText(dialog, IDC_PERFORM_WINDOW, f.window);
    showControl(dialog, IDC_PERFORM_WINDOW, f.speed == kWindowSpeed);
}

// --- Scrolling on a low screen --------------------------------------------------------------------

void scrollTo(HWND dialog, PerformSweep& s, int position) {
    RECT client;
    GetClientRect(dialog, &client);
    const int last = std::max(0, s.contentHeight - static_cast<int>(client.bottom));
    position = std::clamp(position, 0, last);
    if (position == s.scrolled) return;
    ScrollWindowEx(dialog, 0, s.scrolled - position, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    s.scrolled = position;
    SetScrollPos(dialog, SB_VERT, position, TRUE);
}

// A dialog taller than the work area is cut to it and scrolls; it grows by the scroll bar's width.
void fitToWorkArea(HWND dialog, PerformSweep& s) {
    RECT work, window, client;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    const int workHeight = work.bottom - work.top;
    if (window.bottom - window.top <= workHeight) return;
    s.contentHeight = client.bottom;
    SetWindowLongW(dialog, GWL_STYLE, GetWindowLongW(dialog, GWL_STYLE) | WS_VSCROLL);
    SetWindowPos(dialog, nullptr, window.left, work.top, window.right - window.left + GetSystemMetrics(SM_CXVSCROLL),
                 workHeight, SWP_NOZORDER | SWP_FRAMECHANGED);
    GetClientRect(dialog, &client);
    SCROLLINFO bar{};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    bar.nMax = s.contentHeight - 1;
    bar.nPage = static_cast<UINT>(client.bottom);
    SetScrollInfo(dialog, SB_VERT, &bar, TRUE);
}

// thumb: where the thumb is being dragged (the scroll bar's own report, or UI automation's).
void onVScroll(HWND dialog, PerformSweep& s, int request, int thumb) {
    SCROLLINFO bar{};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_PAGE;
    GetScrollInfo(dialog, SB_VERT, &bar);
    int position = s.scrolled;
    switch (request) {
    case SB_LINEUP: position -= kScrollLinePixels; break;
    case SB_LINEDOWN: position += kScrollLinePixels; break;
    case SB_PAGEUP: position -= static_cast<int>(bar.nPage); break;
    case SB_PAGEDOWN: position += static_cast<int>(bar.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = thumb; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = s.contentHeight; break;
    default: return;
    }
    scrollTo(dialog, s, position);
}

void onMouseWheel(HWND dialog, PerformSweep& s, int wheelDelta) {
    if (s.contentHeight == 0) return;
    scrollTo(dialog, s, s.scrolled - wheelDelta * kWheelLines * kScrollLinePixels / WHEEL_DELTA);
}

// --- Fields ---------------------------------------------------------------------------------------

void onSpeedChosen(HWND dialog) {
    const LRESULT speed = SendDlgItemMessageW(dialog, IDC_PERFORM_SPEED, CB_GETCURSEL, 0, 0);
    showControl(dialog, IDC_PERFORM_WINDOW, speed == kWindowSpeed);
}

measure::SweepSetupFields readFields(HWND dialog, const PerformSweep& s) {
    measure::SweepSetupFields f;
    f.steps = controlText(dialog, IDC_PERFORM_STEPS);
    f.start = controlText(dialog, IDC_PERFORM_START);
    f.end = controlText(dialog, IDC_PERFORM_END);
    f.minCycles = controlText(dialog, IDC_PERFORM_MIN_CYCLES);
    const LRESULT speed = SendDlgItemMessageW(dialog, IDC_PERFORM_SPEED, CB_GETCURSEL, 0, 0);
    f.speed = speed == CB_ERR ? s.opened.speed : static_cast<int>(speed);
    f.window = controlText(dialog, IDC_PERFORM_WINDOW);
    f.save = s.databaseOpen && checked(dialog, IDC_PERFORM_SAVE);
    s.readDetails(dialog, f);
    return f;
}

void onConfirm(HWND dialog, PerformSweep& s) {
    measure::SetupFocus focus = measure::SetupFocus::None;
    if (measure::confirmSweepSetup(readFields(dialog, s), s.kind, s.sweepNames, instrument::settingsTable(), s.pending,
                                   instrumentLink(), &focus)) {
        EndDialog(dialog, IDOK);
        return;
    }
    switch (focus) {
    case measure::SetupFocus::Name: focusControl(dialog, IDC_DETAILS_NAME); break;
    case measure::SetupFocus::PeakVoltage: focusControl(dialog, IDC_DETAILS_PEAK_VOLTAGE); break;
    case measure::SetupFocus::Temperature: focusControl(dialog, IDC_DETAILS_TEMPERATURE); break;
    case measure::SetupFocus::None: break;
    }
}

// --- The dialog's messages -----------------------------------------------------------------------

bool PerformSweep::onInit(HWND dialog) {
    setUpDetails(dialog);
    limitText(dialog, IDC_PERFORM_WINDOW, static_cast<int>(instrument::kMaxItemText));
    CheckDlgButton(dialog, IDC_PERFORM_SAVE, BST_CHECKED);

    databaseOpen = db::databaseIsOpen();
    if (databaseOpen) {
        setControlText(dialog, IDC_DETAILS_ID, std::to_string(db::next_row_id(db::TableIndex::Sweep)));
        db::select_rows(sweepNames, db::TableIndex::Sweep, {4}, "", false);
    } else {
        // Nothing can be stored: the sweep runs unsaved rather than asking for details no one can enter.
        CheckDlgButton(dialog, IDC_PERFORM_SAVE, BST_UNCHECKED);
    }

    opened = measure::openSweepSetup(instrument::settingsTable(), app::currentEquipmentId());
    showSettings(dialog, opened);

    // The default equipment counts only where it is a row of this database; otherwise the sweep
    // could not name its equipment and the user could not add one.
    choices.equipmentId = opened.equipmentId;
    if (databaseOpen && choices.equipmentId >= 0 && db::equipmentText(choices.equipmentId).empty())
        choices.equipmentId = -1;
    if (databaseOpen) showChoice(dialog, SweepPart::Equipment);
    applyDetailsEnabling(dialog, *this);
    fitToWorkArea(dialog, *this);
    return true;
}

bool PerformSweep::onCommand(HWND dialog, int id, int code, LPARAM) {
    if (onDetailsCommand(dialog, id, code)) return true;
    switch (id) {
    case IDC_PERFORM_SPEED:
        if (code == CBN_SELCHANGE) onSpeedChosen(dialog);
        return true;
    case IDC_PERFORM_SAVE:
        if (code == BN_CLICKED) applyDetailsEnabling(dialog, *this);
        return true;
    case IDOK: onConfirm(dialog, *this); return true;
    default: return false;
    }
}

// An equipment added here is the default equipment from now on, which no "New" can replace.
void PerformSweep::onAdded(HWND dialog, SweepPart part) {
    if (part != SweepPart::Equipment) return;
    app::setCurrentEquipmentId(choices.equipmentId);
    applyDetailsEnabling(dialog, *this);
}

bool PerformSweep::onMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_VSCROLL:
        onVScroll(dialog, *this, LOWORD(wParam), HIWORD(wParam));
        return true;
    case WM_MOUSEWHEEL:
        onMouseWheel(dialog, *this, GET_WHEEL_DELTA_WPARAM(wParam));
        return true;
    default:
        return false;
    }
}

}  // namespace

bool runPerformSweep(HWND owner, measure::SweepKind kind, measure::PendingSweep& pending) {
    PerformSweep dialog(kind, pending);
    return dialog.run(owner, IDD_PERFORM_SWEEP) == IDOK;
}

}  // namespace gui
