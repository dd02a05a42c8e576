// The plot engine: draws up to nine stored sweeps over a common frequency axis on a Canvas, each with
// a curve against the left axis (gain, or an LCR quantity) and one against the right axis (phase, or
// another quantity), with frame, grid, tick labels, titles, legend, cursors, readouts and the
// diagnosis results panel; and computes the automatic axis ranges. It works only on the state handed
// to it, so that each caller (graph window, command line, tests) keeps its own. Single-threaded.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "analysis/canvas.h"
#include "analysis/assessment.h"
#include "analysis/diagnosis_panel.h"
#include "analysis/plot_settings.h"
#include "db/records.h"

namespace analysis {

// Sweep values as the graph reads them.

// The number of sweeps in use: those before the first without a name, nine at most.
int loadedSweepCount(std::span<const db::SweepRecord> sweeps);
// True when the graph shows impedance (LCR) sweeps: the first sweep is of data type 2.
bool isLcrGraph(std::span<const db::SweepRecord> sweeps);
double pointFrequency(const db::SweepRecord& sweep, int i);
// An impedance point's quantity 1-7 (in LcrPoint order, see lcrQuantity); any other number gives
// quantity 1, the admittance.
double lcrQuantityValue(const db::LcrPoint& point, int quantity);
// Point i's value on the left or right axis: gain or phase for FRA sweeps, the axis's LCR quantity
// for impedance sweeps.
double leftValue(const db::SweepRecord& sweep, int i, const AxisRanges& ranges);
double rightValue(const db::SweepRecord& sweep, int i, const AxisRanges& ranges);

// Automatic ranges over all points of the loaded sweeps.
//   Frequency: smallest to largest frequency (a zero minimum becomes 1 Hz, a single frequency f gives f
//   to f + 10). Negative and non-numeric frequencies are left out.
//   Left axis: smallest to largest left value of the points within the frequency range. A single value
//   v is widened to v -/+ 10 % of v (-/+ 1 for 0) so that the axis has a height.
//   Right axis: -180 to 180 for FRA graphs, otherwise as the left axis.
// Without any usable point a range is left as it was.
void AutoscaleFrequency(AxisRanges& ranges, std::span<const db::SweepRecord> sweeps);
void AutoscaleLeftAxis(AxisRanges& ranges, std::span<const db::SweepRecord> sweeps);
void AutoscaleRightAxis(AxisRanges& ranges, std::span<const db::SweepRecord> sweeps);

// Centres the left axis on 0 while keeping the whole range in view: -m to m, m the larger magnitude of
// the two limits (-30 to 10 gives -30 to 30; -60 to -20 gives -60 to 60).
void CentreGainOnZero(AxisRanges& ranges);

// The active sweep's points for the two cursors, and each cursor's index into them.
struct CursorPoint {
    double frequency = 0, left = 0, right = 0;
};
struct Cursors {
    std::vector<CursorPoint> points;
    int leftIndex = 0;
    int rightIndex = 0;
};
// The cursor list of a sweep with the left cursor on its first point inside the frequency range and the
// right on its last, so that the readouts describe points on screen (the first and the last point
// when none is inside).
Cursors buildCursors(const db::SweepRecord& sweep, const AxisRanges& ranges);

// An assessment's difference curve (the sweep's gain less the reference's, dB, against frequency)
// with the bands it was assessed in: drawn in the diagnosis view under the two gain curves, in the
// lowest quarter of the plot on a scale of its own, the bands' edges marked across the plot. Bands
// without points are marked alone (a report's overlay).
struct DifferenceCurve {
    std::vector<DifferencePoint> points;
    std::vector<FrequencyBand> bands;
};

// The difference curve of a diagnosis of sweep against its fingerprint, with the DL/T 911 bands.
DifferenceCurve diagnosisDifference(const db::SweepRecord& fingerprint, const db::SweepRecord& diagnosed);

// Everything one drawing of the graph needs.
struct GraphView {
    std::span<const db::SweepRecord> sweeps;  // the slots in load order
    GraphSettings settings;
    AxisRanges ranges;
    int activeSweep = 0;  // the sweep the titles, cursors and readouts refer to
    Cursors cursors;      // of the active sweep
    DiagnosisPanelData diagnosis;
    DifferenceCurve difference;  // empty outside an assessed diagnosis
    bool plotOnly = false;       // the plot with its titles and legend alone: no readouts, no panel (a report)
};

// The legend's distance below the frequency axis: in the window, and in an exported picture.
constexpr int kWindowLegendOffset = 60;
constexpr int kBitmapLegendOffset = 45;

// Draws the whole graph into a drawing of width x height pixels with its origin at 0, 0, starting with
// the background. A drawing too small to hold the plot gets the background only.
void DrawGraph(Canvas& canvas, const GraphView& view, int width, int height, int legendOffset);

// Where DrawGraph puts the diagnosis panel's cell of the two sweeps' names in such a drawing.
Rect diagnosisNamesPlace(int width, int height, int legendOffset);

// Routines the sweep result windows share.

// A point in pixel coordinates, before rounding.
struct PlotPoint {
    double x = 0, y = 0;
};
// Where the segment a-b meets the vertical line at x, or the horizontal line at y (linear
// interpolation; a segment parallel to the line gives its first point moved onto the line).
PlotPoint ClipAtX(PlotPoint a, PlotPoint b, double x);
PlotPoint ClipAtY(PlotPoint a, PlotPoint b, double y);
// The parts of a curve inside the box from (left, top) to (right, bottom), as polylines: segments
// that cross an edge are cut at it, and a point that is not a number breaks the curve.
std::vector<std::vector<Point>> clipCurve(const std::vector<PlotPoint>& points, double left, double top, double right,
                                          double bottom);

// The plot frame: r enlarged by outset and filled, with a five-pixel bevelled grey border around it.
void DrawBevelFrame(Canvas& canvas, const Rect& r, int outset, Colour fill);
// Outlines in the selected pen of a square (left and top sides one pixel further out) and of a
// diamond, size / 2 from the centre.
void DrawSquareMarker(Canvas& canvas, int x, int y, int size);
void DrawDiamondMarker(Canvas& canvas, int x, int y, int size);

// A name shortened for a narrow place: a name longer than maxLength characters becomes its first
// character, "." and its last tailLength characters (the legend uses 8 and 6).
std::string abbreviateName(const std::string& name, std::size_t maxLength, std::size_t tailLength);

}  // namespace analysis
