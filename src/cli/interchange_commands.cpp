// Importing sweep files by their extension and exporting stored sweeps as CSV reports, IEC XML files
// or impedance tables. Questions (empty sweep, overwrite) are answered Yes with --yes.
#include "cli/interchange_commands.h"

#include <cstdio>

#include "cli/arguments.h"
#include "cli/database_session.h"
#include "cli/stored_sweep.h"
#include "db/record_store.h"
#include "db/schema.h"
#include "interchange/csv_export.h"
#include "interchange/import_file.h"
#include "interchange/xml_export.h"

namespace cli {

const char* const kInterchangeUsage =
    "  corvane import --db PATH FILE... [--parameter Sij]\n"
    "    Sij: the transmission read from Touchstone files (.s2p, .s3p, .s4p), S21 unless given\n"
    "  corvane export csv|xml --db PATH DIR SWEEP_ID... [--yes]\n"
    "  corvane export impedance --db PATH SWEEP_ID FILE\n";

namespace {

int importFiles(const Arguments& a) {
    if (a.positional.empty()) throw UsageError{"import needs files"};
    interchange::TouchstoneParameter touchstone;
    if (a.has("--parameter") && !interchange::parseTouchstoneParameter(a.get("--parameter"), touchstone))
        throw UsageError{"--parameter takes a transmission such as S21 or S31: two different ports 1 to 9"};
    DatabaseSession session(requiredOption(a, "--db"));
    if (!session.isOpen()) return 1;
    int stored = 0;
    for (const std::string& file : a.positional) {
        db::SweepBundle bundle;
        switch (interchange::importIntoDatabase(file, bundle, touchstone)) {
        case interchange::ImportOutcome::Stored:
            std::printf("imported: %s\n", bundle.sweep.name.c_str());
            ++stored;
            break;
        case interchange::ImportOutcome::Skipped: std::printf("skipped: %s\n", file.c_str()); break;
        case interchange::ImportOutcome::ImpedanceTable:
            // An impedance table lacks its sweep's details, which the GUI's Edit Sweep dialog asks for.
            std::printf("not imported: %s (an impedance table; import it from the data browser)\n", file.c_str());
            break;
        case interchange::ImportOutcome::Refused: break;
        }
    }
    return stored > 0 ? 0 : 1;
}

int exportSweeps(const Arguments& a, TerminalPrompter& prompter) {
    const std::string& kind = positional(a, 0, "csv, xml or impedance");
    DatabaseSession session(requiredOption(a, "--db"));
    if (!session.isOpen()) return 1;
    if (kind == "impedance") {
        const std::string& id = positional(a, 1, "SWEEP_ID");
        const std::string& file = positional(a, 2, "FILE");
        expectPositionals(a, 3);
        db::SweepBundle bundle;
        if (!loadStoredBundle(sweepIdArgument(id), bundle)) return 1;
        if (bundle.sweep.dataType != db::kDataLcr) {
            std::fprintf(stderr, "corvane: sweep %s is not an impedance sweep\n", id.c_str());
            return 1;
        }
        return interchange::exportImpedanceTable(file, bundle.sweep.lcrPoints) ? 0 : 1;
    }
    if (kind != "csv" && kind != "xml") throw UsageError{"export csv, export xml or export impedance"};
    const std::string& folder = positional(a, 1, "DIR");
    if (a.positional.size() < 3) throw UsageError{"export needs sweep ids"};
    std::vector<db::SweepBundle> bundles(a.positional.size() - 2);
    for (std::size_t i = 2; i < a.positional.size(); ++i)
        if (!loadStoredBundle(sweepIdArgument(a.positional[i]), bundles[i - 2])) return 1;
    prompter.setAnswerYes(a.has("--yes"));
    const int written = kind == "csv" ? interchange::exportSweepReports(folder, bundles)
                                      : interchange::exportXml(folder, bundles);
    std::printf("exported: %d\n", written);
    return written > 0 ? 0 : 1;
}

}  // namespace

int runImportCommand(const std::vector<std::string>& args) {
    return runCommand(kInterchangeUsage, [&] { return importFiles(parseOrThrow(args, {"--db", "--parameter"})); });
}

int runExportCommand(const std::vector<std::string>& args, TerminalPrompter& prompter) {
    return runCommand(kInterchangeUsage,
                      [&] { return exportSweeps(parseOrThrow(args, {"--db"}, {"--yes"}), prompter); });
}

}  // namespace cli
