// CSV files read back: the sweep report and impedance table the program writes (csv_export.h), the
// instrument's own files and plain column files. The data browser reads them into a SweepBundle, the
// impedance pane into its display buffer. User-interface thread only (messages, file chooser).
#pragma once

#include <string>
#include <vector>

#include "db/records.h"

namespace interchange {

// The most points a sweep or the impedance display holds; longer files are refused whole.
constexpr int kMaxImportPoints = 2000;

// What a file read for the data browser became.
enum class CsvImport {
    Refused,         // nothing read: the message has been shown, the bundle is empty (marker -1)
    Sweep,           // the bundle is filled (marker 1), ready for db::import_sweep_bundle
    ImpedanceTable,  // an impedance table: bundle.sweep holds an impedance sweep (data type 2, its points,
                     // possibly none, dated and timed now, equipment id -1) for the Edit Sweep dialog to
                     // complete and store; the marker stays -1, so it is never stored as it is
};

// The data browser's import of one ".csv" or ".txt" file. The first line decides the kind: sweep
// report, instrument file (its FRA data), quoted or plain column file, impedance table. Refusals show
// "Unable to open file", "The selected file is not a valid CSV file" or "The selected file does not
// contain FRA data", captioned "Import Error".
CsvImport importCsvFile(const std::string& path, db::SweepBundle& bundle);

// The impedance pane's reading of a file: an instrument file's impedance data or an impedance table.
// True when the file was read and holds at least one point (points then holds them); otherwise points
// is empty and, when the file was refused, the message ("The selected file is not a valid CSV file",
// "The selected file does not contain Impedance data", "Unable to open file") has been shown.
bool importImpedanceFile(const std::string& path, std::vector<db::LcrPoint>& points);

// The impedance pane's IMPORT button: the open-file chooser "Import into Database", then
// importImpedanceFile. A chosen name without a ".txt", ".TXT", ".csv" or ".CSV" extension is ignored
// without a message. Same result as importImpedanceFile; false when cancelled.
bool importIntoDisplay(std::vector<db::LcrPoint>& points);

// True when the path's file name ends in ".txt", ".TXT", ".csv" or ".CSV" (exactly these spellings).
bool hasCsvExtension(const std::string& path);

// The readers behind the functions above, on a file's whole text: no file access, no messages, no
// clock. On refusal, refusal receives the message text and the output is left empty; parseCsvForDisplay
// returns true for an accepted text even when it holds no points. An impedance table read for the
// data browser is not dated here.
CsvImport parseCsvForDatabase(const std::string& text, db::SweepBundle& bundle, std::string& refusal);
bool parseCsvForDisplay(const std::string& text, std::vector<db::LcrPoint>& points, std::string& refusal);

}  // namespace interchange
