// The report command: loads the sweeps with their records, takes the report's settings from a
// settings file and the options, and writes the PDF.
#include "cli/report_command.h"

#include <cstdio>

#include "cli/arguments.h"
#include "cli/database_session.h"
#include "cli/stored_sweep.h"
#include "interchange/test_report.h"

namespace cli {

const char* const kReportUsage =
    "  corvane report --db PATH --out FILE.pdf [--reference ID] [--letter] [--title T] [--site S]\n"
    "                 [--settings INI] SWEEP_ID...   (INI: the database settings file, for its report\n"
    "                 title, site and paper and its custom analysis)\n";

namespace {

int reportCommand(const std::vector<std::string>& args) {
    const Arguments a = parseOrThrow(args, {"--db", "--out", "--reference", "--title", "--site", "--settings"}, {"--letter"});
    if (a.positional.empty()) throw UsageError{"report needs the ids of the sweeps"};
    std::vector<std::int64_t> ids;
    for (const std::string& id : a.positional) ids.push_back(sweepIdArgument(id));
    const std::int64_t reference = a.has("--reference") ? sweepIdArgument(a.get("--reference")) : 0;
    const std::string out = requiredOption(a, "--out");

    interchange::ReportInput input;
    if (a.has("--settings")) interchange::readReportIni(a.get("--settings"), input);
    if (a.has("--title")) input.settings.title = a.get("--title");
    if (a.has("--site")) input.settings.site = a.get("--site");
    if (a.has("--letter")) input.settings.paper = interchange::Paper::Letter;

    input.databaseFile = requiredOption(a, "--db");
    DatabaseSession session(input.databaseFile);
    if (!session.isOpen()) return 1;
    std::string failure = interchange::loadReport(ids, reference, input);
    if (failure.empty()) failure = interchange::writeReport(input, out);
    if (!failure.empty()) {
        std::fprintf(stderr, "corvane: %s\n", failure.c_str());
        return 1;
    }
    std::printf("report: %s\n", out.c_str());
    return 0;
}

}  // namespace

int runReportCommand(const std::vector<std::string>& args) {
    return runCommand(kReportUsage, [&] { return reportCommand(args); });
}

}  // namespace cli
