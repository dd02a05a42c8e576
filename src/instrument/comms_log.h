// The comms log: every command and reply exchanged with the instrument, with a time stamp, in the
// file Corvane_COMMS.log of a folder the user chooses. While the log is off the same lines go to the
// debugger output. It starts off at every start of the program. Any thread may write to it; entries
// from two threads at once are not ordered.
#pragma once

#include <string>

namespace instrument {

// Writes one entry: the local time "[hh:mm:ss.mmm] " and the text. The file is opened and closed
// for each entry, so that it survives a crash; a new file starts with its header. A file that cannot
// be created turns the log off after an "Error" box.
void commsLogWrite(const std::string& text);

bool commsLogEnabled();
const std::string& commsLogPath();
// The path is kept as given, at most 259 characters.
void setCommsLogPath(const std::string& path);
// Flips the log on or off; the file stays.
void commsLogToggle();

// Switches the log on into folder/Corvane_COMMS.log, deleting an old file of that name so that the
// log starts afresh with its header.
void commsLogStart(const std::string& folder);

// The file name of the log inside its folder.
inline constexpr const char* kCommsLogFileName = "Corvane_COMMS.log";

}  // namespace instrument
