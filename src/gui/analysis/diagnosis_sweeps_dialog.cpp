// The "Select sweeps for diagnosis" dialog: the fingerprint sweep and the sweep to diagnose, proposed
// from the transformer's fingerprint and latest sweep, or picked from a table when a box gets the focus.
#include <windows.h>

#include "db/diagnosis_sweeps.h"
#include "db/schema.h"
#include "gui/analysis/graph_state.h"
#include "gui/db/record_dialogs.h"
#include "gui/dialog_fields.h"
#include "gui/resources/dialog_ids.h"
#include "gui/resources/graph_ids.h"
#include "platform/prompter.h"

namespace gui {
namespace {

struct DiagnosisSweepsDialog {
    explicit DiagnosisSweepsDialog(DiagnosisRequest& request) : chosen(request), request(request) {}

    DiagnosisRequest chosen;    // the dialog's working copy
    DiagnosisRequest& request;  // filled on OK only
    bool picking = false;       // a picker is open, or asked for: a box taking the focus back must not reopen it
};

DiagnosisSweepsDialog& stateOf(HWND dialog) { return *dialogRecord<DiagnosisSweepsDialog>(dialog); }

std::string& idOf(DiagnosisRequest& r, int box) { return box == IDC_DIAGNOSIS_FINGERPRINT ? r.fingerprintId : r.diagnosedId; }

void show(HWND dialog, int box, const db::DiagnosisSweep& sweep) {
    std::string& id = idOf(stateOf(dialog).chosen, box);
    id = sweep.id;
    setControlText(dialog, box, sweep.text);
}

// Returns FALSE: the focus goes to OK rather than to a box, which would open its picker at once.
void onInitDialog(HWND dialog, LPARAM record) {
    DiagnosisSweepsDialog& s = attachDialogRecord<DiagnosisSweepsDialog>(dialog, record);
    if (s.chosen.among.empty()) {
        db::DiagnosisSweep fingerprint, diagnosed;
        db::proposeDiagnosisPair(s.chosen.transformer, fingerprint, diagnosed);
        show(dialog, IDC_DIAGNOSIS_FINGERPRINT, fingerprint);
        show(dialog, IDC_DIAGNOSIS_SWEEP, diagnosed);
    }
    focusControl(dialog, IDOK);
}

void onBoxFocus(HWND dialog, int box) {
    DiagnosisSweepsDialog& s = stateOf(dialog);
    if (s.picking) return;
    s.picking = true;
    PostMessageW(dialog, WM_OPEN_PICKER, static_cast<WPARAM>(box), 0);
}

// The chosen sweep's transformer narrows the other box's choice to the same winding's sweeps.
void pick(HWND dialog, int box) {
    DiagnosisSweepsDialog& s = stateOf(dialog);
    const std::string key = selectFromTable(dialog, db::TableIndex::Sweep, {0, 4, 7, 8, 10, 11},
                                            db::diagnosisPickerClause(s.chosen.among, s.chosen.transformer));
    db::DiagnosisSweep sweep;
    if (!key.empty() && db::findDiagnosisSweep(key, sweep)) {
        show(dialog, box, sweep);
        s.chosen.transformer = sweep.transformer;
    }
    focusControl(dialog, IDOK);
    s.picking = false;
}

void onOk(HWND dialog) {
    DiagnosisSweepsDialog& s = stateOf(dialog);
    if (s.chosen.fingerprintId == s.chosen.diagnosedId) {
        platform::showMessage("The fingerprint and diagnosis sweep cannot be the same sweep", "Error",
                              platform::Icon::Error);
        return;
    }
    s.request = s.chosen;
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK diagnosisSweepsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog, lParam);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_DIAGNOSIS_FINGERPRINT:
        case IDC_DIAGNOSIS_SWEEP:
            if (HIWORD(wParam) == EN_SETFOCUS) onBoxFocus(dialog, LOWORD(wParam));
            return TRUE;
        case IDOK: onOk(dialog); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        default: return FALSE;
        }
    case WM_OPEN_PICKER:
        pick(dialog, static_cast<int>(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

bool selectDiagnosisSweeps(HWND owner, DiagnosisRequest& request) {
    DiagnosisSweepsDialog state(request);
    return runDialog(owner, IDD_DIAGNOSIS_SWEEPS, diagnosisSweepsProc, &state) == IDOK;
}

}  // namespace gui
