// The graph window's menus: the menu bar from its template, the LCR quantity menus, one "Plot
// Appearance" submenu per sweep, the right-button popup, and the check marks that mirror the settings.
#include <windows.h>

#include <string>

#include "gui/analysis/graph_state.h"
#include "gui/app/window_classes.h"
#include "gui/resources/graph_ids.h"
#include "platform/win32/wide_text.h"

namespace gui {
namespace {

constexpr int kGraphAppearancePosition = 2;  // in the template's bar: File, Display, Graph Appearance
constexpr int kMenuNameLength = 19, kMenuNameTail = 17;

void append(HMENU menu, UINT_PTR id, const std::string& text) {
    AppendMenuW(menu, MF_STRING, id, platform::win32::widen(text).c_str());
}

void appendPopup(HMENU menu, HMENU popup, const std::string& text) {
    AppendMenuW(menu, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), platform::win32::widen(text).c_str());
}

// A sweep's name as a menu item: shortened, and with "&" doubled so that it shows rather than
// underlining the next letter.
std::string menuName(const std::string& name) {
    std::string text;
    for (char c : analysis::abbreviateName(name, kMenuNameLength, kMenuNameTail)) {
        text += c;
        if (c == '&') text += '&';
    }
    return text;
}

HMENU quantityMenu(int firstId) {
    HMENU menu = CreatePopupMenu();
    for (int q = 1; q <= IDM_GRAPH_QUANTITY_COUNT; ++q) append(menu, firstId + q - 1, analysis::lcrQuantity(q).longName);
    return menu;
}

// The template's "Graph Appearance", taken out of a fresh copy of the bar, with the LCR quantities.
HMENU graphAppearanceMenu(HMENU bar, const GraphState& s) {
    HMENU menu = GetSubMenu(bar, kGraphAppearancePosition);
    if (analysis::isLcrGraph(s.sweeps)) {
        appendPopup(menu, quantityMenu(IDM_GRAPH_LEFT_QUANTITY), "Left Y-Axis Data");
        appendPopup(menu, quantityMenu(IDM_GRAPH_RIGHT_QUANTITY), "Right Y-Axis Data");
    }
    return menu;
}

HMENU sideMenu(int sweep, int leftFirst, int rightFirst, int count, const char* const* names) {
    HMENU menu = CreatePopupMenu();
    for (int side = 0; side < 2; ++side) {
        HMENU items = CreatePopupMenu();
        const int first = PLOT_MENU_ID(side == 0 ? leftFirst : rightFirst, sweep);
        for (int k = 0; k < count; ++k) append(items, first + k, names[k]);
        appendPopup(menu, items, side == 0 ? "Left Y-Axis" : "Right Y-Axis");
    }
    return menu;
}

HMENU plotAppearanceMenu(const GraphState& s) {
    static const char* const kWeights[] = {"Thin", "Regular", "Thick"};
    const char* colours[analysis::kPaletteSize + 1];
    for (int k = 0; k < analysis::kPaletteSize; ++k) colours[k] = analysis::PlotPalette[k].name;
    colours[analysis::kPaletteSize] = "Custom...";

    HMENU menu = CreatePopupMenu();
    for (int i = 0; i < analysis::loadedSweepCount(s.sweeps); ++i) {
        HMENU plot = CreatePopupMenu();
        HMENU visible = CreatePopupMenu();
        append(visible, PLOT_MENU_ID(IDM_PLOT_LEFT_VISIBLE, i), "Left Y-Axis ");
        append(visible, PLOT_MENU_ID(IDM_PLOT_RIGHT_VISIBLE, i), "Right Y-Axis");
        appendPopup(plot, visible, "Visible");
        appendPopup(plot, sideMenu(i, IDM_PLOT_LEFT_THIN, IDM_PLOT_RIGHT_THIN, 3, kWeights), "Weight");
        appendPopup(plot, sideMenu(i, IDM_PLOT_LEFT_COLOUR, IDM_PLOT_RIGHT_COLOUR, analysis::kPaletteSize + 1, colours),
                    "Colour");
        appendPopup(menu, plot, menuName(s.sweeps[i].name.str()));
    }
    return menu;
}

HMENU loadTemplate() { return LoadMenuA(programInstance(), MAKEINTRESOURCEA(IDR_GRAPH_MENU)); }

void check(HMENU menu, int id, bool checked) {
    CheckMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

void buildGraphMenu(HWND graph) {
    const GraphState& s = *graphState(graph);
    HMENU bar = loadTemplate();
    graphAppearanceMenu(bar, s);
    appendPopup(bar, plotAppearanceMenu(s), "Plot Appearance");
    SetMenu(graph, bar);
}

HMENU createAppearancePopup(const GraphState& s) {
    HMENU bar = loadTemplate();
    HMENU graphMenu = graphAppearanceMenu(bar, s);
    RemoveMenu(bar, kGraphAppearancePosition, MF_BYPOSITION);  // keeps the submenu itself
    DestroyMenu(bar);
    HMENU popup = CreatePopupMenu();
    appendPopup(popup, graphMenu, "Graph Appearance");
    appendPopup(popup, plotAppearanceMenu(s), "Plot Appearance");
    syncMenuChecks(popup, s);
    return popup;
}

void syncMenuChecks(HMENU menu, const GraphState& s) {
    using namespace analysis;
    const GraphSettings& g = s.view.settings;
    check(menu, IDM_GRAPH_LOGARITHMIC, g.logFrequency);
    check(menu, IDM_GRAPH_LINEAR, !g.logFrequency);
    check(menu, IDM_GRAPH_LEFT_AUTO, g.leftScaling == kScaleAutomatic);
    check(menu, IDM_GRAPH_LEFT_CENTRE, g.leftScaling == kScaleCentredOnZero);
    check(menu, IDM_GRAPH_LEFT_MANUAL, g.leftScaling == kScaleManual);
    check(menu, IDM_GRAPH_RIGHT_AUTO, g.rightScaling == kScaleAutomatic);
    check(menu, IDM_GRAPH_RIGHT_MANUAL, g.rightScaling == kScaleManual);
    check(menu, IDM_GRAPH_FREQUENCY_AUTO, g.frequencyScaling == kScaleAutomatic);
    check(menu, IDM_GRAPH_FREQUENCY_MANUAL, g.frequencyScaling == kScaleManual);
    check(menu, IDM_GRAPH_BACKGROUND_BLACK, g.background == kBackgroundBlack);
    check(menu, IDM_GRAPH_BACKGROUND_WHITE, g.background == kBackgroundWhite);
    check(menu, IDM_GRAPH_BACKGROUND_CUSTOM, g.background == kBackgroundCustom);
    check(menu, IDM_GRAPH_LEFT_CURSOR, g.leftCursorVisible);
    check(menu, IDM_GRAPH_RIGHT_CURSOR, g.rightCursorVisible);
    for (int q = 1; q <= IDM_GRAPH_QUANTITY_COUNT; ++q) {
        check(menu, IDM_GRAPH_LEFT_QUANTITY + q - 1, s.view.ranges.leftQuantity == q);
        check(menu, IDM_GRAPH_RIGHT_QUANTITY + q - 1, s.view.ranges.rightQuantity == q);
    }
    for (int i = 0; i < loadedSweepCount(s.sweeps); ++i) {
        const PlotSettings& p = g.plots[static_cast<std::size_t>(i)];
        check(menu, PLOT_MENU_ID(IDM_PLOT_LEFT_VISIBLE, i), p.leftVisible);
        check(menu, PLOT_MENU_ID(IDM_PLOT_RIGHT_VISIBLE, i), p.rightVisible);
        for (int w = kThin; w <= kThick; ++w) {
            check(menu, PLOT_MENU_ID(IDM_PLOT_LEFT_THIN, i) + w - kThin, p.leftWeight == w);
            check(menu, PLOT_MENU_ID(IDM_PLOT_RIGHT_THIN, i) + w - kThin, p.rightWeight == w);
        }
        for (int c = 0; c <= kCustomColourIndex; ++c) {
            check(menu, PLOT_MENU_ID(IDM_PLOT_LEFT_COLOUR, i) + c, p.leftColour == c);
            check(menu, PLOT_MENU_ID(IDM_PLOT_RIGHT_COLOUR, i) + c, p.rightColour == c);
        }
    }
}

}  // namespace gui
