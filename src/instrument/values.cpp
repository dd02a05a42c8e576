#include "instrument/values.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/debug_output.h"

namespace instrument {
namespace {

constexpr int kGroupSize = 5;

int parseText(std::string_view text, double* values, int capacity, bool strict) {
    int count = 0;
    std::size_t start = 0;
    while (count < capacity) {
        std::size_t comma = text.find(',', start);
        std::string field(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (strict) {
            std::size_t points = 0;
            for (char c : field) points += c == '.';
            if (points != 1 || field.size() < 8 || field.size() > 11) return -1;
        }
        values[count++] = std::atof(field.c_str());
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return count;
}

int parsePacked(std::string_view text, double* values, int capacity, bool strict) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    int count = 0;
    for (std::size_t at = 0; count < capacity; at += kGroupSize) {
        if (at + 4 > size) return strict && at < size ? -1 : count;  // a group cut short
        if (strict && (bytes[at] == ',' || bytes[at + 1] == ',' || bytes[at + 2] == ',' || bytes[at + 3] == ','))
            return -1;
        values[count++] = decodePacked(bytes + at);
        // The byte after the group: a zero (the end of the text counts as one) ends the values.
        unsigned char next = at + 4 < size ? bytes[at + 4] : 0;
        if (next == 0 || (strict && next == '\n')) break;
    }
    return count;
}

}  // namespace

bool isPackedBinary(std::string_view reply) {
    return !reply.empty() && (static_cast<unsigned char>(reply[0]) & 0x80) != 0;
}

double decodePacked(const unsigned char* g) {
    if (!(g[1] & 0x20)) return 0.0;
    int exponent = g[0] & 0x7F;
    if (exponent & 0x40) exponent -= 0x80;
    long mantissa = (static_cast<long>(g[1] & 0x3F) << 14) | (static_cast<long>(g[2] & 0x7F) << 7) | (g[3] & 0x7F);
    double value = std::ldexp(static_cast<double>(mantissa), exponent - 20);
    return (g[1] & 0x40) ? -value : value;
}

std::string packedValueText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*E", 5, value);
    std::string s = text;
    std::size_t e = s.find('E');
    if (e != std::string::npos) {
        if (e + 1 < s.size() && s[e + 1] == '+') s.erase(e + 1, 1);
        std::size_t digits = (e + 1 < s.size() && s[e + 1] == '-') ? e + 2 : e + 1;
        if (digits + 1 < s.size() && s[digits] == '0') s.erase(digits, 1);
    }
    return s;
}

int parseValues(std::string_view text, double* values, int capacity, bool strict) {
    if (text.empty()) return 0;
    int count = isPackedBinary(text) ? parsePacked(text, values, capacity, strict)
                                     : parseText(text, values, capacity, strict);
    if (count < 0) platform::debugOutput("*** INVALID DOUBLE FOUND ***\n");
    return count;
}

int parseReplyValues(std::string_view reply, double* values, int capacity, bool strict) {
    if (capacity <= 0) return 0;
    char word[8];
    int number = 0;
    const std::string text(reply);
    if (std::sscanf(text.c_str(), "%7s:%d:", word, &number) == 2) {
        values[0] = number;
        constexpr std::size_t kPrefix = 14;
        std::string_view rest = reply.size() > kPrefix ? reply.substr(kPrefix) : std::string_view();
        return parseValues(rest, values + 1, capacity - 1, strict) + 1;
    }
    return parseValues(reply, values, capacity, strict);
}

}  // namespace instrument
