// Switching the comms log from the menu, and the menu's check mark when the log goes off by itself.
#include "gui/instrument/comms_log_command.h"

#include <string>

#include "gui/resources/resource.h"
#include "instrument/comms_log.h"
#include "platform/files.h"
#include "platform/prompter.h"

namespace gui {
namespace {

void showCommsLogState(HWND main) {
    CheckMenuItem(GetMenu(main), IDM_DEBUG,
                  MF_BYCOMMAND | (instrument::commsLogEnabled() ? MF_CHECKED : MF_UNCHECKED));
}

// The folder of the current log file, where the browser starts.
std::string logFolder() {
    const std::string path = instrument::commsLogPath();
    const std::size_t cut = path.find_last_of(platform::pathSeparator());
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

}  // namespace

void toggleCommsLog(HWND main) {
    if (instrument::commsLogEnabled()) {
        instrument::commsLogToggle();
    } else {
        std::string folder;
        if (platform::prompter().chooseFolder("Choose the folder for the comms log", logFolder(), folder)) {
            if (folder.empty())
                platform::showMessage("Invalid Directory Selected", "Error", platform::Icon::Information);
            else
                instrument::commsLogStart(folder);
        }
    }
    showCommsLogState(main);
}

void onCommsLogFailed(HWND main) {
    instrument::showPendingCommsLogFailure();
    showCommsLogState(main);
}

}  // namespace gui
