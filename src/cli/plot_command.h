// "corvane plot": draws stored sweeps as the graph window shows them, optionally in its diagnosis
// view, and writes the picture as an SVG file.
#pragma once

#include <string>
#include <vector>

namespace cli {

// Runs the plot command (args follow the word "plot"); returns the process exit code: 0 written,
// 1 a failure (database, unknown sweep, mismatched sweeps, file not written), 2 a usage error.
int runPlotCommand(const std::vector<std::string>& args);

// The usage line of the plot command.
extern const char* const kPlotUsage;

}  // namespace cli
