// The instrument's numeric replies: comma-separated decimal text, or the packed binary form in
// which each value takes a five-byte group. Pure functions.
#pragma once

#include <string>
#include <string_view>

namespace instrument {

// True when the reply is in the packed binary form (its first byte has the top bit set).
bool isPackedBinary(std::string_view reply);

// The value of one packed group (its first four bytes): exponent in the low 7 bits of byte 0 (signed),
// sign in bit 6 and a non-zero flag in bit 5 of byte 1, a 20-bit mantissa in bits 0-5 of byte 1 and
// the low 7 bits of bytes 2 and 3; value = mantissa / 2^20 * 2^exponent.
double decodePacked(const unsigned char* group);

// The text a packed single-value reply reads as: "%.5E" with the exponent's plus sign and one
// leading zero dropped (2.5 gives 2.50000E0, -0.001 gives -1.00000E-3).
std::string packedValueText(double value);

// Parses up to capacity values from text into values. Text form: comma-separated numbers; strict
// parsing accepts only fields of 8 to 11 characters with exactly one decimal point. Packed form:
// five-byte groups until the byte after a group is zero (or, strictly, a line feed); strictly, a
// comma inside a group's first four bytes is an error. Returns the count, or -1 on a strict error.
int parseValues(std::string_view text, double* values, int capacity, bool strict);

// A reply's values after an optional "WORD:nnnnn:" prefix (a seven-character word, a colon, a whole
// number, a colon): the number becomes the first value and the values start at the fifteenth
// character. Returns the count stored (the prefix included), as linkReadValues does.
int parseReplyValues(std::string_view reply, double* values, int capacity, bool strict);

}  // namespace instrument
