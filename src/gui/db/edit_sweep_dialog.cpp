// The Edit Sweep dialog: a stored sweep's details edited, or a measured or imported sweep added with
// its points.
#include <windows.h>

#include <string>

#include "db/record_lookup.h"
#include "gui/db/record_dialogs.h"
#include "gui/db/sweep_details.h"
#include "gui/resources/dialog_ids.h"
#include "measure/record_fields.h"

namespace gui {
namespace {

struct EditSweep final : SweepDetailsDialog {
    EditSweep(db::SweepRecord& record, db::StoreMode mode) : record(record), mode(mode) {}

    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM) override;
    measure::NameStatus checkName(const std::string& name) const override;
    int checkValue(const std::string& value) const override { return measure::checkSweepValue(value); }
    void onAdded(HWND dialog, SweepPart part) override;
    void showForm(HWND dialog, const measure::SweepForm& form);

    db::SweepRecord& record;
    db::StoreMode mode;
    measure::SweepForm shown;  // what an edit opened with
};

bool editing(const EditSweep& s) { return s.mode == db::kUpdate; }

int controlOf(measure::SweepField field) {
    switch (field) {
    case measure::SweepField::Name: return IDC_DETAILS_NAME;
    case measure::SweepField::PeakVoltage: return IDC_DETAILS_PEAK_VOLTAGE;
    case measure::SweepField::Temperature: return IDC_DETAILS_TEMPERATURE;
    case measure::SweepField::Transformer: return IDC_DETAILS_TRANSFORMER;
    case measure::SweepField::Setup: return IDC_DETAILS_SETUP;
    case measure::SweepField::Equipment: return IDC_DETAILS_EQUIPMENT;
    }
    return IDC_DETAILS_NAME;
}

void onOk(HWND dialog, EditSweep& s) {
    measure::SweepForm form;
    s.readDetails(dialog, form);
    const measure::SweepForm* shown = editing(s) ? &s.shown : nullptr;
    if (const auto refused = measure::refuseSweep(form, shown)) {
        refuseField(dialog, refused->message, controlOf(refused->field));
        return;
    }
    measure::fillSweep(form, shown, s.record);
    // A new sweep goes in whole with its points, or not at all.
    const int result = editing(s) ? db::store_sweep(s.record, db::kUpdate) : db::store_new_sweep(s.record, s.mode);
    EndDialog(dialog, result == db::kStored ? IDOK : IDCANCEL);
}

// The form's details in their fields, and its transformer and setup as the choices.
void EditSweep::showForm(HWND dialog, const measure::SweepForm& form) {
    setControlText(dialog, IDC_DETAILS_NAME, form.name);
    setControlText(dialog, IDC_DETAILS_PEAK_VOLTAGE, form.peakVoltage);
    setControlText(dialog, IDC_DETAILS_TEMPERATURE, form.temperature);
    setControlText(dialog, IDC_DETAILS_COMMENTS, form.comments);
    choices.transformer = form.transformerIdentifier;
    choices.setupId = form.setupId;
}

bool EditSweep::onInit(HWND dialog) {
    look.setTitleFont(dialog, IDC_DIALOG_TITLE);
    setUpDetails(dialog);
    if (editing(*this)) {
        shown = measure::sweepForm(record);
        setControlText(dialog, IDC_DIALOG_TITLE, "Edit Sweep");
        setControlText(dialog, IDOK, "Confirm");
        setControlText(dialog, IDC_DETAILS_ID, std::to_string(record.id));
        showForm(dialog, shown);
        choices.equipmentId = shown.equipmentId;
        enableControl(dialog, IDC_DETAILS_NEW_EQUIPMENT, false);
    } else {
        record.id = db::next_row_id(db::TableIndex::Sweep);
        setControlText(dialog, IDC_DETAILS_ID, std::to_string(record.id));
        // The equipment is the instrument that measured the sweep; one this database does not hold
        // is no choice, and the user may add it.
        choices.equipmentId = record.equipmentId;
        if (choices.equipmentId >= 0 && db::equipmentText(choices.equipmentId).empty()) choices.equipmentId = -1;
        enableControl(dialog, IDC_DETAILS_EQUIPMENT, false);
        enableControl(dialog, IDC_DETAILS_NEW_EQUIPMENT, choices.equipmentId < 0);
        // A sweep proposed with its details (one the database would not take as it was measured)
        // opens with them.
        if (!record.name.empty()) showForm(dialog, measure::sweepForm(record));
    }
    for (SweepPart part : {SweepPart::Transformer, SweepPart::Setup, SweepPart::Equipment}) showChoice(dialog, part);
    return true;
}

bool EditSweep::onCommand(HWND dialog, int id, int code, LPARAM) {
    if (onDetailsCommand(dialog, id, code)) return true;
    if (id != IDOK) return false;
    onOk(dialog, *this);
    return true;
}

// In edit mode the sweep's own name is no other sweep's.
measure::NameStatus EditSweep::checkName(const std::string& name) const {
    return measure::checkStoredSweepName(name, editing(*this) ? shown.name : "");
}

// Only an added sweep may add its instrument, and only the one.
void EditSweep::onAdded(HWND dialog, SweepPart part) {
    if (part == SweepPart::Equipment && !editing(*this)) enableControl(dialog, IDC_DETAILS_NEW_EQUIPMENT, false);
}

}  // namespace

bool editSweepDialog(HWND owner, db::SweepRecord& record, db::StoreMode mode) {
    EditSweep dialog(record, mode);
    return dialog.run(owner, IDD_EDIT_SWEEP) == IDOK;
}

}  // namespace gui
