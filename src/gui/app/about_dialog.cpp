// The About dialog: the product, its version text and the SQLite it carries.
#include "gui/app/about_dialog.h"

#include <string>

#include "common/identity.h"
#include "db/schema.h"
#include "gui/app/window_classes.h"
#include "gui/resources/resource.h"

namespace gui {
namespace {

INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_ABOUT_PRODUCT, common::kProductName);
        SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, common::kVersionText);
        SetDlgItemTextA(dialog, IDC_ABOUT_SQLITE, (std::string("SQLite ") + db::sqliteVersion()).c_str());
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
