// The FRA and LCR results windows: the display and view records, the commands of their panes and
// graph controls, and the painting of the readout or the graph through an off-screen bitmap.
#include "gui/measure/results_windows.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <memory>

#include "analysis/realtime_readout.h"
#include "analysis/result_graph.h"
#include "analysis/result_view.h"
#include "gui/app/layout.h"
#include "gui/app/window_classes.h"
#include "gui/bitmap_file.h"
#include "gui/gdi_canvas.h"
#include "gui/measure/measurement_panes.h"
#include "gui/resources/resource.h"
#include "gui/window_record.h"
#include "measure/sweep_job.h"
#include "measure/zero_crossings.h"
#include "platform/prompter.h"

namespace gui {
namespace {

// The picture's margins in the window, and the height of the graph controls below it.
constexpr int kMargin = 6;
constexpr int kFraControlsHeight = 100;
constexpr int kLcrControlsHeight = 62;

// Where a picture of that size sits in the window.
RECT pictureRect(SIZE size) { return {kMargin, kMargin, kMargin + size.cx, kMargin + size.cy}; }

// What differs between the two windows.
struct ResultsKind {
    bool lcr;
    int cursor1, cursor2;
    int scalingList, backgroundList;
    int repaintCommand;
    int newSweepCommand;
    int controlsHeight;
};

constexpr ResultsKind kFra{false, IDC_FRA_CURSOR1, IDC_FRA_CURSOR2, IDC_FRA_SCALING, IDC_FRA_BACKGROUND,
                           CMD_FRA_REPAINT, CMD_FRA_NEW_SWEEP, kFraControlsHeight};
constexpr ResultsKind kLcr{true, IDC_LCR_CURSOR1, IDC_LCR_CURSOR2, IDC_LCR_SCALING, IDC_LCR_BACKGROUND,
                           measure::kNotifyLcrRepaint, CMD_LCR_NEW_SWEEP, kLcrControlsHeight};

// A results window's record: its display, view, realtime reading and the readout's layout (made again
// only when the size or the reading's form changes).
struct Results {
    explicit Results(const ResultsKind& k) : kind(k) {
        if (kind.lcr) lcrDisplay = std::make_unique<analysis::LcrDisplay>();
        else fraDisplay = std::make_unique<analysis::FraDisplay>();
    }
    const ResultsKind& kind;
    std::unique_ptr<analysis::FraDisplay> fraDisplay;  // the sweeps are large: on the heap
    std::unique_ptr<analysis::LcrDisplay> lcrDisplay;
    analysis::FraView fraView;
    analysis::LcrView lcrView;
    db::FraPoint fraReading{};
    std::array<double, 14> lcrReading{};
    int lcrReadingCount = 14;
    analysis::ReadoutLayout readout;
};

Results& resultsOf(HWND results) { return *windowRecord<Results>(results); }

int stepCountOf(const Results& r) {
    return static_cast<int>(r.kind.lcr ? analysis::displayedPoints(*r.lcrDisplay).size()
                                       : analysis::displayedPoints(*r.fraDisplay).size());
}

int& cursorOf(Results& r, int scrollBar) {
    const bool first = scrollBar == r.kind.cursor1;
    if (r.kind.lcr) return first ? r.lcrView.cursor1 : r.lcrView.cursor2;
    return first ? r.fraView.cursor1 : r.fraView.cursor2;
}

int listChoice(HWND results, int list) {
    return static_cast<int>(SendMessageA(controlWindow(results, list), CB_GETCURSEL, 0, 0));
}

void fillList(HWND window, int id, std::initializer_list<const char*> items, int selected) {
    HWND list = controlWindow(window, id);
    if (!list) return;
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const char* item : items) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(list, CB_SETCURSEL, selected, 0);
}

void repaint(HWND results) { InvalidateRect(results, nullptr, FALSE); }

// The cursors' scroll bars span the points of the sweep on display.
void placeCursorBars(HWND results) {
    Results& r = resultsOf(results);
    const int steps = stepCountOf(r);
    for (int bar : {r.kind.cursor1, r.kind.cursor2}) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
        info.nMin = 0;
        info.nMax = steps;
        info.nPage = 1;
        info.nPos = cursorOf(r, bar);
        SendMessageA(controlWindow(results, bar), SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
    }
}

void onNewSweep(HWND results) {
    Results& r = resultsOf(results);
    if (r.kind.lcr) analysis::showNewSweep(r.lcrView, *r.lcrDisplay);
    else analysis::showNewSweep(r.fraView, *r.fraDisplay);
    placeCursorBars(results);
}

// Only the readout's value boxes change with a new reading; anything else repaints whole.
void onRepaint(HWND results, LPARAM everything) {
    Results& r = resultsOf(results);
    if (everything || paneView(GetParent(results)) != PaneView::Realtime || r.readout.tiles.empty()) {
        repaint(results);
        return;
    }
    for (const analysis::ReadoutTile& tile : r.readout.tiles) {
        const RECT box{tile.valueBox.left + kMargin, tile.valueBox.top + kMargin, tile.valueBox.right + kMargin,
                       tile.valueBox.bottom + kMargin};
        InvalidateRect(results, &box, FALSE);
    }
}

// "Find Gain/Phase Margin": the 0 dB points, then the 0 degree points of the sweep on display.
void reportCrossings(HWND results) {
    std::vector<measure::ResponsePoint> points;
    for (const db::FraPoint& p : analysis::displayedPoints(*resultsOf(results).fraDisplay))
        points.push_back({p.frequency, p.amplitude, p.phase});
    platform::showMessage(measure::gainCrossingReport(measure::findGainCrossings(points)), "Corvane",
                          platform::Icon::Information);
    platform::showMessage(measure::phaseCrossingReport(measure::findPhaseCrossings(points)), "Corvane",
                          platform::Icon::Information);
}

// A graph control changed: the view follows it and the graph is drawn again.
void onGraphControl(HWND results, int id) {
    Results& r = resultsOf(results);
    const int choice = id == IDC_FRA_CENTRE_0DB ? 0 : listChoice(results, id);
    if (id == r.kind.scalingList) {
        (r.kind.lcr ? r.lcrView.logFrequency : r.fraView.logFrequency) = choice != 1;
    } else if (id == r.kind.backgroundList) {
        (r.kind.lcr ? r.lcrView.background : r.fraView.background) =
            choice == 1 ? analysis::kBackgroundWhite : analysis::kBackgroundBlack;
    } else if (id == IDC_FRA_CENTRE_0DB) {
        const bool centre = SendMessageA(controlWindow(results, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
        analysis::setCentreZeroDb(r.fraView, *r.fraDisplay, centre);
    } else if (id == IDC_LCR_LEFT_AXIS) {
        analysis::setLeftQuantity(r.lcrView, *r.lcrDisplay, choice + 1);
    } else if (id == IDC_LCR_RIGHT_AXIS) {
        analysis::setRightQuantity(r.lcrView, *r.lcrDisplay, choice + 1);
    } else {
        return;
    }
    repaint(results);
}

bool onCommand(HWND results, int id, int code, LPARAM parameter) {
    const Results& r = resultsOf(results);
    if (id == r.kind.repaintCommand) onRepaint(results, parameter);
    else if (id == r.kind.newSweepCommand) onNewSweep(results);
    else if (id == IDC_FRA_FIND_MARGINS && !r.kind.lcr && code == BN_CLICKED) reportCrossings(results);
    else if (code == CBN_SELCHANGE || code == BN_CLICKED) onGraphControl(results, id);
    else return false;
    return true;
}

void onScroll(HWND results, HWND bar, int action) {
    Results& r = resultsOf(results);
    const int id = GetDlgCtrlID(bar);
    if (id != r.kind.cursor1 && id != r.kind.cursor2) return;
    analysis::CursorScroll move;
    switch (action) {
    case SB_LINELEFT: move = analysis::CursorScroll::LineLeft; break;
    case SB_LINERIGHT: move = analysis::CursorScroll::LineRight; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: move = analysis::CursorScroll::Thumb; break;
    default: return;
    }
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    SendMessageA(bar, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
    int& cursor = cursorOf(r, id);
    cursor = analysis::scrollCursor(cursor, move, info.nTrackPos, stepCountOf(r));
    SendMessageA(bar, SBM_SETPOS, cursor, TRUE);
    repaint(results);
}

void paint(HWND results) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(results, &ps);
    const SIZE size = resultsPictureSize(results);
    paintOffScreen(results, dc, pictureRect(size), [&](HDC memory) { drawResults(results, memory, size.cx, size.cy); });
    EndPaint(results, &ps);
}


LRESULT resultsProc(const ResultsKind& kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        attachRecord(window, new Results(kind));
        break;
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_ERASEBKGND:
        eraseAround(window, reinterpret_cast<HDC>(wParam), pictureRect(resultsPictureSize(window)));
        return 1;
    case WM_SIZE:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_COMMAND:
        if (onCommand(window, LOWORD(wParam), HIWORD(wParam), lParam)) return 0;
        break;
    case WM_HSCROLL:
        onScroll(window, reinterpret_cast<HWND>(lParam), LOWORD(wParam));
        return 0;
    case WM_NCDESTROY:
        delete detachRecord<Results>(window);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

analysis::Colour faceColour() {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return analysis::rgb(GetRValue(face), GetGValue(face), GetBValue(face));
}

}  // namespace

void setUpResultsControls(HWND window) {
    fillList(window, IDC_FRA_SCALING, {"Log Scaling", "Linear Scaling"}, 0);
    fillList(window, IDC_FRA_BACKGROUND, {"Black Background", "White Background"}, 0);
    SendMessageA(controlWindow(window, IDC_FRA_CENTRE_0DB), BM_SETCHECK, BST_UNCHECKED, 0);
    const std::initializer_list<const char*> quantities = {"ADMITTANCE", "ADMITTANCE PHASE", "IMPEDANCE",
                                                           "IMPEDANCE PHASE",  "L", "C", "R"};
    fillList(window, IDC_LCR_LEFT_AXIS, quantities, 0);
    fillList(window, IDC_LCR_RIGHT_AXIS, quantities, 1);
    fillList(window, IDC_LCR_SCALING, {"Log Scaling", "Linear Scaling"}, 0);
    fillList(window, IDC_LCR_BACKGROUND, {"Black Background", "White Background"}, 0);
}

void showFraSweep(HWND results, int phaseRangeCode, const db::FraPoint* points, int count) {
    analysis::FraDisplay& display = *resultsOf(results).fraDisplay;
    count = std::clamp(count, 0, analysis::kMaxDisplayPoints);
    display.stepCount = count;
    display.phaseRangeCode = phaseRangeCode;
    std::copy(points, points + count, display.points.begin());
}

std::vector<db::FraPoint> fraSweepShown(HWND results) {
    const auto shown = analysis::displayedPoints(*resultsOf(results).fraDisplay);
    return {shown.begin(), shown.end()};
}

void showLcrSweep(HWND results, int phaseRangeCode, const db::LcrPoint* points, int count) {
    analysis::LcrDisplay& display = *resultsOf(results).lcrDisplay;
    count = std::clamp(count, 0, analysis::kMaxDisplayPoints);
    display.stepCount = count;
    display.phaseRangeCode = phaseRangeCode;
    if (points && count > 0) std::copy(points, points + count, display.points.begin());
}

std::vector<db::LcrPoint> lcrSweepShown(HWND results) {
    const auto shown = analysis::displayedPoints(*resultsOf(results).lcrDisplay);
    return {shown.begin(), shown.end()};
}

void clearLcrSweep(HWND results) { showLcrSweep(results, 0, nullptr, 0); }

bool showFraReading(HWND results, const db::FraPoint& reading) {
    Results& r = resultsOf(results);
    const auto same = [](const db::FraPoint& a, const db::FraPoint& b) {
        return a.frequency == b.frequency && a.magnitude1 == b.magnitude1 && a.magnitude2 == b.magnitude2 &&
               a.amplitude == b.amplitude && a.phase == b.phase && a.delay == b.delay;
    };
    if (same(r.fraReading, reading)) return false;
    r.fraReading = reading;
    return true;
}

bool showLcrReading(HWND results, const double* values, int count) {
    Results& r = resultsOf(results);
    count = std::clamp(count, 0, static_cast<int>(r.lcrReading.size()));
    if (count == r.lcrReadingCount && std::equal(values, values + count, r.lcrReading.begin())) return false;
    r.lcrReadingCount = count;
    std::copy(values, values + count, r.lcrReading.begin());
    return true;
}

SIZE resultsPictureSize(HWND results) {
    RECT client;
    GetClientRect(results, &client);
    const int strip = paneView(GetParent(results)) == PaneView::Graph ? resultsOf(results).kind.controlsHeight : 0;
    return {client.right - 2 * kMargin, client.bottom - kMargin - strip - kMargin};
}

void drawResults(HWND results, HDC dc, int width, int height) {
    Results& r = resultsOf(results);
    GdiCanvas canvas(dc);
    switch (paneView(GetParent(results))) {
    case PaneView::Graph:
        if (r.kind.lcr) analysis::drawLcrGraph(canvas, *r.lcrDisplay, r.lcrView, width, height);
        else analysis::drawFraGraph(canvas, *r.fraDisplay, r.fraView, width, height);
        return;
    case PaneView::Realtime: {
        const analysis::ReadoutForm form =
            r.kind.lcr ? analysis::lcrReadoutForm(r.lcrReadingCount) : analysis::ReadoutForm::Fra;
        if (!r.readout.matches(form, width, height)) r.readout = analysis::layOutReadout(canvas, form, width, height);
        const std::vector<std::string> values =
            r.kind.lcr ? analysis::lcrReadoutValues({r.lcrReading.data(), static_cast<std::size_t>(r.lcrReadingCount)})
                       : analysis::fraReadoutValues(r.fraReading);
        analysis::drawReadout(canvas, r.readout, values, faceColour());
        return;
    }
    case PaneView::Table:
        canvas.fillRect({0, 0, width, height}, faceColour());
        return;
    }
}

LRESULT CALLBACK fraResultsProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return resultsProc(kFra, w, m, wp, lp); }
LRESULT CALLBACK lcrResultsProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return resultsProc(kLcr, w, m, wp, lp); }

}  // namespace gui
