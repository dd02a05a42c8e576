// "corvane assess": a stored sweep against a reference, or three phases pairwise: the comparability
// findings, the indices per band and the verdicts of the DL/T 911 analysis and of a custom one, as
// text or as one JSON object for other tools.
#pragma once

#include <string>
#include <vector>

namespace cli {

// Runs the command (args follow the word "assess"); returns the exit code: 0 assessed, 1 a failure
// (database, unknown sweep, an LCR sweep), 2 a usage error.
int runAssessCommand(const std::vector<std::string>& args);

extern const char* const kAssessUsage;

}  // namespace cli
