// Files and folders on Windows: thin wrappers over the wide file-attribute, directory and find
// calls, so that a folder with any character in its name is found.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include "platform/files.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

// The path as a wide string the Windows API takes.
win32::WideString systemPath(const std::string& path) { return win32::widen(path); }

bool isSeparator(char c) { return c == '/' || c == pathSeparator(); }

std::vector<std::string> listEntries(const std::string& folder, bool folders) {
    std::vector<std::string> names;
    if (folder.empty()) return names;
    WIN32_FIND_DATAW found;
    win32::WideString pattern = systemPath(joinPath(folder, "*"));
    HANDLE search = FindFirstFileW(pattern.data(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = win32::narrow(found.cFileName);
        if (name.empty() || name == "." || name == "..") continue;
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool isDevice = (found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0;
        if (folders ? isFolder : (!isFolder && !isDevice)) names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

char pathSeparator() { return '\\'; }

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const bool folderEnds = isSeparator(folder.back());
    const bool nameStarts = !name.empty() && isSeparator(name.front());
    if (folderEnds && nameStarts) return folder + name.substr(1);
    if (folderEnds || nameStarts) return folder + name;
    return folder + pathSeparator() + name;
}

bool fileExists(const std::string& path) {
    if (path.empty()) return false;
    return GetFileAttributesW(systemPath(path).data()) != INVALID_FILE_ATTRIBUTES;
}

bool makeDirectory(const std::string& path) {
    return !path.empty() && CreateDirectoryW(systemPath(path).data(), nullptr) != 0;
}

// Not the C runtime's rename, which fails on Windows when to exists.
bool replaceFile(const std::string& from, const std::string& to) {
    return !from.empty() && !to.empty() &&
           MoveFileExW(systemPath(from).data(), systemPath(to).data(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::string programFolder() {
    std::vector<WCHAR> own(32768);  // the longest path Windows has
    const DWORD length = GetModuleFileNameW(nullptr, own.data(), static_cast<DWORD>(own.size()));
    if (length == 0 || length >= own.size()) return std::string();
    const std::string path = win32::narrow(own.data(), length);
    return path.substr(0, path.find_last_of('\\'));
}

bool deleteFile(const std::string& path) { return !path.empty() && DeleteFileW(systemPath(path).data()) != 0; }

std::vector<std::string> listFiles(const std::string& folder) { return listEntries(folder, false); }
std::vector<std::string> listFolders(const std::string& folder) { return listEntries(folder, true); }

bool setFileHidden(const std::string& path) {
    if (path.empty()) return false;
    win32::WideString wide = systemPath(path);
    const DWORD attributes = GetFileAttributesW(wide.data());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    // FILE_ATTRIBUTE_NORMAL is valid only alone.
    return SetFileAttributesW(wide.data(), (attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL)) |
                                               FILE_ATTRIBUTE_HIDDEN) != 0;
}

std::string currentDirectory() {
    // The size asked for includes the terminator; the directory may change between the two calls.
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD needed = GetCurrentDirectoryW(0, nullptr);
        if (needed == 0) return std::string();
        std::vector<WCHAR> buffer(needed + 1, 0);
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) return std::string();
        if (length < buffer.size()) return win32::narrow(buffer.data(), length);
    }
    return std::string();
}

bool setCurrentDirectory(const std::string& path) {
    return !path.empty() && SetCurrentDirectoryW(systemPath(path).data()) != 0;
}

}  // namespace platform
