// Where work in progress reports to the user interface: the GUI posts or sends the command number to
// a window, the CLI prints progress, tests record. Workers call it from their own thread.
#pragma once

namespace platform {

class NotificationSink {
public:
    virtual ~NotificationSink() = default;
    // command: the window command number the receiver acts on; parameter: its value.
    virtual void notify(int command, long long parameter) = 0;
};

}  // namespace platform
