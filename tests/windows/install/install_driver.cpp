// The install test's driver, run under Wine in a prefix of its own: installs the package silently,
// starts the installed program through each Start-menu shortcut, upgrades, tries a downgrade,
// removes the program and checks what removal keeps. Prints each failed check; exits 1 after any.
// Usage: install_driver MSI NEWER_MSI   (Windows paths)
#include <winsock2.h>
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "common/identity.h"
#include "gui/app/window_classes.h"

namespace {

int failures = 0;

void check(bool ok, const char* what) {
    if (ok) return;
    ++failures;
    std::printf("FAIL: %s\n", what);
}

// Polls until the condition holds or the time is up: every wait of the test is bounded.
bool waitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(100))
        if (condition()) return true;
    return condition();
}

std::wstring folder(int csidl) {
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
    return path;
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// msiexec's exit code for the action on the package, silently; -1 when it did not finish.
DWORD msiexec(const char* action, const char* package) {
    std::string text = std::string("msiexec.exe ") + action + " \"" + package + "\" /qn";
    std::wstring commandLine(text.begin(), text.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    DWORD code = static_cast<DWORD>(-1);
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 180000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return code;
}

// Add/Remove Programs' entries named Corvane, each as "version by maker".
std::vector<std::string> installedCorvanes() {
    std::vector<std::string> found;
    HKEY uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                      KEY_READ | KEY_WOW64_64KEY, &uninstall) != ERROR_SUCCESS)
        return found;
    char key[256];
    for (DWORD i = 0; RegEnumKeyA(uninstall, i, key, sizeof key) == ERROR_SUCCESS; ++i) {
        auto value = [&](const char* name) {
            char text[256] = "";
            DWORD size = sizeof text;
            RegGetValueA(uninstall, key, name, RRF_RT_REG_SZ, nullptr, text, &size);
            return std::string(text);
        };
        if (value("DisplayName") == common::kProductName)
            found.push_back(value("DisplayVersion") + " by " + value("Publisher"));
    }
    RegCloseKey(uninstall);
    return found;
}

// The shortcut's file: Windows puts a per-machine package's shortcuts in the common Start menu,
// Wine in the installing user's.
std::wstring shortcut(const wchar_t* name) {
    const std::wstring common = folder(CSIDL_COMMON_PROGRAMS) + L"\\" + name + L".lnk";
    return exists(common) ? common : folder(CSIDL_PROGRAMS) + L"\\" + name + L".lnk";
}

// Opens the shortcut as the shell does and waits for the program's main window to show (the
// program opens its database just after); the program's process, or nullptr when it did not come up.
HANDLE startFrom(const std::wstring& link) {
    ShellExecuteW(nullptr, nullptr, link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    HWND main = nullptr;
    waitFor([&] { return (main = FindWindowA(gui::kMainClass, common::mainWindowTitle().c_str())) &&
                         IsWindowVisible(main); }, 60000);
    DWORD id = 0;
    GetWindowThreadProcessId(main, &id);
    check(id != 0, "the program's main window appears");
    return OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
}

// Whether anything accepts a connection on the instrument's LAN port of this machine.
bool simulatorListens() {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(10001);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected = connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    closesocket(s);
    return connected;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    CoInitialize(nullptr);
    WSADATA sockets;
    WSAStartup(MAKEWORD(2, 2), &sockets);
    const std::wstring installed = folder(CSIDL_PROGRAM_FILES) + L"\\Corvane";
    const std::wstring database = folder(CSIDL_PERSONAL) + L"\\Corvane\\default.db";
    const std::wstring settings = folder(CSIDL_LOCAL_APPDATA) + L"\\Veltrona\\Corvane\\Corvane.ini";
    using Entries = std::vector<std::string>;

    check(msiexec("/i", argv[1]) == 0, "the package installs silently");
    const std::wstring plain = shortcut(L"Corvane"), simulated = shortcut(L"Corvane (simulated instrument)");
    check(exists(plain) && exists(simulated), "the Start menu holds both shortcuts");
    check(exists(installed + L"\\Corvane.exe") && exists(installed + L"\\cli\\corvane.exe") &&
              exists(installed + L"\\corvane-sim.exe"), "Program Files\\Corvane holds the three programs");
    check(installedCorvanes() == Entries{CORVANE_VERSION " by Veltrona"}, "one entry, " CORVANE_VERSION " by Veltrona");

    HANDLE program = startFrom(plain);
    check(waitFor([&] { return exists(database); }, 20000),
          "the plain shortcut's program makes its database in Documents\\Corvane");
    check(!simulatorListens(), "the plain shortcut starts no simulator");
    PostMessageA(FindWindowA(gui::kMainClass, nullptr), WM_CLOSE, 0, 0);
    check(program && WaitForSingleObject(program, 30000) == WAIT_OBJECT_0, "the program ends as its window closes");

    program = startFrom(simulated);
    check(waitFor(simulatorListens, 20000), "the simulated instrument listens on 127.0.0.1:10001");
    TerminateProcess(program, 1);
    check(waitFor([] { return !simulatorListens(); }, 10000), "the simulator ends with the program, even killed");

    check(msiexec("/i", argv[2]) == 0, "a newer package installs over the old one");
    check(installedCorvanes() == Entries{CORVANE_NEWER_VERSION " by Veltrona"}, "one entry after the upgrade");
    check(msiexec("/i", argv[1]) != 0, "the older package refuses to downgrade");
    check(installedCorvanes() == Entries{CORVANE_NEWER_VERSION " by Veltrona"}, "the downgrade changes nothing");

    check(msiexec("/x", argv[2]) == 0, "the program is removed silently");
    check(!exists(installed) && !exists(plain) && installedCorvanes().empty(), "removal takes files, shortcuts, entry");
    check(exists(database) && exists(settings), "removal keeps the user's database and settings");
    std::printf(failures ? "%d checks failed\n" : "every check passed\n", failures);
    return failures ? 1 : 0;
}
