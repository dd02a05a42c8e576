// The "Custom Analysis" dialog: the user's own bands and their limits, saved in the database
// settings file; "DL/T 911 Only" removes them, and the fixed analysis is shown alone.
#include <windows.h>

#include "analysis/assessment.h"
#include "gui/analysis/graph_state.h"
#include "gui/dialog_fields.h"
#include "gui/resources/graph_ids.h"
#include "platform/prompter.h"

namespace gui {
namespace {

struct CustomAnalysisDialog final : ModalDialog {
    explicit CustomAnalysisDialog(const std::string& iniPath) : iniPath(iniPath) {}

    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM) override;

    const std::string& iniPath;
};

const char* const kIndices[] = {"Rxy", "LRxy"};

bool CustomAnalysisDialog::onInit(HWND dialog) {
    analysis::CustomAnalysisSettings settings;
    analysis::CustomAnalysisText text;
    if (analysis::readCustomAnalysis(iniPath, settings)) text = analysis::customAnalysisText(settings);
    setUpEdits(dialog, {{IDC_CUSTOM_EDGES, "e.g. 20, 1000, 10000, 100000, 1000000", 200},
                        {IDC_CUSTOM_PASS, "one per band; empty: 1.0 each", 200},
                        {IDC_CUSTOM_WARNING, "one per band; empty: 0.6 each", 200}});
    setControlText(dialog, IDC_CUSTOM_EDGES, text.edges);
    setControlText(dialog, IDC_CUSTOM_PASS, text.pass);
    setControlText(dialog, IDC_CUSTOM_WARNING, text.warning);
    HWND index = GetDlgItem(dialog, IDC_CUSTOM_INDEX);
    for (const char* name : kIndices) SendMessageA(index, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(index, CB_SETCURSEL, text.index == "LRxy" ? 1 : 0, 0);
    return true;
}

int fieldControl(analysis::CustomAnalysisField field) {
    switch (field) {
    case analysis::CustomAnalysisField::Index: return IDC_CUSTOM_INDEX;
    case analysis::CustomAnalysisField::Pass: return IDC_CUSTOM_PASS;
    case analysis::CustomAnalysisField::Warning: return IDC_CUSTOM_WARNING;
    default: return IDC_CUSTOM_EDGES;
    }
}

void cannotSave(const std::string& iniPath) {
    platform::showMessage("The custom analysis could not be saved in " + iniPath, "Error", platform::Icon::Error);
}

void clear(HWND dialog, const std::string& iniPath) {
    if (!analysis::clearCustomAnalysis(iniPath)) return cannotSave(iniPath);
    EndDialog(dialog, IDOK);
}

// No edges at all mean no custom analysis, as "DL/T 911 Only" does.
void onOk(HWND dialog, const std::string& iniPath) {
    if (controlText(dialog, IDC_CUSTOM_EDGES).find_first_not_of(' ') == std::string::npos) return clear(dialog, iniPath);
    const int index = static_cast<int>(SendDlgItemMessageA(dialog, IDC_CUSTOM_INDEX, CB_GETCURSEL, 0, 0));
    const analysis::CustomAnalysisText text{controlText(dialog, IDC_CUSTOM_EDGES), kIndices[index == 1 ? 1 : 0],
                                            controlText(dialog, IDC_CUSTOM_PASS),
                                            controlText(dialog, IDC_CUSTOM_WARNING)};
    analysis::CustomAnalysisSettings settings;
    const analysis::CustomAnalysisRefusal refusal = analysis::customAnalysisFromText(text, settings);
    if (refusal.field != analysis::CustomAnalysisField::None) {
        refuseField(dialog, refusal.message, fieldControl(refusal.field));
        return;
    }
    if (!analysis::writeCustomAnalysis(iniPath, settings)) return cannotSave(iniPath);
    EndDialog(dialog, IDOK);
}

bool CustomAnalysisDialog::onCommand(HWND dialog, int id, int, LPARAM) {
    switch (id) {
    case IDOK: onOk(dialog, iniPath); return true;
    case IDC_CUSTOM_NONE: clear(dialog, iniPath); return true;
    default: return false;
    }
}

}  // namespace

bool editCustomAnalysis(HWND owner, const std::string& iniPath) {
    CustomAnalysisDialog dialog(iniPath);
    return dialog.run(owner, IDD_CUSTOM_ANALYSIS) == IDOK;
}

}  // namespace gui
