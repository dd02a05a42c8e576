#include "gui/support/host_process.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/files.h"
#include "platform/known_folders.h"
#include "platform/win32/wide_text.h"

namespace gui_testing {
namespace {

// Wine's own path conversions; both return memory of the process heap.
using UnixFileName = char*(CDECL*)(const WCHAR*);
using DosFileName = WCHAR*(CDECL*)(const char*);

template <typename Function>
Function wineEntry(const char* name) {
    // Through void* because GetProcAddress's own function type has no parameters.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

// A fresh file name in the temporary folder, for one command's answer.
std::string answerFile() {
    static std::atomic<int> counter{0};
    std::string folder;
    platform::temporaryFolder(folder);
    return platform::joinPath(folder, "corvane-host-" + std::to_string(GetCurrentProcessId()) + "-" +
                                          std::to_string(++counter) + ".txt");
}

// The file's first line once it has one, waiting up to timeoutMs; false when none came.
bool awaitLine(const std::string& path, int timeoutMs, std::string& line) {
    for (int waited = 0; waited <= timeoutMs; waited += 20) {
        std::ifstream in(path);
        if (std::getline(in, line)) return true;
        Sleep(20);
    }
    return false;
}

// Starts /bin/sh -c script; false when Wine refuses.
bool startShell(const std::string& script) {
    std::string commandLine = "/bin/sh -c " + windowsQuoted(script);
    platform::win32::WideString wide = platform::win32::widen(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    return true;
}

}  // namespace

std::string hostPath(const std::string& windowsPath) {
    auto toUnix = wineEntry<UnixFileName>("wine_get_unix_file_name");
    if (!toUnix || windowsPath.empty()) return std::string();
    platform::win32::WideString wide = platform::win32::widen(windowsPath);
    char* converted = toUnix(wide.c_str());
    if (!converted) return std::string();
    std::string result(converted);
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}

std::string windowsPath(const std::string& hostPath) {
    auto toDos = wineEntry<DosFileName>("wine_get_dos_file_name");
    if (!toDos || hostPath.empty()) return std::string();
    WCHAR* converted = toDos(hostPath.c_str());
    if (!converted) return std::string();
    std::string result = platform::win32::narrow(converted);
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}

std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Backslashes are doubled only where a quote follows them.
std::string windowsQuoted(const std::string& argument) {
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

int runHostCommand(const std::string& command, int timeoutMs) {
    const std::string answer = answerFile();
    const std::string hostAnswer = hostPath(answer);
    // The status is written to a side file and moved into place, so that a half-written line is never read.
    if (hostAnswer.empty() ||
        !startShell("(" + command + "); echo $? > " + shellQuoted(hostAnswer + ".part") + " && mv " +
                    shellQuoted(hostAnswer + ".part") + " " + shellQuoted(hostAnswer)))
        return -1;
    std::string line;
    const bool ended = awaitLine(answer, timeoutMs, line);
    platform::deleteFile(answer);
    return ended ? std::atoi(line.c_str()) : -1;
}

int startHostProcess(const std::string& command) {
    const std::string answer = answerFile();
    const std::string hostAnswer = hostPath(answer);
    if (hostAnswer.empty() ||
        !startShell(command + " </dev/null & echo $! > " + shellQuoted(hostAnswer + ".part") + " && mv " +
                    shellQuoted(hostAnswer + ".part") + " " + shellQuoted(hostAnswer)))
        return -1;
    std::string line;
    const bool started = awaitLine(answer, 10000, line);
    platform::deleteFile(answer);
    return started ? std::atoi(line.c_str()) : -1;
}

void stopHostProcess(int pid) {
    if (pid <= 0) return;
    const std::string id = std::to_string(pid);
    runHostCommand("kill -TERM " + id + " 2>/dev/null; for i in $(seq 250); do kill -0 " + id +
                   " 2>/dev/null || exit 0; sleep 0.02; done; kill -KILL " + id + " 2>/dev/null");
}

std::string mapComPort(const std::string& device, int n) {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix || device.empty()) return std::string();
    const std::string link = std::string(prefix) + "/dosdevices/com" + std::to_string(n);
    if (runHostCommand("ln -sfn " + shellQuoted(device) + " " + shellQuoted(link)) != 0) return std::string();
    return "COM" + std::to_string(n);
}

}  // namespace gui_testing
