// Engineering notation and the compact frequency label.
#include "analysis/plot_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace analysis {
namespace {

void copyInto(const std::string& text, char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) return;
    const std::size_t room = size >= 2 ? size - 2 : 0;
    const std::size_t n = std::min(text.size(), room);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

}  // namespace

std::string FormatEngineering(double value) {
    char text[64];
    if (value == 0.0) return "0.0000 ";
    if (!std::isfinite(value)) {
        std::snprintf(text, sizeof text, "%.4f", value);
        return text;
    }
    const double magnitude = std::fabs(value);
    const int b = static_cast<int>(std::floor(std::log10(magnitude)));
    int e = b > 0 ? 3 * (b / 3) : -3 * ((3 - b) / 3);
    // Whole powers of ten are exact, so the scaling divides or multiplies by one.
    double m = e >= 0 ? magnitude / std::pow(10.0, e) : magnitude * std::pow(10.0, -e);
    int decimals = 4;
    if (m >= 1000.0) {
        e += 3;
        m /= 1000.0;
    } else if (m >= 100.0) {
        decimals = 2;
    } else if (m >= 10.0) {
        decimals = 3;
    }
    const char* sign = value < 0 ? "-" : "";
    if (e >= -12 && e <= 9) {
        static const char* const kPrefixes[] = {"p", "n", "u", "m", "", "k", "M", "G"};
        std::snprintf(text, sizeof text, "%s%.*f %s", sign, decimals, m, kPrefixes[(e + 12) / 3]);
    } else {
        std::snprintf(text, sizeof text, "%s%.*fE%d", sign, decimals, m, e);
    }
    return text;
}

void FormatEngineering(double value, char* buffer, std::size_t size) {
    copyInto(FormatEngineering(value), buffer, size);
}

std::string FormatFrequencyLabel(double value) {
    std::string text = FormatEngineering(std::isfinite(value) ? std::trunc(value) : value);
    const std::size_t blank = text.find(' ');
    // The exponent form has no blank and no prefix: it stands as it is rather than being cut to its
    // leading digit.
    if (blank == std::string::npos) return text;
    const std::string prefix = text.substr(blank + 1);
    text.resize(blank);
    const std::size_t point = text.find('.');
    if (point == std::string::npos) return text;
    if (prefix.empty()) {
        text.resize(point);
        return text;
    }
    text[point] = prefix[0];
    while (text.size() > point + 1 && text.back() == '0') text.pop_back();
    return text;
}

void FormatFrequencyLabel(double value, char* buffer, std::size_t size) {
    copyInto(FormatFrequencyLabel(value), buffer, size);
}

}  // namespace analysis
