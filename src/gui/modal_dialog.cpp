// The modal dialogs' one procedure: the record attached at WM_INITDIALOG and each message handed to
// the dialog's handler.
#include "gui/modal_dialog.h"

#include "gui/app/window_classes.h"
#include "gui/resources/dialog_ids.h"

namespace gui {

INT_PTR ModalDialog::run(HWND owner, int templateId) {
    return DialogBoxParamW(programInstance(), MAKEINTRESOURCEW(templateId), owner, procedure,
                           reinterpret_cast<LPARAM>(this));
}

ModalDialog* ModalDialog::objectOf(HWND dialog) {
    return reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void ModalDialog::openPickerLater(HWND dialog, int field) {
    if (picking_) return;
    picking_ = true;
    PostMessageW(dialog, WM_OPEN_PICKER, static_cast<WPARAM>(field), 0);
}

INT_PTR CALLBACK ModalDialog::procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return reinterpret_cast<ModalDialog*>(lParam)->onInit(dialog) ? TRUE : FALSE;
    }
    ModalDialog* self = objectOf(dialog);
    // The messages before WM_INITDIALOG (WM_SETFONT among them) find no record yet.
    return self && self->dispatch(dialog, message, wParam, lParam) ? TRUE : FALSE;
}

bool ModalDialog::dispatch(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (onCommand(dialog, id, HIWORD(wParam), lParam)) return true;
        if (id != IDCANCEL) return false;
        EndDialog(dialog, IDCANCEL);
        return true;
    }
    case WM_NOTIFY:
        return onNotify(dialog, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_DRAWITEM:
        return onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_OPEN_PICKER:
        onPicker(dialog, static_cast<int>(wParam));
        picking_ = false;
        return true;
    default:
        return onMessage(dialog, message, wParam, lParam);
    }
}

}  // namespace gui
