// The graph window's appearance in the program's settings file: the section "GraphSettings" (axes,
// background, cursors) and one section "Plot%dSettings" per sweep slot (curves and cursor colours).
// Any thread may call, as the profile functions allow; the caller owns the values read and written.
#pragma once

#include <string>

#include "analysis/plot_settings.h"

namespace analysis {

// Reads all the graph's settings and the nine plots' from file; a missing or unusable key (a weight
// outside 1-3, a colour index outside 0-18, a manual range whose minimum is not below its maximum or
// a frequency of 0 or below) keeps its default. Manual ranges are read only for the axes whose
// scaling is manual. The custom background colour joins colours unless it is there already.
void readGraphSettings(const std::string& file, GraphSettings& settings, AxisRanges& ranges,
                       CustomColourList& colours);

// Writes the graph's settings and those of the plots of the first plotCount slots. A manual range
// is written only for an axis scaled by hand, a custom colour only where it is selected. False when
// the file cannot be written.
bool writeGraphSettings(const std::string& file, const GraphSettings& settings, const AxisRanges& ranges,
                        int plotCount);

}  // namespace analysis
