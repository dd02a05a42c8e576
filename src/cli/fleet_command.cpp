// The fleet commands. The server is named by a libpq connection string; its password never comes
// from the command line's settings but from libpq's own means.
#include "cli/fleet_command.h"

#include <cstdio>

#include "cli/arguments.h"
#include "fleet/server_schema.h"

namespace cli {

const char* const kFleetUsage =
    "  corvane fleet init --server CONNINFO   (CONNINFO: a libpq connection string, e.g. \"service=fleet\")\n";

namespace {

int fleetCommand(const std::vector<std::string>& args) {
    if (args.empty() || args[0] != "init") throw UsageError{"fleet takes init"};
    const Arguments a = parseOrThrow(std::vector<std::string>(args.begin() + 1, args.end()), {"--server"}, {});
    expectPositionals(a, 0);
    fleet::Server server(requiredOption(a, "--server"));
    if (!server.connected()) {
        std::fprintf(stderr, "corvane: %s\n", server.error().c_str());
        return 1;
    }
    const fleet::InitOutcome outcome = fleet::initServer(server);
    std::fprintf(outcome.ok ? stdout : stderr, "%s%s\n", outcome.ok ? "" : "corvane: ", outcome.message.c_str());
    return outcome.ok ? 0 : 1;
}

}  // namespace

int runFleetCommand(const std::vector<std::string>& args) {
    return runCommand(kFleetUsage, [&] { return fleetCommand(args); });
}

}  // namespace cli
