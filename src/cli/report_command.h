// "corvane report": the test report of stored sweeps as a PDF file.
#pragma once

#include <string>
#include <vector>

namespace cli {

// Runs the report command (args follow the word "report"); 0 written, 1 a failure (database, unknown
// or mismatched sweeps, the file not written), 2 a usage error.
int runReportCommand(const std::vector<std::string>& args);

extern const char* const kReportUsage;

}  // namespace cli
