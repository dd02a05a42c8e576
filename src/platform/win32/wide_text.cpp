// UTF-8 and UTF-16 conversions for the wide Windows API, written out so that they behave the same
// on Windows and under Wine whatever the code pages are.
#include "platform/win32/wide_text.h"

#include <cstdint>

#include "common/utf8.h"

namespace platform::win32 {
namespace {

// Code page 1252's characters for the bytes 0x80 to 0x9F; the other bytes are Latin-1 itself.
// The five bytes that 1252 leaves unassigned keep their Latin-1 (control) values.
constexpr std::uint16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf16(WideString& out, std::uint32_t cp) {
    if (cp < 0x10000) {
        out.append(static_cast<WCHAR>(cp));
    } else {
        cp -= 0x10000;
        out.append(static_cast<WCHAR>(0xD800 | (cp >> 10)));
        out.append(static_cast<WCHAR>(0xDC00 | (cp & 0x3FF)));
    }
}


}  // namespace

WideString widen(std::string_view text) {
    WideString out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        char32_t cp;
        const std::size_t length = common::utf8Sequence(text, i, cp);
        if (length == 0) {
            appendUtf16(out, b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : b);
            ++i;
        } else {
            appendUtf16(out, cp);
            i += length;
        }
    }
    return out;
}

std::string narrow(const WCHAR* text, std::size_t length) {
    std::string out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        std::uint32_t cp = static_cast<std::uint16_t>(text[i]);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < length) {
            const std::uint32_t low = static_cast<std::uint16_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            } else {
                cp = 0xFFFD;
            }
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        common::appendUtf8(out, cp);
    }
    return out;
}

std::string narrow(const WCHAR* text) { return narrow(text, static_cast<std::size_t>(lstrlenW(text))); }

WideString widenCodePage(std::string_view text, UINT codePage) {
    const int length = static_cast<int>(text.size());
    const int needed = text.empty() ? 0 : MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return WideString();
    std::vector<WCHAR> units(static_cast<std::size_t>(needed));
    MultiByteToWideChar(codePage, 0, text.data(), length, units.data(), needed);
    return WideString(units.data(), units.size());
}

std::string narrowCodePage(const WCHAR* text, std::size_t length, UINT codePage) {
    const int count = static_cast<int>(length);
    const int needed = count == 0 ? 0 : WideCharToMultiByte(codePage, 0, text, count, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return std::string();
    std::string out(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, text, count, out.data(), needed, nullptr, nullptr);
    return out;
}

std::string toAnsi(std::string_view utf8) {
    const WideString wide = widen(utf8);
    return narrowCodePage(wide.c_str(), static_cast<std::size_t>(wide.length()), CP_ACP);
}

std::string fromAnsi(std::string_view ansi) { return narrow(widenCodePage(ansi, CP_ACP)); }

}  // namespace platform::win32
