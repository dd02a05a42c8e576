// The graph window: stored sweeps drawn by the plot engine above a row of controls (the two cursor
// scroll bars, the active sweep, Diagnose/Back), with its menus, picture export and settings.
#include "gui/analysis/graph_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "analysis/graph_settings_file.h"
#include "analysis/result_view.h"
#include "app/startup.h"
#include "db/record_store.h"
#include "gui/analysis/graph_state.h"
#include "gui/app/window_classes.h"
#include "gui/bitmap_file.h"
#include "gui/gdi_canvas.h"
#include "gui/interchange/report_command.h"
#include "gui/resources/graph_ids.h"
#include "gui/window_record.h"
#include "platform/prompter.h"
#include "platform/win32/wide_text.h"

namespace gui {
namespace {

constexpr int kInitialWidth = 1024, kInitialHeight = 800;  // also the smallest size
constexpr int kRowHeight = 24;                             // the control row under the picture
constexpr int kPictureLeft = 6, kPictureTop = 3;
constexpr int kPlotLeft = 70;  // the plot engine's left margin inside the picture
constexpr int kComboWidth = 200, kButtonWidth = 90, kLabelWidth = 8, kGap = 8;
constexpr int kComboNameLength = 11, kComboNameTail = 9;  // longer names are shortened in the combo box

int rowTop(const RECT& client) { return client.bottom - kRowHeight - 6; }

// The client area left to the picture and its control row: all of it, less the assessment's column
// at the right while diagnosing.
RECT graphClient(HWND graph) {
    RECT r;
    GetClientRect(graph, &r);
    if (graphState(graph)->diagnosing) r.right = std::max<LONG>(r.right - kAssessmentWidth - kPictureLeft, 2 * kPlotLeft + 40);
    return r;
}

// The picture, in client coordinates: the client area less 6 pixels left and right, 3 at the top and
// the control row with 9 pixels at the bottom.
RECT pictureArea(HWND graph) {
    const RECT r = graphClient(graph);
    return RECT{kPictureLeft, kPictureTop, r.right - kPictureLeft, r.bottom - (kRowHeight + 9)};
}

// The plot rectangle itself, where the right mouse button opens the appearance menus.
RECT plotRectangle(HWND graph) {
    const RECT r = graphClient(graph);
    return RECT{kPictureLeft + kPlotLeft, kPictureTop + 10, r.right - kPictureLeft - kPlotLeft,
                r.bottom - (kRowHeight + 159)};
}

// The graph drawn as the window shows it (legend offset 60) or as a picture leaves it (45).
HBITMAP drawPicture(HWND graph, int legendOffset) {
    const RECT area = pictureArea(graph);
    const int width = area.right - area.left, height = area.bottom - area.top;
    const GraphState& s = *graphState(graph);
    return drawToBitmap(graph, width, height, [&](HDC dc) {
        GdiCanvas canvas(dc);
        analysis::DrawGraph(canvas, s.view, width, height, legendOffset);
    });
}

HWND control(HWND graph, int id) { return GetDlgItem(graph, id); }

// Tab and the arrow keys move between the control row's controls as in a dialog. The program's message
// loop knows only its main window, so the graph windows take their keys from the thread's queue.
LRESULT CALLBACK dialogKeysHook(int code, WPARAM action, LPARAM parameter) {
    MSG* message = reinterpret_cast<MSG*>(parameter);
    if (code == HC_ACTION && action == PM_REMOVE &&
        (message->message == WM_KEYDOWN || message->message == WM_KEYUP || message->message == WM_CHAR)) {
        HWND root = GetAncestor(message->hwnd, GA_ROOT);
        if (root && graphState(root) && IsDialogMessageW(root, message)) message->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, action, parameter);
}

void createControls(HWND graph) {
    constexpr DWORD shown = WS_VISIBLE;
    createGraphControls(graph, {
        {IDC_GRAPH_LEFT_CURSOR, "SCROLLBAR", "", shown | SBS_HORZ | WS_TABSTOP},
        {IDC_GRAPH_RIGHT_CURSOR, "SCROLLBAR", "", shown | SBS_HORZ | WS_TABSTOP},
        {IDC_GRAPH_ACTIVE_SWEEP, "COMBOBOX", "", shown | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
        {IDC_GRAPH_LABEL, "STATIC", "", shown},
        {IDC_GRAPH_DIAGNOSE, "BUTTON", "Diagnose", shown | BS_PUSHBUTTON | WS_TABSTOP},
        {IDC_GRAPH_SPARE, "BUTTON", "", shown | BS_PUSHBUTTON | WS_DISABLED},
    });
    createAssessmentPane(graph);
}

// The scroll bars sit under the readouts they move; the combo box and the buttons between them. The
// assessment's column, while diagnosing, stands at the right from the picture's top to the row's foot.
void layoutControls(HWND graph) {
    const RECT client = graphClient(graph);
    RECT whole;
    GetClientRect(graph, &whole);
    layoutAssessmentPane(graph, RECT{client.right, kPictureTop, whole.right - kPictureLeft, whole.bottom - 6},
                         graphState(graph)->diagnosing);
    const int y = rowTop(client);
    const int plotWidth = (client.right - 2 * kPictureLeft) - 2 * kPlotLeft;
    const int left = kPictureLeft + kPlotLeft, barWidth = std::max(plotWidth / 4, 40);
    const int barHeight = GetSystemMetrics(SM_CYHSCROLL), barY = y + (kRowHeight - barHeight) / 2;
    MoveWindow(control(graph, IDC_GRAPH_LEFT_CURSOR), left, barY, barWidth, barHeight, TRUE);
    MoveWindow(control(graph, IDC_GRAPH_RIGHT_CURSOR), left + plotWidth - barWidth, barY, barWidth, barHeight, TRUE);
    const int middle = kComboWidth + kLabelWidth + 2 * kButtonWidth + 2 * kGap;
    int x = left + (plotWidth - middle) / 2;
    MoveWindow(control(graph, IDC_GRAPH_ACTIVE_SWEEP), x, y, kComboWidth, kRowHeight + 200, TRUE);
    x += kComboWidth;
    MoveWindow(control(graph, IDC_GRAPH_LABEL), x, y, kLabelWidth, kRowHeight, TRUE);
    x += kLabelWidth + kGap;
    MoveWindow(control(graph, IDC_GRAPH_DIAGNOSE), x, y, kButtonWidth, kRowHeight, TRUE);
    x += kButtonWidth + kGap;
    MoveWindow(control(graph, IDC_GRAPH_SPARE), x, y, kButtonWidth, kRowHeight, TRUE);
}

void fillSweepCombo(HWND graph) {
    const GraphState& s = *graphState(graph);
    HWND combo = control(graph, IDC_GRAPH_ACTIVE_SWEEP);
    for (int i = 0; i < analysis::loadedSweepCount(s.sweeps); ++i) {
        const std::string name = analysis::abbreviateName(s.sweeps[i].name.str(), kComboNameLength, kComboNameTail);
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::win32::widen(name).c_str()));
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(s.view.activeSweep), 0);
}

// The tool's place in the window and its text: nothing while no diagnosis shows.
RECT namesTipPlace(HWND graph) {
    if (!graphState(graph)->diagnosing) return RECT{};
    const RECT area = pictureArea(graph);
    const analysis::Rect cell =
        analysis::diagnosisNamesPlace(area.right - area.left, area.bottom - area.top, analysis::kWindowLegendOffset);
    return RECT{area.left + cell.left, area.top + cell.top, area.left + cell.right, area.top + cell.bottom};
}

std::string namesTipText(HWND graph) {
    const GraphState& s = *graphState(graph);
    if (!s.diagnosing) return std::string();
    return "Fingerprint sweep: " + s.view.diagnosis.fingerprintName + "\nSweep to diagnose: " +
           s.view.diagnosis.diagnosedName;
}

constexpr UINT_PTR kNamesTool = 1;

TTTOOLINFOW namesTool(HWND graph) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = graph;
    tool.uId = kNamesTool;
    return tool;
}

// A diagnosis names its sweeps in a cell of the panel, where a long name is cut; the tool tip there
// gives them whole, to the mouse and to assistive tools.
void createNamesTip(HWND graph) {
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, graph, nullptr,
                               programInstance(), nullptr);
    TTTOOLINFOW tool = namesTool(graph);
    tool.uFlags = TTF_SUBCLASS;
    tool.lpszText = const_cast<LPWSTR>(L"");
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 800);  // so that its two lines break where the text does
    graphState(graph)->namesTip = tip;
}

// The tool follows the picture's size and the diagnosis shown.
void placeNamesTip(HWND graph) {
    const GraphState& s = *graphState(graph);
    if (!s.namesTip) return;
    TTTOOLINFOW tool = namesTool(graph);
    tool.rect = namesTipPlace(graph);
    SendMessageW(s.namesTip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    platform::win32::WideString text = platform::win32::widen(namesTipText(graph));
    tool.lpszText = text.data();
    SendMessageW(s.namesTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void onCreate(HWND graph) {
    GraphState& s = *graphState(graph);
    createControls(graph);
    createNamesTip(graph);
    analysis::readGraphSettings(app::mainIniPath(), s.view.settings, s.view.ranges, s.customColours);
    buildGraphMenu(graph);
    s.view.diagnosis = {};
    rescaleAutomaticAxes(s);
    fillSweepCombo(graph);
    resetCursors(graph);
    EnableWindow(control(graph, IDC_GRAPH_DIAGNOSE),
                 !analysis::isLcrGraph(s.sweeps) && analysis::loadedSweepCount(s.sweeps) >= 2);
    s.dialogKeys = SetWindowsHookExW(WH_GETMESSAGE, dialogKeysHook, nullptr, GetCurrentThreadId());
    layoutControls(graph);
    syncMenuChecks(GetMenu(graph), s);
}

// Closing: the user's own view comes back before the settings are written, so that a diagnosis never
// reaches the settings file.
void onDestroy(HWND graph) {
    GraphState& s = *graphState(graph);
    leaveDiagnosis(graph);
    analysis::writeGraphSettings(app::mainIniPath(), s.view.settings, s.view.ranges,
                                 analysis::loadedSweepCount(s.sweeps));
    if (s.dialogKeys) UnhookWindowsHookEx(s.dialogKeys);
    s.dialogKeys = nullptr;
}

void paint(HWND graph) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(graph, &ps);
    // Drawn off screen and copied in one piece, so that nothing flickers.
    if (HBITMAP picture = drawPicture(graph, analysis::kWindowLegendOffset)) {
        const RECT area = pictureArea(graph);
        paintBitmap(dc, area.left, area.top, picture);
        DeleteObject(picture);
    }
    EndPaint(graph, &ps);
    placeNamesTip(graph);
}

void savePicture(HWND graph) {
    platform::FileChoice choice;
    choice.title = "Save to Bitmap";
    choice.defaultExtension = "bmp";
    choice.mustExist = true;  // the folder must exist
    std::string path = "*.bmp";
    if (!platform::prompter().saveFile(choice, path)) return;
    gui::savePicture(drawPicture(graph, analysis::kBitmapLegendOffset), path, "Save to Bitmap");
}

void copyPicture(HWND graph) {
    gui::copyPicture(graph, drawPicture(graph, analysis::kBitmapLegendOffset), "Copy to Clipboard");
}

// The report of the sweeps on the graph; while diagnosing, assessed against the diagnosis's fingerprint.
void report(HWND graph) {
    const GraphState& s = *graphState(graph);
    std::vector<std::int64_t> ids;
    for (int i = 0; i < analysis::loadedSweepCount(s.sweeps); ++i) ids.push_back(s.sweeps[static_cast<std::size_t>(i)].id);
    reportSweeps(graph, ids, s.diagnosing ? s.fingerprint().id : 0);
}

void onActiveSweep(HWND graph) {
    GraphState& s = *graphState(graph);
    const int chosen = static_cast<int>(SendMessageW(control(graph, IDC_GRAPH_ACTIVE_SWEEP), CB_GETCURSEL, 0, 0));
    if (chosen < 0 || chosen >= analysis::loadedSweepCount(s.sweeps)) return;
    s.view.activeSweep = chosen;
    resetCursors(graph);
    refreshGraph(graph);
}

void onCommand(HWND graph, int id, int code) {
    switch (id) {
    case IDC_GRAPH_ACTIVE_SWEEP:
        if (code == CBN_SELCHANGE) onActiveSweep(graph);
        return;
    case IDC_GRAPH_DIAGNOSE:
        if (code == BN_CLICKED) toggleDiagnosis(graph);
        return;
    case IDM_GRAPH_CLOSE: DestroyWindow(graph); return;
    case IDM_GRAPH_REPORT: report(graph); return;
    case IDM_GRAPH_SAVE_BITMAP: savePicture(graph); return;
    case IDM_GRAPH_COPY_CLIPBOARD: copyPicture(graph); return;
    default:
        if (!runAssessmentCommand(graph, id, code)) runAppearanceCommand(graph, id);
        return;
    }
}

// A cursor's scroll bar: a line moves one point, a page a tenth of the sweep, the thumb and the ends
// go where they point.
void onScroll(HWND graph, HWND bar, int action, int thumb) {
    GraphState& s = *graphState(graph);
    const int id = GetDlgCtrlID(bar);
    if (id != IDC_GRAPH_LEFT_CURSOR && id != IDC_GRAPH_RIGHT_CURSOR) return;
    analysis::Cursors& c = s.view.cursors;
    int& cursor = id == IDC_GRAPH_LEFT_CURSOR ? c.leftIndex : c.rightIndex;
    const int steps = static_cast<int>(c.points.size()), page = std::max(steps / 10, 1);
    analysis::CursorScroll move = analysis::CursorScroll::Thumb;
    switch (action) {
    case SB_LINELEFT: move = analysis::CursorScroll::LineLeft; break;
    case SB_LINERIGHT: move = analysis::CursorScroll::LineRight; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: break;
    case SB_PAGELEFT: thumb = cursor - page; break;
    case SB_PAGERIGHT: thumb = cursor + page; break;
    case SB_LEFT: thumb = 0; break;
    case SB_RIGHT: thumb = steps - 1; break;
    default: return;
    }
    const int moved = analysis::scrollCursor(cursor, move, thumb, steps);
    if (moved == cursor) return;
    cursor = moved;
    SetScrollPos(bar, SB_CTL, cursor, TRUE);
    refreshGraph(graph);
}

void onContextMenu(HWND graph, LPARAM where) {
    POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    const RECT plot = plotRectangle(graph);
    if (at.x == -1 && at.y == -1) {  // from the keyboard: at the plot's corner
        at = POINT{plot.left, plot.top};
        ClientToScreen(graph, &at);
    } else {
        POINT inside = at;
        ScreenToClient(graph, &inside);
        if (!PtInRect(&plot, inside)) return;
    }
    HMENU popup = createAppearancePopup(*graphState(graph));
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, graph, nullptr);
    DestroyMenu(popup);
}

// Tab and Shift+Tab, as a dialog moves between its controls (the hook hands them over).
void onNextControl(HWND graph, WPARAM which, LPARAM isHandle) {
    HWND next = LOWORD(isHandle) ? reinterpret_cast<HWND>(which) : GetNextDlgTabItem(graph, GetFocus(), which != 0);
    if (next) SetFocus(next);
}

}  // namespace

GraphState* graphState(HWND graph) {
    char name[64] = "";
    if (!graph || !GetClassNameA(graph, name, sizeof name) || std::string(name) != kGraphClass) return nullptr;
    return windowRecord<GraphState>(graph);
}

void createGraphControls(HWND graph, std::initializer_list<GraphControl> controls) {
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    for (const GraphControl& c : controls) {
        HWND w = CreateWindowExA(0, c.cls, c.text, WS_CHILD | c.style, 0, 0, 10, 10, graph,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), programInstance(), nullptr);
        SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

void fitDiagnosis(HWND graph) {
    if (graphState(graph)->diagnosing) {
        // Wide enough for the picture at its smallest beside the assessment, as far as the screen allows.
        RECT window;
        GetWindowRect(graph, &window);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(graph, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        const int width = std::min<int>(std::max<int>(window.right - window.left, kInitialWidth + kAssessmentWidth),
                                        work.right - work.left);
        const int left = std::max<int>(std::min<int>(window.left, work.right - width), work.left);
        SetWindowPos(graph, nullptr, left, window.top, width, window.bottom - window.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    layoutControls(graph);
    InvalidateRect(graph, nullptr, TRUE);
}

void refreshGraph(HWND graph) {
    syncMenuChecks(GetMenu(graph), *graphState(graph));
    const RECT area = pictureArea(graph);
    InvalidateRect(graph, &area, FALSE);
}

void rescaleAutomaticAxes(GraphState& s) {
    const analysis::GraphSettings& g = s.view.settings;
    if (g.frequencyScaling == analysis::kScaleAutomatic) analysis::AutoscaleFrequency(s.view.ranges, s.sweeps);
    if (g.leftScaling != analysis::kScaleManual) analysis::AutoscaleLeftAxis(s.view.ranges, s.sweeps);
    if (g.leftScaling == analysis::kScaleCentredOnZero) analysis::CentreGainOnZero(s.view.ranges);
    if (g.rightScaling == analysis::kScaleAutomatic) analysis::AutoscaleRightAxis(s.view.ranges, s.sweeps);
}

void resetCursors(HWND graph) {
    GraphState& s = *graphState(graph);
    s.view.cursors = analysis::buildCursors(s.sweeps[static_cast<std::size_t>(s.view.activeSweep)], s.view.ranges);
    const int last = std::max(static_cast<int>(s.view.cursors.points.size()) - 1, 0);
    for (int id : {IDC_GRAPH_LEFT_CURSOR, IDC_GRAPH_RIGHT_CURSOR}) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_POS;
        info.nMax = last;
        info.nPos = id == IDC_GRAPH_LEFT_CURSOR ? s.view.cursors.leftIndex : s.view.cursors.rightIndex;
        SetScrollInfo(control(graph, id), SB_CTL, &info, TRUE);
    }
}

std::vector<db::SweepRecord> loadGraphSweeps(const std::vector<std::int64_t>& ids) {
    std::vector<db::SweepRecord> sweeps;
    {
        platform::WaitCursor wait;
        const std::size_t count = std::min(ids.size(), static_cast<std::size_t>(analysis::kMaxSweeps));
        sweeps = db::load_sweeps(std::vector<std::int64_t>(ids.begin(), ids.begin() + static_cast<long>(count)));
    }
    // A slot without a name ends the graph's list of sweeps; a nameless stored sweep goes by its id.
    for (db::SweepRecord& sweep : sweeps)
        if (sweep.name.str().empty()) sweep.name = std::to_string(sweep.id);
    return sweeps;
}

HWND createGraphWindow(HWND owner, std::vector<db::SweepRecord> sweeps) {
    return CreateWindowExA(WS_EX_APPWINDOW, kGraphClass, "", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                           CW_USEDEFAULT, CW_USEDEFAULT, kInitialWidth, kInitialHeight, owner, nullptr,
                           programInstance(), &sweeps);
}

void showGraphWindow(HWND owner, const std::vector<std::int64_t>& sweepIds) {
    std::vector<db::SweepRecord> sweeps = loadGraphSweeps(sweepIds);
    if (sweeps.empty()) return;
    const bool lcr = analysis::isLcrGraph(sweeps);
    for (const db::SweepRecord& sweep : sweeps) {
        if ((sweep.dataType == db::kDataLcr) != lcr) {
            platform::showMessage("LCR an FRA tests cannot be graphed together", "Error: Test Mismatch",
                                  platform::Icon::None);
            return;
        }
    }
    createGraphWindow(owner, std::move(sweeps));
}

LRESULT CALLBACK graphWindowProc(HWND graph, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        auto* sweeps = static_cast<std::vector<db::SweepRecord>*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        attachRecord(graph, new GraphState(std::move(*sweeps)));
        break;
    }
    case WM_CREATE:
        onCreate(graph);
        return 0;
    case WM_SIZE:
        layoutControls(graph);
        InvalidateRect(graph, nullptr, TRUE);
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{kInitialWidth, kInitialHeight};
        return 0;
    case WM_PAINT:
        paint(graph);
        return 0;
    case WM_ERASEBKGND:
        eraseAround(graph, reinterpret_cast<HDC>(wParam), pictureArea(graph));
        return 1;
    case WM_COMMAND:
        onCommand(graph, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_HSCROLL:
        onScroll(graph, reinterpret_cast<HWND>(lParam), LOWORD(wParam), static_cast<int>(HIWORD(wParam)));
        return 0;
    case WM_CONTEXTMENU:
        onContextMenu(graph, lParam);
        return 0;
    case WM_NEXTDLGCTL:
        onNextControl(graph, wParam, lParam);
        return 0;
    case WM_SETFOCUS:
        SetFocus(control(graph, IDC_GRAPH_ACTIVE_SWEEP));
        return 0;
    case WM_DESTROY:
        onDestroy(graph);
        return 0;
    case WM_NCDESTROY:
        delete detachRecord<GraphState>(graph);
        break;
    default:
        break;
    }
    return DefWindowProcA(graph, message, wParam, lParam);
}

}  // namespace gui
