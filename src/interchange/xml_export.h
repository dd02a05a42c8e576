// The IEC 60076-18 XML writer: one file per FRA sweep, its lines in the fixed order the XML reader
// takes them back in.
#pragma once

#include <span>
#include <string>

#include "db/records.h"

namespace interchange {

// The whole content of the XML file for one sweep bundle (UTF-8, CR LF line ends, no line end after
// the last line). The date is written as the bundle holds it (day-month-year when loaded).
std::string iecXmlText(const db::SweepBundle& bundle);

// Writes one XML file per exportable sweep of bundles into folder, named after the sweep's name and
// date. LCR sweeps are skipped with a warning; an empty sweep and an existing file are exported only
// when the user says Yes; a file that cannot be written is skipped without a message, and bundles
// that hold no sweep (marker -1) are passed over. Returns the number of files written.
int exportXml(const std::string& folder, std::span<const db::SweepBundle> bundles);

}  // namespace interchange
