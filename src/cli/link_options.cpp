#include "cli/link_options.h"

#include "instrument/comms_log.h"

namespace cli {

const std::set<std::string> kLinkOptions = {"--lan", "--usb", "--serial", "--baud", "--comms-log"};
const char* const kLinkUsage = "  LINK: --lan HOST[:PORT] | --usb DEVICE | --serial DEVICE --baud N   [--comms-log DIR]\n";

std::set<std::string> withLinkOptions(std::set<std::string> own) {
    own.insert(kLinkOptions.begin(), kLinkOptions.end());
    return own;
}

instrument::InstrumentLink linkFrom(const Arguments& a) {
    instrument::InstrumentLink link;
    int named = a.has("--lan") + a.has("--usb") + a.has("--serial");
    if (named != 1) throw UsageError{"name the instrument with one of --lan, --usb or --serial"};
    if (a.has("--lan")) {
        std::string host = a.get("--lan");
        std::size_t colon = host.find(':');
        if (colon != std::string::npos) {
            long long port = 0;
            if (!parseInteger(host.substr(colon + 1), port) || port <= 0 || port > 65535)
                throw UsageError{"--lan takes HOST or HOST:PORT"};
            link.lanPort = static_cast<int>(port);
            host.resize(colon);
        }
        link.interfaceType = instrument::kLan;
        link.ipAddress = host;
    } else if (a.has("--usb")) {
        link.interfaceType = instrument::kUsb;
        link.portName = a.get("--usb");
        link.baudRate = 19200;
    } else {
        long long baud = 0;
        if (!parseInteger(a.get("--baud"), baud)) throw UsageError{"--serial needs --baud N"};
        link.interfaceType = instrument::kSerial;
        link.portName = a.get("--serial");
        link.baudRate = static_cast<int>(baud);
    }
    if (a.has("--comms-log")) instrument::commsLogStart(a.get("--comms-log"));
    return link;
}

}  // namespace cli
