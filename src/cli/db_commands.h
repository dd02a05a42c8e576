// "corvane db ...": the database commands of the command line.
#pragma once

#include <string>
#include <vector>

#include "cli/terminal_prompter.h"

namespace cli {

// Runs one db subcommand (args start with its name); returns the process exit code: 0 success,
// 1 failure, 2 a usage error.
int runDbCommand(const std::vector<std::string>& args, TerminalPrompter& prompter);

// The usage lines of the db commands.
extern const char* const kDbUsage;

}  // namespace cli
