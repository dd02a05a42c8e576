// UTF-8 text as the wide (UTF-16) Windows API takes it, and back. The program's texts are UTF-8;
// bytes that are not valid UTF-8 (texts written by the older ANSI program, kept in its databases)
// are taken as Windows Latin-1 (code page 1252) characters, so nothing turns into '?' or is lost.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace platform::win32 {

// A zero-terminated UTF-16 text, in the form the wide calls take and give.
class WideString {
public:
    WideString() : units_(1, 0) {}
    // count units taken as they are.
    WideString(const WCHAR* units, std::size_t count) : units_(units, units + count) { units_.push_back(0); }

    const WCHAR* c_str() const { return units_.data(); }
    WCHAR* data() { return units_.data(); }
    int length() const { return static_cast<int>(units_.size() - 1); }
    bool empty() const { return units_.size() == 1; }
    WCHAR operator[](std::size_t i) const { return units_[i]; }

    void reserve(std::size_t n) { units_.reserve(n + 1); }
    void append(WCHAR unit) { units_.back() = unit; units_.push_back(0); }

private:
    std::vector<WCHAR> units_;
};

// UTF-8 (with the Latin-1 fallback above) to UTF-16. Never fails.
WideString widen(std::string_view text);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string narrow(const WCHAR* text, std::size_t length);
inline std::string narrow(const WideString& text) { return narrow(text.c_str(), static_cast<std::size_t>(text.length())); }
// A zero-terminated UTF-16 text to UTF-8.
std::string narrow(const WCHAR* text);

// Text in a code page (CP_ACP: the ANSI code page of the A-functions) to UTF-16 and back, byte for
// byte as the A-functions convert.
WideString widenCodePage(std::string_view text, UINT codePage);
std::string narrowCodePage(const WCHAR* text, std::size_t length, UINT codePage);

// The program's UTF-8 text in the ANSI code page, for the A-functions, and back.
std::string toAnsi(std::string_view utf8);
std::string fromAnsi(std::string_view ansi);

}  // namespace platform::win32
