// The user's shell folders, looked up by their CSIDL numbers.
#pragma once

#include <string>

namespace platform {

constexpr int kFolderDocuments = 5;        // the user's documents folder
constexpr int kFolderLocalAppData = 28;    // the user's local application-data folder

// Puts the folder's path (without a trailing separator) into out. Returns false when the folder
// cannot be found; out is then unchanged.
bool localAppDataFolder(int csidl, std::string& out);

// The user's folder for temporary files (without a trailing separator). Returns false when there is
// none; out is then unchanged.
bool temporaryFolder(std::string& out);

}  // namespace platform
