// The rules of the graph window's Range dialog: the minimum and maximum typed for the left axis, the
// frequency axis or the right axis become that axis's range, adjusted or refused. Pure.
#pragma once

#include <string>

#include "analysis/plot_settings.h"

namespace analysis {

enum class RangeAxis { Left, Frequency, Right };

// What applying two typed values gives: the refusal's message ("" when accepted), and the values the
// axis takes, with which of them differ from what was typed (the dialog shows those again).
struct RangeEntry {
    std::string refusal;
    double min = 0, max = 0;
    bool minAdjusted = false, maxAdjusted = false;
};

// The axis's current range.
void currentRange(const AxisRanges& ranges, RangeAxis axis, double& min, double& max);

// Checks the typed texts (read as numbers the way atof reads them; no number reads as 0):
// - left axis limited to -200..200, right axis to -360..360;
// - frequency: a value of 0 or below is refused with "Invalid frequency values", one above 40 MHz
//   becomes 40 MHz, and a maximum less than 0.001 above the minimum becomes the minimum + 0.001;
// - a minimum not below the maximum, once limited, is refused with "The maximum frequency must be
//   greater than the minimum frequency" on every axis, so that no axis is ever empty or reversed.
RangeEntry checkRangeEntry(RangeAxis axis, const std::string& minText, const std::string& maxText);

// Sets the axis's range to min..max.
void setRange(AxisRanges& ranges, RangeAxis axis, double min, double max);

}  // namespace analysis
