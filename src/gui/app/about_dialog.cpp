// The About dialog.
#include "app/about_dialog.h"

#include "app/identity.h"
#include "app/window_classes.h"
#include "resources/resource.h"

namespace gui {
namespace {

INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_ABOUT_PRODUCT, app::kProductName);
        SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, app::kVersionText);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

void showAboutDialog(HWND owner) {
    DialogBoxParamA(programInstance(), MAKEINTRESOURCEA(IDD_ABOUT), owner, aboutProc, 0);
}

}  // namespace gui
