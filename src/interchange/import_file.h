// Importing a sweep file into the database as the data browser does: the reader is chosen by the
// file's extension (".csv"/".txt", ".xml"/".sfra", ".pax", each in lower or upper case exactly),
// other files are skipped.
#pragma once

#include <string>

#include "db/records.h"

namespace interchange {

enum class ImportKind { Csv, Xml, Pax, None };

ImportKind importKindOf(const std::string& path);

// Reads the file with its reader (messages shown by the reader) and, when that filled the bundle,
// stores it with import_sweep_bundle. True when a sweep was stored; bundle.sweep then holds the name
// it was stored under.
bool importIntoDatabase(const std::string& path, db::SweepBundle& bundle);

}  // namespace interchange
