// The "Touchstone Import" question: the transmissions of files of up to four ports, S21 first.
#include "gui/interchange/touchstone_dialog.h"

#include "gui/dialog_fields.h"
#include "gui/resources/dialog_ids.h"

namespace gui {
namespace {

const char* const kTransmissions[] = {"S21", "S12", "S31", "S13", "S32", "S23",
                                      "S41", "S14", "S42", "S24", "S43", "S34"};

struct TouchstoneDialog final : ModalDialog {
    explicit TouchstoneDialog(interchange::TouchstoneParameter& parameter) : parameter(parameter) {}

    bool onInit(HWND dialog) override {
        HWND combo = GetDlgItem(dialog, IDC_TOUCHSTONE_PARAMETER);
        const std::string proposed = interchange::touchstoneParameterName(parameter);
        for (const char* name : kTransmissions) {
            const LRESULT at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
            if (proposed == name) SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
        }
        return true;
    }

    bool onCommand(HWND dialog, int id, int, LPARAM) override {
        if (id != IDOK) return false;
        interchange::parseTouchstoneParameter(controlText(dialog, IDC_TOUCHSTONE_PARAMETER), parameter);
        EndDialog(dialog, IDOK);
        return true;
    }

    interchange::TouchstoneParameter& parameter;
};

}  // namespace

bool chooseTouchstoneParameter(HWND owner, interchange::TouchstoneParameter& parameter) {
    TouchstoneDialog dialog(parameter);
    return dialog.run(owner, IDD_TOUCHSTONE_IMPORT) == IDOK;
}

}  // namespace gui
