// The Range dialog's rules.
#include "analysis/range_entry.h"

#include <algorithm>
#include <cstdlib>

namespace analysis {
namespace {

constexpr double kMaxFrequency = 40000000;  // 40 MHz
constexpr double kMinFrequencySpan = 0.001;
constexpr const char* kNotAscending = "The maximum frequency must be greater than the minimum frequency";
constexpr const char* kInvalidFrequency = "Invalid frequency values";

// Limits both values to -limit..limit. NaN stays NaN, and is then refused as not ascending.
void limit(RangeEntry& e, double bound) {
    const double min = std::clamp(e.min, -bound, bound), max = std::clamp(e.max, -bound, bound);
    e.minAdjusted = min != e.min;
    e.maxAdjusted = max != e.max;
    e.min = min;
    e.max = max;
}

}  // namespace

void currentRange(const AxisRanges& ranges, RangeAxis axis, double& min, double& max) {
    switch (axis) {
    case RangeAxis::Left: min = ranges.leftMin, max = ranges.leftMax; break;
    case RangeAxis::Frequency: min = ranges.frequencyMin, max = ranges.frequencyMax; break;
    case RangeAxis::Right: min = ranges.rightMin, max = ranges.rightMax; break;
    }
}

RangeEntry checkRangeEntry(RangeAxis axis, const std::string& minText, const std::string& maxText) {
    RangeEntry e;
    e.min = std::strtod(minText.c_str(), nullptr);
    e.max = std::strtod(maxText.c_str(), nullptr);
    if (axis != RangeAxis::Frequency) {
        limit(e, axis == RangeAxis::Left ? 200 : 360);
        if (!(e.min < e.max)) e.refusal = kNotAscending;
        return e;
    }
    if (!(e.min < e.max)) {
        e.refusal = kNotAscending;
    } else if (e.min <= 0) {
        e.refusal = kInvalidFrequency;
    } else {
        if (e.min > kMaxFrequency) e.min = kMaxFrequency, e.minAdjusted = true;
        if (e.max > kMaxFrequency) e.max = kMaxFrequency, e.maxAdjusted = true;
        if (e.max - e.min < kMinFrequencySpan) e.max = e.min + kMinFrequencySpan, e.maxAdjusted = true;
    }
    return e;
}

void setRange(AxisRanges& ranges, RangeAxis axis, double min, double max) {
    switch (axis) {
    case RangeAxis::Left: ranges.leftMin = min, ranges.leftMax = max; break;
    case RangeAxis::Frequency: ranges.frequencyMin = min, ranges.frequencyMax = max; break;
    case RangeAxis::Right: ranges.rightMin = min, ranges.rightMax = max; break;
    }
}

}  // namespace analysis
