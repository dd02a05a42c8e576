// "corvane sweep", "corvane realtime", "corvane crossings", "corvane diagnose": measuring with the
// instrument and looking at stored sweeps.
#pragma once

#include <string>
#include <vector>

namespace cli {

// Each returns the process exit code (0 success, 1 failure, 2 usage error or refused settings).
int runSweepCommand(const std::vector<std::string>& args);
int runRealtimeCommand(const std::vector<std::string>& args);
int runCrossingsCommand(const std::vector<std::string>& args);
int runDiagnoseCommand(const std::vector<std::string>& args);

extern const char* const kMeasureUsage;

}  // namespace cli
