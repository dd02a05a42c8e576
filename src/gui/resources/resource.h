// Resource and command identifiers shared by the .rc file and the code, grouped by window.
#pragma once

// Program resources
#define IDI_CORVANE             100
#define IDB_LOGO                190
#define IDR_MAINMENU            109   // menu and accelerator table

// Data browser tool icons, in the order of the tool buttons 10700-10711
#define IDI_TOOL_FIRST          200

// Main menu commands
#define IDM_ABOUT               104
#define IDM_EXIT                105
#define IDM_CONNECTION          110
#define IDM_CAPTURE             187
#define IDM_DEBUG               238
#define IDM_SAVE_BITMAP         32771
#define IDM_COPY_CLIPBOARD      32772
#define IDM_SFRA                32773
#define IDM_SUPPORT             32775
#define IDM_IMPEDANCE           32803

// Command messages between windows
#define CMD_REFRESH_CONTROLS    122

// About dialog
#define IDD_ABOUT               103
#define IDC_ABOUT_PRODUCT       1000
#define IDC_ABOUT_VERSION       1001

// Connect dialog
#define IDD_CONNECT             121
#define IDC_CONNECT             112
#define IDC_INTERFACE           113
#define IDC_COMPORT             114
#define IDC_BAUDRATE            115
#define IDC_TEST                116
#define IDC_IPADDRESS           117
#define IDC_COMPORT_LABEL       118
#define IDC_BAUDRATE_LABEL      119
#define IDC_SAVE_DEFAULT        120
