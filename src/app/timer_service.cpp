// The timer service: a list of delayed messages guarded by a mutex, and a tick on a system timer
// thread that posts the ones that are due. The state is made on first use and never destroyed, so
// that a tick still running while the process ends finds it intact.
#include "app/timer_service.h"

#include <atomic>

#include "platform/clock.h"
#include "platform/debug_output.h"
#include "platform/thread.h"

namespace app {
namespace {

constexpr unsigned kFirstTickMs = 10;
constexpr unsigned kTickPeriodMs = 100;
constexpr unsigned kTickLockMs = 1;
constexpr unsigned kAddLockMs = 1000;  // per attempt; adding waits until the list is free

struct Service {
    platform::TimedMutex mutex;
    platform::PeriodicTimer timer;
    std::vector<DelayedCommand> entries;  // guarded by mutex, as are the two below
    std::int32_t nextId = 0;
    bool ticking = false;
};

Service& service() {
    static Service* const instance = new Service;
    return *instance;
}

std::atomic<MessagePoster*> installedPoster{nullptr};

// The service cannot release its own mutex: nothing it does afterwards can be trusted.
void fail(const char* text) {
    if (MessagePoster* poster = installedPoster.load())
        poster->fatal(text);
    else
        platform::debugOutput(std::string(text) + "\n");
}

}  // namespace

void setMessagePoster(MessagePoster* poster) { installedPoster.store(poster); }

std::int32_t addDelayedCommand(double delayMs, WindowHandle window, std::int32_t message, bool asCommand) {
    Service& s = service();
    // A tick holds the list for microseconds; a wait here means a busy machine, not a lost message.
    while (!s.mutex.lock(kAddLockMs)) platform::debugOutput("Timer service: waiting for the list\n");

    DelayedCommand entry;
    entry.start = platform::nowMs();
    entry.id = ++s.nextId;
    entry.delay = delayMs;
    entry.window = window;
    entry.message = message;
    entry.asCommand = asCommand;
    entry.active = true;
    s.entries.push_back(entry);
    if (!s.ticking) s.ticking = s.timer.start(kFirstTickMs, kTickPeriodMs, timerTick);

    const std::int32_t id = entry.id;
    if (!s.mutex.unlock()) fail("A Fatal Error Occured\nid: t00007");
    return id;
}

void timerTick() {
    Service& s = service();
    if (!s.mutex.lock(kTickLockMs)) return;  // busy: the next tick will do
    if (s.entries.empty()) {
        if (!s.mutex.unlock()) fail("A Fatal Error Occured\nid: t00006");
        return;
    }

    const double now = static_cast<double>(platform::nowMs());
    MessagePoster* poster = installedPoster.load();
    std::vector<DelayedCommand> kept;
    kept.reserve(s.entries.size());
    for (DelayedCommand& entry : s.entries) {
        if (!entry.active) continue;  // delivered at an earlier tick
        if (now >= static_cast<double>(entry.start) + entry.delay) {
            if (poster) poster->post(entry.window, entry.message, entry.asCommand, entry.id);
            entry.active = false;
        }
        kept.push_back(entry);
    }
    s.entries.swap(kept);

    if (!s.mutex.unlock()) fail("A Fatal Error Occured\nid: t00007");
}

std::vector<DelayedCommand> delayedCommands() {
    Service& s = service();
    while (!s.mutex.lock(kAddLockMs)) platform::debugOutput("Timer service: waiting for the list\n");
    std::vector<DelayedCommand> copy = s.entries;
    if (!s.mutex.unlock()) fail("A Fatal Error Occured\nid: t00007");
    return copy;
}

}  // namespace app
