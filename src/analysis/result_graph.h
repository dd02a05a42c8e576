// The GRAPH view of the FRA and impedance (LCR) results windows: the sweep on display drawn on a
// Canvas with its frequency, left and right axes, grid, curves, the two cursors and their readouts.
// The results window owns the display and the view (analysis/result_view.h) and calls these from its
// paint on the user-interface thread; they keep no state of their own.
#pragma once

#include "analysis/canvas.h"
#include "analysis/result_view.h"

namespace analysis {

// Draws the graph into a drawing of width x height pixels with its origin at 0, 0, starting with the
// black or white background. The plot keeps 60 pixels left and right (80 for LCR, where the labels
// are longer), 10 above and 80 below for the frequency labels, the "FREQUENCY (Hz)" title and the
// cursors' readouts; labels too long for those margins narrow the plot. As the drawing gets shorter
// the axis labels are thinned (every second, fourth or only the outer ones, the grid kept), then the
// readouts move to two lines each, then they and the frequency title give way to the plot, so that
// no two texts ever overlap; a drawing too small for any plot gets the background only.
//
// FRA: gain in red on the left ("GAIN (dB)", nine labels "%.1lf"), phase in blue on the right
// ("PHASE (°)", nine labels "%d" over the phase range code's 360 degrees). Without points the frame,
// titles and scales are drawn with no frequency grid.
// LCR: the view's two quantities, titled with their names and units, labelled "%.1E" when the axis
// spans less than 1 and "%0.1lf" otherwise; without points there are no scales.
void drawFraGraph(Canvas& canvas, const FraDisplay& display, const FraView& view, int width, int height);
void drawLcrGraph(Canvas& canvas, const LcrDisplay& display, const LcrView& view, int width, int height);

}  // namespace analysis
