// The results windows' axis limits on a new sweep, their cursors and the slope readout.
#include "analysis/result_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/plot_engine.h"

namespace analysis {
namespace {

// Frequency limits are whole hertz; a value from a damaged file must still fit an int.
constexpr double kHighestFrequencyLimit = 2e9;

template <typename Point>
std::span<const Point> firstPoints(const std::array<Point, kMaxDisplayPoints>& points, std::int32_t stepCount) {
    return {points.data(), static_cast<std::size_t>(std::clamp<std::int32_t>(stepCount, 0, kMaxDisplayPoints))};
}

template <typename Point>
FrequencyLimits frequencyLimits(std::span<const Point> points, FrequencyLimits current) {
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (const Point& p : points) {
        if (!std::isfinite(p.frequency) || p.frequency < 0) continue;
        lo = std::min(lo, p.frequency);
        hi = std::max(hi, p.frequency);
    }
    if (lo > hi) return current;
    if (hi - lo < 1e-10) hi += 10;
    const double top = std::clamp(10 * std::ceil(hi / 10), 1.0, kHighestFrequencyLimit);
    double bottom = std::clamp(10 * std::floor(lo / 10), 0.0, kHighestFrequencyLimit);
    if (bottom == 0) bottom = 1;
    FrequencyLimits limits{static_cast<int>(bottom), static_cast<int>(top)};
    if (limits.max <= limits.min) limits.max = limits.min + 10;
    return limits;
}

// The lowest and highest value of the points within the frequency limits, widened by 10 each way when
// flat; false when no point has a value there. Flatness is judged relative to the values, so that a
// capacitance of picofarads that varies is not taken for a flat one.
template <typename Point, typename Value>
bool valueRange(std::span<const Point> points, FrequencyLimits frequency, Value value, double& lo, double& hi) {
    lo = std::numeric_limits<double>::infinity();
    hi = -lo;
    for (const Point& p : points) {
        if (!(p.frequency >= frequency.min && p.frequency <= frequency.max)) continue;
        const double v = value(p);
        if (!std::isfinite(v)) continue;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    if (lo > hi) return false;
    if (hi - lo <= 1e-10 * std::max(std::fabs(lo), std::fabs(hi))) {
        lo -= 10;
        hi += 10;
    }
    return true;
}

}  // namespace

std::span<const db::FraPoint> displayedPoints(const FraDisplay& display) {
    return firstPoints(display.points, display.stepCount);
}

std::span<const db::LcrPoint> displayedPoints(const LcrDisplay& display) {
    return firstPoints(display.points, display.stepCount);
}

int phaseAxisBase(int phaseRangeCode) {
    switch (phaseRangeCode) {
    case 1: return -360;
    case 2: return 0;
    default: return -180;
    }
}

FrequencyLimits sweepFrequencyLimits(std::span<const db::FraPoint> points, FrequencyLimits current) {
    return frequencyLimits(points, current);
}

FrequencyLimits sweepFrequencyLimits(std::span<const db::LcrPoint> points, FrequencyLimits current) {
    return frequencyLimits(points, current);
}

ValueLimits fraGainLimits(std::span<const db::FraPoint> points, FrequencyLimits frequency, bool centreZeroDb,
                          ValueLimits current) {
    AxisRanges gain;
    if (!valueRange(points, frequency, [](const db::FraPoint& p) { return p.amplitude; }, gain.leftMin, gain.leftMax))
        return current;
    if (centreZeroDb) CentreGainOnZero(gain);
    return {10 * std::floor(gain.leftMin / 10), 10 * std::ceil(gain.leftMax / 10)};
}

ValueLimits lcrAxisLimits(std::span<const db::LcrPoint> points, FrequencyLimits frequency, int quantity,
                          ValueLimits current) {
    double lo, hi;
    if (!valueRange(points, frequency, [quantity](const db::LcrPoint& p) { return lcrQuantityValue(p, quantity); },
                    lo, hi))
        return current;
    // Outward whatever the sign: a negative bottom moved by 5 % of its signed value would move up and
    // cut off the lowest part of the curve.
    return {lo - 0.05 * std::fabs(lo), hi + 0.05 * std::fabs(hi)};
}

void showNewSweep(FraView& view, const FraDisplay& display) {
    const auto points = displayedPoints(display);
    view.frequency = sweepFrequencyLimits(points, view.frequency);
    view.gain = fraGainLimits(points, view.frequency, view.centreZeroDb, view.gain);
    view.cursor1 = 0;
    view.cursor2 = clampCursor(static_cast<int>(points.size()) - 1, static_cast<int>(points.size()));
}

void showNewSweep(LcrView& view, const LcrDisplay& display) {
    const auto points = displayedPoints(display);
    view.frequency = sweepFrequencyLimits(points, view.frequency);
    view.left = lcrAxisLimits(points, view.frequency, view.leftQuantity, view.left);
    view.right = lcrAxisLimits(points, view.frequency, view.rightQuantity, view.right);
    view.cursor1 = 0;
    view.cursor2 = clampCursor(static_cast<int>(points.size()) - 1, static_cast<int>(points.size()));
}

void setCentreZeroDb(FraView& view, const FraDisplay& display, bool centre) {
    view.centreZeroDb = centre;
    view.gain = fraGainLimits(displayedPoints(display), view.frequency, centre, view.gain);
}

void setLeftQuantity(LcrView& view, const LcrDisplay& display, int quantity) {
    view.leftQuantity = quantity;
    view.left = lcrAxisLimits(displayedPoints(display), view.frequency, quantity, view.left);
}

void setRightQuantity(LcrView& view, const LcrDisplay& display, int quantity) {
    view.rightQuantity = quantity;
    view.right = lcrAxisLimits(displayedPoints(display), view.frequency, quantity, view.right);
}

int clampCursor(int cursor, int stepCount) {
    return std::clamp(cursor, 0, std::max(0, std::min(stepCount, kMaxDisplayPoints) - 1));
}

int scrollCursor(int cursor, CursorScroll action, int thumbPosition, int stepCount) {
    switch (action) {
    case CursorScroll::LineLeft: return clampCursor(cursor - 1, stepCount);
    case CursorScroll::LineRight: return clampCursor(cursor + 1, stepCount);
    case CursorScroll::Thumb: return clampCursor(thumbPosition, stepCount);
    }
    return clampCursor(cursor, stepCount);
}

double cursorSlope(std::span<const db::FraPoint> points, int k) {
    const int n = static_cast<int>(points.size());
    if (k <= 0 || k >= n) return 0;
    const int next = k + 1 < n ? k + 1 : k;
    const double ratio = points[next].frequency / points[k - 1].frequency;
    if (!(ratio > 0) || ratio == 1 || !std::isfinite(ratio)) return 0;
    return (points[next].amplitude - points[k - 1].amplitude) / std::log10(ratio);
}

}  // namespace analysis
