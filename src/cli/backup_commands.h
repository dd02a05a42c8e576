// "corvane backup" and "corvane restore": backing the database up, checking the backup folders, and
// restoring a backup.
#pragma once

#include <string>
#include <vector>

#include "cli/terminal_prompter.h"

namespace cli {

int runBackupCommand(const std::vector<std::string>& args);
int runRestoreCommand(const std::vector<std::string>& args, TerminalPrompter& prompter);

extern const char* const kBackupUsage;

}  // namespace cli
