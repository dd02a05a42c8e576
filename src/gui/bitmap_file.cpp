// BMP files are written by hand from GetDIBits, through the C++ library so that the path is the
// core's own (under Wine the program's C library takes host paths).
#include "gui/bitmap_file.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace gui {
namespace {

void put16(std::vector<char>& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void put32(std::vector<char>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;

}  // namespace

HBITMAP drawToBitmap(HWND window, int width, int height, const std::function<void(HDC)>& draw) {
    if (width <= 0 || height <= 0) return nullptr;
    HDC windowDc = GetDC(window);
    if (!windowDc) return nullptr;
    HBITMAP bitmap = nullptr;
    if (HDC memoryDc = CreateCompatibleDC(windowDc)) {
        bitmap = CreateCompatibleBitmap(windowDc, width, height);
        if (bitmap) {
            HGDIOBJ previous = SelectObject(memoryDc, bitmap);
            if (draw) draw(memoryDc);
            SelectObject(memoryDc, previous);
        }
        DeleteDC(memoryDc);
    }
    ReleaseDC(window, windowDc);
    return bitmap;
}

bool saveBitmapFile(HBITMAP bitmap, const std::string& path) {
    BITMAP shape{};
    if (!bitmap || !GetObject(bitmap, sizeof shape, &shape) || shape.bmWidth <= 0 || shape.bmHeight <= 0)
        return false;
    const std::uint32_t width = static_cast<std::uint32_t>(shape.bmWidth);
    const std::uint32_t height = static_cast<std::uint32_t>(shape.bmHeight);
    const std::uint32_t stride = (width * 3 + 3) & ~3u;
    const std::uint64_t imageSize64 = static_cast<std::uint64_t>(stride) * height;
    if (imageSize64 > 0x7FFFFFFF - kFileHeaderSize - kInfoHeaderSize) return false;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(imageSize64);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = static_cast<LONG>(height);  // positive: bottom-up, as files keep it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = imageSize;
    std::vector<char> pixels(imageSize);
    HDC screen = GetDC(nullptr);
    const int rows = screen ? GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    if (rows != static_cast<int>(height)) return false;

    std::vector<char> headers;
    headers.reserve(kFileHeaderSize + kInfoHeaderSize);
    put16(headers, 0x4D42);  // "BM"
    put32(headers, kFileHeaderSize + kInfoHeaderSize + imageSize);
    put32(headers, 0);  // two reserved words
    put32(headers, kFileHeaderSize + kInfoHeaderSize);
    put32(headers, kInfoHeaderSize);
    put32(headers, width);
    put32(headers, height);
    put16(headers, 1);   // planes
    put16(headers, 24);  // bits per pixel
    put32(headers, 0);   // BI_RGB
    put32(headers, imageSize);
    put32(headers, 3780);  // 96 dots per inch, in dots per metre
    put32(headers, 3780);
    put32(headers, 0);  // colours used
    put32(headers, 0);  // colours important

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(headers.data(), static_cast<std::streamsize>(headers.size()));
    file.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    file.close();
    if (!file) {
        // Only a file of our own making is taken away again, never a device or a pipe named by path.
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) std::filesystem::remove(path, error);
        return false;
    }
    return true;
}

bool copyBitmapToClipboard(HWND owner, HBITMAP bitmap) {
    if (!bitmap) return false;
    // Another program may hold the clipboard for a moment; wait a little, never long.
    bool open = false;
    for (int attempt = 0; attempt < 10 && !(open = OpenClipboard(owner)); ++attempt) Sleep(20);
    if (!open) return false;
    bool handed = false;
    if (EmptyClipboard()) handed = SetClipboardData(CF_BITMAP, bitmap) != nullptr;
    CloseClipboard();
    return handed;
}

}  // namespace gui
