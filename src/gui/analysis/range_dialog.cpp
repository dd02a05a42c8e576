// The Range dialog: the minimum and maximum of one axis of the graph, tried out with Preview, kept
// with OK, given up with Cancel.
#include <windows.h>

#include "analysis/range_entry.h"
#include "common/string_printf.h"
#include "gui/analysis/graph_state.h"
#include "gui/dialog_fields.h"
#include "gui/resources/graph_ids.h"
#include "platform/prompter.h"

namespace gui {
namespace {

struct RangeDialog {
    HWND graph = nullptr;
    analysis::RangeAxis axis = analysis::RangeAxis::Left;
    double openingMin = 0, openingMax = 0;  // put back by Cancel
};

RangeDialog& stateOf(HWND dialog) { return *dialogRecord<RangeDialog>(dialog); }

void showValue(HWND dialog, int id, double value) { setControlText(dialog, id, common::stringPrintf("%f", value)); }

void onInitDialog(HWND dialog, LPARAM record) {
    RangeDialog& s = attachDialogRecord<RangeDialog>(dialog, record);
    analysis::currentRange(graphState(s.graph)->view.ranges, s.axis, s.openingMin, s.openingMax);
    showValue(dialog, IDC_RANGE_MIN, s.openingMin);
    showValue(dialog, IDC_RANGE_MAX, s.openingMax);
}

// A refused entry leaves the axis as it was.
void apply(HWND dialog) {
    RangeDialog& s = stateOf(dialog);
    const analysis::RangeEntry e =
        analysis::checkRangeEntry(s.axis, controlText(dialog, IDC_RANGE_MIN), controlText(dialog, IDC_RANGE_MAX));
    if (!e.refusal.empty()) {
        platform::showMessage(e.refusal, "Corvane", platform::Icon::Information);
        return;
    }
    if (e.minAdjusted) showValue(dialog, IDC_RANGE_MIN, e.min);
    if (e.maxAdjusted) showValue(dialog, IDC_RANGE_MAX, e.max);
    analysis::setRange(graphState(s.graph)->view.ranges, s.axis, e.min, e.max);
    refreshGraph(s.graph);
}

void onCancel(HWND dialog) {
    RangeDialog& s = stateOf(dialog);
    analysis::setRange(graphState(s.graph)->view.ranges, s.axis, s.openingMin, s.openingMax);
    refreshGraph(s.graph);
    EndDialog(dialog, IDCANCEL);
}

INT_PTR CALLBACK rangeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog, lParam);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_RANGE_PREVIEW: apply(dialog); return TRUE;
        case IDOK:
            apply(dialog);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL: onCancel(dialog); return TRUE;
        default: return FALSE;
        }
    default:
        return FALSE;
    }
}

}  // namespace

void runRangeDialog(HWND graph, analysis::RangeAxis axis) {
    RangeDialog state{graph, axis};
    runDialog(graph, IDD_GRAPH_RANGE, rangeDialogProc, &state);
}

}  // namespace gui
