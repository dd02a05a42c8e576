// The results windows' axis limits on a new sweep, the cursor moves and the slope readout.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "analysis/result_view.h"

using namespace analysis;

namespace {

// Displays are large; tests keep them on the heap as the windows do.
std::unique_ptr<FraDisplay> fraDisplay(std::initializer_list<db::FraPoint> points) {
    auto d = std::make_unique<FraDisplay>();
    for (const auto& p : points) d->points[d->stepCount++] = p;
    return d;
}

db::FraPoint fra(double f, double gain, double phase = 0) { return {f, 0, 0, gain, phase, 0}; }

}  // namespace

TEST(ResultLimits, FrequencyLimitsRoundOutToTensAndGiveASingleFrequencyARange) {
    auto same = fraDisplay({fra(1000, 3), fra(1000, 3), fra(1000, 3)});
    FrequencyLimits f = sweepFrequencyLimits(displayedPoints(*same), {});
    EXPECT_EQ(f.min, 1000);
    EXPECT_EQ(f.max, 1010);

    auto sweep = fraDisplay({fra(23, 0), fra(1999995, 0)});
    f = sweepFrequencyLimits(displayedPoints(*sweep), {});
    EXPECT_EQ(f.min, 20);
    EXPECT_EQ(f.max, 2000000);

    // Below 10 Hz the floor is 0, which a logarithmic axis cannot start from.
    auto low = fraDisplay({fra(5, 0), fra(std::nan(""), 0), fra(-20, 0), fra(100, 0)});
    f = sweepFrequencyLimits(displayedPoints(*low), {});
    EXPECT_EQ(f.min, 1);
    EXPECT_EQ(f.max, 100);
}

TEST(ResultLimits, FlatGainIsWidenedAndCentredOnZeroDb) {
    auto flat = fraDisplay({fra(1000, 3), fra(2000, 3), fra(5000, 3)});
    FraView view;
    showNewSweep(view, *flat);
    EXPECT_EQ(view.gain.bottom, -10);
    EXPECT_EQ(view.gain.top, 20);
    setCentreZeroDb(view, *flat, true);
    EXPECT_EQ(view.gain.bottom, -20);
    EXPECT_EQ(view.gain.top, 20);
    setCentreZeroDb(view, *flat, false);
    EXPECT_EQ(view.gain.bottom, -10);

    // An all-negative response centred keeps its whole range in view.
    auto deep = fraDisplay({fra(100, -62), fra(1000, -21)});
    view.centreZeroDb = true;
    showNewSweep(view, *deep);
    EXPECT_EQ(view.gain.bottom, -70);
    EXPECT_EQ(view.gain.top, 70);
}

TEST(ResultLimits, ANewSweepPutsTheCursorsOnItsEndsAndABadStepCountReadsNoFurtherThanThePoints) {
    auto d = fraDisplay({fra(100, -40), fra(200, -30), fra(400, -20)});
    FraView view;
    view.cursor1 = 2;
    showNewSweep(view, *d);
    EXPECT_EQ(view.cursor1, 0);
    EXPECT_EQ(view.cursor2, 2);

    d->stepCount = 50000;  // as read from a damaged replay file
    EXPECT_EQ(displayedPoints(*d).size(), static_cast<std::size_t>(kMaxDisplayPoints));
    d->stepCount = -1;
    EXPECT_TRUE(displayedPoints(*d).empty());
    // Nothing to scale by: the limits stay, the cursors have nowhere else to go.
    view.gain = {-40, 40};
    showNewSweep(view, *d);
    EXPECT_EQ(view.gain.bottom, -40);
    EXPECT_EQ(view.gain.top, 40);
    EXPECT_EQ(view.cursor2, 0);
}

TEST(ResultLimits, LcrAxesMoveOutwardWhateverTheSignAndOnlyTheChangedAxisIsRecomputed) {
    auto d = std::make_unique<LcrDisplay>();
    d->stepCount = 2;
    // admittance, admittance phase, impedance, impedance phase, L, C, R
    d->points[0] = {100, 1.0, -80, 1.0, 80, 0.1, 0, 5};
    d->points[1] = {1000, 2.0, -10, 0.5, 10, 0.1, 0, 5};
    LcrView view;
    showNewSweep(view, *d);
    EXPECT_DOUBLE_EQ(view.left.bottom, 0.95);
    EXPECT_DOUBLE_EQ(view.left.top, 2.1);
    // A negative bottom moved by 5 % of its signed value would cut the lowest phase off.
    EXPECT_DOUBLE_EQ(view.right.bottom, -84);
    EXPECT_DOUBLE_EQ(view.right.top, -9.5);

    setRightQuantity(view, *d, 7);  // R: flat at 5 ohms, widened by 10 each way
    EXPECT_DOUBLE_EQ(view.right.bottom, -5 - 0.25);
    EXPECT_DOUBLE_EQ(view.right.top, 15 + 0.75);
    EXPECT_DOUBLE_EQ(view.left.top, 2.1);

    // Picofarads that vary are not a flat quantity.
    d->points[0].capacitance = 100e-12;
    d->points[1].capacitance = 110e-12;
    setLeftQuantity(view, *d, 6);
    EXPECT_DOUBLE_EQ(view.left.bottom, 95e-12);
    EXPECT_DOUBLE_EQ(view.left.top, 115.5e-12);
}

TEST(ResultCursors, ScrollingStaysOnThePoints) {
    EXPECT_EQ(scrollCursor(0, CursorScroll::LineLeft, 0, 10), 0);
    EXPECT_EQ(scrollCursor(4, CursorScroll::LineRight, 0, 10), 5);
    EXPECT_EQ(scrollCursor(9, CursorScroll::LineRight, 0, 10), 9);
    EXPECT_EQ(scrollCursor(3, CursorScroll::Thumb, 10, 10), 9);  // the bar spans 0 to the step count
    EXPECT_EQ(scrollCursor(3, CursorScroll::Thumb, 7, 10), 7);
    EXPECT_EQ(scrollCursor(3, CursorScroll::LineRight, 0, 0), 0);
}

TEST(ResultCursors, SlopeFromTheNeighboursInDbPerDecade) {
    auto d = fraDisplay({fra(100, -40), fra(1000, -30), fra(10000, 0), fra(100000, 10)});
    const auto points = displayedPoints(*d);
    EXPECT_EQ(cursorSlope(points, 0), 0.0);          // the first point
    EXPECT_DOUBLE_EQ(cursorSlope(points, 1), 20.0);  // 40 dB over two decades
    EXPECT_DOUBLE_EQ(cursorSlope(points, 3), 10.0);  // at the last point the point itself stands in
    EXPECT_EQ(cursorSlope(points, 7), 0.0);

    auto back = fraDisplay({fra(1000, 0), fra(2000, 5), fra(1000, 10)});
    EXPECT_EQ(cursorSlope(displayedPoints(*back), 1), 0.0);  // the neighbours share a frequency
}
