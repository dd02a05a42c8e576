// The instrument settings strip: its page buttons select the page whose title heads the strip and
// whose rows (a right-aligned label and a drop-down list or an edit) edit the settings table.
#include "gui/instrument/settings_strip.h"

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "gui/app/layout.h"
#include "gui/app/window_classes.h"
#include "gui/dialog_fields.h"
#include "gui/resources/resource.h"
#include "gui/resources/settings_page_ids.h"
#include "gui/window_record.h"
#include "instrument/settings_pages.h"
#include "platform/prompter.h"
#include "platform/win32/wide_text.h"

namespace gui {
namespace {

// One row of a page: its label, the table item it edits, its control and, for a few number boxes,
// an up-down control.
struct Row {
    const char* label;
    const char* item;
    int id;
    int spinId = 0;
};

struct Page {
    int button;
    int number;
    const char* title;
    std::vector<Row> rows;
};

const std::vector<Page>& pages() {
    static const std::vector<Page> kPages = {
        {IDC_PAGE_ACQU, 0, "Acquisition Control", {
            {"Mode", "Acqu:mode", IDC_ACQU_MODE},
            {"Speed", "Acqu:speed", IDC_ACQU_SPEED},
            {"Window", "Acqu:window", IDC_ACQU_WINDOW},
            {"Minimum Cycles", "Acqu:mCyc", IDC_ACQU_MIN_CYCLES, IDC_ACQU_MIN_CYCLES_SPIN},
            {"Delay", "Acqu:delay", IDC_ACQU_DELAY, IDC_ACQU_DELAY_SPIN},
            {"Filter", "Acqu:filter", IDC_ACQU_FILTER},
            {"Bandwidth", "Mode:SCO:Bandwidth", IDC_ACQU_BANDWIDTH},
            {"Graph", "Mode:FRA:Graph", IDC_ACQU_GRAPH},
            {"Computation", "Mode:FRA:Compu", IDC_ACQU_COMPUTATION},
            {"Timebase", "Mode:SCO:Timebase", IDC_ACQU_TIMEBASE},
            {"Trigger Level", "Mode:SCO:TrigLvl", IDC_ACQU_TRIGGER_LEVEL},
            {"Trigger Mode", "Mode:SCO:TrigMode", IDC_ACQU_TRIGGER_MODE},
            {"Trigger Polarity", "Mode:SCO:TrigPol", IDC_ACQU_TRIGGER_POLARITY},
            {"Pretrigger", "Mode:SCO:Pretrig", IDC_ACQU_PRETRIGGER},
            {"Traces", "Mode:SCO:Traces", IDC_ACQU_TRACES},
            {"Trigger Channel", "Mode:SCO:TrigChan", IDC_ACQU_TRIGGER_CHANNEL},
        }},
        {IDC_PAGE_SWEEP, 1, "Sweep Settings", {
            {"Display", "Sweep:Display", IDC_SWEEP_DISPLAY},
            {"Sweep Start", "Sweep:Start", IDC_SWEEP_START},
            {"Sweep End", "Sweep:End", IDC_SWEEP_END},
            {"Sweep Steps", "Sweep:Steps", IDC_SWEEP_STEPS, IDC_SWEEP_STEPS_SPIN},
            {"Sweep Type", "Sweep:Scale", IDC_SWEEP_SCALE},
            {"Sweep Type", "Sweep:Type", IDC_SWEEP_TYPE},
            {"Peak Hold", "Sweep:PeakHold", IDC_SWEEP_PEAK_HOLD},
            {"Gain Graph Scaling", "Sweep:GainScale", IDC_SWEEP_GAIN_SCALE},
            {"Gain Max", "Sweep:GainMax", IDC_SWEEP_GAIN_MAX},
            {"Gain Min", "Sweep:GainMin", IDC_SWEEP_GAIN_MIN},
            {"Phase Scale", "Sweep:PhaseScale", IDC_SWEEP_PHASE_SCALE},
            {"Phase Max", "Sweep:PhaseMax", IDC_SWEEP_PHASE_MAX},
            {"Phase Min", "Sweep:PhaseMin", IDC_SWEEP_PHASE_MIN},
            {"Frequency Mark", "Sweep:FrequencyMark", IDC_SWEEP_FREQUENCY_MARK},
            {"Marker 1", "Sweep:Marker1", IDC_SWEEP_MARKER1},
            {"Marker 2", "Sweep:Marker2", IDC_SWEEP_MARKER2},
            {"Search Peak", "Sweep:SearchPeak1", IDC_SWEEP_SEARCH_PEAK},
        }},
        {IDC_PAGE_TRIM, 2, "Trim Control", {
            {"AC Trim Data", "Trim:ACTrim", IDC_TRIM_AC_TRIM},
            {"AC Level", "Trim:ACLevel", IDC_TRIM_AC_LEVEL},
            {"Tolerance", "Trim:Tolerance", IDC_TRIM_TOLERANCE},
        }},
        {IDC_PAGE_OUT, 6, "Generator Settings", {
            {"Amplitude Control", "Out:AmpCtl", IDC_OUT_AMP_CONTROL},
            {"Low Output Amplitude", "Out:LoAmp1", IDC_OUT_LOW_AMP1},
            {"Amplitude Step", "Out:AmpStep1", IDC_OUT_AMP_STEP1},
            {"Low Output Amplitude", "Out:LoAmp2", IDC_OUT_LOW_AMP2},
            {"Amplitude Step", "Out:AmpStep2", IDC_OUT_AMP_STEP2},
            {"Waveform", "Out:Wave", IDC_OUT_WAVEFORM},
            {"Generator Freq.", "Out:GenFrequency", IDC_OUT_GEN_FREQUENCY},
            {"Step Type", "Out:StepType", IDC_OUT_STEP_TYPE},
            {"Frequency Step", "Out:FreqStep1", IDC_OUT_FREQ_STEP1},
            {"Frequency Step", "Out:FreqStep2", IDC_OUT_FREQ_STEP2},
            {"Output", "Out:Output", IDC_OUT_OUTPUT},
        }},
        {IDC_PAGE_CH1, 7, "Input Settings CH1", {
            {"Impedance", "Chan:Impedance", IDC_CH1_IMPEDANCE},
            {"Scale Factor", "Chan:ScaleFactor1", IDC_CH1_SCALE_FACTOR},
            {"Ch1 Input Ranging", "Chan:InRange1", IDC_CH1_INPUT_RANGING},
            {"Ch1 Input Range", "Chan:Range1", IDC_CH1_INPUT_RANGE},
            {"Input", "Chan:Input", IDC_CH1_INPUT},
        }},
        {IDC_PAGE_CH2, 8, "Input Settings CH2", {
            {"Scale Factor", "Chan:ScaleFactor2", IDC_CH2_SCALE_FACTOR},
            {"Ch2 Input Ranging", "Chan:InRange2", IDC_CH2_INPUT_RANGING},
            {"Ch2 Input Range", "Chan:Range2", IDC_CH2_INPUT_RANGE},
            {"Input", "Chan:Input2", IDC_CH2_INPUT},
        }},
        {IDC_PAGE_SYS, 9, "System Settings", {
            {"Initial Setting", "Sys:InitSet", IDC_SYS_INITIAL_SETTING},
            {"Brightness", "Sys:Brightness", IDC_SYS_BRIGHTNESS},
            {"Display", "Sys:Display", IDC_SYS_DISPLAY},
            {"Enlarge Results", "Sys:Enlarge", IDC_SYS_ENLARGE},
            {"Phase Convention", "Sys:PhaseCon", IDC_SYS_PHASE_CONVENTION},
            {"Keyboard Beep", "Sys:Beep", IDC_SYS_BEEP},
            {"Step Message", "Sys:StepMessage", IDC_SYS_STEP_MESSAGE},
            {"Language", "Sys:Language", IDC_SYS_LANGUAGE},
        }},
        {IDC_PAGE_MODE, 10, "Measurement Settings", {
            {"Mode", "Acqu:mode", IDC_MODE_MODE},
            {"Computation", "Mode:FRA:Compu", IDC_MODE_COMPUTATION},
            {"Offset", "Mode:FRA:Offset", IDC_MODE_OFFSET},
            {"Graph", "Mode:FRA:Graph", IDC_MODE_FRA_GRAPH},
            {"Measurement", "Mode:IMP:Measure", IDC_MODE_MEASUREMENT},
            {"Graph", "Mode:IMP:Graph", IDC_MODE_IMP_GRAPH},
            {"Timebase", "Mode:SCO:Timebase", IDC_MODE_TIMEBASE},
            {"Trigger Level", "Mode:SCO:TrigLvl", IDC_MODE_TRIGGER_LEVEL},
            {"Trigger Mode", "Mode:SCO:TrigMode", IDC_MODE_TRIGGER_MODE},
            {"Trigger Polarity", "Mode:SCO:TrigPol", IDC_MODE_TRIGGER_POLARITY},
            {"Pretrigger", "Mode:SCO:Pretrig", IDC_MODE_PRETRIGGER},
            {"Traces", "Mode:SCO:Traces", IDC_MODE_TRACES},
            {"Trigger Channel", "Mode:SCO:TrigChan", IDC_MODE_TRIGGER_CHANNEL},
            {"Bandwidth", "Mode:SCO:Bandwidth", IDC_MODE_BANDWIDTH},
        }},
    };
    return kPages;
}

// The slot grid right of the page buttons and below the title: three columns of six rows, filled
// column by column with the rows the page shows.
constexpr int kGridLeft = 258;
constexpr int kGridTop = 32;
constexpr int kRowsPerColumn = 6;
constexpr int kRowPitch = 22;
constexpr int kColumnPitch = 246;
constexpr int kLabelWidth = 108;   // the longest label, "Low Output Amplitude"
constexpr int kLabelGap = 4;
constexpr int kControlWidth = 130;  // the longest choice shown whole, "Frequency Response"
constexpr int kControlHeight = 20;
constexpr int kSpinWidth = 16;
constexpr int kDropDownHeight = 220;  // the list when dropped
constexpr int kDroppedWidth = 170;    // wide enough for the longest choice

// The windows of one row once its page has been shown. The row's item is looked up in the table each
// time, so that a table replaced as a whole never leaves a row pointing into the old one.
struct RowWindows {
    const Row* row;
    HWND label = nullptr;
    HWND control = nullptr;
    HWND spin = nullptr;
    bool isList = false;

    instrument::InstrumentSetting* setting() const {
        return instrument::findSetting(instrument::settingsTable(), row->item);
    }
};

// The strip window's record.
struct SettingsStrip {
    int page = 0;
    std::map<int, std::vector<RowWindows>> built;  // page number: its rows, made on first display
    bool filling = false;                          // the program is setting the controls' texts
};

HWND stripWindow(HWND window) { return paneWindow(window, kConfigClass); }
SettingsStrip* stripOf(HWND window) { return windowRecord<SettingsStrip>(stripWindow(window)); }

const Page* pageOf(int number) {
    for (const Page& p : pages())
        if (p.number == number) return &p;
    return nullptr;
}

// A hidden child of the strip in the strip's normal font (that of a page button never selected).
HWND makeChild(HWND strip, const char* className, DWORD style, int id) {
    HWND child = CreateWindowExA(0, className, "", WS_CHILD | style, 0, 0, 0, 0, strip,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), programInstance(), nullptr);
    SendMessageA(child, WM_SETFONT, SendMessageA(controlWindow(strip, IDC_PAGE_COMMS), WM_GETFONT, 0, 0), FALSE);
    return child;
}

// The label and control of every row; a list gets the item's labels, a box its limits.
std::vector<RowWindows> buildPage(HWND strip, const Page& page) {
    std::vector<RowWindows> rows;
    for (const Row& row : page.rows) {
        RowWindows w{&row};
        const instrument::InstrumentSetting* setting = w.setting();
        if (!setting) continue;
        w.label = makeChild(strip, WC_STATICA, SS_RIGHT | SS_CENTERIMAGE, IDC_SETTING_LABEL);
        SetWindowTextA(w.label, row.label);
        w.isList = setting->kind == instrument::Kind::Choice;
        if (w.isList) {
            w.control = makeChild(strip, WC_COMBOBOXA, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, row.id);
            // The labels are UTF-8 ("-180° to 180°").
            for (const char* option : setting->options)
                SendMessageW(w.control, CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(platform::win32::widen(option).c_str()));
            SendMessageA(w.control, CB_SETDROPPEDWIDTH, kDroppedWidth, 0);
        } else {
            const DWORD number = setting->kind == instrument::Kind::Number ? ES_NUMBER : 0;
            w.control = makeChild(strip, WC_EDITA, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | number, row.id);
            SendMessageA(w.control, EM_LIMITTEXT, instrument::kMaxItemText, 0);
        }
        if (row.spinId) {
            w.spin = makeChild(strip, UPDOWN_CLASSA, UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, row.spinId);
            SendMessageA(w.spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(w.control), 0);
            SendMessageA(w.spin, UDM_SETRANGE32, static_cast<WPARAM>(setting->minimum),
                         static_cast<LPARAM>(setting->maximum));
        }
        rows.push_back(w);
    }
    return rows;
}

void showRow(const RowWindows& w, bool visible) {
    for (HWND h : {w.label, w.control, w.spin})
        if (h) ShowWindow(h, visible ? SW_SHOWNA : SW_HIDE);
}

// Places the row in slot n of the grid.
void placeRow(const RowWindows& w, int slot) {
    const int x = kGridLeft + (slot / kRowsPerColumn) * kColumnPitch;
    const int y = kGridTop + (slot % kRowsPerColumn) * kRowPitch;
    MoveWindow(w.label, x, y, kLabelWidth, kControlHeight, FALSE);
    const int controlX = x + kLabelWidth + kLabelGap;
    const int controlWidth = w.spin ? kControlWidth - kSpinWidth : kControlWidth;
    MoveWindow(w.control, controlX, y, controlWidth, w.isList ? kDropDownHeight : kControlHeight, FALSE);
    if (w.spin) MoveWindow(w.spin, controlX + controlWidth, y, kSpinWidth, kControlHeight, FALSE);
}

// Shows what the table holds in a row's control.
void fillRow(const RowWindows& w) {
    const instrument::InstrumentSetting& s = *w.setting();
    if (w.isList) {
        const bool labelled = s.value >= 0 && s.value < static_cast<int>(s.options.size());
        SendMessageA(w.control, CB_SETCURSEL, labelled ? s.value : -1, 0);
        return;
    }
    setControlText(GetParent(w.control), w.row->id, s.shownValue());
}

// Lays the page's shown rows out in the grid and fills them from the table; the rows it does not
// show, and every other page's, are hidden.
void drawPage(HWND strip, SettingsStrip& state) {
    const std::vector<instrument::InstrumentSetting>& table = instrument::settingsTable();
    const bool enabled = IsWindowEnabled(strip) != FALSE;
    state.filling = true;
    for (auto& [number, rows] : state.built) {
        int slot = 0;
        for (const RowWindows& w : rows) {
            const bool visible = number == state.page && instrument::itemShown(table, w.row->item);
            if (visible) {
                placeRow(w, slot++);
                fillRow(w);
                for (HWND h : {w.label, w.control, w.spin})
                    if (h) EnableWindow(h, enabled);
            }
            showRow(w, visible);
        }
    }
    state.filling = false;
    InvalidateRect(strip, nullptr, TRUE);
}

RowWindows* rowOf(SettingsStrip& state, int id) {
    auto page = state.built.find(state.page);
    if (page == state.built.end()) return nullptr;
    for (RowWindows& w : page->second)
        if (w.row->id == id) return &w;
    return nullptr;
}

// A choice was made in one of the page's lists: every list of the page is read, and a change to an
// item that shows or hides others lays the page out again, the focus staying in the list used.
void onSelectionChange(HWND strip, SettingsStrip& state, int id) {
    bool reshaped = false;
    for (RowWindows& w : state.built[state.page]) {
        if (!w.isList || !IsWindowVisible(w.control)) continue;
        const int position = static_cast<int>(SendMessageA(w.control, CB_GETCURSEL, 0, 0));
        if (instrument::applyChoice(*w.setting(), position) && instrument::shapesPages(w.row->item)) reshaped = true;
    }
    if (!reshaped) return;
    drawPage(strip, state);
    if (RowWindows* used = rowOf(state, id)) SetFocus(used->control);
}

// Text typed into a box becomes the item's, unless its check refuses it: the box then shows the
// item's text again.
void onEditChange(SettingsStrip& state, int id) {
    RowWindows* w = rowOf(state, id);
    if (state.filling || !w) return;
    const instrument::EditResult result = instrument::applyEdit(*w->setting(), controlText(GetParent(w->control), id));
    if (result.refusal.empty()) return;
    platform::showMessage(result.refusal, "Incorrect Value", platform::Icon::None);
    state.filling = true;
    setControlText(GetParent(w->control), id, w->setting()->shownValue());
    SendMessageA(w->control, EM_SETSEL, GetWindowTextLengthA(w->control), GetWindowTextLengthA(w->control));
    state.filling = false;
}

bool onCommand(HWND strip, int id, int code) {
    SettingsStrip* state = windowRecord<SettingsStrip>(strip);
    if (!state) return false;
    for (const Page& p : pages())
        if (p.button == id) {
            showPage(strip, p.number);
            return true;
        }
    if (code == CBN_SELCHANGE) onSelectionChange(strip, *state, id);
    else if (code == EN_CHANGE) onEditChange(*state, id);
    else return false;
    return true;
}

}  // namespace

void showPage(HWND window, int number) {
    const Page* p = pageOf(number);
    SettingsStrip* state = stripOf(window);
    if (!p || !state) return;
    HWND strip = stripWindow(window);
    state->page = number;
    SetWindowTextA(controlWindow(window, IDC_SETTINGS_TITLE), (std::string("Configuration: ") + p->title).c_str());
    markSelected(window, p->button, IDC_PAGE_ACQU, IDC_PAGE_PROG);
    if (!state->built.count(number)) state->built[number] = buildPage(strip, *p);
    drawPage(strip, *state);
}

void redrawCurrentPage(HWND window) {
    if (const SettingsStrip* state = stripOf(window)) showPage(window, state->page);
}

instrument::InstrumentSetting* pageControlSetting(HWND window, int id) {
    SettingsStrip* state = stripOf(window);
    RowWindows* w = state ? rowOf(*state, id) : nullptr;
    return w ? w->setting() : nullptr;
}

LRESULT CALLBACK settingsStripProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        attachRecord(window, new SettingsStrip);
        break;
    case WM_COMMAND:
        if (onCommand(window, LOWORD(wParam), HIWORD(wParam))) return 0;
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
