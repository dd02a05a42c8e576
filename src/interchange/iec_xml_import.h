// The IEC 60076-18 XML reader. Other makers' programs write these files with their own XML libraries,
// so the reader takes any well-formed document whose root is IECFraFile: any layout, UTF-8 or UTF-16
// (also Latin-1 and ASCII), attributes in any order, comments and processing instructions anywhere,
// entity and character references, empty elements written either way.
#pragma once

#include <string>
#include <string_view>

#include "db/records.h"

namespace interchange {

// Reads an IEC XML document, the bytes as the file holds them, into bundle (not cleared first): the
// transformer, setup, equipment and sweep fields and at most 2000 points. Returns nullptr when read,
// otherwise the message of the refusal ("The selected file is not a valid XML file" for a document
// that is not well-formed XML 1.0, whose root is not IECFraFile, that names no transformer or
// holds a point or equipment element without its three values; "... not a compatable XML file" for
// an IECFraFile of another version); a refused bundle is partly filled. The sweep is not named.
// Pure: no I/O, no database.
const char* readIecXml(std::string_view document, db::SweepBundle& bundle);

// Reads an IEC XML file into bundle as readIecXml does, names the sweep after the file (made unique
// among the stored sweeps) and makes it a basic FRA sweep of its transformer (marker 1). A refused
// file, or one that cannot be read ("Unable to open file"), gets its message and leaves the bundle
// empty (marker -1). True when filled. User-interface thread only (it shows the refusal).
bool importIecXmlFile(const std::string& path, db::SweepBundle& bundle);

}  // namespace interchange
