// The results windows' graphs on a recording canvas: texts kept apart at every size, curves against
// their own axes, cursor readouts, and the picture before any sweep.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>

#include "analysis/result_graph.h"
#include "support/recording_canvas.h"

using namespace analysis;
using testing_support::DrawCall;
using testing_support::RecordingCanvas;

namespace {

// n log-spaced points from 20 Hz to 2 MHz with a winding-like gain and phase.
std::unique_ptr<FraDisplay> windingSweep(int n) {
    auto d = std::make_unique<FraDisplay>();
    d->stepCount = n;
    for (int i = 0; i < n; ++i) {
        const double f = 20 * std::pow(1e5, static_cast<double>(i) / (n - 1));
        d->points[i] = {f, 1, 0.1, -45 + 15 * std::sin(std::log10(f) * 3), 80 * std::cos(std::log10(f) * 3), 0};
    }
    return d;
}

std::unique_ptr<LcrDisplay> impedanceSweep(int n) {
    auto d = std::make_unique<LcrDisplay>();
    d->stepCount = n;
    for (int i = 0; i < n; ++i) {
        const double f = 20 * std::pow(1e5, static_cast<double>(i) / (n - 1));
        const double z = 50 + 2e5 / (1 + std::fabs(std::log10(f) - 3));
        d->points[i] = {f, 1 / z, -60.0 + i % 7, z, 60.0 - i % 7, 1e-3, 1e-10 * (1 + 0.1 * i / n), 50};
    }
    return d;
}

// Every text drawn, with the box it covers: drawText its box, the turned titles the box their
// extent covers about the reference point.
std::vector<std::pair<Rect, std::string>> textBoxes(const RecordingCanvas& c) {
    std::vector<std::pair<Rect, std::string>> out;
    for (const DrawCall& call : c.calls) {
        if (call.kind == DrawCall::DrawText) {
            RecordingCanvas probe;
            probe.selectFont(call.font);
            const Size e = probe.textExtent(call.text);
            EXPECT_GE(call.rect.width(), e.cx) << call.text;
            EXPECT_GE(call.rect.height(), e.cy) << call.text;
            out.emplace_back(call.rect, call.text);
        } else if (call.kind == DrawCall::TextOut) {
            RecordingCanvas probe;
            probe.selectFont(call.font);
            const Size e = probe.textExtent(call.text);
            const Point at = call.points[0];
            EXPECT_EQ(call.flags, kAlignCenter | kAlignBottom) << call.text;
            // Reading upwards the glyphs stand left of the reference point, reading downwards right of it.
            if (call.font.escapement == 900)
                out.emplace_back(Rect{at.x - e.cy, at.y - e.cx / 2, at.x, at.y + e.cx / 2}, call.text);
            else if (call.font.escapement == 2700)
                out.emplace_back(Rect{at.x, at.y - e.cx / 2, at.x + e.cy, at.y + e.cx / 2}, call.text);
            else
                ADD_FAILURE() << "unturned textOut " << call.text;
        }
    }
    return out;
}

bool intersect(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The plot's frame: the one hollow rectangle.
Rect frameOf(const RecordingCanvas& c) {
    const auto frames = c.ofKind(DrawCall::Rectangle);
    EXPECT_EQ(frames.size(), 1u);
    return frames.empty() ? Rect{} : frames[0].rect;
}

}  // namespace

TEST(ResultGraph, TextsNeverOverlapAndShortDrawingsThinTheirLabels) {
    auto fra = windingSweep(500);
    auto lcr = impedanceSweep(500);
    FraView fraView;
    showNewSweep(fraView, *fra);
    LcrView lcrView;
    lcrView.leftQuantity = 3;
    showNewSweep(lcrView, *lcr);
    for (const bool log : {true, false})
        for (const int w : {986, 600})
            for (const int h : {452, 300, 180, 140, 110, 90, 70}) {
                fraView.logFrequency = lcrView.logFrequency = log;
                RecordingCanvas a, b;
                drawFraGraph(a, *fra, fraView, w, h);
                drawLcrGraph(b, *lcr, lcrView, w, h);
                for (const RecordingCanvas* c : {&a, &b}) {
                    const auto boxes = textBoxes(*c);
                    ASSERT_GE(boxes.size(), 6u) << w << "x" << h;  // at least the outer labels of each axis
                    for (std::size_t i = 0; i < boxes.size(); ++i) {
                        const Rect& r = boxes[i].first;
                        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h)
                            << boxes[i].second << " outside " << w << "x" << h;
                        for (std::size_t j = i + 1; j < boxes.size(); ++j)
                            EXPECT_FALSE(intersect(r, boxes[j].first))
                                << "'" << boxes[i].second << "' and '" << boxes[j].second << "' at " << w << "x" << h;
                    }
                }
                // The grid stays whatever the labels do.
                const Rect frame = frameOf(a);
                int gridLines = 0;
                for (const DrawCall& l : a.ofKind(DrawCall::Line))
                    if (l.points[0].y == l.points[1].y && l.points[0].x == frame.left) ++gridLines;
                EXPECT_GE(gridLines, 7) << w << "x" << h;
            }
    // With a plot of about 90 pixels not all nine gain labels have room, but some have.
    RecordingCanvas shortOne;
    drawFraGraph(shortOne, *fra, fraView, 986, 180);
    int gainLabels = 0;
    const int plotLeft = frameOf(shortOne).left;
    for (const auto& [box, text] : textBoxes(shortOne))
        gainLabels += box.right <= plotLeft && text.find('.') != std::string::npos;
    EXPECT_GE(gainLabels, 3);
    EXPECT_LT(gainLabels, 9);

    RecordingCanvas tiny;
    drawFraGraph(tiny, *fra, fraView, 986, 40);
    EXPECT_TRUE(tiny.texts().empty());
    EXPECT_EQ(tiny.ofKind(DrawCall::FillRect).size(), 1u);
}

TEST(ResultGraph, EachCurveIsDrawnAgainstItsOwnAxis) {
    auto d = std::make_unique<FraDisplay>();
    d->stepCount = 3;
    d->phaseRangeCode = 2;  // 0 to 360 degrees
    d->points[0] = {100, 0, 0, -5, 90, 0};
    d->points[1] = {1000, 0, 0, -5, 90, 0};
    d->points[2] = {10000, 0, 0, -5, 90, 0};
    FraView view;
    view.background = kBackgroundWhite;
    showNewSweep(view, *d);
    ASSERT_EQ(view.gain.bottom, -20);
    ASSERT_EQ(view.gain.top, 10);
    RecordingCanvas c;
    drawFraGraph(c, *d, view, 986, 452);
    const Rect frame = frameOf(c);
    const double top = frame.top, axis = frame.bottom - 1;
    int red = 0, blue = 0;
    for (const DrawCall& p : c.ofKind(DrawCall::Polyline)) {
        const double expected = p.pen.colour == rgb(255, 0, 0) ? axis - (-5 + 20) * (axis - top) / 30
                                                                : axis - 90 * (axis - top) / 360;
        (p.pen.colour == rgb(255, 0, 0) ? red : blue)++;
        for (const Point& q : p.points) EXPECT_NEAR(q.y, expected, 1.0);
    }
    EXPECT_EQ(red, 1);
    EXPECT_EQ(blue, 1);
    EXPECT_EQ(c.textCalls("0").size(), 1u);
    EXPECT_EQ(c.textCalls("360").size(), 1u);
    EXPECT_EQ(c.textCalls("-180").size(), 0u);
}

TEST(ResultGraph, CursorReadoutsTellTheirPointsInTheCursorsColours) {
    auto d = std::make_unique<FraDisplay>();
    d->stepCount = 3;
    d->points[0] = {100, 0, 0, -40, -45.5, 0};
    d->points[1] = {1000, 0, 0, -30, 12, 0};
    d->points[2] = {10000, 0, 0, -10, 0.5, 0};
    FraView view;
    showNewSweep(view, *d);
    RecordingCanvas c;
    drawFraGraph(c, *d, view, 986, 452);
    const Colour lightRed = rgb(255, 128, 128), lightBlue = rgb(128, 160, 255);
    for (const auto& [text, colour] : std::vector<std::pair<std::string, Colour>>{
             {"Frequency: 100.00 Hz", lightRed}, {"Gain: -40.000 dB", lightRed}, {"Phase: -45.500 °", lightRed},
             {"Slope: 0.0 dB/Decade", lightRed}, {"Frequency: 10.000 kHz", lightBlue}, {"Gain: -10.000 dB", lightBlue},
             {"Phase: 500.00 m°", lightBlue}, {"Slope: 20.0 dB/Decade", lightBlue}}) {
        const auto calls = c.textCalls(text);
        ASSERT_EQ(calls.size(), 1u) << text;
        EXPECT_EQ(calls[0].colour, colour) << text;
    }
    // Cursor 1's circles sit on its point: at the plot's left edge, on both curves.
    const Rect frame = frameOf(c);
    const auto circles = c.ofKind(DrawCall::Ellipse);
    ASSERT_EQ(circles.size(), 4u);
    EXPECT_EQ((circles[0].rect.left + circles[0].rect.right) / 2, frame.left);
    EXPECT_EQ(circles[0].rect.width(), 16);
    const int axis = frame.bottom - 1;
    EXPECT_NEAR((circles[0].rect.top + circles[0].rect.bottom) / 2.0, axis, 1.0);  // -40 dB, the axis's bottom
}

TEST(ResultGraph, BeforeAnySweepTheFrameTitlesAndDefaultScales) {
    auto fra = std::make_unique<FraDisplay>();
    RecordingCanvas c;
    drawFraGraph(c, *fra, FraView{}, 986, 452);
    for (const char* text : {"-40.0", "0.0", "40.0", "-180", "180", "GAIN (dB)", "PHASE (°)", "FREQUENCY (Hz)"})
        EXPECT_EQ(c.textCalls(text).size(), 1u) << text;
    EXPECT_TRUE(c.ofKind(DrawCall::Polyline).empty());
    EXPECT_TRUE(c.ofKind(DrawCall::Ellipse).empty());

    auto lcr = std::make_unique<LcrDisplay>();
    LcrView view;
    view.leftQuantity = 3;
    RecordingCanvas l;
    drawLcrGraph(l, *lcr, view, 986, 452);
    EXPECT_EQ(l.texts(), (std::vector<std::string>{"IMPEDANCE (Ω)", "ADMITTANCE PHASE (°)", "FREQUENCY (Hz)"}));
}
