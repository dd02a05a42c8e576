// Editing a stored record by its key: the row read in full, then its record's dialog in edit mode.
// Select from Table's "Edit..." and the data browser's Edit Row share it.
#include <vector>

#include "db/record_lookup.h"
#include "db/row_text.h"
#include "gui/db/record_dialogs.h"

namespace gui {

bool editStoredRecord(HWND owner, db::TableIndex table, const std::string& key, const std::string& base) {
    std::vector<std::string> values;
    if (!db::loadRowByKey(table, key, base, values)) return false;
    switch (table) {
    case db::TableIndex::Transformer: {
        db::TransformerRecord record = db::transformerFromColumns(values);
        return editTransformerDialog(owner, record, TransformerDialogMode::Edit);
    }
    case db::TableIndex::Measurement: {
        db::SetupRecord record = db::setupFromColumns(values);
        return editSetupDialog(owner, record, db::kUpdate);
    }
    case db::TableIndex::Equipment: {
        db::EquipmentRecord record = db::equipmentFromColumns(values);
        return editEquipmentDialog(owner, record, db::kUpdate, false);
    }
    case db::TableIndex::Sweep: {
        db::SweepRecord record = db::sweepFromColumns(values);
        return editSweepDialog(owner, record, db::kUpdate);
    }
    default: return false;
    }
}

}  // namespace gui
