// The results panel under the graph: six framed cells with the verdict, the two sweeps' names, the
// class and the three bands' relative factors on coloured gradient boxes, or "No Diagnosis Info."
// when there is no diagnosis. Also the fixed view of the graph while it shows a diagnosis.
#pragma once

#include <string>

#include "analysis/canvas.h"
#include "analysis/diagnosis.h"
#include "analysis/plot_settings.h"

namespace analysis {

// What the panel shows: the diagnosis (class 0: none) and the names of its two sweeps.
struct DiagnosisPanelData {
    DiagnosisResult result;
    std::string fingerprintName;
    std::string diagnosedName;
};

enum class GradientBox { None, Red, Orange, Yellow, Green };

// The box of a class cell (none for unknown) and of a band's relative factor. A factor that is not a
// number (a band without points or of constant gain) gets no box: it has not been graded.
GradientBox classBox(int classCode);
GradientBox bandBox(int band, double rxy);

// The cell's value text of a band's factor: "%0.4f", or "N/A" when it is not a number.
std::string bandValueText(double rxy);

// Fills r with ten horizontal bands shading from top to bottom colour.
void drawGradient(Canvas& canvas, const Rect& r, Colour top, Colour bottom);

// Draws the panel as a strip 30 pixels high at (x, y), width wide. A sweep's name wider than its cell
// ends in "..." where it is cut.
void DrawDiagnosisPanel(Canvas& canvas, const DiagnosisPanelData& panel, const GraphSettings& settings, int x, int y,
                        int width);

// The frame of the cell with the two sweeps' names in a panel drawn at (x, y), width wide: where a
// window offers the whole names.
Rect diagnosisNamesCell(int x, int y, int width);

// text, or as much of its start as fits width in the canvas's selected font followed by "...".
std::string fittedText(Canvas& canvas, const std::string& text, int width);

// The fixed view of a diagnosis: 1 kHz to 1 MHz on a logarithmic axis set by hand, no cursors, only the
// gain curves of the two sweeps (slot numbers) shown.
void applyDiagnosisView(GraphSettings& settings, AxisRanges& ranges, int fingerprintSlot, int diagnosedSlot);

// The user's view, kept while a graph shows a diagnosis. Partial (the Diagnose button): only what the
// diagnosis view changes comes back, the frequency scaling, axis kind, cursors, frequency range and
// the curves' visibility, so that other changes made meanwhile stay. Whole (a graph opened straight
// into a diagnosis, which first takes the default appearance): every setting and range comes back.
struct SavedGraphView {
    GraphSettings settings;
    AxisRanges ranges;
    bool whole = false;
};
void restoreGraphView(const SavedGraphView& saved, GraphSettings& settings, AxisRanges& ranges);

}  // namespace analysis
