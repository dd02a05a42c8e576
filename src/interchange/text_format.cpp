#include "interchange/text_format.h"

#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace interchange {

std::string generalNumber(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.8g", value);
    return text;
}

std::string safeFileNamePart(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || std::strchr("\\/:*?\"<>|", c)) c = '_';
    return out;
}

std::string zeroPadded(std::string_view text, std::size_t width) {
    std::string out(text);
    if (out.size() < width) out.insert(0, width - out.size(), '0');
    return out;
}

std::string storedDate(std::string_view text, char separator, bool dayFirst) {
    const auto first = text.find(separator);
    const auto second = first == std::string_view::npos ? first : text.find(separator, first + 1);
    if (second == std::string_view::npos) return std::string(text);
    const auto a = text.substr(0, first), b = text.substr(first + 1, second - first - 1), year = text.substr(second + 1);
    const auto month = dayFirst ? b : a, day = dayFirst ? a : b;
    return zeroPadded(year, 4) + "-" + zeroPadded(month, 2) + "-" + zeroPadded(day, 2);
}

std::string sweepFilePath(const std::string& folder, const db::SweepRecord& sweep, const char* extension) {
    std::string name = safeFileNamePart(sweep.name) + "_" + safeFileNamePart(sweep.date) + extension;
    // A name that starts with a dot would be a hidden file on POSIX systems, out of the user's sight.
    for (std::size_t i = 0; i < name.size() && name[i] == '.'; ++i) name[i] = '_';
    return platform::joinPath(folder, name);
}

}  // namespace interchange
