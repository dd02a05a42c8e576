#include "interchange/import_file.h"

#include "db/record_store.h"
#include "interchange/csv_import.h"
#include "interchange/pax_import.h"
#include "interchange/xml_import.h"

namespace interchange {
namespace {

bool endsWith(const std::string& text, const char* end) {
    const std::string e = end;
    return text.size() >= e.size() && text.compare(text.size() - e.size(), e.size(), e) == 0;
}

bool endsWithEither(const std::string& path, const char* lower, const char* upper) {
    return endsWith(path, lower) || endsWith(path, upper);
}

}  // namespace

ImportKind importKindOf(const std::string& path) {
    if (endsWithEither(path, ".txt", ".TXT") || endsWithEither(path, ".csv", ".CSV")) return ImportKind::Csv;
    if (endsWithEither(path, ".xml", ".XML") || endsWithEither(path, ".sfra", ".SFRA")) return ImportKind::Xml;
    if (endsWithEither(path, ".pax", ".PAX")) return ImportKind::Pax;
    if (touchstonePorts(path) > 0) return ImportKind::Touchstone;
    return ImportKind::None;
}

ImportOutcome importIntoDatabase(const std::string& path, db::SweepBundle& bundle,
                                 const TouchstoneParameter& touchstone) {
    bundle = db::SweepBundle{};
    switch (importKindOf(path)) {
    case ImportKind::Csv:
        if (importCsvFile(path, bundle) == CsvImport::ImpedanceTable) return ImportOutcome::ImpedanceTable;
        break;
    case ImportKind::Xml: importXmlFile(path, bundle); break;
    case ImportKind::Pax: importPaxFile(path, bundle); break;
    case ImportKind::Touchstone: importTouchstoneFile(path, bundle, touchstone); break;
    case ImportKind::None: return ImportOutcome::Skipped;
    }
    return bundle.marker > 0 && db::import_sweep_bundle(bundle) ? ImportOutcome::Stored : ImportOutcome::Refused;
}

}  // namespace interchange
