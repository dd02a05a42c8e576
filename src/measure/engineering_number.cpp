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
    double group = 0.0;  // digits of the current group
    // After the separator: the weight of the next digit. It may run down to 0 on a long fraction,
    // whose further digits then no longer count, so whether the separator was seen is kept apart.
    bool inFraction = false;
    double fractionScale = 0;
    bool negative = false;
    bool inExponent = false, exponentNegative = false;
    // Any exponent beyond this already gives infinity or 0; longer digit runs must not overflow it.
    constexpr int kExponentLimit = 100000;
    int exponent = 0;

    auto closeGroup = [&](double multiplier) {
        sum += group * multiplier;
        group = 0.0;
        inFraction = false;
    };

    for (char c : text) {
        if (c >= '0' && c <= '9') {
            const int digit = c - '0';
            if (inExponent) {
                if (exponent < kExponentLimit) exponent = exponent * 10 + digit;
            } else if (inFraction) {
                group += digit * fractionScale;
                fractionScale /= 10.0;
            } else {
                group = group * 10.0 + digit;
            }
        } else if (c == '.' || c == ',') {
            if (inFraction && valid) {
                *valid = false;
            } else if (!inFraction) {
                inFraction = true;
                fractionScale = 0.1;
            }
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
            inFraction = false;
        } else {
            closeGroup(1.0);
        }
    }
    closeGroup(1.0);
    // Zero stays zero under any exponent (0 times an infinite power of ten is no number).
    const double value = sum == 0.0 ? 0.0 : sum * std::pow(10.0, exponentNegative ? -exponent : exponent);
    return negative ? -value : value;
}

}  // namespace measure
