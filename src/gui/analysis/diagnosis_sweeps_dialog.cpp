// The "Select sweeps for diagnosis" dialog: the fingerprint sweep and the sweep to diagnose, proposed
// from the transformer's fingerprint and latest sweep, or picked from a table when a box gets the focus.
#include <windows.h>

#include "db/diagnosis_sweeps.h"
#include "db/schema.h"
#include "gui/analysis/graph_state.h"
#include "gui/db/record_dialogs.h"
#include "gui/dialog_fields.h"
#include "gui/resources/graph_ids.h"
#include "platform/prompter.h"

namespace gui {
namespace {

struct DiagnosisSweepsDialog final : ModalDialog {
    explicit DiagnosisSweepsDialog(DiagnosisRequest& request) : chosen(request), request(request) {}

    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM) override;
    void onPicker(HWND dialog, int box) override;

    DiagnosisRequest chosen;    // the dialog's working copy
    DiagnosisRequest& request;  // filled on OK only
};

std::string& idOf(DiagnosisRequest& r, int box) { return box == IDC_DIAGNOSIS_FINGERPRINT ? r.fingerprintId : r.diagnosedId; }

void show(HWND dialog, DiagnosisRequest& chosen, int box, const db::DiagnosisSweep& sweep) {
    idOf(chosen, box) = sweep.id;
    setControlText(dialog, box, sweep.text);
}

void onOk(HWND dialog, DiagnosisSweepsDialog& s) {
    if (s.chosen.fingerprintId == s.chosen.diagnosedId) {
        platform::showMessage("The fingerprint and diagnosis sweep cannot be the same sweep", "Error",
                              platform::Icon::Error);
        return;
    }
    s.request = s.chosen;
    EndDialog(dialog, IDOK);
}

// The focus goes to OK rather than to a box, which would open its picker at once.
bool DiagnosisSweepsDialog::onInit(HWND dialog) {
    if (chosen.among.empty()) {
        db::DiagnosisSweep fingerprint, diagnosed;
        db::proposeDiagnosisPair(chosen.transformer, fingerprint, diagnosed);
        show(dialog, chosen, IDC_DIAGNOSIS_FINGERPRINT, fingerprint);
        show(dialog, chosen, IDC_DIAGNOSIS_SWEEP, diagnosed);
    }
    focusControl(dialog, IDOK);
    return false;
}

bool DiagnosisSweepsDialog::onCommand(HWND dialog, int id, int code, LPARAM) {
    switch (id) {
    case IDC_DIAGNOSIS_FINGERPRINT:
    case IDC_DIAGNOSIS_SWEEP:
        if (code == EN_SETFOCUS) openPickerLater(dialog, id);
        return true;
    case IDOK: onOk(dialog, *this); return true;
    default: return false;
    }
}

// The chosen sweep's transformer narrows the other box's choice to the same winding's sweeps.
void DiagnosisSweepsDialog::onPicker(HWND dialog, int box) {
    const std::string key = selectFromTable(dialog, db::TableIndex::Sweep, {0, 4, 7, 8, 10, 11},
                                            db::diagnosisPickerClause(chosen.among, chosen.transformer));
    db::DiagnosisSweep sweep;
    if (!key.empty() && db::findDiagnosisSweep(key, sweep)) {
        show(dialog, chosen, box, sweep);
        chosen.transformer = sweep.transformer;
    }
    focusControl(dialog, IDOK);
}

}  // namespace

bool selectDiagnosisSweeps(HWND owner, DiagnosisRequest& request) {
    DiagnosisSweepsDialog dialog(request);
    return dialog.run(owner, IDD_DIAGNOSIS_SWEEPS) == IDOK;
}

}  // namespace gui
