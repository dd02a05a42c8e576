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

struct RangeDialog final : ModalDialog {
    RangeDialog(HWND graph, analysis::RangeAxis axis) : graph(graph), axis(axis) {}

    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM) override;

    HWND graph;
    analysis::RangeAxis axis;
    double openingMin = 0, openingMax = 0;  // put back by Cancel
};

void showValue(HWND dialog, int id, double value) { setControlText(dialog, id, common::stringPrintf("%f", value)); }

// A refused entry leaves the axis as it was.
void apply(HWND dialog, const RangeDialog& s) {
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

void onCancel(HWND dialog, const RangeDialog& s) {
    analysis::setRange(graphState(s.graph)->view.ranges, s.axis, s.openingMin, s.openingMax);
    refreshGraph(s.graph);
    EndDialog(dialog, IDCANCEL);
}

bool RangeDialog::onInit(HWND dialog) {
    analysis::currentRange(graphState(graph)->view.ranges, axis, openingMin, openingMax);
    showValue(dialog, IDC_RANGE_MIN, openingMin);
    showValue(dialog, IDC_RANGE_MAX, openingMax);
    return true;
}

bool RangeDialog::onCommand(HWND dialog, int id, int, LPARAM) {
    switch (id) {
    case IDC_RANGE_PREVIEW: apply(dialog, *this); return true;
    case IDOK:
        apply(dialog, *this);
        EndDialog(dialog, IDOK);
        return true;
    case IDCANCEL: onCancel(dialog, *this); return true;
    default: return false;
    }
}

}  // namespace

void runRangeDialog(HWND graph, analysis::RangeAxis axis) {
    RangeDialog dialog(graph, axis);
    dialog.run(graph, IDD_GRAPH_RANGE);
}

}  // namespace gui
