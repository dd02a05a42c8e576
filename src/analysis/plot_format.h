// Number texts of the graphs and the sweep result windows: engineering notation with an SI prefix
// (2.5000 k) and the compact frequency label of the axes (2k5).
#pragma once

#include <cstddef>
#include <string>

namespace analysis {

// Engineering notation: four significant digits and a prefix from p to G ("2.5000 k", "500.00 m",
// "123.40 " ending in a blank when there is no prefix, "1.5000E12" outside the prefixes, "0.0000 " for
// zero). Values that are not numbers give printf's "nan" or "inf".
std::string FormatEngineering(double value);
// The same into a buffer of size bytes, of which at most size - 2 characters are used.
void FormatEngineering(double value, char* buffer, std::size_t size);

// The compact label of a whole frequency: the prefix letter takes the decimal point's place and
// trailing zeros go (2500 gives "2k5", 1000000 "1M", 100 "100").
std::string FormatFrequencyLabel(double value);
void FormatFrequencyLabel(double value, char* buffer, std::size_t size);

}  // namespace analysis
