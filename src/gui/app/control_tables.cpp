// The descriptor tables of the main window and its panes: every control's class, text, style, design
// rectangle, font and anchoring rules. Panes and the main strip's controls are created hidden and
// shown by the mode logic; a pane's own controls are created visible inside their hidden pane,
// except those that only one view of the pane shows.
#include <windows.h>
#include <commctrl.h>

#include "gui/app/layout.h"
#include "gui/app/window_classes.h"

namespace gui {
namespace {

constexpr DWORD kChild = WS_CHILD;
constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kButton = WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kPaneButton = kShown | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kPane = WS_CHILD | WS_CLIPCHILDREN;
constexpr DWORD kGroup = kShown | BS_GROUPBOX;
constexpr DWORD kDropDown = kShown | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kList = WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
constexpr DWORD kToolButton = kShown | WS_TABSTOP | BS_PUSHBUTTON | BS_ICON;

using P = app::PositionRule;
using S = app::SizeRule;

ControlDescriptor d(DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y, int w,
                    int h, int id, int font, P positionRule, S sizeRule) {
    ControlDescriptor c;
    c.exStyle = exStyle;
    c.className = className;
    c.text = text;
    c.style = style;
    c.designRect = {x, y, w, h};
    c.baseRect = c.designRect;
    c.rect = c.designRect;
    c.id = id;
    c.font = font;
    c.positionRule = positionRule;
    c.sizeRule = sizeRule;
    return c;
}

// A spare rectangle: never created, it only keeps a pane's alternative place.
ControlDescriptor spare(int x, int y, int w, int h) {
    return d(0, nullptr, "", 0, x, y, w, h, 0, 0, P::AsDesigned, S::Fixed);
}

}  // namespace

std::vector<DescriptorTable> makeDescriptorTables() {
    std::vector<DescriptorTable> t;
    t.push_back({"main", nullptr, 10000, 10007, {
        d(WS_EX_CLIENTEDGE, kConfigClass, "", kPane, 6, 36, 1002, 170, 0, 0, P::AsDesigned, S::Wider),
        d(WS_EX_CLIENTEDGE, kFraClass, "", kPane, 6, 210, 1002, 354, 0, 0, P::AsDesigned, S::WiderAndTaller),
        spare(6, 36, 1002, 528),
        d(WS_EX_STATICEDGE, kDataToolsClass, "", kPane, 6, 36, 1004, 44, 0, 0, P::AsDesigned, S::Wider),
        d(WS_EX_STATICEDGE, kDataViewClass, "", kPane, 6, 82, 1004, 489, 0, 0, P::AsDesigned, S::WiderAndTaller),
        d(WS_EX_STATICEDGE, kLcrClass, "", kPane, 6, 210, 1002, 354, 0, 0, P::AsDesigned, S::WiderAndTaller),
        spare(6, 36, 1002, 528),
        d(WS_EX_STATICEDGE, kCaptureClass, "", kPane, 6, 210, 1002, 354, 0, 0, P::AsDesigned, S::WiderAndTaller),
        spare(6, 36, 1002, 528),
        d(0, WC_STATICA, "Data Mode:  ", kChild | SS_LEFT, 10, 12, 80, 20, 10000, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "MEASURE", kButton, 80, 6, 88, 25, 10001, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "DATABASE", kButton | WS_DISABLED, 170, 6, 88, 25, 10002, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "HIDE SETTINGS", kButton, 180, 6, 127, 25, 10003, 0, P::RightMargin, S::Fixed),
        d(0, WC_STATICA, "SETTINGS:", kChild | SS_LEFT, 408, 12, 60, 20, 10004, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "READ SFRA", kButton, 470, 6, 88, 25, 10006, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "SET UP SFRA", kButton, 564, 6, 88, 25, 10007, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "", kButton | BS_BITMAP | BS_FLAT, 15, 8, 141, 20, 10005, 0, P::RightMargin, S::Fixed),
    }});
    t.push_back({"settings", kConfigClass, 10101, 10113, {
        d(0, WC_STATICA, "", kShown | SS_CENTER, 258, 6, 240, 20, 10101, 1, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "ACQU", kPaneButton, 6, 10, 80, 27, 10102, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "SWEEP", kPaneButton, 88, 10, 80, 27, 10103, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "TRIM", kPaneButton, 170, 10, 80, 27, 10104, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "COMMS", kPaneButton | WS_DISABLED, 6, 47, 80, 27, 10105, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "DUT", kPaneButton | WS_DISABLED, 88, 47, 80, 27, 10106, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "AUX", kPaneButton | WS_DISABLED, 170, 47, 80, 27, 10107, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "OUT", kPaneButton, 6, 86, 80, 27, 10108, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "CH1", kPaneButton, 88, 86, 80, 27, 10109, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "CH2", kPaneButton, 170, 86, 80, 27, 10110, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "SYS", kPaneButton, 6, 125, 80, 27, 10111, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "MODE", kPaneButton, 88, 125, 80, 27, 10112, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "PROG", kPaneButton | WS_DISABLED, 170, 125, 80, 27, 10113, 0, P::AsDesigned, S::Fixed),
    }});
    t.push_back({"fra", kFraClass, 10200, 10210, {
        d(0, kFraResultsClass, "", kShown | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 6, 68, 986, 278, 0, 0, P::AsDesigned, S::WiderAndTaller),
        d(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", kList, 6, 68, 986, 278, 10200, 0, P::AsDesigned, S::WiderAndTaller),
        d(0, WC_BUTTONA, "SFRA View", kGroup, 6, 6, 279, 54, 10201, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "REALTIME", kPaneButton, 12, 24, 85, 27, 10202, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "GRAPH", kPaneButton, 103, 24, 85, 27, 10203, 1, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "TABLE", kPaneButton, 194, 24, 85, 27, 10204, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "SFRA Control", kGroup, 289, 6, 160, 54, 10205, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "START", kPaneButton, 321, 24, 85, 27, 10206, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "SFRA Data", kGroup, 453, 6, 180, 54, 10207, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Add To Database", kPaneButton | WS_DISABLED, 484, 24, 100, 27, 10208, 0, P::AsDesigned, S::Fixed),
    }});
    t.push_back({"fraResults", kFraResultsClass, 10300, 10307, {
        d(0, WC_STATICA, "", kShown, 6, 0, 1, 1, 10300, 4, P::AsDesigned, S::Fixed),
        d(0, WC_SCROLLBARA, "", kShown | SBS_HORZ, 6, 20, 450, 18, 10301, 0, P::BottomMargin, S::Fixed),
        d(0, WC_SCROLLBARA, "", kShown | SBS_HORZ, 6, 20, 450, 18, 10302, 0, P::RightAndBottomMargins, S::Fixed),
        d(0, WC_BUTTONA, "Find Gain/Phase Margin", kPaneButton, 570, 42, 140, 27, 10303, 0, P::BottomMargin, S::Fixed),
        d(0, WC_BUTTONA, "Centre 0dB on y-axis", kShown | WS_TABSTOP | BS_AUTOCHECKBOX, 580, 70, 140, 27, 10304, 0,
          P::BottomMargin, S::Fixed),
        d(0, WC_COMBOBOXA, "", kDropDown, 270, 65, 140, 27, 10306, 0, P::BottomMargin, S::Fixed),
        d(0, WC_COMBOBOXA, "", kDropDown, 270, 37, 140, 27, 10307, 0, P::BottomMargin, S::Fixed),
    }});
    t.push_back({"lcr", kLcrClass, 10400, 10410, {
        d(0, kLcrResultsClass, "", kShown | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 6, 68, 986, 278, 0, 0, P::AsDesigned, S::WiderAndTaller),
        d(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", kList, 6, 68, 986, 278, 10400, 0, P::AsDesigned, S::WiderAndTaller),
        d(0, WC_BUTTONA, "LCR View", kGroup, 6, 6, 279, 54, 10401, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "REALTIME", kPaneButton, 12, 24, 85, 27, 10402, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "GRAPH", kPaneButton, 103, 24, 85, 27, 10403, 1, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "TABLE", kPaneButton, 194, 24, 85, 27, 10404, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "LCR Control", kGroup, 289, 6, 160, 54, 10405, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "SWEEP", kPaneButton, 321, 24, 85, 27, 10406, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "LCR Data", kGroup, 453, 6, 369, 54, 10407, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "IMPORT", kPaneButton, 485, 24, 85, 27, 10408, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "CLEAR", kPaneButton, 576, 24, 85, 27, 10409, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "ADD TO DATABASE", kPaneButton, 667, 24, 120, 27, 10410, 0, P::AsDesigned, S::Fixed),
    }});
    t.push_back({"lcrResults", kLcrResultsClass, 10500, 10506, {
        d(0, WC_STATICA, "", kShown, 6, 0, 1, 1, 10500, 4, P::AsDesigned, S::Fixed),
        d(0, WC_SCROLLBARA, "", kShown | SBS_HORZ, 6, 20, 450, 18, 10501, 0, P::BottomMargin, S::Fixed),
        d(0, WC_SCROLLBARA, "", kShown | SBS_HORZ, 6, 20, 450, 18, 10502, 0, P::RightAndBottomMargins, S::Fixed),
        d(0, WC_COMBOBOXA, "", kDropDown, 6, 6, 140, 27, 10503, 0, P::BottomMargin, S::Fixed),
        d(0, WC_COMBOBOXA, "", kDropDown, 6, 6, 140, 27, 10504, 0, P::RightAndBottomMargins, S::Fixed),
        d(0, WC_COMBOBOXA, "", kDropDown, 0, 6, 140, 27, 10505, 0, P::BottomMarginLeftOfMiddle, S::Fixed),
        d(0, WC_COMBOBOXA, "", kDropDown, -146, 6, 140, 27, 10506, 0, P::BottomMarginLeftOfMiddle, S::Fixed),
    }});
    t.push_back({"capture", kCaptureClass, 11030, 11035, {
        d(0, WC_STATICA, "SFRA Screen Capture", kShown | SS_LEFT, 6, 0, 260, 24, 11030, 4, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Export to Word", kPaneButton, 6, 178, 150, 22, 11033, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Export to .bmp", kPaneButton, 6, 208, 150, 22, 11032, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Copy to Clipboard", kPaneButton, 6, 238, 150, 22, 11031, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Black and White Download", kPaneButton, 6, 268, 150, 22, 11034, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Colour Download", kPaneButton, 6, 298, 150, 22, 11035, 0, P::AsDesigned, S::Fixed),
    }});
    // The data browser's tool strip: one icon button per command, tooltips naming them.
    t.push_back({"dataTools", kDataToolsClass, 10700, 10711, {
        d(0, WC_BUTTONA, "New Database", kToolButton, 6, 4, 36, 36, 10700, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Open Database", kToolButton, 44, 4, 36, 36, 10701, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Import Sweep into database", kToolButton, 94, 4, 36, 36, 10702, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Export to XML", kToolButton, 132, 4, 36, 36, 10703, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Export to CSV", kToolButton, 170, 4, 36, 36, 10704, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Export to Excel", kToolButton | WS_DISABLED, 208, 4, 36, 36, 10705, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Diagnose Transformer", kToolButton, 258, 4, 36, 36, 10706, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Graph Test(s)", kToolButton, 296, 4, 36, 36, 10707, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Add to Table", kToolButton, 346, 4, 36, 36, 10708, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Edit Row", kToolButton, 384, 4, 36, 36, 10709, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Delete from Table", kToolButton, 422, 4, 36, 36, 10710, 0, P::AsDesigned, S::Fixed),
        d(0, WC_BUTTONA, "Settings", kToolButton, 10, 4, 36, 36, 10711, 0, P::RightMargin, S::Fixed),
        d(0, TOOLTIPS_CLASSA, "", WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0, 0, 0, P::AsDesigned, S::Fixed),
    }});
    t.push_back({"dataView", kDataViewClass, 10800, 10805, {
        d(0, WC_STATICA, "", kShown | SS_LEFT | SS_ENDELLIPSIS, 6, 8, 700, 24, 10800, 3, P::AsDesigned, S::Wider),
        d(0, WC_STATICA, "View:", kShown | SS_LEFT, 6, 43, 40, 20, 10801, 0, P::AsDesigned, S::Fixed),
        d(0, WC_COMBOBOXA, "", kDropDown, 50, 40, 220, 200, 10802, 0, P::AsDesigned, S::Fixed),
        d(0, WC_STATICA, "Search:", kShown | SS_RIGHT, 262, 43, 50, 20, 10803, 0, P::RightMargin, S::Fixed),
        d(WS_EX_CLIENTEDGE, WC_EDITA, "", kShown | WS_TABSTOP | ES_AUTOHSCROLL, 8, 40, 250, 22, 10804, 0, P::RightMargin, S::Fixed),
        d(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", (kList | WS_VISIBLE) & ~LVS_SINGLESEL, 6, 70, 990, 411, 10805, 0, P::AsDesigned, S::WiderAndTaller),
    }});
    return t;
}

}  // namespace gui
