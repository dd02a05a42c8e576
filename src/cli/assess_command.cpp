// The assess command: loads the sweeps with their records, assesses them and prints the result.
#include "cli/assess_command.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "analysis/assessment.h"
#include "analysis/assessment_table.h"
#include "cli/arguments.h"
#include "cli/database_session.h"
#include "cli/stored_sweep.h"
#include "common/string_printf.h"

namespace cli {

const char* const kAssessUsage =
    "  corvane assess --db PATH REFERENCE_ID SWEEP_ID [--type-based] [CUSTOM] [--json]\n"
    "  corvane assess --db PATH --phases ID_A ID_B ID_C [CUSTOM] [--json]\n"
    "    CUSTOM: --settings INI (its saved custom analysis), or --bands EDGES (Hz, comma-separated)\n"
    "            [--index Rxy|LRxy] [--pass LIMITS] [--warning LIMITS] (one limit per band)\n";

namespace {

// The custom analysis the command line asks for; none without --settings or --bands.
std::optional<analysis::CustomAnalysisSettings> customSettings(const Arguments& a) {
    analysis::CustomAnalysisSettings s;
    if (a.has("--settings")) {
        if (a.has("--bands")) throw UsageError{"--settings and --bands exclude each other"};
        if (!analysis::readCustomAnalysis(a.get("--settings"), s))
            throw UsageError{"no custom analysis is saved in " + a.get("--settings")};
        return s;
    }
    if (!a.has("--bands")) {
        if (a.has("--index") || a.has("--pass") || a.has("--warning")) throw UsageError{"the limits need --bands"};
        return std::nullopt;
    }
    const analysis::CustomAnalysisRefusal refusal = analysis::customAnalysisFromText(
        {a.get("--bands"), a.get("--index", "Rxy"), a.get("--pass", ""), a.get("--warning", "")}, s);
    if (refusal.field != analysis::CustomAnalysisField::None) throw UsageError{refusal.message};
    return s;
}

const char* kindName(analysis::ComparisonKind kind) {
    switch (kind) {
    case analysis::ComparisonKind::TimeBased: return "time-based";
    case analysis::ComparisonKind::TypeBased: return "type-based";
    case analysis::ComparisonKind::ConstructionBased: return "construction-based";
    }
    return "";
}

// --- Text -----------------------------------------------------------------------------------------

void printAnalysis(const analysis::AnalysisResult& r) {
    std::printf("%s: %s", analysis::analysisHeading(r).c_str(), r.verdict.c_str());
    if (r.classCode != analysis::kNoDiagnosis) std::printf(" (%s)", analysis::classText(r.classCode));
    std::printf("\n");
    if (!r.unknownReason.empty()) std::printf("  %s\n", r.unknownReason.c_str());
    std::printf("  %-5s %10s %10s %5s %9s %8s %9s %8s %8s %8s %8s %8s %11s%s\n", "band", "low Hz", "high Hz", "N",
                "LRxy", "Rxy", "CC", "SD", "CSD", "ASLE", "MM", "max|d|", "at Hz", r.bandVerdicts.empty() ? "" : "  verdict");
    for (std::size_t i = 0; i < r.bands.size(); ++i) {
        const analysis::BandIndices& b = r.bands[i];
        using analysis::indexText;
        std::printf("  %-5s %10g %10g %5d %9s %8s %9s %8s %8s %8s %8s %8s %11s%s%s\n", b.band.name.c_str(), b.band.low,
                    b.band.high, b.count, indexText(b.LRxy, "%.6f").c_str(), indexText(b.Rxy, "%.4f").c_str(),
                    indexText(b.CC, "%.6f").c_str(), indexText(b.SD, "%.4f").c_str(), indexText(b.CSD, "%.4f").c_str(),
                    indexText(b.ASLE, "%.4f").c_str(), indexText(b.MM, "%.4f").c_str(),
                    indexText(b.maxAbsDiff, "%.4f").c_str(), indexText(b.maxAbsDiffFrequency, "%.6g").c_str(),
                    r.bandVerdicts.empty() ? "" : "  ", i < r.bandVerdicts.size() ? r.bandVerdicts[i].c_str() : "");
    }
}

void printText(const analysis::Assessment& a) {
    std::printf("Sweep %lld against reference %lld (%s)\n", static_cast<long long>(a.sweepId),
                static_cast<long long>(a.referenceId), kindName(a.kind));
    std::printf("Comparability:\n");
    if (a.findings.empty()) std::printf("  nothing found that makes the comparison doubtful\n");
    for (const std::string& f : a.findings) std::printf("  %s\n", f.c_str());
    std::printf("Grid: the reference's %zu frequencies within the sweep's range, the sweep interpolated linearly "
                "in frequency and dB\n",
                a.difference.size());
    printAnalysis(a.dlt911);
    if (a.custom) printAnalysis(*a.custom);
}

// --- JSON -----------------------------------------------------------------------------------------

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') out += '\\', out += static_cast<char>(c);
        else if (c == '\n') out += "\\n";
        else if (c < 0x20) out += common::stringPrintf("\\u%04x", c);
        else out += static_cast<char>(c);
    }
    return out + "\"";
}

std::string jsonNumber(double v) { return std::isfinite(v) ? common::stringPrintf("%.17g", v) : "null"; }
std::string jsonNumber(const std::optional<double>& v) { return v ? jsonNumber(*v) : "null"; }

std::string jsonAnalysis(const analysis::AnalysisResult& r) {
    std::string out = "{\"title\":" + jsonString(r.title);
    if (r.classCode != analysis::kNoDiagnosis)
        out += ",\"class\":" + std::to_string(r.classCode) + ",\"classText\":" + jsonString(analysis::classText(r.classCode));
    out += ",\"verdict\":" + jsonString(r.verdict) +
           ",\"unknownReason\":" + (r.unknownReason.empty() ? "null" : jsonString(r.unknownReason)) + ",\"bands\":[";
    for (std::size_t i = 0; i < r.bands.size(); ++i) {
        const analysis::BandIndices& b = r.bands[i];
        out += std::string(i ? "," : "") + "{\"name\":" + jsonString(b.band.name) + ",\"low\":" + jsonNumber(b.band.low) +
               ",\"high\":" + jsonNumber(b.band.high) + ",\"count\":" + std::to_string(b.count) +
               ",\"LRxy\":" + jsonNumber(b.LRxy) + ",\"Rxy\":" + jsonNumber(b.Rxy) + ",\"CC\":" + jsonNumber(b.CC) +
               ",\"SD\":" + jsonNumber(b.SD) + ",\"CSD\":" + jsonNumber(b.CSD) + ",\"ASLE\":" + jsonNumber(b.ASLE) +
               ",\"MM\":" + jsonNumber(b.MM) + ",\"maxAbsDiff\":" + jsonNumber(b.maxAbsDiff) +
               ",\"maxAbsDiffFrequency\":" + jsonNumber(b.maxAbsDiffFrequency);
        if (i < r.bandVerdicts.size()) out += ",\"verdict\":" + jsonString(r.bandVerdicts[i]);
        out += "}";
    }
    return out + "]}";
}

std::string jsonAssessment(const analysis::Assessment& a) {
    std::string out = "{\"reference\":" + std::to_string(a.referenceId) + ",\"sweep\":" + std::to_string(a.sweepId) +
                      ",\"kind\":" + jsonString(kindName(a.kind)) +
                      ",\"grid\":{\"points\":" + std::to_string(a.difference.size()) +
                      ",\"description\":\"the reference's frequencies within the sweep's range, the sweep interpolated "
                      "linearly in frequency and dB\"},\"findings\":[";
    for (std::size_t i = 0; i < a.findings.size(); ++i) out += (i ? "," : "") + jsonString(a.findings[i]);
    out += "],\"dlt911\":" + jsonAnalysis(a.dlt911) + ",\"custom\":" + (a.custom ? jsonAnalysis(*a.custom) : "null");
    return out + "}";
}

int assessCommand(const std::vector<std::string>& args) {
    const Arguments a = parseOrThrow(args, {"--db", "--settings", "--bands", "--index", "--pass", "--warning"},
                                     {"--json", "--phases", "--type-based"});
    const bool phases = a.has("--phases");
    if (phases && a.has("--type-based")) throw UsageError{"--phases and --type-based exclude each other"};
    std::vector<std::int64_t> ids;
    const char* const names[] = {phases ? "ID_A" : "REFERENCE_ID", phases ? "ID_B" : "SWEEP_ID", "ID_C"};
    for (std::size_t i = 0; i < (phases ? 3u : 2u); ++i) ids.push_back(sweepIdArgument(positional(a, i, names[i])));
    expectPositionals(a, ids.size());
    const std::optional<analysis::CustomAnalysisSettings> custom = customSettings(a);

    DatabaseSession session(requiredOption(a, "--db"));
    if (!session.isOpen()) return 1;
    std::vector<db::SweepBundle> bundles(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (!loadStoredBundle(ids[i], bundles[i])) return 1;
        if (bundles[i].sweep.dataType == db::kDataLcr) {
            std::fprintf(stderr, "corvane: sweep %lld is an LCR sweep; an assessment compares FRA sweeps\n",
                         static_cast<long long>(ids[i]));
            return 1;
        }
    }
    const analysis::CustomAnalysisSettings* settings = custom ? &*custom : nullptr;
    const std::vector<analysis::Assessment> results =
        phases ? analysis::assessPhases(bundles[0], bundles[1], bundles[2], settings)
               : std::vector<analysis::Assessment>{analysis::assess(
                     bundles[0], bundles[1],
                     a.has("--type-based") ? analysis::ComparisonKind::TypeBased : analysis::ComparisonKind::TimeBased,
                     settings)};
    if (a.has("--json")) {
        if (!phases) {
            std::printf("%s\n", jsonAssessment(results.front()).c_str());
        } else {
            std::string out = "{\"pairs\":[";
            for (std::size_t i = 0; i < results.size(); ++i) out += (i ? "," : "") + jsonAssessment(results[i]);
            std::printf("%s]}\n", out.c_str());
        }
        return 0;
    }
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (i) std::printf("\n");
        printText(results[i]);
    }
    return 0;
}

}  // namespace

int runAssessCommand(const std::vector<std::string>& args) {
    return runCommand(kAssessUsage, [&] { return assessCommand(args); });
}

}  // namespace cli
