// Starting and ending the simulator from a Windows test under Wine: the Windows simulator as a child
// process without a console, ended with TerminateProcess (it flushes its log line by line); for a
// pseudo-terminal the native simulator, through the host's shell (gui/support/host_process.h).
#include "sim_process.h"

#include <windows.h>

#include "gui/support/host_process.h"
#include "platform/win32/wide_text.h"

namespace testing_support {

void SimProcess::launch(const std::vector<std::string>& arguments, bool pty, const std::string& outFile) {
    if (pty) {
        // The native simulator takes host paths.
        std::string command = gui_testing::shellQuoted(CORVANE_SIM);
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            const bool isPath = i > 0 && arguments[i - 1] == "--log";
            command += " " + gui_testing::shellQuoted(isPath ? gui_testing::hostPath(arguments[i]) : arguments[i]);
        }
        command += " > " + gui_testing::shellQuoted(gui_testing::hostPath(outFile)) + " 2>&1";
        process_ = gui_testing::startHostProcess(command);
        onHost_ = true;
        return;
    }
    std::string commandLine = gui_testing::windowsQuoted(gui_testing::windowsPath(CORVANE_WINDOWS_SIM));
    for (const std::string& a : arguments) commandLine += " " + gui_testing::windowsQuoted(a);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    platform::win32::WideString outPath = platform::win32::widen(outFile);
    HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = out;
    PROCESS_INFORMATION process{};
    platform::win32::WideString wide = platform::win32::widen(commandLine);
    if (CreateProcessW(nullptr, wide.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        process_ = reinterpret_cast<std::intptr_t>(process.hProcess);
    }
    CloseHandle(out);
}

void SimProcess::end() {
    if (onHost_) {
        gui_testing::stopHostProcess(static_cast<int>(process_));
    } else if (process_ > 0) {
        HANDLE process = reinterpret_cast<HANDLE>(process_);
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
    process_ = -1;
}

}  // namespace testing_support
