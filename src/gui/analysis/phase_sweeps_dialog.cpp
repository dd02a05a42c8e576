// The "Select phase sweeps" dialog: the three phases of a construction-based comparison, proposed
// from the diagnosed sweep's test, each changed by picking from a table when its box gets the focus.
#include <windows.h>

#include <cstdlib>
#include <set>

#include "db/diagnosis_sweeps.h"
#include "db/schema.h"
#include "gui/analysis/graph_state.h"
#include "gui/db/record_dialogs.h"
#include "gui/dialog_fields.h"
#include "gui/resources/graph_ids.h"
#include "platform/prompter.h"

namespace gui {
namespace {

constexpr int kBoxes[] = {IDC_PHASE_A, IDC_PHASE_B, IDC_PHASE_C};

struct PhaseSweepsDialog final : ModalDialog {
    PhaseSweepsDialog(const std::string& transformer, std::vector<std::int64_t>& phases)
        : transformer(transformer), phases(phases) {}

    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM) override;
    void onPicker(HWND dialog, int box) override;

    std::string transformer;
    std::int64_t chosen[3] = {0, 0, 0};  // 0 while a box is empty
    std::vector<std::int64_t>& phases;   // filled on OK only
};

int slotOf(int box) { return box - IDC_PHASE_A; }

void show(HWND dialog, PhaseSweepsDialog& s, int box, const std::string& id) {
    db::DiagnosisSweep sweep;
    if (!db::findDiagnosisSweep(id, sweep)) return;
    s.chosen[slotOf(box)] = std::atoll(sweep.id.c_str());
    setControlText(dialog, box, sweep.text);
}

bool PhaseSweepsDialog::onInit(HWND dialog) {
    for (std::size_t i = 0; i < phases.size() && i < 3; ++i) show(dialog, *this, kBoxes[i], std::to_string(phases[i]));
    focusControl(dialog, IDOK);  // a box's focus would open its picker at once
    return false;
}

bool PhaseSweepsDialog::onCommand(HWND dialog, int id, int code, LPARAM) {
    if (id == IDC_PHASE_A || id == IDC_PHASE_B || id == IDC_PHASE_C) {
        if (code == EN_SETFOCUS) openPickerLater(dialog, id);
        return true;
    }
    if (id != IDOK) return false;
    const std::set<std::int64_t> distinct(std::begin(chosen), std::end(chosen));
    if (distinct.count(0) || distinct.size() != 3) {
        platform::showMessage("Choose three different sweeps, one for each phase", "Error", platform::Icon::Error);
        return true;
    }
    phases.assign(std::begin(chosen), std::end(chosen));
    EndDialog(dialog, IDOK);
    return true;
}

void PhaseSweepsDialog::onPicker(HWND dialog, int box) {
    const std::string key = selectFromTable(dialog, db::TableIndex::Sweep, {0, 4, 7, 8, 10, 11},
                                            db::diagnosisPickerClause({}, transformer));
    if (!key.empty()) show(dialog, *this, box, key);
    focusControl(dialog, IDOK);
}

}  // namespace

bool selectPhaseSweeps(HWND owner, const std::string& transformer, std::vector<std::int64_t>& phases) {
    PhaseSweepsDialog dialog(transformer, phases);
    return dialog.run(owner, IDD_PHASE_SWEEPS) == IDOK;
}

}  // namespace gui
