// Importing a sweep file into the database as the data browser does: the reader is chosen by the
// file's extension (".csv"/".txt", ".xml"/".sfra", ".pax", ".s2p"/".s3p"/".s4p", each in lower or
// upper case exactly), other files are skipped. User-interface thread only (the readers show their refusals).
#pragma once

#include <string>

#include "db/records.h"
#include "interchange/touchstone_import.h"

namespace interchange {

enum class ImportKind { Csv, Xml, Pax, Touchstone, None };

ImportKind importKindOf(const std::string& path);

// What became of one file.
enum class ImportOutcome {
    Stored,          // the sweep is stored; bundle.sweep holds the name it was stored under
    Skipped,         // not a file the import reads (by its extension); nothing was shown
    Refused,         // its reader refused it or it could not be stored (the message has been shown);
                     // nothing of it is stored
    ImpedanceTable,  // an impedance table: bundle.sweep holds it for the Edit Sweep dialog to complete
                     // and store (see importCsvFile); nothing is stored yet
};

// Reads the file with its reader (messages shown by the reader) and, when that filled the bundle,
// stores it with import_sweep_bundle. A Touchstone file gives the transmission parameter chosen.
ImportOutcome importIntoDatabase(const std::string& path, db::SweepBundle& bundle,
                                 const TouchstoneParameter& touchstone = {});

}  // namespace interchange
