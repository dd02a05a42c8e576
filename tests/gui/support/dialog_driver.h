// Answering the program's modal dialogs from a test, without a person at the screen.
//
// A modal dialog (a message box, a file dialog, the folder browser, the program's own dialogs) runs
// its own message loop on the user-interface thread, so a test cannot click it after the call that
// shows it: that call only returns once the dialog is closed. Instead the test says beforehand which
// dialog it expects and what to do with it; a thread timer on the test's (user-interface) thread
// fires inside the dialog's modal loop, finds the dialog and runs the action:
//
//     gui_testing::answerNextDialog("Error", [](HWND box) {
//         EXPECT_EQ(gui_testing::messageBoxText(box), "Invalid Directory Selected");
//         gui_testing::pressButton(box, IDOK);
//     });
//     showTheError();                      // returns once the box has been answered
//     EXPECT_TRUE(gui_testing::finishDialogs());
//
// Several answers may be queued at once (a save dialog and then its overwrite question); each finds
// its own window. A dialog counts as found when it is a visible, enabled top-level window of the
// dialog class "#32770" of this process that no earlier answer has taken; a dialog disabled under a
// nested box of its own is therefore left alone until that box is gone.
//
// Failures are reported to GoogleTest (ADD_FAILURE) from the timer: a dialog that does not appear
// within the time limit, and a dialog still open that long after its action ran (which is then
// ended with IDCANCEL, so that a broken test fails instead of hanging).
//
// User-interface thread only; the thread must run a message loop (any modal dialog does, and
// finishDialogs and pumpMessages do).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace gui_testing {

// What a test does with a dialog once found; it runs inside the dialog's modal loop.
using DialogAction = std::function<void(HWND dialog)>;
// Which top-level dialog window is meant.
using DialogMatch = std::function<bool(HWND dialog)>;

// The progress of one expected dialog.
struct DialogAnswer {
    std::string description;   // for failure messages
    bool appeared = false;     // the dialog was found and the action ran
    bool closed = false;       // the dialog was gone after its action
    bool failed = false;       // it never appeared, or did not close after its action
};

// Expects a dialog whose caption is exactly title within timeoutMs from now and runs act on it.
std::shared_ptr<const DialogAnswer> answerNextDialog(const std::string& title, DialogAction act,
                                                     unsigned timeoutMs = 10000);

// The same for a dialog chosen by match (for dialogs whose caption the system picks, such as the
// folder browser: see dialogShowing).
std::shared_ptr<const DialogAnswer> answerNextWindow(DialogMatch match, DialogAction act, std::string description,
                                                     unsigned timeoutMs = 10000);

// Pumps messages until every expected dialog has been answered and closed (or has failed), at most
// waitMs; what is still waiting then fails. True when none failed. Call it at the end of each test
// so that no expectation leaks into the next one.
bool finishDialogs(unsigned waitMs = 10000);

// Runs the thread's message loop for ms milliseconds.
void pumpMessages(unsigned ms);

// --- Matching -------------------------------------------------------------------------------------

// A dialog that has a child window (a static text, say) whose text is exactly text.
DialogMatch dialogShowing(const std::string& text);

// --- Acting on a found dialog ---------------------------------------------------------------------

// Presses the dialog's button id (IDOK, IDCANCEL, IDYES, IDNO, or any control id) by posting the
// command the button would send, so the action returns before the dialog handles it. A message box
// without a Cancel button ignores IDCANCEL.
void pressButton(HWND dialog, int id);

// Sets and reads the text of a dialog control.
void setItemText(HWND dialog, int id, const std::string& text);
std::string itemText(HWND dialog, int id);

// A window's own text (the caption of a top-level window).
std::string windowText(HWND window);

// The message of a message box.
std::string messageBoxText(HWND box);

// The first descendant of parent of the window class className (such as "Edit" or "SysTreeView32"),
// or null.
HWND findDescendant(HWND parent, const std::string& className);

// The text of the file name box of an open or save dialog.
std::string fileDialogName(HWND fileDialog);

// Types name into the file name box of an open or save dialog and presses its OK (Open/Save) button.
// Answer with a full drive path, as a user would type it.
void chooseFileName(HWND fileDialog, const std::string& name);

// Makes the common controls and COM ready on the calling thread, as the program does at start-up
// (the folder browser and the file dialogs need them). Safe to call more than once.
void initialiseGuiForTests();

}  // namespace gui_testing
