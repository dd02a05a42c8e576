// Process set-up shared by the entry point and the tests.
#include "gui/app/program.h"

#include "gui/app/main_window.h"
#include "app/timer_service.h"
#include "gui/app/window_classes.h"
#include "gui/db/indexing_dialog.h"

namespace gui {
namespace {

// The timer service's deliveries become posted window messages.
class WindowPoster : public app::MessagePoster {
public:
    explicit WindowPoster(DWORD uiThread) : uiThread_(uiThread) {}

    void post(app::WindowHandle window, std::int32_t message, bool asCommand, std::int32_t id) override {
        PostMessageA(reinterpret_cast<HWND>(window), asCommand ? WM_COMMAND : static_cast<UINT>(message),
                     asCommand ? static_cast<WPARAM>(message) : 0, id);
    }

    // The timer thread cannot go on: say so and end the user-interface thread's message loop.
    void fatal(const std::string& text) override {
        MessageBoxA(nullptr, text.c_str(), "", MB_OK | MB_ICONERROR);
        PostThreadMessageA(uiThread_, WM_QUIT, 0, 0);
    }

private:
    DWORD uiThread_;
};

}  // namespace

void initialiseProgram(HINSTANCE instance) {
    registerWindowClasses(instance);
    installIndexingDialog();
    static WindowPoster poster(GetCurrentThreadId());
    app::setMessagePoster(&poster);
}

}  // namespace gui
