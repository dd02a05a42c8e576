// Text and packed binary forms of measured values.
#include "number_format.h"

#include <cmath>
#include <cstdio>

namespace sim {

namespace {

// Keeps a value inside what "%.4E" prints in at most 11 characters with a sign: |v| < 1e100, and
// values too small for a two-digit negative exponent become 0.
double clampForText(double value) {
    if (!std::isfinite(value)) return 0.0;
    if (std::fabs(value) < 1e-99) return 0.0;
    if (std::fabs(value) >= 9.9999e99) return std::copysign(9.9999e99, value);
    return value;
}

}  // namespace

std::string formatText(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4E", clampForText(value));
    return buffer;
}

std::string formatTextWithoutPoint(double value) {
    std::string text = formatText(value);
    const auto dot = text.find('.');
    if (dot != std::string::npos) text.erase(dot, 1);
    return text;
}

std::string formatBinary(double value) {
    constexpr int kMantissaBits = 20;
    unsigned char bytes[4] = {0x80, 0x80, 0x80, 0x80};
    if (std::isfinite(value) && value != 0.0) {
        int exponent = 0;
        const double fraction = std::frexp(std::fabs(value), &exponent);  // 0.5 <= fraction < 1
        long mantissa = std::lround(fraction * (1L << kMantissaBits));
        if (mantissa == (1L << kMantissaBits)) {
            mantissa >>= 1;
            ++exponent;
        }
        // The exponent is a signed 7-bit number: smaller values read as zero, larger ones saturate.
        if (exponent >= -64) {
            if (exponent > 63) {
                exponent = 63;
                mantissa = (1L << kMantissaBits) - 1;
            }
            bytes[0] = static_cast<unsigned char>(0x80 | (exponent & 0x7F));
            bytes[1] = static_cast<unsigned char>(0x80 | (value < 0 ? 0x40 : 0) | 0x20 | ((mantissa >> 14) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | ((mantissa >> 7) & 0x7F));
            bytes[3] = static_cast<unsigned char>(0x80 | (mantissa & 0x7F));
        }
    }
    return std::string(reinterpret_cast<const char*>(bytes), 4);
}

double decodeBinary(const std::string& group) {
    if (group.size() < 4) return 0.0;
    const auto b = [&](int i) { return static_cast<unsigned char>(group[i]); };
    if (!(b(1) & 0x20)) return 0.0;
    int exponent = b(0) & 0x7F;
    if (exponent & 0x40) exponent -= 128;
    const long mantissa = (static_cast<long>(b(1) & 0x3F) << 14) | ((b(2) & 0x7F) << 7) | (b(3) & 0x7F);
    const double magnitude = std::ldexp(static_cast<double>(mantissa) / (1L << 20), exponent);
    return (b(1) & 0x40) ? -magnitude : magnitude;
}

std::string formatValues(const std::vector<double>& values, bool binary, int badField) {
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) line += ',';
        // A malformed field is always written as text, so a binary instrument's faulty line is text too.
        if (binary && badField < 0) {
            line += formatBinary(values[i]);
        } else {
            line += static_cast<int>(i) == badField ? formatTextWithoutPoint(values[i]) : formatText(values[i]);
        }
    }
    return line;
}

}  // namespace sim
