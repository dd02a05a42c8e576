// The comms log: every command and reply exchanged with the instrument, with a time stamp, in the
// file Corvane_COMMS.log of a folder the user chooses. While the log is off the same lines go to the
// debugger output. It starts off at every start of the program. Any thread may write to it and ask
// or change its state; entries from two threads at once are not ordered.
#pragma once

#include <string>

#include "platform/notification_sink.h"

namespace instrument {

// Sent to the failure sink when the log file could not be made and the log went off.
constexpr int kNotifyCommsLogFailed = 251;

// Writes one entry: the local time "[hh:mm:ss.mmm] " and the text. The file is opened and closed
// for each entry, so that it survives a crash; a new file starts with its header. A file that cannot
// be created turns the log off, says so in an "Error" box and tells the failure sink: the box comes at
// once on the user-interface thread; from a worker it is kept for showPendingCommsLogFailure.
void commsLogWrite(const std::string& text);

bool commsLogEnabled();
// A copy of the path: another thread may change it meanwhile.
std::string commsLogPath();
// The path is kept as given, at most 259 characters.
void setCommsLogPath(const std::string& path);
// Flips the log on or off; the file stays.
void commsLogToggle();

// Switches the log on into folder/Corvane_COMMS.log, deleting an old file of that name so that the
// log starts afresh with its header.
void commsLogStart(const std::string& folder);

// Where a failure is announced (kNotifyCommsLogFailed, parameter 0), from the thread that met it;
// nullptr for nowhere. The user interface registers it and keeps it alive while workers run.
void setCommsLogFailureSink(platform::NotificationSink* sink);

// User-interface thread: shows the "Error" box of a failure that happened on a worker, once; does
// nothing when none is pending.
void showPendingCommsLogFailure();

// The file name of the log inside its folder.
inline constexpr const char* kCommsLogFileName = "Corvane_COMMS.log";

}  // namespace instrument
