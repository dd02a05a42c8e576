// A measured sweep that the database would not take (its file locked for longer than the program
// waits, a full disk, a file gone) kept in a file instead, so that the measurement is never lost: an
// FRA sweep as IEC 60076-18 XML, an LCR sweep as the impedance table; both import again.
#pragma once

#include <string>

#include "db/records.h"

namespace interchange {

// The file a sweep is kept in when the user gives none: in folder, named after the sweep's name and
// date as the exports name their files, with " (2)", " (3)", ... before the extension when the name
// is taken.
std::string unstoredSweepPath(const db::SweepRecord& sweep, const std::string& folder);

// Writes the sweep (date as stored, YYYY-MM-DD) to path, with what the database can still tell of its
// transformer, setup and equipment. False when the file cannot be written.
bool keepUnstoredSweep(const db::SweepRecord& sweep, const std::string& path);

}  // namespace interchange
