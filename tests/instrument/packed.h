// Writing values in the instrument's packed binary form, to feed the program's readers in tests.
#pragma once

#include <cmath>
#include <string>
#include <vector>

namespace testing_support {

// One value as the four bytes of a packed group: 7-bit signed exponent with the top bit set; sign,
// non-zero flag and a 20-bit mantissa. Bit 7 of the mantissa bytes is set, as the instrument does,
// so that no data byte reads as a comma, a line end or a zero.
inline std::string packedGroup(double value) {
    unsigned char b[4] = {0x80, 0x80, 0x80, 0x80};
    if (value != 0.0) {
        int exponent = 0;
        double fraction = std::frexp(std::fabs(value), &exponent);  // value = fraction * 2^exponent, fraction in [0.5, 1)
        long mantissa = std::lround(fraction * (1 << 20));
        if (mantissa >= (1 << 20)) mantissa >>= 1, ++exponent;
        b[0] = static_cast<unsigned char>(0x80 | (exponent & 0x7F));
        b[1] = static_cast<unsigned char>(0x80 | (value < 0 ? 0x40 : 0) | ((mantissa >> 14) & 0x3F));
        b[2] = static_cast<unsigned char>(0x80 | ((mantissa >> 7) & 0x7F));
        b[3] = static_cast<unsigned char>(0x80 | (mantissa & 0x7F));
    }
    return std::string(reinterpret_cast<char*>(b), 4);
}

// Groups separated by commas, as one reply line without its line end.
inline std::string packedReply(const std::vector<double>& values) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) out += (i ? "," : "") + packedGroup(values[i]);
    return out;
}

}  // namespace testing_support
