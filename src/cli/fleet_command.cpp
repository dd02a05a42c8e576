// The fleet commands. The server is named by a libpq connection string; its password never comes
// from the command line's settings but from libpq's own means.
#include "cli/fleet_command.h"

#include <cstdio>

#include "cli/arguments.h"
#include "cli/database_session.h"
#include "fleet/server_schema.h"
#include "fleet/sync.h"

namespace cli {

const char* const kFleetUsage =
    "  corvane fleet init --server CONNINFO   (CONNINFO: a libpq connection string, e.g. \"service=fleet\")\n"
    "  corvane fleet push|pull|status --db PATH --server CONNINFO [--transformer ID...]\n";

namespace {

// The transformers named: each "--transformer ID", and the words that follow one.
std::vector<std::string> chosenTransformers(std::vector<std::string>& args) {
    std::vector<std::string> chosen, rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--transformer") {
            rest.push_back(args[i]);
            continue;
        }
        if (i + 1 >= args.size()) throw UsageError{"--transformer needs an identifier"};
        chosen.push_back(args[++i]);
        while (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) chosen.push_back(args[++i]);
    }
    args = rest;
    return chosen;
}

int initCommand(const std::vector<std::string>& args) {
    const Arguments a = parseOrThrow(args, {"--server"}, {});
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

int syncCommand(const std::string& verb, std::vector<std::string> args) {
    const std::vector<std::string> chosen = chosenTransformers(args);
    const Arguments a = parseOrThrow(args, {"--server", "--db"}, {});
    expectPositionals(a, 0);
    const std::string& path = requiredOption(a, "--db");
    const std::string& conninfo = requiredOption(a, "--server");
    // A pull may make its file; a push and a status need one that exists.
    bool created = false;
    DatabaseSession session(path, verb == "pull" ? db::OpenMode::CreateIfMissing : db::OpenMode::Open,
                            verb == "pull" ? &created : nullptr);
    if (!session.isOpen()) {
        std::fprintf(stderr, "corvane: %s cannot be opened\n", path.c_str());
        return 1;
    }
    fleet::Server server(conninfo);
    if (!server.connected()) {
        std::fprintf(stderr, "corvane: %s\n", server.error().c_str());
        return 1;
    }
    int lastShown = -1;
    auto progress = [&](int done, int total, const std::string& what) {
        if (done != lastShown) std::fprintf(stderr, "%s: %d of %d sweeps (%s)\n", verb.c_str(), done, total, what.c_str());
        lastShown = done;
        return true;
    };
    const fleet::SyncReport report = verb == "push"   ? fleet::push(server, db::Connection::Main, chosen, progress)
                                     : verb == "pull" ? fleet::pull(server, db::Connection::Main, chosen, progress)
                                                      : fleet::status(server, db::Connection::Main, chosen);
    std::fputs(fleet::reportText(report).c_str(), report.ok ? stdout : stderr);
    return report.ok ? 0 : 1;
}

int fleetCommand(const std::vector<std::string>& args) {
    const std::string verb = args.empty() ? std::string() : args[0];
    const std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    if (verb == "init") return initCommand(rest);
    if (verb == "push" || verb == "pull" || verb == "status") return syncCommand(verb, rest);
    throw UsageError{"fleet takes init, push, pull or status"};
}

}  // namespace

int runFleetCommand(const std::vector<std::string>& args) {
    return runCommand(kFleetUsage, [&] { return fleetCommand(args); });
}

}  // namespace cli
