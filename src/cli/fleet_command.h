// "corvane fleet": the fleet database on a PostgreSQL server (docs/fleet.md).
#pragma once

#include <string>
#include <vector>

namespace cli {

// Runs a fleet command (args follow the word "fleet"); 0 done, 1 a failure (the server unreachable
// or refusing), 2 a usage error.
int runFleetCommand(const std::vector<std::string>& args);

extern const char* const kFleetUsage;

}  // namespace cli
