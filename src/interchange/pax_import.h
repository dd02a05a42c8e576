// The PAX reader: sweeps measured with other analysers, in XML text files whose root element is
// <Frameworx>, read line by line like the ".sfra" sweep files.
#pragma once

#include <string>

#include "db/records.h"

namespace interchange {

// Reads a PAX file into bundle: a basic FRA sweep (data type 0) of at most 2000 points, named after
// its sweep section and made unique among the stored sweeps, with its transformer and a setup that
// carries the file's comments; the equipment is "Unknown". A file that cannot be opened or is
// refused (wrong root, wrong version, cut short, a point that is not three numbers) gets its
// message, and bundle stays empty (marker -1). True when the bundle was filled (marker 1).
bool importPaxFile(const std::string& path, db::SweepBundle& bundle);

}  // namespace interchange
