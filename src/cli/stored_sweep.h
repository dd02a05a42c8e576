// The stored sweeps a command names by id on its command line.
#pragma once

#include <cstdint>
#include <string>

#include "db/records.h"

namespace cli {

// The sweep id text names; UsageError when it is not a whole number.
std::int64_t sweepIdArgument(const std::string& text);

// Loads the sweep (with its points), or the sweep with its transformer, setup and equipment, from
// the open database. False, after "corvane: no sweep with id N" on standard error, when there is no
// such sweep.
bool loadStoredSweep(std::int64_t id, db::SweepRecord& sweep);
bool loadStoredBundle(std::int64_t id, db::SweepBundle& bundle);

}  // namespace cli
