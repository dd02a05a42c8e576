// Off-screen bitmaps: drawn, written as BMP files and read back byte by byte, handed to the clipboard.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "gui/bitmap_file.h"
#include "support/temp_dir.h"

namespace {

using testing_support::TempDir;

std::uint32_t le32(const std::string& data, std::size_t at) {
    return static_cast<std::uint8_t>(data[at]) | static_cast<std::uint8_t>(data[at + 1]) << 8 |
           static_cast<std::uint8_t>(data[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(data[at + 3])) << 24;
}
std::uint16_t le16(const std::string& data, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(data[at]) | static_cast<std::uint8_t>(data[at + 1]) << 8);
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void fill(HDC dc, RECT r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// A 30 × 20 picture: white, red top-left pixel, blue bottom-right pixel, green band at row 5.
HBITMAP testPicture() {
    return gui::drawToBitmap(nullptr, 30, 20, [](HDC dc) {
        fill(dc, {0, 0, 30, 20}, RGB(255, 255, 255));
        fill(dc, {0, 5, 30, 6}, RGB(0, 255, 0));
        fill(dc, {0, 0, 1, 1}, RGB(255, 0, 0));
        fill(dc, {29, 19, 30, 20}, RGB(0, 0, 255));
    });
}

// The blue, green, red bytes of pixel (x, y) of a bottom-up 24-bit file.
std::uint32_t filePixel(const std::string& file, int x, int y) {
    const std::uint32_t width = le32(file, 18), height = le32(file, 22);
    const std::uint32_t stride = (width * 3 + 3) & ~3u;
    const std::size_t at = le32(file, 10) + (height - 1 - y) * stride + x * 3;
    return static_cast<std::uint8_t>(file[at]) | static_cast<std::uint8_t>(file[at + 1]) << 8 |
           static_cast<std::uint8_t>(file[at + 2]) << 16;
}
constexpr std::uint32_t kFileRed = 0xFF0000, kFileBlue = 0x0000FF, kFileGreen = 0x00FF00, kFileWhite = 0xFFFFFF;

TEST(BitmapFile, WritesA24BitBottomUpFileWithPaddedRows) {
    TempDir dir;
    HBITMAP picture = testPicture();
    ASSERT_NE(picture, nullptr);
    const std::string path = dir.file("graph.bmp");
    ASSERT_TRUE(gui::saveBitmapFile(picture, path));
    DeleteObject(picture);

    const std::string file = readAll(path);
    const std::uint32_t stride = 92;  // 30 pixels of 3 bytes, padded to 4
    ASSERT_EQ(file.size(), 54u + stride * 20);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(le32(file, 2), file.size());
    EXPECT_EQ(le32(file, 10), 54u);
    EXPECT_EQ(le32(file, 14), 40u);
    EXPECT_EQ(le32(file, 18), 30u);
    EXPECT_EQ(le32(file, 22), 20u);  // positive: bottom-up
    EXPECT_EQ(le16(file, 26), 1);
    EXPECT_EQ(le16(file, 28), 24);
    EXPECT_EQ(le32(file, 30), 0u);
    EXPECT_EQ(le32(file, 34), stride * 20);

    EXPECT_EQ(filePixel(file, 0, 0), kFileRed);
    EXPECT_EQ(filePixel(file, 29, 19), kFileBlue);
    EXPECT_EQ(filePixel(file, 12, 5), kFileGreen);
    EXPECT_EQ(filePixel(file, 12, 6), kFileWhite);
    // The first row in the file is the picture's bottom row, ending in the blue pixel.
    EXPECT_EQ(static_cast<std::uint8_t>(file[54 + 29 * 3]), 0xFF);
    EXPECT_EQ(static_cast<std::uint8_t>(file[54 + 29 * 3 + 2]), 0x00);
}

TEST(BitmapFile, ReplacesAnExistingFile) {
    TempDir dir;
    const std::string path = dir.file("old.bmp");
    testing_support::writeFile(path, std::string(100000, 'x'));
    HBITMAP picture = testPicture();
    ASSERT_TRUE(gui::saveBitmapFile(picture, path));
    DeleteObject(picture);
    EXPECT_EQ(readAll(path).size(), 54u + 92 * 20);
}

TEST(BitmapFile, FailuresReportFalseAndLeaveNoFile) {
    TempDir dir;
    HBITMAP picture = testPicture();
    const std::string missingFolder = dir.file("no such folder") + "/graph.bmp";
    EXPECT_FALSE(gui::saveBitmapFile(picture, missingFolder));
    EXPECT_FALSE(std::filesystem::exists(missingFolder));

    EXPECT_FALSE(gui::saveBitmapFile(picture, dir.path()));  // a folder, not a file
    EXPECT_TRUE(std::filesystem::is_directory(dir.path()));

    const std::string nothing = dir.file("nothing.bmp");
    EXPECT_FALSE(gui::saveBitmapFile(nullptr, nothing));
    EXPECT_FALSE(std::filesystem::exists(nothing));
    DeleteObject(picture);
}

TEST(BitmapFile, DrawingNeedsAPositiveSize) {
    int calls = 0;
    EXPECT_EQ(gui::drawToBitmap(nullptr, 0, 10, [&](HDC) { ++calls; }), nullptr);
    EXPECT_EQ(gui::drawToBitmap(nullptr, 10, -1, [&](HDC) { ++calls; }), nullptr);
    EXPECT_EQ(calls, 0);
    HBITMAP picture = gui::drawToBitmap(nullptr, 7, 3, [&](HDC dc) {
        ++calls;
        EXPECT_EQ(GetObjectType(GetCurrentObject(dc, OBJ_BITMAP)), static_cast<DWORD>(OBJ_BITMAP));
    });
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(calls, 1);
    BITMAP shape{};
    ASSERT_TRUE(GetObject(picture, sizeof shape, &shape));
    EXPECT_EQ(shape.bmWidth, 7);
    EXPECT_EQ(shape.bmHeight, 3);
    DeleteObject(picture);
}

TEST(BitmapClipboard, TheClipboardHoldsTheCopiedPicture) {
    HBITMAP picture = testPicture();
    ASSERT_NE(picture, nullptr);
    ASSERT_TRUE(gui::copyBitmapToClipboard(nullptr, picture));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    HBITMAP held = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    ASSERT_NE(held, nullptr);
    BITMAP shape{};
    ASSERT_TRUE(GetObject(held, sizeof shape, &shape));
    EXPECT_EQ(shape.bmWidth, 30);
    EXPECT_EQ(shape.bmHeight, 20);
    // Its pixels are the picture's.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, held);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 29, 19), RGB(0, 0, 255));
    SelectObject(dc, previous);
    DeleteDC(dc);
    EmptyClipboard();
    CloseClipboard();
}

TEST(BitmapClipboard, NothingToCopyIsAFailure) { EXPECT_FALSE(gui::copyBitmapToClipboard(nullptr, nullptr)); }

}  // namespace
