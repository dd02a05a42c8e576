// The simulator's links: a TCP server on 127.0.0.1 (one client at a time) and optionally (POSIX only)
// a pseudo-terminal standing in for the serial line, both served by one loop.
#pragma once

#include "options.h"

namespace sim {

// Opens the links, prints "listening on 127.0.0.1:PORT" (and "serial on /dev/pts/N"), then serves until
// SIGTERM or SIGINT (on Windows Ctrl-C, Ctrl-Break or the console closing). Returns the process exit
// code (0 on a clean stop, 1 when a link cannot be opened or waited for).
int runSimulator(const Options& options);

}  // namespace sim
