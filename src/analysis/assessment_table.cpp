// The assessment as the diagnosis mode's lists show it.
#include "analysis/assessment_table.h"

#include "common/string_printf.h"

namespace analysis {
namespace {

std::string prefixed(const std::string& label, const std::string& text) {
    return label.empty() ? text : label + ": " + text;
}

void addAnalysis(AssessmentTable& table, const std::string& label, const AnalysisResult& r, bool custom) {
    std::string verdict = analysisHeading(r) + ": " + r.verdict;
    if (r.classCode != kNoDiagnosis) verdict += std::string(" (") + classText(r.classCode) + ")";
    table.verdicts.push_back(prefixed(label, verdict));
    if (!r.unknownReason.empty()) table.verdicts.push_back(prefixed(label, r.unknownReason));
    const std::string shortName = custom ? "Custom" : r.title;
    for (std::size_t i = 0; i < r.bands.size(); ++i) {
        const BandIndices& b = r.bands[i];
        table.rows.push_back({label.empty() ? shortName : label + " " + shortName, b.band.name,
                              i < r.bandVerdicts.size() ? r.bandVerdicts[i] : std::string(),
                              common::stringPrintf("%.10g", b.band.low), common::stringPrintf("%.10g", b.band.high),
                              std::to_string(b.count), indexText(b.LRxy, "%.4f"), indexText(b.Rxy, "%.2f"),
                              indexText(b.CC, "%.6f"), indexText(b.SD, "%.3f"), indexText(b.CSD, "%.3f"),
                              indexText(b.ASLE, "%.3f"), indexText(b.MM, "%.4f"), indexText(b.maxAbsDiff, "%.2f"),
                              indexText(b.maxAbsDiffFrequency, "%.6g")});
    }
}

}  // namespace

std::string indexText(const std::optional<double>& value, const char* format) {
    return value ? common::stringPrintf(format, *value) : std::string("-");
}

std::string analysisHeading(const AnalysisResult& r) {
    return r.limitsOn.empty() ? r.title : r.title + " (limits on " + r.limitsOn + ")";
}

// A band's own verdict (the custom analysis's) stands beside its name, where the narrow table shows it.
const std::vector<std::string> kIndexColumns = {"Analysis", "Band", "Verdict", "Low Hz", "High Hz", "N",
                                                "LRxy", "Rxy", "CC", "SD", "CSD", "ASLE", "MM",
                                                "Max |d| dB", "At Hz"};

AssessmentTable tabulate(const std::vector<LabelledAssessment>& assessments) {
    AssessmentTable table;
    for (const LabelledAssessment& l : assessments) {
        const Assessment& a = l.assessment;
        for (const std::string& finding : a.findings) table.findings.push_back(prefixed(l.label, finding));
        if (a.findings.empty())
            table.findings.push_back(prefixed(l.label, "Nothing found that makes the comparison doubtful"));
    }
    for (const LabelledAssessment& l : assessments) {
        addAnalysis(table, l.label, l.assessment.dlt911, false);
        if (l.assessment.custom) addAnalysis(table, l.label, *l.assessment.custom, true);
    }
    return table;
}

}  // namespace analysis
