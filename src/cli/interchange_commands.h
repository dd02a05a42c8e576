// "corvane import" and "corvane export": sweep files in and out of a database.
#pragma once

#include <string>
#include <vector>

#include "cli/terminal_prompter.h"

namespace cli {

int runImportCommand(const std::vector<std::string>& args);
int runExportCommand(const std::vector<std::string>& args, TerminalPrompter& prompter);

extern const char* const kInterchangeUsage;

}  // namespace cli
