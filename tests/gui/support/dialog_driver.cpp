// The dialog driver: one thread timer per expected dialog, polling every few tens of milliseconds.
#include "gui/support/dialog_driver.h"

#include <commctrl.h>
#include <objbase.h>

#include <map>
#include <set>
#include <vector>

#include <gtest/gtest.h>

namespace gui_testing {
namespace {

constexpr UINT kPollMs = 40;

struct Watch {
    std::shared_ptr<DialogAnswer> answer;
    DialogMatch match;
    DialogAction act;
    unsigned timeoutMs = 0;
    ULONGLONG deadline = 0;     // for appearing, then for closing after the action
    HWND dialog = nullptr;
    bool acting = false;        // the action is running (a nested modal loop may call us again)
};

// Every expectation still open, by its timer, and the dialogs they have taken.
std::map<UINT_PTR, std::shared_ptr<Watch>> watches;
std::set<HWND> claimed;
int failuresSinceFinish = 0;

std::vector<WCHAR> toWide(const std::string& text) {
    std::vector<WCHAR> wide(text.size() + 1, 0);
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), wide.data(),
                                      static_cast<int>(text.size()));
    wide.resize(static_cast<std::size_t>(n > 0 ? n : 0) + 1);
    wide.back() = 0;
    return wide;
}

std::string fromWide(const WCHAR* wide, int length) {
    if (length <= 0) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide, length, text.data(), n, nullptr, nullptr);
    return text;
}

bool isCandidate(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return false;
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    return std::string(className) == "#32770" && IsWindowVisible(window) && IsWindowEnabled(window) &&
           !claimed.count(window);
}

struct Search {
    const DialogMatch* match;
    HWND found;
};

BOOL CALLBACK searchTopLevel(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (isCandidate(window) && (*search->match)(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

void fail(Watch& watch, const std::string& why) {
    watch.answer->failed = true;
    ++failuresSinceFinish;
    ADD_FAILURE() << "dialog driver: " << watch.answer->description << ": " << why;
}

void stopWatching(UINT_PTR timer) {
    KillTimer(nullptr, timer);
    auto found = watches.find(timer);
    if (found == watches.end()) return;
    if (found->second->dialog) claimed.erase(found->second->dialog);
    watches.erase(found);
}

void CALLBACK poll(HWND, UINT, UINT_PTR timer, DWORD) {
    auto found = watches.find(timer);
    if (found == watches.end()) {
        KillTimer(nullptr, timer);
        return;
    }
    std::shared_ptr<Watch> watch = found->second;  // kept alive through nested loops
    if (watch->acting) return;
    const ULONGLONG now = GetTickCount64();

    if (!watch->answer->appeared) {
        Search search{&watch->match, nullptr};
        EnumWindows(searchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            watch->dialog = search.found;
            claimed.insert(search.found);
            watch->answer->appeared = true;
            watch->acting = true;
            watch->act(search.found);
            watch->acting = false;
            watch->deadline = GetTickCount64() + watch->timeoutMs;
        } else if (now > watch->deadline) {
            fail(*watch, "did not appear within " + std::to_string(watch->timeoutMs) + " ms");
            stopWatching(timer);
        }
        return;
    }
    if (!IsWindow(watch->dialog) || !IsWindowVisible(watch->dialog)) {
        watch->answer->closed = true;
        stopWatching(timer);
    } else if (now > watch->deadline) {
        fail(*watch, "was still open " + std::to_string(watch->timeoutMs) + " ms after its answer; cancelled");
        EndDialog(watch->dialog, IDCANCEL);
        stopWatching(timer);
    }
}

BOOL CALLBACK findChildWithText(HWND child, LPARAM data) {
    auto* wanted = reinterpret_cast<std::pair<const std::string*, bool>*>(data);
    if (windowText(child) == *wanted->first) {
        wanted->second = true;
        return FALSE;
    }
    return TRUE;
}

struct ClassSearch {
    std::string className;
    HWND found;
};

BOOL CALLBACK findChildOfClass(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ClassSearch*>(data);
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    if (search->className == className) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::shared_ptr<const DialogAnswer> answerNextWindow(DialogMatch match, DialogAction act, std::string description,
                                                     unsigned timeoutMs) {
    auto watch = std::make_shared<Watch>();
    watch->answer = std::make_shared<DialogAnswer>();
    watch->answer->description = std::move(description);
    watch->match = std::move(match);
    watch->act = std::move(act);
    watch->timeoutMs = timeoutMs;
    watch->deadline = GetTickCount64() + timeoutMs;
    const UINT_PTR timer = SetTimer(nullptr, 0, kPollMs, poll);
    if (!timer) {
        fail(*watch, "no timer could be set");
        return watch->answer;
    }
    watches[timer] = watch;
    return watch->answer;
}

std::shared_ptr<const DialogAnswer> answerNextDialog(const std::string& title, DialogAction act, unsigned timeoutMs) {
    return answerNextWindow([title](HWND dialog) { return windowText(dialog) == title; }, std::move(act),
                            "dialog \"" + title + "\"", timeoutMs);
}

bool finishDialogs(unsigned waitMs) {
    const ULONGLONG end = GetTickCount64() + waitMs;
    while (!watches.empty() && GetTickCount64() < end) pumpMessages(20);
    while (!watches.empty()) {
        auto [timer, watch] = *watches.begin();
        fail(*watch, watch->answer->appeared ? "was not closed before the test ended" : "never appeared");
        stopWatching(timer);
    }
    const bool clean = failuresSinceFinish == 0;
    failuresSinceFinish = 0;
    return clean;
}

void pumpMessages(unsigned ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount64() < end);
}

DialogMatch dialogShowing(const std::string& text) {
    return [text](HWND dialog) {
        std::pair<const std::string*, bool> wanted{&text, false};
        EnumChildWindows(dialog, findChildWithText, reinterpret_cast<LPARAM>(&wanted));
        return wanted.second;
    };
}

void pressButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void setItemText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextW(dialog, id, toWide(text).data());
}

std::string itemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item ? windowText(item) : std::string();
}

std::string windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::vector<WCHAR> text(static_cast<std::size_t>(length) + 1, 0);
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    return fromWide(text.data(), copied);
}

std::string messageBoxText(HWND box) {
    constexpr int kMessageText = 0xFFFF;   // the message box's static control
    return itemText(box, kMessageText);
}

HWND findDescendant(HWND parent, const std::string& className) {
    ClassSearch search{className, nullptr};
    EnumChildWindows(parent, findChildOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

namespace {

// The name box is edit control edt1 in the classic layout and combo box cmb13 in newer ones.
HWND fileNameBox(HWND fileDialog) {
    constexpr int kNameEdit = 0x480;
    constexpr int kNameCombo = 0x47C;
    HWND box = GetDlgItem(fileDialog, kNameEdit);
    return box ? box : GetDlgItem(fileDialog, kNameCombo);
}

}  // namespace

std::string fileDialogName(HWND fileDialog) {
    HWND box = fileNameBox(fileDialog);
    return box ? windowText(box) : std::string();
}

void chooseFileName(HWND fileDialog, const std::string& name) {
    HWND box = fileNameBox(fileDialog);
    if (!box) {
        ADD_FAILURE() << "dialog driver: no file name box in \"" << windowText(fileDialog) << "\"";
        pressButton(fileDialog, IDCANCEL);
        return;
    }
    SetWindowTextW(box, toWide(name).data());
    pressButton(fileDialog, IDOK);
}

void initialiseGuiForTests() {
    static bool done = false;
    if (done) return;
    done = true;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
}

}  // namespace gui_testing
