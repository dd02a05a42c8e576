// UTF-8 to UTF-16 and back, with the Windows Latin-1 reading of bytes that are not UTF-8.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/wide_text.h"

namespace {

std::vector<unsigned> unitsOf(const platform::win32::WideString& w) {
    std::vector<unsigned> units;
    for (int i = 0; i < w.length(); ++i) units.push_back(static_cast<unsigned>(w[i]));
    return units;
}

TEST(WideText, Utf8BecomesUtf16IncludingPairsBeyondTheBasicPlane) {
    EXPECT_EQ(unitsOf(platform::win32::widen("")), (std::vector<unsigned>{}));
    EXPECT_EQ(unitsOf(platform::win32::widen("dB")), (std::vector<unsigned>{'d', 'B'}));
    EXPECT_EQ(unitsOf(platform::win32::widen("\xC2\xB0")), (std::vector<unsigned>{0xB0}));
    EXPECT_EQ(unitsOf(platform::win32::widen("\xE2\x82\xAC")), (std::vector<unsigned>{0x20AC}));
    EXPECT_EQ(unitsOf(platform::win32::widen("\xF0\x9F\x93\x88")), (std::vector<unsigned>{0xD83D, 0xDCC8}));
    EXPECT_EQ(platform::win32::widen("abc").c_str()[3], 0) << "zero-terminated";
}

TEST(WideText, BytesThatAreNotUtf8AreReadAsWindowsLatin1) {
    // A lone 0xB0 ("°" written by an ANSI program), 0x80 (the euro sign in code page 1252), an
    // overlong "/" and a cut-off sequence at the end.
    EXPECT_EQ(unitsOf(platform::win32::widen("\xB0" "C")), (std::vector<unsigned>{0xB0, 'C'}));
    EXPECT_EQ(unitsOf(platform::win32::widen("\x80")), (std::vector<unsigned>{0x20AC}));
    EXPECT_EQ(unitsOf(platform::win32::widen("\xC0\xAF")), (std::vector<unsigned>{0xC0, 0xAF}));
    EXPECT_EQ(unitsOf(platform::win32::widen("a\xE2\x82")), (std::vector<unsigned>{'a', 0xE2, 0x201A}));
    EXPECT_EQ(unitsOf(platform::win32::widen("\xED\xA0\x80")), (std::vector<unsigned>{0xED, 0xA0, 0x20AC}))
        << "an encoded surrogate is not UTF-8";
}

TEST(WideText, Utf16ComesBackAsTheSameUtf8) {
    for (const std::string text : {"PHASE (\xC2\xB0)", "\xE2\x82\xAC 12", "\xF0\x9F\x93\x88 x", "plain"})
        EXPECT_EQ(platform::win32::narrow(platform::win32::widen(text)), text);
    const WCHAR lone[] = {'a', 0xD800, 'b'};
    EXPECT_EQ(platform::win32::narrow(lone, 3), "a\xEF\xBF\xBD" "b");
}

}  // namespace
