// The sweep details' live checks, and picking and adding a sweep's transformer, setup and equipment.
#include "gui/db/sweep_details.h"

#include <cstdlib>

#include "db/browser_views.h"
#include "db/record_lookup.h"
#include "gui/db/record_dialogs.h"

namespace gui {
namespace {

struct PartControls {
    SweepPart part;
    int field;
    int newButton;
    int next;  // where the focus goes once the field's picker has closed
    int view;  // the data browser's list of the part's table, whose columns the picker shows
};

constexpr int kMarks[] = {IDC_DETAILS_NAME_MARK, IDC_DETAILS_PEAK_VOLTAGE_MARK, IDC_DETAILS_TEMPERATURE_MARK};

constexpr PartControls kParts[] = {
    {SweepPart::Transformer, IDC_DETAILS_TRANSFORMER, IDC_DETAILS_NEW_TRANSFORMER, IDC_DETAILS_NEW_SETUP,
     db::kTransformersView},
    {SweepPart::Setup, IDC_DETAILS_SETUP, IDC_DETAILS_NEW_SETUP, IDC_DETAILS_NEW_EQUIPMENT, db::kSetupsView},
    {SweepPart::Equipment, IDC_DETAILS_EQUIPMENT, IDC_DETAILS_NEW_EQUIPMENT, IDC_DETAILS_COMMENTS, db::kEquipmentView},
};

const PartControls* partOf(SweepPart part) {
    for (const PartControls& p : kParts)
        if (p.part == part) return &p;
    return nullptr;
}

// The part whose field or "New" button (control) is id; nullptr for none.
const PartControls* partWith(int PartControls::*control, int id) {
    for (const PartControls& p : kParts)
        if (p.*control == id) return &p;
    return nullptr;
}

void choose(SweepChoices& choices, SweepPart part, const std::string& key) {
    switch (part) {
    case SweepPart::Transformer: choices.transformer = key; break;
    case SweepPart::Setup: choices.setupId = std::atoll(key.c_str()); break;
    case SweepPart::Equipment: choices.equipmentId = std::atoll(key.c_str()); break;
    }
}

}  // namespace

void SweepDetailsDialog::setUpDetails(HWND dialog) {
    for (int mark : kMarks) look.setMark(dialog, mark, measure::kFieldEmpty);
    setUpEdits(dialog, {{IDC_DETAILS_NAME, "* A name for this sweep", 150},
                        {IDC_DETAILS_PEAK_VOLTAGE, "In Volts", 0},
                        {IDC_DETAILS_TEMPERATURE, "In °C", 0},
                        {IDC_DETAILS_TRANSFORMER, "* Click here to select the transformer used in this sweep", 0},
                        {IDC_DETAILS_SETUP, "* Click here to select the setup used in this sweep", 0},
                        {IDC_DETAILS_EQUIPMENT, "* Click here to select the equipment used in this sweep", 0},
                        {IDC_DETAILS_COMMENTS, nullptr, 300}});
}

void SweepDetailsDialog::showChoice(HWND dialog, SweepPart part) const {
    std::string text;
    switch (part) {
    case SweepPart::Transformer:
        if (!choices.transformer.empty()) text = db::transformerText(choices.transformer);
        break;
    case SweepPart::Setup:
        if (choices.setupId >= 0) text = db::setupText(choices.setupId);
        break;
    case SweepPart::Equipment:
        if (choices.equipmentId >= 0) text = db::equipmentText(choices.equipmentId);
        break;
    }
    setControlText(dialog, partOf(part)->field, text);
}

bool SweepDetailsDialog::onDetailsCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_DETAILS_NAME:
        if (code == EN_CHANGE) {
            const measure::NameStatus status = checkName(controlText(dialog, id));
            setControlText(dialog, IDC_DETAILS_NAME_STATUS, status.text);
            look.setMark(dialog, IDC_DETAILS_NAME_MARK, status.state);
        }
        return true;
    case IDC_DETAILS_PEAK_VOLTAGE:
        if (code == EN_CHANGE) look.setMark(dialog, IDC_DETAILS_PEAK_VOLTAGE_MARK, checkValue(controlText(dialog, id)));
        return true;
    case IDC_DETAILS_TEMPERATURE:
        if (code == EN_CHANGE) look.setMark(dialog, IDC_DETAILS_TEMPERATURE_MARK, checkValue(controlText(dialog, id)));
        return true;
    case IDC_DETAILS_TRANSFORMER:
    case IDC_DETAILS_SETUP:
    case IDC_DETAILS_EQUIPMENT:
        if (code == EN_SETFOCUS) openPickerLater(dialog, id);
        return true;
    case IDC_DETAILS_NEW_TRANSFORMER:
    case IDC_DETAILS_NEW_SETUP:
    case IDC_DETAILS_NEW_EQUIPMENT: {
        const SweepPart part = partWith(&PartControls::newButton, id)->part;
        if (addChoice(dialog, part)) onAdded(dialog, part);
        return true;
    }
    default:
        return false;
    }
}

void SweepDetailsDialog::onPicker(HWND dialog, int field) {
    const PartControls* part = partWith(&PartControls::field, field);
    if (!part) return;
    db::ViewContext view;
    db::tableView(part->view, view);
    const std::string key = selectFromTable(dialog, view.table, view.columns);
    if (!key.empty()) {
        choose(choices, part->part, key);
        showChoice(dialog, part->part);
    }
    focusControl(dialog, part->next);
}

bool SweepDetailsDialog::addChoice(HWND dialog, SweepPart part) {
    bool added = false;
    switch (part) {
    case SweepPart::Transformer: {
        db::TransformerRecord record;
        added = editTransformerDialog(dialog, record, TransformerDialogMode::Add);
        if (added) choices.transformer = record.identifier;
        break;
    }
    case SweepPart::Setup: {
        db::SetupRecord record;
        added = editSetupDialog(dialog, record, db::kAddChecked);
        if (added) choices.setupId = record.id;
        break;
    }
    case SweepPart::Equipment: {
        db::EquipmentRecord record;
        added = editEquipmentDialog(dialog, record, db::kAddChecked, false);
        if (added) choices.equipmentId = record.id;
        break;
    }
    }
    if (added) showChoice(dialog, part);
    return added;
}

}  // namespace gui
