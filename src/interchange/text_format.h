// Text shared by the sweep file writers: numbers in general form with 8 significant digits, and
// sweep names and dates made safe to stand in a file name.
#pragma once

#include <string>

#include "db/records.h"

namespace interchange {

// General form with 8 significant digits: plain decimal without trailing zeros for moderate
// exponents, otherwise a mantissa and a signed exponent of at least two digits (20000000, 0.5,
// 1.2345679e-05, 1.2345679e+08).
std::string generalNumber(double value);

// text with every character that cannot stand in a file name, or would lead out of the chosen
// folder, replaced by "_": the path separators \ and /, the drive colon, * ? " < > | and control
// characters.
std::string safeFileNamePart(const std::string& text);

// folder, separator, the sweep's name, "_", its date as loaded (day-month-year), and extension
// (".csv", ".xml"); name and date made safe first.
std::string sweepFilePath(const std::string& folder, const db::SweepRecord& sweep, const char* extension);

}  // namespace interchange
