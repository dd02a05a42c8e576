// The descriptor tables of the main window and its panes: every control's class, text, style, design
// rectangle, identifier, anchoring rules, font and edge. Panes and the main strip's controls are
// created hidden and shown by the mode logic; a pane's own controls are created visible inside their
// hidden pane, except those that only one view of the pane shows.
#include <windows.h>
#include <commctrl.h>

#include "gui/app/layout.h"
#include "gui/app/window_classes.h"
#include "gui/resources/resource.h"

namespace gui {
namespace {

constexpr DWORD kChild = WS_CHILD;
constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kButton = WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kPaneButton = kShown | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCheckBox = kShown | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kPane = WS_CHILD | WS_CLIPCHILDREN;
constexpr DWORD kResults = kShown | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
constexpr DWORD kGroup = kShown | BS_GROUPBOX;
constexpr DWORD kCaption = kShown | SS_LEFT | SS_ENDELLIPSIS;
constexpr DWORD kDropDown = kShown | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kScrollBar = kShown | SBS_HORZ;
constexpr DWORD kList = WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
// The data browser's list holds no rows itself: it asks for the texts of the rows it shows.
constexpr DWORD kBrowserList = ((kList | WS_VISIBLE) & ~LVS_SINGLESEL) | LVS_OWNERDATA;
constexpr DWORD kEdit = kShown | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kToolButton = kShown | WS_TABSTOP | BS_OWNERDRAW;  // drawn by gui/tool_button
constexpr DWORD kToolTips = WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX;

using P = app::PositionRule;
using S = app::SizeRule;

// A control in font 0 without an extended style; most keep their designed place and size.
ControlDescriptor d(const char* className, const char* text, DWORD style, app::ControlRect rect, int id,
                    P positionRule = P::AsDesigned, S sizeRule = S::Fixed) {
    ControlDescriptor c;
    c.className = className;
    c.text = text;
    c.style = style;
    c.designRect = rect;
    c.baseRect = rect;
    c.rect = rect;
    c.id = id;
    c.positionRule = positionRule;
    c.sizeRule = sizeRule;
    return c;
}

// The control in another font of the font table.
ControlDescriptor font(int index, ControlDescriptor c) {
    c.font = index;
    return c;
}

// The control with a sunken edge.
ControlDescriptor sunken(ControlDescriptor c) {
    c.exStyle = WS_EX_CLIENTEDGE;
    return c;
}

// A pane (or a results window) of our own classes: no text and no identifier.
ControlDescriptor pane(const char* className, DWORD style, app::ControlRect rect, S sizeRule, DWORD exStyle = 0) {
    ControlDescriptor c = d(className, "", style, rect, 0, P::AsDesigned, sizeRule);
    c.exStyle = exStyle;
    return c;
}

// A spare rectangle: never created, it only keeps a pane's alternative place.
ControlDescriptor spare(app::ControlRect rect) { return d(nullptr, "", 0, rect, 0); }

}  // namespace

std::vector<DescriptorTable> makeDescriptorTables() {
    std::vector<DescriptorTable> t;
    t.push_back({"main", nullptr, IDC_DATA_MODE_LABEL, IDC_SETUP_SFRA, {
        pane(kConfigClass, kPane, {6, 36, 1002, 170}, S::Wider, WS_EX_CLIENTEDGE),
        pane(kFraClass, kPane, {6, 210, 1002, 354}, S::WiderAndTaller, WS_EX_CLIENTEDGE),
        spare({6, 36, 1002, 528}),
        pane(kDataToolsClass, kPane, {6, 36, 1004, 44}, S::Wider, WS_EX_STATICEDGE),
        pane(kDataViewClass, kPane, {6, 82, 1004, 489}, S::WiderAndTaller, WS_EX_STATICEDGE),
        pane(kLcrClass, kPane, {6, 210, 1002, 354}, S::WiderAndTaller, WS_EX_STATICEDGE),
        spare({6, 36, 1002, 528}),
        pane(kCaptureClass, kPane, {6, 210, 1002, 354}, S::WiderAndTaller, WS_EX_STATICEDGE),
        spare({6, 36, 1002, 528}),
        d(WC_STATICA, "Data Mode:  ", kChild | SS_LEFT, {10, 12, 80, 20}, IDC_DATA_MODE_LABEL),
        d(WC_BUTTONA, "MEASURE", kButton, {80, 6, 88, 25}, IDC_MEASURE),
        d(WC_BUTTONA, "DATABASE", kButton | WS_DISABLED, {170, 6, 88, 25}, IDC_DATABASE),
        d(WC_BUTTONA, "HIDE SETTINGS", kButton, {180, 6, 127, 25}, IDC_SETTINGS_TOGGLE, P::RightMargin),
        d(WC_STATICA, "SETTINGS:", kChild | SS_LEFT, {408, 12, 60, 20}, IDC_SETTINGS_LABEL),
        d(WC_BUTTONA, "READ SFRA", kButton, {470, 6, 88, 25}, IDC_READ_SFRA),
        d(WC_BUTTONA, "SET UP SFRA", kButton, {564, 6, 88, 25}, IDC_SETUP_SFRA),
        d(WC_BUTTONA, "", kButton | BS_BITMAP | BS_FLAT, {15, 8, 141, 20}, IDC_LOGO, P::RightMargin),
    }});
    t.push_back({"settings", kConfigClass, IDC_SETTINGS_TITLE, IDC_PAGE_PROG, {
        font(1, d(WC_STATICA, "", kShown | SS_CENTER, {258, 6, 240, 20}, IDC_SETTINGS_TITLE)),
        d(WC_BUTTONA, "ACQU", kPaneButton, {6, 10, 80, 27}, IDC_PAGE_ACQU),
        d(WC_BUTTONA, "SWEEP", kPaneButton, {88, 10, 80, 27}, IDC_PAGE_SWEEP),
        d(WC_BUTTONA, "TRIM", kPaneButton, {170, 10, 80, 27}, IDC_PAGE_TRIM),
        d(WC_BUTTONA, "COMMS", kPaneButton | WS_DISABLED, {6, 47, 80, 27}, IDC_PAGE_COMMS),
        d(WC_BUTTONA, "DUT", kPaneButton | WS_DISABLED, {88, 47, 80, 27}, IDC_PAGE_DUT),
        d(WC_BUTTONA, "AUX", kPaneButton | WS_DISABLED, {170, 47, 80, 27}, IDC_PAGE_AUX),
        d(WC_BUTTONA, "OUT", kPaneButton, {6, 86, 80, 27}, IDC_PAGE_OUT),
        d(WC_BUTTONA, "CH1", kPaneButton, {88, 86, 80, 27}, IDC_PAGE_CH1),
        d(WC_BUTTONA, "CH2", kPaneButton, {170, 86, 80, 27}, IDC_PAGE_CH2),
        d(WC_BUTTONA, "SYS", kPaneButton, {6, 125, 80, 27}, IDC_PAGE_SYS),
        d(WC_BUTTONA, "MODE", kPaneButton, {88, 125, 80, 27}, IDC_PAGE_MODE),
        d(WC_BUTTONA, "PROG", kPaneButton | WS_DISABLED, {170, 125, 80, 27}, IDC_PAGE_PROG),
    }});
    t.push_back({"fra", kFraClass, IDC_FRA_TABLE, IDC_FRA_ADD_TO_DATABASE, {
        pane(kFraResultsClass, kResults, {6, 68, 986, 278}, S::WiderAndTaller),
        sunken(d(WC_LISTVIEWA, "", kList, {6, 68, 986, 278}, IDC_FRA_TABLE, P::AsDesigned, S::WiderAndTaller)),
        d(WC_BUTTONA, "SFRA View", kGroup, {6, 6, 279, 54}, IDC_FRA_VIEW_GROUP),
        d(WC_BUTTONA, "REALTIME", kPaneButton, {12, 24, 85, 27}, IDC_FRA_VIEW_REALTIME),
        font(1, d(WC_BUTTONA, "GRAPH", kPaneButton, {103, 24, 85, 27}, IDC_FRA_VIEW_GRAPH)),
        d(WC_BUTTONA, "TABLE", kPaneButton, {194, 24, 85, 27}, IDC_FRA_VIEW_TABLE),
        d(WC_BUTTONA, "SFRA Control", kGroup, {289, 6, 160, 54}, IDC_FRA_CONTROL_GROUP),
        d(WC_BUTTONA, "START", kPaneButton, {321, 24, 85, 27}, IDC_FRA_START),
        d(WC_BUTTONA, "SFRA Data", kGroup, {453, 6, 180, 54}, IDC_FRA_DATA_GROUP),
        d(WC_BUTTONA, "Add To Database", kPaneButton | WS_DISABLED, {484, 24, 100, 27}, IDC_FRA_ADD_TO_DATABASE),
    }});
    t.push_back({"fraResults", kFraResultsClass, IDC_FRA_PLACEHOLDER, IDC_FRA_BACKGROUND, {
        font(4, d(WC_STATICA, "", kShown, {6, 0, 1, 1}, IDC_FRA_PLACEHOLDER)),
        d(WC_SCROLLBARA, "", kScrollBar, {6, 20, 450, 18}, IDC_FRA_CURSOR1, P::BottomMargin),
        d(WC_SCROLLBARA, "", kScrollBar, {6, 20, 450, 18}, IDC_FRA_CURSOR2, P::RightAndBottomMargins),
        d(WC_BUTTONA, "Find Gain/Phase Margin", kPaneButton, {570, 42, 140, 27}, IDC_FRA_FIND_MARGINS, P::BottomMargin),
        d(WC_BUTTONA, "Centre 0dB on y-axis", kCheckBox, {580, 70, 140, 27}, IDC_FRA_CENTRE_0DB, P::BottomMargin),
        d(WC_COMBOBOXA, "", kDropDown, {270, 65, 140, 27}, IDC_FRA_SCALING, P::BottomMargin),
        d(WC_COMBOBOXA, "", kDropDown, {270, 37, 140, 27}, IDC_FRA_BACKGROUND, P::BottomMargin),
    }});
    t.push_back({"lcr", kLcrClass, IDC_LCR_TABLE, IDC_LCR_ADD_TO_DATABASE, {
        pane(kLcrResultsClass, kResults, {6, 68, 986, 278}, S::WiderAndTaller),
        sunken(d(WC_LISTVIEWA, "", kList, {6, 68, 986, 278}, IDC_LCR_TABLE, P::AsDesigned, S::WiderAndTaller)),
        d(WC_BUTTONA, "LCR View", kGroup, {6, 6, 279, 54}, IDC_LCR_VIEW_GROUP),
        d(WC_BUTTONA, "REALTIME", kPaneButton, {12, 24, 85, 27}, IDC_LCR_VIEW_REALTIME),
        font(1, d(WC_BUTTONA, "GRAPH", kPaneButton, {103, 24, 85, 27}, IDC_LCR_VIEW_GRAPH)),
        d(WC_BUTTONA, "TABLE", kPaneButton, {194, 24, 85, 27}, IDC_LCR_VIEW_TABLE),
        d(WC_BUTTONA, "LCR Control", kGroup, {289, 6, 160, 54}, IDC_LCR_CONTROL_GROUP),
        d(WC_BUTTONA, "SWEEP", kPaneButton, {321, 24, 85, 27}, IDC_LCR_SWEEP),
        d(WC_BUTTONA, "LCR Data", kGroup, {453, 6, 369, 54}, IDC_LCR_DATA_GROUP),
        d(WC_BUTTONA, "IMPORT", kPaneButton, {485, 24, 85, 27}, IDC_LCR_IMPORT),
        d(WC_BUTTONA, "CLEAR", kPaneButton, {576, 24, 85, 27}, IDC_LCR_CLEAR),
        d(WC_BUTTONA, "ADD TO DATABASE", kPaneButton, {667, 24, 120, 27}, IDC_LCR_ADD_TO_DATABASE),
    }});
    t.push_back({"lcrResults", kLcrResultsClass, IDC_LCR_PLACEHOLDER, IDC_LCR_BACKGROUND, {
        font(4, d(WC_STATICA, "", kShown, {6, 0, 1, 1}, IDC_LCR_PLACEHOLDER)),
        // The cursors' bars sit above the axis lists, which take the bottom of the strip.
        d(WC_SCROLLBARA, "", kScrollBar, {6, 37, 450, 18}, IDC_LCR_CURSOR1, P::BottomMargin),
        d(WC_SCROLLBARA, "", kScrollBar, {6, 37, 450, 18}, IDC_LCR_CURSOR2, P::RightAndBottomMargins),
        d(WC_COMBOBOXA, "", kDropDown, {6, 6, 140, 27}, IDC_LCR_LEFT_AXIS, P::BottomMargin),
        d(WC_COMBOBOXA, "", kDropDown, {6, 6, 140, 27}, IDC_LCR_RIGHT_AXIS, P::RightAndBottomMargins),
        d(WC_COMBOBOXA, "", kDropDown, {0, 6, 140, 27}, IDC_LCR_SCALING, P::BottomMarginLeftOfMiddle),
        d(WC_COMBOBOXA, "", kDropDown, {-146, 6, 140, 27}, IDC_LCR_BACKGROUND, P::BottomMarginLeftOfMiddle),
    }});
    t.push_back({"capture", kCaptureClass, IDC_CAPTURE_TITLE, IDC_CAPTURE_COLOUR_DOWNLOAD, {
        font(4, d(WC_STATICA, "SFRA Screen Capture", kShown | SS_LEFT, {6, 0, 260, 24}, IDC_CAPTURE_TITLE)),
        d(WC_BUTTONA, "Export to Word", kPaneButton, {6, 178, 150, 22}, IDC_CAPTURE_TO_WORD),
        d(WC_BUTTONA, "Export to .bmp", kPaneButton, {6, 208, 150, 22}, IDC_CAPTURE_TO_BITMAP),
        d(WC_BUTTONA, "Copy to Clipboard", kPaneButton, {6, 238, 150, 22}, IDC_CAPTURE_TO_CLIPBOARD),
        d(WC_BUTTONA, "Black and White Download", kPaneButton, {6, 268, 150, 22}, IDC_CAPTURE_MONO_DOWNLOAD),
        d(WC_BUTTONA, "Colour Download", kPaneButton, {6, 298, 150, 22}, IDC_CAPTURE_COLOUR_DOWNLOAD),
    }});
    // The data browser's tool strip: one icon button per command, tooltips naming them.
    t.push_back({"dataTools", kDataToolsClass, IDC_TOOL_NEW_DATABASE, IDC_TOOL_FLEET, {
        d(WC_BUTTONA, "New Database", kToolButton, {6, 4, 36, 36}, IDC_TOOL_NEW_DATABASE),
        d(WC_BUTTONA, "Open Database", kToolButton, {44, 4, 36, 36}, IDC_TOOL_OPEN_DATABASE),
        d(WC_BUTTONA, "Import Sweep into database", kToolButton, {94, 4, 36, 36}, IDC_TOOL_IMPORT),
        d(WC_BUTTONA, "Export to XML", kToolButton, {132, 4, 36, 36}, IDC_TOOL_EXPORT_XML),
        d(WC_BUTTONA, "Export to CSV", kToolButton, {170, 4, 36, 36}, IDC_TOOL_EXPORT_CSV),
        d(WC_BUTTONA, "Export to Excel", kToolButton | WS_DISABLED, {208, 4, 36, 36}, IDC_TOOL_EXPORT_EXCEL),
        d(WC_BUTTONA, "Diagnose Transformer", kToolButton, {258, 4, 36, 36}, IDC_TOOL_DIAGNOSE),
        d(WC_BUTTONA, "Graph Test(s)", kToolButton, {296, 4, 36, 36}, IDC_TOOL_GRAPH),
        d(WC_BUTTONA, "Add to Table", kToolButton, {346, 4, 36, 36}, IDC_TOOL_ADD),
        d(WC_BUTTONA, "Edit Row", kToolButton, {384, 4, 36, 36}, IDC_TOOL_EDIT),
        d(WC_BUTTONA, "Delete from Table", kToolButton, {422, 4, 36, 36}, IDC_TOOL_DELETE),
        d(WC_BUTTONA, "Settings", kToolButton, {10, 4, 36, 36}, IDC_TOOL_SETTINGS, P::RightMargin),
        d(WC_BUTTONA, "Fleet Database...", kToolButton, {48, 4, 36, 36}, IDC_TOOL_FLEET, P::RightMargin),
        d(TOOLTIPS_CLASSA, "", kToolTips, {0, 0, 0, 0}, 0),
    }});
    t.push_back({"dataView", kDataViewClass, IDC_DATA_CAPTION, IDC_DATA_LIST, {
        font(3, d(WC_STATICA, "", kCaption, {6, 8, 700, 24}, IDC_DATA_CAPTION, P::AsDesigned, S::Wider)),
        d(WC_STATICA, "View:", kShown | SS_LEFT, {6, 43, 40, 20}, IDC_DATA_VIEW_LABEL),
        d(WC_COMBOBOXA, "", kDropDown, {50, 40, 220, 200}, IDC_DATA_VIEW_SELECTOR),
        d(WC_STATICA, "Search:", kShown | SS_RIGHT, {262, 43, 50, 20}, IDC_DATA_SEARCH_LABEL, P::RightMargin),
        sunken(d(WC_EDITA, "", kEdit, {8, 40, 250, 22}, IDC_DATA_SEARCH, P::RightMargin)),
        sunken(d(WC_LISTVIEWA, "", kBrowserList, {6, 70, 990, 411}, IDC_DATA_LIST, P::AsDesigned, S::WiderAndTaller)),
    }});
    return t;
}

}  // namespace gui
