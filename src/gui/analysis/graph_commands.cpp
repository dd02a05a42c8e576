// The graph window's appearance commands, from its menu bar or its popup: axes, scaling, background,
// cursors, LCR quantities and each sweep's curves.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <array>

#include "gui/analysis/graph_state.h"
#include "gui/resources/graph_ids.h"

namespace gui {
namespace {

using analysis::RangeAxis;

// The colour dialog, full, starting at colour and offering the window's custom colours, which the
// user may change in it. False when cancelled.
bool chooseColour(HWND graph, GraphState& s, analysis::Colour& colour) {
    std::array<COLORREF, 16> custom;
    std::copy(s.customColours.colours.begin(), s.customColours.colours.end(), custom.begin());
    CHOOSECOLORW choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = graph;
    choice.rgbResult = colour;
    choice.lpCustColors = custom.data();
    choice.Flags = CC_FULLOPEN | CC_RGBINIT;
    const bool chosen = ChooseColorW(&choice) != FALSE;
    std::copy(custom.begin(), custom.end(), s.customColours.colours.begin());
    if (chosen) colour = static_cast<analysis::Colour>(choice.rgbResult & 0xFFFFFF);
    return chosen;
}

void chooseBackground(HWND graph, GraphState& s) {
    analysis::GraphSettings& g = s.view.settings;
    analysis::setBackground(g, analysis::kBackgroundCustom);
    analysis::Colour colour = g.customBackground;
    if (!chooseColour(graph, s, colour)) return;
    g.customBackground = colour;
    s.customColours.add(colour);
}

void setQuantity(HWND graph, GraphState& s, int& quantity, int chosen) {
    quantity = chosen;
    rescaleAutomaticAxes(s);
    resetCursors(graph);
}

// A command of sweep i's submenu; offset is its id less 70 · i.
bool runPlotCommand(HWND graph, GraphState& s, int i, int offset) {
    analysis::PlotSettings& p = s.view.settings.plots[static_cast<std::size_t>(i)];
    if (offset == IDM_PLOT_LEFT_VISIBLE) {
        p.leftVisible = !p.leftVisible;
    } else if (offset == IDM_PLOT_RIGHT_VISIBLE) {
        p.rightVisible = !p.rightVisible;
    } else if (offset >= IDM_PLOT_LEFT_THIN && offset <= IDM_PLOT_LEFT_THICK) {
        p.leftWeight = analysis::kThin + offset - IDM_PLOT_LEFT_THIN;
    } else if (offset >= IDM_PLOT_RIGHT_THIN && offset <= IDM_PLOT_RIGHT_THICK) {
        p.rightWeight = analysis::kThin + offset - IDM_PLOT_RIGHT_THIN;
    } else if (offset >= IDM_PLOT_LEFT_COLOUR && offset <= IDM_PLOT_LEFT_CUSTOM) {
        p.leftColour = offset - IDM_PLOT_LEFT_COLOUR;
        if (offset == IDM_PLOT_LEFT_CUSTOM) chooseColour(graph, s, p.customLeftColour);
    } else if (offset >= IDM_PLOT_RIGHT_COLOUR && offset <= IDM_PLOT_RIGHT_CUSTOM) {
        p.rightColour = offset - IDM_PLOT_RIGHT_COLOUR;
        if (offset == IDM_PLOT_RIGHT_CUSTOM) chooseColour(graph, s, p.customRightColour);
    } else {
        return false;
    }
    return true;
}

bool runIdCommand(HWND graph, GraphState& s, int id) {
    using namespace analysis;
    GraphSettings& g = s.view.settings;
    AxisRanges& r = s.view.ranges;
    switch (id) {
    case IDM_GRAPH_LOGARITHMIC: g.logFrequency = true; return true;
    case IDM_GRAPH_LINEAR: g.logFrequency = false; return true;
    case IDM_GRAPH_LEFT_AUTO:
        g.leftScaling = kScaleAutomatic;
        AutoscaleLeftAxis(r, s.sweeps);
        return true;
    case IDM_GRAPH_LEFT_CENTRE:
        g.leftScaling = kScaleCentredOnZero;
        CentreGainOnZero(r);
        return true;
    case IDM_GRAPH_LEFT_MANUAL:
        g.leftScaling = kScaleManual;
        runRangeDialog(graph, RangeAxis::Left);
        return true;
    case IDM_GRAPH_RIGHT_AUTO:
        g.rightScaling = kScaleAutomatic;
        AutoscaleRightAxis(r, s.sweeps);
        return true;
    case IDM_GRAPH_RIGHT_MANUAL:
        g.rightScaling = kScaleManual;
        runRangeDialog(graph, RangeAxis::Right);
        return true;
    case IDM_GRAPH_FREQUENCY_AUTO:
        g.frequencyScaling = kScaleAutomatic;
        AutoscaleFrequency(r, s.sweeps);
        return true;
    case IDM_GRAPH_FREQUENCY_MANUAL:
        g.frequencyScaling = kScaleManual;
        runRangeDialog(graph, RangeAxis::Frequency);
        return true;
    case IDM_GRAPH_BACKGROUND_BLACK: setBackground(g, kBackgroundBlack); return true;
    case IDM_GRAPH_BACKGROUND_WHITE: setBackground(g, kBackgroundWhite); return true;
    case IDM_GRAPH_BACKGROUND_CUSTOM: chooseBackground(graph, s); return true;
    case IDM_GRAPH_LEFT_CURSOR: g.leftCursorVisible = !g.leftCursorVisible; return true;
    case IDM_GRAPH_RIGHT_CURSOR: g.rightCursorVisible = !g.rightCursorVisible; return true;
    default: return false;
    }
}

}  // namespace

bool runAppearanceCommand(HWND graph, int id) {
    GraphState& s = *graphState(graph);
    const bool lcr = analysis::isLcrGraph(s.sweeps);
    const int sweep = (id - IDM_PLOT_LEFT_VISIBLE) / IDM_PLOT_STRIDE;
    bool done = false;
    if (lcr && id >= IDM_GRAPH_LEFT_QUANTITY && id < IDM_GRAPH_LEFT_QUANTITY + IDM_GRAPH_QUANTITY_COUNT) {
        setQuantity(graph, s, s.view.ranges.leftQuantity, id - IDM_GRAPH_LEFT_QUANTITY + 1);
        done = true;
    } else if (lcr && id >= IDM_GRAPH_RIGHT_QUANTITY && id < IDM_GRAPH_RIGHT_QUANTITY + IDM_GRAPH_QUANTITY_COUNT) {
        setQuantity(graph, s, s.view.ranges.rightQuantity, id - IDM_GRAPH_RIGHT_QUANTITY + 1);
        done = true;
    } else if (id >= IDM_PLOT_LEFT_VISIBLE && sweep < analysis::loadedSweepCount(s.sweeps)) {
        done = runPlotCommand(graph, s, sweep, id - IDM_PLOT_STRIDE * sweep);
    } else {
        done = runIdCommand(graph, s, id);
    }
    if (done) refreshGraph(graph);
    return done;
}

}  // namespace gui
