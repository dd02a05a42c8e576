// The plot engine on a recording canvas: automatic ranges, clipping, the frequency and value axes,
// titles, legend, curves, cursors and readouts, in a drawing of 1024 x 625 pixels (plot 884 x 465,
// frequency axis at y = 475).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>

#include "analysis/plot_engine.h"
#include "support/recording_canvas.h"

using namespace analysis;
using testing_support::DrawCall;
using testing_support::RecordingCanvas;

namespace {

constexpr int kWidth = 1024, kHeight = 625, kW = 884, kH = 465, kAxis = 475;
constexpr Colour kDim = rgb(85, 85, 85), kBright = rgb(169, 169, 169);

db::SweepRecord fraSweep(const std::string& name, const std::vector<db::BasicFraPoint>& points) {
    db::SweepRecord s;
    s.name = name;
    s.dataType = db::kDataBasicFra;
    s.basicPoints = points;
    return s;
}

// n log-spaced points from `from` to `to` with gain(f) and phase(f).
db::SweepRecord logSweep(const std::string& name, int n, double from, double to,
                         const std::function<double(double)>& gain, const std::function<double(double)>& phase) {
    db::SweepRecord s;
    s.name = name;
    s.dataType = db::kDataBasicFra;
    for (int i = 0; i < n; ++i) {
        const double f = from * std::pow(to / from, static_cast<double>(i) / (n - 1));
        s.basicPoints.push_back({f, gain(f), phase(f)});
    }
    return s;
}

db::SweepRecord lcrSweep(const std::string& name, const std::vector<db::LcrPoint>& points) {
    db::SweepRecord s;
    s.name = name;
    s.dataType = db::kDataLcr;
    s.lcrPoints = points;
    return s;
}

// A view of the sweeps with all three axes scaled automatically and the cursor list of sweep 0.
GraphView autoView(const std::vector<db::SweepRecord>& sweeps) {
    GraphView v;
    v.sweeps = sweeps;
    AutoscaleFrequency(v.ranges, sweeps);
    AutoscaleLeftAxis(v.ranges, sweeps);
    AutoscaleRightAxis(v.ranges, sweeps);
    if (!sweeps.empty()) v.cursors = buildCursors(sweeps[0], v.ranges);
    return v;
}

RecordingCanvas draw(const GraphView& view, int width = kWidth, int height = kHeight) {
    RecordingCanvas canvas;
    DrawGraph(canvas, view, width, height, kWindowLegendOffset);
    return canvas;
}

// The frequency labels (texts in the band under the axis) in order, with the x their box starts at.
std::vector<std::pair<std::string, int>> frequencyLabels(const RecordingCanvas& c) {
    std::vector<std::pair<std::string, int>> out;
    for (const auto& call : c.ofKind(DrawCall::DrawText))
        if (call.rect.top == kAxis + 5 && call.rect.bottom == kAxis + 25)
            out.emplace_back(call.text, call.rect.left + 8);
    return out;
}

std::vector<std::string> labelTexts(const RecordingCanvas& c) {
    std::vector<std::string> out;
    for (const auto& [text, x] : frequencyLabels(c)) out.push_back(text);
    return out;
}

// The x of the vertical grid lines drawn in a colour.
std::vector<int> verticalLines(const RecordingCanvas& c, Colour colour) {
    std::vector<int> out;
    for (const auto& call : c.ofKind(DrawCall::Line))
        if (call.pen.colour == colour && call.points[0].x == call.points[1].x && call.points[0].y == kAxis &&
            call.points[1].y == 10)
            out.push_back(call.points[0].x);
    return out;
}

// The curves drawn in a colour.
std::vector<DrawCall> curves(const RecordingCanvas& c, Colour colour) {
    std::vector<DrawCall> out;
    for (const auto& call : c.ofKind(DrawCall::Polyline))
        if (call.pen.colour == colour) out.push_back(call);
    return out;
}

GraphView frequencyOnly(double fmin, double fmax, bool log) {
    GraphView v;
    v.ranges.frequencyMin = fmin;
    v.ranges.frequencyMax = fmax;
    v.settings.logFrequency = log;
    return v;
}

}  // namespace

TEST(Autoscale, FrequencySpansAllLoadedSweeps) {
    std::vector<db::SweepRecord> sweeps = {fraSweep("a", {{50, 0, 0}, {5000, 0, 0}}),
                                           fraSweep("b", {{20, 0, 0}, {2e6, 0, 0}})};
    AxisRanges r;
    AutoscaleFrequency(r, sweeps);
    EXPECT_EQ(r.frequencyMin, 20);
    EXPECT_EQ(r.frequencyMax, 2e6);

    // A sweep after an unnamed slot is not loaded.
    sweeps[1].name = "";
    AutoscaleFrequency(r, sweeps);
    EXPECT_EQ(r.frequencyMin, 50);
    EXPECT_EQ(r.frequencyMax, 5000);
}

TEST(Autoscale, FrequencyEdgeCases) {
    AxisRanges r;
    std::vector<db::SweepRecord> one = {fraSweep("a", {{1000, -3, 0}, {1000, -4, 0}})};
    AutoscaleFrequency(r, one);
    EXPECT_EQ(r.frequencyMin, 1000);
    EXPECT_EQ(r.frequencyMax, 1010);

    std::vector<db::SweepRecord> dc = {fraSweep("a", {{0, 0, 0}, {-50, 0, 0}, {5000, 0, 0}})};
    AutoscaleFrequency(r, dc);
    EXPECT_EQ(r.frequencyMin, 1);  // 0 Hz becomes 1 Hz; negative frequencies are left out
    EXPECT_EQ(r.frequencyMax, 5000);

    AxisRanges untouched;
    std::vector<db::SweepRecord> empty = {fraSweep("a", {})};
    AutoscaleFrequency(untouched, empty);
    AutoscaleLeftAxis(untouched, empty);
    EXPECT_EQ(untouched.frequencyMin, 1000);
    EXPECT_EQ(untouched.frequencyMax, 10000);
    EXPECT_EQ(untouched.leftMin, -10);
    EXPECT_EQ(untouched.leftMax, 10);
}

TEST(Autoscale, LeftAxisUsesThePointsInsideTheFrequencyRange) {
    std::vector<db::SweepRecord> sweeps = {fraSweep("a", {{10, -90, 0}, {100, -40, 0}, {1000, -60, 0}, {1e6, 5, 0}})};
    AxisRanges r;
    r.frequencyMin = 100;
    r.frequencyMax = 1000;
    AutoscaleLeftAxis(r, sweeps);
    EXPECT_EQ(r.leftMin, -60);
    EXPECT_EQ(r.leftMax, -40);

    // Values far from the usual gains are not held back by any starting value.
    std::vector<db::SweepRecord> lcr = {lcrSweep("z", {{100, 0, 0, 5000, 0, 0, 0, 0}, {1000, 0, 0, 8000, 0, 0, 0, 0}})};
    r.frequencyMin = 100;
    r.leftQuantity = 3;
    AutoscaleLeftAxis(r, lcr);
    EXPECT_EQ(r.leftMin, 5000);
    EXPECT_EQ(r.leftMax, 8000);
}

TEST(Autoscale, IdenticalValuesStillGiveAnAxisWithHeight) {
    std::vector<db::SweepRecord> flat = {fraSweep("a", {{100, 3, 0}, {1000, 3, 0}})};
    AxisRanges r;
    r.frequencyMin = 100;
    r.frequencyMax = 1000;
    AutoscaleLeftAxis(r, flat);
    EXPECT_LT(r.leftMin, 3);
    EXPECT_GT(r.leftMax, 3);
    EXPECT_NEAR(r.leftMax - r.leftMin, 0.6, 1e-12);

    std::vector<db::SweepRecord> zero = {fraSweep("a", {{100, 0, 0}})};
    AutoscaleLeftAxis(r, zero);
    EXPECT_EQ(r.leftMin, -1);
    EXPECT_EQ(r.leftMax, 1);

    // The drawing of a flat curve has only numbers in it.
    GraphView v = autoView(flat);
    v.ranges.leftMin = v.ranges.leftMax = 3;  // as a caller might set it by hand
    RecordingCanvas c = draw(v);
    const auto gain = curves(c, PlotPalette[0].colour);
    ASSERT_EQ(gain.size(), 1u);
    EXPECT_NEAR(gain[0].points.front().y, kAxis - kH / 2.0, 1);
}

TEST(Autoscale, RightAxisIsFixedForFraAndScaledForLcr) {
    std::vector<db::SweepRecord> fra = {fraSweep("a", {{100, 0, 40}, {1000, 0, 50}})};
    AxisRanges r;
    r.frequencyMin = 100;
    r.frequencyMax = 1000;
    AutoscaleRightAxis(r, fra);
    EXPECT_EQ(r.rightMin, -180);
    EXPECT_EQ(r.rightMax, 180);

    std::vector<db::SweepRecord> lcr = {
        lcrSweep("z", {{100, 1e-3, -80, 1000, 80, 1.5, 0, 10}, {1000, 2e-3, -70, 500, 70, 0.08, 0, 12}})};
    r.rightQuantity = 7;
    AutoscaleRightAxis(r, lcr);
    EXPECT_EQ(r.rightMin, 10);
    EXPECT_EQ(r.rightMax, 12);
}

TEST(Autoscale, CentreGainOnZeroKeepsTheWholeRangeInView) {
    AxisRanges r;
    r.leftMin = -30;
    r.leftMax = 10;
    CentreGainOnZero(r);
    EXPECT_EQ(r.leftMin, -30);
    EXPECT_EQ(r.leftMax, 30);

    // A gain curve entirely below 0 dB, the usual case, stays in view.
    r.leftMin = -80;
    r.leftMax = -20;
    CentreGainOnZero(r);
    EXPECT_EQ(r.leftMin, -80);
    EXPECT_EQ(r.leftMax, 80);

    r.leftMin = 1000;
    r.leftMax = -500;
    CentreGainOnZero(r);
    EXPECT_EQ(r.leftMin, -1000);
    EXPECT_EQ(r.leftMax, 1000);
}

TEST(Clipping, CrossingsAreInterpolatedInPixels) {
    const PlotPoint a{0, 0}, b{10, 20};
    EXPECT_DOUBLE_EQ(ClipAtX(a, b, 5).y, 10);
    EXPECT_DOUBLE_EQ(ClipAtY(a, b, 5).x, 2.5);
    // Parallel to the edge: the first point moved onto the edge.
    EXPECT_DOUBLE_EQ(ClipAtY({3, 7}, {9, 7}, 4).x, 3);
    EXPECT_DOUBLE_EQ(ClipAtX({3, 7}, {3, 9}, 4).y, 7);
}

TEST(Clipping, CurveLeavingTheTopIsCutThereBothTimes) {
    // Box 0..100 x 0..100 (y downwards): up through the top edge and back.
    auto lines = clipCurve({{0, 50}, {20, -50}, {40, -50}, {60, 50}, {80, 50}}, 0, 0, 100, 100);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], (std::vector<Point>{{0, 50}, {10, 0}}));
    EXPECT_EQ(lines[1], (std::vector<Point>{{50, 0}, {60, 50}, {80, 50}}));
}

TEST(Clipping, LeadingPointsLeftAndPointsPastTheRightEdgeAreCut) {
    auto lines = clipCurve({{-40, 10}, {-20, 30}, {20, 70}, {60, 70}, {140, 30}, {200, 0}}, 0, 0, 100, 100);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], (std::vector<Point>{{0, 50}, {20, 70}, {60, 70}, {100, 50}}));

    // A segment that lies wholly outside draws nothing; a point that is no number breaks the curve.
    EXPECT_TRUE(clipCurve({{-10, -10}, {200, -5}}, 0, 0, 100, 100).empty());
    auto broken = clipCurve({{10, 10}, {20, 20}, {std::nan(""), 30}, {40, 40}, {50, 50}}, 0, 0, 100, 100);
    ASSERT_EQ(broken.size(), 2u);
    EXPECT_EQ(broken[0].back(), (Point{20, 20}));
    EXPECT_EQ(broken[1].front(), (Point{40, 40}));
}

TEST(FrequencyAxis, DecadesFromAnExactThousand) {
    RecordingCanvas c = draw(frequencyOnly(1000, 1e6, true));
    const auto labels = frequencyLabels(c);
    const std::vector<std::pair<std::string, int>> expected = {{"1k", 70}, {"10k", 365}, {"100k", 659}, {"1M", 954}};
    EXPECT_EQ(labels, expected);
    EXPECT_EQ(verticalLines(c, kBright), (std::vector<int>{365, 659, 954}));
    // Minor lines every 1 kHz, 10 kHz and 100 kHz; none on the plot's edges.
    const auto minor = verticalLines(c, kDim);
    EXPECT_EQ(minor.size(), 26u);
    EXPECT_EQ(minor.front(), 70 + static_cast<int>(std::lround(std::log10(2.0) * kW / 3)));
    EXPECT_EQ(std::count(minor.begin(), minor.end(), 70), 0);
}

TEST(FrequencyAxis, DecadesFromTwentyHertz) {
    RecordingCanvas c = draw(frequencyOnly(20, 2e6, true));
    EXPECT_EQ(labelTexts(c), (std::vector<std::string>{"100", "1k", "10k", "100k", "1M"}));
    EXPECT_EQ(verticalLines(c, kBright).size(), 5u);
    // 30..90 Hz, then every 100 Hz, ... up to 2 MHz (the tick at 2 MHz lies on the edge).
    EXPECT_EQ(verticalLines(c, kDim).size(), 7u + 9 * 4 + 1);
}

TEST(FrequencyAxis, LessThanADecade) {
    RecordingCanvas c = draw(frequencyOnly(1000, 5000, true));
    EXPECT_EQ(labelTexts(c), (std::vector<std::string>{"2k", "3k", "4k"}));
    EXPECT_EQ(verticalLines(c, kDim).size(), 3u);

    // No tick inside: the two ends are labelled.
    RecordingCanvas ends = draw(frequencyOnly(1000, 1010, true));
    const std::vector<std::pair<std::string, int>> expected = {{"1k", 70}, {"1k01", 70 + kW}};
    EXPECT_EQ(frequencyLabels(ends), expected);
}

TEST(FrequencyAxis, LinearFromZeroToTen) {
    RecordingCanvas c = draw(frequencyOnly(0, 10, false));
    EXPECT_EQ(labelTexts(c), (std::vector<std::string>{"0.0000 ", "1", "3", "5", "6", "8", "10"}));
    const auto minor = verticalLines(c, kDim);
    EXPECT_EQ(minor.size(), 5u);
    for (const auto& call : c.ofKind(DrawCall::Line))
        if (call.pen.colour == kDim) {
            EXPECT_EQ(call.pen.style, PenStyle::Dot);
        }
}

TEST(FrequencyAxis, PointsOutsideTheLogAxisAreClippedNotLost) {
    // A point left of the plot: the curve starts on the left edge at the interpolated height; a point
    // at 0 Hz has no place on the axis and is left out.
    std::vector<db::SweepRecord> sweeps = {fraSweep("a", {{0, -10, 0}, {10, -60, 0}, {200, -40, 0}, {1000, -40, 0}})};
    GraphView v = autoView(sweeps);
    v.ranges.frequencyMin = 50;
    v.ranges.frequencyMax = 1000;
    v.ranges.leftMin = -80;
    v.ranges.leftMax = 0;
    RecordingCanvas c = draw(v);
    const auto gain = curves(c, PlotPalette[0].colour);
    ASSERT_EQ(gain.size(), 1u);
    const double t = std::log10(50.0 / 10) / std::log10(200.0 / 10);
    const double value = -60 + t * 20;
    EXPECT_EQ(gain[0].points.front().x, 70);
    EXPECT_NEAR(gain[0].points.front().y, kAxis - (value + 80) * kH / 80, 1);
    EXPECT_EQ(gain[0].points.back().x, 70 + kW);
    EXPECT_NEAR(gain[0].points.back().y, kAxis - 40.0 * kH / 80, 1);
    EXPECT_EQ(gain[0].points.size(), 3u);
}

TEST(ValueAxes, LabelsAndGrid) {
    GraphView v = frequencyOnly(100, 1000, true);
    v.ranges.leftMin = -70;
    v.ranges.leftMax = 10;
    RecordingCanvas c = draw(v);
    std::vector<std::string> left, right;
    for (const auto& call : c.ofKind(DrawCall::DrawText)) {
        if (call.rect.left == 10 && call.rect.right == 60) left.push_back(call.text);
        if (call.rect.left == kW + 80) right.push_back(call.text);
    }
    EXPECT_EQ(left, (std::vector<std::string>{"-70.0", "-60.0", "-50.0", "-40.0", "-30.0", "-20.0", "-10.0", "0.0",
                                              "10.0"}));
    EXPECT_EQ(right, (std::vector<std::string>{"-180.0", "-135.0", "-90.0", "-45.0", "0.0", "45.0", "90.0", "135.0",
                                               "180.0"}));
    // Seven horizontal grid lines at i * H / 8, cut to whole pixels.
    std::vector<int> levels;
    for (const auto& call : c.ofKind(DrawCall::Line))
        if (call.points[0].y == call.points[1].y) levels.push_back(call.points[0].y);
    EXPECT_EQ(levels, (std::vector<int>{kAxis - 58, kAxis - 116, kAxis - 174, kAxis - 232, kAxis - 290, kAxis - 348,
                                        kAxis - 406}));

    // A left maximum below 1 in magnitude turns every left label to the exponent form.
    v.ranges.leftMin = -4;
    v.ranges.leftMax = 0.5;
    RecordingCanvas small = draw(v);
    int exponent = 0;
    for (const auto& call : small.ofKind(DrawCall::DrawText))
        if (call.rect.left == 10) exponent += call.text.find('E') != std::string::npos;
    EXPECT_EQ(exponent, 9);
    EXPECT_EQ(small.textCalls("5.0E-01").size(), 1u);
}

TEST(Titles, FraAndLcrAxisTitlesTurnedAndColoured) {
    std::vector<db::SweepRecord> fra = {fraSweep("a", {{100, -40, 10}, {1000, -50, 20}})};
    RecordingCanvas c = draw(autoView(fra));
    ASSERT_EQ(c.textCalls("FREQUENCY (Hz)").size(), 1u);
    const auto gain = c.textCalls("GAIN (dB)");
    ASSERT_EQ(gain.size(), 1u);
    EXPECT_EQ(gain[0].font.escapement, 2700);
    EXPECT_EQ(gain[0].colour, PlotPalette[0].colour);
    // Recording metrics: 9 characters of 6 pixels, centred on the plot's middle.
    EXPECT_EQ(gain[0].points[0], (Point{12, kH / 2 - 27 + 10}));
    const auto phase = c.textCalls("PHASE (°)");
    ASSERT_EQ(phase.size(), 1u);
    EXPECT_EQ(phase[0].font.escapement, 900);
    EXPECT_EQ(phase[0].colour, PlotPalette[1].colour);
    EXPECT_EQ(phase[0].points[0], (Point{kWidth - 12, kH / 2 + 27 + 10}));

    std::vector<db::SweepRecord> lcr = {lcrSweep("z", {{100, 1e-3, -80, 1000, 80, 1.5, 0, 10},
                                                       {1000, 2e-3, -70, 500, 70, 0.08, 0, 12}})};
    GraphView v = autoView(lcr);
    v.ranges.rightQuantity = 3;
    v.settings.plots[0].leftColour = kCustomColourIndex;
    v.settings.plots[0].customLeftColour = rgb(1, 2, 3);
    RecordingCanvas l = draw(v);
    ASSERT_EQ(l.textCalls("ADMITTANCE (S)").size(), 1u);
    EXPECT_EQ(l.textCalls("ADMITTANCE (S)")[0].colour, rgb(1, 2, 3));
    EXPECT_EQ(l.textCalls("IMPEDANCE (Ohms)").size(), 1u);
    EXPECT_EQ(l.textCalls("A.tance").size(), 1u);
    EXPECT_EQ(l.textCalls("I.dance").size(), 1u);
    EXPECT_TRUE(l.textCalls("GAIN").empty());
}

TEST(Legend, OneEntryPerSweepInItsColours) {
    auto flat = [](double) { return -40.0; };
    std::vector<db::SweepRecord> sweeps = {logSweep("Alpha", 20, 100, 1e5, flat, flat),
                                           logSweep("ABCDEFGHI", 20, 100, 1e5, flat, flat),
                                           logSweep("Gamma", 20, 100, 1e5, flat, flat)};
    GraphView v = autoView(sweeps);
    v.settings.plots[1].rightVisible = false;
    RecordingCanvas c = draw(v);
    const int c18 = kW / 18, L = kWindowLegendOffset;

    // The box under the axis, as wide as two cells per sweep, framed twice.
    const Rect box = Rect{70, kAxis + L - 18, 70 + 2 * 3 * c18, kAxis + L + 15}.inflated(1);
    int frames = 0;
    for (const auto& call : c.ofKind(DrawCall::FrameRect))
        frames += call.rect == box || call.rect == box.inflated(-2);
    EXPECT_EQ(frames, 2);

    ASSERT_EQ(c.textCalls("Alpha").size(), 1u);
    EXPECT_EQ(c.textCalls("Alpha")[0].colour, kWhite);
    EXPECT_EQ(c.textCalls("A.DEFGHI").size(), 1u);
    const auto gains = c.textCalls("GAIN"), phases = c.textCalls("PHASE");
    ASSERT_EQ(gains.size(), 3u);
    ASSERT_EQ(phases.size(), 2u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(gains[i].colour, PlotPalette[2 * i].colour);
        EXPECT_EQ(gains[i].rect.left, 70 + 2 * i * c18);
    }
    EXPECT_EQ(phases[0].colour, PlotPalette[1].colour);
    EXPECT_EQ(phases[1].colour, PlotPalette[5].colour);
    EXPECT_EQ(phases[1].rect.left, 70 + 5 * c18);

    // Hidden curves are not drawn; the others in their colour and weight.
    EXPECT_TRUE(curves(c, PlotPalette[3].colour).empty());
    v.settings.plots[2].leftWeight = kThick;
    RecordingCanvas thick = draw(v);
    ASSERT_EQ(curves(thick, PlotPalette[4].colour).size(), 1u);
    EXPECT_EQ(curves(thick, PlotPalette[4].colour)[0].pen.width, 3);
}

TEST(Legend, NamesAreShortenedByCharacters) {
    EXPECT_EQ(abbreviateName("ABCDEFGHI", 8, 6), "A.DEFGHI");
    EXPECT_EQ(abbreviateName("ABCDEFGH", 8, 6), "ABCDEFGH");
    EXPECT_EQ(abbreviateName("°BCDEFGH°", 8, 6), "°.DEFGH°");
}

TEST(Cursors, ReadoutsShowTheCursorPoints) {
    std::vector<db::SweepRecord> sweeps = {fraSweep("a", {{10, -30, 20}, {100, -40, 30}, {1000, -50, 40}})};
    GraphView v = autoView(sweeps);
    v.cursors.leftIndex = 1;
    RecordingCanvas c = draw(v);
    const auto left = c.textCalls("  Frequency: 100.0000Hz \nGain: -40.0000dB \tPhase: 30.0000°");
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].font.weight, 700);
    EXPECT_EQ(left[0].colour, PlotPalette[0].colour);
    EXPECT_TRUE(left[0].flags & kTextExpandTabs);
    const auto right = c.textCalls("  Frequency: 1000.0000 \nGain: -50.0000dB \tPhase: 40.0000°");
    ASSERT_EQ(right.size(), 1u);
    EXPECT_EQ(right[0].colour, PlotPalette[1].colour);
    EXPECT_GE(right[0].rect.left, 70 + kW - kW / 3);

    std::vector<db::SweepRecord> lcr = {lcrSweep("z", {{100, 1e-3, -80, 1000, 80, 1.5, 0, 10}})};
    GraphView l = autoView(lcr);
    l.ranges.rightQuantity = 5;
    l.cursors = buildCursors(lcr[0], l.ranges);
    RecordingCanvas lc = draw(l);
    EXPECT_EQ(lc.textCalls("  Frequency: 100.0000Hz \nA.tance: 0.0010S \tL: 1.5000H").size(), 1u);
}

TEST(Cursors, StartOnTheFirstAndLastPointsOfTheRangeShown) {
    const db::SweepRecord sweep = logSweep("a", 61, 20, 2e6, [](double) { return -30; }, [](double) { return 0; });
    AxisRanges shown;
    shown.frequencyMin = 1000;  // the diagnosis view's range
    shown.frequencyMax = 1e6;
    const Cursors c = buildCursors(sweep, shown);
    ASSERT_EQ(c.points.size(), 61u);
    EXPECT_GE(c.points[c.leftIndex].frequency, 1000);
    EXPECT_LT(c.points[c.leftIndex - 1].frequency, 1000);
    EXPECT_LE(c.points[c.rightIndex].frequency, 1e6);
    EXPECT_GT(c.points[c.rightIndex + 1].frequency, 1e6);

    // A range that holds no point leaves the cursors on the sweep's ends.
    shown.frequencyMin = 3e6;
    shown.frequencyMax = 4e6;
    const Cursors outside = buildCursors(sweep, shown);
    EXPECT_EQ(outside.leftIndex, 0);
    EXPECT_EQ(outside.rightIndex, 60);
    EXPECT_EQ(buildCursors(db::SweepRecord{}, shown).rightIndex, 0);
}

TEST(Cursors, LinesRunFromTheirEdgeThroughThePoint) {
    std::vector<db::SweepRecord> sweeps = {fraSweep("a", {{100, -40, 90}, {1000, -20, -90}, {10000, -60, 0}})};
    GraphView v = autoView(sweeps);
    v.ranges.leftMin = -80;
    v.ranges.leftMax = 0;
    v.cursors.leftIndex = 1;
    v.cursors.rightIndex = 1;
    v.settings.leftCursorVisible = true;
    v.settings.plots[0].phaseMarginColour = kMarginCustom;
    v.settings.plots[0].customPhaseMarginColour = rgb(9, 8, 7);
    RecordingCanvas c = draw(v);
    const int x = 70 + kW / 2, yl = kAxis - static_cast<int>(std::lround(60.0 * kH / 80)),
              yr = kAxis - static_cast<int>(std::lround(90.0 * kH / 360));
    std::vector<std::vector<Point>> dashed;
    for (const auto& call : c.ofKind(DrawCall::Line))
        if (call.pen.style == PenStyle::Dash) {
            EXPECT_EQ(call.pen.colour, kWhite);
            dashed.push_back(call.points);
        }
    using Path = std::vector<std::vector<Point>>;
    EXPECT_EQ(dashed, (Path{{{70, yl}, {x, yl}}, {{x, yl}, {x, yr}}, {{x, yr}, {70 + kW, yr}}}));
    EXPECT_EQ(c.ofKind(DrawCall::Ellipse).size(), 2u);

    // The right cursor runs mirrored, in its own colour; a value above the range is held at the edge
    // without its circle.
    v.settings.leftCursorVisible = false;
    v.settings.rightCursorVisible = true;
    v.ranges.leftMax = -30;
    RecordingCanvas r = draw(v);
    dashed.clear();
    for (const auto& call : r.ofKind(DrawCall::Line))
        if (call.pen.style == PenStyle::Dash) {
            EXPECT_EQ(call.pen.colour, rgb(9, 8, 7));
            dashed.push_back(call.points);
        }
    EXPECT_EQ(dashed, (Path{{{70 + kW, 10}, {x, 10}}, {{x, 10}, {x, yr}}, {{x, yr}, {70, yr}}}));
    EXPECT_EQ(r.ofKind(DrawCall::Ellipse).size(), 1u);
}

TEST(Drawing, BackgroundFrameAndOrder) {
    std::vector<db::SweepRecord> sweeps = {fraSweep("a", {{100, -40, 90}, {1000, -20, -90}})};
    GraphView v = autoView(sweeps);
    setBackground(v.settings, kBackgroundWhite);
    RecordingCanvas c = draw(v);
    ASSERT_FALSE(c.calls.empty());
    EXPECT_EQ(c.calls[1].kind, DrawCall::FillRect);
    EXPECT_EQ(c.calls[1].rect, (Rect{0, 0, kWidth, kHeight}));
    EXPECT_EQ(c.calls[1].colour, kWhite);
    // The plot area enlarged by 4 is filled, then five bevel frames from outside in.
    EXPECT_EQ(c.calls[2].rect, (Rect{66, 6, 70 + kW + 5, kAxis + 5}));
    const Colour bevel[] = {kStockGrey, kStockLightGrey, kStockLightGrey, kStockGrey, kStockDarkGrey};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(c.calls[3 + k].rect, c.calls[2].rect.inflated(5 - k));
        EXPECT_EQ(c.calls[3 + k].colour, bevel[k]);
    }
    // On white the grid pens swap and texts turn black; curves are drawn inside the plot's clip.
    EXPECT_EQ(verticalLines(c, kBright).size(), 8u);
    EXPECT_EQ(verticalLines(c, kDim), (std::vector<int>{70 + kW}));
    EXPECT_EQ(c.textCalls("FREQUENCY (Hz)")[0].colour, kBlack);
    const auto clip = c.ofKind(DrawCall::ClipRect);
    ASSERT_EQ(clip.size(), 1u);
    EXPECT_EQ(clip[0].rect, (Rect{70, 10, 70 + kW + 1, kAxis + 1}));

    // Too small for a plot: the background only.
    RecordingCanvas tiny = draw(v, 150, 170);
    EXPECT_EQ(tiny.ofKind(DrawCall::FillRect).size(), 1u);
    EXPECT_TRUE(tiny.texts().empty());
}

TEST(Settings, BackgroundChangeKeepsCursorsVisible) {
    GraphSettings s;
    EXPECT_EQ(s.plots[4].leftColour, 8);
    EXPECT_EQ(s.plots[4].rightColour, 9);
    setBackground(s, kBackgroundWhite);
    EXPECT_EQ(s.plots[0].gainMarginColour, kMarginBlack);
    EXPECT_EQ(s.plots[8].phaseMarginColour, kMarginBlack);
    s.plots[1].phaseMarginColour = kMarginCustom;
    setBackground(s, kBackgroundBlack);
    EXPECT_EQ(s.plots[0].gainMarginColour, kMarginWhite);
    EXPECT_EQ(s.plots[1].phaseMarginColour, kMarginCustom);
}

// The difference curve lies under the gain curves in the lowest quarter of the plot, on a scale
// rounded up from its largest difference, with the bands' edges and names marked.
TEST(DifferenceCurve, DrawnUnderTheCurvesInTheLowestQuarterWithItsBands) {
    std::vector<db::SweepRecord> sweeps = {fraSweep("a", {{1000, -40, 0}, {1e6, -20, 0}})};
    GraphView v = autoView(sweeps);
    v.ranges.frequencyMin = 1000;
    v.ranges.frequencyMax = 1e6;
    const Colour cyan = rgb(0, 200, 200);
    EXPECT_TRUE(curves(draw(v), cyan).empty()) << "none without an assessment";

    v.difference.points = {{1000, 0}, {10000, 2.4}, {100000, -1.2}, {1e6, 0}};
    v.difference.bands = dlt911Bands();
    const RecordingCanvas c = draw(v);
    const std::vector<DrawCall> difference = curves(c, cyan);
    ASSERT_EQ(difference.size(), 1u);
    const int strip = kH / 4, zero = kAxis - strip / 2;
    // 2.4 dB rounds up to a full scale of 3 dB: the peak at 0.8 of the half strip above zero.
    EXPECT_EQ(difference[0].points[1], (Point{70 + static_cast<int>(std::lround(kW / 3.0)), zero - static_cast<int>(std::lround(0.8 * (strip / 2.0)))}));
    EXPECT_EQ(difference[0].points[0].y, zero);
    EXPECT_EQ(c.textCalls("Difference (dB) \xC2\xB1" "3").size(), 1u);
    for (const char* band : {"RLF", "RMF", "RHF"}) EXPECT_EQ(c.textCalls(band).size(), 1u) << band;
    // The difference comes before the gain curve, which is drawn over it.
    const auto polylines = c.ofKind(DrawCall::Polyline);
    EXPECT_EQ(polylines.front().pen.colour, cyan);
}
