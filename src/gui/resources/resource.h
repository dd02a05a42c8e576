// Resource, control and command identifiers shared by the .rc file and the code, grouped by window.
// Each pane's controls keep to a range of their own: the layout engine finds a control's table by
// the table's first and last control.
#pragma once

// The labels, frames and pictures of dialogs that no code addresses
#define IDC_STATIC                  (-1)

// Program resources
#define IDI_CORVANE                 100
#define IDB_LOGO                    190
#define IDR_MAINMENU                109   // menu and accelerator table

// Data browser tool icons, one per tool button
#define IDI_TOOL_NEW_DATABASE       200
#define IDI_TOOL_OPEN_DATABASE      201
#define IDI_TOOL_IMPORT             202
#define IDI_TOOL_EXPORT_XML         203
#define IDI_TOOL_EXPORT_CSV         204
#define IDI_TOOL_EXPORT_EXCEL       205
#define IDI_TOOL_DIAGNOSE           206
#define IDI_TOOL_GRAPH              207
#define IDI_TOOL_ADD                208
#define IDI_TOOL_EDIT               209
#define IDI_TOOL_DELETE             210
#define IDI_TOOL_SETTINGS           211
#define IDI_TOOL_FLEET              212

// Main menu commands
#define IDM_ABOUT                   104
#define IDM_EXIT                    105
#define IDM_CONNECTION              110
#define IDM_CAPTURE                 187
#define IDM_DEBUG                   238
#define IDM_SAVE_BITMAP             32771
#define IDM_COPY_CLIPBOARD          32772
#define IDM_SFRA                    32773
#define IDM_SUPPORT                 32775
#define IDM_IMPEDANCE               32803

// Command messages between windows (the workers' reports to the panes and the "Sweep Data" dialog
// are the measure::kNotify... numbers)
#define CMD_REFRESH_CONTROLS        122
#define CMD_FRA_REPAINT             123   // to the FRA results window; lParam 1: everything
#define CMD_FRA_NEW_SWEEP           132   // to the FRA results window: a sweep is in its display
#define CMD_LCR_NEW_SWEEP           183   // to the LCR results window: a sweep is in its display
#define CMD_SWEEP_NOT_STORED        222   // to the "Sweep Data" dialog: storing the sweep failed

// To the main window, posted as it is created: open the database of the last session once the
// window shows, so that anything the opening shows ("Preparing Database", a backup's wait cursor, an
// error) comes up over it rather than over an empty desktop
#define WM_MAIN_OPEN_DATABASE       (WM_APP + 60)

// Main window strip (10000-10007)
#define IDC_DATA_MODE_LABEL         10000
#define IDC_MEASURE                 10001
#define IDC_DATABASE                10002
#define IDC_SETTINGS_TOGGLE         10003
#define IDC_SETTINGS_LABEL          10004
#define IDC_LOGO                    10005
#define IDC_READ_SFRA               10006
#define IDC_SETUP_SFRA              10007

// Instrument settings strip (10101-10113): the page title and the page buttons
#define IDC_SETTINGS_TITLE          10101
#define IDC_PAGE_ACQU               10102
#define IDC_PAGE_SWEEP              10103
#define IDC_PAGE_TRIM               10104
#define IDC_PAGE_COMMS              10105
#define IDC_PAGE_DUT                10106
#define IDC_PAGE_AUX                10107
#define IDC_PAGE_OUT                10108
#define IDC_PAGE_CH1                10109
#define IDC_PAGE_CH2                10110
#define IDC_PAGE_SYS                10111
#define IDC_PAGE_MODE               10112
#define IDC_PAGE_PROG               10113

// FRA pane (10200-10210)
#define IDC_FRA_TABLE               10200
#define IDC_FRA_VIEW_GROUP          10201
#define IDC_FRA_VIEW_REALTIME       10202
#define IDC_FRA_VIEW_GRAPH          10203
#define IDC_FRA_VIEW_TABLE          10204
#define IDC_FRA_CONTROL_GROUP       10205
#define IDC_FRA_START               10206
#define IDC_FRA_DATA_GROUP          10207
#define IDC_FRA_ADD_TO_DATABASE     10208

// FRA results window (10300-10307): the graph's controls below the picture
#define IDC_FRA_PLACEHOLDER         10300
#define IDC_FRA_CURSOR1             10301
#define IDC_FRA_CURSOR2             10302
#define IDC_FRA_FIND_MARGINS        10303
#define IDC_FRA_CENTRE_0DB          10304
#define IDC_FRA_SCALING             10306
#define IDC_FRA_BACKGROUND          10307

// LCR pane (10400-10410)
#define IDC_LCR_TABLE               10400
#define IDC_LCR_VIEW_GROUP          10401
#define IDC_LCR_VIEW_REALTIME       10402
#define IDC_LCR_VIEW_GRAPH          10403
#define IDC_LCR_VIEW_TABLE          10404
#define IDC_LCR_CONTROL_GROUP       10405
#define IDC_LCR_SWEEP               10406
#define IDC_LCR_DATA_GROUP          10407
#define IDC_LCR_IMPORT              10408
#define IDC_LCR_CLEAR               10409
#define IDC_LCR_ADD_TO_DATABASE     10410

// LCR results window (10500-10506)
#define IDC_LCR_PLACEHOLDER         10500
#define IDC_LCR_CURSOR1             10501
#define IDC_LCR_CURSOR2             10502
#define IDC_LCR_LEFT_AXIS           10503
#define IDC_LCR_RIGHT_AXIS          10504
#define IDC_LCR_SCALING             10505
#define IDC_LCR_BACKGROUND          10506

// Data browser tool strip (10700-10712)
#define IDC_TOOL_NEW_DATABASE       10700
#define IDC_TOOL_OPEN_DATABASE      10701
#define IDC_TOOL_IMPORT             10702
#define IDC_TOOL_EXPORT_XML         10703
#define IDC_TOOL_EXPORT_CSV         10704
#define IDC_TOOL_EXPORT_EXCEL       10705
#define IDC_TOOL_DIAGNOSE           10706
#define IDC_TOOL_GRAPH              10707
#define IDC_TOOL_ADD                10708
#define IDC_TOOL_EDIT               10709
#define IDC_TOOL_DELETE             10710
#define IDC_TOOL_SETTINGS           10711
#define IDC_TOOL_FLEET              10712

// Data browser view (10800-10805)
#define IDC_DATA_CAPTION            10800
#define IDC_DATA_VIEW_LABEL         10801
#define IDC_DATA_VIEW_SELECTOR      10802
#define IDC_DATA_SEARCH_LABEL       10803
#define IDC_DATA_SEARCH             10804
#define IDC_DATA_LIST               10805

// Screen capture pane (11030-11035)
#define IDC_CAPTURE_TITLE           11030
#define IDC_CAPTURE_TO_CLIPBOARD    11031
#define IDC_CAPTURE_TO_BITMAP       11032
#define IDC_CAPTURE_TO_WORD         11033
#define IDC_CAPTURE_MONO_DOWNLOAD   11034
#define IDC_CAPTURE_COLOUR_DOWNLOAD 11035

// About dialog
#define IDD_ABOUT                   103
#define IDC_ABOUT_PRODUCT           1000
#define IDC_ABOUT_VERSION           1001
#define IDC_ABOUT_SQLITE            1002

// Connect dialog
#define IDD_CONNECT                 121
#define IDC_CONNECT                 112
#define IDC_INTERFACE               113
#define IDC_COMPORT                 114
#define IDC_BAUDRATE                115
#define IDC_TEST                    116
#define IDC_IPADDRESS               117
#define IDC_COMPORT_LABEL           118
#define IDC_BAUDRATE_LABEL          119
#define IDC_SAVE_DEFAULT            120

// "Sweep Data" progress dialog
#define IDD_SWEEP_DATA              140
#define IDC_SWEEP_STATUS            1100
#define IDC_SWEEP_PROGRESS          1101
#define IDC_SWEEP_VIEW              1102
#define IDC_SWEEP_GO_TO_DATABASE    1103
