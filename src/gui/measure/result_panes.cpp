// The FRA and LCR panes: view switching between the live readout, the graph and the table, and the
// results windows that paint the picture of the current view.
#include "gui/measure/result_panes.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "gui/app/layout.h"
#include "gui/app/main_window.h"
#include "gui/app/window_classes.h"
#include "gui/gdi_canvas.h"
#include "gui/resources/resource.h"
#include "gui/window_record.h"

namespace gui {
namespace {

enum View { kRealtime = 0, kGraph = 1, kTable = 2 };

// What differs between the two panes.
struct PaneKind {
    const char* resultsClass;
    int viewButtons[3];      // REALTIME, GRAPH, TABLE, in the order of View
    int startButton;
    int table;
    int firstGraphControl;   // the graph controls of the results window
    int lastGraphControl;
    int backgroundList;
    int controlsStripHeight; // the graph controls' strip below the picture
};

constexpr PaneKind kFra{kFraResultsClass, {IDC_FRA_VIEW_REALTIME, IDC_FRA_VIEW_GRAPH, IDC_FRA_VIEW_TABLE},
                        IDC_FRA_START, IDC_FRA_TABLE, IDC_FRA_CURSOR1, IDC_FRA_BACKGROUND, IDC_FRA_BACKGROUND, 100};
constexpr PaneKind kLcr{kLcrResultsClass, {IDC_LCR_VIEW_REALTIME, IDC_LCR_VIEW_GRAPH, IDC_LCR_VIEW_TABLE},
                        IDC_LCR_SWEEP, IDC_LCR_TABLE, IDC_LCR_CURSOR1, IDC_LCR_BACKGROUND, IDC_LCR_BACKGROUND, 40};

// A pane window's record: which pane it is and the view it shows.
struct Pane {
    const PaneKind& kind;
    View view = kGraph;
};

// The pane of a results window is its parent.
const Pane& paneOfResults(HWND resultsWindow) { return *windowRecord<Pane>(GetParent(resultsWindow)); }

void fillList(HWND window, int id, std::initializer_list<const char*> items, int selected) {
    HWND list = controlWindow(window, id);
    if (!list) return;
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const char* item : items) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(list, CB_SETCURSEL, selected, 0);
}

// The table's columns: the step column width W / stepDivisor, the others W / divisor each, W being
// the client width less a vertical scroll bar.
void addColumns(HWND window, int tableId, std::initializer_list<const wchar_t*> titles, double stepDivisor,
                double divisor) {
    HWND table = controlWindow(window, tableId);
    if (!table) return;
    RECT client;
    GetClientRect(table, &client);
    const int w = client.right - GetSystemMetrics(SM_CXVSCROLL);
    int index = 0;
    for (const wchar_t* title : titles) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(title);
        column.cx = static_cast<int>(w / (index == 0 ? stepDivisor : divisor));
        SendMessageW(table, LVM_INSERTCOLUMNW, index++, reinterpret_cast<LPARAM>(&column));
    }
}

// REALTIME, GRAPH or TABLE pressed: the START/SWEEP caption, the picture or the table, and the graph
// controls only in GRAPH mode.
void selectView(HWND window, View view) {
    Pane& pane = *windowRecord<Pane>(window);
    const PaneKind& kind = pane.kind;
    const bool changed = pane.view != view;
    pane.view = view;
    markSelected(window, kind.viewButtons[view], kind.viewButtons[kRealtime], kind.viewButtons[kTable]);
    SetWindowTextA(controlWindow(window, kind.startButton), view == kRealtime ? "START" : "SWEEP");
    HWND results = paneWindow(window, kind.resultsClass);
    ShowWindow(controlWindow(window, kind.table), view == kTable ? SW_SHOW : SW_HIDE);
    ShowWindow(results, view == kTable ? SW_HIDE : SW_SHOW);
    for (int id = kind.firstGraphControl; id <= kind.lastGraphControl; ++id)
        if (HWND control = controlWindow(window, id)) ShowWindow(control, view == kGraph ? SW_SHOW : SW_HIDE);
    if (changed) {
        PostMessageA(mainWindowOf(window), WM_COMMAND, CMD_REFRESH_CONTROLS, 0);
        InvalidateRect(results, nullptr, TRUE);
    }
}

// A view button pressed: the view it stands for; false for any other command.
bool onPaneCommand(HWND window, int id) {
    const PaneKind& kind = windowRecord<Pane>(window)->kind;
    for (View view : {kRealtime, kGraph, kTable})
        if (kind.viewButtons[view] == id) {
            selectView(window, view);
            return true;
        }
    return false;
}

LRESULT paneProc(const PaneKind& kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        attachRecord(window, new Pane{kind});
        break;
    case WM_COMMAND:
        if (onPaneCommand(window, LOWORD(wParam))) return 0;
        break;
    case WM_NCDESTROY:
        delete detachRecord<Pane>(window);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void paintResults(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const SIZE size = resultsPictureSize(window);
    if (size.cx > 0 && size.cy > 0) {
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, size.cx, size.cy);
        HGDIOBJ old = SelectObject(memory, bitmap);
        drawResults(window, memory, size.cx, size.cy);
        BitBlt(dc, 6, 6, size.cx, size.cy, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
    }
    EndPaint(window, &paint);
}

LRESULT resultsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paintResults(window);
        return 0;
    case WM_SIZE:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE || HIWORD(wParam) == BN_CLICKED) InvalidateRect(window, nullptr, TRUE);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The plot frame with the gain scale on the left and the phase scale on the right, at their limits
// before any sweep (-40 to +40 dB, -180 to +180 degrees), and the horizontal grid.
void drawFrameAndScales(HWND resultsWindow, analysis::Canvas& canvas, const analysis::Rect& plot, bool black,
                        bool gainAndPhase) {
    using analysis::rgb;
    canvas.selectPen({black ? rgb(0x55, 0x55, 0x55) : rgb(0xA9, 0xA9, 0xA9), 1, analysis::PenStyle::Dot});
    canvas.selectFont(canvasFont(resultsWindow, 0));
    const int span = plot.bottom - plot.top;
    for (int k = 0; k <= 8; ++k) {
        const int y = plot.bottom - k * span / 8;
        if (k > 0 && k < 8) canvas.line({plot.left, y}, {plot.right, y});
        if (!gainAndPhase) continue;
        char label[16];
        std::snprintf(label, sizeof label, "%.1f", -40.0 + k * 10.0);
        canvas.setTextColour(rgb(255, 0, 0));
        canvas.setTextAlign(analysis::kAlignRight | analysis::kAlignTop);
        canvas.textOut({50, y - 6}, label);
        std::snprintf(label, sizeof label, "%d", -180 + 45 * k);
        canvas.setTextColour(rgb(0, 0, 255));
        canvas.setTextAlign(analysis::kAlignLeft | analysis::kAlignTop);
        canvas.textOut({plot.right + 6, y - 6}, label);
    }
    canvas.selectPen({black ? rgb(0xA9, 0xA9, 0xA9) : rgb(0x55, 0x55, 0x55), 1, analysis::PenStyle::Solid});
    canvas.selectBrush(analysis::Brush::none());
    canvas.rectangle({plot.left, plot.top, plot.right + 1, plot.bottom + 1});
}

}  // namespace

void setUpResultControls(HWND window) {
    fillList(window, IDC_FRA_SCALING, {"Log Scaling", "Linear Scaling"}, 0);
    fillList(window, IDC_FRA_BACKGROUND, {"Black Background", "White Background"}, 0);
    SendMessageA(controlWindow(window, IDC_FRA_CENTRE_0DB), BM_SETCHECK, BST_UNCHECKED, 0);
    const std::initializer_list<const char*> quantities = {"ADMITTANCE", "ADMITTANCE PHASE", "IMPEDANCE",
                                                           "IMPEDANCE PHASE",  "L", "C", "R"};
    fillList(window, IDC_LCR_LEFT_AXIS, quantities, 0);
    fillList(window, IDC_LCR_RIGHT_AXIS, quantities, 1);
    fillList(window, IDC_LCR_SCALING, {"Log Scaling", "Linear Scaling"}, 0);
    fillList(window, IDC_LCR_BACKGROUND, {"Black Background", "White Background"}, 0);
    addColumns(window, IDC_FRA_TABLE, {L"Step", L"Frequency (Hz)", L"Magnitude 1 (V)", L"Magnitude 2 (V)",
                                       L"Gain (dB)", L"Phase (\u00B0)"}, 24, 5.15);
    addColumns(window, IDC_LCR_TABLE, {L"Steps", L"Frequency (Hz)", L"Admittance", L"Admittance Phase (\u00B0)",
                                       L"Impedance (Ohms)", L"Impedance Phase (\u00B0)", L"L (H)", L"C (F)",
                                       L"R (Ohms)"}, 18, 8.15);
}

SIZE resultsPictureSize(HWND resultsWindow) {
    RECT client;
    GetClientRect(resultsWindow, &client);
    const Pane& pane = paneOfResults(resultsWindow);
    const int strip = pane.view == kGraph ? pane.kind.controlsStripHeight : 0;
    return {client.right - 12, client.bottom - 6 - strip - 6};
}

// The graph's frame and axis titles on its background; the curves, axes and cursors of a sweep are
// drawn over them once a sweep is displayed.
void drawResults(HWND resultsWindow, HDC dc, int width, int height) {
    using analysis::rgb;
    const Pane& pane = paneOfResults(resultsWindow);
    const bool fra = &pane.kind == &kFra;
    GdiCanvas canvas(dc);
    const analysis::Rect all{0, 0, width, height};
    if (pane.view != kGraph) {
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        canvas.fillRect(all, rgb(GetRValue(face), GetGValue(face), GetBValue(face)));
        return;
    }
    const bool black =
        SendMessageA(controlWindow(resultsWindow, pane.kind.backgroundList), CB_GETCURSEL, 0, 0) != 1;
    canvas.fillRect(all, black ? analysis::kBlack : analysis::kWhite);
    const analysis::Rect plot{fra ? 60 : 80, 10, width - 60, height - 80};
    if (plot.right > plot.left && plot.bottom > plot.top)
        drawFrameAndScales(resultsWindow, canvas, plot, black, fra);
    const int middle = (plot.top + plot.bottom) / 2;
    canvas.selectFont(canvasFont(resultsWindow, 1));
    canvas.setTextColour(black ? analysis::kWhite : analysis::kBlack);
    canvas.setTextAlign(analysis::kAlignCenter | analysis::kAlignTop);
    canvas.textOut({(plot.left + plot.right) / 2, height - 30}, "FREQUENCY (Hz)");
    if (!fra) return;
    canvas.setTextAlign(analysis::kAlignCenter | analysis::kAlignBottom);
    canvas.selectFont(canvasFont(resultsWindow, 9));
    canvas.setTextColour(rgb(255, 0, 0));
    canvas.textOut({20, middle}, "GAIN (dB)");
    canvas.selectFont(canvasFont(resultsWindow, 8));
    canvas.setTextColour(rgb(0, 0, 255));
    canvas.textOut({width - 20, middle}, "PHASE (\u00B0)");
}

LRESULT CALLBACK fraPaneProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return paneProc(kFra, w, m, wp, lp); }
LRESULT CALLBACK lcrPaneProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return paneProc(kLcr, w, m, wp, lp); }
LRESULT CALLBACK fraResultsProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return resultsProc(w, m, wp, lp); }
LRESULT CALLBACK lcrResultsProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return resultsProc(w, m, wp, lp); }

}  // namespace gui
