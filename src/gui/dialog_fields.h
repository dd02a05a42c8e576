// What the program's dialogs share beyond their skeleton: the texts of their controls in UTF-8, grey
// cue texts, list views, progress bars, and for the form dialogs the title line in a larger font,
// the coloured indicator beside a checked field and the "Invalid" refusal that sends the user back
// to a field. User-interface thread only.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "gui/modal_dialog.h"

namespace gui {

// A control's text, in UTF-8 both ways.
std::string controlText(HWND dialog, int id);
void setControlText(HWND dialog, int id, const std::string& text);

// The grey hint an empty edit shows, and the most characters it takes.
void setCueText(HWND dialog, int id, const std::string& cue);
void limitText(HWND dialog, int id, int characters);

// An edit of a form as it opens: its cue (nullptr for none) and the most characters it takes (0
// leaves the edit's own limit).
struct EditField {
    int id;
    const char* cue;
    int characters;
};
void setUpEdits(HWND dialog, std::initializer_list<EditField> edits);

void showControl(HWND dialog, int id, bool shown);
void enableControl(HWND dialog, int id, bool enabled);

// A list view of one column, its title over the rows, with full-row selection; and the row selected
// in a list view, -1 for none.
void fillOneColumnList(HWND dialog, int listId, const std::string& title, const std::vector<std::string>& rows);
int selectedListRow(HWND dialog, int listId);

// A progress bar whose template gives it PBS_MARQUEE: its marquee runs until countSteps makes it a
// bar of steps, 0 of them done.
void startMarquee(HWND dialog, int barId);
void countSteps(HWND dialog, int barId, int steps);

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

// A modal dialog with such a look, which paints its indicators.
class FormDialog : public ModalDialog {
public:
    DialogLook look;

protected:
    bool onDrawItem(const DRAWITEMSTRUCT& item) override { return look.drawMark(item); }
};

}  // namespace gui
