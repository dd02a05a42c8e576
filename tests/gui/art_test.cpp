// The drawn artwork loads through the system's own image loaders at the sizes the program asks for.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/support/host_process.h"
#include "platform/win32/wide_text.h"

namespace {

HANDLE loadFromFile(const std::string& name, UINT type, int size) {
    const platform::win32::WideString path = platform::win32::widen(gui_testing::windowsPath(CORVANE_ART_DIR) + "\\" + name);
    return LoadImageW(nullptr, path.c_str(), type, size, size, LR_LOADFROMFILE | (type == IMAGE_BITMAP ? LR_CREATEDIBSECTION : 0));
}

// Draws icon over red and returns the colours of a corner and of the centre.
std::pair<COLORREF, COLORREF> cornerAndCentre(HICON icon, int size) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP surface = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ previous = SelectObject(dc, surface);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, size, size};
    FillRect(dc, &all, red);
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    const auto result = std::make_pair(GetPixel(dc, 0, 0), GetPixel(dc, size / 2, size / 2));
    DeleteObject(red);
    SelectObject(dc, previous);
    DeleteObject(surface);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return result;
}

TEST(Artwork, TheLogoIsA141By20BitmapOnTheButtonFace) {
    HBITMAP logo = static_cast<HBITMAP>(loadFromFile("logo.bmp", IMAGE_BITMAP, 0));
    ASSERT_NE(logo, nullptr);
    DIBSECTION dib{};
    ASSERT_EQ(GetObject(logo, sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmWidth, 141);
    EXPECT_EQ(dib.dsBm.bmHeight, 20);
    EXPECT_EQ(dib.dsBmih.biBitCount, 24);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, logo);
    EXPECT_EQ(GetPixel(dc, 140, 0), RGB(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(GetPixel(dc, 0, 19), RGB(0xF0, 0xF0, 0xF0));
    int ink = 0;  // the name itself: dark pixels in the middle band
    for (int x = 30; x < 120; ++x)
        for (int y = 2; y < 14; ++y) ink += GetRValue(GetPixel(dc, x, y)) < 0x60;
    EXPECT_GT(ink, 200);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(logo);
}

TEST(Artwork, TheProgramIconHasBothSizesWithTransparentCorners) {
    for (int size : {16, 32}) {
        HICON icon = static_cast<HICON>(loadFromFile("corvane.ico", IMAGE_ICON, size));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        GetObject(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        const auto [corner, centre] = cornerAndCentre(icon, size);
        EXPECT_EQ(corner, RGB(255, 0, 0)) << "corner of the " << size << " pixel icon";
        EXPECT_NE(centre, RGB(255, 0, 0)) << "centre of the " << size << " pixel icon";
        DestroyIcon(icon);
    }
}

TEST(Artwork, EveryToolIconIsDrawnAt24Pixels) {
    const std::vector<std::string> tools = {"new_database", "open_database", "import", "export_xml",
                                            "export_csv", "export_excel", "diagnose", "graph",
                                            "add", "edit", "delete", "settings", "fleet"};
    for (const std::string& tool : tools) {
        HICON icon = static_cast<HICON>(loadFromFile("tool_" + tool + ".ico", IMAGE_ICON, 24));
        ASSERT_NE(icon, nullptr) << tool;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        GetObject(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, 24) << tool;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

}  // namespace
