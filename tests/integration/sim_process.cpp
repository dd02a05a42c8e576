#include "sim_process.h"

#include <stdexcept>

#include "platform/clock.h"

namespace testing_support {

SimProcess::SimProcess(std::vector<std::string> options, bool pty) {
    options.insert(options.begin(), {"--port", "0", "--log", output_.file("heard.log")});
    if (pty) options.push_back("--pty");
    // The simulator's output goes to a file, so that it can never block on, or die of, a full or
    // closed pipe once the test has read the address lines.
    const std::string outFile = output_.file("sim.out");
    launch(options, pty, outFile);
    for (int waited = 0; waited < 10000 && (port_ == 0 || (pty && device_.empty())); waited += 10) {
        platform::sleepMs(10);
        std::string text = readFile(outFile);
        std::size_t at = text.find("listening on 127.0.0.1:");
        if (at != std::string::npos && text.find('\n', at) != std::string::npos) port_ = std::stoi(text.substr(at + 23));
        at = text.find("serial on ");
        std::size_t end = at == std::string::npos ? at : text.find_first_of("\r\n", at);
        if (end != std::string::npos) device_ = text.substr(at + 10, end - at - 10);
    }
    if (port_ == 0 || (pty && device_.empty())) {
        end();
        throw std::runtime_error("corvane-sim did not start");
    }
}

SimProcess::~SimProcess() { end(); }

std::string SimProcess::heard() const { return readFile(output_.file("heard.log")); }

instrument::InstrumentLink SimProcess::lanLink() const {
    instrument::InstrumentLink link;
    link.interfaceType = instrument::kLan;
    link.ipAddress = "127.0.0.1";
    link.lanPort = port_;
    return link;
}

instrument::InstrumentLink SimProcess::serialLink() const {
    instrument::InstrumentLink link;
    link.interfaceType = instrument::kSerial;
    link.portName = device_;
    link.baudRate = 19200;
    return link;
}

}  // namespace testing_support
