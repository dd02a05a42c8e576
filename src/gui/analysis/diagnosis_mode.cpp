// The graph window's diagnosis mode: Diagnose compares two of its sweeps in the fixed view of a
// diagnosis with the results panel filled and the assessment beside it; Back puts the user's view
// back. Also the graph window
// opened from the data browser straight into the mode.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "analysis/diagnosis.h"
#include "db/diagnosis_sweeps.h"
#include "gui/analysis/graph_state.h"
#include "gui/analysis/graph_window.h"
#include "gui/resources/graph_ids.h"
#include "platform/prompter.h"

namespace gui {
namespace {

// The slot holding the sweep with this id (as text); -1 for none.
int slotOf(const GraphState& s, const std::string& id) {
    for (std::size_t i = 0; i < s.sweeps.size(); ++i)
        if (std::to_string(s.sweeps[i].id) == id) return static_cast<int>(i);
    return -1;
}

void setButtonText(HWND graph, const char* text) { SetDlgItemTextA(graph, IDC_GRAPH_DIAGNOSE, text); }

// A graph opened for a diagnosis shows its two sweeps in the default appearance on black, scaled
// automatically, without cursors.
void applyDiagnosisAppearance(GraphState& s) {
    using namespace analysis;
    GraphSettings& g = s.view.settings;
    const auto defaults = defaultPlots();
    for (std::size_t i = 0; i < s.sweeps.size(); ++i) g.plots[i] = defaults[i];
    g.background = kBackgroundBlack;
    g.frequencyScaling = g.leftScaling = kScaleAutomatic;
    g.leftCursorVisible = g.rightCursorVisible = false;
    g.logFrequency = true;
    rescaleAutomaticAxes(s);
}

}  // namespace

void enterDiagnosis(HWND graph, int fingerprint, int diagnosed, const analysis::SavedGraphView& saved) {
    GraphState& s = *graphState(graph);
    s.savedView = saved;
    analysis::applyDiagnosisView(s.view.settings, s.view.ranges, fingerprint, diagnosed);
    resetCursors(graph);  // the readouts follow the view's range
    s.fingerprintSlot = fingerprint;
    s.diagnosedSlot = diagnosed;
    const db::SweepRecord &f = s.fingerprint(), &d = s.diagnosed();
    s.view.diagnosis = analysis::DiagnosisPanelData{analysis::diagnose(f, d), f.name.str(), d.name.str()};
    s.view.difference = analysis::diagnosisDifference(f, d);
    s.diagnosing = true;
    setButtonText(graph, "Back");
    assessDiagnosis(graph);
    fitDiagnosis(graph);
    refreshGraph(graph);
}

void leaveDiagnosis(HWND graph) {
    GraphState& s = *graphState(graph);
    if (s.diagnosing) {
        s.diagnosing = false;
        analysis::restoreGraphView(s.savedView, s.view.settings, s.view.ranges);
        resetCursors(graph);
    }
    s.view.diagnosis = {};
    s.view.difference = {};
    s.assessed.clear();
    EnableWindow(GetDlgItem(graph, IDC_GRAPH_SPARE), FALSE);
    setButtonText(graph, "Diagnose");
    fitDiagnosis(graph);
    refreshGraph(graph);
}

void toggleDiagnosis(HWND graph) {
    GraphState& s = *graphState(graph);
    if (s.diagnosing) {
        leaveDiagnosis(graph);
        return;
    }
    const int count = analysis::loadedSweepCount(s.sweeps);
    if (count < 2 || analysis::isLcrGraph(s.sweeps)) return;
    int fingerprint = 0, diagnosed = 1;
    if (count > 2) {
        // Only the graph's own sweeps can be chosen.
        DiagnosisRequest request;
        for (int i = 0; i < count; ++i) request.among.push_back(s.sweeps[static_cast<std::size_t>(i)].id);
        if (!selectDiagnosisSweeps(graph, request)) return;
        fingerprint = slotOf(s, request.fingerprintId);
        diagnosed = slotOf(s, request.diagnosedId);
        if (fingerprint < 0 || diagnosed < 0) return;
    }
    enterDiagnosis(graph, fingerprint, diagnosed, analysis::SavedGraphView{s.view.settings, s.view.ranges, false});
}

void showDiagnosis(HWND owner, std::int64_t firstId, std::int64_t secondId, const std::string& selectedKey) {
    DiagnosisRequest request;
    request.transformer = db::transformerOfKey(selectedKey);
    if (firstId >= 0 && secondId >= 0) {
        request.fingerprintId = std::to_string(firstId);
        request.diagnosedId = std::to_string(secondId);
    } else if (!selectDiagnosisSweeps(owner, request) || request.fingerprintId.empty() ||
               request.diagnosedId.empty()) {
        return;
    }
    std::vector<db::SweepRecord> sweeps = loadGraphSweeps(
        {std::atoll(request.fingerprintId.c_str()), std::atoll(request.diagnosedId.c_str())});
    if (sweeps.size() != 2) return;
    for (const db::SweepRecord& sweep : sweeps) {
        if (sweep.dataType == db::kDataLcr) {
            platform::showMessage("Only FRA sweeps can be diagnosed", "Error", platform::Icon::Error);
            return;
        }
    }
    HWND graph = createGraphWindow(owner, std::move(sweeps));
    if (!graph) return;
    GraphState& s = *graphState(graph);
    // Back, and closing, give the user's own settings back, so that the diagnosis's appearance is
    // never written over them.
    const analysis::SavedGraphView users{s.view.settings, s.view.ranges, true};
    applyDiagnosisAppearance(s);
    enterDiagnosis(graph, 0, 1, users);
}

}  // namespace gui
