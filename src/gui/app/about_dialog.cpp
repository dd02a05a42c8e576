// The About dialog: the product, its version text and the SQLite it carries.
#include "gui/app/about_dialog.h"

#include <string>

#include "common/identity.h"
#include "db/schema.h"
#include "gui/dialog_fields.h"
#include "gui/resources/resource.h"

namespace gui {
namespace {

struct About final : ModalDialog {
    bool onInit(HWND dialog) override {
        setControlText(dialog, IDC_ABOUT_PRODUCT, common::kProductName);
        setControlText(dialog, IDC_ABOUT_VERSION, common::kVersionText);
        setControlText(dialog, IDC_ABOUT_SQLITE, std::string("SQLite ") + db::sqliteVersion());
        return true;
    }
    bool onCommand(HWND dialog, int id, int, LPARAM) override {
        if (id != IDOK) return false;
        EndDialog(dialog, IDOK);
        return true;
    }
};

}  // namespace

void showAboutDialog(HWND owner) {
    About dialog;
    dialog.run(owner, IDD_ABOUT);
}

}  // namespace gui
