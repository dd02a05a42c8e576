// Requests to stop that come from outside a command-line run: Ctrl-C and termination (SIGINT and
// SIGTERM on POSIX; Ctrl-C, Ctrl-Break on Windows). A run that can take long
// watches for them and ends the way the GUI's Cancel ends a measurement, instead of dying with the
// instrument held. Main thread of the CLI; the flag may be read from any thread.
#pragma once

namespace platform {

// While one lives, those requests only raise its flag; the previous handling comes back when it is
// destroyed. One at a time.
class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // True once a request has come.
    bool raised() const;
};

}  // namespace platform
