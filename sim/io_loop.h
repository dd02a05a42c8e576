// The simulator's links: a TCP server on 127.0.0.1 (one client at a time) and optionally a
// pseudo-terminal standing in for the serial line, both served by one poll() loop.
#pragma once

#include "options.h"

namespace sim {

// Opens the links, prints "listening on 127.0.0.1:PORT" (and "serial on /dev/pts/N"), then serves until
// SIGTERM or SIGINT. Returns the process exit code (0 on a clean stop, 1 when a link cannot be opened).
int runSimulator(const Options& options);

}  // namespace sim
