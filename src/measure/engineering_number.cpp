#include "measure/engineering_number.h"

#include <cmath>

namespace measure {
namespace {

// The multiplier a letter stands for, or 0 when it is none.
double multiplierOf(char c) {
    switch (c) {
    case 'f': case 'F': return 1e-15;
    case 'p': return 1e-12;
    case 'n': case 'N': return 1e-9;
    case 'u': case 'U': return 1e-6;
    case 'm': return 1e-3;
    case 'c': case 'C': return 1e-2;
    case 'd': return 1e-1;
    case 'D': return 10.0;
    case 'h': case 'H': return 100.0;
    case 'k': case 'K': return 1e3;
    case 'M': return 1e6;
    case 'g': case 'G': return 1e9;
    case 't': case 'T': return 1e12;
    case 'P': return 1e15;
    default: return 0.0;
    }
}

}  // namespace

double parseEngineeringNumber(const std::string& text, bool* valid) {
    if (valid) *valid = true;
    double sum = 0.0;
    double group = 0.0;        // digits of the current group
    double fractionScale = 0;  // 0 before the separator, then 0.1, 0.01, ...
    bool negative = false;
    bool inExponent = false, exponentNegative = false;
    int exponent = 0;

    auto closeGroup = [&](double multiplier) {
        sum += group * multiplier;
        group = 0.0;
        fractionScale = 0;
    };

    for (char c : text) {
        if (c >= '0' && c <= '9') {
            const int digit = c - '0';
            if (inExponent) {
                exponent = exponent * 10 + digit;
            } else if (fractionScale > 0) {
                group += digit * fractionScale;
                fractionScale /= 10.0;
            } else {
                group = group * 10.0 + digit;
            }
        } else if (c == '.' || c == ',') {
            if (fractionScale > 0 && valid) *valid = false;
            else if (fractionScale == 0) fractionScale = 0.1;
        } else if (c == '-') {
            if (inExponent) exponentNegative = true;
            else negative = true;
        } else if (c == 'E' || c == 'e') {
            closeGroup(1.0);
            inExponent = true;
        } else if (c == '+' && inExponent) {
            // a plus right after the exponent letter is skipped
        } else if (double m = multiplierOf(c); m != 0.0) {
            closeGroup(m);
        } else if (valid) {
            *valid = false;
            group = 0.0;
            fractionScale = 0;
        } else {
            closeGroup(1.0);
        }
    }
    closeGroup(1.0);
    const double value = sum * std::pow(10.0, exponentNegative ? -exponent : exponent);
    return negative ? -value : value;
}

}  // namespace measure
