#include "instrument/comms_log.h"

#include <cstdio>

#include "common/identity.h"
#include "platform/clock.h"
#include "platform/debug_output.h"
#include "platform/files.h"
#include "platform/prompter.h"

namespace instrument {
namespace {

bool enabled = false;
std::string path;

std::string timeStamp() {
    platform::LocalTime t = platform::localTimeNow();
    char text[32];
    std::snprintf(text, sizeof text, "[%02d:%02d:%02d.%03d] ", t.hour, t.minute, t.second, t.milliseconds);
    return text;
}

bool append(const std::string& file, const std::string& text) {
    std::FILE* f = std::fopen(file.c_str(), "ab");
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

// The folder part of a path, up to its last separator ("" when there is none).
std::string folderOf(const std::string& file) {
    std::size_t cut = file.find_last_of(std::string("/") + platform::pathSeparator());
    return cut == std::string::npos ? std::string() : file.substr(0, cut);
}

}  // namespace

void commsLogWrite(const std::string& text) {
    const std::string stamp = timeStamp();
    if (!enabled || path.empty()) {
        platform::debugOutput(stamp + text);
        return;
    }
    if (!platform::fileExists(path)) {
        std::string folder = folderOf(path);
        if (!folder.empty()) platform::makeDirectories(folder);
        char header[256];
        std::snprintf(header, sizeof header,
                      "%s %s CommsLog\nSoftware Version %s_%s (build %s)\n%s***\tLOG FILE OPENED\t***\n",
                      "VTLCOMPANYNAME", common::kProductName, common::kVersionMajor, common::kVersionMinor,
                      common::kVersionBuild, stamp.c_str());
        append(path, header);
        if (!platform::fileExists(path)) {
            platform::showMessage("Error opening comms log for writing\nComms Logging disabled", "Error",
                                  platform::Icon::None);
            enabled = false;
            return;
        }
    }
    append(path, stamp + text);
}

bool commsLogEnabled() { return enabled; }
const std::string& commsLogPath() { return path; }
void setCommsLogPath(const std::string& p) { path = p.substr(0, 259); }
void commsLogToggle() { enabled = !enabled; }

void commsLogStart(const std::string& folder) {
    setCommsLogPath(platform::joinPath(folder, kCommsLogFileName));
    platform::deleteFile(path);
    enabled = true;
}

}  // namespace instrument
