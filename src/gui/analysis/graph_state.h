// The graph window's state and what its files share: the window (graph_window.cpp), its menus
// (graph_menu.cpp), its appearance commands (graph_commands.cpp), the Range dialog (range_dialog.cpp)
// and the diagnosis mode with its sweep selection (diagnosis_mode.cpp, diagnosis_sweeps_dialog.cpp).
// The record belongs to its window and lives exactly as long; user-interface thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

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
};

// The state of a graph window; nullptr for any other window.
GraphState* graphState(HWND graph);

// Loads the sweeps of up to the first nine ids (a missing one is left out) under the wait cursor.
std::vector<db::SweepRecord> loadGraphSweeps(const std::vector<std::int64_t>& ids);

// Opens a graph window owned by owner on the loaded sweeps (1 to 9, all FRA or all LCR): reads the
// settings, builds the menus, scales the automatic axes, fills the control row. Null when the window
// cannot be created.
HWND createGraphWindow(HWND owner, std::vector<db::SweepRecord> sweeps);

// After any change: the menu's check marks follow the settings and the plot is drawn again.
void refreshGraph(HWND graph);

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

// Diagnose and Back (diagnosis_mode.cpp). enterDiagnosis diagnoses slot diagnosed against slot
// fingerprint, keeping saved to put back when the mode ends; leaveDiagnosis puts it back (when on)
// and clears the result.
void toggleDiagnosis(HWND graph);
void enterDiagnosis(HWND graph, int fingerprint, int diagnosed, const analysis::SavedGraphView& saved);
void leaveDiagnosis(HWND graph);

}  // namespace gui
