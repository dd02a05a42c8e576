// Runs corvane-sim as a child process for a test: on a free loopback port, optionally with a
// pseudo-terminal, logging what it hears, and stops it when the test ends. Native tests run the
// native simulator; Windows tests under Wine run the Windows one, or the native one for a
// pseudo-terminal (the Windows simulator has none).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "instrument/link.h"
#include "support/temp_dir.h"

namespace testing_support {

class SimProcess {
public:
    // Starts the simulator with --port 0 and the given options and waits for its address lines.
    explicit SimProcess(std::vector<std::string> options = {}, bool pty = false);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    int port() const { return port_; }
    const std::string& device() const { return device_; }
    // Everything the instrument has heard so far, a line each (corvane-sim --log).
    std::string heard() const;

    // A link to it over the LAN, or over its pseudo-terminal as a serial port.
    instrument::InstrumentLink lanLink() const;
    instrument::InstrumentLink serialLink() const;

private:
    // The operating system's side (posix/, win32/): starts the simulator with these arguments, its
    // standard output going to outFile, and ends it.
    void launch(const std::vector<std::string>& arguments, bool pty, const std::string& outFile);
    void end();

    TempDir output_;
    std::intptr_t process_ = -1;  // the child's process id or handle
    bool onHost_ = false;         // under Wine: a native simulator, process_ its host process id
    int port_ = 0;
    std::string device_;
};

}  // namespace testing_support
