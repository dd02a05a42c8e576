// The Add/Edit Measurement Equipment dialog, with the auto-fill from the connected instrument.
#include <windows.h>

#include <string>

#include "gui/db/record_dialogs.h"
#include "gui/dialog_fields.h"
#include "gui/instrument/instrument_link.h"
#include "gui/resources/dialog_ids.h"
#include "instrument/equipment_details.h"
#include "measure/record_fields.h"

namespace gui {
namespace {

constexpr int kDetailFields[] = {IDC_EQUIPMENT_INSTRUMENT, IDC_EQUIPMENT_MANUFACTURER, IDC_EQUIPMENT_SERIAL};

struct EquipmentDialog final : FormDialog {
    EquipmentDialog(db::EquipmentRecord& record, db::StoreMode mode, bool autoFill)
        : record(record), mode(mode), autoFill(autoFill) {}

    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM) override;

    db::EquipmentRecord& record;
    db::StoreMode mode;
    bool autoFill;
    bool autoFilled = false;
    std::string filledDueDate;  // the instrument's calibration due date, once auto-filled
};

bool editing(const EquipmentDialog& s) { return s.mode == db::kUpdate; }

// Asks the connected instrument for its details; true when they are in the fields.
bool runAutoFill(HWND dialog, EquipmentDialog& s) {
    instrument::EquipmentDetails details;
    details.calibrationDueDate = s.autoFilled ? s.filledDueDate : s.record.calibrationDueDate.str();
    if (!instrument::readEquipmentDetails(instrumentLink(), details)) return false;
    setControlText(dialog, IDC_EQUIPMENT_INSTRUMENT, details.instrument);
    setControlText(dialog, IDC_EQUIPMENT_MANUFACTURER, details.manufacturer);
    setControlText(dialog, IDC_EQUIPMENT_SERIAL, details.serialNumber);
    s.filledDueDate = details.calibrationDueDate;
    s.autoFilled = true;
    return true;
}

int controlOf(measure::EquipmentField field) {
    switch (field) {
    case measure::EquipmentField::Instrument: return IDC_EQUIPMENT_INSTRUMENT;
    case measure::EquipmentField::Manufacturer: return IDC_EQUIPMENT_MANUFACTURER;
    case measure::EquipmentField::SerialNumber: return IDC_EQUIPMENT_SERIAL;
    }
    return IDC_EQUIPMENT_INSTRUMENT;
}

void onOk(HWND dialog, EquipmentDialog& s) {
    const measure::EquipmentForm form{controlText(dialog, IDC_EQUIPMENT_INSTRUMENT),
                                      controlText(dialog, IDC_EQUIPMENT_MANUFACTURER),
                                      controlText(dialog, IDC_EQUIPMENT_SERIAL)};
    if (const auto refused = measure::refuseEquipment(form)) {
        refuseField(dialog, refused->message, controlOf(refused->field));
        return;
    }
    db::EquipmentRecord& record = s.record;
    record.instrument = form.instrument;
    record.manufacturer = form.manufacturer;
    record.serialNumber = form.serialNumber;
    if (s.autoFilled) record.calibrationDueDate = s.filledDueDate;
    if (!editing(s)) record.id = db::next_row_id(db::TableIndex::Equipment);
    const int result = db::store_equipment(record, s.mode);
    // The store refuses a second row of the same instrument without a word; the user hears why.
    if (result == db::kAlreadyExists && !editing(s)) {
        refuseField(dialog, "This equipment is already in the database", IDC_EQUIPMENT_INSTRUMENT);
        return;
    }
    EndDialog(dialog, result == db::kStored ? IDOK : IDCANCEL);
}

bool EquipmentDialog::onInit(HWND dialog) {
    look.setTitleFont(dialog, IDC_DIALOG_TITLE);
    setUpEdits(dialog, {{IDC_EQUIPMENT_INSTRUMENT, "* Type of instrument (eg. QMX74)", 20},
                        {IDC_EQUIPMENT_MANUFACTURER, "* Instrument's manufacturer (eg. Veltrona Ltd)", 50},
                        {IDC_EQUIPMENT_SERIAL, "* Instrument's Serial number", 10}});
    enableControl(dialog, IDC_EQUIPMENT_AUTOFILL, instrumentLink().connected);
    if (editing(*this)) {
        setControlText(dialog, IDC_DIALOG_TITLE, "Edit Measurement Equipment");
        setControlText(dialog, IDOK, "Confirm");
        setControlText(dialog, IDC_EQUIPMENT_ID, std::to_string(record.id));
        setControlText(dialog, IDC_EQUIPMENT_INSTRUMENT, record.instrument);
        setControlText(dialog, IDC_EQUIPMENT_MANUFACTURER, record.manufacturer);
        setControlText(dialog, IDC_EQUIPMENT_SERIAL, record.serialNumber);
    } else {
        setControlText(dialog, IDC_EQUIPMENT_ID, std::to_string(db::next_row_id(db::TableIndex::Equipment)));
    }
    // The instrument's own details are not for typing over; when it did not answer, the user types them.
    if (autoFill && runAutoFill(dialog, *this))
        for (int id : kDetailFields) enableControl(dialog, id, false);
    return true;
}

bool EquipmentDialog::onCommand(HWND dialog, int id, int, LPARAM) {
    switch (id) {
    case IDC_EQUIPMENT_AUTOFILL: runAutoFill(dialog, *this); return true;
    case IDOK: onOk(dialog, *this); return true;
    default: return false;
    }
}

}  // namespace

bool editEquipmentDialog(HWND owner, db::EquipmentRecord& record, db::StoreMode mode, bool autoFill) {
    EquipmentDialog dialog(record, mode, autoFill);
    return dialog.run(owner, IDD_EQUIPMENT) == IDOK;
}

}  // namespace gui
