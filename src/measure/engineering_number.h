// Numbers as engineers type them: digits with "." or "," as the decimal separator, an exponent
// ("E" or "e"), and SI multiplier letters that may also stand for the decimal point (1k5 is 1500...
// as the program has always read it, 1005: each letter closes a group that is multiplied and summed).
#pragma once

#include <string>

namespace measure {

// The value of text. With valid given, it is cleared by a second separator in one group or by a
// character that is neither a digit, a separator, a sign, an exponent nor a multiplier (the group
// it ends is then dropped); without it such a character simply closes the group. "" gives 0.
double parseEngineeringNumber(const std::string& text, bool* valid = nullptr);

}  // namespace measure
