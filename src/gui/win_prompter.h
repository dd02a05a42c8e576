// The Prompter of the Windows program: message boxes, the common file dialogs, the shell's folder
// browser and the wait cursor.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/prompter.h"

namespace gui {

// Shows every box and chooser owned by the window the user works in: the window active on this
// thread (a modal dialog, when one is open), or else the one last active over the program's main
// window (setOwner), so that it comes up above that window, which waits disabled until the user has
// answered. Without an active window and a main window (none set yet, or gone) they have no owner.
// User-interface thread only: each call runs the dialog's modal loop and returns when the user has
// answered.
//
// chooseFolder's start may also name a file: the browser then starts at the folder holding it.
//
// FileChoice as the dialogs take it: mustExist asks for an existing file and folder when opening
// and an existing folder when saving; the read-only box is always hidden; the dialogs never change
// the process's current directory. saveFile's path, when not empty on entry, is the name the dialog
// starts with (such as "*.bmp").
class WinPrompter final : public platform::Prompter {
public:
    WinPrompter() = default;

    void setOwner(HWND owner) { owner_ = owner; }
    HWND owner() const;

    platform::Answer messageBox(const std::string& text, const std::string& caption, platform::Icon icon,
                                platform::Buttons buttons) override;
    bool openFile(const platform::FileChoice& choice, std::vector<std::string>& paths) override;
    bool saveFile(const platform::FileChoice& choice, std::string& path) override;
    bool chooseFolder(const std::string& title, const std::string& startFolder, std::string& folder) override;
    void beginWait() override;
    void endWait() override;

    // True between the outermost beginWait and its endWait. Windows that set their own cursor on
    // WM_SETCURSOR ask this first, so the wait cursor stays while the mouse moves.
    bool waiting() const { return waitDepth_ > 0; }

private:
    HWND owner_ = nullptr;
    int waitDepth_ = 0;
    HCURSOR cursorBeforeWait_ = nullptr;
};

// The flag word of MessageBox for an icon and a button set.
UINT messageBoxStyle(platform::Icon icon, platform::Buttons buttons);

// What MessageBox's result means for a button set. Anything but a button of the set (closing the
// box, or a box that could not be shown) counts as Cancel, or as No where there is no Cancel; an
// OK-only box can only be acknowledged.
platform::Answer answerOf(int messageBoxResult, platform::Buttons buttons);

// The names an open dialog returned in buffer: "path\0\0" for one file, or with several files
// "folder\0name\0name\0...\0\0". Gives full drive paths.
std::vector<std::string> splitFileDialogNames(const char* buffer, std::size_t size);

// The OFN_ flags of the open and the save dialog for a choice.
DWORD openFileFlags(const platform::FileChoice& choice);
DWORD saveFileFlags(const platform::FileChoice& choice);

// The filter string of the file dialogs: "name\0pattern\0...\0\0" (empty for no filters).
std::string fileDialogFilter(const std::vector<std::pair<std::string, std::string>>& filters);

}  // namespace gui
