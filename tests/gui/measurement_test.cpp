// Measuring from the main window under Wine against the real simulator: sweeps through Perform Sweep
// and the "Sweep Data" dialog into the table, the graph and the database, the simulator's faults, a
// cancelled sweep, realtime runs, and the 0 dB / 0 degree report.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "app/instrument_registration.h"
#include "app/startup.h"
#include "db/database_files.h"
#include "db/record_store.h"
#include "gui/measure/measurement_panes.h"
#include "gui/app/layout.h"
#include "gui/app/main_window.h"
#include "gui/app/window_classes.h"
#include "gui/instrument/instrument_link.h"
#include "gui/measure/results_windows.h"
#include "gui/resources/dialog_ids.h"
#include "gui/resources/resource.h"
#include "gui/support/dialog_driver.h"
#include "gui/support/form_driver.h"
#include "gui/support/main_window_fixture.h"
#include "interchange/csv_export.h"
#include "interchange/csv_import.h"
#include "measure/sweep_handover.h"
#include "measure/sweep_job.h"
#include "measure/zero_crossings.h"
#include "sim_process.h"
#include "support/records.h"

namespace gui_testing {
namespace {

using gui::controlWindow;
using gui::paneWindow;

// Pumps messages until the control's text reads text, at most ms; true when it did.
bool waitForText(HWND window, const std::string& text, unsigned ms) {
    for (unsigned waited = 0; waited < ms; waited += 20) {
        if (windowText(window) == text) return true;
        pumpMessages(20);
    }
    return windowText(window) == text;
}

class Measurement : public SimulatorTest {
protected:
    // Confirms Perform Sweep with the given step count, the sweep not kept.
    void confirmUnsavedSweep(const std::string& steps) {
        answerNextDialog("Perform Sweep", [steps](HWND dialog) {
            setItemText(dialog, IDC_PERFORM_STEPS, steps);
            SendDlgItemMessageA(dialog, IDC_PERFORM_SAVE, BM_SETCHECK, BST_UNCHECKED, 0);
            pressButton(dialog, IDC_PERFORM_SAVE);
            pressButton(dialog, IDOK);
        });
    }
    // Confirms Perform Sweep with the given step count, to be saved under name with the first
    // transformer and setup and equipment 1.
    void confirmSavedSweep(const std::string& steps, const std::string& name) {
        app::setCurrentEquipmentId(1);
        answerNextDialog("Perform Sweep", [steps, name](HWND d) {
            typeInto(d, IDC_PERFORM_STEPS, steps);
            typeInto(d, IDC_DETAILS_NAME, name);
            typeInto(d, IDC_DETAILS_PEAK_VOLTAGE, "10");
            typeInto(d, IDC_DETAILS_TEMPERATURE, "21.5");
            pickFirstRow(d, IDC_DETAILS_TRANSFORMER);
            pickFirstRow(d, IDC_DETAILS_SETUP);
            pressButton(d, IDOK);
        });
    }
    void click(int id) { SendMessageA(controlWindow(main, id), BM_CLICK, 0, 0); }
    int tableRows(int table) { return static_cast<int>(SendMessageA(controlWindow(main, table), LVM_GETITEMCOUNT, 0, 0)); }
    std::string cell(int table, int row, int column) {
        char text[128] = "";
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(controlWindow(main, table), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    // The results window's picture as the screen gets it: how many pixels are pure red (the gain).
    int redPixels(const char* resultsClass) {
        HWND results = paneWindow(main, resultsClass);
        const SIZE size = gui::resultsPictureSize(results);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        gui::drawResults(results, dc, size.cx, size.cy);
        GdiFlush();
        int red = 0;
        const auto* pixel = static_cast<const DWORD*>(bits);
        for (long i = 0; i < static_cast<long>(size.cx) * size.cy; ++i) red += (pixel[i] & 0xFFFFFF) == 0xFF0000;
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return red;
    }
    bool menuGreyed(UINT item, UINT by) { return (GetMenuState(GetMenu(main), item, by) & MF_GRAYED) != 0; }
};

TEST_F(Measurement, AnUnsavedFraSweepFillsTheTableAndDrawsTheCurves) {
    testing_support::SimProcess sim({"--fast"});
    connectTo(sim.lanLink());
    const int redBefore = redPixels(gui::kFraResultsClass);
    confirmUnsavedSweep("50");
    click(IDC_FRA_START);   // reads SWEEP in the GRAPH view
    pumpMessages(200);
    ASSERT_EQ(tableRows(IDC_FRA_TABLE), 50);
    EXPECT_EQ(cell(IDC_FRA_TABLE, 0, 0), "1");
    EXPECT_EQ(cell(IDC_FRA_TABLE, 49, 0), "50");
    EXPECT_EQ(gui::fraSweepShown(paneWindow(main, gui::kFraResultsClass)).size(), 50u);
    EXPECT_GT(redPixels(gui::kFraResultsClass), redBefore + 200);   // the gain curve
    // The run is over: nothing holds the instrument, the menus are back, nothing was stored.
    EXPECT_EQ(measure::sweepRunning(), 0);
    EXPECT_FALSE(gui::instrumentLink().open);
    EXPECT_FALSE(menuGreyed(IDM_CONNECTION, MF_BYCOMMAND));
    EXPECT_FALSE(menuGreyed(gui::kMenuImpedance, MF_BYPOSITION));
    EXPECT_EQ(windowText(controlWindow(main, IDC_FRA_START)), "SWEEP");
    EXPECT_EQ(db::count_rows(db::TableIndex::Sweep), 1);   // the one the database came with
    EXPECT_TRUE(IsWindowEnabled(controlWindow(main, IDC_FRA_ADD_TO_DATABASE)));

    // Add To Database hands the sweep on display to Edit Sweep, which stores it with its points,
    // taken with the connected instrument.
    app::setCurrentEquipmentId(1);
    answerNextDialog("Edit Sweep", [](HWND d) {
        typeInto(d, IDC_DETAILS_NAME, "Tap8 kept later");
        pickFirstRow(d, IDC_DETAILS_TRANSFORMER);
        pickFirstRow(d, IDC_DETAILS_SETUP);
        pressButton(d, IDOK);
    });
    click(IDC_FRA_ADD_TO_DATABASE);
    const std::vector<std::string> added = rows(db::TableIndex::Sweep, "WHERE Name='Tap8 kept later'");
    ASSERT_EQ(added.size(), 1u);
    db::SweepRecord kept;
    ASSERT_TRUE(db::load_sweep(std::stoll(added[0]), kept));
    EXPECT_EQ(kept.dataType, db::kDataFra);
    EXPECT_EQ(kept.fraPoints.size(), 50u);
    EXPECT_EQ(kept.equipmentId, 1);

    // The 0 dB and 0 degree points of the sweep on display, as the measurement core finds them.
    std::vector<measure::ResponsePoint> points;
    for (const db::FraPoint& p : gui::fraSweepShown(paneWindow(main, gui::kFraResultsClass)))
        points.push_back({p.frequency, p.amplitude, p.phase});
    prompter.boxes.clear();
    click(IDC_FRA_FIND_MARGINS);
    ASSERT_EQ(prompter.boxes.size(), 2u);
    EXPECT_EQ(prompter.boxes[0].text, measure::gainCrossingReport(measure::findGainCrossings(points)));
    EXPECT_EQ(prompter.boxes[1].text, measure::phaseCrossingReport(measure::findPhaseCrossings(points)));
    EXPECT_EQ(prompter.boxes[0].caption, "Corvane");
}

TEST_F(Measurement, AStoredSweepLandsInTheDatabaseWithAllItsPoints) {
    testing_support::SimProcess sim({"--fast"});
    connectTo(sim.lanLink());
    confirmSavedSweep("40", "Tap7 after repair");
    std::string status;
    bool viewSweepShown = false;
    answerNextDialog("Sweep Data", [&](HWND d) {
        waitForText(GetDlgItem(d, IDC_SWEEP_STATUS), "Sweep Added to Database Successfully", 15000);
        status = itemText(d, IDC_SWEEP_STATUS);
        viewSweepShown = IsWindowVisible(GetDlgItem(d, IDC_SWEEP_VIEW)) && !IsWindowVisible(GetDlgItem(d, IDCANCEL));
        pressButton(d, IDC_SWEEP_VIEW);
    }, 15000);
    click(IDC_FRA_START);
    pumpMessages(100);
    EXPECT_EQ(status, "Sweep Added to Database Successfully");
    EXPECT_TRUE(viewSweepShown);
    const std::vector<std::string> stored = rows(db::TableIndex::Sweep, "WHERE Name='Tap7 after repair'");
    ASSERT_EQ(stored.size(), 1u);
    db::SweepRecord sweep;
    ASSERT_TRUE(db::load_sweep(std::stoll(stored[0]), sweep));
    EXPECT_EQ(sweep.dataType, db::kDataFra);
    ASSERT_EQ(sweep.fraPoints.size(), 40u);
    const std::vector<db::FraPoint> shown = gui::fraSweepShown(paneWindow(main, gui::kFraResultsClass));
    ASSERT_EQ(shown.size(), 40u);
    for (std::size_t i : {std::size_t{0}, std::size_t{39}}) {
        EXPECT_EQ(sweep.fraPoints[i].frequency, shown[i].frequency);
        EXPECT_EQ(sweep.fraPoints[i].amplitude, shown[i].amplitude);
        EXPECT_EQ(sweep.fraPoints[i].phase, shown[i].phase);
    }
    EXPECT_EQ(sweep.transformerIdentifier, "TX-100");
    EXPECT_EQ(sweep.equipmentId, 1);
    EXPECT_EQ(tableRows(IDC_FRA_TABLE), 40);
}

// The database file held by another program while the sweep is stored: the sweep stays on display,
// Add To Database stores it later with what was chosen for it, and until then the program asks before
// it closes.
TEST_F(Measurement, ASweepTheDatabaseWouldNotTakeStaysOnDisplayUntilItIsStored) {
    testing_support::SimProcess sim({"--fast"});
    connectTo(sim.lanLink());
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db::currentDatabasePath().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    confirmSavedSweep("40", "Tap9 while locked");
    const std::string refused =
        "The sweep could not be saved to the database: it stays on display, and Add To Database tries again";
    std::string status;
    answerNextDialog("Sweep Data", [&](HWND d) {
        waitForText(GetDlgItem(d, IDC_SWEEP_STATUS), refused, 30000);
        status = itemText(d, IDC_SWEEP_STATUS);
        pressButton(d, IDCANCEL);
    }, 30000);
    click(IDC_FRA_START);
    pumpMessages(100);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(status, refused);
    EXPECT_TRUE(rows(db::TableIndex::Sweep, "WHERE Name='Tap9 while locked'").empty());
    EXPECT_EQ(tableRows(IDC_FRA_TABLE), 40);
    EXPECT_GT(redPixels(gui::kFraResultsClass), 0);

    // Closing the program asks; Cancel keeps it open with the sweep.
    const std::size_t boxes = prompter.boxes.size();
    prompter.queueAnswer(platform::Answer::Cancel);
    SendMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(IsWindow(main));
    ASSERT_EQ(prompter.boxes.size(), boxes + 1);
    EXPECT_EQ(prompter.boxes.back().caption, "Unsaved Sweep");
    EXPECT_EQ(prompter.boxes.back().text, "The sweep on display is not in the database. Save it to a file before it goes?");

    // Add To Database proposes it as it was chosen, and stores it.
    std::string proposed;
    answerNextDialog("Edit Sweep", [&](HWND d) {
        proposed = itemText(d, IDC_DETAILS_NAME);
        pressButton(d, IDOK);
    });
    click(IDC_FRA_ADD_TO_DATABASE);
    EXPECT_TRUE(finishDialogs());
    EXPECT_EQ(proposed, "Tap9 while locked");
    const std::vector<std::string> stored = rows(db::TableIndex::Sweep, "WHERE Name='Tap9 while locked'");
    ASSERT_EQ(stored.size(), 1u);
    db::SweepRecord sweep;
    ASSERT_TRUE(db::load_sweep(std::stoll(stored[0]), sweep));
    EXPECT_EQ(sweep.fraPoints.size(), 40u);
    EXPECT_EQ(sweep.transformerIdentifier, "TX-100");
    // Stored, it may go without a question.
    EXPECT_TRUE(gui::shownSweepsMayGo(main));
    EXPECT_EQ(prompter.boxes.size(), boxes + 1);
}

TEST_F(Measurement, TheFakeSweepModeReplaysTheChosenFile) {
    testing_support::SimProcess sim({"--fast"});
    connectTo(sim.lanLink());
    app::parseCommandLine({"-fakesfra"});
    const std::string file = dir.file("winding.txt");
    testing_support::writeFile(file, ",steps,3\n"
                                     "Frequency (Hz),Magnitude 1 (V),Magnitude 2 (V),Gain (dB),Phase (deg)\n"
                                     "100,1,0.5,-6.02,-45\n200,1,0.4,-7.96,-50\n300,1,0.3,-10.46,-55\n");
    prompter.openResults.push_back({file});
    confirmUnsavedSweep("3");
    click(IDC_FRA_START);
    pumpMessages(200);
    app::parseCommandLine({});
    ASSERT_EQ(prompter.choicesShown.size(), 1u);
    EXPECT_EQ(prompter.choicesShown[0].title, "Open CSV/Data File");
    ASSERT_EQ(prompter.choicesShown[0].filters.size(), 2u);
    EXPECT_EQ(prompter.choicesShown[0].filters[1].second, "*.dat");
    ASSERT_EQ(tableRows(IDC_FRA_TABLE), 3);
    EXPECT_EQ(cell(IDC_FRA_TABLE, 1, 1), "200.0000");
    EXPECT_EQ(cell(IDC_FRA_TABLE, 2, 4), "-1.04600E+01");
}

// The instrument breaks a sweep off after 20 points, by dropping the connection or by falling
// silent: "Sweep Failed", the points that came shown, nothing stored, the instrument let go.
TEST_F(Measurement, ASweepBrokenOffEndsFailedShowsWhatCameAndStoresNothing) {
    for (const char* fault : {"drop-at-point:20", "silent-at-point:20"}) {
        SCOPED_TRACE(fault);
        testing_support::SimProcess sim({"--fast", "--fault", fault});
        connectTo(sim.lanLink());
        std::string status;
        confirmUnsavedSweep("60");
        answerNextDialog("Sweep Data", [&status](HWND dialog) {
            waitForText(GetDlgItem(dialog, IDC_SWEEP_STATUS), "Sweep Failed", 15000);
            status = itemText(dialog, IDC_SWEEP_STATUS);
            pressButton(dialog, IDCANCEL);
        }, 15000);
        click(IDC_FRA_START);
        pumpMessages(100);
        EXPECT_EQ(status, "Sweep Failed");
        EXPECT_EQ(tableRows(IDC_FRA_TABLE), 20);
        EXPECT_EQ(db::count_rows(db::TableIndex::Sweep), 1);   // the one the database came with
        EXPECT_EQ(measure::sweepRunning(), 0);
        EXPECT_FALSE(gui::instrumentLink().open);
        EXPECT_TRUE(finishDialogs());
    }
    // The silent instrument was interrupted and told to abort.
    const std::string log = traffic();
    const std::size_t last = log.rfind(">>\tfra?sweep\n");
    ASSERT_NE(last, std::string::npos);
    EXPECT_NE(log.find(">>\tabort\n", last), std::string::npos);
}

// Saving was chosen, but the sweep broke off after ten points: they are shown, the sweep is not
// stored as if it were whole, and the dialog says so.
TEST_F(Measurement, ASweepCutShortIsShownButNotSavedAndTheUserIsTold) {
    testing_support::SimProcess sim({"--fast", "--fault", "nodot:fra?sweep:11"});
    connectTo(sim.lanLink());
    confirmSavedSweep("40", "Tap9 cut short");
    std::string status;
    answerNextDialog("Sweep Data", [&status](HWND d) {
        waitForText(GetDlgItem(d, IDC_SWEEP_STATUS), measure::kFailedSweepNotStored, 15000);
        pumpMessages(200);
        status = itemText(d, IDC_SWEEP_STATUS);
        pressButton(d, IDCANCEL);
    }, 15000);
    click(IDC_FRA_START);
    pumpMessages(100);
    EXPECT_EQ(status, measure::kFailedSweepNotStored);
    EXPECT_EQ(tableRows(IDC_FRA_TABLE), 10);
    EXPECT_TRUE(rows(db::TableIndex::Sweep, "WHERE Name='Tap9 cut short'").empty());
    EXPECT_EQ(measure::sweepRunning(), 0);
    EXPECT_FALSE(gui::instrumentLink().open);
}

TEST_F(Measurement, CancelWhileTheInstrumentIsSilentInterruptsAndReleasesIt) {
    testing_support::SimProcess sim({"--fast", "--fault", "silent:fra?sweep"});
    connectTo(sim.lanLink());
    std::string status;
    confirmUnsavedSweep("20");
    answerNextDialog("Sweep Data", [&status](HWND dialog) {
        pumpMessages(1500);
        status = itemText(dialog, IDC_SWEEP_STATUS);
        pressButton(dialog, IDCANCEL);
    });
    click(IDC_FRA_START);
    pumpMessages(100);
    EXPECT_EQ(status, "Waiting for data");
    EXPECT_EQ(tableRows(IDC_FRA_TABLE), 0);
    EXPECT_EQ(measure::sweepRunning(), 0);
    EXPECT_FALSE(gui::instrumentLink().open);
    const std::string log = traffic();
    const std::size_t asked = log.find(">>\tfra?sweep\n");
    ASSERT_NE(asked, std::string::npos) << log;
    EXPECT_NE(log.find(">>\t\\024\n", asked), std::string::npos);
    EXPECT_NE(log.find(">>\tabort\n", asked), std::string::npos);
    EXPECT_NE(log.find(">>\t*trg\n", asked), std::string::npos);
}

TEST_F(Measurement, AnLcrSweepFillsItsNineColumnTable) {
    testing_support::SimProcess sim({"--fast"});
    connectTo(sim.lanLink());
    SendMessageA(main, WM_COMMAND, IDM_IMPEDANCE, 0);
    HWND header = reinterpret_cast<HWND>(SendMessageA(controlWindow(main, IDC_LCR_TABLE), LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 9);
    confirmUnsavedSweep("30");
    click(IDC_LCR_SWEEP);
    pumpMessages(600);   // the LCR sweep reaches its pane a moment after it ends
    ASSERT_EQ(tableRows(IDC_LCR_TABLE), 30);
    EXPECT_EQ(cell(IDC_LCR_TABLE, 29, 0), "30");
    EXPECT_NE(cell(IDC_LCR_TABLE, 0, 8), "");
    EXPECT_EQ(windowText(controlWindow(main, IDC_LCR_IMPORT)), "EXPORT");
    EXPECT_TRUE(IsWindowEnabled(controlWindow(main, IDC_LCR_CLEAR)));
    click(IDC_LCR_CLEAR);
    pumpMessages(50);
    EXPECT_EQ(tableRows(IDC_LCR_TABLE), 0);
    EXPECT_EQ(windowText(controlWindow(main, IDC_LCR_IMPORT)), "IMPORT");
    EXPECT_FALSE(IsWindowEnabled(controlWindow(main, IDC_LCR_CLEAR)));
}

TEST_F(Measurement, AnInstrumentThatHasGoneIsAReportedCommsErrorAndAFailedSweep) {
    {
        testing_support::SimProcess sim({"--fast"});
        connectTo(sim.lanLink());
    }   // the instrument is switched off after the connection
    std::string status;
    confirmUnsavedSweep("20");
    answerNextDialog("Sweep Data", [&status](HWND dialog) {
        waitForText(GetDlgItem(dialog, IDC_SWEEP_STATUS), "Sweep Failed", 10000);
        status = itemText(dialog, IDC_SWEEP_STATUS);
        pressButton(dialog, IDCANCEL);
    });
    prompter.boxes.clear();
    click(IDC_FRA_START);
    pumpMessages(100);
    EXPECT_EQ(status, "Sweep Failed");
    bool commsError = false;
    for (const auto& box : prompter.boxes) commsError = commsError || (box.text == "Comms Error" && box.caption == "Corvane");
    EXPECT_TRUE(commsError) << prompter.captions();
    EXPECT_EQ(measure::sweepRunning(), 0);
    EXPECT_EQ(tableRows(IDC_FRA_TABLE), 0);
}

TEST_F(Measurement, AnImpedanceFileIsImportedIntoThePaneAndExportedAgain) {
    SendMessageA(main, WM_COMMAND, IDM_IMPEDANCE, 0);
    const std::vector<db::LcrPoint> points = {{100, 1e-3, -80, 1000, 80, 0.5, 0, 10},
                                              {200, 2e-3, -81, 500, 81, 0.4, 0, 11},
                                              {400, 4e-3, -82, 250, 82, 0.2, 0, 12}};
    ASSERT_TRUE(interchange::exportImpedanceTable(dir.file("winding.csv"), points));
    prompter.openResults.push_back({dir.file("winding.csv")});
    click(IDC_LCR_IMPORT);
    pumpMessages(50);
    ASSERT_EQ(tableRows(IDC_LCR_TABLE), 3);
    EXPECT_EQ(cell(IDC_LCR_TABLE, 2, 1), "400.0000");
    EXPECT_EQ(windowText(controlWindow(main, IDC_LCR_IMPORT)), "EXPORT");
    EXPECT_TRUE(IsWindowEnabled(controlWindow(main, IDC_LCR_CLEAR)));

    prompter.saveResults.push_back(dir.file("again"));
    answerNextDialog("Export Sweep", [](HWND d) {
        SendMessageW(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(d, IDC_EXPORT_LOCATION)), TRUE);
        EXPECT_TRUE(pumpUntil([&] { return itemText(d, IDC_EXPORT_LOCATION) != "File Location..."; }));
        pressButton(d, IDOK);
    });
    click(IDC_LCR_IMPORT);
    std::vector<db::LcrPoint> back;
    ASSERT_TRUE(interchange::importImpedanceFile(dir.file("again.csv"), back));
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[2].frequency, 400);
}

TEST_F(Measurement, ARealtimeRunStartsUpdatesAndStops) {
    testing_support::SimProcess sim({"--fast"});
    connectTo(sim.lanLink());
    HWND fra = paneWindow(main, gui::kFraClass);
    SendMessageA(fra, WM_COMMAND, IDC_FRA_VIEW_REALTIME, 0);
    click(IDC_FRA_START);
    EXPECT_EQ(windowText(controlWindow(main, IDC_FRA_START)), "STOP");
    EXPECT_EQ(measure::sweepRunning(), 1);
    pumpMessages(100);
    EXPECT_TRUE(menuGreyed(IDM_CONNECTION, MF_BYCOMMAND));
    EXPECT_FALSE(IsWindowEnabled(controlWindow(main, IDC_FRA_VIEW_GRAPH)));
    pumpMessages(1500);
    click(IDC_FRA_START);
    EXPECT_EQ(windowText(controlWindow(main, IDC_FRA_START)), "START");
    EXPECT_EQ(measure::sweepRunning(), 0);
    EXPECT_FALSE(gui::instrumentLink().open);
    pumpMessages(100);
    EXPECT_FALSE(menuGreyed(IDM_CONNECTION, MF_BYCOMMAND));
    EXPECT_TRUE(IsWindowEnabled(controlWindow(main, IDC_FRA_VIEW_GRAPH)));
    // The readout asked again and again while it ran.
    const std::string log = traffic();
    int readings = 0;
    for (std::size_t at = log.find(">>\tfra?\n"); at != std::string::npos; at = log.find(">>\tfra?\n", at + 1)) ++readings;
    EXPECT_GE(readings, 3) << log;
}

}  // namespace
}  // namespace gui_testing
