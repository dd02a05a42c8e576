// The FRA and LCR panes: view switching, starting and stopping a run, the handover of a finished
// sweep into the display, the table and the database, realtime readings, and the buttons that act on
// the sweep on display.
#include "gui/measure/measurement_panes.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/instrument_registration.h"
#include "app/startup.h"
#include "common/string_printf.h"
#include "gui/app/layout.h"
#include "gui/app/main_window.h"
#include "gui/app/window_classes.h"
#include "gui/db/record_dialogs.h"
#include "gui/interchange/export_sweep_dialog.h"
#include "gui/measure/measurement_run.h"
#include "gui/measure/perform_sweep_dialog.h"
#include "gui/measure/results_windows.h"
#include "gui/measure/sweep_data_dialog.h"
#include "gui/resources/resource.h"
#include "gui/window_record.h"
#include "instrument/settings.h"
#include "interchange/csv_import.h"
#include "interchange/unstored_sweep.h"
#include "measure/sweep_handover.h"
#include "platform/clock.h"
#include "platform/known_folders.h"
#include "platform/prompter.h"

namespace gui {
namespace {

// What differs between the two panes.
struct PaneKind {
    measure::SweepKind sweepKind;
    int runningValue;        // what sweepRunning holds while this pane measures
    const char* resultsClass;
    int viewButtons[3];      // REALTIME, GRAPH, TABLE, in the order of PaneView
    int startButton;
    int table;
    int firstGraphControl;   // the graph controls of the results window
    int lastGraphControl;
    int handoverCommand;     // from the "Sweep Data" dialog: a finished sweep may be taken over
    int readingCommand;      // from the realtime worker: a reading is in the job
    int newSweepCommand;     // to the results window: a new sweep is on display
    int repaintCommand;      // to the results window
};

constexpr PaneKind kFra{measure::SweepKind::Fra, 1, kFraResultsClass,
                        {IDC_FRA_VIEW_REALTIME, IDC_FRA_VIEW_GRAPH, IDC_FRA_VIEW_TABLE}, IDC_FRA_START, IDC_FRA_TABLE,
                        IDC_FRA_CURSOR1, IDC_FRA_BACKGROUND, measure::kNotifyFraSweepReady, measure::kNotifyFraReading,
                        CMD_FRA_NEW_SWEEP, CMD_FRA_REPAINT};
constexpr PaneKind kLcr{measure::SweepKind::Lcr, 2, kLcrResultsClass,
                        {IDC_LCR_VIEW_REALTIME, IDC_LCR_VIEW_GRAPH, IDC_LCR_VIEW_TABLE}, IDC_LCR_SWEEP, IDC_LCR_TABLE,
                        IDC_LCR_CURSOR1, IDC_LCR_BACKGROUND, measure::kNotifyLcrSweepReady, measure::kNotifyLcrReading,
                        CMD_LCR_NEW_SWEEP, measure::kNotifyLcrRepaint};

// A pane window's record.
struct Pane {
    explicit Pane(const PaneKind& k) : kind(k), run(k.sweepKind) {}
    const PaneKind& kind;
    PaneView view = PaneView::Graph;
    MeasurementRun run;
    // When the sweep on display was taken (or imported): what Add To Database proposes.
    std::string shownDate, shownTime;
    // The sweep on display when the database would not take it, with its name and records as chosen:
    // until it is stored or kept in a file, nothing replaces it without asking.
    bool unstored = false;
    db::SweepRecord unstoredRecord;
};

Pane& paneOf(HWND pane) { return *windowRecord<Pane>(pane); }
bool isFra(const Pane& p) { return &p.kind == &kFra; }
HWND resultsOf(HWND pane) { return paneWindow(pane, paneOf(pane).kind.resultsClass); }
bool running() { return measure::sweepRunning() != 0; }

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

// Refills the table, one row per point, from the rows' tab-separated texts.
void fillTable(HWND table, const std::vector<std::string>& rows) {
    SendMessageA(table, WM_SETREDRAW, FALSE, 0);
    SendMessageA(table, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::size_t start = 0;
        for (int column = 0;; ++column) {
            const std::size_t tab = rows[r].find('\t', start);
            std::string cell = rows[r].substr(start, tab == std::string::npos ? std::string::npos : tab - start);
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            item.iSubItem = column;
            item.pszText = cell.data();
            SendMessageA(table, column == 0 ? LVM_INSERTITEMA : LVM_SETITEMTEXTA, r, reinterpret_cast<LPARAM>(&item));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
    }
    SendMessageA(table, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(table, nullptr, TRUE);
}

// The results window learns of a new sweep, and repaints it when it shows.
void announceNewSweep(HWND pane) {
    HWND results = resultsOf(pane);
    const PaneKind& kind = paneOf(pane).kind;
    PostMessageA(results, WM_COMMAND, static_cast<WPARAM>(kind.newSweepCommand), 0);
    if (IsWindowVisible(results)) PostMessageA(results, WM_COMMAND, static_cast<WPARAM>(kind.repaintCommand), 1);
}

void setStartCaption(HWND pane) {
    const Pane& p = paneOf(pane);
    SetWindowTextA(controlWindow(pane, p.kind.startButton), p.view == PaneView::Realtime ? "START" : "SWEEP");
}

// REALTIME, GRAPH or TABLE pressed: the START/SWEEP caption, the picture or the table, and the graph
// controls only in GRAPH mode.
void selectView(HWND pane, PaneView view) {
    Pane& p = paneOf(pane);
    const PaneKind& kind = p.kind;
    const bool changed = p.view != view;
    p.view = view;
    const auto button = [&kind](PaneView v) { return kind.viewButtons[static_cast<int>(v)]; };
    markSelected(pane, button(view), button(PaneView::Realtime), button(PaneView::Table));
    setStartCaption(pane);
    HWND results = resultsOf(pane);
    ShowWindow(controlWindow(pane, kind.table), view == PaneView::Table ? SW_SHOW : SW_HIDE);
    ShowWindow(results, view == PaneView::Table ? SW_HIDE : SW_SHOW);
    for (int id = kind.firstGraphControl; id <= kind.lastGraphControl; ++id)
        if (HWND control = controlWindow(pane, id)) ShowWindow(control, view == PaneView::Graph ? SW_SHOW : SW_HIDE);
    if (changed) {
        PostMessageA(mainWindowOf(pane), WM_COMMAND, CMD_REFRESH_CONTROLS, 0);
        PostMessageA(results, WM_COMMAND, static_cast<WPARAM>(kind.repaintCommand), 1);
    }
}

// Ends the run: the worker is let go (a realtime worker ends when sweepRunning clears), the menus
// come back and the button reads as before.
void stopRun(HWND pane) {
    Pane& p = paneOf(pane);
    measure::sweepRunning() = 0;
    p.run.release();
    HWND main = mainWindowOf(pane);
    if (mainState(main).mode != kModeDatabase) enableMeasurementMenus(main, true);
    setStartCaption(pane);
    PostMessageA(main, WM_COMMAND, CMD_REFRESH_CONTROLS, 0);
}

// "-fakesfra": the file the sweep replays; a cancelled choice replays nothing.
void chooseReplayFile(MeasurementRun& run) {
    platform::FileChoice choice;
    choice.title = "Open CSV/Data File";
    choice.filters = {{"CSV Files", "*.txt"}, {"TMP Data Files", "*.dat"}};
    choice.mustExist = true;
    std::vector<std::string> paths;
    run.replayPath = platform::prompter().openFile(choice, paths) ? paths.front() : std::string();
}

// Before the sweep on display goes (a new sweep, CLEAR, the program closing): one the database did
// not take is offered to be kept in a file first. False when the user keeps it on display.
bool mayReplaceShownSweep(HWND pane) {
    Pane& p = paneOf(pane);
    if (!p.unstored) return true;
    const platform::Answer answer = platform::showMessage(
        "The sweep on display is not in the database. Save it to a file before it goes?", "Unsaved Sweep",
        platform::Icon::Warning, platform::Buttons::YesNoCancel);
    if (answer == platform::Answer::Cancel) return false;
    if (answer == platform::Answer::Yes) {
        const bool lcr = p.unstoredRecord.dataType == db::kDataLcr;
        platform::FileChoice choice;
        choice.title = "Save Sweep";
        choice.filters = {lcr ? std::pair<std::string, std::string>{"CSV Files", "*.csv"}
                              : std::pair<std::string, std::string>{"XML Files", "*.xml"}};
        choice.defaultExtension = lcr ? "csv" : "xml";
        choice.overwritePrompt = true;
        std::string documents;
        platform::localAppDataFolder(platform::kFolderDocuments, documents);
        std::string path = interchange::unstoredSweepPath(p.unstoredRecord, documents);
        if (!platform::prompter().saveFile(choice, path)) return false;
        if (!interchange::keepUnstoredSweep(p.unstoredRecord, path)) {
            platform::showMessage("The sweep could not be written to " + path, "Unsaved Sweep", platform::Icon::Error);
            return false;
        }
    }
    p.unstored = false;
    return true;
}

void startOrStop(HWND pane) {
    if (running()) {
        stopRun(pane);
        return;
    }
    if (!mayReplaceShownSweep(pane)) return;
    Pane& p = paneOf(pane);
    HWND main = mainWindowOf(pane);
    measure::sweepRunning() = p.kind.runningValue;
    if (isFra(p) && app::isFakeSweep()) chooseReplayFile(p.run);
    const bool sweep = p.view != PaneView::Realtime;
    if (sweep) {
        if (!runPerformSweep(main, p.kind.sweepKind, p.run.pending)) {
            measure::sweepRunning() = 0;
            return;
        }
        // The run starts from the instrument set up as the program's table says.
        SendMessageA(main, WM_COMMAND, IDC_SETUP_SFRA, 0);
    }
    const instrument::InstrumentSetting* mode = instrument::findSetting(instrument::settingsTable(), "Acqu:mode");
    if (p.run.start(sweep ? RunKind::Sweep : RunKind::Realtime, pane, resultsOf(pane), mode)) {
        enableMeasurementMenus(main, false);
        PostMessageA(main, WM_COMMAND, CMD_REFRESH_CONTROLS, 0);
        if (sweep) runSweepDataDialog(pane, p.run, p.kind.handoverCommand, p.kind.startButton);
        else SetWindowTextA(controlWindow(pane, p.kind.startButton), "STOP");
        return;
    }
    measure::sweepRunning() = 0;
    platform::showMessage(sweep ? "The SFRA sweep measurement thread failed!!"
                                : "The SFRA realtime measurement thread failed!!",
                          "Corvane", platform::Icon::Information);
}

// Stores the finished sweep when it came in whole and saving was chosen; the "Sweep Data" dialog
// hears how that went.
template <typename Block, typename Store>
void storeIfChosen(Pane& p, const Block& block, int count, Store store) {
    if (!p.run.pending.save || !measure::storedAsChosen(measure::sweepOutcome(p.run.flags(), block.stepCount))) return;
    if (store(p.run.pending, block, count, &p.run.sink) == db::kStored) return;
    p.unstored = true;
    p.unstoredRecord = p.run.pending.record;
    p.run.sink.notify(CMD_SWEEP_NOT_STORED, 0);
}

void takeOverFraSweep(HWND pane) {
    Pane& p = paneOf(pane);
    const measure::FraSweepBlock& block = p.run.fraJob->block;
    const int count = measure::handedOverPoints(p.run.flags(), block.stepCount);
    showFraSweep(resultsOf(pane), block.phaseRangeCode, block.points, count);
    std::vector<std::string> rows;
    for (int i = 0; i < count; ++i) rows.push_back(measure::fraTableRow(i + 1, block.points[i]));
    fillTable(controlWindow(pane, IDC_FRA_TABLE), rows);
    p.shownDate = p.run.pending.record.date.str();
    p.shownTime = p.run.pending.record.time.str();
    storeIfChosen(p, block, count, measure::storeFraSweep);
    announceNewSweep(pane);
}

void showLcrPoints(HWND pane, int phaseRangeCode, const db::LcrPoint* points, int count) {
    showLcrSweep(resultsOf(pane), phaseRangeCode, points, count);
    std::vector<std::string> rows;
    for (int i = 0; i < count; ++i) rows.push_back(measure::lcrTableRow(i + 1, points[i]));
    fillTable(controlWindow(pane, IDC_LCR_TABLE), rows);
    SetWindowTextA(controlWindow(pane, IDC_LCR_IMPORT), count > 0 ? "EXPORT" : "IMPORT");
}

void takeOverLcrSweep(HWND pane) {
    Pane& p = paneOf(pane);
    const measure::LcrSweepBlock& block = p.run.lcrJob->block;
    const int count = measure::handedOverPoints(p.run.flags(), block.stepCount);
    showLcrPoints(pane, block.phaseRangeCode, block.points, count);
    p.shownDate = p.run.pending.record.date.str();
    p.shownTime = p.run.pending.record.time.str();
    storeIfChosen(p, block, count, measure::storeLcrSweep);
    announceNewSweep(pane);
}

// A realtime reading: shown when it differs from the one on display; either way the worker may take
// the next.
void takeFraReading(HWND pane) {
    measure::SweepJob& job = *paneOf(pane).run.fraJob;
    HWND results = resultsOf(pane);
    if (showFraReading(results, job.currentReading) && IsWindowVisible(results))
        PostMessageA(results, WM_COMMAND, CMD_FRA_REPAINT, 0);
    job.readingTaken = true;
}

void takeLcrReading(HWND pane) {
    measure::LcrSweepJob& job = *paneOf(pane).run.lcrJob;
    HWND results = resultsOf(pane);
    const bool shortForm = job.shortForm;
    if (showLcrReading(results, shortForm ? job.shortReading : job.longReading, shortForm ? 11 : 14) &&
        IsWindowVisible(results))
        PostMessageA(results, WM_COMMAND, measure::kNotifyLcrRepaint, 0);
    job.readingTaken = true;
}

// Now, as a sweep record stores it.
void stampNow(Pane& p) {
    const platform::LocalTime t = platform::localTimeNow();
    p.shownDate = common::stringPrintf("%04d-%02d-%02d", t.year, t.month, t.day);
    p.shownTime = common::stringPrintf("%02d:%02d", t.hour, t.minute);
}

// The sweep on display as a new record for Edit Sweep, which stores it: the instrument that
// measured it is the current equipment.
db::SweepRecord recordOfShownSweep(const Pane& p, int dataType) {
    db::SweepRecord r;
    r.dataType = dataType;
    r.date = p.shownDate;
    r.time = p.shownTime;
    r.equipmentId = app::currentEquipmentId();
    return r;
}

// Add To Database: Edit Sweep proposes the sweep on display, with the name and records chosen for it
// when it is one the database did not take.
void addShownSweep(HWND pane, db::SweepRecord& r) {
    Pane& p = paneOf(pane);
    if (p.unstored) {
        db::SweepRecord chosen = p.unstoredRecord;
        chosen.fraPoints = r.fraPoints;
        chosen.lcrPoints = r.lcrPoints;
        r = chosen;
    }
    if (editSweepDialog(mainWindowOf(pane), r, db::kAddChecked)) p.unstored = false;
}

void addFraSweepToDatabase(HWND pane) {
    db::SweepRecord r = recordOfShownSweep(paneOf(pane), db::kDataFra);
    r.fraPoints = fraSweepShown(resultsOf(pane));
    if (r.fraPoints.empty()) return;
    addShownSweep(pane, r);
}

void addLcrSweepToDatabase(HWND pane) {
    db::SweepRecord r = recordOfShownSweep(paneOf(pane), db::kDataLcr);
    r.lcrPoints = lcrSweepShown(resultsOf(pane));
    if (r.lcrPoints.empty()) {
        platform::showMessage("There is no test data to add to the database", "Add to Database Error",
                              platform::Icon::Warning);
        return;
    }
    addShownSweep(pane, r);
}

// IMPORT reads an impedance file into the display; with a sweep on display the button reads EXPORT
// and writes it out.
void importOrExport(HWND pane) {
    const std::vector<db::LcrPoint> shown = lcrSweepShown(resultsOf(pane));
    if (!shown.empty()) {
        exportSweepDialog(mainWindowOf(pane), shown);
        return;
    }
    std::vector<db::LcrPoint> points;
    if (!interchange::importIntoDisplay(points)) return;
    showLcrPoints(pane, 0, points.data(), static_cast<int>(points.size()));
    stampNow(paneOf(pane));
    measure::sweepRunning() = 0;
    announceNewSweep(pane);
    PostMessageA(mainWindowOf(pane), WM_COMMAND, CMD_REFRESH_CONTROLS, 0);
}

void clearLcr(HWND pane) {
    if (!mayReplaceShownSweep(pane)) return;
    clearLcrSweep(resultsOf(pane));
    showLcrPoints(pane, 0, nullptr, 0);
    measure::sweepRunning() = 0;
    announceNewSweep(pane);
    PostMessageA(mainWindowOf(pane), WM_COMMAND, CMD_REFRESH_CONTROLS, 0);
}

bool onPaneCommand(HWND pane, int id) {
    Pane& p = paneOf(pane);
    for (PaneView view : {PaneView::Realtime, PaneView::Graph, PaneView::Table})
        if (p.kind.viewButtons[static_cast<int>(view)] == id) {
            selectView(pane, view);
            return true;
        }
    if (id == p.kind.startButton) startOrStop(pane);
    else if (id == p.kind.handoverCommand) isFra(p) ? takeOverFraSweep(pane) : takeOverLcrSweep(pane);
    else if (id == p.kind.readingCommand) isFra(p) ? takeFraReading(pane) : takeLcrReading(pane);
    else if (id == IDC_FRA_ADD_TO_DATABASE && isFra(p)) addFraSweepToDatabase(pane);
    else if (id == IDC_LCR_ADD_TO_DATABASE && !isFra(p)) addLcrSweepToDatabase(pane);
    else if (id == IDC_LCR_IMPORT && !isFra(p)) importOrExport(pane);
    else if (id == IDC_LCR_CLEAR && !isFra(p)) clearLcr(pane);
    else return false;
    return true;
}

// A pane that goes while it measures stops its worker first: the worker uses the pane's job.
void onDestroy(HWND pane) {
    Pane& p = paneOf(pane);
    if (!p.run.hasWorker()) return;
    measure::sweepRunning() = 0;
    p.run.flags().abort = true;
    p.run.release();
}

LRESULT paneProc(const PaneKind& kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        attachRecord(window, new Pane(kind));
        break;
    case WM_COMMAND:
        if (onPaneCommand(window, LOWORD(wParam))) return 0;
        break;
    case WM_DESTROY:
        onDestroy(window);
        break;
    case WM_NCDESTROY:
        delete detachRecord<Pane>(window);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void enable(HWND window, bool enabled) {
    if (window) EnableWindow(window, enabled ? TRUE : FALSE);
}

}  // namespace

PaneView paneView(HWND pane) { return paneOf(pane).view; }

bool shownSweepsMayGo(HWND main) {
    for (const char* pane : {kFraClass, kLcrClass}) {
        HWND window = paneWindow(main, pane);
        if (window && !mayReplaceShownSweep(window)) return false;
    }
    return true;
}

void setUpMeasurementTables(HWND window) {
    addColumns(window, IDC_FRA_TABLE, {L"Step", L"Frequency (Hz)", L"Magnitude 1 (V)", L"Magnitude 2 (V)",
                                       L"Gain (dB)", L"Phase (\u00B0)"}, 24, 5.15);
    addColumns(window, IDC_LCR_TABLE, {L"Steps", L"Frequency (Hz)", L"Admittance", L"Admittance Phase (\u00B0)",
                                       L"Impedance (Ohms)", L"Impedance Phase (\u00B0)", L"L (H)", L"C (F)",
                                       L"R (Ohms)"}, 18, 8.15);
}

void refreshPaneControls(HWND window, bool sweepRunning) {
    // The view cannot change under a running measurement: the button that started it stops it.
    for (const PaneKind* kind : {&kFra, &kLcr})
        for (int id : kind->viewButtons) enable(controlWindow(window, id), !sweepRunning);
    HWND fraTable = controlWindow(window, IDC_FRA_TABLE);
    enable(controlWindow(window, IDC_FRA_ADD_TO_DATABASE),
           !sweepRunning && fraTable && ListView_GetItemCount(fraTable) > 0);
    HWND lcrTable = controlWindow(window, IDC_LCR_TABLE);
    const bool lcrShown = lcrTable && ListView_GetItemCount(lcrTable) > 0;
    enable(controlWindow(window, IDC_LCR_IMPORT), !sweepRunning);
    enable(controlWindow(window, IDC_LCR_CLEAR), !sweepRunning && lcrShown);
    enable(controlWindow(window, IDC_LCR_ADD_TO_DATABASE), !sweepRunning);
}

LRESULT CALLBACK fraPaneProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return paneProc(kFra, w, m, wp, lp); }
LRESULT CALLBACK lcrPaneProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return paneProc(kLcr, w, m, wp, lp); }

}  // namespace gui
