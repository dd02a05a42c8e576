// The program's identity: product and maker names and the version texts.
#pragma once

#include <string>

namespace common {

inline constexpr const char* kProductName = "Corvane";
inline constexpr const char* kMakerName = "Veltrona";
// Version and build date, kept as one text.
inline constexpr const char* kVersionText = "v1_5 May  9 2023";
inline constexpr const char* kVersionMajor = "1";
inline constexpr const char* kVersionMinor = "5";
inline constexpr const char* kVersionBuild = "2";

// The main window's title: the product name, a blank and the version text up to its first blank.
inline std::string mainWindowTitle() {
    const std::string version = kVersionText;
    return std::string(kProductName) + " " + version.substr(0, version.find(' '));
}

}  // namespace common
