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

// Copies the whole of bitmap to dc with its top left at (x, y), in one piece. The bitmap must not be
// selected into a device context.
void paintBitmap(HDC dc, int x, int y, HBITMAP bitmap);

// Paints area of window on dc (a paint or print context) by drawing it off screen first, draw getting
// a context whose origin is the area's top left, and copying it in one piece, so that nothing
// flickers. Paints nothing when the area is empty or GDI fails.
void paintOffScreen(HWND window, HDC dc, const RECT& area, const std::function<void(HDC)>& draw);

// Fills window's client area on dc with the dialog background, all but keep (a picture that paints
// its own background, and would flicker if erased first).
void eraseAround(HWND window, HDC dc, const RECT& keep);

// Writes bitmap to path as a 24-bit Windows BMP file, bottom-up with rows padded to four bytes, in
// one step (platform::writeWholeFile). The bitmap must not be selected into a device context. False
// when the bitmap cannot be read or the file cannot be written; an old file of that name is then as
// it was.
bool saveBitmapFile(HBITMAP bitmap, const std::string& path);

// Puts bitmap on the clipboard as CF_BITMAP, owned by owner. True when done: the bitmap belongs to
// the clipboard from then on and the caller must not delete it. False when the clipboard could not
// be opened or refused the bitmap; the caller still owns it then.
bool copyBitmapToClipboard(HWND owner, HBITMAP bitmap);

// The user's Save and Copy commands for a picture, which they take over (it is deleted, or belongs to
// the clipboard): a picture that cannot be written or put on the clipboard is reported in a box with
// the command's caption. savePicture returns whether the file was written; a null picture counts as
// a failure.
bool savePicture(HBITMAP picture, const std::string& path, const std::string& caption);
void copyPicture(HWND owner, HBITMAP picture, const std::string& caption);

}  // namespace gui
