// Reports from other threads (measurement workers, the comms log) reach a window as posted
// WM_COMMAND messages, which the window handles on the user-interface thread: posting is the one
// window call any thread may make.
#pragma once

#include <windows.h>

#include "platform/notification_sink.h"

namespace gui {

class WindowCommandSink final : public platform::NotificationSink {
public:
    explicit WindowCommandSink(HWND target = nullptr) : target_(target) {}

    // Posts WM_COMMAND with the command as its id and the parameter as its lParam; a window that is
    // gone makes the post fail quietly.
    void notify(int command, long long parameter) override {
        PostMessageA(target_, WM_COMMAND, static_cast<WPARAM>(command), static_cast<LPARAM>(parameter));
    }

private:
    HWND target_;
};

}  // namespace gui
