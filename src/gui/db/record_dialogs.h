// The record dialogs: Add/Edit Transformer, Add/Edit Measurement Setup, Add/Edit Measurement
// Equipment, Edit Sweep, and Select from Table, which picks a row of a table (and offers editing it).
// Each validates its fields as they are typed and stores through the record store. Modal, owned by
// the given window; user-interface thread only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "db/records.h"
#include "db/record_store.h"

namespace gui {

// How the transformer dialog is opened: adding, editing (with the fingerprint choice), or as the
// first step of New Database (nothing is stored; the identifier is not compared with this database's).
enum class TransformerDialogMode { Add = 0, Edit = 1, NewDatabase = 3 };

// Each returns true when the user confirmed and the record was stored (or, for the New Database
// step, filled); the record then holds what was stored, its id included. False when cancelled.
bool editTransformerDialog(HWND owner, db::TransformerRecord& record, TransformerDialogMode mode);
bool editSetupDialog(HWND owner, db::SetupRecord& record, db::StoreMode mode);
// autoFill: read the instrument's identity and calibration as the dialog opens.
bool editEquipmentDialog(HWND owner, db::EquipmentRecord& record, db::StoreMode mode, bool autoFill);
// Adding stores the sweep and, when it has points, its points.
bool editSweepDialog(HWND owner, db::SweepRecord& record, db::StoreMode mode);

// The row of table whose key (first column) is key, within base ("" for none), read in full and
// opened in its record's dialog in edit mode: transformer, setup, equipment or sweep. True when the
// user confirmed the edit; false when cancelled or when there is no such row.
bool editStoredRecord(HWND owner, db::TableIndex table, const std::string& key, const std::string& base = {});

// Select from Table on table with the given columns (the first is the key) and base WHERE clause
// ("" for none). Returns the chosen row's key, "" when nothing was chosen.
std::string selectFromTable(HWND owner, db::TableIndex table, const std::vector<int>& columns,
                            const std::string& baseWhere = {});

}  // namespace gui
