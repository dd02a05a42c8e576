// Picking and adding a sweep's transformer, setup and equipment.
#include "gui/db/sweep_choices.h"

#include <cstdlib>

#include "db/browser_views.h"
#include "db/record_lookup.h"
#include "gui/db/record_dialogs.h"
#include "gui/dialog_fields.h"
#include "gui/resources/dialog_ids.h"

namespace gui {
namespace {

struct PartControls {
    SweepPart part;
    int field;
    int next;  // where the focus goes once the field's picker has closed
    int view;  // the data browser's list of the part's table, whose columns the picker shows
};

constexpr PartControls kParts[] = {
    {SweepPart::Transformer, IDC_DETAILS_TRANSFORMER, IDC_DETAILS_NEW_SETUP, db::kTransformersView},
    {SweepPart::Setup, IDC_DETAILS_SETUP, IDC_DETAILS_NEW_EQUIPMENT, db::kSetupsView},
    {SweepPart::Equipment, IDC_DETAILS_EQUIPMENT, IDC_DETAILS_COMMENTS, db::kEquipmentView},
};

const PartControls* partOf(SweepPart part) {
    for (const PartControls& p : kParts)
        if (p.part == part) return &p;
    return nullptr;
}

const PartControls* partWithField(int field) {
    for (const PartControls& p : kParts)
        if (p.field == field) return &p;
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

void setUpDetailFields(HWND dialog) {
    setCueText(dialog, IDC_DETAILS_NAME, "* A name for this sweep");
    setCueText(dialog, IDC_DETAILS_PEAK_VOLTAGE, "In Volts");
    setCueText(dialog, IDC_DETAILS_TEMPERATURE, "In °C");
    setCueText(dialog, IDC_DETAILS_TRANSFORMER, "* Click here to select the transformer used in this sweep");
    setCueText(dialog, IDC_DETAILS_SETUP, "* Click here to select the setup used in this sweep");
    setCueText(dialog, IDC_DETAILS_EQUIPMENT, "* Click here to select the equipment used in this sweep");
    limitText(dialog, IDC_DETAILS_NAME, 150);
    limitText(dialog, IDC_DETAILS_COMMENTS, 300);
}

void showChoice(HWND dialog, const SweepChoices& choices, SweepPart part) {
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

void requestPicker(HWND dialog, SweepChoices& choices, int field) {
    if (choices.picking || !partWithField(field)) return;
    choices.picking = true;
    PostMessageW(dialog, WM_OPEN_PICKER, static_cast<WPARAM>(field), 0);
}

void openPicker(HWND dialog, SweepChoices& choices, int field) {
    const PartControls* part = partWithField(field);
    if (!part) return;
    db::ViewContext view;
    db::tableView(part->view, view);
    const std::string key = selectFromTable(dialog, view.table, view.columns);
    if (!key.empty()) {
        choose(choices, part->part, key);
        showChoice(dialog, choices, part->part);
    }
    focusControl(dialog, part->next);
    choices.picking = false;
}

bool addChoice(HWND dialog, SweepChoices& choices, SweepPart part) {
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
    if (added) showChoice(dialog, choices, part);
    return added;
}

}  // namespace gui
