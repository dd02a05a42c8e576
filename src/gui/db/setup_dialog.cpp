// The Add/Edit Measurement Setup dialog.
#include <windows.h>

#include <string>
#include <vector>

#include "gui/db/record_dialogs.h"
#include "gui/dialog_fields.h"
#include "gui/resources/dialog_ids.h"
#include "measure/record_fields.h"

namespace gui {
namespace {

constexpr const char* kFluidChoices[] = {"No", "Yes"};

struct SetupDialog final : FormDialog {
    SetupDialog(db::SetupRecord& record, db::StoreMode mode) : record(record), mode(mode) {}

    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM) override;

    db::SetupRecord& record;
    db::StoreMode mode;
    std::vector<std::string> names;  // of the stored setups
    std::string ownName;             // the edited setup's stored name; "" when adding
};

bool editing(const SetupDialog& s) { return s.mode == db::kUpdate; }

void setUpFields(HWND dialog) {
    // An OLTC of 9 characters holds any tap position, and never more than the record's number holds.
    setUpEdits(dialog, {{IDC_SETUP_NAME, "* Enter a name to identify this setup", 150},
                        {IDC_SETUP_REFERENCE, "* Ref", 19},
                        {IDC_SETUP_RESPONSE, "* Resp", 19},
                        {IDC_SETUP_CONNECTED, "* Connected Terminals", 49},
                        {IDC_SETUP_OLTC, "* OLTC", 9},
                        {IDC_SETUP_LENGTH, "* in mm", 0},
                        {IDC_SETUP_COMMENTS, "Enter any additional information here.", 299}});
    for (const char* choice : kFluidChoices)
        SendDlgItemMessageA(dialog, IDC_SETUP_FLUID, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
    SendDlgItemMessageW(dialog, IDC_SETUP_FLUID, CB_SETCURSEL, 0, 0);
}

void showSetup(HWND dialog, const measure::SetupForm& f) {
    setControlText(dialog, IDC_SETUP_NAME, f.name);
    setControlText(dialog, IDC_SETUP_REFERENCE, f.reference);
    setControlText(dialog, IDC_SETUP_RESPONSE, f.response);
    setControlText(dialog, IDC_SETUP_CONNECTED, f.connected);
    setControlText(dialog, IDC_SETUP_OLTC, f.oltc);
    setControlText(dialog, IDC_SETUP_LENGTH, f.length);
    setControlText(dialog, IDC_SETUP_COMMENTS, f.comments);
    SendDlgItemMessageW(dialog, IDC_SETUP_FLUID, CB_SETCURSEL, f.fluidFilled ? 1 : 0, 0);
}

void onNameChanged(HWND dialog, SetupDialog& s) {
    const measure::NameStatus status =
        measure::checkSetupName(controlText(dialog, IDC_SETUP_NAME), s.names, s.ownName);
    setControlText(dialog, IDC_SETUP_NAME_STATUS, status.text);
    s.look.setMark(dialog, IDC_SETUP_NAME_MARK, status.state);
}

void onLengthChanged(HWND dialog, SetupDialog& s) {
    s.look.setMark(dialog, IDC_SETUP_LENGTH_MARK, measure::checkUnshieldedLength(controlText(dialog, IDC_SETUP_LENGTH)));
}

int controlOf(measure::SetupField field) {
    switch (field) {
    case measure::SetupField::Name: return IDC_SETUP_NAME;
    case measure::SetupField::Reference: return IDC_SETUP_REFERENCE;
    case measure::SetupField::Response: return IDC_SETUP_RESPONSE;
    case measure::SetupField::Connected: return IDC_SETUP_CONNECTED;
    case measure::SetupField::Oltc: return IDC_SETUP_OLTC;
    case measure::SetupField::Length: return IDC_SETUP_LENGTH;
    }
    return IDC_SETUP_NAME;
}

void onOk(HWND dialog, SetupDialog& s) {
    measure::SetupForm form;
    form.name = controlText(dialog, IDC_SETUP_NAME);
    form.reference = controlText(dialog, IDC_SETUP_REFERENCE);
    form.response = controlText(dialog, IDC_SETUP_RESPONSE);
    form.connected = controlText(dialog, IDC_SETUP_CONNECTED);
    form.oltc = controlText(dialog, IDC_SETUP_OLTC);
    form.length = controlText(dialog, IDC_SETUP_LENGTH);
    form.comments = controlText(dialog, IDC_SETUP_COMMENTS);
    form.fluidFilled = SendDlgItemMessageW(dialog, IDC_SETUP_FLUID, CB_GETCURSEL, 0, 0) == 1;
    if (const auto refused = measure::refuseSetup(form, s.names, s.ownName)) {
        refuseField(dialog, refused->message, controlOf(refused->field));
        return;
    }
    measure::fillSetup(form, s.record);
    if (!editing(s)) s.record.id = db::next_row_id(db::TableIndex::Measurement);
    EndDialog(dialog, db::store_setup(s.record, s.mode) == db::kStored ? IDOK : IDCANCEL);
}

bool SetupDialog::onInit(HWND dialog) {
    look.setTitleFont(dialog, IDC_DIALOG_TITLE);
    look.setMark(dialog, IDC_SETUP_NAME_MARK, measure::kFieldEmpty);
    look.setMark(dialog, IDC_SETUP_LENGTH_MARK, measure::kFieldEmpty);
    setUpFields(dialog);
    db::select_rows(names, db::TableIndex::Measurement, {1}, "", false);
    if (!editing(*this)) {
        setControlText(dialog, IDC_SETUP_ID, std::to_string(db::next_row_id(db::TableIndex::Measurement)));
        return true;
    }
    ownName = record.name;
    setControlText(dialog, IDC_DIALOG_TITLE, "Edit Measurement Setup");
    setControlText(dialog, IDOK, "Confirm");
    setControlText(dialog, IDC_SETUP_ID, std::to_string(record.id));
    showSetup(dialog, measure::setupForm(record));
    return true;
}

bool SetupDialog::onCommand(HWND dialog, int id, int code, LPARAM) {
    switch (id) {
    case IDC_SETUP_NAME:
        if (code == EN_CHANGE) onNameChanged(dialog, *this);
        return true;
    case IDC_SETUP_LENGTH:
        if (code == EN_CHANGE) onLengthChanged(dialog, *this);
        return true;
    case IDOK: onOk(dialog, *this); return true;
    default: return false;
    }
}

}  // namespace

bool editSetupDialog(HWND owner, db::SetupRecord& record, db::StoreMode mode) {
    SetupDialog dialog(record, mode);
    return dialog.run(owner, IDD_SETUP) == IDOK;
}

}  // namespace gui
