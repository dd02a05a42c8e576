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

std::string sweepFilePath(const std::string& folder, const db::SweepRecord& sweep, const char* extension) {
    return platform::joinPath(folder, safeFileNamePart(sweep.name) + "_" + safeFileNamePart(sweep.date) + extension);
}

}  // namespace interchange
