// The simulator's command line: parsed into the instrument setup and the links to serve.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "protocol.h"

namespace sim {

struct Options {
    int port = 10001;       // TCP port on 127.0.0.1; 0 lets the system choose
    bool pty = false;       // also serve a pseudo-terminal
    bool help = false;
    std::string logPath;    // where the traffic log goes; empty: no log
    InstrumentSetup setup;  // identity, calibration, profile, seed, pace, binary, faults
};

// Parses argv[1..]; false with a one-line reason in error for anything invalid. today is the clock
// used for the default calibration date.
bool parseOptions(const std::vector<std::string>& args, std::time_t today, Options& out, std::string& error);

// Usage text for stderr (and for --help on stdout).
std::string usageText();

// A calibration text DD_MON_YYYY for the day `days` before `now` (local calendar), e.g. 07_MAR_2026.
std::string calibrationDaysBefore(std::time_t now, int days);

// One --fault argument such as nodot:fra?sweep:3; false when malformed.
bool parseFault(const std::string& text, FaultPlan& plan);

}  // namespace sim
