// The timer service: delivers a window message once a given time has passed, so that a modal dialog
// can be told to start its work shortly after it has appeared. Its tick runs every 100 ms on a system
// timer thread and only posts messages; the list of entries is guarded by a mutex. Any thread may
// add an entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace app {

// A window, as the receiver of a message (an HWND on Windows).
using WindowHandle = std::uintptr_t;

struct DelayedCommand {
    std::int32_t id = 0;          // 1, 2, 3... from the first use
    std::uint64_t start = 0;      // platform::nowMs() when added
    double delay = 0;             // milliseconds to wait
    WindowHandle window = 0;
    std::int32_t message = 0;     // command identifier or message number
    bool asCommand = false;       // WM_COMMAND with message as wParam, else message with wParam 0
    bool active = true;           // not yet delivered
};

// Delivers the service's messages: the GUI posts them to the window (PostMessageA with the entry's id
// as lParam); tests record them. Called on the timer thread.
class MessagePoster {
public:
    virtual ~MessagePoster() = default;
    // Posts WM_COMMAND (wParam = message) when asCommand, else message with wParam 0; lParam = id.
    virtual void post(WindowHandle window, std::int32_t message, bool asCommand, std::int32_t id) = 0;
    // The service cannot go on (its mutex could not be released): show text and end the program.
    virtual void fatal(const std::string& text) = 0;
};

// Installs the poster (not owned); until then due entries are dropped as delivered.
void setMessagePoster(MessagePoster* poster);

// Adds an entry and returns its id. The first call starts the service's tick (first after 10 ms,
// then every 100 ms).
std::int32_t addDelayedCommand(double delayMs, WindowHandle window, std::int32_t message, bool asCommand);

// One tick, as the timer thread runs it: delivers the entries that are due, in list order, and
// removes the ones delivered at an earlier tick. Skipped when the list's mutex is busy for 1 ms.
void timerTick();

// A copy of the list, for tests.
std::vector<DelayedCommand> delayedCommands();

}  // namespace app
