// The Add/Edit Transformer dialog: adding, editing with the fingerprint choice, and the first step of
// New Database.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "db/record_lookup.h"
#include "gui/db/record_dialogs.h"
#include "gui/dialog_fields.h"
#include "gui/resources/dialog_ids.h"
#include "measure/record_fields.h"

namespace gui {
namespace {

struct TransformerDialog final : FormDialog {
    TransformerDialog(db::TransformerRecord& record, TransformerDialogMode mode) : record(record), mode(mode) {}

    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM) override;
    void onPicker(HWND dialog, int field) override;

    db::TransformerRecord& record;
    TransformerDialogMode mode;
    std::vector<std::string> identifiers;  // the stored ones, when a new identifier is compared with them
    std::int64_t fingerprint = 0;
};

bool editing(const TransformerDialog& s) { return s.mode == TransformerDialogMode::Edit; }

void onIdentifierChanged(HWND dialog, TransformerDialog& s) {
    if (editing(s)) return;
    const measure::NameStatus status =
        measure::checkTransformerIdentifier(controlText(dialog, IDC_TRANSFORMER_IDENTIFIER), s.identifiers);
    setControlText(dialog, IDC_TRANSFORMER_IDENTIFIER_STATUS, status.text);
    s.look.setMark(dialog, IDC_TRANSFORMER_IDENTIFIER_MARK, status.state);
}

int controlOf(measure::TransformerField field) {
    switch (field) {
    case measure::TransformerField::Identifier: return IDC_TRANSFORMER_IDENTIFIER;
    case measure::TransformerField::Manufacturer: return IDC_TRANSFORMER_MANUFACTURER;
    case measure::TransformerField::SerialNumber: return IDC_TRANSFORMER_SERIAL;
    }
    return IDC_TRANSFORMER_IDENTIFIER;
}

void onOk(HWND dialog, TransformerDialog& s) {
    const measure::TransformerForm form{controlText(dialog, IDC_TRANSFORMER_IDENTIFIER),
                                        controlText(dialog, IDC_TRANSFORMER_MANUFACTURER),
                                        controlText(dialog, IDC_TRANSFORMER_SERIAL)};
    if (const auto refused = measure::refuseTransformer(form, !editing(s), s.identifiers)) {
        refuseField(dialog, refused->message, controlOf(refused->field));
        return;
    }
    s.record.identifier = form.identifier;
    s.record.manufacturer = form.manufacturer;
    s.record.serialNumber = form.serialNumber;
    bool stored = true;  // New Database stores the transformer once its file exists
    if (s.mode == TransformerDialogMode::Add) {
        stored = db::store_transformer(s.record, db::kAddChecked) == db::kStored;
    } else if (editing(s)) {
        s.record.fingerprintSweepId = s.fingerprint;
        stored = db::store_transformer(s.record, db::kUpdate) == db::kStored;
    }
    EndDialog(dialog, stored ? IDOK : IDCANCEL);
}

bool TransformerDialog::onInit(HWND dialog) {
    look.setTitleFont(dialog, IDC_DIALOG_TITLE);
    setUpEdits(dialog, {{IDC_TRANSFORMER_IDENTIFIER, "* Unique Transformer Identifier", 50},
                        {IDC_TRANSFORMER_MANUFACTURER, "* Transformer's Manufacturer", 50},
                        {IDC_TRANSFORMER_SERIAL, "* Transformer's Serial Number", 20}});
    if (!editing(*this)) {
        look.setMark(dialog, IDC_TRANSFORMER_IDENTIFIER_MARK, measure::kFieldEmpty);
        // A new database has no transformers yet; the open one's do not count.
        if (mode == TransformerDialogMode::Add)
            db::select_rows(identifiers, db::TableIndex::Transformer, {0}, "", false);
        return true;
    }
    setControlText(dialog, IDC_TRANSFORMER_IDENTIFIER, record.identifier);
    setControlText(dialog, IDC_TRANSFORMER_MANUFACTURER, record.manufacturer);
    setControlText(dialog, IDC_TRANSFORMER_SERIAL, record.serialNumber);
    enableControl(dialog, IDC_TRANSFORMER_IDENTIFIER, false);
    fingerprint = record.fingerprintSweepId;
    setCueText(dialog, IDC_TRANSFORMER_FINGERPRINT, "Click to choose this transformer's fingerprint sweep");
    setControlText(dialog, IDC_TRANSFORMER_FINGERPRINT, db::fingerprintText(fingerprint));
    return true;
}

bool TransformerDialog::onCommand(HWND dialog, int id, int code, LPARAM) {
    switch (id) {
    case IDC_TRANSFORMER_IDENTIFIER:
        if (code == EN_CHANGE) onIdentifierChanged(dialog, *this);
        return true;
    case IDC_TRANSFORMER_FINGERPRINT:
        if (code == EN_SETFOCUS) openPickerLater(dialog, id);
        return true;
    case IDOK: onOk(dialog, *this); return true;
    default: return false;
    }
}

// The transformer's own sweeps; the one chosen becomes its fingerprint.
void TransformerDialog::onPicker(HWND dialog, int) {
    const db::TableIndex sweeps = db::TableIndex::Sweep;
    const std::string key =
        selectFromTable(dialog, sweeps, {0, 4, 7, 8}, db::whereColumnIs(sweeps, 3, record.identifier));
    if (!key.empty()) {
        fingerprint = std::atoll(key.c_str());
        setControlText(dialog, IDC_TRANSFORMER_FINGERPRINT, db::fingerprintText(fingerprint));
    }
    focusControl(dialog, IDOK);
}

}  // namespace

bool editTransformerDialog(HWND owner, db::TransformerRecord& record, TransformerDialogMode mode) {
    TransformerDialog dialog(record, mode);
    return dialog.run(owner, mode == TransformerDialogMode::Edit ? IDD_EDIT_TRANSFORMER : IDD_ADD_TRANSFORMER) == IDOK;
}

}  // namespace gui
