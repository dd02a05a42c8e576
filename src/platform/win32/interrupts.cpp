// Ctrl-C and Ctrl-Break on Windows: a console control handler that only sets a
// flag. Windows runs it on a thread of its own.
#include "platform/interrupts.h"

#include <windows.h>

#include <atomic>

namespace platform {
namespace {

std::atomic<bool> requested{false};

BOOL WINAPI onStopRequest(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    requested = true;
    return TRUE;
}

}  // namespace

InterruptWatch::InterruptWatch() {
    requested = false;
    SetConsoleCtrlHandler(onStopRequest, TRUE);
}

InterruptWatch::~InterruptWatch() { SetConsoleCtrlHandler(onStopRequest, FALSE); }

bool InterruptWatch::raised() const { return requested; }

}  // namespace platform
