// The Edit Sweep dialog: a stored sweep's details edited, or a measured or imported sweep added with
// its points.
#include <windows.h>

#include <string>

#include "db/record_lookup.h"
#include "gui/db/record_dialogs.h"
#include "gui/db/sweep_choices.h"
#include "gui/dialog_fields.h"
#include "gui/resources/dialog_ids.h"
#include "measure/record_fields.h"

namespace gui {
namespace {

constexpr int kMarks[] = {IDC_DETAILS_NAME_MARK, IDC_DETAILS_PEAK_VOLTAGE_MARK, IDC_DETAILS_TEMPERATURE_MARK};

struct EditSweep {
    EditSweep(db::SweepRecord& record, db::StoreMode mode) : record(record), mode(mode) {}

    db::SweepRecord& record;
    db::StoreMode mode;
    measure::SweepForm shown;  // what an edit opened with
    SweepChoices choices;
    DialogLook look;
};

EditSweep& stateOf(HWND dialog) { return *dialogRecord<EditSweep>(dialog); }

bool editing(const EditSweep& s) { return s.mode == db::kUpdate; }

void showChoices(HWND dialog, const SweepChoices& choices) {
    for (SweepPart part : {SweepPart::Transformer, SweepPart::Setup, SweepPart::Equipment})
        showChoice(dialog, choices, part);
}

void onInitDialog(HWND dialog, LPARAM record) {
    EditSweep& s = attachDialogRecord<EditSweep>(dialog, record);
    s.look.setTitleFont(dialog, IDC_DIALOG_TITLE);
    for (int mark : kMarks) s.look.setMark(dialog, mark, measure::kFieldEmpty);
    setUpDetailFields(dialog);
    if (editing(s)) {
        s.shown = measure::sweepForm(s.record);
        setControlText(dialog, IDC_DIALOG_TITLE, "Edit Sweep");
        setControlText(dialog, IDOK, "Confirm");
        setControlText(dialog, IDC_DETAILS_ID, std::to_string(s.record.id));
        setControlText(dialog, IDC_DETAILS_NAME, s.shown.name);
        setControlText(dialog, IDC_DETAILS_PEAK_VOLTAGE, s.shown.peakVoltage);
        setControlText(dialog, IDC_DETAILS_TEMPERATURE, s.shown.temperature);
        setControlText(dialog, IDC_DETAILS_COMMENTS, s.shown.comments);
        s.choices.transformer = s.shown.transformerIdentifier;
        s.choices.setupId = s.shown.setupId;
        s.choices.equipmentId = s.shown.equipmentId;
        enableControl(dialog, IDC_DETAILS_NEW_EQUIPMENT, false);
    } else {
        s.record.id = db::next_row_id(db::TableIndex::Sweep);
        setControlText(dialog, IDC_DETAILS_ID, std::to_string(s.record.id));
        // The equipment is the instrument that measured the sweep; one this database does not hold
        // is no choice, and the user may add it.
        s.choices.equipmentId = s.record.equipmentId;
        if (s.choices.equipmentId >= 0 && db::equipmentText(s.choices.equipmentId).empty()) s.choices.equipmentId = -1;
        enableControl(dialog, IDC_DETAILS_EQUIPMENT, false);
        enableControl(dialog, IDC_DETAILS_NEW_EQUIPMENT, s.choices.equipmentId < 0);
    }
    showChoices(dialog, s.choices);
}

void onNameChanged(HWND dialog) {
    EditSweep& s = stateOf(dialog);
    const measure::NameStatus status =
        measure::checkStoredSweepName(controlText(dialog, IDC_DETAILS_NAME), editing(s) ? s.shown.name : "");
    setControlText(dialog, IDC_DETAILS_NAME_STATUS, status.text);
    s.look.setMark(dialog, IDC_DETAILS_NAME_MARK, status.state);
}

void onValueChanged(HWND dialog, int field, int mark) {
    stateOf(dialog).look.setMark(dialog, mark, measure::checkSweepValue(controlText(dialog, field)));
}

void onNew(HWND dialog, SweepPart part) {
    EditSweep& s = stateOf(dialog);
    if (addChoice(dialog, s.choices, part) && part == SweepPart::Equipment && !editing(s))
        enableControl(dialog, IDC_DETAILS_NEW_EQUIPMENT, false);
}

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

void onOk(HWND dialog) {
    EditSweep& s = stateOf(dialog);
    measure::SweepForm form;
    form.name = controlText(dialog, IDC_DETAILS_NAME);
    form.peakVoltage = controlText(dialog, IDC_DETAILS_PEAK_VOLTAGE);
    form.temperature = controlText(dialog, IDC_DETAILS_TEMPERATURE);
    form.comments = controlText(dialog, IDC_DETAILS_COMMENTS);
    form.transformerIdentifier = s.choices.transformer;
    form.setupId = s.choices.setupId;
    form.equipmentId = s.choices.equipmentId;
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

bool onCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_DETAILS_NAME:
        if (code == EN_CHANGE) onNameChanged(dialog);
        return true;
    case IDC_DETAILS_PEAK_VOLTAGE:
        if (code == EN_CHANGE) onValueChanged(dialog, id, IDC_DETAILS_PEAK_VOLTAGE_MARK);
        return true;
    case IDC_DETAILS_TEMPERATURE:
        if (code == EN_CHANGE) onValueChanged(dialog, id, IDC_DETAILS_TEMPERATURE_MARK);
        return true;
    case IDC_DETAILS_TRANSFORMER:
    case IDC_DETAILS_SETUP:
    case IDC_DETAILS_EQUIPMENT:
        if (code == EN_SETFOCUS) requestPicker(dialog, stateOf(dialog).choices, id);
        return true;
    case IDC_DETAILS_NEW_TRANSFORMER: onNew(dialog, SweepPart::Transformer); return true;
    case IDC_DETAILS_NEW_SETUP: onNew(dialog, SweepPart::Setup); return true;
    case IDC_DETAILS_NEW_EQUIPMENT: onNew(dialog, SweepPart::Equipment); return true;
    case IDOK: onOk(dialog); return true;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return true;
    default: return false;
    }
}

INT_PTR CALLBACK editSweepProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog, lParam);
        return TRUE;
    case WM_COMMAND:
        return onCommand(dialog, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_DRAWITEM:
        return dialogRecord<EditSweep>(dialog) &&
               stateOf(dialog).look.drawMark(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_OPEN_PICKER:
        openPicker(dialog, stateOf(dialog).choices, static_cast<int>(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

bool editSweepDialog(HWND owner, db::SweepRecord& record, db::StoreMode mode) {
    EditSweep state(record, mode);
    return runDialog(owner, IDD_EDIT_SWEEP, editSweepProc, &state) == IDOK;
}

}  // namespace gui
