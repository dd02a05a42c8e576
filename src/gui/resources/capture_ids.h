// Identifiers of the screen capture: the pane's command and its model-16 screen selector (beside the
// pane's own 11030-11035 of resource.h), and the "Download" progress dialog with its controls. The
// download worker's reports to the dialog are the instrument::kNotifyScreen... numbers (10001-10007).
#pragma once

// To the capture pane: recompute the picture area and the screen selector, and repaint.
#define CMD_CAPTURE_REFRESH             124

// The screen selector of a model-16 instrument, made by the pane itself
#define IDC_CAPTURE_SCREEN_LABEL        11040
#define IDC_CAPTURE_SCREEN_SELECT       11041

// "Download" progress dialog
#define IDD_DOWNLOAD                    227
#define IDC_DOWNLOAD_PROGRESS           10005
#define IDC_DOWNLOAD_STATUS             10008
#define IDC_DOWNLOAD_TIME               10009
