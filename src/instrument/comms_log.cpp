// The comms log file, its header and its switch; the state is atomic or locked, as measurement
// workers write entries while the user interface may switch the log.
#include "instrument/comms_log.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#include "common/identity.h"
#include "platform/clock.h"
#include "platform/debug_output.h"
#include "platform/files.h"
#include "platform/prompter.h"
#include "platform/thread.h"

namespace instrument {
namespace {

std::atomic<bool> enabled{false};
std::mutex pathMutex;
std::string path;  // guarded by pathMutex
std::atomic<bool> failurePending{false};
std::atomic<platform::NotificationSink*> failureSink{nullptr};

void showFailure() {
    platform::showMessage("Error opening comms log for writing\nComms Logging disabled", "Error",
                          platform::Icon::None);
}

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
    const std::string file = commsLogPath();
    if (!enabled || file.empty()) {
        platform::debugOutput(stamp + text);
        return;
    }
    if (!platform::fileExists(file)) {
        std::string folder = folderOf(file);
        if (!folder.empty()) platform::makeDirectories(folder);
        char header[256];
        std::snprintf(header, sizeof header,
                      "%s %s CommsLog\nSoftware Version %s_%s (build %s)\n%s***\tLOG FILE OPENED\t***\n",
                      "VTLCOMPANYNAME", common::kProductName, common::kVersionMajor, common::kVersionMinor,
                      common::kVersionBuild, stamp.c_str());
        append(file, header);
        if (!platform::fileExists(file)) {
            enabled = false;
            // A worker must not open a window: it leaves the message for the user-interface thread.
            if (platform::onWorkerThread()) failurePending = true;
            else showFailure();
            // Either way the user interface learns that the log went off (its menu shows whether it
            // is on).
            if (platform::NotificationSink* sink = failureSink.load()) sink->notify(kNotifyCommsLogFailed, 0);
            return;
        }
    }
    append(file, stamp + text);
}

bool commsLogEnabled() { return enabled; }

std::string commsLogPath() {
    std::lock_guard<std::mutex> lock(pathMutex);
    return path;
}

void setCommsLogPath(const std::string& p) {
    std::lock_guard<std::mutex> lock(pathMutex);
    path = p.substr(0, 259);
}

void commsLogToggle() {
    // A worker may turn the log off meanwhile; the flip applies to the state it finds.
    bool was = enabled.load();
    while (!enabled.compare_exchange_weak(was, !was)) {
    }
}

void commsLogStart(const std::string& folder) {
    setCommsLogPath(platform::joinPath(folder, kCommsLogFileName));
    platform::deleteFile(commsLogPath());
    enabled = true;
}

void setCommsLogFailureSink(platform::NotificationSink* sink) { failureSink = sink; }

void showPendingCommsLogFailure() {
    if (failurePending.exchange(false)) showFailure();
}

}  // namespace instrument
