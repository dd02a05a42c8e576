// corvane: the command-line front end over the program's core. Message boxes appear on standard
// error as "CAPTION: TEXT"; results on standard output in fixed formats that scripts parse.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "cli/backup_commands.h"
#include "cli/db_commands.h"
#include "cli/instrument_commands.h"
#include "cli/interchange_commands.h"
#include "cli/link_options.h"
#include "cli/measure_commands.h"
#include "cli/assess_command.h"
#include "cli/plot_command.h"
#include "cli/report_command.h"
#include "cli/fleet_command.h"
#include "cli/terminal_prompter.h"
#include "common/identity.h"
#include "db/schema.h"
#include "platform/console.h"
#include "platform/prompter.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage:\n  corvane --version\n  corvane startup [-fakesfra] [-documents]\n%s%s%s%s%s%s%s%s%s%s",
                 cli::kDbUsage, cli::kInstrumentUsage, cli::kMeasureUsage, cli::kPlotUsage, cli::kAssessUsage,
                 cli::kReportUsage, cli::kInterchangeUsage, cli::kBackupUsage, cli::kLinkUsage, cli::kFleetUsage);
    return 2;
}


// Runs the start-up sequence and prints what it settled, one "name: value" per line.
int startup(const std::vector<std::string>& args) {
    app::parseCommandLine(args);
    app::runStartupSequence();
    std::printf("settingsFolder: %s\n", app::settingsFolder().c_str());
    std::printf("mainIniPath: %s\n", app::mainIniPath().c_str());
    std::printf("dbIniPath: %s\n", app::dbIniPath().c_str());
    std::printf("databaseFile: %s\n", app::databaseFile().c_str());
    std::printf("fakeSweep: %d\n", app::isFakeSweep() ? 1 : 0);
    return 0;
}

// The program's name and version, and the SQLite it carries.
int version() {
    std::printf("corvane %s.%s.%s (%s)\nSQLite %s\n", common::kVersionMajor, common::kVersionMinor,
                common::kVersionBuild, common::kVersionText, db::sqliteVersion());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    platform::useUtf8Console();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return usage();
    cli::TerminalPrompter prompter;
    platform::setPrompter(&prompter);
    // A large file opened for the first time is indexed before the command runs: say why it waits.
    db::setKeyIndexRunner([](const std::function<void()>& work) {
        std::fputs("Indexing the database for faster lookups (done once)...\n", stderr);
        work();
    });
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "--version") return version();
    if (args[0] == "startup") return startup(rest);
    if (args[0] == "db") return cli::runDbCommand(rest, prompter);
    if (args[0] == "instrument") return cli::runInstrumentCommand(rest, prompter);
    if (args[0] == "plot") return cli::runPlotCommand(rest);
    if (args[0] == "sweep") return cli::runSweepCommand(rest);
    if (args[0] == "realtime") return cli::runRealtimeCommand(rest);
    if (args[0] == "crossings") return cli::runCrossingsCommand(rest);
    if (args[0] == "diagnose") return cli::runDiagnoseCommand(rest);
    if (args[0] == "assess") return cli::runAssessCommand(rest);
    if (args[0] == "report") return cli::runReportCommand(rest);
    if (args[0] == "fleet") return cli::runFleetCommand(rest);
    if (args[0] == "import") return cli::runImportCommand(rest);
    if (args[0] == "export") return cli::runExportCommand(rest, prompter);
    if (args[0] == "backup") return cli::runBackupCommand(rest);
    if (args[0] == "restore") return cli::runRestoreCommand(rest, prompter);
    return usage();
}
