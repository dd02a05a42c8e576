// What the program's form dialogs share: their state record kept with the dialog (DWLP_USER), the
// texts of their controls in UTF-8, grey cue texts, the title line in a larger font, the coloured
// indicator beside a checked field, and the "Invalid" refusal that sends the user back to a field.
// User-interface thread only.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace gui {

// The dialog's state record: passed as DialogBoxParam's lParam, kept from WM_INITDIALOG on; the
// caller owns it and it outlives the modal run. nullptr before WM_INITDIALOG.
template <class Record>
Record* dialogRecord(HWND dialog) {
    return reinterpret_cast<Record*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

template <class Record>
Record& attachDialogRecord(HWND dialog, LPARAM record) {
    SetWindowLongPtrW(dialog, DWLP_USER, record);
    return *reinterpret_cast<Record*>(record);
}

// Runs the dialog template on record; returns EndDialog's result (-1 when it could not be shown).
INT_PTR runDialog(HWND owner, int templateId, DLGPROC procedure, void* record);

// A control's text, in UTF-8 both ways.
std::string controlText(HWND dialog, int id);
void setControlText(HWND dialog, int id, const std::string& text);

// The grey hint an empty edit shows, and the most characters it takes.
void setCueText(HWND dialog, int id, const std::string& cue);
void limitText(HWND dialog, int id, int characters);

void showControl(HWND dialog, int id, bool shown);
void enableControl(HWND dialog, int id, bool enabled);

// Makes Enter in the search box call search(parent of the box) instead of pressing a dialog's default
// button; the box then keeps the focus and no beep sounds.
void searchOnEnter(HWND box, void (*search)(HWND parent));

// Gives the control the focus as the dialog manager does (default button and edit selection
// follow); when it is disabled or hidden, the next control in tab order after it.
void focusControl(HWND dialog, int id);

// Shows message in an "Invalid" box with the information icon, then gives field the focus.
void refuseField(HWND dialog, const std::string& message, int field);

// The dialog's own pieces of drawing: its title line's font and its indicators with their states.
class DialogLook {
public:
    DialogLook() = default;
    ~DialogLook();
    DialogLook(const DialogLook&) = delete;
    DialogLook& operator=(const DialogLook&) = delete;

    // Shows the title control in a bold font half as large again as the dialog's own.
    void setTitleFont(HWND dialog, int titleId);

    // Sets an indicator's state and repaints it.
    void setMark(HWND dialog, int markId, int state);

    // WM_DRAWITEM: paints the indicator the item belongs to, green when valid, red when invalid and
    // in the menu colour while empty; false for any other item.
    bool drawMark(const DRAWITEMSTRUCT& item) const;

private:
    HFONT titleFont_ = nullptr;
    std::vector<std::pair<int, int>> marks_;  // indicator id, state
};

}  // namespace gui
