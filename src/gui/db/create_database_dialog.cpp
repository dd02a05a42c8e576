// The Create New Database dialog: the list of transformer types and "Create Database".
#include "gui/db/create_database_dialog.h"

#include <commctrl.h>

#include "db/database_files.h"
#include "db/default_setups.h"
#include "gui/db/record_dialogs.h"
#include "gui/dialog_fields.h"
#include "gui/resources/database_dialog_ids.h"

namespace gui {
namespace {

struct CreateDatabase final : ModalDialog {
    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM) override;
    bool onNotify(HWND dialog, const NMHDR& note) override;
};

int selectedCount(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageW(dialog, IDC_CREATE_TYPE_LIST, LVM_GETSELECTEDCOUNT, 0, 0));
}

// The rows are the types in index order, so a row is its type.
int selectedType(HWND dialog) { return selectedListRow(dialog, IDC_CREATE_TYPE_LIST); }

// Creating the database asks for the transformer and the file in dialogs of its own; cancelling
// either comes back here for another choice.
void onCreate(HWND dialog) {
    if (selectedCount(dialog) != 1) return;
    const bool created = db::create_database(selectedType(dialog), [dialog](db::TransformerRecord& transformer) {
        return editTransformerDialog(dialog, transformer, TransformerDialogMode::NewDatabase);
    });
    if (created) EndDialog(dialog, IDOK);
}

bool CreateDatabase::onInit(HWND dialog) {
    std::vector<std::string> types;
    for (int type = 0; type < db::kTransformerTypeCount; ++type) types.push_back(db::transformerTypeName(type));
    fillOneColumnList(dialog, IDC_CREATE_TYPE_LIST, "Transformer Type", types);
    focusControl(dialog, IDC_CREATE_TYPE_LIST);
    return false;  // the list has the focus
}

bool CreateDatabase::onNotify(HWND dialog, const NMHDR& note) {
    if (note.idFrom != IDC_CREATE_TYPE_LIST || note.code != LVN_ITEMCHANGED) return false;
    enableControl(dialog, IDOK, selectedCount(dialog) == 1);
    return true;
}

bool CreateDatabase::onCommand(HWND dialog, int id, int, LPARAM) {
    if (id != IDOK) return false;
    onCreate(dialog);
    return true;
}

}  // namespace

bool createDatabaseDialog(HWND owner) {
    CreateDatabase dialog;
    return dialog.run(owner, IDD_CREATE_DATABASE) == IDOK;
}

}  // namespace gui
