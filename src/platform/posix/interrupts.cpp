// Ctrl-C and SIGTERM on POSIX: a handler that only sets a lock-free flag.
#include "platform/interrupts.h"

#include <atomic>
#include <csignal>

namespace platform {
namespace {

std::atomic<bool> requested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

struct sigaction previousInt, previousTerm;

extern "C" void onStopRequest(int) { requested = true; }

}  // namespace

InterruptWatch::InterruptWatch() {
    requested = false;
    struct sigaction action {};
    action.sa_handler = onStopRequest;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
}

InterruptWatch::~InterruptWatch() {
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
}

bool InterruptWatch::raised() const { return requested; }

}  // namespace platform
