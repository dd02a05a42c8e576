// Profile (INI) files: the program's settings files, read and written with the semantics of the
// Windows private-profile functions. Sections and keys compare without regard to case, every value
// is text. Any thread may call; calls on the same file are not serialised against each other.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The value of key in section of the profile file, or defaultValue when the file, the section or
// the key is missing. The result holds at most capacity - 1 bytes (capacity counts a terminator, as
// a caller's buffer would).
std::string getProfileString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& defaultValue, std::size_t capacity);

// The key's value read as a decimal integer (leading blanks and a sign allowed, reading stops at the
// first other character; no digits give 0), or defaultValue when the key is missing or empty.
int getProfileInt(const std::string& file, const std::string& section, const std::string& key, int defaultValue);

// Sets key in section to value, creating the file, the section or the key when missing and keeping
// every other line of the file. Returns false when the file cannot be written.
bool writeProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value);

}  // namespace platform
