// Sweeps written as text files of comma-separated values: the sweep report (one file per sweep, its
// transformer, equipment, setup and sweep details, then the points) and the impedance pane's
// impedance table. Both are read back by csv_import.h. User-interface thread only (they ask questions).
#pragma once

#include <string>
#include <vector>

#include "db/records.h"

namespace interchange {

// Writes one sweep report per filled bundle (marker above 0), in order, to
// sweepFilePath(folder, sweep, ".csv"). A sweep without points is written (header and column line
// only) when the user answers Yes to "Warning: Empty test selected"; an existing file is replaced when
// the user answers Yes to "Overwrite test?". A file that cannot be written is skipped without a
// message and leaves nothing behind. Returns how many files were written.
int exportSweepReports(const std::string& folder, const std::vector<db::SweepBundle>& bundles);

// name with ".csv" appended when its last path component holds no "." (either "\" or "/" ends a
// folder name).
std::string impedanceTablePath(const std::string& name);

// Writes the impedance table of points to impedanceTablePath(fileName). Without points it shows
// "There is no test data to export" ("Export Error") and writes nothing. False when nothing was
// written: no points, an empty file name, or a file that cannot be written (nothing is left behind).
bool exportImpedanceTable(const std::string& fileName, const std::vector<db::LcrPoint>& points);

}  // namespace interchange
