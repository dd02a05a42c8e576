// The data browser under Wine on the program's real database file, driven as UI automation drives
// it: the view selector's CBN_SELCHANGE, typing into the search box, the list's LVN_COLUMNCLICK,
// NM_DBLCLK and NM_RCLICK, the tool buttons' BM_CLICK and the menu commands' WM_COMMAND; the rows
// read back with LVM_GETITEMTEXT from the owner-data list.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "db/browser_views.h"
#include "db/database_files.h"
#include "db/record_store.h"
#include "db/row_text.h"
#include "gui/analysis/graph_state.h"
#include "gui/app/layout.h"
#include "gui/app/window_classes.h"
#include "gui/db/data_browser.h"
#include "gui/resources/browser_ids.h"
#include "gui/resources/dialog_ids.h"
#include "gui/resources/resource.h"
#include "gui/support/dialog_driver.h"
#include "gui/support/form_driver.h"
#include "interchange/csv_export.h"
#include "interchange/xml_export.h"
#include "platform/files.h"
#include "platform/known_folders.h"
#include "support/records.h"

namespace gui_testing {
namespace {

using db::TableIndex;
using testing_support::readFile;
using testing_support::writeFile;

// A ".sfra" sweep file and a PAX file as their readers take them (see tests/interchange).
const std::string kSweepFile =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<SweepFile version=\"3\">\n  <Transformer>\n"
    "    <Manufacturer>Maker</Manufacturer>\n    <SerialNumber>S-1</SerialNumber>\n    <Rating>40 MVA</Rating>\n"
    "  </Transformer>\n  <Test>\n    <Name>OPEN2</Name>\n    <Site>North yard</Site>\n"
    "    <Operator>J. Smith</Operator>\n    <Purpose></Purpose>\n  </Test>\n  <Instrument>\n"
    "    <Manufacturer>Other Instruments</Manufacturer>\n    <Model>QMX74</Model>\n"
    "    <SerialNumber>410-77</SerialNumber>\n    <Firmware>2.1</Firmware>\n  </Instrument>\n  <Measurement>\n"
    "    <Started>7/1/2013 13:48:05</Started>\n    <FluidFilled>1</FluidFilled>\n    <Comments>x</Comments>\n"
    "    <ReferenceTerminal>H1</ReferenceTerminal>\n    <ResponseTerminal>H0</ResponseTerminal>\n    <Tap>5</Tap>\n"
    "    <ShortedTerminals>X1-X2-X3</ShortedTerminals>\n  </Measurement>\n  <Data>\n    <d>20,-40.5,12.25</d>\n"
    "    <d>100,-6,-45</d>\n  </Data>\n</SweepFile>\n";
const std::string kPaxFile =
    "<Frameworx>\n  <FileInfo version=\"1\" />\n  <Created>2020-05-12T10:00:00</Created>\n  <Time>10:00</Time>\n"
    "  <Date>2020-05-12</Date>\n  <Operator>J. Smith</Operator>\n  <Company>Grid</Company>\n"
    "  <Substation>North</Substation>\n  <Manufacturer>Maker</Manufacturer>\n  <SerialNumber>S-1</SerialNumber>\n"
    "  <Nameplate>\n    <Rating>40 MVA</Rating>\n    <Voltage>132/33 kV</Voltage>\n    <Vector>Dyn11</Vector>\n"
    "    <Year>1998</Year>\n  </Nameplate>\n  <Cooling>ONAN</Cooling>\n  <Oil>yes</Oil>\n  <Tap>5</Tap>\n"
    "  <Phases>3</Phases>\n  <Weather>dry</Weather>\n  <Ambient>21</Ambient>\n  <Location>Yard 3</Location>\n"
    "  <Notes>After the fault</Notes>\n  <Extra>x</Extra>\n  <Results version=\"1\">\n    <Info>not read</Info>\n"
    "    <Sweep>\n      <Name>Short</Name>\n      <Kind>FRA</Kind>\n      <Span>1,2</Span>\n"
    "      <Points>20,-40.5,12.25;100,-6,-45;</Points>\n    </Sweep>\n  </Results>\n</Frameworx>\n";

class DataBrowser : public RecordsTest {
protected:
    void SetUp() override {
        RecordsTest::SetUp();  // TX-100 with setup 1, equipment 1 and FRA sweep 1 "Tap5 after repair"
        SendMessageW(main, WM_COMMAND, IDC_DATABASE, 0);
        gui::fillDataBrowser(main);
    }

    HWND pane() const { return gui::paneWindow(main, gui::kDataViewClass); }
    HWND list() const { return gui::controlWindow(main, IDC_DATA_LIST); }
    HWND control(int id) const { return gui::controlWindow(main, id); }
    std::string caption() const { return windowText(control(IDC_DATA_CAPTION)); }

    // Stores a sweep of TX-100 with setup and equipment 1 and two points; returns its id.
    std::int64_t addSweep(const std::string& name, const std::string& date = "2024-03-05", int type = db::kDataFra,
                          const std::string& transformer = "TX-100") {
        db::SweepRecord s = testing_support::sweepRecord(name, date, "10:30", 10, 21, type);
        s.transformerIdentifier = transformer;
        s.setupId = s.equipmentId = 1;
        s.fraPoints = {{20, 1, 0.5, -6, -45, 0}, {40, 1, 0.4, -8, -50, 0}};
        s.basicPoints = {{20, -6, -45}, {40, -8, -50}};
        s.lcrPoints = {{20, 1e-3, -80, 1000, 80, 0.5, 0, 10}};
        EXPECT_EQ(db::store_new_sweep(s, db::kAddChecked), 0);
        return s.id;
    }

    void chooseView(int view) {
        HWND selector = control(IDC_DATA_VIEW_SELECTOR);
        SendMessageW(selector, CB_SETCURSEL, view, 0);
        SendMessageW(pane(), WM_COMMAND, MAKEWPARAM(IDC_DATA_VIEW_SELECTOR, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(selector));
    }

    // Sets the search box's text, which notifies the pane (EN_CHANGE) as typing does.
    void typeSearch(const std::string& text) { SetWindowTextA(control(IDC_DATA_SEARCH), text.c_str()); }

    std::vector<std::string> shown(int column) const {
        std::vector<std::string> cells;
        for (int r = 0; r < listRows(list()); ++r) cells.push_back(listCell(list(), r, column));
        return cells;
    }

    void select(const std::vector<int>& rows) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED;
        SendMessageW(list(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
        state.state = LVIS_SELECTED;
        for (int r : rows) SendMessageW(list(), LVM_SETITEMSTATE, r, reinterpret_cast<LPARAM>(&state));
    }
    void selectFirst(int count) {
        std::vector<int> rows;
        for (int r = 0; r < count; ++r) rows.push_back(r);
        select(rows);
    }

    void notifyList(UINT code, int item, int subItem = 0) {
        NMITEMACTIVATE note{};
        note.hdr = {list(), IDC_DATA_LIST, code};
        note.iItem = item;
        note.iSubItem = subItem;
        SendMessageW(pane(), WM_NOTIFY, IDC_DATA_LIST, reinterpret_cast<LPARAM>(&note));
    }

    void press(int tool) { SendMessageW(control(tool), BM_CLICK, 0, 0); }
    void command(int id) { SendMessageW(pane(), WM_COMMAND, id, 0); }

    // The labels of the context menu that a right click opens, submenus as "title>label"; closed
    // without a choice.
    std::vector<std::string> contextMenu() {
        std::vector<std::string> labels;
        answerNextMenu([&](HMENU menu) { readMenu(menu, "", labels); }, -1);
        notifyList(NM_RCLICK, 0);
        return labels;
    }
    static void readMenu(HMENU menu, const std::string& path, std::vector<std::string>& labels) {
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[256] = "";
            GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
            if (HMENU sub = GetSubMenu(menu, i)) readMenu(sub, path + text + ">", labels);
            else if (*text) labels.push_back(path + text);
        }
    }

    // The graph window the browser opened, its sweeps' ids; closes it.
    std::vector<std::int64_t> graphedAndClose(bool* diagnosing = nullptr) {
        HWND graph = FindWindowA(gui::kGraphClass, nullptr);
        std::vector<std::int64_t> ids;
        if (!graph) return ids;
        for (const db::SweepRecord& s : gui::graphState(graph)->sweeps) ids.push_back(s.id);
        if (diagnosing) *diagnosing = gui::graphState(graph)->diagnosing;
        DestroyWindow(graph);
        return ids;
    }
};

TEST_F(DataBrowser, EveryViewListsWhatTheFileHoldsUnderItsCaption) {
    addSweep("Second sweep", "2023-11-02", db::kDataLcr);
    EXPECT_EQ(caption(), "Sweeps (default.db)  Sweep details");
    for (int view = 0; view < db::kTableViewCount; ++view) {
        chooseView(view);
        db::ViewContext context;
        ASSERT_TRUE(db::tableView(view, context));
        std::vector<std::string> rows;
        ASSERT_TRUE(db::select_rows_to_view(rows, context.table, context.columns, "", false));
        ASSERT_EQ(listRows(list()), static_cast<int>(rows.size())) << view;
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (std::size_t c = 0; c < context.columns.size(); ++c)
                EXPECT_EQ(listCell(list(), static_cast<int>(r), static_cast<int>(c)), db::splitRow(rows[r])[c]) << view;
        // The columns fill the list beside its vertical scroll bar, and no horizontal one shows.
        RECT client;
        GetClientRect(list(), &client);
        int widths = 0;
        for (int c = 0; c < static_cast<int>(context.columns.size()); ++c)
            widths += static_cast<int>(SendMessageW(list(), LVM_GETCOLUMNWIDTH, c, 0));
        EXPECT_EQ(widths, client.right - GetSystemMetrics(SM_CXVSCROLL)) << view;
        EXPECT_FALSE(GetWindowLongW(list(), GWL_STYLE) & WS_HSCROLL) << view;
    }
    EXPECT_EQ(caption(), "Sweeps (default.db)  Sweep details");
    EXPECT_EQ(shown(5), (std::vector<std::string>{"FRA", "LCR"}));
    chooseView(db::kSetupsView);
    char title[64] = "";
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = sizeof title;
    SendMessageA(list(), LVM_GETCOLUMNA, 2, reinterpret_cast<LPARAM>(&column));
    EXPECT_STREQ(title, "Reference Terminal");
    EXPECT_EQ(caption(), "Measurement Setups (default.db)  The testing conditions");

    // A file name of 30 characters is cut to its first letter, a point and its last 18.
    const std::string longName = dir.file("Substation_North_TX_2014_24.db");
    db::close_current_database();
    db::setCurrentDatabasePath(longName);
    ASSERT_TRUE(db::open_current_database(db::OpenMode::CreateIfMissing));
    gui::fillDataBrowser(main);
    EXPECT_EQ(caption(), "Measurement Setups (S.orth_TX_2014_24.db)  The testing conditions");
    EXPECT_EQ(listRows(list()), 0);
}

TEST_F(DataBrowser, TheSearchNarrowsAtEachKeyEnterSearchesAgainAndAnEmptyTextRestores) {
    addSweep("Tap6 before");
    addSweep("Open circuit");
    EXPECT_EQ(listRows(list()), 1);  // stored after the list was shown
    typeSearch("T");
    EXPECT_EQ(listRows(list()), 3);  // "Open circuit" on TX-100 matches by its transformer
    typeSearch("Tap");
    EXPECT_EQ(shown(1), (std::vector<std::string>{"Tap5 after repair", "Tap6 before"}));
    addSweep("Impedance", "2024-03-05", db::kDataLcr);
    typeSearch("LCR");  // a data type by the name the list shows
    EXPECT_EQ(shown(1), std::vector<std::string>{"Impedance"});
    typeSearch("Tap6");
    EXPECT_EQ(shown(1), std::vector<std::string>{"Tap6 before"});
    addSweep("Tap6 again");
    SendMessageW(control(IDC_DATA_SEARCH), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(shown(1), (std::vector<std::string>{"Tap6 before", "Tap6 again"}));
    typeSearch("");
    EXPECT_EQ(listRows(list()), 5);
}

// A long list shows its first rows at once and grows to its end between the user's messages,
// keeping the selection made meanwhile; a search narrows it the same way.
TEST_F(DataBrowser, ALongListAppearsAtOnceAndGrowsToItsEnd) {
    const char* bulk =
        "INSERT INTO Sweep (Measurement_Id, Equipment_Id, Transformer_Identifier, Name, Date, Data_Type) "
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
        "SELECT 1, 1, 'TX-100', 'Bulk ' || i, '2024-03-05', 1 FROM n";
    ASSERT_EQ(sqlite3_exec(db::connectionHandle(db::Connection::Main), bulk, nullptr, nullptr, nullptr), SQLITE_OK);
    gui::fillDataBrowser(main);
    const int first = listRows(list());
    EXPECT_GT(first, 1);
    EXPECT_LT(first, 10001);
    select({2});
    EXPECT_TRUE(pumpUntil([this] { return listRows(list()) == 10001; }, 10000));
    EXPECT_EQ(listCell(list(), 10000, 1), "Bulk 10000");
    EXPECT_EQ(SendMessageW(list(), LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);

    typeSearch("Bulk 1");
    EXPECT_TRUE(pumpUntil([this] { return listRows(list()) == 1112; }, 10000));
    EXPECT_EQ(listCell(list(), 1111, 1), "Bulk 10000");
}

TEST_F(DataBrowser, HeaderClicksCycleAscendingDescendingAndTheOrderOfLoading) {
    addSweep("beta", "2021-01-05");
    addSweep("Alpha", "2020-12-31");
    gui::fillDataBrowser(main);
    const std::vector<std::string> loading{"Tap5 after repair", "beta", "Alpha"};
    EXPECT_EQ(shown(1), loading);
    notifyList(LVN_COLUMNCLICK, -1, 1);
    EXPECT_EQ(shown(1), (std::vector<std::string>{"Alpha", "beta", "Tap5 after repair"}));
    notifyList(LVN_COLUMNCLICK, -1, 1);
    EXPECT_EQ(shown(1), (std::vector<std::string>{"Tap5 after repair", "beta", "Alpha"}));
    notifyList(LVN_COLUMNCLICK, -1, 1);
    EXPECT_EQ(shown(1), loading);
    notifyList(LVN_COLUMNCLICK, -1, 1);
    notifyList(LVN_COLUMNCLICK, -1, 2);  // another header: ascending by it, from the order of loading
    EXPECT_EQ(shown(2), (std::vector<std::string>{"31-12-2020", "05-01-2021", "05-03-2024"}));
    typeSearch("a");  // the order holds while searching
    EXPECT_EQ(shown(1), (std::vector<std::string>{"Alpha", "beta", "Tap5 after repair"}));
}

TEST_F(DataBrowser, EachFinderShowsItsSweepsOrRecordsInTheFilteredView) {
    const std::int64_t basic = addSweep("Basic one", "2022-02-02", db::kDataBasicFra);
    addSweep("Impedance", "2022-02-03", db::kDataLcr);
    ASSERT_EQ(db::store_transformer(testing_support::transformerRecord("TX-200", "Other", "S9"), db::kAddChecked), 0);
    addSweep("Elsewhere", "2022-02-04", db::kDataFra, "TX-200");

    chooseView(db::kTransformersView);
    select({0});
    const std::vector<std::string> menu = contextMenu();
    EXPECT_EQ(menu, (std::vector<std::string>{
                        "Delete...", "Edit...", "Diagnose...", "Find Sweeps>All Sweeps on this Transformer",
                        "Find Sweeps>\"Tap5 after repair 05-03-2024\" Only", "Find Sweeps>\"Basic one 02-02-2022\" Only",
                        "Find Sweeps>\"Impedance 03-02-2022\" Only"}));
    command(IDM_BROWSER_FINDER_FIRST);
    EXPECT_EQ(caption(), "Filtered Results (default.db)  The filter results");
    EXPECT_EQ(shown(1), (std::vector<std::string>{"Tap5 after repair", "Basic one", "Impedance"}));
    select({1});
    command(IDM_BROWSER_FINDER_FIRST + 3);  // the basic sweep's "All sweeps of the same datatype"
    EXPECT_EQ(shown(1), (std::vector<std::string>{"Tap5 after repair", "Basic one", "Elsewhere"}));
    select({2});
    EXPECT_EQ(contextMenu()[4], "Find Similar Sweeps>All sweeps on the same transformer (\"TX-200 Other S9\")");
    command(IDM_BROWSER_FINDER_FIRST + 4);  // "Find Sweeps" > "Find Transformer": TX-200 alone
    EXPECT_EQ(shown(0), std::vector<std::string>{"TX-200"});
    EXPECT_EQ(listCell(list(), 0, 2), "S9");

    // A double click on a setup row shows the setup's sweeps; on a sweep it graphs it.
    chooseView(db::kSetupsView);
    select({0});
    notifyList(NM_DBLCLK, 0);
    EXPECT_EQ(listRows(list()), 4);
    select({1});
    notifyList(NM_DBLCLK, 1);
    EXPECT_EQ(graphedAndClose(), std::vector<std::int64_t>{basic});
}

TEST_F(DataBrowser, TwentyFiveSelectedSweepsAreCutToTwentyWithOneConfirmation) {
    for (int i = 2; i <= 30; ++i) addSweep("Sweep " + std::to_string(i));
    gui::fillDataBrowser(main);
    selectFirst(25);
    prompter.queueAnswer(platform::Answer::Ok);
    prompter.queueAnswer(platform::Answer::Yes);
    press(IDC_TOOL_DELETE);
    ASSERT_EQ(prompter.boxes.size(), 2u) << prompter.captions();
    EXPECT_EQ(prompter.boxes[0].text, "Too many items selected, only the first 20 items will be deleted");
    EXPECT_EQ(prompter.boxes[0].caption, "Error");
    EXPECT_EQ(prompter.boxes[1].caption, "Alert!");
    EXPECT_EQ(prompter.boxes[1].text.rfind("Deleting a sweep will also delete all associated data", 0), 0u);
    EXPECT_EQ(shown(0).front(), "21");
    EXPECT_EQ(listRows(list()), 10);
    EXPECT_EQ(rows(TableIndex::Sweep).size(), 10u);
}

TEST_F(DataBrowser, KeysWithQuotesAreDeletedFromAFilteredViewAfterTheirOwnConfirmation) {
    ASSERT_EQ(db::store_transformer(testing_support::transformerRecord("O'Brien T2", "M", "S"), db::kAddChecked), 0);
    addSweep("Tap on O'Brien", "2022-01-01", db::kDataFra, "O'Brien T2");
    gui::fillDataBrowser(main);
    select({1});
    command(IDM_BROWSER_FINDER_FIRST + 4);  // "Find Transformer": O'Brien T2 alone, in view 4
    ASSERT_EQ(shown(0), std::vector<std::string>{"O'Brien T2"});
    select({0});
    prompter.queueAnswer(platform::Answer::Yes);
    answerNextMenu([](HMENU) {}, 0);  // "Delete...", chosen in the menu
    notifyList(NM_RCLICK, 0);
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text.rfind("Deleting a transformer will also delete all associated sweeps", 0), 0u);
    EXPECT_EQ(rows(TableIndex::Transformer), std::vector<std::string>{"TX-100\tMaker Co\tS123\t "});
    EXPECT_EQ(rows(TableIndex::Sweep).size(), 1u);
    EXPECT_EQ(listRows(list()), 0);
}

TEST_F(DataBrowser, GraphTakesUpToNineSweepsInListOrderAndDiagnoseTwo) {
    std::vector<std::int64_t> ids{1};
    for (int i = 2; i <= 10; ++i) ids.push_back(addSweep("Sweep " + std::to_string(i)));
    gui::fillDataBrowser(main);
    notifyList(LVN_COLUMNCLICK, -1, 0);
    notifyList(LVN_COLUMNCLICK, -1, 0);  // descending ids
    command(IDC_TOOL_GRAPH);
    selectFirst(10);
    press(IDC_TOOL_GRAPH);
    ASSERT_EQ(prompter.boxes.size(), 2u);
    EXPECT_EQ(prompter.boxes[0].text, "No Tests Selected!");
    EXPECT_EQ(prompter.boxes[1].text, "Too many tests to graph!");
    EXPECT_EQ(prompter.boxes[1].icon, platform::Icon::Warning);
    EXPECT_TRUE(graphedAndClose().empty());
    selectFirst(9);
    press(IDC_TOOL_GRAPH);
    EXPECT_EQ(graphedAndClose(), std::vector<std::int64_t>(ids.rbegin(), ids.rbegin() + 9));

    select({3, 1});
    bool diagnosing = false;
    press(IDC_TOOL_DIAGNOSE);
    EXPECT_EQ(graphedAndClose(&diagnosing), (std::vector<std::int64_t>{ids[8], ids[6]}));
    EXPECT_TRUE(diagnosing);

    // The context menu's Report writes the selected sweeps' report.
    prompter.saveResults.push_back(dir.file("two.pdf"));
    std::string summary;
    answerNextDialog("Report", [&](HWND dialog) {
        summary = itemText(dialog, IDC_REPORT_SWEEPS);
        pressButton(dialog, IDOK);
    });
    command(IDM_BROWSER_REPORT);
    EXPECT_TRUE(finishDialogs());
    EXPECT_EQ(summary, "A report of 2 sweeps of TX-100");
    EXPECT_TRUE(platform::fileExists(dir.file("two.pdf")));
}

TEST_F(DataBrowser, ImportStoresExactlyTheImportableFilesAndNamesTheOthers) {
    // A report and an IEC file written by the program's own exporters, a sweep file, a PAX file, an
    // impedance table; a ".Csv" (not a spelling the import reads), a refused file and a document.
    db::SweepBundle made;
    ASSERT_TRUE(db::load_sweep_bundle(addSweep("Source"), made));
    const std::string madeFolder = dir.file("made");
    ASSERT_TRUE(platform::makeDirectory(madeFolder));
    made.sweep.name = "From csv";
    interchange::exportSweepReports(madeFolder, {made});
    interchange::exportXml(madeFolder, std::vector<db::SweepBundle>{made});
    writeFile(dir.file("report.CSV"), readFile(platform::joinPath(madeFolder, "From csv_05-03-2024.csv")));
    writeFile(dir.file("mixed.Csv"), readFile(platform::joinPath(madeFolder, "From csv_05-03-2024.csv")));
    writeFile(dir.file("iec_file.xml"), readFile(platform::joinPath(madeFolder, "From csv_05-03-2024.xml")));
    writeFile(dir.file("winding.SFRA"), kSweepFile);
    writeFile(dir.file("other.pax"), kPaxFile);
    writeFile(dir.file("broken.xml"), "<?xml version=\"1.1\"?>\n");
    writeFile(dir.file("notes.doc"), "x");
    interchange::exportImpedanceTable(dir.file("impedance.csv"), {{20, 1e-3, -80, 1000, 80, 0.5, 0, 10}});
    std::vector<std::string> files;
    for (const char* name : {"report.CSV", "iec_file.xml", "winding.SFRA", "other.pax", "mixed.Csv", "broken.xml",
                             "notes.doc", "impedance.csv"})
        files.push_back(dir.file(name));
    prompter.openResults.push_back(files);
    const auto editSweep = answerNextDialog("Edit Sweep", [](HWND d) { pressButton(d, IDCANCEL); });

    press(IDC_TOOL_IMPORT);
    ASSERT_EQ(prompter.choicesShown.size(), 1u);
    EXPECT_EQ(prompter.choicesShown[0].title, "Import into Database");
    EXPECT_EQ(prompter.choicesShown[0].filters[prompter.choicesShown[0].filterIndex - 1].first, "XML Files");
    EXPECT_TRUE(prompter.choicesShown[0].multiSelect);
    EXPECT_TRUE(finishDialogs());
    EXPECT_TRUE(editSweep->appeared);
    EXPECT_EQ(shown(1),
              (std::vector<std::string>{"Tap5 after repair", "Source", "From csv", "iec_file", "winding", "Short"}));
    ASSERT_FALSE(prompter.boxes.empty());
    EXPECT_EQ(prompter.boxes.back().text, "These files were not imported:\n\nmixed.Csv\nbroken.xml\nnotes.doc");
    EXPECT_EQ(prompter.boxes.front().text, "The selected file is not a valid XML file");
}

// A network analyser's file of 1000 log-spaced points from 20 Hz to 2 MHz with four comment lines: a
// winding's resonances in S21, and S12 one dB below it so that the choice between them shows.
std::string analyserFile(const char* date, double shift) {
    std::string text = std::string("!Keysight Technologies,E5061B,MY123456,A.03.20\n!Date: ") + date +
                       "\n!Measurement: S21 through the winding\n!Correction: ON\n# Hz S MA R 50\n";
    for (int k = 0; k < 1000; ++k) {
        const double f = 20 * std::pow(1e5, k / 999.0);
        const double gainDb = -40 + 12 * std::sin(std::log(f) * 3 * shift);
        const double s21 = std::pow(10, gainDb / 20), s12 = std::pow(10, (gainDb - 1) / 20);
        char line[160];
        std::snprintf(line, sizeof line, "%.9g 0.1 0 %.9g %.4f %.9g %.4f 0.1 0\n", f, s21, -0.09 * k, s12, -0.09 * k);
        text += line;
    }
    return text;
}

TEST_F(DataBrowser, TouchstoneFilesImportWithTheTransmissionChosenAndAreDiagnosed) {
    writeFile(dir.file("HV1 2019.s2p"), analyserFile("2019-04-02 09:00:00", 1.0));
    writeFile(dir.file("HV1 2024.S2P"), analyserFile("Tuesday, March 05, 2024 10:30:12", 1.02));
    prompter.openResults.push_back({dir.file("HV1 2019.s2p"), dir.file("HV1 2024.S2P")});
    std::string proposed;
    answerNextDialog("Touchstone Import", [&](HWND dialog) {
        proposed = itemText(dialog, IDC_TOUCHSTONE_PARAMETER);
        screenshotIfAsked(dialog, "touchstone-import");
        SendDlgItemMessageW(dialog, IDC_TOUCHSTONE_PARAMETER, CB_SETCURSEL, 1, 0);  // S12
        pressButton(dialog, IDOK);
    });
    press(IDC_TOOL_IMPORT);
    EXPECT_TRUE(finishDialogs());
    EXPECT_EQ(proposed, "S21");
    const auto& filters = prompter.choicesShown.back().filters;
    EXPECT_NE(std::find(filters.begin(), filters.end(), std::pair<std::string, std::string>{"Touchstone Files", "*.s2p;*.s3p;*.s4p"}),
              filters.end());
    EXPECT_NE(filters.back().second.find("*.s2p;*.s3p;*.s4p"), std::string::npos) << filters.back().first;
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();

    const std::vector<std::string> names = shown(1);
    ASSERT_EQ(names.size(), 3u);  // the sweep the test starts with, then the two files
    EXPECT_EQ(names[1], "HV1 2019");
    EXPECT_EQ(names[2], "HV1 2024");
    EXPECT_EQ(shown(2)[2], "05-03-2024");
    const std::int64_t older = std::atoll(listCell(list(), 1, 0).c_str()), newer = std::atoll(listCell(list(), 2, 0).c_str());
    db::SweepBundle stored;
    ASSERT_TRUE(db::load_sweep_bundle(older, stored));
    ASSERT_EQ(stored.sweep.pointCount(), 1000);
    EXPECT_NEAR(stored.sweep.basicPoints[500].amplitude,
                -41 + 12 * std::sin(std::log(20 * std::pow(1e5, 500 / 999.0)) * 3), 1e-6) << "S12, as chosen";
    EXPECT_NEAR(stored.sweep.basicPoints[500].phase, -45, 1e-9);
    EXPECT_EQ(stored.equipment.instrument, "E5061B");

    // Diagnosed one against the other from the browser.
    select({1, 2});
    bool diagnosing = false;
    press(IDC_TOOL_DIAGNOSE);
    HWND graph = FindWindowA(gui::kGraphClass, nullptr);
    ASSERT_NE(graph, nullptr);
    EXPECT_NE(gui::graphState(graph)->view.diagnosis.result.classCode, analysis::kNoDiagnosis);
    ASSERT_EQ(gui::graphState(graph)->assessed.size(), 1u);
    int inMiddleBand = 0;  // the file's frequencies in (100 kHz, 600 kHz]
    for (int k = 0; k < 1000; ++k) inMiddleBand += 20 * std::pow(1e5, k / 999.0) > 1e5 && 20 * std::pow(1e5, k / 999.0) <= 6e5;
    EXPECT_EQ(gui::graphState(graph)->assessed[0].assessment.dlt911.bands[1].count, inMiddleBand);
    EXPECT_EQ(graphedAndClose(&diagnosing), (std::vector<std::int64_t>{older, newer}));
    EXPECT_TRUE(diagnosing);
}

TEST_F(DataBrowser, ExportWritesOneFilePerSelectedSweepIntoTheChosenFolder) {
    addSweep("Second", "2024-03-06");
    addSweep("Third", "2024-03-07");
    gui::fillDataBrowser(main);
    const std::string out = dir.file("out");
    ASSERT_TRUE(platform::makeDirectory(out));
    command(IDC_TOOL_EXPORT_XML);
    select({1, 2});
    prompter.folderResults = {testing_support::kNotAFolder, out, out};
    press(IDC_TOOL_EXPORT_XML);
    press(IDC_TOOL_EXPORT_XML);
    press(IDC_TOOL_EXPORT_CSV);
    ASSERT_EQ(prompter.boxes.size(), 2u) << prompter.captions();
    EXPECT_EQ(prompter.boxes[0].text, "No Sweeps Selected!");
    EXPECT_EQ(prompter.boxes[1].text, "Invalid Directory Selected");
    std::string documents;
    platform::localAppDataFolder(platform::kFolderDocuments, documents);
    ASSERT_EQ(prompter.foldersShown.size(), 3u);
    EXPECT_EQ(prompter.foldersShown[0], (std::pair<std::string, std::string>{"Export Directory", documents}));
    std::vector<std::string> written = platform::listFiles(out);
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"Second_06-03-2024.csv", "Second_06-03-2024.xml",
                                                 "Third_07-03-2024.csv", "Third_07-03-2024.xml"}));
}

TEST_F(DataBrowser, AddAndEditGoThroughTheRecordDialogsAndToolsFollowTheSelection) {
    chooseView(db::kTransformersView);
    EXPECT_TRUE(IsWindowEnabled(control(IDC_TOOL_ADD)));
    EXPECT_FALSE(IsWindowEnabled(control(IDC_TOOL_EDIT)));
    answerNextDialog("Add/Edit Transformer", [](HWND d) {
        typeInto(d, IDC_TRANSFORMER_IDENTIFIER, "TX-300");
        typeInto(d, IDC_TRANSFORMER_MANUFACTURER, "Maker");
        typeInto(d, IDC_TRANSFORMER_SERIAL, "S3");
        pressButton(d, IDOK);
    });
    press(IDC_TOOL_ADD);
    EXPECT_EQ(shown(0), (std::vector<std::string>{"TX-100", "TX-300"}));
    select({1});
    EXPECT_TRUE(IsWindowEnabled(control(IDC_TOOL_EDIT)));
    EXPECT_TRUE(IsWindowEnabled(control(IDC_TOOL_DIAGNOSE)));
    EXPECT_FALSE(IsWindowEnabled(control(IDC_TOOL_GRAPH)));
    answerNextDialog("Add/Edit Transformer", [](HWND d) {
        EXPECT_EQ(itemText(d, IDC_DIALOG_TITLE), "Edit Transformer");
        typeInto(d, IDC_TRANSFORMER_MANUFACTURER, "Other Maker");
        pressButton(d, IDOK);
    });
    press(IDC_TOOL_EDIT);
    EXPECT_EQ(listCell(list(), 1, 1), "Other Maker");

    chooseView(db::kSweepsView);
    EXPECT_FALSE(IsWindowEnabled(control(IDC_TOOL_ADD)));
    EXPECT_FALSE(IsWindowEnabled(control(IDC_TOOL_EXPORT_XML)));
    select({0});
    EXPECT_TRUE(IsWindowEnabled(control(IDC_TOOL_EXPORT_XML)));
    EXPECT_TRUE(IsWindowEnabled(control(IDC_TOOL_GRAPH)));
}

TEST_F(DataBrowser, RowsOfAClosedDatabaseAreNeverListed) {
    addSweep("Second");
    gui::fillDataBrowser(main);
    select({1});
    command(IDM_BROWSER_FINDER_FIRST);  // all sweeps on the same transformer, in view 4
    ASSERT_EQ(listRows(list()), 2);
    db::close_current_database();
    RedrawWindow(list(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(listCell(list(), 0, 1), "");
    pumpMessages(50);
    EXPECT_EQ(listRows(list()), 0);
    EXPECT_EQ(caption(), "Filtered Results ()  The filter results");
    EXPECT_FALSE(IsWindowEnabled(control(IDC_TOOL_IMPORT)));
    EXPECT_TRUE(IsWindowEnabled(control(IDC_TOOL_OPEN_DATABASE)));
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();

    // The filter named records of the closed file: another one opens on its sweeps.
    db::setCurrentDatabasePath(dir.file("other.db"));
    ASSERT_TRUE(db::open_current_database(db::OpenMode::CreateIfMissing));
    gui::fillDataBrowser(main);
    EXPECT_EQ(caption(), "Sweeps (other.db)  Sweep details");
}

}  // namespace
}  // namespace gui_testing
