// The graph window driven as UI automation drives it (menu commands, button clicks, keys, scroll and
// selection messages, its dialogs answered on screen) on a real database holding sweeps of the
// simulator's winding model: the curves and legend it draws, its menus and check marks, the Range and
// colour dialogs, picture export, diagnosis mode, and its settings across closing and reopening.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "analysis/diagnosis.h"
#include "app/startup.h"
#include "db/record_store.h"
#include "gui/analysis/graph_state.h"
#include "platform/win32/wide_text.h"
#include "gui/analysis/graph_window.h"
#include "gui/resources/dialog_ids.h"
#include "gui/resources/graph_ids.h"
#include "gui/support/dialog_driver.h"
#include "gui/support/form_driver.h"
#include "gui/support/host_process.h"
#include "interchange/test_report.h"
#include "platform/files.h"
#include "support/recording_canvas.h"
#include "support/records.h"
#include "support/temp_dir.h"
#include "winding_model.h"

namespace gui_testing {
namespace {

using analysis::rgb;
using testing_support::DrawCall;
using testing_support::RecordingCanvas;
using Profile = sim::Profile;

BOOL CALLBACK collectGraph(HWND window, LPARAM found) {
    if (gui::graphState(window)) reinterpret_cast<std::set<HWND>*>(found)->insert(window);
    return TRUE;
}

std::set<HWND> graphWindows() {
    std::set<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), collectGraph, reinterpret_cast<LPARAM>(&found));
    return found;
}

gui::GraphState& state(HWND graph) { return *gui::graphState(graph); }

// A menu item chosen: the command its window receives.
void choose(HWND graph, int id) { SendMessageW(graph, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

bool checked(HWND graph, int id) {
    return (GetMenuState(GetMenu(graph), static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// Exactly the first item of a group of exclusive menu items is checked.
void expectOnlyFirstChecked(HWND graph, std::initializer_list<int> group) {
    for (int id : group) EXPECT_EQ(checked(graph, id), id == *group.begin()) << id;
}

std::string buttonText(HWND graph) {
    char text[32] = "";
    GetDlgItemTextA(graph, IDC_GRAPH_DIAGNOSE, text, sizeof text);
    return text;
}

// The picture as drawn from exactly what the window gives the plot engine.
RecordingCanvas drawn(HWND graph) {
    RecordingCanvas canvas;
    analysis::DrawGraph(canvas, state(graph).view, 1012, 658, analysis::kWindowLegendOffset);
    return canvas;
}

bool drewText(const RecordingCanvas& canvas, const std::string& text) { return !canvas.textCalls(text).empty(); }

// The curves' pen colours in drawing order (a curve cut into pieces counts once).
std::vector<analysis::Colour> curveColours(const RecordingCanvas& canvas) {
    std::vector<analysis::Colour> colours;
    for (const DrawCall& c : canvas.ofKind(DrawCall::Polyline))
        if (c.pen.style == analysis::PenStyle::Solid && (colours.empty() || colours.back() != c.pen.colour))
            colours.push_back(c.pen.colour);
    return colours;
}

// Answers the colour dialog with a colour typed into its red, green and blue boxes.
void answerColourDialog(int red, int green, int blue) {
    answerNextDialog("Color", [=](HWND dialog) {
        const int values[] = {red, green, blue};
        for (int k = 0; k < 3; ++k) {
            const int box = 706 + k;
            setItemText(dialog, box, std::to_string(values[k]));
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(box, EN_UPDATE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, box)));
        }
        pressButton(dialog, IDOK);
    });
}

// Types a minimum and maximum into the Range dialog and presses one of its buttons.
void enterRange(HWND dialog, const std::string& min, const std::string& max, int button) {
    setItemText(dialog, IDC_RANGE_MIN, min);
    setItemText(dialog, IDC_RANGE_MAX, max);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

// Gives a box of the sweep selection the focus and picks a row of the Select from Table it opens.
void pickRow(HWND dialog, int box, int row, int* offered = nullptr) {
    answerNextDialog("Select from Table", [=](HWND picker) {
        if (offered) *offered = listRows(GetDlgItem(picker, IDC_SELECT_LIST));
        doubleClickRow(picker, IDC_SELECT_LIST, row);
    });
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, box)), TRUE);
    pumpUntil([&] { return GetFocus() == GetDlgItem(dialog, IDOK) && !itemText(dialog, box).empty(); });
}

class GraphWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        platform::deleteFile(platform::joinPath(settingsFolderPath(), "Corvane.ini"));  // default appearance
        MainWindowTest::SetUp();
        using namespace testing_support;
        ASSERT_EQ(db::store_transformer(transformerRecord("TX-SIM", "Maker Co", "S-77"), db::kAddChecked), 0);
        db::SetupRecord setup = setupRecord("OPEN1 HV", "H1", "H0", "NONE", 3, 30.0f);
        setup.id = 1;
        ASSERT_EQ(db::store_setup(setup, db::kAddChecked), 0);
        db::EquipmentRecord equipment = equipmentRecord("Veltrona Ltd", "QMX74", "410-2718", "2030-01-31");
        equipment.id = 1;
        ASSERT_EQ(db::store_equipment(equipment, db::kAddChecked), 0);
    }

    void TearDown() override {
        for (HWND graph : graphWindows()) DestroyWindow(graph);
        MainWindowTest::TearDown();
    }

    std::int64_t store(db::SweepRecord sweep, db::StoreMode mode = db::kAddChecked, std::int64_t setup = 1,
                       const char* transformer = "TX-SIM") {
        sweep.transformerIdentifier = transformer;
        sweep.setupId = setup;
        sweep.equipmentId = 1;
        EXPECT_EQ(db::store_new_sweep(sweep, mode), 0);
        return sweep.id;
    }

    // The simulated winding as the instrument measures it: 1000 points from 20 Hz to 2 MHz.
    std::int64_t modelSweep(const std::string& name, Profile profile, const std::string& date = "2024-03-05",
                            std::int64_t setup = 1, const char* transformer = "TX-SIM") {
        db::SweepRecord sweep = testing_support::sweepRecord(name, date, "10:30", 10, 21, db::kDataFra);
        sim::WindingModel model(profile);
        for (int k = 0; k < 1000; ++k) {
            const sim::FraReading r = model.measureFra(20 * std::pow(1e5, k / 999.0));
            sweep.fraPoints.push_back({r.frequency, r.mag1, r.mag2, r.gainDb, r.phaseDeg, r.delay});
        }
        return store(sweep, db::kAddChecked, setup, transformer);
    }

    // A further setup of the test's transformer, as stored with its id.
    void addSetup(std::int64_t id, const char* reference, int oltc) {
        db::SetupRecord setup = testing_support::setupRecord(std::string("OPEN") + std::to_string(id) + " HV",
                                                             reference, "H0", "NONE", oltc, 30.0f);
        setup.id = id;
        ASSERT_EQ(db::store_setup(setup, db::kAddChecked), 0);
    }

    std::int64_t impedanceSweep(const std::string& name) {
        db::SweepRecord sweep = testing_support::sweepRecord(name, "2024-03-06", "11:00", 10, 21, db::kDataLcr);
        for (int k = 1; k <= 50; ++k)
            sweep.lcrPoints.push_back({100.0 * k, 1e-3 * k, -80, 1000.0 / k, 80, 0.5 / k, 1e-9 * k, 10.0 + k});
        return store(sweep);
    }

    // The graph window the call opens; null when it opens none.
    HWND opened(const std::function<void()>& open) {
        const std::set<HWND> before = graphWindows();
        open();
        pumpMessages(30);
        for (HWND graph : graphWindows())
            if (!before.count(graph)) return graph;
        return nullptr;
    }
    HWND openGraph(const std::vector<std::int64_t>& ids) {
        return opened([&] { gui::showGraphWindow(main, ids); });
    }
    HWND openDiagnosis(std::int64_t first, std::int64_t second, const std::string& key) {
        return opened([&] { gui::showDiagnosis(main, first, second, key); });
    }

    // Chooses a command that opens the Range dialog and answers the dialog with steps.
    void rangeDialog(HWND graph, int command, const std::function<void(HWND)>& steps) {
        answerNextDialog("Range", steps);
        choose(graph, command);
        EXPECT_TRUE(finishDialogs());
    }
};

TEST_F(GraphWindowTest, GraphsOneTwoOrNineSweepsWithTheirCurvesLegendAndControls) {
    const Profile profiles[] = {Profile::Healthy, Profile::Repeat, Profile::Gentle, Profile::Obvious, Profile::Severe};
    std::vector<std::int64_t> ids;
    for (int i = 0; i < 9; ++i) ids.push_back(modelSweep("Winding test " + std::to_string(i + 1), profiles[i % 5]));

    for (std::size_t count : {1u, 2u, 9u}) {
        SCOPED_TRACE(count);
        HWND graph = openGraph(std::vector<std::int64_t>(ids.begin(), ids.begin() + static_cast<long>(count)));
        ASSERT_NE(graph, nullptr);
        const RecordingCanvas canvas = drawn(graph);
        std::vector<analysis::Colour> expected;
        for (std::size_t i = 0; i < count; ++i) {
            expected.push_back(analysis::PlotPalette[2 * i].colour);
            expected.push_back(analysis::PlotPalette[2 * i + 1].colour);
            EXPECT_TRUE(drewText(canvas, "W.test " + std::to_string(i + 1))) << i;  // the legend's short name
        }
        EXPECT_EQ(curveColours(canvas), expected);

        HWND combo = GetDlgItem(graph, IDC_GRAPH_ACTIVE_SWEEP);
        char item[64] = "";
        SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
        EXPECT_STREQ(item, "W.ng test 1");
        EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(count));
        EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(graph, IDC_GRAPH_DIAGNOSE)) != FALSE, count >= 2);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(graph, IDC_GRAPH_SPARE)));
        HMENU plots = GetSubMenu(GetMenu(graph), 3);  // "Plot Appearance": a submenu per sweep
        ASSERT_EQ(GetMenuItemCount(plots), static_cast<int>(count));
        GetMenuStringA(plots, static_cast<UINT>(count - 1), item, sizeof item, MF_BYPOSITION);
        EXPECT_EQ(std::string(item), "Winding test " + std::to_string(count));
    }
    EXPECT_EQ(graphWindows().size(), 3u);  // side by side, each with its own sweeps
}

TEST_F(GraphWindowTest, TheWindowsOwnPictureGoesToAFileAndTheClipboard) {
    HWND graph = openGraph({modelSweep("Fingerprint", Profile::Healthy), modelSweep("Repeat", Profile::Repeat)});
    ASSERT_NE(graph, nullptr);
    testing_support::TempDir out;
    prompter.saveResults = {out.file("graph.bmp"), "", out.file("no such folder/graph.bmp")};
    choose(graph, IDM_GRAPH_SAVE_BITMAP);
    ASSERT_EQ(prompter.choicesShown.size(), 1u);
    EXPECT_EQ(prompter.choicesShown[0].title, "Save to Bitmap");
    EXPECT_TRUE(prompter.choicesShown[0].mustExist);

    // The file holds the picture: the size of the plot area, every curve's colour on black.
    const std::string bmp = testing_support::readFile(out.file("graph.bmp"));
    ASSERT_GT(bmp.size(), 54u);
    auto number = [&](std::size_t at) {
        return static_cast<std::size_t>(static_cast<unsigned char>(bmp[at]) | static_cast<unsigned char>(bmp[at + 1]) << 8);
    };
    RECT client;
    GetClientRect(graph, &client);
    const std::size_t width = number(18), stride = (width * 3 + 3) & ~std::size_t{3};
    EXPECT_EQ(width, static_cast<std::size_t>(client.right - 12));
    EXPECT_EQ(number(22), static_cast<std::size_t>(client.bottom - 36));  // less 3 above, the control row and 9 below
    std::set<analysis::Colour> colours;
    for (std::size_t row = number(10); row + stride <= bmp.size(); row += stride)
        for (std::size_t at = row; at < row + width * 3; at += 3)
            colours.insert(rgb(static_cast<unsigned char>(bmp[at + 2]), static_cast<unsigned char>(bmp[at + 1]),
                               static_cast<unsigned char>(bmp[at])));
    for (int c = 0; c < 4; ++c) EXPECT_TRUE(colours.count(analysis::PlotPalette[c].colour)) << c;
    EXPECT_TRUE(colours.count(analysis::kBlack));

    // A cancelled chooser writes nothing; a file that cannot be written is said so.
    choose(graph, IDM_GRAPH_SAVE_BITMAP);
    EXPECT_TRUE(prompter.boxes.empty());
    choose(graph, IDM_GRAPH_SAVE_BITMAP);
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].caption, "Save to Bitmap");

    choose(graph, IDM_GRAPH_COPY_CLIPBOARD);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    CloseClipboard();
    EXPECT_EQ(prompter.boxes.size(), 1u);
}

TEST_F(GraphWindowTest, EveryAppearanceCommandChangesWhatItNamesAndItsCheckMark) {
    HWND graph = openGraph({modelSweep("Fingerprint", Profile::Healthy), modelSweep("Repeat", Profile::Repeat)});
    ASSERT_NE(graph, nullptr);
    const analysis::GraphSettings& g = state(graph).view.settings;
    const analysis::AxisRanges& r = state(graph).view.ranges;
    EXPECT_NEAR(r.frequencyMin, 20, 1e-6);
    const double autoMin = r.leftMin, autoMax = r.leftMax;

    choose(graph, IDM_GRAPH_LINEAR);
    EXPECT_FALSE(g.logFrequency);
    expectOnlyFirstChecked(graph, {IDM_GRAPH_LINEAR, IDM_GRAPH_LOGARITHMIC});
    choose(graph, IDM_GRAPH_LOGARITHMIC);
    EXPECT_TRUE(g.logFrequency);
    expectOnlyFirstChecked(graph, {IDM_GRAPH_LOGARITHMIC, IDM_GRAPH_LINEAR});

    choose(graph, IDM_GRAPH_LEFT_CENTRE);
    EXPECT_EQ(r.leftMax, -r.leftMin);
    EXPECT_EQ(r.leftMax, std::max(std::fabs(autoMin), std::fabs(autoMax)));
    expectOnlyFirstChecked(graph, {IDM_GRAPH_LEFT_CENTRE, IDM_GRAPH_LEFT_AUTO, IDM_GRAPH_LEFT_MANUAL});
    rangeDialog(graph, IDM_GRAPH_LEFT_MANUAL, [](HWND d) { enterRange(d, "-90", "0", IDOK); });
    EXPECT_EQ(r.leftMin, -90);
    expectOnlyFirstChecked(graph, {IDM_GRAPH_LEFT_MANUAL, IDM_GRAPH_LEFT_AUTO, IDM_GRAPH_LEFT_CENTRE});
    choose(graph, IDM_GRAPH_LEFT_AUTO);
    EXPECT_EQ(r.leftMin, autoMin);
    expectOnlyFirstChecked(graph, {IDM_GRAPH_LEFT_AUTO, IDM_GRAPH_LEFT_MANUAL, IDM_GRAPH_LEFT_CENTRE});

    rangeDialog(graph, IDM_GRAPH_RIGHT_MANUAL, [](HWND d) { enterRange(d, "-90", "45", IDOK); });
    EXPECT_EQ(r.rightMax, 45);
    expectOnlyFirstChecked(graph, {IDM_GRAPH_RIGHT_MANUAL, IDM_GRAPH_RIGHT_AUTO});
    choose(graph, IDM_GRAPH_RIGHT_AUTO);
    EXPECT_EQ(r.rightMax, 180);
    expectOnlyFirstChecked(graph, {IDM_GRAPH_RIGHT_AUTO, IDM_GRAPH_RIGHT_MANUAL});
    rangeDialog(graph, IDM_GRAPH_FREQUENCY_MANUAL, [](HWND d) { enterRange(d, "100", "1000", IDOK); });
    EXPECT_EQ(r.frequencyMax, 1000);
    expectOnlyFirstChecked(graph, {IDM_GRAPH_FREQUENCY_MANUAL, IDM_GRAPH_FREQUENCY_AUTO});
    choose(graph, IDM_GRAPH_FREQUENCY_AUTO);
    EXPECT_NEAR(r.frequencyMax, 2e6, 1);
    expectOnlyFirstChecked(graph, {IDM_GRAPH_FREQUENCY_AUTO, IDM_GRAPH_FREQUENCY_MANUAL});

    // White turns white cursors black, and black turns them white again.
    choose(graph, IDM_GRAPH_BACKGROUND_WHITE);
    EXPECT_EQ(g.plots[1].gainMarginColour, analysis::kMarginBlack);
    expectOnlyFirstChecked(graph, {IDM_GRAPH_BACKGROUND_WHITE, IDM_GRAPH_BACKGROUND_BLACK, IDM_GRAPH_BACKGROUND_CUSTOM});
    choose(graph, IDM_GRAPH_BACKGROUND_BLACK);
    EXPECT_EQ(g.plots[1].phaseMarginColour, analysis::kMarginWhite);
    expectOnlyFirstChecked(graph, {IDM_GRAPH_BACKGROUND_BLACK, IDM_GRAPH_BACKGROUND_WHITE, IDM_GRAPH_BACKGROUND_CUSTOM});
    answerColourDialog(12, 34, 56);
    choose(graph, IDM_GRAPH_BACKGROUND_CUSTOM);
    EXPECT_TRUE(finishDialogs());
    EXPECT_EQ(g.customBackground, rgb(12, 34, 56));
    EXPECT_EQ(state(graph).customColours.colours[0], rgb(12, 34, 56));  // offered next time
    expectOnlyFirstChecked(graph, {IDM_GRAPH_BACKGROUND_CUSTOM, IDM_GRAPH_BACKGROUND_BLACK, IDM_GRAPH_BACKGROUND_WHITE});
    answerNextDialog("Color", [](HWND dialog) { pressButton(dialog, IDCANCEL); });
    choose(graph, IDM_GRAPH_BACKGROUND_CUSTOM);
    EXPECT_TRUE(finishDialogs());
    EXPECT_TRUE(g.background == analysis::kBackgroundCustom && g.customBackground == rgb(12, 34, 56));

    for (int id : {IDM_GRAPH_LEFT_CURSOR, IDM_GRAPH_RIGHT_CURSOR}) {
        const bool& visible = id == IDM_GRAPH_LEFT_CURSOR ? g.leftCursorVisible : g.rightCursorVisible;
        choose(graph, id);
        EXPECT_TRUE(visible && checked(graph, id));
        choose(graph, id);
        EXPECT_FALSE(visible || checked(graph, id));
    }

    // The second sweep's own submenu changes the second sweep only.
    const int b = IDM_PLOT_STRIDE;
    choose(graph, b + IDM_PLOT_RIGHT_VISIBLE);
    EXPECT_FALSE(g.plots[1].rightVisible || checked(graph, b + IDM_PLOT_RIGHT_VISIBLE));
    EXPECT_EQ(curveColours(drawn(graph)).size(), 3u);
    choose(graph, b + IDM_PLOT_LEFT_VISIBLE);
    EXPECT_FALSE(g.plots[1].leftVisible || checked(graph, b + IDM_PLOT_LEFT_VISIBLE));
    choose(graph, b + IDM_PLOT_RIGHT_THICK);
    EXPECT_EQ(g.plots[1].rightWeight, analysis::kThick);
    expectOnlyFirstChecked(graph, {b + IDM_PLOT_RIGHT_THICK, b + IDM_PLOT_RIGHT_THIN, b + IDM_PLOT_RIGHT_REGULAR});
    choose(graph, b + IDM_PLOT_LEFT_THIN);
    EXPECT_EQ(g.plots[1].leftWeight, analysis::kThin);
    expectOnlyFirstChecked(graph, {b + IDM_PLOT_LEFT_THIN, b + IDM_PLOT_LEFT_REGULAR, b + IDM_PLOT_LEFT_THICK});
    choose(graph, b + IDM_PLOT_LEFT_COLOUR + 7);
    EXPECT_EQ(g.plots[1].leftColour, 7);
    expectOnlyFirstChecked(graph, {b + IDM_PLOT_LEFT_COLOUR + 7, b + IDM_PLOT_LEFT_COLOUR + 2, b + IDM_PLOT_LEFT_CUSTOM});
    answerColourDialog(200, 0, 0);
    choose(graph, b + IDM_PLOT_RIGHT_CUSTOM);
    EXPECT_TRUE(finishDialogs());
    EXPECT_EQ(g.plots[1].customRightColour, rgb(200, 0, 0));
    expectOnlyFirstChecked(graph, {b + IDM_PLOT_RIGHT_CUSTOM, b + IDM_PLOT_RIGHT_COLOUR + 3});
    EXPECT_TRUE(g.plots[0].leftVisible && g.plots[0].leftColour == 0 && g.plots[0].rightWeight == analysis::kRegular);

    // The right mouse button in the plot offers the same two menus with the same marks.
    bool popupChecked = false;
    answerNextMenu(
        [&](HMENU popup) {
            char name[32] = "";
            GetMenuStringA(popup, 1, name, sizeof name, MF_BYPOSITION);
            popupChecked = std::string(name) == "Plot Appearance" &&
                           (GetMenuState(popup, IDM_GRAPH_BACKGROUND_CUSTOM, MF_BYCOMMAND) & MF_CHECKED) &&
                           (GetMenuState(popup, b + IDM_PLOT_RIGHT_THICK, MF_BYCOMMAND) & MF_CHECKED);
        },
        -1);
    POINT inside{300, 200};
    ClientToScreen(graph, &inside);
    SendMessageW(graph, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(graph), MAKELPARAM(inside.x, inside.y));
    EXPECT_TRUE(popupChecked);
}

TEST_F(GraphWindowTest, RangeDialogRefusesAMinimumNotBelowTheMaximumAndCancelPutsTheRangeBack) {
    HWND graph = openGraph({modelSweep("Fingerprint", Profile::Healthy)});
    ASSERT_NE(graph, nullptr);
    const analysis::AxisRanges& r = state(graph).view.ranges;
    const double max = r.frequencyMax;
    rangeDialog(graph, IDM_GRAPH_FREQUENCY_MANUAL, [&](HWND dialog) {
        EXPECT_EQ(itemText(dialog, IDC_RANGE_MIN), "20.000000");
        enterRange(dialog, "100000", "1000", IDC_RANGE_PREVIEW);
        ASSERT_EQ(prompter.boxes.size(), 1u);
        EXPECT_EQ(prompter.boxes[0].text, "The maximum frequency must be greater than the minimum frequency");
        EXPECT_EQ(prompter.boxes[0].caption, "Corvane");
        EXPECT_EQ(prompter.boxes[0].icon, platform::Icon::Information);
        EXPECT_EQ(r.frequencyMax, max);
        enterRange(dialog, "5", "5.0005", IDC_RANGE_PREVIEW);  // previewed and shown as applied
        EXPECT_EQ(itemText(dialog, IDC_RANGE_MAX), "5.001000");
        EXPECT_DOUBLE_EQ(r.frequencyMax, 5.001);
        pressButton(dialog, IDCANCEL);
    });
    EXPECT_NEAR(r.frequencyMin, 20, 1e-9);
    EXPECT_EQ(r.frequencyMax, max);
    // OK closes the dialog also after a refusal, the range as it was.
    rangeDialog(graph, IDM_GRAPH_LEFT_MANUAL, [](HWND dialog) { enterRange(dialog, "-10", "-10", IDOK); });
    EXPECT_EQ(prompter.boxes.size(), 2u);
    EXPECT_LT(r.leftMin, r.leftMax);
}

TEST_F(GraphWindowTest, MixedSetsAreRefusedAndCursorsFollowScrollSelectionAndTheLcrMenus) {
    EXPECT_EQ(openGraph({modelSweep("Fingerprint", Profile::Healthy), impedanceSweep("Z sweep")}), nullptr);
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "LCR an FRA tests cannot be graphed together");
    EXPECT_EQ(prompter.boxes[0].caption, "Error: Test Mismatch");

    const std::int64_t z2 = impedanceSweep("Z sweep 2"), z3 = impedanceSweep("Z sweep 3");
    EXPECT_EQ(openDiagnosis(z2, z3, "TX-SIM"), nullptr);  // impedance sweeps have no gain to compare
    EXPECT_EQ(prompter.boxes.back().text, "Only FRA sweeps can be diagnosed");
    HWND graph = openGraph({z2, z3});
    ASSERT_NE(graph, nullptr);
    const gui::GraphState& s = state(graph);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(graph, IDC_GRAPH_DIAGNOSE)));
    HWND left = GetDlgItem(graph, IDC_GRAPH_LEFT_CURSOR), right = GetDlgItem(graph, IDC_GRAPH_RIGHT_CURSOR);
    auto scroll = [&](HWND bar, int action, int position) {
        SendMessageW(graph, WM_HSCROLL, MAKEWPARAM(action, position), reinterpret_cast<LPARAM>(bar));
    };
    EXPECT_EQ(s.view.cursors.rightIndex, 49);
    scroll(left, SB_LINERIGHT, 0);
    scroll(left, SB_LINERIGHT, 0);
    EXPECT_EQ(s.view.cursors.leftIndex, 2);
    EXPECT_EQ(GetScrollPos(left, SB_CTL), 2);
    scroll(right, SB_THUMBPOSITION, 30);
    EXPECT_EQ(s.view.cursors.rightIndex, 30);
    scroll(right, SB_THUMBTRACK, 500);
    EXPECT_EQ(s.view.cursors.rightIndex, 49);

    expectOnlyFirstChecked(graph, {IDM_GRAPH_LEFT_QUANTITY, IDM_GRAPH_LEFT_QUANTITY + 2});
    choose(graph, IDM_GRAPH_LEFT_QUANTITY + 2);
    expectOnlyFirstChecked(graph, {IDM_GRAPH_LEFT_QUANTITY + 2, IDM_GRAPH_LEFT_QUANTITY});
    EXPECT_EQ(s.view.ranges.leftMax, 1000);  // rescaled to the impedance
    EXPECT_EQ(s.view.cursors.points[0].left, 1000);
    EXPECT_TRUE(drewText(drawn(graph), "IMPEDANCE (Ohms)"));

    HWND combo = GetDlgItem(graph, IDC_GRAPH_ACTIVE_SWEEP);
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    SendMessageW(graph, WM_COMMAND, MAKEWPARAM(IDC_GRAPH_ACTIVE_SWEEP, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(s.view.activeSweep, 1);
    EXPECT_EQ(GetScrollPos(left, SB_CTL), 0);
    EXPECT_EQ(GetScrollPos(right, SB_CTL), 49);
}

TEST_F(GraphWindowTest, SweepsWithoutANameOrPointsOrOfOneFrequencyStillGraph) {
    // An imported sweep may have no name, which would end the graph's list of sweeps before it.
    db::SweepRecord empty = testing_support::sweepRecord("", "2024-03-05", "10:30", 10, 21, db::kDataFra);
    db::SweepRecord flat = testing_support::sweepRecord("One frequency", "2024-03-05", "10:30", 10, 21, db::kDataFra);
    for (int k = 0; k < 3; ++k) flat.fraPoints.push_back({5000, 1, 0.1, -20, 45, 0});
    const std::int64_t nameless = store(empty, db::kAddUnchecked);
    HWND graph = openGraph({nameless, store(flat)});
    ASSERT_NE(graph, nullptr);
    ASSERT_EQ(analysis::loadedSweepCount(state(graph).sweeps), 2);
    EXPECT_EQ(state(graph).sweeps[0].name.str(), std::to_string(nameless));
    const analysis::AxisRanges& r = state(graph).view.ranges;
    EXPECT_TRUE(r.frequencyMin < r.frequencyMax && r.leftMin < r.leftMax && std::isfinite(r.leftMax));
    choose(graph, IDM_GRAPH_LINEAR);
    choose(graph, IDM_GRAPH_LEFT_CURSOR);
    SendMessageW(graph, WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0),
                 reinterpret_cast<LPARAM>(GetDlgItem(graph, IDC_GRAPH_LEFT_CURSOR)));
    clickButton(graph, IDC_GRAPH_DIAGNOSE);
    EXPECT_EQ(state(graph).view.diagnosis.result.classCode, analysis::kUnknownDiagnosis);
    RedrawWindow(graph, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(drewText(drawn(graph), "UNKNOWN"));
    EXPECT_TRUE(IsWindow(graph));
}

// The simulator's healthy winding as the fingerprint, against its repeat and its deformed windings.
TEST_F(GraphWindowTest, DiagnosisGradesTheSimulatedWindingsAsTheCoreComputes) {
    const std::int64_t fingerprint = modelSweep("Fingerprint", Profile::Healthy, "2019-04-02");
    db::TransformerRecord transformer = testing_support::transformerRecord("TX-SIM", "Maker Co", "S-77");
    transformer.fingerprintSweepId = fingerprint;
    ASSERT_EQ(db::store_transformer(transformer, db::kUpdate), 0);
    const struct {
        Profile profile;
        const char* name;
        int classCode;
        const char* verdict;
    } cases[] = {{Profile::Repeat, "Repeat", 1, "PASS"},
                 {Profile::Gentle, "Gentle", 2, "WARNING"},
                 {Profile::Obvious, "Obvious", 3, "FAIL"},
                 {Profile::Severe, "Severe", 4, "FAIL"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::int64_t id = modelSweep(c.name, c.profile);
        HWND graph = openDiagnosis(fingerprint, id, std::to_string(id));
        ASSERT_NE(graph, nullptr);
        EXPECT_EQ(state(graph).view.diagnosis.result.classCode, c.classCode);
        const RecordingCanvas canvas = drawn(graph);
        for (const char* shown : {c.verdict, analysis::classText(c.classCode), "Fingerprint", c.name})
            EXPECT_TRUE(drewText(canvas, shown)) << shown;
        // The two gain curves only, over their difference curve with the bands marked.
        const std::vector<analysis::Colour> colours = curveColours(canvas);
        ASSERT_EQ(colours.size(), 3u);
        EXPECT_EQ(colours.front(), analysis::rgb(0, 200, 200));
        EXPECT_TRUE(drewText(canvas, "RMF"));
        EXPECT_EQ(buttonText(graph), "Back");
        DestroyWindow(graph);
    }

    // Without two sweeps the dialog proposes the fingerprint and the latest sweep; Cancel opens nothing.
    answerNextDialog("Select sweeps for diagnosis", [](HWND dialog) {
        EXPECT_EQ(itemText(dialog, IDC_DIAGNOSIS_FINGERPRINT), "Fingerprint\t02-04-2019 10:30");
        EXPECT_EQ(itemText(dialog, IDC_DIAGNOSIS_SWEEP), "Severe\t05-03-2024 10:30");
        pressButton(dialog, IDOK);
    });
    HWND graph = openDiagnosis(-1, -1, "TX-SIM");
    EXPECT_TRUE(finishDialogs());
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(state(graph).view.diagnosis.diagnosedName, "Severe");
    answerNextDialog("Select sweeps for diagnosis", [](HWND dialog) { pressButton(dialog, IDCANCEL); });
    EXPECT_EQ(openDiagnosis(-1, -1, "TX-SIM"), nullptr);
}

TEST_F(GraphWindowTest, DiagnoseTakesTwoSweepsAtOnceAsksAmongThreeAndBackRestoresTheView) {
    const std::int64_t a = modelSweep("Fingerprint", Profile::Healthy), b = modelSweep("Gentle", Profile::Gentle);
    HWND graph = openGraph({a, b});
    ASSERT_NE(graph, nullptr);
    gui::GraphState& s = state(graph);
    choose(graph, IDM_GRAPH_LINEAR);
    choose(graph, IDM_GRAPH_LEFT_CURSOR);
    choose(graph, IDM_PLOT_RIGHT_VISIBLE);
    const analysis::AxisRanges before = s.view.ranges;

    // From the keyboard: Tab from the active sweep to Diagnose, then the space bar.
    SetFocus(GetDlgItem(graph, IDC_GRAPH_ACTIVE_SWEEP));
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    pumpMessages(30);
    ASSERT_EQ(GetFocus(), GetDlgItem(graph, IDC_GRAPH_DIAGNOSE));
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_SPACE, 0);
    PostMessageW(GetFocus(), WM_KEYUP, VK_SPACE, 0xC0000000);
    pumpMessages(30);
    ASSERT_TRUE(s.diagnosing);
    EXPECT_EQ(s.view.diagnosis.result.classCode, 2);
    EXPECT_EQ(buttonText(graph), "Back");
    expectOnlyFirstChecked(graph, {IDM_GRAPH_FREQUENCY_MANUAL, IDM_GRAPH_FREQUENCY_AUTO, IDM_GRAPH_LEFT_CURSOR,
                                   IDM_PLOT_STRIDE + IDM_PLOT_RIGHT_VISIBLE, IDM_GRAPH_LINEAR});
    EXPECT_EQ(s.view.ranges.frequencyMin, 1000);
    EXPECT_EQ(s.view.ranges.leftMin, before.leftMin);

    // What the mode changed comes back even if changed again meanwhile; other changes stay.
    choose(graph, IDM_GRAPH_FREQUENCY_AUTO);
    choose(graph, IDM_PLOT_STRIDE + IDM_PLOT_LEFT_VISIBLE);
    choose(graph, IDM_GRAPH_BACKGROUND_WHITE);
    clickButton(graph, IDC_GRAPH_DIAGNOSE);
    EXPECT_FALSE(s.diagnosing);
    EXPECT_EQ(buttonText(graph), "Diagnose");
    EXPECT_TRUE(drewText(drawn(graph), "No Diagnosis Info."));
    expectOnlyFirstChecked(graph, {IDM_GRAPH_LINEAR, IDM_GRAPH_LOGARITHMIC});
    EXPECT_TRUE(checked(graph, IDM_GRAPH_LEFT_CURSOR) && checked(graph, IDM_GRAPH_FREQUENCY_AUTO));
    EXPECT_EQ(s.view.ranges.frequencyMax, before.frequencyMax);
    EXPECT_TRUE(s.view.settings.plots[1].leftVisible && s.view.settings.plots[1].rightVisible);
    EXPECT_FALSE(s.view.settings.plots[0].rightVisible);
    EXPECT_EQ(s.view.settings.background, analysis::kBackgroundWhite);

    // Three sweeps: the dialog offers only the graph's own; the same sweep twice is refused.
    const std::int64_t c = modelSweep("Severe", Profile::Severe);
    modelSweep("Not in the graph", Profile::Obvious);
    HWND three = openGraph({a, b, c});
    ASSERT_NE(three, nullptr);
    int offered = 0;
    answerNextDialog("Select sweeps for diagnosis", [&](HWND dialog) {
        pickRow(dialog, IDC_DIAGNOSIS_FINGERPRINT, 0, &offered);
        pickRow(dialog, IDC_DIAGNOSIS_SWEEP, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_EQ(prompter.boxes.back().text, "The fingerprint and diagnosis sweep cannot be the same sweep");
        pickRow(dialog, IDC_DIAGNOSIS_SWEEP, 2);
        pressButton(dialog, IDOK);
    });
    clickButton(three, IDC_GRAPH_DIAGNOSE);
    EXPECT_TRUE(finishDialogs());
    EXPECT_EQ(offered, 3);
    EXPECT_EQ(state(three).view.diagnosis.diagnosedName, "Severe");
    EXPECT_EQ(state(three).view.diagnosis.result.classCode, 4);
}

// The names tool tip's text and place, read as assistive tools read a tool tip.
std::pair<std::string, RECT> namesTip(HWND graph) {
    HWND tip = state(graph).namesTip;
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    wchar_t text[512] = L"";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = graph;
    tool.uId = 1;
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, sizeof text / sizeof text[0], reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool));
    return {platform::win32::narrow(text), tool.rect};
}

TEST_F(GraphWindowTest, ADiagnosisCutsALongNameAndItsToolTipGivesBothNamesWholeAndTheReadoutsShowPointsOnScreen) {
    const std::string longName = "Commissioning fingerprint after the transport to site";
    const std::int64_t a = modelSweep(longName, Profile::Healthy), b = modelSweep("Gentle", Profile::Gentle);
    HWND graph = openGraph({a, b});
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(namesTip(graph).first, "");
    clickButton(graph, IDC_GRAPH_DIAGNOSE);
    UpdateWindow(graph);
    pumpMessages(30);
    ASSERT_TRUE(state(graph).diagnosing);
    EXPECT_FALSE(drewText(drawn(graph), longName)) << "too wide for its cell";
    const auto [text, place] = namesTip(graph);
    EXPECT_EQ(text, "Fingerprint sweep: " + longName + "\nSweep to diagnose: Gentle");
    RECT client;
    GetClientRect(graph, &client);
    EXPECT_GT(place.right - place.left, 0);
    EXPECT_GT(place.top, client.bottom / 2) << "over the panel under the graph";
    // The readouts describe the points of the view's range, 1 kHz to 1 MHz.
    const analysis::Cursors& cursors = state(graph).view.cursors;
    EXPECT_GE(cursors.points[cursors.leftIndex].frequency, 1000);
    EXPECT_LE(cursors.points[cursors.rightIndex].frequency, 1e6);

    clickButton(graph, IDC_GRAPH_DIAGNOSE);
    UpdateWindow(graph);
    pumpMessages(30);
    EXPECT_EQ(namesTip(graph).first, "");
    EXPECT_EQ(state(graph).view.cursors.leftIndex, 0) << "back on the whole sweep";
}

TEST_F(GraphWindowTest, SettingsSurviveClosingAndReopeningButADiagnosisNeverReachesThem) {
    const std::int64_t a = modelSweep("Fingerprint", Profile::Healthy), b = modelSweep("Repeat", Profile::Repeat);
    HWND graph = openGraph({a, b});
    ASSERT_NE(graph, nullptr);
    for (int id : {IDM_GRAPH_BACKGROUND_WHITE, IDM_GRAPH_LINEAR, IDM_GRAPH_RIGHT_CURSOR,
                   IDM_PLOT_STRIDE + IDM_PLOT_LEFT_THICK, IDM_PLOT_RIGHT_COLOUR + 16})
        choose(graph, id);
    rangeDialog(graph, IDM_GRAPH_LEFT_MANUAL, [](HWND d) { enterRange(d, "-75", "5", IDOK); });
    clickButton(graph, IDC_GRAPH_DIAGNOSE);  // closed while diagnosing
    ASSERT_TRUE(state(graph).diagnosing);
    choose(graph, IDM_GRAPH_CLOSE);
    EXPECT_FALSE(IsWindow(graph));

    auto expectUsersSettings = [&] {
        HWND reopened = openGraph({a, b});
        ASSERT_NE(reopened, nullptr);
        const analysis::GraphSettings& g = state(reopened).view.settings;
        EXPECT_TRUE(g.rightCursorVisible && g.plots[0].rightVisible && g.plots[1].rightVisible);
        EXPECT_EQ(g.frequencyScaling, analysis::kScaleAutomatic);
        EXPECT_EQ(state(reopened).view.ranges.leftMin, -75);
        EXPECT_EQ(g.plots[0].rightColour, 16);
        for (int id : {IDM_GRAPH_BACKGROUND_WHITE, IDM_GRAPH_LINEAR, IDM_GRAPH_LEFT_MANUAL,
                       IDM_PLOT_STRIDE + IDM_PLOT_LEFT_THICK})
            EXPECT_TRUE(checked(reopened, id)) << id;
        DestroyWindow(reopened);
    };
    expectUsersSettings();

    // Opened straight into a diagnosis the graph takes the default appearance on black; Back and
    // closing give the user's own back.
    graph = openDiagnosis(a, b, "TX-SIM");
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(state(graph).view.settings.background, analysis::kBackgroundBlack);
    EXPECT_EQ(state(graph).view.settings.plots[0].rightColour, 1);
    clickButton(graph, IDC_GRAPH_DIAGNOSE);
    EXPECT_EQ(state(graph).view.settings.background, analysis::kBackgroundWhite);
    clickButton(graph, IDC_GRAPH_DIAGNOSE);
    SendMessageW(graph, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(graph));
    expectUsersSettings();

    // A left axis centred on 0 dB opens centred on the sweeps' own range, not on a default one.
    graph = openGraph({a, b});
    choose(graph, IDM_GRAPH_LEFT_AUTO);
    const double top = std::max(-state(graph).view.ranges.leftMin, state(graph).view.ranges.leftMax);
    choose(graph, IDM_GRAPH_LEFT_CENTRE);
    DestroyWindow(graph);
    graph = openGraph({a, b});
    EXPECT_EQ(state(graph).view.ranges.leftMax, top);
    EXPECT_EQ(state(graph).view.ranges.leftMin, -top);
}

// The lines of a list box, read as assistive tools read them.
std::vector<std::string> listBoxLines(HWND graph, int id) {
    HWND box = GetDlgItem(graph, id);
    std::vector<std::string> lines;
    for (LRESULT i = 0; i < SendMessageW(box, LB_GETCOUNT, 0, 0); ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(box, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        SendMessageW(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        lines.push_back(platform::win32::narrow(text.c_str()));
    }
    return lines;
}

bool hasLine(const std::vector<std::string>& lines, const std::string& start) {
    for (const std::string& line : lines)
        if (line.rfind(start, 0) == 0) return true;
    return false;
}

TEST_F(GraphWindowTest, TheDiagnosisShowsTheAssessmentBesideItsPanelAndSavesTheCustomAnalysis) {
    addSetup(2, "H1", 5);
    const std::int64_t fingerprint = modelSweep("Fingerprint", Profile::Healthy, "2019-04-02");
    const std::int64_t gentle = modelSweep("Gentle", Profile::Gentle, "2024-03-05", 2);
    HWND graph = openDiagnosis(fingerprint, gentle, std::to_string(gentle));
    ASSERT_NE(graph, nullptr);
    HWND indices = GetDlgItem(graph, IDC_ASSESS_INDICES);
    ASSERT_TRUE(IsWindowVisible(indices));

    // Beside the picture, which keeps the width it had; the window widened for it.
    RECT client, table;
    GetClientRect(graph, &client);
    GetWindowRect(indices, &table);
    MapWindowPoints(nullptr, graph, reinterpret_cast<POINT*>(&table), 2);
    EXPECT_GE(client.right, 1000 + gui::kAssessmentWidth);
    EXPECT_GT(table.left, client.right - gui::kAssessmentWidth - 10);

    EXPECT_TRUE(hasLine(listBoxLines(graph, IDC_ASSESS_FINDINGS), "OLTC position differs: 3 against 5"));
    EXPECT_TRUE(hasLine(listBoxLines(graph, IDC_ASSESS_VERDICTS), "DL/T 911: WARNING ("));
    EXPECT_EQ(itemText(graph, IDC_ASSESS_HEADING).rfind("Time-based: Gentle against Fingerprint of TX-SIM\nGrid: ", 0), 0u);
    // The table's DL/T 911 rows say what the results panel says.
    ASSERT_EQ(listRows(indices), 3);
    const analysis::DiagnosisResult& panel = state(graph).view.diagnosis.result;
    const char* bands[] = {"RLF", "RMF", "RHF"};
    ASSERT_EQ(analysis::kIndexColumns[7], "Rxy");
    for (int b = 0; b < 3; ++b) {
        EXPECT_EQ(listCell(indices, b, 0), "DL/T 911");
        EXPECT_EQ(listCell(indices, b, 1), bands[b]);
        EXPECT_NEAR(std::atof(listCell(indices, b, 7).c_str()), panel.bands[b].Rxy, 0.005) << bands[b];
    }
    EXPECT_TRUE(drewText(drawn(graph), "WARNING")) << "the panel's cells as before";
    screenshotIfAsked(graph, "assessment");

    // The custom analysis: a wrong field is refused and keeps the dialog; then saved and shown.
    answerNextDialog("Custom Analysis", [&](HWND dialog) {
        setItemText(dialog, IDC_CUSTOM_EDGES, "100000, 1000");
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_EQ(prompter.boxes.back().caption, "Invalid");
        setItemText(dialog, IDC_CUSTOM_EDGES, "1000, 100000, 1000000");
        SendDlgItemMessageW(dialog, IDC_CUSTOM_INDEX, CB_SETCURSEL, 1, 0);
        setItemText(dialog, IDC_CUSTOM_PASS, "0.99, 0.99");
        setItemText(dialog, IDC_CUSTOM_WARNING, "0.5, 0.5");
        screenshotIfAsked(dialog, "custom-analysis");
        pressButton(dialog, IDOK);
    });
    clickButton(graph, IDC_ASSESS_CUSTOM);
    EXPECT_TRUE(finishDialogs());
    screenshotIfAsked(graph, "assessment-custom");
    ASSERT_EQ(listRows(indices), 5);
    EXPECT_EQ(listCell(indices, 3, 0), "Custom");
    EXPECT_EQ(listCell(indices, 4, 1), "B2");
    EXPECT_TRUE(hasLine(listBoxLines(graph, IDC_ASSESS_VERDICTS), "Custom correlation analysis (limits on LRxy): "));
    analysis::CustomAnalysisSettings saved;
    ASSERT_TRUE(analysis::readCustomAnalysis(app::dbIniPath(), saved));
    EXPECT_EQ(saved.bands.back().high, 1e6);
    EXPECT_TRUE(saved.useLRxy);

    // A diagnosis opened later shows it at once; "DL/T 911 Only" takes it away.
    DestroyWindow(graph);
    graph = openDiagnosis(fingerprint, gentle, std::to_string(gentle));
    ASSERT_NE(graph, nullptr);
    indices = GetDlgItem(graph, IDC_ASSESS_INDICES);
    EXPECT_EQ(listRows(indices), 5);
    answerNextDialog("Custom Analysis", [](HWND dialog) {
        EXPECT_EQ(itemText(dialog, IDC_CUSTOM_EDGES), "1000,100000,1000000");
        pressButton(dialog, IDC_CUSTOM_NONE);
    });
    clickButton(graph, IDC_ASSESS_CUSTOM);
    EXPECT_TRUE(finishDialogs());
    EXPECT_EQ(listRows(indices), 3);

    clickButton(graph, IDC_GRAPH_DIAGNOSE);  // Back
    EXPECT_FALSE(IsWindowVisible(indices));
}

TEST_F(GraphWindowTest, ThePhasesOfOneTestAndASisterUnitAreComparedFromTheDiagnosis) {
    addSetup(2, "H2", 3);
    addSetup(3, "H3", 3);
    const std::int64_t fingerprint = modelSweep("Fingerprint", Profile::Healthy, "2019-04-02");
    const std::int64_t a = modelSweep("Phase A", Profile::Repeat);
    const std::int64_t b = modelSweep("Phase B", Profile::Gentle, "2024-03-05", 2);
    const std::int64_t c = modelSweep("Phase C", Profile::Repeat, "2024-03-05", 3);
    HWND graph = openDiagnosis(fingerprint, a, std::to_string(a));
    ASSERT_NE(graph, nullptr);
    HWND indices = GetDlgItem(graph, IDC_ASSESS_INDICES);

    // The three phases are proposed from the test; each pair gets its rows and its verdicts.
    answerNextDialog("Select phase sweeps", [&](HWND dialog) {
        EXPECT_EQ(itemText(dialog, IDC_PHASE_A), "Phase A\t05-03-2024 10:30");
        EXPECT_EQ(itemText(dialog, IDC_PHASE_B), "Phase B\t05-03-2024 10:30");
        EXPECT_EQ(itemText(dialog, IDC_PHASE_C), "Phase C\t05-03-2024 10:30");
        screenshotIfAsked(dialog, "phase-sweeps");
        // Changed by the user: a phase picked twice is refused, then put right.
        int offered = 0;
        pickRow(dialog, IDC_PHASE_C, 1, &offered);  // the transformer's FRA sweeps in id order: Phase A
        EXPECT_EQ(offered, 4);
        EXPECT_EQ(itemText(dialog, IDC_PHASE_C), "Phase A\t05-03-2024 10:30");
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_EQ(prompter.boxes.back().text, "Choose three different sweeps, one for each phase");
        pickRow(dialog, IDC_PHASE_C, 3);
        pressButton(dialog, IDOK);
    });
    clickButton(graph, IDC_ASSESS_PHASES);
    EXPECT_TRUE(finishDialogs());
    screenshotIfAsked(graph, "assessment-phases");
    ASSERT_EQ(listRows(indices), 9);
    EXPECT_EQ(listCell(indices, 0, 0), "A-B DL/T 911");
    EXPECT_EQ(listCell(indices, 3, 0), "B-C DL/T 911");
    EXPECT_EQ(listCell(indices, 6, 0), "C-A DL/T 911");
    const std::vector<std::string> verdicts = listBoxLines(graph, IDC_ASSESS_VERDICTS);
    for (const char* pair : {"A-B: DL/T 911: ", "B-C: DL/T 911: ", "C-A: DL/T 911: "})
        EXPECT_TRUE(hasLine(verdicts, pair)) << pair;
    const std::vector<analysis::LabelledAssessment>& pairs = state(graph).assessed;
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[1].assessment.referenceId, b);
    EXPECT_EQ(pairs[1].assessment.sweepId, c);
    EXPECT_EQ(itemText(graph, IDC_ASSESS_HEADING).rfind("Construction-based: A Phase A, B Phase B, C Phase C, of TX-SIM", 0), 0u);

    // A sister unit: only other transformers are offered, and its sweep of the same setup is the reference.
    ASSERT_EQ(db::store_transformer(testing_support::transformerRecord("TX-SISTER", "Maker Co", "S-78"), db::kAddChecked), 0);
    const std::int64_t sister = modelSweep("Sister", Profile::Repeat, "2023-01-10", 1, "TX-SISTER");
    int offered = 0;
    answerNextDialog("Select from Table", [&](HWND picker) {
        offered = listRows(GetDlgItem(picker, IDC_SELECT_LIST));
        doubleClickRow(picker, IDC_SELECT_LIST, 0);
    });
    clickButton(graph, IDC_ASSESS_SISTER);
    EXPECT_TRUE(finishDialogs());
    EXPECT_EQ(offered, 1);
    ASSERT_EQ(state(graph).assessed.size(), 1u);
    EXPECT_EQ(state(graph).assessed[0].assessment.referenceId, sister);
    EXPECT_EQ(state(graph).assessed[0].assessment.kind, analysis::ComparisonKind::TypeBased);
    EXPECT_EQ(listRows(indices), 3);
    EXPECT_NE(itemText(graph, IDC_ASSESS_HEADING).find("of its sister unit TX-SISTER"), std::string::npos);
    screenshotIfAsked(graph, "assessment-sister");

    // "Fingerprint" goes back to the time-based comparison.
    clickButton(graph, IDC_ASSESS_FINGERPRINT);
    EXPECT_EQ(state(graph).assessed[0].assessment.referenceId, fingerprint);
    EXPECT_EQ(itemText(graph, IDC_ASSESS_HEADING).rfind("Time-based: ", 0), 0u);
}

TEST_F(GraphWindowTest, ReportWritesThePdfOfTheSweepsShownWithTheDiagnosisOnScreen) {
    const std::int64_t fingerprint = modelSweep("Fingerprint", Profile::Healthy, "2019-04-02");
    const std::int64_t gentle = modelSweep("Gentle Müller", Profile::Gentle);
    HWND graph = openDiagnosis(fingerprint, gentle, std::to_string(gentle));
    ASSERT_NE(graph, nullptr);
    const std::string pdf = dir.file("yearly.pdf");
    prompter.saveResults.push_back(pdf);
    std::string summary;
    answerNextDialog("Report", [&](HWND dialog) {
        summary = itemText(dialog, IDC_REPORT_SWEEPS);
        setItemText(dialog, IDC_REPORT_TITLE, "Yearly test of TX-SIM");
        setItemText(dialog, IDC_REPORT_SITE, "Nordwerk Süd");
        SendDlgItemMessageW(dialog, IDC_REPORT_PAPER, CB_SETCURSEL, 1, 0);  // Letter
        screenshotIfAsked(dialog, "report-dialog");
        pressButton(dialog, IDOK);
    });
    choose(graph, IDM_GRAPH_REPORT);
    EXPECT_TRUE(finishDialogs());
    EXPECT_EQ(summary, "A report of 2 sweeps of TX-SIM, assessed against Fingerprint");
    ASSERT_TRUE(platform::fileExists(pdf)) << prompter.captions();
    EXPECT_EQ(prompter.choicesShown.back().title, "Save Report");

    // Read back as any PDF reader would, by the host's poppler.
    const std::string text = dir.file("yearly.txt"), info = dir.file("yearly.info");
    ASSERT_EQ(runHostCommand("pdftotext " + shellQuoted(hostPath(pdf)) + " " + shellQuoted(hostPath(text)) +
                                 " && pdfinfo " + shellQuoted(hostPath(pdf)) + " > " + shellQuoted(hostPath(info)),
                             30000),
              0);
    const std::string read = testing_support::readFile(text);
    for (const char* shown : {"Yearly test of TX-SIM", "Nordwerk Süd", "1. Fingerprint", "2. Gentle Müller",
                              "Assessment: Gentle Müller against Fingerprint", "DL/T 911: WARNING", "Tested by"})
        EXPECT_NE(read.find(shown), std::string::npos) << shown;
    EXPECT_NE(testing_support::readFile(info).find("612 x 792 pts (letter)"), std::string::npos);
    const interchange::ReportSettings saved = interchange::readReportSettings(app::dbIniPath());
    EXPECT_EQ(saved.site, "Nordwerk Süd");
    EXPECT_EQ(saved.paper, interchange::Paper::Letter);
}

}  // namespace
}  // namespace gui_testing
