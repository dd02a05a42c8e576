// The test report: a PDF of the transformer, each sweep with its conditions, the overlay graphs, the
// assessment against a reference and the signature block, flowing over as many pages as it takes
// (docs/report.md). Made from loaded records; the loader reads them from the open database.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/assessment.h"
#include "db/records.h"

namespace interchange {

enum class Paper { A4, Letter };

// What the settings file gives the report, in section "Report" of the database settings.
struct ReportSettings {
    std::string title = "Sweep Frequency Response Analysis Report";
    std::string site;  // site or company; left out when empty
    Paper paper = Paper::A4;
};
ReportSettings readReportSettings(const std::string& iniPath);
bool writeReportSettings(const std::string& iniPath, const ReportSettings& settings);

// A transformer as the report names it, with its fingerprint sweep described ("none" without one).
struct ReportTransformer {
    db::TransformerRecord record;
    std::string fingerprint;
};

struct ReportInput {
    ReportSettings settings;
    std::string databaseFile;               // the open database's file, as the report names it
    std::string date;                       // the report's, DD-MM-YYYY
    std::vector<ReportTransformer> transformers;
    std::vector<db::SweepBundle> sweeps;    // 1 to 9, as load_sweep_bundle gives them, in graph order
    int reference = -1;                     // the reference among them, -1 for none
    std::optional<analysis::CustomAnalysisSettings> custom;
};

// The sweeps of ids (the reference first when it is not among them) with their transformers, from
// the open database, dated today; "" or why not: a sweep that is not stored,
// more than nine, LCR mixed with FRA, an LCR reference.
std::string loadReport(const std::vector<std::int64_t>& ids, std::int64_t referenceId, ReportInput& input);

// What a database settings file gives a report: its settings and the custom analysis saved there.
void readReportIni(const std::string& iniPath, ReportInput& input);

// The report's PDF file in memory; "" with error set when it cannot be made (the shipped fonts
// missing, say).
std::string reportBytes(const ReportInput& input, std::string& error);

// Writes the report to path whole or not at all; "" or the message that says why not, with the path.
std::string writeReport(const ReportInput& input, const std::string& path);

}  // namespace interchange
