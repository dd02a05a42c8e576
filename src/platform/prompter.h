// The Prompter: every message box, question, file or folder chooser and wait cursor the program shows
// goes through it. The GUI implements it with the Windows message box and common dialogs, the CLI on
// the terminal, the tests with a scripted fake. One Prompter serves the process; it is called on the
// user-interface thread only.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace platform {

enum class Icon { None, Information, Warning, Error, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// What the open-file and save-file choosers show and require.
struct FileChoice {
    std::string title;
    std::vector<std::pair<std::string, std::string>> filters;  // shown name, pattern ("*.db")
    int filterIndex = 1;                // 1-based filter shown first
    std::string defaultExtension;       // appended when the user types a name without one
    std::string initialFolder;
    bool mustExist = false;             // the file and its folder must exist
    bool multiSelect = false;           // open only: several files at once
    bool createPrompt = false;          // save only: ask before a new file is created
    bool overwritePrompt = false;       // save only: ask before an existing file is replaced
};

class Prompter {
public:
    virtual ~Prompter() = default;

    // Shows text in a box with caption, icon and buttons; returns the button chosen. Closing the box
    // counts as Cancel, or as No where there is no Cancel.
    virtual Answer messageBox(const std::string& text, const std::string& caption, Icon icon, Buttons buttons) = 0;

    // Open-file chooser; false when cancelled. paths receives the chosen files' full paths.
    virtual bool openFile(const FileChoice& choice, std::vector<std::string>& paths) = 0;

    // Save-file chooser; false when cancelled.
    virtual bool saveFile(const FileChoice& choice, std::string& path) = 0;

    // Folder chooser titled title starting at startFolder; false when cancelled. True with an empty
    // folder when something was chosen that is not a file-system folder (the caller says so).
    virtual bool chooseFolder(const std::string& title, const std::string& startFolder, std::string& folder) = 0;

    // The wait cursor: shown from beginWait until the matching endWait (calls may nest).
    virtual void beginWait() = 0;
    virtual void endWait() = 0;
};

// The process's Prompter. Until one is installed, a quiet one answers every box with its safest
// button (Ok, No or Cancel), cancels every chooser and writes the texts to the debugger output.
Prompter& prompter();

// Installs p (not owned; nullptr restores the quiet one) and returns the previous one.
Prompter* setPrompter(Prompter* p);

// Shorthand for prompter().messageBox.
Answer showMessage(const std::string& text, const std::string& caption, Icon icon,
                   Buttons buttons = Buttons::Ok);

// The wait cursor for the lifetime of this object.
class WaitCursor {
public:
    WaitCursor() { prompter().beginWait(); }
    ~WaitCursor() { prompter().endWait(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace platform
