// The Windows Prompter: MessageBoxW, GetOpenFileNameA/GetSaveFileNameA and SHBrowseForFolderA.
#include "gui/win_prompter.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>

#include "platform/win32/wide_text.h"
#include "platform/debug_output.h"

namespace gui {

using platform::Answer;
using platform::Buttons;
using platform::FileChoice;
using platform::Icon;
using platform::win32::fromAnsi;
using platform::win32::narrow;
using platform::win32::toAnsi;
using platform::win32::WideString;
using platform::win32::widen;

namespace {

// Room for the names of a multiple selection: a folder and a few hundred file names.
constexpr std::size_t kMultiSelectBufferSize = 65536;
constexpr std::size_t kSingleNameBufferSize = 2048;

// A path as the dialogs take it, in the ANSI code page of their A-functions, and an answer back.
std::string toDialogPath(const std::string& path) { return toAnsi(path); }
std::string fromDialogPath(const std::string& path) { return fromAnsi(path); }

// Fills the parts the two file dialogs share; the strings must outlive the dialog.
// The dialogs want the default extension without its dot.
std::string bareExtension(const std::string& extension) {
    return !extension.empty() && extension.front() == '.' ? extension.substr(1) : extension;
}

// One open or save dialog: the choice's texts in the form the ANSI dialogs take, the buffer the
// chosen names come back in, and the dialog's structure pointing at them (so it cannot be copied).
struct FileDialog {
    FileDialog(HWND owner, const FileChoice& choice, std::size_t nameBufferSize)
        : filter(toAnsi(fileDialogFilter(choice.filters))), title(toAnsi(choice.title)),
          initialFolder(toDialogPath(choice.initialFolder)),
          defaultExtension(toAnsi(bareExtension(choice.defaultExtension))), names(nameBufferSize, '\0') {
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
        ofn.nFilterIndex = filter.empty() ? 0 : static_cast<DWORD>(std::max(1, choice.filterIndex));
        ofn.lpstrFile = names.data();
        ofn.nMaxFile = static_cast<DWORD>(names.size());
        ofn.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
        ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
        ofn.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    }
    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;

    const std::string filter, title, initialFolder, defaultExtension;
    std::vector<char> names;
    OPENFILENAMEA ofn{};
};

// Traces why a dialog ended without an answer, unless the user simply cancelled.
void traceDialogError(const char* dialog) {
    const DWORD error = CommDlgExtendedError();
    if (error != 0) platform::debugOutput(std::string(dialog) + " failed, error " + std::to_string(error) + "\n");
}

// Preselects the start folder (passed in lParam of the browser's settings) once the browser is up.
int CALLBACK browseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data) {
        const char* start = reinterpret_cast<const char*>(data);
        if (*start) SendMessageA(window, BFFM_SETSELECTIONA, TRUE, data);
    }
    return 0;
}

}  // namespace

UINT messageBoxStyle(Icon icon, Buttons buttons) {
    UINT style = 0;
    switch (icon) {
    case Icon::None: break;
    case Icon::Information: style |= MB_ICONINFORMATION; break;
    case Icon::Warning: style |= MB_ICONWARNING; break;
    case Icon::Error: style |= MB_ICONERROR; break;
    case Icon::Question: style |= MB_ICONQUESTION; break;
    }
    switch (buttons) {
    case Buttons::Ok: style |= MB_OK; break;
    case Buttons::OkCancel: style |= MB_OKCANCEL; break;
    case Buttons::YesNo: style |= MB_YESNO; break;
    case Buttons::YesNoCancel: style |= MB_YESNOCANCEL; break;
    }
    return style;
}

Answer answerOf(int result, Buttons buttons) {
    const bool hasCancel = buttons == Buttons::OkCancel || buttons == Buttons::YesNoCancel;
    const bool hasYesNo = buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel;
    if (result == IDOK && !hasYesNo) return Answer::Ok;
    if (result == IDYES && hasYesNo) return Answer::Yes;
    if (result == IDNO && hasYesNo) return Answer::No;
    if (hasCancel) return Answer::Cancel;
    return hasYesNo ? Answer::No : Answer::Ok;
}

std::vector<std::string> splitFileDialogNames(const char* buffer, std::size_t size) {
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i < size && buffer[i] != '\0') {
        std::size_t end = i;
        while (end < size && buffer[end] != '\0') ++end;
        parts.emplace_back(buffer + i, end - i);
        i = end + 1;
    }
    if (parts.size() <= 1) return parts;
    std::string folder = parts.front();
    if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
    std::vector<std::string> paths;
    for (std::size_t k = 1; k < parts.size(); ++k) paths.push_back(folder + parts[k]);
    return paths;
}

DWORD openFileFlags(const FileChoice& choice) {
    return OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
           (choice.mustExist ? OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST : 0) |
           (choice.multiSelect ? OFN_ALLOWMULTISELECT : 0);
}

DWORD saveFileFlags(const FileChoice& choice) {
    return OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (choice.mustExist ? OFN_PATHMUSTEXIST : 0) |
           (choice.createPrompt ? OFN_CREATEPROMPT : 0) | (choice.overwritePrompt ? OFN_OVERWRITEPROMPT : 0);
}

std::string fileDialogFilter(const std::vector<std::pair<std::string, std::string>>& filters) {
    std::string filter;
    for (const auto& [name, pattern] : filters) {
        filter += name;
        filter += '\0';
        filter += pattern;
        filter += '\0';
    }
    if (!filter.empty()) filter += '\0';
    return filter;
}

HWND WinPrompter::owner() const {
    if (HWND active = GetActiveWindow()) return active;
    if (!owner_ || !IsWindow(owner_)) return nullptr;
    // With the program in the background this thread has no active window; the user comes back to
    // the one last active over the main window, a dialog still open there, say, which a box owned
    // by the main window would leave usable beside it.
    return GetLastActivePopup(owner_);
}

Answer WinPrompter::messageBox(const std::string& text, const std::string& caption, Icon icon, Buttons buttons) {
    const WideString wideText = widen(text);
    const WideString wideCaption = widen(caption);
    const int result = MessageBoxW(owner(), wideText.c_str(), wideCaption.c_str(), messageBoxStyle(icon, buttons));
    return answerOf(result, buttons);
}

bool WinPrompter::openFile(const FileChoice& choice, std::vector<std::string>& paths) {
    paths.clear();
    FileDialog dialog(owner(), choice, choice.multiSelect ? kMultiSelectBufferSize : kSingleNameBufferSize);
    dialog.ofn.Flags = openFileFlags(choice);
    if (!GetOpenFileNameA(&dialog.ofn)) {
        traceDialogError("GetOpenFileName");
        return false;
    }
    for (const std::string& name : splitFileDialogNames(dialog.names.data(), dialog.names.size()))
        paths.push_back(fromDialogPath(name));
    return !paths.empty();
}

bool WinPrompter::saveFile(const FileChoice& choice, std::string& path) {
    FileDialog dialog(owner(), choice, kSingleNameBufferSize);
    std::vector<char>& names = dialog.names;
    const std::string initialName = toDialogPath(path);
    initialName.copy(names.data(), std::min(initialName.size(), names.size() - 1));
    dialog.ofn.Flags = saveFileFlags(choice);
    if (!GetSaveFileNameA(&dialog.ofn)) {
        traceDialogError("GetSaveFileName");
        return false;
    }
    names.back() = '\0';
    if (names.front() == '\0') return false;
    path = fromDialogPath(names.data());
    return true;
}

bool WinPrompter::chooseFolder(const std::string& title, const std::string& startFolder, std::string& folder) {
    // The new-style browser is an OLE client; a balanced initialisation here costs nothing when the
    // thread has one already.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    std::string start = toDialogPath(startFolder);
    // Given a file (the comms log, say), the browser starts at the folder that holds it.
    const DWORD attributes = start.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(start.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const std::size_t cut = start.find_last_of("\\/");
        if (cut != std::string::npos) start.erase(cut == 2 && start[1] == ':' ? cut + 1 : cut);
    }
    const std::string shownTitle = toAnsi(title);
    char displayName[MAX_PATH] = {};

    BROWSEINFOA info{};
    info.hwndOwner = owner();
    info.pszDisplayName = displayName;
    info.lpszTitle = shownTitle.c_str();
    info.ulFlags = BIF_EDITBOX | BIF_NEWDIALOGSTYLE | BIF_RETURNONLYFSDIRS;
    info.lpfn = browseCallback;
    info.lParam = reinterpret_cast<LPARAM>(start.c_str());

    bool chosen = false;
    if (LPITEMIDLIST item = SHBrowseForFolderA(&info)) {
        char path[MAX_PATH] = {};
        // A choice without a file-system path (a virtual folder) comes back as an empty folder.
        folder = SHGetPathFromIDListA(item, path) && path[0] != '\0' ? fromDialogPath(path) : std::string();
        chosen = true;
        CoTaskMemFree(item);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return chosen;
}

void WinPrompter::beginWait() {
    if (waitDepth_++ == 0) cursorBeforeWait_ = SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

void WinPrompter::endWait() {
    if (waitDepth_ == 0) return;  // an endWait without its beginWait changes nothing
    if (--waitDepth_ == 0) {
        SetCursor(cursorBeforeWait_ ? cursorBeforeWait_ : LoadCursor(nullptr, IDC_ARROW));
        cursorBeforeWait_ = nullptr;
    }
}

}  // namespace gui
