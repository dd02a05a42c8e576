// "corvane instrument ...": identifying the analyser, registering it in a database, and reading and
// writing its settings.
#pragma once

#include <string>
#include <vector>

#include "cli/terminal_prompter.h"

namespace cli {

// Runs one instrument subcommand (args start with its name); returns the process exit code: 0
// success, 1 failure, 2 a usage error.
int runInstrumentCommand(const std::vector<std::string>& args, TerminalPrompter& prompter);

extern const char* const kInstrumentUsage;

}  // namespace cli
