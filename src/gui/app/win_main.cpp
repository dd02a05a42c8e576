// The process entry of Corvane.exe: the command line, the classes, the main window and the message
// loop.
#include <windows.h>

#include <string>
#include <vector>

#include "gui/app/main_window.h"
#include "gui/app/program.h"
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

    gui::initialiseProgram(instance);
    static gui::WinPrompter prompter;
    platform::setPrompter(&prompter);
    HWND main = gui::createMainWindow();
    if (!main) return 0;
    prompter.setOwner(main);
    return gui::runMessageLoop(main, showCommand);
}
