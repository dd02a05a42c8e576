// Off-screen pictures: drawing into a bitmap, writing it as a BMP file, handing it to the clipboard.
// Used for the graphs and the instrument's screen.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace gui {

// A bitmap compatible with window's display (the screen's when window is null), width × height
// pixels, filled by draw on a memory device context. The device contexts are released again; the
// caller owns the bitmap (DeleteObject). Null when the size is not positive or GDI fails.
HBITMAP drawToBitmap(HWND window, int width, int height, const std::function<void(HDC)>& draw);

// Writes bitmap to path (the core's form of a path: a host path under Wine) as a 24-bit Windows BMP
// file, bottom-up with rows padded to four bytes, in one step (platform::writeWholeFile). The bitmap
// must not be selected into a device context. False when the bitmap cannot be read or the file
// cannot be written; an old file of that name is then as it was.
bool saveBitmapFile(HBITMAP bitmap, const std::string& path);

// Puts bitmap on the clipboard as CF_BITMAP, owned by owner. True when done: the bitmap belongs to
// the clipboard from then on and the caller must not delete it. False when the clipboard could not
// be opened or refused the bitmap; the caller still owns it then.
bool copyBitmapToClipboard(HWND owner, HBITMAP bitmap);

}  // namespace gui
