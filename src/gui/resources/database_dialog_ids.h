// Template and control identifiers of the database files and backup dialogs (Create New Database,
// Database Settings, Restore Database, Preparing Database, Fleet Database), shared by database_dialogs.rc and their code. They keep to
// 13000-13099, clear of the other dialogs' ranges and of resource.h.
#pragma once

// Dialog templates
#define IDD_CREATE_DATABASE                 13000
#define IDD_DATABASE_SETTINGS               13001
#define IDD_RESTORE_DATABASE                13002
#define IDD_INDEXING                        13003
#define IDD_FLEET_DATABASE                  13004
#define IDD_FLEET_PROGRESS                  13005

// Create New Database ("Create Database" is IDOK)
#define IDC_CREATE_TYPE_LIST                13010

// Database Settings: the "Backup" group ("Apply" is IDOK)
#define IDC_BACKUP_LOCATION                 13020
#define IDC_AUTO_BACKUP                     13021
#define IDC_BACKUP_PERIOD_LABEL             13022
#define IDC_BACKUP_PERIOD                   13023
#define IDC_BACKUP_NOTE_ICON                13024
#define IDC_BACKUP_NOTE                     13025
#define IDC_BACKUP_NOW                      13026
#define IDC_RESTORE_FROM_BACKUP             13027

// Restore Database ("Restore" is IDOK)
#define IDC_RESTORE_LIST                    13040

// Preparing Database: its bar, and the command its worker posts when the indexes are made
#define IDC_INDEXING_PROGRESS               13050
#define IDC_INDEXING_DONE                   13051

// Fleet Database ("Close" is IDCANCEL), and its progress box ("Stop" is IDCANCEL)
#define IDC_FLEET_SERVER                    13060
#define IDC_FLEET_TRANSFORMERS              13061
#define IDC_FLEET_FILE                      13062
#define IDC_FLEET_BROWSE                    13063
#define IDC_FLEET_PUSH                      13064
#define IDC_FLEET_PULL                      13065
#define IDC_FLEET_STATUS                    13066
#define IDC_FLEET_SUMMARY                   13067
#define IDC_FLEET_PROGRESS_TEXT             13070
#define IDC_FLEET_PROGRESS_BAR              13071
