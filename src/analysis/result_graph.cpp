// The results windows' graph. Both windows describe their sweep as one Graph (two value axes, points,
// cursors and readout lines); one layout and one drawing serve both. Every text is drawn in a box of
// its own extent, so that the layout can keep the boxes apart.
#include "analysis/result_graph.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "analysis/plot_engine.h"
#include "analysis/plot_format.h"
#include "common/string_printf.h"

namespace analysis {
namespace {

constexpr int kPlotTop = 10;
constexpr int kFullBand = 80;         // below the plot with four readout lines a side
constexpr int kTitleEdge = 20;        // the vertical titles' inner edge, from the drawing's sides
constexpr int kLabelGap = 10;         // value labels to the plot
constexpr int kFrequencyLabelGap = 4; // frequency labels below the axis
constexpr int kFrequencyLabelReach = 8;  // how far a frequency label may stand out past the plot's ends
constexpr int kReadoutPitch = 14;
constexpr int kTextGap = 6;           // the least room between two texts side by side
constexpr int kCursorRadius = 8;
constexpr int kMinimumPlotWidth = 40;

constexpr Colour kRed = rgb(255, 0, 0);
constexpr Colour kBlue = rgb(0, 0, 255);
constexpr Colour kLightRed = rgb(255, 128, 128);
constexpr Colour kLightBlue = rgb(128, 160, 255);
constexpr Colour kDarkGrid = rgb(0x55, 0x55, 0x55);
constexpr Colour kLightGrid = rgb(0xA9, 0xA9, 0xA9);

const char* const kFrequencyTitle = "FREQUENCY (Hz)";

// One value axis: its title, the colour of title, labels and curve, and its nine labels from bottom
// to top (none: the axis has no scale yet).
struct Scale {
    std::string title;
    Colour colour;
    ValueLimits limits;
    std::vector<std::string> labels;
};

struct GraphPoint {
    double frequency, left, right;
};

// Everything one drawing shows, whichever window it is for.
struct Graph {
    int leftMargin, rightMargin;
    bool log, black;
    FrequencyLimits frequency;
    Scale left, right;
    std::vector<GraphPoint> points;
    int cursors[2];
    std::vector<std::string> readouts[2];  // each cursor's lines; empty without points
    int readoutLines;                      // how many lines a readout has, with or without points
    std::vector<std::string> readoutSamples;  // lines as wide as readouts commonly get
};

// Where everything goes. plot.right and plot.bottom are the plot's right edge and its frequency axis.
struct Layout {
    Rect plot;
    int labelHeight = 0;
    int rows = 0;     // readout lines a side; 0: no readouts
    int columns = 0;  // 1, or 2 when each readout is folded onto half as many lines
    int columnWidth = 0;
    int pitch = kReadoutPitch;
    bool title = false;  // "FREQUENCY (Hz)"
    int bandTop = 0;     // the readouts' and the title's band
    int bandBottom = 0;

    int W() const { return plot.right - plot.left; }
    int H() const { return plot.bottom - plot.top; }
    int blockWidth() const { return columns * columnWidth + (columns - 1) * kTextGap * 2; }
};

Font labelFont() { return interfaceFont(); }
Font readoutFont() { return interfaceFont(700); }
Font titleFont(int escapement) { return interfaceFont(escapement ? 600 : 700, escapement); }

bool overlap(const Rect& a, const Rect& b, int gap) {
    return a.left < b.right + gap && b.left < a.right + gap && a.top < b.bottom + gap && b.top < a.bottom + gap;
}

// The first of the strides at which every drawn box (0, s, 2s, ...) keeps clear of the next drawn
// one; 0 when none does.
int labelStride(const std::vector<Rect>& boxes, const std::vector<int>& strides, int gap) {
    for (int s : strides) {
        bool clear = true;
        for (std::size_t i = 0; i + s < boxes.size() && clear; i += s) clear = !overlap(boxes[i], boxes[i + s], gap);
        if (clear) return s;
    }
    return 0;
}

Rect boxAt(Canvas& canvas, const std::string& text, int left, int top) {
    const Size e = canvas.textExtent(text);
    return {left, top, left + e.cx, top + e.cy};
}

void write(Canvas& canvas, const Rect& box, const std::string& text, Colour colour) {
    canvas.setTextColour(colour);
    canvas.drawText(box, text, kTextLeft | kTextSingleLine | kTextNoClip);
}

int widest(Canvas& canvas, const std::vector<std::string>& texts) {
    int w = 0;
    for (const auto& t : texts) w = std::max(w, canvas.textExtent(t).cx);
    return w;
}

ValueLimits usable(ValueLimits v) {
    if (!std::isfinite(v.bottom) || !std::isfinite(v.top)) return {-1, 1};
    if (v.top < v.bottom) std::swap(v.top, v.bottom);
    if (v.top == v.bottom) return {v.bottom - 1, v.top + 1};
    return v;
}

// Frequencies to pixels from the plot's left edge; on a logarithmic axis a frequency of 0 or below
// has no place (the result is not a number).
struct FrequencyScale {
    bool log;
    double fmin, fmax;
    int W;

    FrequencyScale(bool logarithmic, FrequencyLimits limits, int width)
        : log(logarithmic), fmin(limits.min), fmax(limits.max), W(width) {
        if (fmin < 1) fmin = 1;
        if (fmax <= fmin) fmax = fmin + 10;
    }
    double X(double f) const {
        if (log) return f > 0 ? std::log10(f / fmin) * W / std::log10(fmax / fmin) : std::nan("");
        return (f - fmin) * W / (fmax - fmin);
    }
};

struct FrequencyGrid {
    std::vector<std::pair<double, bool>> lines;  // frequency, and whether it is a decade line
    std::vector<double> labels;
};

// Logarithmic: a line at every multiple of each decade's power of ten, the decades labelled; with
// fewer than two decades inside, every line is labelled, and with fewer than two lines the two ends.
FrequencyGrid logGrid(double fmin, double fmax) {
    FrequencyGrid grid;
    const int first = static_cast<int>(std::floor(std::log10(fmin)));
    const int last = static_cast<int>(std::ceil(std::log10(fmax)));
    for (int d = first; d <= last; ++d) {
        const double power = std::pow(10.0, d);
        for (int m = 1; m <= 9; ++m) {
            const double f = m * power;
            if (f < fmin * (1 - 1e-12) || f > fmax * (1 + 1e-12)) continue;
            grid.lines.emplace_back(f, m == 1);
            if (m == 1) grid.labels.push_back(f);
        }
    }
    if (grid.labels.size() < 2) {
        grid.labels.clear();
        for (const auto& line : grid.lines) grid.labels.push_back(line.first);
    }
    if (grid.labels.size() < 2) grid.labels = {fmin, fmax};
    return grid;
}

// Linear: lines and labels at the multiples of the power of ten below the span, a quarter of it when
// the span holds fewer than four; whole multiples keep the labels short.
FrequencyGrid linearGrid(double fmin, double fmax) {
    FrequencyGrid grid;
    const double span = fmax - fmin;
    double step = std::pow(10.0, std::floor(std::log10(span)));
    if (std::floor(span / step) < 4) step /= 4;
    const long long first = static_cast<long long>(std::ceil(fmin / step - 1e-9));
    const long long last = static_cast<long long>(std::floor(fmax / step + 1e-9));
    for (long long k = first; k <= last; ++k) {
        grid.lines.emplace_back(k * step, false);
        grid.labels.push_back(k * step);
    }
    return grid;
}

std::string frequencyLabel(double f) {
    if (f == std::trunc(f)) return FormatFrequencyLabel(f);
    std::string text = FormatEngineering(f);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// The plot's margins, and below it the richest band that leaves the plot room: four (or three)
// readout lines a side, the same folded onto two lines, the title alone, or the labels alone. False
// when not even a bare plot fits.
bool layOut(Canvas& canvas, const Graph& g, int w, int h, Layout& out) {
    canvas.selectFont(labelFont());
    const int lh = canvas.textExtent("0").cy;
    const int left = std::max(g.leftMargin, kTitleEdge + widest(canvas, g.left.labels) + kLabelGap);
    const int right = w - std::max(g.rightMargin, kTitleEdge + widest(canvas, g.right.labels) + kLabelGap);
    if (right - left < kMinimumPlotWidth) return false;

    canvas.selectFont(titleFont(0));
    const int titleWidth = canvas.textExtent(kFrequencyTitle).cx;
    canvas.selectFont(readoutFont());
    int columnWidth = widest(canvas, g.readoutSamples);
    for (const auto& lines : g.readouts) columnWidth = std::max(columnWidth, widest(canvas, lines));
    const int pitch = std::max(kReadoutPitch, canvas.textExtent("0").cy);

    const int labelBand = kFrequencyLabelGap + lh + 2;
    struct Band {
        int rows, columns;
        bool title;
    };
    const int folded = (g.readoutLines + 1) / 2;
    const Band bands[] = {{g.readoutLines, 1, true}, {folded, 2, true}, {0, 0, true}, {0, 0, false}};
    for (const Band& band : bands) {
        Layout l;
        l.labelHeight = lh;
        l.rows = band.rows;
        l.columns = band.columns;
        l.columnWidth = columnWidth;
        l.pitch = pitch;
        int height = labelBand;
        if (band.rows > 0) height += band.rows * pitch + 2;
        else if (band.title) height += lh + 2;
        if (band.columns == 1) height = std::max(height, kFullBand);
        l.plot = {left, kPlotTop, right, h - height};
        l.bandTop = l.plot.bottom + labelBand;
        l.bandBottom = h;
        // Readouts want a plot worth reading them from, the full ones more than the folded ones; a
        // bare plot needs its outer labels apart.
        const int wanted = band.rows == 0 ? 2 * lh : band.columns == 1 ? 4 * lh : 3 * lh;
        if (l.H() < wanted) continue;
        if (band.rows > 0 && 2 * l.blockWidth() + 2 * kTextGap > l.W()) continue;
        if (band.rows == 0 && band.title && titleWidth > l.W()) continue;
        // Between the readouts the title needs room of its own; without it the readouts stay.
        l.title = band.title && (band.rows == 0 || 2 * l.blockWidth() + titleWidth + 4 * kTextGap <= l.W());
        out = l;
        return true;
    }
    return false;
}

int levelY(const Layout& l, int k) { return l.plot.bottom - k * l.H() / 8; }

void drawValueLabels(Canvas& canvas, const Layout& l, const Scale& scale, bool leftSide) {
    if (scale.labels.empty()) return;
    canvas.selectFont(labelFont());
    std::vector<Rect> boxes;
    for (int k = 0; k < static_cast<int>(scale.labels.size()); ++k) {
        const int width = canvas.textExtent(scale.labels[k]).cx;
        const int x = leftSide ? l.plot.left - kLabelGap - width : l.plot.right + kLabelGap;
        boxes.push_back(boxAt(canvas, scale.labels[k], x, levelY(l, k) - l.labelHeight / 2));
    }
    const int stride = labelStride(boxes, {1, 2, 4, 8}, 1);
    if (stride == 0) return;
    for (std::size_t k = 0; k < boxes.size(); k += stride) write(canvas, boxes[k], scale.labels[k], scale.colour);
}

void drawFrequencyAxis(Canvas& canvas, const Layout& l, const Graph& g, const FrequencyScale& scale, Colour text) {
    const bool black = g.black;
    const Pen plain{black ? kDarkGrid : kLightGrid, 1, g.log ? PenStyle::Solid : PenStyle::Dot};
    const Pen decade{black ? kLightGrid : kDarkGrid, 1, PenStyle::Solid};
    const FrequencyGrid grid = g.log ? logGrid(scale.fmin, scale.fmax) : linearGrid(scale.fmin, scale.fmax);
    for (const auto& [f, major] : grid.lines) {
        const double X = scale.X(f);
        if (!(X > 0.5 && X < l.W() - 0.5)) continue;
        const int x = l.plot.left + static_cast<int>(std::lround(X));
        canvas.selectPen(major ? decade : plain);
        canvas.line({x, l.plot.bottom}, {x, l.plot.top});
    }
    canvas.selectFont(labelFont());
    std::vector<Rect> boxes;
    std::vector<std::string> texts;
    for (double f : grid.labels) {
        const std::string label = frequencyLabel(f);
        const int width = canvas.textExtent(label).cx;
        const int centre = l.plot.left + static_cast<int>(std::lround(scale.X(f)));
        const int x = std::clamp(centre - width / 2, l.plot.left - kFrequencyLabelReach,
                                 l.plot.right + kFrequencyLabelReach - width);
        boxes.push_back(boxAt(canvas, label, x, l.plot.bottom + kFrequencyLabelGap));
        texts.push_back(label);
    }
    std::vector<int> strides;
    for (int s = 1; s <= static_cast<int>(boxes.size()); ++s) strides.push_back(s);
    const int stride = labelStride(boxes, strides, kTextGap);
    if (stride == 0) return;
    for (std::size_t i = 0; i < boxes.size(); i += stride) write(canvas, boxes[i], texts[i], text);
}

// A title written vertically beside the plot, centred on it where the drawing allows; left out when
// it is longer than the drawing is high.
void drawSideTitle(Canvas& canvas, const Layout& l, const Scale& scale, int x, int escapement, int h) {
    canvas.selectFont(titleFont(escapement));
    const int length = canvas.textExtent(scale.title).cx;
    if (length > h - 4) return;
    const int centre = std::clamp((l.plot.top + l.plot.bottom) / 2, 2 + length / 2, h - 2 - (length + 1) / 2);
    canvas.setTextColour(scale.colour);
    canvas.setTextAlign(kAlignCenter | kAlignBottom);
    canvas.textOut({x, centre}, scale.title);
    canvas.setTextAlign(kAlignLeft | kAlignTop);
}

struct ValueScale {
    ValueLimits v;
    int H;
    double Y(double value) const { return (value - v.bottom) * H / (v.top - v.bottom); }
};

void drawCurve(Canvas& canvas, const Layout& l, const std::vector<PlotPoint>& points, Colour colour) {
    canvas.selectPen({colour, 1, PenStyle::Solid});
    for (const auto& line : clipCurve(points, l.plot.left, l.plot.top, l.plot.right, l.plot.bottom))
        canvas.polyline(line);
}

// A cursor: circles on the two curves, a dotted line from the left curve's circle to the left axis and
// from the right curve's to the right edge, and a line from the upper circle down to the axis.
void drawCursor(Canvas& canvas, const Layout& l, const GraphPoint& p, const FrequencyScale& fs,
                const ValueScale& left, const ValueScale& right, Colour colour) {
    const double X = fs.X(p.frequency);
    if (!(X >= 0 && X <= l.W())) return;
    const int x = l.plot.left + static_cast<int>(std::lround(X));
    const double H = l.H();
    auto y = [&](double Y) { return l.plot.bottom - static_cast<int>(std::lround(std::clamp(Y, 0.0, H))); };
    const double Yl = left.Y(p.left), Yr = right.Y(p.right);
    const bool hasLeft = std::isfinite(Yl), hasRight = std::isfinite(Yr);
    canvas.selectBrush(Brush::none());
    int top = l.plot.bottom;
    if (hasLeft) {
        const int yl = y(Yl);
        top = std::min(top, yl);
        canvas.selectPen({colour, 1, PenStyle::Dot});
        if (x - kCursorRadius > l.plot.left) canvas.line({l.plot.left, yl}, {x - kCursorRadius, yl});
        canvas.selectPen({colour, 1, PenStyle::Solid});
        canvas.ellipse({x - kCursorRadius, yl - kCursorRadius, x + kCursorRadius, yl + kCursorRadius});
    }
    if (hasRight) {
        const int yr = y(Yr);
        top = std::min(top, yr);
        canvas.selectPen({colour, 1, PenStyle::Dot});
        if (x + kCursorRadius < l.plot.right) canvas.line({x + kCursorRadius, yr}, {l.plot.right, yr});
        canvas.selectPen({colour, 1, PenStyle::Solid});
        canvas.ellipse({x - kCursorRadius, yr - kCursorRadius, x + kCursorRadius, yr + kCursorRadius});
    }
    canvas.selectPen({colour, 1, PenStyle::Solid});
    canvas.line({x, top}, {x, l.plot.bottom});
}

// The readouts: cursor 1's at the bottom left, cursor 2's at the bottom right, each a column of lines
// or, folded, two columns; the title between them when it has room.
void drawBand(Canvas& canvas, const Layout& l, const Graph& g, Colour text, const Colour cursorColours[2]) {
    const int blockHeight = l.rows * l.pitch;
    const int top = l.bandTop + std::max(0, (l.bandBottom - l.bandTop - blockHeight) / 2);
    if (l.rows > 0) {
        canvas.selectFont(readoutFont());
        const int lefts[2] = {l.plot.left, l.plot.right - l.blockWidth()};
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < static_cast<int>(g.readouts[c].size()); ++i) {
                const int column = i / l.rows, row = i % l.rows;
                const int x = lefts[c] + column * (l.columnWidth + 2 * kTextGap);
                write(canvas, boxAt(canvas, g.readouts[c][i], x, top + row * l.pitch), g.readouts[c][i],
                      cursorColours[c]);
            }
    }
    if (!l.title) return;
    canvas.selectFont(titleFont(0));
    const Size e = canvas.textExtent(kFrequencyTitle);
    const int middle = l.rows > 0 ? top + blockHeight / 2 : (l.bandTop + l.bandBottom) / 2;
    write(canvas, boxAt(canvas, kFrequencyTitle, (l.plot.left + l.plot.right - e.cx) / 2, middle - e.cy / 2),
          kFrequencyTitle, text);
}

void drawGraph(Canvas& canvas, const Graph& g, int w, int h) {
    canvas.clearClip();  // a clip left from an earlier drawing on the same surface must not hide this one
    const Colour background = g.black ? kBlack : kWhite;
    canvas.fillRect({0, 0, w, h}, background);
    canvas.setTextAlign(kAlignLeft | kAlignTop);  // DrawText wants it so
    Layout l;
    if (!layOut(canvas, g, w, h, l)) return;
    const Colour text = g.black ? kWhite : kBlack;
    const FrequencyScale fs(g.log, g.frequency, l.W());
    const ValueScale left{usable(g.left.limits), l.H()}, right{usable(g.right.limits), l.H()};

    canvas.selectPen({g.black ? kDarkGrid : kLightGrid, 1, g.log ? PenStyle::Solid : PenStyle::Dot});
    for (int k = 1; k <= 7; ++k) canvas.line({l.plot.left, levelY(l, k)}, {l.plot.right, levelY(l, k)});
    // Before any sweep there are no frequencies to mark.
    if (!g.points.empty()) drawFrequencyAxis(canvas, l, g, fs, text);
    canvas.selectPen({g.black ? kLightGrid : kDarkGrid, 1, PenStyle::Solid});
    canvas.selectBrush(Brush::none());
    canvas.rectangle({l.plot.left, l.plot.top, l.plot.right + 1, l.plot.bottom + 1});

    drawValueLabels(canvas, l, g.left, true);
    drawValueLabels(canvas, l, g.right, false);
    drawSideTitle(canvas, l, g.left, kTitleEdge, 900, h);
    drawSideTitle(canvas, l, g.right, w - kTitleEdge, 2700, h);

    canvas.setClipRect({l.plot.left, l.plot.top, l.plot.right + 1, l.plot.bottom + 1});
    std::vector<PlotPoint> leftCurve, rightCurve;
    for (const GraphPoint& p : g.points) {
        const double x = l.plot.left + fs.X(p.frequency);
        leftCurve.push_back({x, l.plot.bottom - left.Y(p.left)});
        rightCurve.push_back({x, l.plot.bottom - right.Y(p.right)});
    }
    drawCurve(canvas, l, leftCurve, g.left.colour);
    drawCurve(canvas, l, rightCurve, g.right.colour);
    const Colour cursorColours[2] = {g.black ? kLightRed : kRed, g.black ? kLightBlue : kBlue};
    if (!g.points.empty())
        for (int c = 0; c < 2; ++c)
            drawCursor(canvas, l, g.points[clampCursor(g.cursors[c], static_cast<int>(g.points.size()))], fs, left,
                       right, cursorColours[c]);
    canvas.clearClip();
    drawBand(canvas, l, g, text, cursorColours);
}

std::vector<std::string> nineLabels(ValueLimits v, const char* format) {
    std::vector<std::string> labels;
    for (int k = 0; k <= 8; ++k) {
        std::string label = common::stringPrintf(format, v.bottom + k * (v.top - v.bottom) / 8);
        // A level a hair below 0 would read "-0.0".
        if (label[0] == '-' && std::strtod(label.c_str(), nullptr) == 0) label.erase(0, 1);
        labels.push_back(label);
    }
    return labels;
}

// The unit of an impedance quantity 1-7 as the results window writes it.
const char* lcrUnit(int quantity) {
    switch (quantity) {
    case 2:
    case 4: return "°";
    case 3:
    case 7: return "Ω";
    case 5: return "H";
    case 6: return "F";
    default: return "S";
    }
}

Scale lcrScale(int quantity, ValueLimits limits, Colour colour, bool withLabels) {
    Scale s{common::stringPrintf("%s (%s)", lcrQuantity(quantity).longName, lcrUnit(quantity)), colour, limits, {}};
    if (withLabels) s.labels = nineLabels(limits, limits.top - limits.bottom < 1 ? "%.1E" : "%0.1lf");
    return s;
}

std::string lcrReadoutLine(int quantity, double value) {
    return common::stringPrintf("%s: %s%s", lcrQuantity(quantity).longName, FormatEngineering(value).c_str(),
                                lcrUnit(quantity));
}

}  // namespace

void drawFraGraph(Canvas& canvas, const FraDisplay& display, const FraView& view, int width, int height) {
    const auto points = displayedPoints(display);
    const int base = phaseAxisBase(display.phaseRangeCode);
    Graph g{60, 60, view.logFrequency, view.background != kBackgroundWhite, view.frequency,
            Scale{"GAIN (dB)", kRed, view.gain, nineLabels(view.gain, "%.1lf")},
            Scale{"PHASE (°)", kBlue, {static_cast<double>(base), base + 360.0}, {}},
            {}, {view.cursor1, view.cursor2}, {}, 4,
            {"Frequency: 888.88 kHz", "Slope: -888.8 dB/Decade"}};
    for (int k = 0; k <= 8; ++k) g.right.labels.push_back(std::to_string(base + 45 * k));
    for (const db::FraPoint& p : points) g.points.push_back({p.frequency, p.amplitude, p.phase});
    const int n = static_cast<int>(points.size());
    if (n > 0)
        for (int c = 0; c < 2; ++c) {
            const db::FraPoint& p = points[clampCursor(g.cursors[c], n)];
            g.readouts[c] = {
                common::stringPrintf("Frequency: %sHz", FormatEngineering(p.frequency).c_str()),
                common::stringPrintf("Gain: %.3lf dB", p.amplitude),
                common::stringPrintf("Phase: %s°", FormatEngineering(p.phase).c_str()),
                common::stringPrintf("Slope: %.1lf dB/Decade", cursorSlope(points, clampCursor(g.cursors[c], n))),
            };
        }
    drawGraph(canvas, g, width, height);
}

void drawLcrGraph(Canvas& canvas, const LcrDisplay& display, const LcrView& view, int width, int height) {
    const auto points = displayedPoints(display);
    const bool any = !points.empty();
    Graph g{80, 80, view.logFrequency, view.background != kBackgroundWhite, view.frequency,
            lcrScale(view.leftQuantity, view.left, kRed, any), lcrScale(view.rightQuantity, view.right, kBlue, any),
            {}, {view.cursor1, view.cursor2}, {}, 3,
            {"Frequency: 888.88 kHz", lcrReadoutLine(view.leftQuantity, -888.88e-3),
             lcrReadoutLine(view.rightQuantity, -888.88e-3)}};
    for (const db::LcrPoint& p : points)
        g.points.push_back(
            {p.frequency, lcrQuantityValue(p, view.leftQuantity), lcrQuantityValue(p, view.rightQuantity)});
    const int n = static_cast<int>(points.size());
    if (any)
        for (int c = 0; c < 2; ++c) {
            const db::LcrPoint& p = points[clampCursor(g.cursors[c], n)];
            g.readouts[c] = {common::stringPrintf("Frequency: %sHz", FormatEngineering(p.frequency).c_str()),
                             lcrReadoutLine(view.leftQuantity, lcrQuantityValue(p, view.leftQuantity)),
                             lcrReadoutLine(view.rightQuantity, lcrQuantityValue(p, view.rightQuantity))};
        }
    drawGraph(canvas, g, width, height);
}

}  // namespace analysis
