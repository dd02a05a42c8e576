// How the analyser writes measured values on the wire: decimal text ("%.4E", one point, 8-11 characters)
// or the packed binary form (5-byte groups), plus the deliberately malformed forms used by fault injection.
#pragma once

#include <string>
#include <vector>

namespace sim {

// One value as decimal text, e.g. 1.2345E+03 or -4.0123E+01. Non-finite values are sent as 0; magnitudes
// beyond the three-digit exponents are clamped so that every field stays within 8-11 characters.
std::string formatText(double value);

// The same value without its decimal point (e.g. 12345E+03): what a faulty instrument sends.
std::string formatTextWithoutPoint(double value);

// One value as a packed binary group of four bytes (exponent byte, then sign/non-zero/mantissa bytes).
// Bit 7 is set in every byte, so that no byte is ever a comma, CR, LF or zero.
std::string formatBinary(double value);

// The value a binary group stands for (the receiving side's rule; used to check the encoder).
double decodeBinary(const std::string& group);

// A reply line of values without its line end: text fields joined by ",", or binary groups each followed
// by "," except the last. badField >= 0 writes the whole line as text with that field lacking its
// decimal point (the form a faulty instrument sends, whichever form was chosen).
std::string formatValues(const std::vector<double>& values, bool binary, int badField = -1);

}  // namespace sim
