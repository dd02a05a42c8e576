// The instrument commands. A link is named with --lan HOST[:PORT], --usb DEVICE or --serial DEVICE
// --baud N; --comms-log DIR writes the comms log into DIR.
#include "cli/instrument_commands.h"

#include <cstdio>

#include "app/instrument_registration.h"
#include "cli/arguments.h"
#include "cli/database_session.h"
#include "cli/link_options.h"
#include "db/schema.h"
#include "instrument/comms_log.h"
#include "instrument/identification.h"
#include "instrument/settings.h"

namespace cli {

const char* const kInstrumentUsage =
    "  corvane instrument identify LINK\n"
    "  corvane instrument register LINK --db PATH [--yes]\n"
    "  corvane instrument settings read LINK\n"
    "  corvane instrument settings write LINK NAME=VALUE...\n";

namespace {

Arguments parse(const std::vector<std::string>& args, const std::set<std::string>& values,
                const std::set<std::string>& flags = {}) {
    return parseOrThrow(args, withLinkOptions(values), flags);
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
    DatabaseSession session(a.get("--db"));
    if (!session.isOpen()) return 1;
    app::registerConnectedInstrument(link);
    std::printf("equipment: %lld\n", static_cast<long long>(app::currentEquipmentId()));
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
        const int index = s.choiceIndex(value);
        if (index < 0) throw UsageError{std::string(s.name) + " has no choice " + value};
        s.value = index;
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
    return runCommand(std::string(kInstrumentUsage) + kLinkUsage, [&] {
        if (args.empty()) throw UsageError{"instrument needs a command"};
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        if (args[0] == "identify") return identify(rest);
        if (args[0] == "register") return registerEquipment(rest, prompter);
        if (args[0] == "settings") return settings(rest);
        throw UsageError{"unknown instrument command " + args[0]};
    });
}

}  // namespace cli
