// What the FRA and impedance (LCR) results windows show in GRAPH mode: the sweep on display, the axis
// limits, scaling, background and cursors, the limits worked out when a sweep arrives, and the cursor
// moves and slope. Plain values the results window owns (one of each per window) and pure functions
// over them; user-interface thread only. None of them fails: where the data gives no answer (no point
// with a usable value) the limits stay as they were.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "analysis/plot_settings.h"
#include "db/records.h"

namespace analysis {

constexpr int kMaxDisplayPoints = 2000;

// The sweep a results window shows, as the pane copies it from the finished job. The step count is
// taken as it came and clamped by every reader (displayedPoints), so that a count from a damaged
// replay file cannot reach past the points.
struct FraDisplay {
    std::int32_t stepCount = 0;
    std::int32_t phaseRangeCode = 0;  // 0: -180..180 degrees, 1: -360..0, 2: 0..360; others as 0
    std::array<db::FraPoint, kMaxDisplayPoints> points{};
};

struct LcrDisplay {
    std::int32_t stepCount = 0;
    std::int32_t phaseRangeCode = 0;
    std::array<db::LcrPoint, kMaxDisplayPoints> points{};
};

// The points in use: the first stepCount, none for a negative count, at most kMaxDisplayPoints.
std::span<const db::FraPoint> displayedPoints(const FraDisplay& display);
std::span<const db::LcrPoint> displayedPoints(const LcrDisplay& display);

// The lowest value of the phase axis for a phase range code: -180, -360 or 0.
int phaseAxisBase(int phaseRangeCode);

// The frequency axis's ends, whole hertz, 1 <= min < max.
struct FrequencyLimits {
    int min = 10;
    int max = 10000000;
};

struct ValueLimits {
    double bottom = 0;
    double top = 0;
};

// The FRA window's graph settings. Scaling and background keep the order of their drop-down lists
// ("Log Scaling", "Linear Scaling"; "Black Background", "White Background").
struct FraView {
    FrequencyLimits frequency;
    ValueLimits gain{-40, 40};  // dB
    int cursor1 = 0;            // point indices
    int cursor2 = 0;
    bool centreZeroDb = false;  // "Centre 0dB on y-axis"
    bool logFrequency = true;
    int background = kBackgroundBlack;  // kBackgroundBlack or kBackgroundWhite
};

// The LCR window's graph settings. Axis quantities are numbered 1 to 7 in the lists' order
// ("ADMITTANCE", "ADMITTANCE PHASE", "IMPEDANCE", "IMPEDANCE PHASE", "L", "C", "R"), as lcrQuantity
// and lcrQuantityValue number them.
struct LcrView {
    FrequencyLimits frequency;
    int leftQuantity = 1;
    int rightQuantity = 2;
    ValueLimits left{0, 1};
    ValueLimits right{0, 1};
    int cursor1 = 0;
    int cursor2 = 0;
    bool logFrequency = true;
    int background = kBackgroundBlack;
};

// The frequency limits of a sweep: from 10 x floor(lowest / 10) (1 when that is 0) to
// 10 x ceil(highest / 10), a single frequency f giving f to f + 10. Negative and non-numeric
// frequencies are left out; without any other, current is returned.
FrequencyLimits sweepFrequencyLimits(std::span<const db::FraPoint> points, FrequencyLimits current);
FrequencyLimits sweepFrequencyLimits(std::span<const db::LcrPoint> points, FrequencyLimits current);

// The gain axis over the points within the frequency limits: their lowest and highest gain (a flat
// gain widened by 10 dB each way), with centreZeroDb the smaller limit mirrored from the larger, then
// bottom and top moved out to whole tens of dB. A flat 3 dB gives -10..20, centred -20..20.
ValueLimits fraGainLimits(std::span<const db::FraPoint> points, FrequencyLimits frequency, bool centreZeroDb,
                          ValueLimits current);

// An impedance axis over the points within the frequency limits: the lowest and highest value of the
// quantity (a flat one widened by 10 each way), each moved 5 % of its own size further out (-80..-10
// gives -84..-9.5).
ValueLimits lcrAxisLimits(std::span<const db::LcrPoint> points, FrequencyLimits frequency, int quantity,
                          ValueLimits current);

// A new sweep is on display: the frequency and value limits are worked out again and the cursors go
// to the first and the last point.
void showNewSweep(FraView& view, const FraDisplay& display);
void showNewSweep(LcrView& view, const LcrDisplay& display);
// The "Centre 0dB on y-axis" box was toggled: the gain limits follow the new setting.
void setCentreZeroDb(FraView& view, const FraDisplay& display, bool centre);
// Another quantity was chosen for the left or right LCR axis: that axis alone is worked out again.
void setLeftQuantity(LcrView& view, const LcrDisplay& display, int quantity);
void setRightQuantity(LcrView& view, const LcrDisplay& display, int quantity);

// A cursor scroll bar's message: one point left or right, or the thumb dragged to a position.
enum class CursorScroll { LineLeft, LineRight, Thumb };
// The cursor's new point, always within 0 .. stepCount - 1 (0 without points).
int scrollCursor(int cursor, CursorScroll action, int thumbPosition, int stepCount);
// A cursor index as the display can show it: clamped to the points in use.
int clampCursor(int cursor, int stepCount);

// The gain's slope at point k in dB per decade, from its neighbours: (g[k+1] - g[k-1]) /
// log10(f[k+1] / f[k-1]), point k standing in for k + 1 at the last point. 0 at the first point, out
// of range, or when the frequency ratio is not positive or is 1.
double cursorSlope(std::span<const db::FraPoint> points, int k);

}  // namespace analysis
