// The Export Sweep dialog: choosing where the impedance table goes, and writing it.
#include "gui/interchange/export_sweep_dialog.h"

#include <string>

#include "gui/dialog_fields.h"
#include "gui/resources/dialog_ids.h"
#include "interchange/csv_export.h"
#include "platform/prompter.h"

namespace gui {
namespace {

struct ExportSweep final : ModalDialog {
    explicit ExportSweep(const std::vector<db::LcrPoint>& points) : points(points) {}

    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM) override;
    void onPicker(HWND dialog, int) override;

    const std::vector<db::LcrPoint>& points;
    std::string path;  // "" until a file is chosen
};

// The save dialog; the choice is shown in the location field. The focus then goes to OK, so that
// the field does not ask again at once.
void chooseFile(HWND dialog, ExportSweep& s) {
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
}

void onOk(HWND dialog, ExportSweep& s) {
    // Without a file there is nothing to write to: ask for one rather than write "File Location...".
    if (s.path.empty()) chooseFile(dialog, s);
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

bool ExportSweep::onInit(HWND dialog) {
    setControlText(dialog, IDC_EXPORT_LOCATION, "File Location...");
    // The dialog opens quietly on OK; the location field asks for a file as soon as it is entered.
    focusControl(dialog, IDOK);
    return false;
}

void ExportSweep::onPicker(HWND dialog, int) { chooseFile(dialog, *this); }

bool ExportSweep::onCommand(HWND dialog, int id, int code, LPARAM) {
    switch (id) {
    case IDC_EXPORT_LOCATION:
        if (code == EN_SETFOCUS) openPickerLater(dialog, id);
        return true;
    case IDC_EXPORT_BROWSE: chooseFile(dialog, *this); return true;
    case IDOK: onOk(dialog, *this); return true;
    default: return false;
    }
}

}  // namespace

bool exportSweepDialog(HWND owner, const std::vector<db::LcrPoint>& points) {
    ExportSweep dialog(points);
    return dialog.run(owner, IDD_EXPORT_SWEEP) == IDOK;
}

}  // namespace gui
