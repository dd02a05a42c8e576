// Starting the simulated instrument beside the program, tied to the program's life by a job object.
#include "gui/app/simulated_instrument.h"

#include <windows.h>

#include <string>
#include <vector>

#include "instrument/link.h"
#include "platform/files.h"
#include "platform/win32/wide_text.h"

namespace gui {
namespace {

// The simulator's full path: the running program's folder and "corvane-sim.exe"; "" when the
// program's own path cannot be had.
std::string simulatorPath() {
    const std::string folder = platform::programFolder();
    return folder.empty() ? std::string() : folder + "\\corvane-sim.exe";
}

}  // namespace

bool startSimulatedInstrument() {
    const std::string program = simulatorPath();
    if (program.empty()) return false;
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job) return false;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    platform::win32::WideString application = platform::win32::widen(program);
    platform::win32::WideString commandLine =
        platform::win32::widen("\"" + program + "\" --port " + std::to_string(instrument::kDefaultLanPort));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Suspended until it is in the job, so that no moment of its life is outside it.
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
        !CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup, &process)) {
        CloseHandle(job);
        return false;
    }
    const bool held = AssignProcessToJobObject(job, process.hProcess) != 0;
    if (held)
        ResumeThread(process.hThread);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!held) {
        CloseHandle(job);
        return false;
    }
    // The job's handle stays open: the system closes it as the program ends, in whatever way, and
    // that ends the simulator.
    return true;
}

}  // namespace gui
