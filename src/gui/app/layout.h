// The layout engine of the main window: every pane and control is created from a table of control
// descriptors, given a font from the font table, and kept in place by the anchoring rules when the
// main window grows. The tables with their windows and the fonts are the main window's (its record
// owns a Layout); every function reaches them from any window of the program, whose root owner is
// the main window. User-interface thread only.
#pragma once

#include <windows.h>

#include <vector>

#include "analysis/canvas.h"
#include "app/anchoring.h"

namespace gui {

// One pane or control. A descriptor without a class is a spare rectangle and is never created.
struct ControlDescriptor {
    DWORD exStyle = 0;
    const char* className = nullptr;
    const char* text = "";
    DWORD style = 0;
    app::ControlRect designRect;
    app::ControlRect baseRect;   // where anchoring starts from
    app::ControlRect rect;       // where the control is now
    HWND parent = nullptr;
    HWND window = nullptr;
    int id = 0;
    int font = 0;
    app::PositionRule positionRule = app::PositionRule::AsDesigned;
    app::SizeRule sizeRule = app::SizeRule::Fixed;
};

// One table: the controls of one parent window. The main table's parent is the main window; every
// other table's parent is the pane created from the descriptor of class parentClass. A control's
// identifier selects its table by the range firstId..lastId.
struct DescriptorTable {
    const char* name;
    const char* parentClass;   // nullptr: the main window
    int firstId;
    int lastId;
    std::vector<ControlDescriptor> entries;
};

// The tables in creation order: main, settings strip, FRA pane, FRA results, LCR pane, LCR results,
// capture pane, data tools, data view; as designed, before any window exists.
std::vector<DescriptorTable> makeDescriptorTables();

constexpr int kFontCount = 10;

// The layout of one main window: its tables, whose descriptors come to hold their windows, and the
// font table, deleted with it.
struct Layout {
    Layout();
    ~Layout();
    Layout(const Layout&) = delete;
    Layout& operator=(const Layout&) = delete;

    std::vector<DescriptorTable> tables;
    HFONT fonts[kFontCount] = {};
};

// The table of the given name ("main", "settings", "fra", "fraResults", "lcr", "lcrResults",
// "capture", "dataTools", "dataView").
DescriptorTable& descriptorTable(HWND window, const char* name);

// Creates the fonts and every table's windows in table order, children of their parents, and gives
// each its font. Called by the main window while it is being created.
void createAllControls(HWND mainWindow);

// Applies the anchoring rules to every created descriptor, by the main window's growth over its
// initial size, and moves the windows; moved windows are invalidated after the pass.
void layoutAll(HWND window);

// The window of a control identifier, looked up in the table its identifier range selects; nullptr
// when no table holds it (or its window was not created).
HWND controlWindow(HWND window, int id);

// The descriptor of an identifier, nullptr when none.
ControlDescriptor* findDescriptor(HWND window, int id);

// The pane created from a window class, nullptr when none.
HWND paneWindow(HWND window, const char* className);

// Font index 0-9 of the font table as the graphs' canvas takes it.
analysis::Font canvasFont(HWND window, int index);

// Gives font 1 (bold) to selectedId and font 0 to the other controls firstId..lastId.
void markSelected(HWND window, int selectedId, int firstId, int lastId);

// The descriptor created from a window class (a pane or a results window), nullptr when none. Its
// baseRect may be changed (the measurement panes' spare and normal rectangles); the next layoutAll
// anchors from there.
ControlDescriptor* findClassDescriptor(HWND window, const char* className);

}  // namespace gui
