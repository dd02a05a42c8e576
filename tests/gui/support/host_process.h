// Programs of the host system (Linux), run from a Windows test program under Wine: the native
// simulator with its pseudo-terminal, a bridge from a pseudo-terminal to a socket, a link in the Wine
// prefix's device folder. Wine starts a host executable given to CreateProcess but gives no handle
// to wait on or end, so each runs through the host's shell, which leaves its status or its process
// id in a file that the test waits for.
#pragma once

#include <string>

namespace gui_testing {

// A Windows path as the host sees it ("/tmp/x" for "Z:\tmp\x"), and a host path as Windows sees it.
// "" when Wine cannot convert it.
std::string hostPath(const std::string& windowsPath);
std::string windowsPath(const std::string& hostPath);

// text in single quotes for the host's shell.
std::string shellQuoted(const std::string& text);
// One argument as a Windows command line carries it, in double quotes.
std::string windowsQuoted(const std::string& argument);

// Runs a shell command line on the host and waits up to timeoutMs for it to end: its exit status,
// or -1 when it could not be started or did not end in time.
int runHostCommand(const std::string& command, int timeoutMs = 10000);

// Starts a simple command (one program, its arguments and redirections; its output should go to
// files) on the host in the background: its process id, or -1.
int startHostProcess(const std::string& command);

// Asks a process started so to end (SIGTERM) and waits up to 5 s for it to be gone.
void stopHostProcess(int pid);

// The host's terminal device (/dev/pts/N) as COM port n of this Wine prefix: "COMn", or "" when
// the link cannot be made.
std::string mapComPort(const std::string& device, int n);

}  // namespace gui_testing
