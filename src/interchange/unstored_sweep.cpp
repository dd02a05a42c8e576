#include "interchange/unstored_sweep.h"

#include "db/record_lookup.h"
#include "db/record_store.h"
#include "db/row_text.h"
#include "interchange/csv_export.h"
#include "interchange/text_format.h"
#include "interchange/xml_export.h"
#include "platform/files.h"

namespace interchange {

std::string unstoredSweepPath(const db::SweepRecord& sweep, const std::string& folder) {
    const std::string base = platform::joinPath(
        folder, safeFileNamePart(sweep.name.str() + "_" + db::shownDate(sweep.date.str())));
    const char* extension = sweep.dataType == db::kDataLcr ? ".csv" : ".xml";
    std::string path = base + extension;
    for (int n = 2; platform::fileExists(path); ++n) path = base + " (" + std::to_string(n) + ")" + extension;
    return path;
}

bool keepUnstoredSweep(const db::SweepRecord& sweep, const std::string& path) {
    if (sweep.dataType == db::kDataLcr) return exportImpedanceTable(path, sweep.lcrPoints);
    db::SweepBundle bundle;
    bundle.marker = 1;
    bundle.sweep = sweep;
    bundle.sweep.date = db::shownDate(sweep.date.str());
    bundle.transformer.identifier = sweep.transformerIdentifier.str();
    // The records the sweep names, where the database still answers; without them the file keeps the
    // measurement and its transformer's identifier, which an import matches.
    std::vector<std::string> row;
    if (db::loadRowByKey(db::TableIndex::Transformer, sweep.transformerIdentifier.str(), {}, row))
        bundle.transformer = db::transformerFromColumns(row);
    if (db::loadRowByKey(db::TableIndex::Measurement, std::to_string(sweep.setupId), {}, row))
        bundle.setup = db::setupFromColumns(row);
    db::load_equipment(sweep.equipmentId, bundle.equipment);
    return platform::writeWholeFile(path, iecXmlText(bundle));
}

}  // namespace interchange
