// The Export Sweep dialog: choosing where the impedance table goes, and writing it.
#include "gui/interchange/export_sweep_dialog.h"

#include <string>

#include "gui/dialog_fields.h"
#include "gui/resources/dialog_ids.h"
#include "interchange/csv_export.h"
#include "platform/prompter.h"

namespace gui {
namespace {

struct ExportSweep {
    explicit ExportSweep(const std::vector<db::LcrPoint>& points) : points(points) {}

    const std::vector<db::LcrPoint>& points;
    std::string path;  // "" until a file is chosen
    bool choosing = false;
};

ExportSweep& stateOf(HWND dialog) { return *dialogRecord<ExportSweep>(dialog); }

void onInitDialog(HWND dialog, LPARAM record) {
    attachDialogRecord<ExportSweep>(dialog, record);
    setControlText(dialog, IDC_EXPORT_LOCATION, "File Location...");
    // The dialog opens quietly on OK; the location field asks for a file as soon as it is entered.
    focusControl(dialog, IDOK);
}

// The save dialog; the choice is shown in the location field. The focus then goes to OK, so that
// the field does not ask again at once.
void chooseFile(HWND dialog) {
    ExportSweep& s = stateOf(dialog);
    s.choosing = true;
    platform::FileChoice choice;
    choice.title = "Basic transformer details";
    choice.filters = {{"CSV Files *.csv", "*.csv"}};
    choice.mustExist = true;
    choice.overwritePrompt = true;
    std::string path;
    if (platform::prompter().saveFile(choice, path) && !path.empty()) {
        s.path = path;
        setControlText(dialog, IDC_EXPORT_LOCATION, path);
    }
    focusControl(dialog, IDOK);
    s.choosing = false;
}

void onLocationFocus(HWND dialog) {
    ExportSweep& s = stateOf(dialog);
    if (s.choosing) return;
    s.choosing = true;
    PostMessageW(dialog, WM_OPEN_PICKER, IDC_EXPORT_LOCATION, 0);
}

void onOk(HWND dialog) {
    ExportSweep& s = stateOf(dialog);
    // Without a file there is nothing to write to: ask for one rather than write "File Location...".
    if (s.path.empty()) chooseFile(dialog);
    if (s.path.empty()) return;
    if (interchange::exportImpedanceTable(s.path, s.points)) {
        EndDialog(dialog, IDOK);
    } else if (s.points.empty()) {
        EndDialog(dialog, IDCANCEL);  // the exporter has said there is nothing to export
    } else {
        platform::showMessage("The file could not be written:\n" +
                                  interchange::impedanceTablePath(s.path),
                              "Export Error", platform::Icon::Warning);
    }
}

bool onCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_EXPORT_LOCATION:
        if (code == EN_SETFOCUS) onLocationFocus(dialog);
        return true;
    case IDC_EXPORT_BROWSE: chooseFile(dialog); return true;
    case IDOK: onOk(dialog); return true;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return true;
    default: return false;
    }
}

INT_PTR CALLBACK exportSweepProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog, lParam);
        return FALSE;  // the focus is on OK
    case WM_COMMAND:
        return onCommand(dialog, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_OPEN_PICKER:
        chooseFile(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

bool exportSweepDialog(HWND owner, const std::vector<db::LcrPoint>& points) {
    ExportSweep state(points);
    return runDialog(owner, IDD_EXPORT_SWEEP, exportSweepProc, &state) == IDOK;
}

}  // namespace gui
