// UTF-8, the encoding of every text in the program: reading one character of it and writing one.
// Texts that came from the older ANSI program are not always UTF-8; each reader decides what a byte
// that does not start a valid sequence stands for.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace common {

// The UTF-8 sequence that starts at text[i]: its length, with its code point in c; 0 when the byte
// there does not start a valid sequence (a stray or truncated byte, an overlong form, a surrogate or
// a value beyond Unicode).
std::size_t utf8Sequence(std::string_view text, std::size_t i, char32_t& c);

// Appends the code point c in UTF-8.
void appendUtf8(std::string& out, char32_t c);

}  // namespace common
