// How the receiving program reads the analyser's replies, written out independently of the simulator:
// lines ending in CR LF, strict decimal fields, packed binary groups.
#pragma once

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace simtest {

// Splits reply bytes into lines; every line must end in "\r\n" (a partial tail is returned as the
// last element with a "<partial>" marker so that tests notice it).
inline std::vector<std::string> splitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto lf = bytes.find('\n', start);
        if (lf == std::string::npos) {
            lines.push_back("<partial>" + bytes.substr(start));
            break;
        }
        std::string line = bytes.substr(start, lf - start);
        if (line.empty() || line.back() != '\r') {
            lines.push_back("<no CR>" + line);
        } else {
            line.pop_back();
            lines.push_back(line);
        }
        start = lf + 1;
    }
    return lines;
}

// Strict text parsing: every comma-separated field has exactly one decimal point and 8 to 11
// characters, and converts completely. False on the first field that breaks the rule.
inline bool parseStrict(const std::string& line, std::vector<double>& values) {
    values.clear();
    std::size_t start = 0;
    for (;;) {
        const auto comma = line.find(',', start);
        const std::string field = line.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        std::size_t dots = 0;
        for (char c : field) dots += c == '.';
        if (dots != 1 || field.size() < 8 || field.size() > 11) return false;
        char* end = nullptr;
        const double v = std::strtod(field.c_str(), &end);
        if (end != field.c_str() + field.size()) return false;
        values.push_back(v);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

// Packed binary line: 5-byte groups (4 value bytes and a separator), the last one without separator.
inline bool parseBinary(const std::string& line, std::vector<double>& values) {
    values.clear();
    if (line.empty() || !(static_cast<unsigned char>(line[0]) & 0x80)) return false;
    for (std::size_t i = 0; i + 4 <= line.size(); i += 5) {
        const auto b = [&](std::size_t k) { return static_cast<unsigned char>(line[i + k]); };
        for (std::size_t k = 1; k < 4; ++k)
            if (b(k) == ',') return false;
        double v = 0;
        if (b(1) & 0x20) {
            int e = b(0) & 0x7F;
            if (e & 0x40) e -= 128;
            const long m = (static_cast<long>(b(1) & 0x3F) << 14) | ((b(2) & 0x7F) << 7) | (b(3) & 0x7F);
            v = std::ldexp(m / 1048576.0, e);
            if (b(1) & 0x40) v = -v;
        }
        values.push_back(v);
        if (i + 4 < line.size() && line[i + 4] != ',') return false;
    }
    return line.size() % 5 == 4;
}

}  // namespace simtest
