// Text shared by the sweep file writers: numbers in general form with 8 significant digits, and
// sweep names and dates made safe to stand in a file name.
#pragma once

#include <string>
#include <string_view>

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

// text padded on the left with zeros to width characters (longer text is kept whole).
std::string zeroPadded(std::string_view text, std::size_t width);

// A date written with separator in the order of its parts (dayFirst: day, month, year; otherwise
// month, day, year) as the stored YYYY-MM-DD, each part padded on the left with zeros to 4, 2 and 2
// characters: 1-7-2013 gives 2013-07-01. Text without two separators is no such date and is kept.
std::string storedDate(std::string_view text, char separator, bool dayFirst);

// folder, separator, the sweep's name, "_", its date as loaded (day-month-year), and extension
// (".csv", ".xml"); name and date made safe first, and dots that would start the file name (hiding
// the file) replaced by "_".
std::string sweepFilePath(const std::string& folder, const db::SweepRecord& sweep, const char* extension);

}  // namespace interchange
