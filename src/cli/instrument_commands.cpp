// The instrument commands. A link is named with --lan HOST[:PORT], --usb DEVICE or --serial DEVICE
// --baud N; --comms-log DIR writes the comms log into DIR.
#include "cli/instrument_commands.h"

#include <cstdio>

#include "cli/arguments.h"
#include "db/schema.h"
#include "instrument/comms_log.h"
#include "instrument/identification.h"
#include "instrument/settings.h"

namespace cli {

const char* const kInstrumentUsage =
    "  corvane instrument identify LINK\n"
    "  corvane instrument register LINK --db PATH [--yes]\n"
    "  corvane instrument settings read LINK\n"
    "  corvane instrument settings write LINK NAME=VALUE...\n"
    "  LINK: --lan HOST[:PORT] | --usb DEVICE | --serial DEVICE --baud N   [--comms-log DIR]\n";

namespace {

struct UsageError {
    std::string reason;
};

const std::set<std::string> kLinkOptions = {"--lan", "--usb", "--serial", "--baud", "--comms-log"};

Arguments parse(const std::vector<std::string>& args, std::set<std::string> values, const std::set<std::string>& flags = {}) {
    values.insert(kLinkOptions.begin(), kLinkOptions.end());
    Arguments a;
    std::string error;
    if (!parseArguments(args, values, flags, a, error)) throw UsageError{error};
    return a;
}

// The link the options name, with the comms log switched on when asked.
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
        link.interface = instrument::kLan;
        link.ipAddress = host;
    } else if (a.has("--usb")) {
        link.interface = instrument::kUsb;
        link.portName = a.get("--usb");
        link.baudRate = 19200;
    } else {
        long long baud = 0;
        if (!parseInteger(a.get("--baud"), baud)) throw UsageError{"--serial needs --baud N"};
        link.interface = instrument::kSerial;
        link.portName = a.get("--serial");
        link.baudRate = static_cast<int>(baud);
    }
    if (a.has("--comms-log")) instrument::commsLogStart(a.get("--comms-log"));
    return link;
}

void expectPositionals(const Arguments& a, std::size_t n) {
    if (a.positional.size() > n) throw UsageError{"unexpected argument " + a.positional[n]};
}

int identify(const std::vector<std::string>& args) {
    Arguments a = parse(args, {});
    expectPositionals(a, 0);
    instrument::InstrumentLink link = linkFrom(a);
    bool identified = instrument::connectAndIdentify(link, true);
    std::printf("identity: %s\nmodel: %d\ncalibration: %s\ncalibrationVersion: %s\nfirmwareVersion: %s\n",
                link.identity.c_str(), link.model, link.calibration.c_str(), link.calibrationVersion.c_str(),
                link.firmwareVersion.c_str());
    return identified ? 0 : 1;
}

int registerEquipment(const std::vector<std::string>& args, TerminalPrompter& prompter) {
    Arguments a = parse(args, {"--db"}, {"--yes"});
    expectPositionals(a, 0);
    if (!a.has("--db")) throw UsageError{"missing --db"};
    instrument::InstrumentLink link = linkFrom(a);
    prompter.setAnswerYes(a.has("--yes"));
    link.connected = instrument::connectAndIdentify(link, true);
    if (!link.connected) return 1;
    if (!db::open_database(a.get("--db"), 3, nullptr, db::Connection::Main)) return 1;
    instrument::registerConnectedInstrument(link);
    db::open_database({}, 2, nullptr, db::Connection::Main);
    std::printf("equipment: %lld\n", static_cast<long long>(instrument::currentEquipmentId()));
    return 0;
}

// Sets an item from its shown form: a choice by label or index, a number, or a text.
void assign(instrument::InstrumentSetting& s, const std::string& value) {
    long long n = 0;
    if (s.kind == instrument::Kind::Text) {
        s.text = value;
    } else if (parseInteger(value, n)) {
        s.value = static_cast<std::int32_t>(n);
    } else {
        bool found = false;
        for (std::size_t i = 0; i < s.options.size() && !found; ++i)
            if (value == s.options[i]) s.value = static_cast<std::int32_t>(i), found = true;
        if (!found) throw UsageError{std::string(s.name) + " has no choice " + value};
    }
    s.changed = true;
}

int settings(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"settings needs read or write"};
    const std::string action = args[0];
    Arguments a = parse(std::vector<std::string>(args.begin() + 1, args.end()), {});
    instrument::InstrumentLink link = linkFrom(a);
    std::vector<instrument::InstrumentSetting>& table = instrument::settingsTable();
    if (action == "read") {
        expectPositionals(a, 0);
        bool ok = instrument::readAllSettings(table, link);
        for (const auto& s : table) std::printf("%s\t%s\n", s.name, s.shownValue().c_str());
        return ok ? 0 : 1;
    }
    if (action != "write") throw UsageError{"settings needs read or write"};
    if (a.positional.empty()) throw UsageError{"settings write needs NAME=VALUE"};
    for (const std::string& item : a.positional) {
        std::size_t eq = item.find('=');
        instrument::InstrumentSetting* s =
            eq == std::string::npos ? nullptr : instrument::findSetting(table, item.substr(0, eq));
        if (!s) throw UsageError{"no setting " + item.substr(0, eq)};
        assign(*s, item.substr(eq + 1));
    }
    return instrument::writeChangedSettings(table, link) ? 0 : 1;
}

}  // namespace

int runInstrumentCommand(const std::vector<std::string>& args, TerminalPrompter& prompter) {
    try {
        if (args.empty()) throw UsageError{"instrument needs a command"};
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        if (args[0] == "identify") return identify(rest);
        if (args[0] == "register") return registerEquipment(rest, prompter);
        if (args[0] == "settings") return settings(rest);
        throw UsageError{"unknown instrument command " + args[0]};
    } catch (const UsageError& e) {
        std::fprintf(stderr, "corvane: %s\nusage:\n%s", e.reason.c_str(), kInstrumentUsage);
        return 2;
    }
}

}  // namespace cli
