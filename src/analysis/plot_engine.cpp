// The plot engine. Layout in pixels of a drawing w x h: the plot's left edge at x = 70, its top at
// y = 10, its right edge at w - 70 and its frequency axis at y = h - 150; below the axis the tick
// labels, the axis title, the legend, the diagnosis panel and the cursor readouts.
#include "analysis/plot_engine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "analysis/plot_format.h"
#include "common/string_printf.h"

namespace analysis {
namespace {

constexpr int kPlotLeft = 70;
constexpr int kPlotTop = 10;
constexpr int kMinimumPlotSize = 20;
constexpr int kMaxTicks = 1000;  // bounds every tick loop, whatever the range

// Gives a range of a single value a height: 10 % of the value each way, or 1 each way for 0.
void widenFlat(double& min, double& max) {
    double d = std::fabs(min) * 0.1;
    if (!(d > 0) || !std::isfinite(d)) d = 1;
    min -= d;
    max += d;
}

// The smallest and largest value of the points within the frequency range; false when there is none.
template <typename Value>
bool valueRange(std::span<const db::SweepRecord> sweeps, const AxisRanges& ranges, Value value, double& lo,
                double& hi) {
    lo = std::numeric_limits<double>::infinity();
    hi = -lo;
    const int count = loadedSweepCount(sweeps);
    for (int s = 0; s < count; ++s) {
        const int n = sweeps[s].pointCount();
        for (int i = 0; i < n; ++i) {
            const double f = pointFrequency(sweeps[s], i);
            if (!(f >= ranges.frequencyMin && f <= ranges.frequencyMax)) continue;
            const double v = value(sweeps[s], i);
            if (!std::isfinite(v)) continue;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    if (lo > hi) return false;
    if (hi - lo < 1e-10 * std::max(1.0, std::fabs(lo))) widenFlat(lo, hi);
    return true;
}

// An axis from a value range to pixels. A range without a height or not made of numbers, which
// would divide by zero, is drawn as a usable one.
struct ValueAxis {
    double min, max;
    int H;

    ValueAxis(double lo, double hi, int height) : min(lo), max(hi), H(height) {
        if (!std::isfinite(min) || !std::isfinite(max)) {
            min = -10;
            max = 10;
        }
        if (max == min) widenFlat(min, max);
    }
    double Y(double v) const { return (v - min) * H / (max - min); }
};

// The frequency axis: a frequency's distance from the plot's left edge. On a logarithmic axis a
// frequency of 0 or below has no place (the result is not a number).
struct FrequencyAxis {
    bool log;
    double fmin, fmax;
    int W;

    FrequencyAxis(bool logarithmic, double lo, double hi, int width) : log(logarithmic), fmin(lo), fmax(hi), W(width) {
        if (!std::isfinite(fmax - fmin)) {
            fmin = 1000;
            fmax = 10000;
        }
        if (log && fmin <= 0) fmin = 1;
        if (fmax <= fmin) fmax = fmin + 10;
    }
    // The decades between the ends; as a difference of logarithms where their ratio is too large for a
    // double.
    double decades() const {
        const double ratio = fmax / fmin;
        return std::isfinite(ratio) ? std::log10(ratio) : std::log10(fmax) - std::log10(fmin);
    }
    double X(double f) const {
        if (log) return f > 0 ? std::log10(f / fmin) * W / decades() : std::nan("");
        return (f - fmin) * W / (fmax - fmin);
    }
};

// Everything the drawing steps share.
struct Painter {
    Canvas& canvas;
    const GraphView& view;
    const GraphSettings& settings;
    int w, h, W, H, axis, legendOffset;
    int count;   // loaded sweeps
    int active;  // the active sweep, or -1 when there is none
    bool lcr;
    Colour background, text, frame;
    FrequencyAxis frequency;
    ValueAxis left, right;

    int x(double X) const { return kPlotLeft + static_cast<int>(std::lround(X)); }
    int y(double Y) const { return axis - static_cast<int>(std::lround(Y)); }
    Rect plot() const { return {kPlotLeft, kPlotTop, kPlotLeft + W + 1, axis + 1}; }

    Colour leftColour() const {
        if (active < 0) return text;
        const PlotSettings& p = settings.plots[active];
        return curveColour(p.leftColour, p.customLeftColour);
    }
    Colour rightColour() const {
        if (active < 0) return text;
        const PlotSettings& p = settings.plots[active];
        return curveColour(p.rightColour, p.customRightColour);
    }
    void write(const Rect& box, const std::string& s, unsigned flags, Colour colour, int weight = 400) {
        canvas.selectFont(interfaceFont(weight));
        canvas.setTextColour(colour);
        canvas.drawText(box, s, flags);
    }
};

// The legend and readout frame: filled, then framed at its edge and two pixels inside.
void drawBox(Painter& p, const Rect& r) {
    p.canvas.fillRect(r, p.background);
    p.canvas.frameRect(r, p.frame);
    p.canvas.frameRect(r.inflated(-2), p.frame);
}

void drawValueAxes(Painter& p, const Pen& minor) {
    const char* leftFormat = std::fabs(p.left.max) < 1 ? "%.1E" : "%.1f";
    const char* rightFormat = std::fabs(p.right.max) < 1 ? "%0.1E" : "%0.1f";
    const float rightStep = static_cast<float>((p.right.max - p.right.min) / 8);
    for (int i = 0; i <= 8; ++i) {
        const int y = p.axis - i * p.H / 8;
        if (i >= 1 && i <= 7) {
            p.canvas.selectPen(minor);
            p.canvas.line({kPlotLeft, y}, {kPlotLeft + p.W, y});
        }
        const double leftLabel = p.left.min + (p.left.max - p.left.min) * i / 8;
        const double rightLabel = p.right.min + static_cast<double>(rightStep) * i;
        p.write({10, y - 10, 60, y + 10}, common::stringPrintf(leftFormat, leftLabel),
                kTextRight | kTextVCenter | kTextSingleLine, p.text);
        p.write({p.W + 80, y - 10, p.W + 130, y + 10}, common::stringPrintf(rightFormat, rightLabel),
                kTextLeft | kTextVCenter | kTextSingleLine, p.text);
    }
}

void frequencyLabel(Painter& p, double X, const std::string& label) {
    const int x = p.x(X);
    p.write({x - 8, p.axis + 5, x + 45, p.axis + 25}, label, kTextLeft | kTextVCenter | kTextSingleLine, p.text);
}

void verticalLine(Painter& p, const Pen& pen, double X) {
    p.canvas.selectPen(pen);
    p.canvas.line({p.x(X), p.axis}, {p.x(X), kPlotTop});
}

std::string tickLabel(double tick, int decade) {
    return decade < 0 ? FormatEngineering(tick) : FormatFrequencyLabel(tick + 1e-10);
}

void drawLogFrequencyAxis(Painter& p, const Pen& minor, const Pen& major) {
    const double fmin = p.frequency.fmin, fmax = p.frequency.fmax;
    const int W = p.W;
    if (p.frequency.decades() >= 1) {
        int k = static_cast<int>(std::trunc(std::log10(fmin)));
        const bool exact = std::fabs(std::log10(fmin) - k) < 1e-10;
        double tick = fmin;
        for (int n = 0; n < kMaxTicks && tick <= fmax; ++n) {
            const double X = p.frequency.X(tick);
            if (X > 0 && X < W) verticalLine(p, minor, X);
            const int d = static_cast<int>(std::floor(std::log10(tick) + 1e-10));
            if (n == 0 && exact) {
                k = d;
                frequencyLabel(p, X, tickLabel(tick, k));
            } else if (d != k) {
                if (X > 0 && X <= W) verticalLine(p, major, X);
                k = d;
                frequencyLabel(p, X, tickLabel(tick, k));
            }
            tick += std::pow(10.0, k);
        }
        return;
    }
    // Less than a decade: the multiples of the power of ten below the minimum that lie inside.
    const int k = static_cast<int>(std::trunc(std::log10(fmin)));
    const float step = std::pow(10.0f, static_cast<float>(k));
    bool any = false;
    for (int j = 1; j <= 10; ++j) {
        const double tick = static_cast<double>(step) * j;
        if (!(tick > fmin && tick < fmax)) continue;
        const double X = p.frequency.X(tick);
        verticalLine(p, minor, X);
        frequencyLabel(p, X, tickLabel(tick, k));
        any = true;
    }
    if (!any) {
        frequencyLabel(p, 0, tickLabel(fmin, k));
        frequencyLabel(p, W, tickLabel(fmax, k));
    }
}

void drawLinearFrequencyAxis(Painter& p, const Pen& minor) {
    const double fmin = p.frequency.fmin, fmax = p.frequency.fmax, span = fmax - fmin;
    double step = std::pow(10.0, std::trunc(std::log10(span)));
    if (static_cast<long long>(span / step) < 4) step /= 6;
    // Ticks are counted from the minimum rather than summed, and the last may round a hair past the
    // maximum, so that the end of the range keeps its tick.
    const double last = fmax + span * 1e-9;
    for (int i = 0; i < kMaxTicks; ++i) {
        const double tick = fmin + step * i;
        if (tick > last) break;
        const double X = p.frequency.X(tick);
        if (X > 0 && X < p.W) verticalLine(p, minor, X);
        frequencyLabel(p, X, tick < 1 ? FormatEngineering(tick) : FormatFrequencyLabel(tick));
    }
}

std::string leftTitle(const Painter& p) {
    if (!p.lcr) return "GAIN (dB)";
    const Quantity& q = lcrQuantity(p.view.ranges.leftQuantity);
    return common::stringPrintf("%s (%s)", q.longName, q.unit);
}

std::string rightTitle(const Painter& p) {
    if (!p.lcr) return "PHASE (°)";
    const Quantity& q = lcrQuantity(p.view.ranges.rightQuantity);
    return common::stringPrintf("%s (%s)", q.longName, q.unit);
}

void drawTitles(Painter& p) {
    p.write({kPlotLeft, p.h - 130, kPlotLeft + p.W, p.h - 110}, "FREQUENCY (Hz)",
            kTextCenter | kTextVCenter | kTextSingleLine, p.text);
    p.canvas.setTextAlign(kAlignLeft | kAlignTop);
    // The left title reads top to bottom, the right one bottom to top, both centred on the plot.
    const std::string leftText = leftTitle(p), rightText = rightTitle(p);
    p.canvas.selectFont(interfaceFont(400, 2700));
    p.canvas.setTextColour(p.leftColour());
    int t = p.canvas.textExtent(leftText).cx;
    p.canvas.textOut({12, p.H / 2 - t / 2 + 10}, leftText);
    p.canvas.selectFont(interfaceFont(400, 900));
    p.canvas.setTextColour(p.rightColour());
    t = p.canvas.textExtent(rightText).cx;
    p.canvas.textOut({p.w - 12, p.H / 2 + t / 2 + 10}, rightText);
}

void drawLegend(Painter& p) {
    if (p.count == 0) return;
    const int c = p.W / 18, L = p.legendOffset, axis = p.axis;
    drawBox(p, Rect{kPlotLeft, axis + L - 18, kPlotLeft + 2 * p.count * c, axis + L + 15}.inflated(1));
    const char* leftShort = p.lcr ? lcrQuantity(p.view.ranges.leftQuantity).shortName : "GAIN";
    const char* rightShort = p.lcr ? lcrQuantity(p.view.ranges.rightQuantity).shortName : "PHASE";
    for (int i = 0; i < p.count; ++i) {
        const PlotSettings& plot = p.settings.plots[i];
        // Each name stands centred over the border of its sweep's two cells, clear of its neighbours'.
        const Rect nameBox{static_cast<int>((2 * i + 0.5) * c) + 77, axis + L - 40,
                           static_cast<int>((2 * i + 1.5) * c) + 77, axis + L + 24};
        p.write(nameBox, abbreviateName(p.view.sweeps[i].name, 8, 6),
                kTextCenter | kTextVCenter | kTextSingleLine | kTextNoClip, p.text);
        const int cell = kPlotLeft + 2 * i * c;
        const unsigned centred = kTextCenter | kTextVCenter | kTextSingleLine;
        if (plot.leftVisible)
            p.write({cell, axis + L - 15, cell + c, axis + L + 27}, leftShort, centred,
                    curveColour(plot.leftColour, plot.customLeftColour));
        if (plot.rightVisible)
            p.write({cell + c, axis + L - 15, cell + 2 * c, axis + L + 27}, rightShort, centred,
                    curveColour(plot.rightColour, plot.customRightColour));
    }
}

void drawCurve(Painter& p, const db::SweepRecord& sweep, bool leftAxis, const Pen& pen) {
    const int n = sweep.pointCount();
    std::vector<PlotPoint> points;
    points.reserve(n);
    for (int i = 0; i < n; ++i) {
        const double X = p.frequency.X(pointFrequency(sweep, i));
        const double Y = leftAxis ? p.left.Y(leftValue(sweep, i, p.view.ranges))
                                  : p.right.Y(rightValue(sweep, i, p.view.ranges));
        points.push_back({kPlotLeft + X, p.axis - Y});
    }
    p.canvas.selectPen(pen);
    for (const auto& line : clipCurve(points, kPlotLeft, kPlotTop, kPlotLeft + p.W, p.axis)) p.canvas.polyline(line);
}

void drawCurves(Painter& p) {
    for (int s = 0; s < p.count; ++s) {
        const PlotSettings& plot = p.settings.plots[s];
        if (plot.leftVisible)
            drawCurve(p, p.view.sweeps[s], true,
                      {curveColour(plot.leftColour, plot.customLeftColour), std::clamp(plot.leftWeight, 1, 3)});
        if (plot.rightVisible)
            drawCurve(p, p.view.sweeps[s], false,
                      {curveColour(plot.rightColour, plot.customRightColour), std::clamp(plot.rightWeight, 1, 3)});
    }
}

// The full scale of the difference strip: the largest difference rounded up to 1, 2, 3 or 5 times a
// power of ten, at least 1 dB.
double differenceScale(const std::vector<DifferencePoint>& points) {
    double largest = 1.0;
    for (const DifferencePoint& d : points)
        if (std::isfinite(d.difference)) largest = std::max(largest, std::fabs(d.difference));
    const double decade = std::pow(10.0, std::floor(std::log10(largest)));
    for (double step : {1.0, 2.0, 3.0, 5.0, 10.0})
        if (largest <= step * decade) return step * decade;
    return 10.0 * decade;
}

// The bands' edges as dotted lines across the plot with their names under its top, then the
// difference curve in the lowest quarter around its own zero line, with its scale in the corner.
void drawDifference(Painter& p) {
    const DifferenceCurve& d = p.view.difference;
    if (d.points.empty() && d.bands.empty()) return;
    const bool black = p.settings.background == kBackgroundBlack;
    const Colour colour = black ? rgb(0, 200, 200) : rgb(0, 120, 120);
    p.canvas.selectPen({p.frame, 1, PenStyle::Dot});
    for (const FrequencyBand& band : d.bands) {
        const double lowX = p.frequency.X(band.low), highX = p.frequency.X(band.high);
        for (double X : {lowX, highX})
            if (X > 0 && X < p.W) p.canvas.line({p.x(X), kPlotTop}, {p.x(X), p.axis});
        const double from = std::clamp(lowX, 0.0, static_cast<double>(p.W)),
                     to = std::clamp(highX, 0.0, static_cast<double>(p.W));
        if (to - from >= 24)
            p.write({p.x(from), kPlotTop + 2, p.x(to), kPlotTop + 18}, band.name,
                    kTextCenter | kTextVCenter | kTextSingleLine, p.text);
    }
    if (d.points.empty()) return;  // bands marked on an overlay without a comparison
    const int stripHeight = p.H / 4, zero = p.axis - stripHeight / 2;
    const double scale = differenceScale(d.points);
    p.canvas.selectPen({colour, 1, PenStyle::Dot});
    p.canvas.line({kPlotLeft, zero}, {kPlotLeft + p.W, zero});
    std::vector<PlotPoint> points;
    points.reserve(d.points.size());
    for (const DifferencePoint& point : d.points)
        points.push_back({kPlotLeft + p.frequency.X(point.frequency),
                          zero - std::clamp(point.difference / scale, -1.0, 1.0) * (stripHeight / 2.0)});
    p.canvas.selectPen({colour, 1, PenStyle::Solid});
    for (const auto& line : clipCurve(points, kPlotLeft, kPlotTop, kPlotLeft + p.W, p.axis)) p.canvas.polyline(line);
    p.write({kPlotLeft + 6, p.axis - stripHeight, kPlotLeft + 200, p.axis - stripHeight + 16},
            common::stringPrintf("Difference (dB) \xC2\xB1%g", scale), kTextLeft | kTextVCenter | kTextSingleLine,
            colour);
}

// One cursor: from one edge at the point's left value to the point, up or down to its right value
// and on to the other edge; the left cursor comes from the left edge, the right one from the right.
void drawCursor(Painter& p, const CursorPoint& point, Colour colour, bool fromRight) {
    const double X = p.frequency.X(point.frequency);
    const double Yl = p.left.Y(point.left), Yr = p.right.Y(point.right);
    if (!(X >= 0 && X <= p.W) || !std::isfinite(Yl) || !std::isfinite(Yr)) return;
    const int x = p.x(X);
    const int yl = p.y(std::clamp(Yl, 0.0, static_cast<double>(p.H)));
    const int yr = p.y(std::clamp(Yr, 0.0, static_cast<double>(p.H)));
    const int leftEdge = kPlotLeft, rightEdge = kPlotLeft + p.W;
    p.canvas.selectPen({colour, 1, PenStyle::Dash});
    p.canvas.selectBrush(Brush::none());
    p.canvas.line({fromRight ? rightEdge : leftEdge, yl}, {x, yl});
    p.canvas.line({x, yl}, {x, yr});
    p.canvas.line({x, yr}, {fromRight ? leftEdge : rightEdge, yr});
    if (Yl >= 0 && Yl <= p.H) p.canvas.ellipse({x - 3, yl - 3, x + 4, yl + 4});
    if (Yr >= 0 && Yr <= p.H) p.canvas.ellipse({x - 3, yr - 3, x + 4, yr + 4});
}

const CursorPoint* cursorPoint(const Cursors& cursors, int index) {
    if (cursors.points.empty()) return nullptr;
    return &cursors.points[std::clamp(index, 0, static_cast<int>(cursors.points.size()) - 1)];
}

void drawCursors(Painter& p) {
    if (p.active < 0) return;
    const PlotSettings& plot = p.settings.plots[p.active];
    if (p.settings.leftCursorVisible)
        if (const CursorPoint* point = cursorPoint(p.view.cursors, p.view.cursors.leftIndex))
            drawCursor(p, *point, marginColour(plot.gainMarginColour, plot.customGainMarginColour), false);
    if (p.settings.rightCursorVisible)
        if (const CursorPoint* point = cursorPoint(p.view.cursors, p.view.cursors.rightIndex))
            drawCursor(p, *point, marginColour(plot.phaseMarginColour, plot.customPhaseMarginColour), true);
}

void drawReadouts(Painter& p) {
    const int top = p.axis + 115, bottom = p.axis + 145, third = p.W / 3;
    const Rect leftBox{kPlotLeft, top, kPlotLeft + third, bottom};
    const Rect rightBox{kPlotLeft + p.W - third, top, kPlotLeft + p.W, bottom};
    drawBox(p, leftBox.inflated(1));
    drawBox(p, rightBox.inflated(1));
    if (p.active < 0) return;
    const db::SweepRecord& sweep = p.view.sweeps[p.active];
    const bool lcr = sweep.dataType == db::kDataLcr;
    const Quantity& lq = lcrQuantity(p.view.ranges.leftQuantity);
    const Quantity& rq = lcrQuantity(p.view.ranges.rightQuantity);
    const char* leftName = lcr ? lq.shortName : "Gain";
    const char* leftUnit = lcr ? lq.unit : "dB";
    const char* rightName = lcr ? rq.shortName : "Phase";
    const char* rightUnit = lcr ? rq.unit : "°";
    // The text keeps clear of the double frame.
    auto inside = [](const Rect& r) { return Rect{r.left + 4, r.top, r.right - 4, r.bottom}; };
    if (const CursorPoint* c = cursorPoint(p.view.cursors, p.view.cursors.leftIndex))
        p.write(inside(leftBox),
                common::stringPrintf("  Frequency: %0.4fHz \n%s: %0.4f%s \t%s: %0.4f%s", c->frequency, leftName,
                                     c->left, leftUnit, rightName, c->right, rightUnit),
                kTextLeft | kTextExpandTabs, p.leftColour(), 700);
    if (const CursorPoint* c = cursorPoint(p.view.cursors, p.view.cursors.rightIndex))
        p.write(inside(rightBox),
                common::stringPrintf("  Frequency: %0.4f \n%s: %0.4f%s \t%s: %0.4f%s", c->frequency, leftName, c->left,
                                     leftUnit, rightName, c->right, rightUnit),
                kTextLeft | kTextExpandTabs, p.rightColour(), 700);
}

// Cohen-Sutherland: cuts the segment a-b to the box; false when nothing of it is inside.
bool clipSegment(PlotPoint& a, PlotPoint& b, double left, double top, double right, double bottom) {
    enum { kLeft = 1, kRight = 2, kTop = 4, kBottom = 8 };
    auto code = [&](const PlotPoint& q) {
        return (q.x < left ? kLeft : q.x > right ? kRight : 0) | (q.y < top ? kTop : q.y > bottom ? kBottom : 0);
    };
    for (int round = 0; round < 8; ++round) {
        const int ca = code(a), cb = code(b);
        if ((ca | cb) == 0) return true;
        if (ca & cb) return false;
        const int out = ca ? ca : cb;
        PlotPoint& moved = ca ? a : b;
        if (out & kLeft) moved = ClipAtX(a, b, left);
        else if (out & kRight) moved = ClipAtX(a, b, right);
        else if (out & kTop) moved = ClipAtY(a, b, top);
        else moved = ClipAtY(a, b, bottom);
        if (!std::isfinite(moved.x) || !std::isfinite(moved.y)) return false;
    }
    // Rounding can leave a crossing a hair outside; it belongs on the edge.
    for (PlotPoint* q : {&a, &b}) {
        q->x = std::clamp(q->x, left, right);
        q->y = std::clamp(q->y, top, bottom);
    }
    return true;
}

// The frequency axis of a drawing height pixels high, and the diagnosis panel's top under the legend.
int axisOf(int height) { return height - 150; }
int diagnosisPanelTop(int height, int legendOffset) { return axisOf(height) + legendOffset + 20; }

}  // namespace

double lcrQuantityValue(const db::LcrPoint& p, int quantity) {
    switch (quantity) {
    case 2: return p.admittancePhase;
    case 3: return p.impedance;
    case 4: return p.impedancePhase;
    case 5: return p.inductance;
    case 6: return p.capacitance;
    case 7: return p.resistance;
    default: return p.admittance;
    }
}

int loadedSweepCount(std::span<const db::SweepRecord> sweeps) {
    int n = 0;
    while (n < static_cast<int>(sweeps.size()) && n < kMaxSweeps && !sweeps[n].name.empty()) ++n;
    return n;
}

bool isLcrGraph(std::span<const db::SweepRecord> sweeps) {
    return !sweeps.empty() && sweeps[0].dataType == db::kDataLcr;
}

double pointFrequency(const db::SweepRecord& sweep, int i) {
    switch (sweep.dataType) {
    case db::kDataBasicFra: return sweep.basicPoints[i].frequency;
    case db::kDataFra: return sweep.fraPoints[i].frequency;
    default: return sweep.lcrPoints[i].frequency;
    }
}

double leftValue(const db::SweepRecord& sweep, int i, const AxisRanges& ranges) {
    switch (sweep.dataType) {
    case db::kDataBasicFra: return sweep.basicPoints[i].amplitude;
    case db::kDataFra: return sweep.fraPoints[i].amplitude;
    default: return lcrQuantityValue(sweep.lcrPoints[i], ranges.leftQuantity);
    }
}

double rightValue(const db::SweepRecord& sweep, int i, const AxisRanges& ranges) {
    switch (sweep.dataType) {
    case db::kDataBasicFra: return sweep.basicPoints[i].phase;
    case db::kDataFra: return sweep.fraPoints[i].phase;
    default: return lcrQuantityValue(sweep.lcrPoints[i], ranges.rightQuantity);
    }
}

void AutoscaleFrequency(AxisRanges& ranges, std::span<const db::SweepRecord> sweeps) {
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    const int count = loadedSweepCount(sweeps);
    for (int s = 0; s < count; ++s) {
        const int n = sweeps[s].pointCount();
        for (int i = 0; i < n; ++i) {
            const double f = pointFrequency(sweeps[s], i);
            if (!std::isfinite(f) || f < 0) continue;
            lo = std::min(lo, f);
            hi = std::max(hi, f);
        }
    }
    if (lo > hi) return;
    if (hi - lo < 1e-10) hi += 10;
    // 0 Hz has no place on a logarithmic axis.
    if (lo == 0) lo = hi > 1 ? 1 : hi / 10;
    ranges.frequencyMin = lo;
    ranges.frequencyMax = hi;
}

void AutoscaleLeftAxis(AxisRanges& ranges, std::span<const db::SweepRecord> sweeps) {
    double lo, hi;
    if (!valueRange(sweeps, ranges, [&ranges](const db::SweepRecord& s, int i) { return leftValue(s, i, ranges); }, lo,
                    hi))
        return;
    ranges.leftMin = lo;
    ranges.leftMax = hi;
}

void AutoscaleRightAxis(AxisRanges& ranges, std::span<const db::SweepRecord> sweeps) {
    if (!isLcrGraph(sweeps)) {
        ranges.rightMin = -180;
        ranges.rightMax = 180;
        return;
    }
    double lo, hi;
    if (!valueRange(sweeps, ranges, [&ranges](const db::SweepRecord& s, int i) { return rightValue(s, i, ranges); },
                    lo, hi))
        return;
    ranges.rightMin = lo;
    ranges.rightMax = hi;
}

void CentreGainOnZero(AxisRanges& ranges) {
    const double m = std::max(std::fabs(ranges.leftMin), std::fabs(ranges.leftMax));
    if (!(m > 0) || !std::isfinite(m)) return;
    ranges.leftMin = -m;
    ranges.leftMax = m;
}

Cursors buildCursors(const db::SweepRecord& sweep, const AxisRanges& ranges) {
    Cursors c;
    const int n = sweep.pointCount();
    c.points.reserve(n);
    for (int i = 0; i < n; ++i)
        c.points.push_back({pointFrequency(sweep, i), leftValue(sweep, i, ranges), rightValue(sweep, i, ranges)});
    const auto inside = [&](const CursorPoint& p) {
        return p.frequency >= ranges.frequencyMin && p.frequency <= ranges.frequencyMax;
    };
    const auto first = std::find_if(c.points.begin(), c.points.end(), inside);
    const auto last = std::find_if(c.points.rbegin(), c.points.rend(), inside);
    c.leftIndex = first != c.points.end() ? static_cast<int>(first - c.points.begin()) : 0;
    c.rightIndex = last != c.points.rend() ? static_cast<int>(c.points.rend() - last) - 1 : std::max(n - 1, 0);
    return c;
}

DifferenceCurve diagnosisDifference(const db::SweepRecord& fingerprint, const db::SweepRecord& diagnosed) {
    return {differenceCurve(resampleAtFingerprint(fingerprint, diagnosed)), dlt911Bands()};
}

void DrawGraph(Canvas& canvas, const GraphView& view, int width, int height, int legendOffset) {
    const GraphSettings& s = view.settings;
    canvas.clearClip();  // a clip left from an earlier drawing on the same surface must not hide this one
    canvas.fillRect({0, 0, width, height}, backgroundColour(s));
    const int W = width - 140, H = height - 160;
    if (W < kMinimumPlotSize || H < kMinimumPlotSize) return;

    const int count = loadedSweepCount(view.sweeps);
    const int active = count > 0 ? std::clamp(view.activeSweep, 0, count - 1) : -1;
    Painter p{canvas,
              view,
              s,
              width,
              height,
              W,
              H,
              axisOf(height),
              legendOffset,
              count,
              active,
              isLcrGraph(view.sweeps),
              backgroundColour(s),
              textColour(s),
              frameColour(s),
              FrequencyAxis(s.logFrequency, view.ranges.frequencyMin, view.ranges.frequencyMax, W),
              ValueAxis(view.ranges.leftMin, view.ranges.leftMax, H),
              ValueAxis(view.ranges.rightMin, view.ranges.rightMax, H)};

    DrawBevelFrame(canvas, p.plot(), 4, p.background);

    const bool black = s.background == kBackgroundBlack;
    const Colour dim = rgb(85, 85, 85), bright = rgb(169, 169, 169);
    const Pen minor{black ? dim : bright, 1, s.logFrequency ? PenStyle::Solid : PenStyle::Dot};
    const Pen major{black ? bright : dim, 1, PenStyle::Solid};
    drawValueAxes(p, minor);
    if (s.logFrequency) drawLogFrequencyAxis(p, minor, major);
    else drawLinearFrequencyAxis(p, minor);
    drawTitles(p);
    drawLegend(p);

    canvas.setClipRect(p.plot());
    drawDifference(p);
    drawCurves(p);
    drawCursors(p);
    canvas.clearClip();
    if (view.plotOnly) return;
    drawReadouts(p);
    DrawDiagnosisPanel(canvas, view.diagnosis, s, kPlotLeft, diagnosisPanelTop(height, legendOffset), W);
}

Rect diagnosisNamesPlace(int width, int height, int legendOffset) {
    return diagnosisNamesCell(kPlotLeft, diagnosisPanelTop(height, legendOffset), width - 140);
}

PlotPoint ClipAtX(PlotPoint a, PlotPoint b, double x) {
    if (b.x == a.x) return {x, a.y};
    return {x, a.y + (b.y - a.y) * ((x - a.x) / (b.x - a.x))};
}

PlotPoint ClipAtY(PlotPoint a, PlotPoint b, double y) {
    if (b.y == a.y) return {a.x, y};
    return {a.x + (b.x - a.x) * ((y - a.y) / (b.y - a.y)), y};
}

std::vector<std::vector<Point>> clipCurve(const std::vector<PlotPoint>& points, double left, double top, double right,
                                          double bottom) {
    std::vector<std::vector<Point>> lines;
    std::vector<Point> current;
    auto flush = [&] {
        if (current.size() >= 2) lines.push_back(current);
        current.clear();
    };
    auto pixel = [](const PlotPoint& q) {
        return Point{static_cast<int>(std::lround(q.x)), static_cast<int>(std::lround(q.y))};
    };
    auto finite = [](const PlotPoint& q) { return std::isfinite(q.x) && std::isfinite(q.y); };
    for (std::size_t i = 1; i < points.size(); ++i) {
        PlotPoint a = points[i - 1], b = points[i];
        if (!finite(a) || !finite(b) || !clipSegment(a, b, left, top, right, bottom)) {
            flush();
            continue;
        }
        const bool startCut = a.x != points[i - 1].x || a.y != points[i - 1].y;
        const bool endCut = b.x != points[i].x || b.y != points[i].y;
        // A segment continues the polyline only where the previous one ended uncut at its start.
        if (current.empty() || startCut) {
            flush();
            current.push_back(pixel(a));
        }
        const Point end = pixel(b);
        if (!(end == current.back())) current.push_back(end);
        if (endCut) flush();
    }
    flush();
    return lines;
}

void DrawBevelFrame(Canvas& canvas, const Rect& r, int outset, Colour fill) {
    const Rect inside = r.inflated(outset);
    canvas.fillRect(inside, fill);
    static const Colour kBevel[] = {kStockGrey, kStockLightGrey, kStockLightGrey, kStockGrey, kStockDarkGrey};
    for (int k = 0; k < 5; ++k) canvas.frameRect(inside.inflated(5 - k), kBevel[k]);
}

void DrawSquareMarker(Canvas& canvas, int x, int y, int size) {
    const int half = size / 2;
    const int left = x - half - 1, top = y - half - 1, right = x + half, bottom = y + half;
    canvas.polyline({{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}});
}

void DrawDiamondMarker(Canvas& canvas, int x, int y, int size) {
    const int half = size / 2;
    canvas.polyline({{x, y - half}, {x + half, y}, {x, y + half}, {x - half, y}, {x, y - half}});
}

std::string abbreviateName(const std::string& name, std::size_t maxLength, std::size_t tailLength) {
    // Counted in characters, not bytes, so that a UTF-8 character is never split.
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < name.size(); ++i)
        if ((static_cast<unsigned char>(name[i]) & 0xC0) != 0x80) starts.push_back(i);
    if (starts.size() <= maxLength || starts.size() < tailLength + 2) return name;
    return name.substr(0, starts[1]) + "." + name.substr(starts[starts.size() - tailLength]);
}

}  // namespace analysis
