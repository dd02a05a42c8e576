// The layout engine of the main window: every pane and control is created from a static table of
// control descriptors, given a font from the font table, and kept in place by the anchoring rules
// when the main window grows. User-interface thread only.
#pragma once

#include <windows.h>

#include <string>
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
// other table's parent is the pane created from the descriptor of class parentClass.
struct DescriptorTable {
    const char* name;
    const char* parentClass;   // nullptr: the main window
    int firstId;
    int lastId;
    std::vector<ControlDescriptor> entries;
};

// The tables in creation order: main, settings strip, FRA pane, FRA results, LCR pane, LCR results,
// capture pane, data tools, data view.
std::vector<DescriptorTable>& descriptorTables();

// The tables as designed (the content of descriptorTables() before any window exists).
std::vector<DescriptorTable> makeDescriptorTables();

// The table of the given name ("main", "settings", "fra", "fraResults", "lcr", "lcrResults",
// "capture", "dataTools", "dataView").
DescriptorTable& descriptorTable(const char* name);

// Creates the fonts and every table's windows in table order, children of their parents, and gives
// each its font. The main window's initial outer size is remembered for the anchoring.
void createAllControls(HWND mainWindow);

// Applies the anchoring rules to every created descriptor and moves the windows; moved windows are
// invalidated after the pass.
void layoutAll();

// The window of a control identifier, looked up in the table its identifier range selects; nullptr
// when no table holds it (or its window was not created).
HWND controlWindow(int id);

// The descriptor of an identifier, nullptr when none.
ControlDescriptor* findDescriptor(int id);

// The pane created from a window class, nullptr when none.
HWND paneWindow(const char* className);

// Font index 0-9 of the font table (made once from the default GUI font).
HFONT tableFont(int index);

// The same font as the graphs' canvas takes it.
analysis::Font canvasFont(int index);

// Gives font 1 (bold) to selectedId and font 0 to the other controls firstId..lastId.
void markSelected(int selectedId, int firstId, int lastId);

// The descriptor created from a window class (a pane or a results window), nullptr when none. Its
// baseRect may be changed (the measurement panes' spare and normal rectangles); the next layoutAll
// anchors from there.
ControlDescriptor* findClassDescriptor(const char* className);

// Destroys the fonts (at shut-down) and returns the tables to their design.
void destroyAllControls();

}  // namespace gui
