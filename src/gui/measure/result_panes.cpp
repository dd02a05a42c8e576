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

namespace gui {
namespace {

enum View { kRealtime = 0, kGraph = 1, kTable = 2 };

// What differs between the two panes.
struct PaneKind {
    const char* paneClass;
    const char* resultsClass;
    int firstViewButton;     // REALTIME; GRAPH and TABLE follow
    int startButton;
    int table;
    int firstGraphControl;   // the graph controls of the results window
    int lastGraphControl;
    int backgroundList;
    int controlsStripHeight; // the graph controls' strip below the picture
    View view;
};

PaneKind fra{kFraClass, kFraResultsClass, 10202, 10206, 10200, 10301, 10307, 10307, 100, kGraph};
PaneKind lcr{kLcrClass, kLcrResultsClass, 10402, 10406, 10400, 10501, 10506, 10506, 40, kGraph};

PaneKind* kindOfResults(HWND resultsWindow) {
    return GetParent(resultsWindow) == paneWindow(kLcrClass) ? &lcr : &fra;
}

void fillList(int id, std::initializer_list<const char*> items, int selected) {
    HWND list = controlWindow(id);
    if (!list) return;
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const char* item : items) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(list, CB_SETCURSEL, selected, 0);
}

// The table's columns: the step column width W / stepDivisor, the others W / divisor each, W being
// the client width less a vertical scroll bar.
void addColumns(int tableId, std::initializer_list<const wchar_t*> titles, double stepDivisor, double divisor) {
    HWND table = controlWindow(tableId);
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
void selectView(PaneKind& kind, View view) {
    const bool changed = kind.view != view;
    kind.view = view;
    markSelected(kind.firstViewButton + view, kind.firstViewButton, kind.firstViewButton + 2);
    SetWindowTextA(controlWindow(kind.startButton), view == kRealtime ? "START" : "SWEEP");
    HWND results = paneWindow(kind.resultsClass);
    ShowWindow(controlWindow(kind.table), view == kTable ? SW_SHOW : SW_HIDE);
    ShowWindow(results, view == kTable ? SW_HIDE : SW_SHOW);
    for (int id = kind.firstGraphControl; id <= kind.lastGraphControl; ++id)
        if (HWND control = controlWindow(id)) ShowWindow(control, view == kGraph ? SW_SHOW : SW_HIDE);
    if (changed) {
        PostMessageA(mainWindow(), WM_COMMAND, CMD_REFRESH_CONTROLS, 0);
        InvalidateRect(results, nullptr, TRUE);
    }
}

LRESULT paneProc(PaneKind& kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        if (id >= kind.firstViewButton && id <= kind.firstViewButton + 2) {
            selectView(kind, static_cast<View>(id - kind.firstViewButton));
            return 0;
        }
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
void drawFrameAndScales(analysis::Canvas& canvas, const analysis::Rect& plot, bool black, bool gainAndPhase) {
    using analysis::rgb;
    canvas.selectPen({black ? rgb(0x55, 0x55, 0x55) : rgb(0xA9, 0xA9, 0xA9), 1, analysis::PenStyle::Dot});
    canvas.selectFont(canvasFont(0));
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

void setUpResultControls() {
    fillList(10306, {"Log Scaling", "Linear Scaling"}, 0);
    fillList(10307, {"Black Background", "White Background"}, 0);
    SendMessageA(controlWindow(10304), BM_SETCHECK, BST_UNCHECKED, 0);
    const std::initializer_list<const char*> quantities = {"ADMITTANCE", "ADMITTANCE PHASE", "IMPEDANCE",
                                                           "IMPEDANCE PHASE",  "L", "C", "R"};
    fillList(10503, quantities, 0);
    fillList(10504, quantities, 1);
    fillList(10505, {"Log Scaling", "Linear Scaling"}, 0);
    fillList(10506, {"Black Background", "White Background"}, 0);
    addColumns(10200, {L"Step", L"Frequency (Hz)", L"Magnitude 1 (V)", L"Magnitude 2 (V)", L"Gain (dB)",
                       L"Phase (\u00B0)"}, 24, 5.15);
    addColumns(10400, {L"Steps", L"Frequency (Hz)", L"Admittance", L"Admittance Phase (\u00B0)",
                       L"Impedance (Ohms)", L"Impedance Phase (\u00B0)", L"L (H)", L"C (F)", L"R (Ohms)"}, 18, 8.15);
}

SIZE resultsPictureSize(HWND resultsWindow) {
    RECT client;
    GetClientRect(resultsWindow, &client);
    const PaneKind* kind = kindOfResults(resultsWindow);
    const int strip = kind->view == kGraph ? kind->controlsStripHeight : 0;
    return {client.right - 12, client.bottom - 6 - strip - 6};
}

// The graph's frame and axis titles on its background; the curves, axes and cursors of a sweep are
// drawn over them once a sweep is displayed.
void drawResults(HWND resultsWindow, HDC dc, int width, int height) {
    using analysis::rgb;
    const PaneKind* kind = kindOfResults(resultsWindow);
    GdiCanvas canvas(dc);
    const analysis::Rect all{0, 0, width, height};
    if (kind->view != kGraph) {
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        canvas.fillRect(all, rgb(GetRValue(face), GetGValue(face), GetBValue(face)));
        return;
    }
    const bool black = SendMessageA(controlWindow(kind->backgroundList), CB_GETCURSEL, 0, 0) != 1;
    canvas.fillRect(all, black ? analysis::kBlack : analysis::kWhite);
    const analysis::Rect plot{kind == &lcr ? 80 : 60, 10, width - 60, height - 80};
    if (plot.right > plot.left && plot.bottom > plot.top) drawFrameAndScales(canvas, plot, black, kind == &fra);
    const int middle = (plot.top + plot.bottom) / 2;
    canvas.selectFont(canvasFont(1));
    canvas.setTextColour(black ? analysis::kWhite : analysis::kBlack);
    canvas.setTextAlign(analysis::kAlignCenter | analysis::kAlignTop);
    canvas.textOut({(plot.left + plot.right) / 2, height - 30}, "FREQUENCY (Hz)");
    if (kind != &fra) return;
    canvas.setTextAlign(analysis::kAlignCenter | analysis::kAlignBottom);
    canvas.selectFont(canvasFont(9));
    canvas.setTextColour(rgb(255, 0, 0));
    canvas.textOut({20, middle}, "GAIN (dB)");
    canvas.selectFont(canvasFont(8));
    canvas.setTextColour(rgb(0, 0, 255));
    canvas.textOut({width - 20, middle}, "PHASE (\u00B0)");
}

LRESULT CALLBACK fraPaneProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return paneProc(fra, w, m, wp, lp); }
LRESULT CALLBACK lcrPaneProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return paneProc(lcr, w, m, wp, lp); }
LRESULT CALLBACK fraResultsProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return resultsProc(w, m, wp, lp); }
LRESULT CALLBACK lcrResultsProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return resultsProc(w, m, wp, lp); }

}  // namespace gui
