// An assessment as lines and a table of texts, as the graph window's diagnosis mode shows it: the
// comparability findings, the verdict of each analysis and the indices of every band, for one
// comparison or for the three pairs of a phase comparison. Pure.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/assessment.h"

namespace analysis {

// One comparison with the name of its pair ("A-B"), "" when it is the only one.
struct LabelledAssessment {
    std::string label;
    Assessment assessment;
};

// An index as text in the format, "-" when the band cannot give it.
std::string indexText(const std::optional<double>& value, const char* format);

// An analysis's title as shown: the custom analysis says which index its limits are on.
std::string analysisHeading(const AnalysisResult& result);

// The titles of the indices table's columns, and its rows: one per band of each analysis of each
// comparison, DL/T 911 first. An index the band cannot give shows as "-".
extern const std::vector<std::string> kIndexColumns;

struct AssessmentTable {
    std::vector<std::string> findings;  // one per finding, or the line saying there is none
    std::vector<std::string> verdicts;  // one per analysis, then why it is "UNKNOWN" when it is
    std::vector<std::vector<std::string>> rows;
};

AssessmentTable tabulate(const std::vector<LabelledAssessment>& assessments);

}  // namespace analysis
