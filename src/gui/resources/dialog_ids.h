// Template, control, command and message identifiers of the record dialogs, Perform Sweep and Export
// Sweep, shared by their .rc files and their code, grouped by dialog. They keep to 12000-12199, clear
// of the main window's panes and of resource.h.
#pragma once

// Dialog templates
#define IDD_ADD_TRANSFORMER                 12000
#define IDD_EDIT_TRANSFORMER                12001
#define IDD_SETUP                           12002
#define IDD_EQUIPMENT                       12003
#define IDD_EDIT_SWEEP                      12004
#define IDD_SELECT_FROM_TABLE               12005
#define IDD_PERFORM_SWEEP                   12006
#define IDD_EXPORT_SWEEP                    12007
#define IDD_TOUCHSTONE_IMPORT               12008
#define IDD_REPORT                          12009

// The record dialogs' title line, shown in a larger font
#define IDC_DIALOG_TITLE                    12010

// Add/Edit Transformer (a _MARK is a field's coloured indicator, a _STATUS its status text)
#define IDC_TRANSFORMER_IDENTIFIER          12020
#define IDC_TRANSFORMER_IDENTIFIER_MARK     12021
#define IDC_TRANSFORMER_IDENTIFIER_STATUS   12022
#define IDC_TRANSFORMER_MANUFACTURER        12023
#define IDC_TRANSFORMER_SERIAL              12024
#define IDC_TRANSFORMER_FINGERPRINT         12025

// Add/Edit Measurement Setup
#define IDC_SETUP_ID                        12040
#define IDC_SETUP_NAME                      12041
#define IDC_SETUP_NAME_MARK                 12042
#define IDC_SETUP_NAME_STATUS               12043
#define IDC_SETUP_REFERENCE                 12044
#define IDC_SETUP_RESPONSE                  12045
#define IDC_SETUP_CONNECTED                 12046
#define IDC_SETUP_OLTC                      12047
#define IDC_SETUP_LENGTH                    12048
#define IDC_SETUP_LENGTH_MARK               12049
#define IDC_SETUP_FLUID                     12050
#define IDC_SETUP_COMMENTS                  12051

// Add/Edit Measurement Equipment
#define IDC_EQUIPMENT_ID                    12070
#define IDC_EQUIPMENT_INSTRUMENT            12071
#define IDC_EQUIPMENT_MANUFACTURER          12072
#define IDC_EQUIPMENT_SERIAL                12073
#define IDC_EQUIPMENT_AUTOFILL              12074

// A sweep's details, in Perform Sweep's "Sweep Details" group and in Edit Sweep
#define IDC_DETAILS_ID                      12100
#define IDC_DETAILS_NAME                    12101
#define IDC_DETAILS_NAME_MARK               12102
#define IDC_DETAILS_NAME_STATUS             12103
#define IDC_DETAILS_PEAK_VOLTAGE            12104
#define IDC_DETAILS_PEAK_VOLTAGE_MARK       12105
#define IDC_DETAILS_TEMPERATURE             12106
#define IDC_DETAILS_TEMPERATURE_MARK        12107
#define IDC_DETAILS_TRANSFORMER             12108
#define IDC_DETAILS_NEW_TRANSFORMER         12109
#define IDC_DETAILS_SETUP                   12110
#define IDC_DETAILS_NEW_SETUP               12111
#define IDC_DETAILS_EQUIPMENT               12112
#define IDC_DETAILS_NEW_EQUIPMENT           12113
#define IDC_DETAILS_COMMENTS                12114

// Perform Sweep: the "Sweep Setup" group and "Save Sweep to Database"
#define IDC_PERFORM_STEPS                   12141
#define IDC_PERFORM_START                   12142
#define IDC_PERFORM_END                     12143
#define IDC_PERFORM_MIN_CYCLES              12144
#define IDC_PERFORM_SPEED                   12145
#define IDC_PERFORM_WINDOW                  12146
#define IDC_PERFORM_SAVE                    12147

// Select from Table, and the "Edit..." command of its list's context menu
#define IDC_SELECT_TABLE                    12160
#define IDC_SELECT_SEARCH                   12161
#define IDC_SELECT_LIST                     12162
#define IDM_SELECT_EDIT                     12163

// Export Sweep
#define IDC_EXPORT_LOCATION                 12180
#define IDC_EXPORT_BROWSE                   12181

// Touchstone Import
#define IDC_TOUCHSTONE_PARAMETER            12185

// Report
#define IDC_REPORT_TITLE                    12190
#define IDC_REPORT_SITE                     12191
#define IDC_REPORT_PAPER                    12192
#define IDC_REPORT_SWEEPS                   12193

// Posted by a dialog to itself when a picking field gets the focus: wParam is the field's id. The
// picker opens after the focus change has finished rather than inside it.
#define WM_OPEN_PICKER                      (WM_APP + 20)
