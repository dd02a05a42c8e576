// Text between the core and the wide Windows calls. The core's texts are UTF-8; paths and names go
// to the Windows API as UTF-16 so that no character is lost to the ANSI code page. Built with
// wineg++, wchar_t is 16 bits wide: the buffers here are vectors of WCHAR rather than std::wstring,
// whose compiled library code assumes the host's 32-bit wchar_t.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace platform::win32 {

// text in the given code page as a zero-terminated UTF-16 string.
inline std::vector<WCHAR> toWide(const std::string& text, UINT codePage = CP_UTF8) {
    std::vector<WCHAR> wide(1, 0);
    if (text.empty()) return wide;
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return wide;
    wide.assign(static_cast<std::size_t>(needed) + 1, 0);
    MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
    return wide;
}

// count UTF-16 units (or, with count < 0, a zero-terminated string) in the given code page.
inline std::string fromWide(const WCHAR* wide, int count = -1, UINT codePage = CP_UTF8) {
    if (!wide || count == 0) return std::string();
    const int needed = WideCharToMultiByte(codePage, 0, wide, count, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return std::string();
    std::string text(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, wide, count, text.data(), needed, nullptr, nullptr);
    if (count < 0 && !text.empty() && text.back() == '\0') text.pop_back();  // the converted terminator
    return text;
}

}  // namespace platform::win32
