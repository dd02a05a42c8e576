// The Database Settings dialog: the backup settings, and backing up or restoring the current
// database with the location as typed.
#include <windows.h>
#include <commctrl.h>

#include "app/startup.h"
#include "db/backup.h"
#include "gui/app/main_window.h"
#include "gui/db/data_browser.h"
#include "gui/db/database_commands.h"
#include "gui/db/restore_database_dialog.h"
#include "gui/dialog_fields.h"
#include "gui/resources/database_dialog_ids.h"

namespace gui {
namespace {

constexpr int kLocationCharacters = 258;

struct DatabaseSettings final : ModalDialog {
    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM) override;
};

std::string typedLocation(HWND dialog) { return controlText(dialog, IDC_BACKUP_LOCATION); }

bool autoBackupTicked(HWND dialog) { return IsDlgButtonChecked(dialog, IDC_AUTO_BACKUP) == BST_CHECKED; }

// The period and its note matter only while automatic backups are on.
void showAutoBackupState(HWND dialog) {
    const bool on = autoBackupTicked(dialog);
    for (int id : {IDC_BACKUP_PERIOD_LABEL, IDC_BACKUP_PERIOD, IDC_BACKUP_NOTE_ICON, IDC_BACKUP_NOTE})
        enableControl(dialog, id, on);
    showControl(dialog, IDC_BACKUP_NOTE_ICON, on);
    showControl(dialog, IDC_BACKUP_NOTE, on);
}

void onBackupNow(HWND dialog) { db::backup_database(typedLocation(dialog), true); }

void onRestore(HWND dialog) {
    db::restore_database(typedLocation(dialog), [dialog](const std::vector<std::string>& backups) {
        return chooseBackupToRestore(dialog, backups);
    });
    fillDataBrowser(mainWindowOf(dialog));
}

void onApply(HWND dialog) {
    app::BackupSettings settings;
    settings.autoBackup = autoBackupTicked(dialog);
    // A stored period outside the list shows no choice; it stays as it was unless one is made.
    const LRESULT period = SendDlgItemMessageW(dialog, IDC_BACKUP_PERIOD, CB_GETCURSEL, 0, 0);
    settings.period = period == CB_ERR ? app::backupSettings().period : static_cast<int>(period);
    settings.location = typedLocation(dialog);
    app::saveBackupSettings(settings);
    EndDialog(dialog, IDOK);
}

bool DatabaseSettings::onInit(HWND dialog) {
    const app::BackupSettings& settings = app::backupSettings();
    limitText(dialog, IDC_BACKUP_LOCATION, kLocationCharacters);
    setControlText(dialog, IDC_BACKUP_LOCATION, settings.location);
    CheckDlgButton(dialog, IDC_AUTO_BACKUP, settings.autoBackup ? BST_CHECKED : BST_UNCHECKED);
    for (const wchar_t* period : {L"Daily", L"Weekly", L"Monthly"})
        SendDlgItemMessageW(dialog, IDC_BACKUP_PERIOD, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(period));
    SendDlgItemMessageW(dialog, IDC_BACKUP_PERIOD, CB_SETCURSEL, settings.period, 0);
    SendDlgItemMessageW(dialog, IDC_BACKUP_NOTE_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_INFORMATION))), 0);
    showAutoBackupState(dialog);
    return true;
}

bool DatabaseSettings::onCommand(HWND dialog, int id, int code, LPARAM) {
    switch (id) {
    case IDC_AUTO_BACKUP:
        if (code == BN_CLICKED) showAutoBackupState(dialog);
        return true;
    case IDC_BACKUP_NOW: onBackupNow(dialog); return true;
    case IDC_RESTORE_FROM_BACKUP: onRestore(dialog); return true;
    case IDOK: onApply(dialog); return true;
    default: return false;
    }
}

}  // namespace

void databaseSettingsCommand(HWND main) {
    DatabaseSettings dialog;
    dialog.run(main, IDD_DATABASE_SETTINGS);
}

}  // namespace gui
