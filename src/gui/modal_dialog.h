// The skeleton every modal dialog of the program shares: the dialog's object is its state record,
// kept with the dialog (DWLP_USER) from WM_INITDIALOG on, and one procedure hands each message to the
// object's handler for it, so that a dialog holds only what is its own. User-interface thread only.
#pragma once

#include <windows.h>

namespace gui {

// A dialog derives from this, overrides onInit and the handlers it needs, and is run by run(). What
// it leaves alone gets the dialog manager's default; IDCANCEL (Escape, the close box, a Cancel
// button), unless onCommand takes it, ends the dialog with IDCANCEL.
class ModalDialog {
public:
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Runs the dialog template modally over owner with this object as its record; returns
    // EndDialog's result, -1 when the dialog could not be shown.
    INT_PTR run(HWND owner, int templateId);

    // The object of a dialog that run() shows, as the class it is; nullptr before WM_INITDIALOG.
    template <class Dialog>
    static Dialog* of(HWND dialog) {
        return static_cast<Dialog*>(objectOf(dialog));
    }

protected:
    ModalDialog() = default;

    // WM_INITDIALOG. True lets the dialog manager focus the first control; false when onInit has
    // placed the focus itself.
    virtual bool onInit(HWND dialog) = 0;
    // WM_COMMAND: a button, a menu item or a control's notification code; false for one the dialog
    // leaves alone.
    virtual bool onCommand(HWND, int /*id*/, int /*code*/, LPARAM) { return false; }
    // WM_NOTIFY from a common control; false when the dialog leaves it alone.
    virtual bool onNotify(HWND, const NMHDR&) { return false; }
    // WM_DRAWITEM; false when the item is not the dialog's to paint.
    virtual bool onDrawItem(const DRAWITEMSTRUCT&) { return false; }
    // The picker that openPickerLater asked for on field.
    virtual void onPicker(HWND, int /*field*/) {}
    // Any other message; false leaves it to the dialog manager.
    virtual bool onMessage(HWND, UINT, WPARAM, LPARAM) { return false; }

    // A field that chooses through a picker got the focus: onPicker runs once the focus has settled,
    // unless a picker is open or asked for already, since the field gets the focus back as the
    // picker closes and must not open it again.
    void openPickerLater(HWND dialog, int field);

private:
    static ModalDialog* objectOf(HWND dialog);
    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    bool dispatch(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    bool picking_ = false;
};

}  // namespace gui
