// Profile (INI) files on Windows: the system's private-profile functions. File names go through the
// wide calls so that a folder with any character in its name is found; sections, keys and values
// are converted with the ANSI code page both ways, exactly as the ANSI calls would, so that the
// bytes of a value come back as they were written.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include "platform/profile.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

// The file's full drive path. A bare file name would otherwise be looked for in the Windows folder.
win32::WideString profilePath(const std::string& file) {
    const win32::WideString given = win32::widen(file);
    const DWORD needed = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return given;
    std::vector<WCHAR> full(needed + 1, 0);
    const DWORD length = GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    return (length == 0 || length >= full.size()) ? given : win32::WideString(full.data(), length);
}

win32::WideString text(const std::string& s) { return win32::widenCodePage(s, CP_ACP); }

}  // namespace

std::string getProfileString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& defaultValue, std::size_t capacity) {
    if (capacity == 0) return std::string();
    // capacity units of UTF-16 give at least capacity - 1 bytes back; the result is cut to bytes below.
    const DWORD units = static_cast<DWORD>(capacity < 65536 ? capacity : 65536);
    std::vector<WCHAR> buffer(units, 0);
    const DWORD length = GetPrivateProfileStringW(text(section).data(), text(key).data(), text(defaultValue).data(),
                                                  buffer.data(), units, profilePath(file).data());
    std::string result = win32::narrowCodePage(buffer.data(), length, CP_ACP);
    if (result.size() > capacity - 1) result.resize(capacity - 1);
    return result;
}

int getProfileInt(const std::string& file, const std::string& section, const std::string& key, int defaultValue) {
    return static_cast<int>(
        GetPrivateProfileIntW(text(section).data(), text(key).data(), defaultValue, profilePath(file).data()));
}

bool writeProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
    return WritePrivateProfileStringW(text(section).data(), text(key).data(), text(value).data(),
                                      profilePath(file).data()) != 0;
}

}  // namespace platform
