// Identities that stay unique beyond one file: random UUIDs for records, SHA-256 for content.
#pragma once

#include <string>

namespace common {

// A new random (version 4) UUID, 36 characters, lower case: "3f2b...-....-4...-[89ab]...-...".
std::string newUuid();

// The SHA-256 digest of bytes as 64 lower-case hexadecimal digits.
std::string sha256Hex(const std::string& bytes);

}  // namespace common
