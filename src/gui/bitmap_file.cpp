// BMP files are made from GetDIBits's rows by the core's encoder and written in one step, so that
// nobody reads a half-written picture.
#include "gui/bitmap_file.h"

#include <cstdint>

#include "common/bmp_file.h"
#include "platform/files.h"
#include "platform/prompter.h"

namespace gui {

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

void paintBitmap(HDC dc, int x, int y, HBITMAP bitmap) {
    BITMAP shape{};
    if (!bitmap || !GetObject(bitmap, sizeof shape, &shape)) return;
    if (HDC memory = CreateCompatibleDC(dc)) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(dc, x, y, shape.bmWidth, shape.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
}

void paintOffScreen(HWND window, HDC dc, const RECT& area, const std::function<void(HDC)>& draw) {
    if (HBITMAP picture = drawToBitmap(window, area.right - area.left, area.bottom - area.top, draw)) {
        paintBitmap(dc, area.left, area.top, picture);
        DeleteObject(picture);
    }
}

void eraseAround(HWND window, HDC dc, const RECT& keep) {
    RECT client;
    GetClientRect(window, &client);
    const int saved = SaveDC(dc);
    if (keep.right > keep.left && keep.bottom > keep.top) ExcludeClipRect(dc, keep.left, keep.top, keep.right, keep.bottom);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    RestoreDC(dc, saved);
}

bool saveBitmapFile(HBITMAP bitmap, const std::string& path) {
    BITMAP shape{};
    if (!bitmap || !GetObject(bitmap, sizeof shape, &shape) || shape.bmWidth <= 0 || shape.bmHeight <= 0)
        return false;
    const std::uint32_t width = static_cast<std::uint32_t>(shape.bmWidth);
    const std::uint32_t height = static_cast<std::uint32_t>(shape.bmHeight);
    const std::uint64_t imageSize = static_cast<std::uint64_t>(common::bmpRowStride(width)) * height;
    if (imageSize > 0x7FFFFFFF) return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = static_cast<LONG>(height);  // positive: bottom-up, as files keep it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(imageSize);
    std::string rows(static_cast<std::size_t>(imageSize), '\0');
    HDC screen = GetDC(nullptr);
    const int got = screen ? GetDIBits(screen, bitmap, 0, height, rows.data(), &info, DIB_RGB_COLORS) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    if (got != static_cast<int>(height)) return false;
    const std::string file = common::bmpFileBytes(width, height, rows);
    return !file.empty() && platform::writeWholeFile(path, file);
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

bool savePicture(HBITMAP picture, const std::string& path, const std::string& caption) {
    const bool saved = picture && saveBitmapFile(picture, path);
    if (picture) DeleteObject(picture);
    if (!saved) platform::showMessage("The picture could not be written to " + path, caption, platform::Icon::Error);
    return saved;
}

void copyPicture(HWND owner, HBITMAP picture, const std::string& caption) {
    if (picture && copyBitmapToClipboard(owner, picture)) return;
    if (picture) DeleteObject(picture);
    platform::showMessage("The picture could not be put on the clipboard", caption, platform::Icon::Error);
}

}  // namespace gui
