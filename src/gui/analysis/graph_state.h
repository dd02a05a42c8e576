// The graph window's state and what its files share: the window (graph_window.cpp), its menus
// (graph_menu.cpp), its appearance commands (graph_commands.cpp), the Range dialog (range_dialog.cpp)
// and the diagnosis mode with its sweep selection (diagnosis_mode.cpp, diagnosis_sweeps_dialog.cpp)
// and the assessment beside it (assessment_pane.cpp, phase_sweeps_dialog.cpp,
// custom_analysis_dialog.cpp).
// The record belongs to its window and lives exactly as long; user-interface thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "analysis/assessment_table.h"
#include "analysis/diagnosis_panel.h"
#include "analysis/plot_engine.h"
#include "analysis/plot_settings.h"
#include "analysis/range_entry.h"
#include "db/records.h"

namespace gui {

struct GraphState {
    explicit GraphState(std::vector<db::SweepRecord> loaded) : sweeps(std::move(loaded)) { view.sweeps = sweeps; }
    GraphState(const GraphState&) = delete;
    GraphState& operator=(const GraphState&) = delete;

    std::vector<db::SweepRecord> sweeps;  // the slots in load order, 1 to 9; never resized (view spans them)
    analysis::GraphView view;             // everything the plot engine draws: settings, ranges, cursors, panel
    analysis::CustomColourList customColours;
    bool diagnosing = false;
    analysis::SavedGraphView savedView;   // the user's view while diagnosing
    HHOOK dialogKeys = nullptr;           // gives the control row Tab and arrow navigation
    HWND namesTip = nullptr;              // the diagnosis's whole sweep names over their cell of the panel
    int fingerprintSlot = 0;              // the diagnosis's two sweeps, while diagnosing
    int diagnosedSlot = 1;
    std::string comparison;               // the assessment beside it: what is compared with what
    std::vector<analysis::LabelledAssessment> assessed;

    const db::SweepRecord& fingerprint() const { return sweeps[static_cast<std::size_t>(fingerprintSlot)]; }
    const db::SweepRecord& diagnosed() const { return sweeps[static_cast<std::size_t>(diagnosedSlot)]; }
};

// The state of a graph window; nullptr for any other window.
GraphState* graphState(HWND graph);

// Loads the sweeps of up to the first nine ids (a missing one is left out) under the wait cursor.
std::vector<db::SweepRecord> loadGraphSweeps(const std::vector<std::int64_t>& ids);

// Opens a graph window owned by owner on the loaded sweeps (1 to 9, all FRA or all LCR): reads the
// settings, builds the menus, scales the automatic axes, fills the control row. Null when the window
// cannot be created.
HWND createGraphWindow(HWND owner, std::vector<db::SweepRecord> sweeps);

// Creates child controls of the graph window in the stock GUI font (WS_CHILD is added to the style).
struct GraphControl {
    int id;
    const char* cls;
    const char* text;
    DWORD style;
};
void createGraphControls(HWND graph, std::initializer_list<GraphControl> controls);

// After any change: the menu's check marks follow the settings and the plot is drawn again.
void refreshGraph(HWND graph);

// As the diagnosis mode starts or ends: a diagnosis widens the window for the assessment beside the
// picture, as far as the screen has room; the controls take their places for the mode.
void fitDiagnosis(HWND graph);

// Scales the axes whose scaling is automatic (a left axis centred on 0 dB is scaled, then centred).
void rescaleAutomaticAxes(GraphState& state);

// The cursor lists of the active sweep, the cursors on its first and last points of the frequency range
// shown, and the scroll bars set to match.
void resetCursors(HWND graph);

// The menus (graph_menu.cpp). The menu bar from its template with the LCR quantity menus and one
// "Plot Appearance" submenu per sweep; the popup of the right mouse button with the same two menus;
// the check marks of any menu holding the items.
void buildGraphMenu(HWND graph);
HMENU createAppearancePopup(const GraphState& state);
void syncMenuChecks(HMENU menu, const GraphState& state);

// The menu commands that change the graph's appearance (graph_commands.cpp); false for any other id.
bool runAppearanceCommand(HWND graph, int id);

// The Range dialog for one axis (range_dialog.cpp); the graph shows every value it applies.
void runRangeDialog(HWND graph, analysis::RangeAxis axis);

// What the "Select sweeps for diagnosis" dialog works on: the sweeps it may offer (a graph's own; none
// for all sweeps of the transformer, when the two boxes are proposed at opening), the chosen ids as
// text and the transformer.
struct DiagnosisRequest {
    std::vector<std::int64_t> among;
    std::string fingerprintId;
    std::string diagnosedId;
    std::string transformer;
};

// Runs the dialog (diagnosis_sweeps_dialog.cpp); true for OK, with the request holding the choice.
bool selectDiagnosisSweeps(HWND owner, DiagnosisRequest& request);

// The assessment beside a diagnosis (assessment_pane.cpp), at the window's right in a column
// kAssessmentWidth wide while diagnosing: its controls, made hidden with the window, and their place;
// the time-based comparison of the diagnosis's two sweeps, shown as the mode starts; the pane's
// buttons (false for any other control).
constexpr int kAssessmentWidth = 560;
void createAssessmentPane(HWND graph);
void layoutAssessmentPane(HWND graph, const RECT& pane, bool shown);
void assessDiagnosis(HWND graph);
bool runAssessmentCommand(HWND graph, int id, int code);

// The three phase sweeps (ids), proposed and changed in "Select phase sweeps"
// (phase_sweeps_dialog.cpp); true for OK. And "Custom Analysis" (custom_analysis_dialog.cpp), which
// saves the settings it shows in iniPath; true when they were changed.
bool selectPhaseSweeps(HWND owner, const std::string& transformer, std::vector<std::int64_t>& phases);
bool editCustomAnalysis(HWND owner, const std::string& iniPath);

// Diagnose and Back (diagnosis_mode.cpp). enterDiagnosis diagnoses slot diagnosed against slot
// fingerprint, keeping saved to put back when the mode ends; leaveDiagnosis puts it back (when on)
// and clears the result.
void toggleDiagnosis(HWND graph);
void enterDiagnosis(HWND graph, int fingerprint, int diagnosed, const analysis::SavedGraphView& saved);
void leaveDiagnosis(HWND graph);

}  // namespace gui
