// Working the windows of another process as UI automation and assistive tools do: only standard window
// messages, with list-view requests through memory of the target process. A failed step throws
// StepFailure, naming what was awaited.
#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace automation {

struct StepFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Polls until done() or ms pass; throws StepFailure naming what when it never happens.
void waitUntil(const std::string& what, const std::function<bool()>& done, unsigned ms = 10000);

// The process whose windows are worked.
class Target {
public:
    Target(DWORD processId, HANDLE process) : processId_(processId), process_(process) {}

    // Its visible top-level windows, topmost first.
    std::vector<HWND> windows() const;
    // Its visible, enabled top-level window that match accepts, waiting up to ms; what names it in a failure.
    HWND awaitWindow(const std::string& what, const std::function<bool(HWND)>& match, unsigned ms = 10000) const;
    // The same for a window of that caption that is not a message box, and for a message box.
    HWND awaitWindow(const std::string& caption, unsigned ms = 10000) const;
    HWND awaitMessageBox(const std::string& caption, unsigned ms = 10000) const;
    // Waits until window is gone or hidden.
    void awaitClosed(HWND window, const std::string& what, unsigned ms = 10000) const;

    // A list view's row count and cell text, and selecting exactly the given rows.
    int listRows(HWND list) const;
    std::string listCell(HWND list, int row, int column) const;
    void selectRows(HWND list, const std::vector<int>& rows) const;
    // Sends message with lParam pointing at a copy of the UTF-16 text in the target's memory.
    LRESULT sendWithText(HWND window, UINT message, WPARAM wParam, const std::string& text) const;

    // What the screen shows of it, for failure reports: every window's class, caption and message.
    std::string describe() const;

private:
    DWORD processId_;
    HANDLE process_;
};

// The descendant of parent with that control id (the main window's controls sit in panes); throws.
HWND control(HWND parent, int id);
// The first descendant of that window class, or null.
HWND descendantOfClass(HWND parent, const std::string& className);
std::string className(HWND window);
// A dialog with a message text: what MessageBox shows.
bool isMessageBox(HWND window);
// A window's text, through WM_GETTEXT, which the system carries between processes.
std::string textOf(HWND window);
std::string textOf(HWND parent, int id);
// The message of a message box.
std::string messageOf(HWND box);

// Types into an edit: its text, and EN_CHANGE to its parent as typing sends it.
void typeInto(HWND dialog, int id, const std::string& text);
// Presses a button: BM_CLICK posted, so that a modal dialog it opens does not hold the caller.
void click(HWND button);
void click(HWND dialog, int id);
// Posts the notification a button of the dialog sends when pressed, for dialogs whose buttons take no
// BM_CLICK from outside (Wine's file dialogs).
void notifyPressed(HWND dialog, int id);
// A combo box's items.
std::vector<std::string> comboItems(HWND combo);
// Chooses a combo box item by its text, with the CBN_SELCHANGE a user's choice sends.
void chooseItem(HWND dialog, int id, const std::string& text);
// Moves the keyboard focus to a control of a dialog, as Tab does.
void focus(HWND dialog, int id);

}  // namespace automation
