// The IEC 60076-18 XML writer: one file per FRA sweep, its lines in the fixed order the XML reader
// takes them back in; and the escaping of text values that keeps every file well-formed XML.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "db/records.h"

namespace interchange {

// text made fit to stand in XML element text or a double-quoted attribute value: & < > " ' as
// entity references; tab, line feed and carriage return as character references (so that a value
// stays on its line and survives attribute normalisation); other control characters, which XML
// cannot carry at all, left out; bytes that are not UTF-8 taken as Latin-1 characters.
std::string xmlEscape(std::string_view text);

// The reverse: the five entity references and decimal or hexadecimal character references
// replaced by their characters (UTF-8); anything else, unknown references included, kept as it is.
std::string xmlUnescape(std::string_view text);

// The whole content of the XML file for one sweep bundle (UTF-8, CR LF line ends, no line end after
// the last line). The date is written as the bundle holds it (day-month-year when loaded).
std::string iecXmlText(const db::SweepBundle& bundle);

// Writes one XML file per exportable sweep of bundles into folder, named after the sweep's name and
// date. LCR sweeps are skipped with a warning; an empty sweep and an existing file are exported only
// when the user says Yes; a file that cannot be written is skipped without a message, and bundles
// that hold no sweep (marker -1) are passed over. Returns the number of files written.
int exportXml(const std::string& folder, std::span<const db::SweepBundle> bundles);

}  // namespace interchange
