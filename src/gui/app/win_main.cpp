// The process entry of Corvane.exe: the command line, the working folder, the classes, the simulated
// instrument when asked for, the main window and the message loop.
#include <windows.h>

#include <string>
#include <vector>

#include "gui/app/main_window.h"
#include "gui/app/program.h"
#include "gui/app/simulated_instrument.h"
#include "app/startup.h"
#include "gui/win_prompter.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; arguments && i < count; ++i) {
        char text[512] = "";
        WideCharToMultiByte(CP_UTF8, 0, arguments[i], -1, text, sizeof text, nullptr, nullptr);
        args.emplace_back(text);
    }
    LocalFree(arguments);
    app::parseCommandLine(args);
    app::settleWorkingFolder();

    gui::initialiseProgram(instance);
    static gui::WinPrompter prompter;
    platform::setPrompter(&prompter);
    // Before the main window, so that the simulator listens by the time the user connects.
    if (app::usesSimulatedInstrument() && !gui::startSimulatedInstrument())
        platform::showMessage("The simulated instrument (corvane-sim.exe) could not be started.", "Corvane",
                              platform::Icon::Warning);
    HWND main = gui::createMainWindow();
    if (!main) return 0;
    prompter.setOwner(main);
    return gui::runMessageLoop(main, showCommand);
}
