#include "gui/support/main_window_fixture.h"

#include "gui/app/main_window.h"
#include "gui/app/program.h"
#include "gui/instrument/instrument_link.h"
#include "db/database_files.h"
#include "platform/files.h"
#include "platform/known_folders.h"
#include "gui/support/dialog_driver.h"

namespace gui_testing {

std::string settingsFolderPath() {
    std::string local;
    platform::localAppDataFolder(platform::kFolderLocalAppData, local);
    return platform::joinPath(platform::joinPath(local, "Veltrona"), "Corvane");
}

void MainWindowTest::SetUp() {
    static bool initialised = false;
    if (!initialised) {
        initialiseGuiForTests();
        gui::initialiseProgram(GetModuleHandleA(nullptr));
        initialised = true;
    }
    SetCurrentDirectoryA(dir.path().c_str());
    gui::instrumentLink() = instrument::InstrumentLink{};
    main = gui::createMainWindow();
    ASSERT_NE(main, nullptr);
    ShowWindow(main, SW_SHOWNORMAL);
    UpdateWindow(main);
    pumpMessages(100);
}

void MainWindowTest::TearDown() {
    EXPECT_TRUE(finishDialogs());
    if (main && IsWindow(main)) DestroyWindow(main);
    pumpMessages(20);
    db::close_current_database();
    SetCurrentDirectoryA("C:\\");
}

RECT MainWindowTest::placeOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void MainWindowTest::grow(int dw, int dh) {
    const gui::MainState& s = gui::mainState(main);
    SetWindowPos(main, nullptr, 0, 0, s.initialSize.cx + dw, s.initialSize.cy + dh, SWP_NOZORDER | SWP_NOMOVE);
    pumpMessages(50);
}

}  // namespace gui_testing
