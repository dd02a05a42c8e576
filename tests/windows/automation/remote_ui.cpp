// Cross-process window work: texts through the messages the system carries between processes
// (WM_GETTEXT, WM_SETTEXT, the combo box's string messages), everything else through a block of the
// target's own memory, as screen readers read list views.
#include "remote_ui.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/wide_text.h"

namespace automation {
namespace {

using platform::win32::narrow;
using platform::win32::widen;

constexpr UINT kSendTimeoutMs = 10000;
constexpr int kMessageTextId = 0xFFFF;  // a message box's static text
constexpr std::size_t kCellCapacity = 512;

// A message that the target answers within the bound, or a failure: a stuck target must not hold the
// test. A window that has gone meanwhile (a dialog closing) answers 0.
LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) &&
        IsWindow(window))
        throw StepFailure("no answer within 10 s to message " + std::to_string(message) + " to a " + className(window));
    return static_cast<LRESULT>(result);
}

// A block of the target process's memory, freed with the object.
class RemoteBlock {
public:
    RemoteBlock(HANDLE process, std::size_t size)
        : process_(process), at_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
        if (!at_) throw StepFailure("no memory could be had in the program's process");
    }
    ~RemoteBlock() { VirtualFreeEx(process_, at_, 0, MEM_RELEASE); }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    void write(std::size_t offset, const void* data, std::size_t size) {
        if (!WriteProcessMemory(process_, address(offset), data, size, nullptr))
            throw StepFailure("the program's memory could not be written");
    }
    void read(std::size_t offset, void* data, std::size_t size) const {
        if (!ReadProcessMemory(process_, address(offset), data, size, nullptr))
            throw StepFailure("the program's memory could not be read");
    }
    char* address(std::size_t offset = 0) const { return static_cast<char*>(at_) + offset; }
    LPARAM parameter(std::size_t offset = 0) const { return reinterpret_cast<LPARAM>(address(offset)); }

private:
    HANDLE process_;
    void* at_;
};

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK collectTopLevel(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->processId && IsWindowVisible(window)) search->found.push_back(window);
    return TRUE;
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK findControl(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ControlSearch*>(data);
    if (GetDlgCtrlID(window) != search->id) return TRUE;
    search->found = window;
    return FALSE;
}

struct ClassSearch {
    std::string className;
    HWND found;
};

BOOL CALLBACK findClass(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ClassSearch*>(data);
    if (className(window) != search->className) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

void waitUntil(const std::string& what, const std::function<bool()>& done, unsigned ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
        if (GetTickCount64() > end) throw StepFailure("waited " + std::to_string(ms) + " ms for " + what);
        Sleep(50);
    }
}

std::vector<HWND> Target::windows() const {
    WindowSearch search{processId_, {}};
    EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Target::awaitWindow(const std::string& what, const std::function<bool(HWND)>& match, unsigned ms) const {
    HWND found = nullptr;
    waitUntil(what, [&] {
        for (HWND w : windows())
            if (IsWindowEnabled(w) && match(w)) found = w;
        return found != nullptr;
    }, ms);
    return found;
}

HWND Target::awaitWindow(const std::string& caption, unsigned ms) const {
    return awaitWindow("a window \"" + caption + "\"", [&](HWND w) { return !isMessageBox(w) && textOf(w) == caption; }, ms);
}

HWND Target::awaitMessageBox(const std::string& caption, unsigned ms) const {
    return awaitWindow("a message box \"" + caption + "\"", [&](HWND w) { return isMessageBox(w) && textOf(w) == caption; },
                       ms);
}

void Target::awaitClosed(HWND window, const std::string& what, unsigned ms) const {
    waitUntil(what + " to close", [window] { return !IsWindow(window) || !IsWindowVisible(window); }, ms);
}

int Target::listRows(HWND list) const { return static_cast<int>(send(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string Target::listCell(HWND list, int row, int column) const {
    RemoteBlock block(process_, sizeof(LVITEMW) + kCellCapacity * sizeof(WCHAR));
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<LPWSTR>(block.address(sizeof item));
    item.cchTextMax = static_cast<int>(kCellCapacity);
    block.write(0, &item, sizeof item);
    const LRESULT length = send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), block.parameter());
    std::vector<WCHAR> text(kCellCapacity, 0);
    block.read(sizeof item, text.data(), text.size() * sizeof(WCHAR));
    return narrow(text.data(), static_cast<std::size_t>(length));
}

void Target::selectRows(HWND list, const std::vector<int>& rows) const {
    RemoteBlock block(process_, sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    block.write(0, &item, sizeof item);
    send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), block.parameter());
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    for (int row : rows) {
        block.write(0, &item, sizeof item);
        send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), block.parameter());
        item.state = item.stateMask = LVIS_SELECTED;  // the focus stays on the first
    }
}

LRESULT Target::sendWithText(HWND window, UINT message, WPARAM wParam, const std::string& text) const {
    const platform::win32::WideString wide = widen(text);
    const std::size_t bytes = (static_cast<std::size_t>(wide.length()) + 1) * sizeof(WCHAR);
    RemoteBlock block(process_, bytes);
    block.write(0, wide.c_str(), bytes);
    return send(window, message, wParam, block.parameter());
}

std::string Target::describe() const {
    std::string text;
    for (HWND w : windows()) {
        text += "  [" + className(w) + "] ";
        try {
            text += "\"" + textOf(w) + "\"" + (IsWindowEnabled(w) ? "" : " (disabled)");
            if (isMessageBox(w)) text += ": " + messageOf(w);
        } catch (const StepFailure&) {
            text += "(not answering)";
        }
        text += "\n";
    }
    return text.empty() ? "  no window\n" : text;
}

HWND control(HWND parent, int id) {
    ControlSearch search{id, nullptr};
    EnumChildWindows(parent, findControl, reinterpret_cast<LPARAM>(&search));
    if (!search.found) throw StepFailure("no control " + std::to_string(id) + " in \"" + textOf(parent) + "\"");
    return search.found;
}

HWND descendantOfClass(HWND parent, const std::string& wanted) {
    ClassSearch search{wanted, nullptr};
    EnumChildWindows(parent, findClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool isMessageBox(HWND window) { return className(window) == "#32770" && GetDlgItem(window, kMessageTextId); }

std::string className(HWND window) {
    char name[128] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string textOf(HWND window) {
    const auto length = static_cast<std::size_t>(send(window, WM_GETTEXTLENGTH, 0, 0));
    std::vector<WCHAR> text(length + 1, 0);
    const LRESULT copied = send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return narrow(text.data(), static_cast<std::size_t>(copied));
}

std::string textOf(HWND parent, int id) { return textOf(control(parent, id)); }

std::string messageOf(HWND box) { return textOf(GetDlgItem(box, kMessageTextId)); }

void typeInto(HWND dialog, int id, const std::string& text) {
    HWND edit = control(dialog, id);
    const platform::win32::WideString wide = widen(text);
    send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    send(GetParent(edit), WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(edit));
}

void click(HWND button) {
    if (!IsWindowEnabled(button)) throw StepFailure("the button \"" + textOf(button) + "\" is disabled");
    PostMessageW(button, BM_CLICK, 0, 0);
}

void click(HWND dialog, int id) { click(control(dialog, id)); }

std::vector<std::string> comboItems(HWND combo) {
    std::vector<std::string> items;
    for (LRESULT i = 0, count = send(combo, CB_GETCOUNT, 0, 0); i < count; ++i) {
        std::vector<WCHAR> text(static_cast<std::size_t>(std::max<LRESULT>(send(combo, CB_GETLBTEXTLEN, i, 0), 0)) + 1, 0);
        const LRESULT length = send(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        items.push_back(narrow(text.data(), static_cast<std::size_t>(std::max<LRESULT>(length, 0))));
    }
    return items;
}

void notifyPressed(HWND dialog, int id) {
    HWND button = control(dialog, id);
    if (!IsWindowEnabled(button)) throw StepFailure("the button \"" + textOf(button) + "\" is disabled");
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void chooseItem(HWND dialog, int id, const std::string& text) {
    HWND combo = control(dialog, id);
    const platform::win32::WideString wide = widen(text);
    if (send(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wide.c_str())) == CB_ERR)
        throw StepFailure("no item \"" + text + "\" in combo box " + std::to_string(id));
    send(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void focus(HWND dialog, int id) { PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(dialog, id)), TRUE); }

}  // namespace automation
