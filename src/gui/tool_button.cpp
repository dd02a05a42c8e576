// Owner-drawn tool buttons: the button face as the system draws push buttons (themed where a theme
// is active), the icon centred on it, greyed while the button is disabled.
#include "gui/tool_button.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vsstyle.h>

namespace gui {
namespace {

constexpr const char* kGreyedIcon = "CorvaneGreyedIcon";
constexpr int kIconSize = 24;

// The icon in shades of grey, lightened towards the button face as disabled toolbar icons are; its
// transparency kept. nullptr when the icon cannot be read.
HICON greyedCopy(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return nullptr;
    HICON result = nullptr;
    BITMAP size{};
    if (info.hbmColor && GetObjectA(info.hbmColor, sizeof size, &size)) {
        BITMAPINFO format{};
        format.bmiHeader.biSize = sizeof format.bmiHeader;
        format.bmiHeader.biWidth = size.bmWidth;
        format.bmiHeader.biHeight = -size.bmHeight;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP grey = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC screen = GetDC(nullptr);
        const bool read = grey && GetDIBits(screen, info.hbmColor, 0, size.bmHeight, bits, &format, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        if (read) {
            auto* pixel = static_cast<RGBQUAD*>(bits);
            for (int i = 0; i < size.bmWidth * size.bmHeight; ++i, ++pixel) {
                const int luminance = (pixel->rgbRed * 77 + pixel->rgbGreen * 150 + pixel->rgbBlue * 29) >> 8;
                const BYTE shade = static_cast<BYTE>(128 + luminance / 2);
                pixel->rgbRed = pixel->rgbGreen = pixel->rgbBlue = shade;
            }
            ICONINFO greyInfo = info;
            greyInfo.hbmColor = grey;
            result = CreateIconIndirect(&greyInfo);
        }
        if (grey) DeleteObject(grey);
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return result;
}

// Destroys the button's two icons with the button.
LRESULT CALLBACK toolButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        if (HANDLE greyed = RemovePropA(button, kGreyedIcon)) DestroyIcon(static_cast<HICON>(greyed));
        if (auto icon = reinterpret_cast<HICON>(SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0))) DestroyIcon(icon);
        RemoveWindowSubclass(button, toolButtonProc, 0);
    }
    return DefSubclassProc(button, message, wParam, lParam);
}

}  // namespace

void setToolIcon(HWND button, HICON icon) {
    if (!button || !icon) return;
    SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    SetPropA(button, kGreyedIcon, greyedCopy(icon));
    SetWindowSubclass(button, toolButtonProc, 0, 0);
}

bool drawToolButton(const DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_BUTTON || !GetPropA(item.hwndItem, kGreyedIcon)) return false;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    RECT face = item.rcItem;
    if (HTHEME theme = OpenThemeData(item.hwndItem, L"BUTTON")) {
        const int state = disabled ? PBS_DISABLED : pushed ? PBS_PRESSED : PBS_NORMAL;
        DrawThemeBackground(theme, item.hDC, BP_PUSHBUTTON, state, &face, nullptr);
        CloseThemeData(theme);
    } else {
        DrawFrameControl(item.hDC, &face, DFC_BUTTON,
                         DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0) | (disabled ? DFCS_INACTIVE : 0));
    }
    const auto icon = disabled ? static_cast<HICON>(GetPropA(item.hwndItem, kGreyedIcon))
                               : reinterpret_cast<HICON>(SendMessageA(item.hwndItem, BM_GETIMAGE, IMAGE_ICON, 0));
    const int shift = pushed ? 1 : 0;
    DrawIconEx(item.hDC, (face.left + face.right - kIconSize) / 2 + shift, (face.top + face.bottom - kIconSize) / 2 + shift,
               icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        InflateRect(&face, -4, -4);
        DrawFocusRect(item.hDC, &face);
    }
    return true;
}

}  // namespace gui
