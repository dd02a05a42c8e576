// The data browser list's context menu: the record commands that suit the selected rows, then the
// finders of their records ("Find Sweeps", "Find Similar Sweeps"), each of which shows its rows in
// view 4.
#include <windows.h>

#include <string>
#include <vector>

#include "gui/db/browser_state.h"
#include "gui/resources/browser_ids.h"
#include "platform/win32/wide_text.h"

namespace gui {
namespace {

constexpr int kFinderCapacity = IDM_BROWSER_FINDER_LAST - IDM_BROWSER_FINDER_FIRST + 1;

void appendItem(HMENU menu, UINT id, const std::string& text) {
    AppendMenuW(menu, MF_STRING, id, platform::win32::widen(text).c_str());
}

// A submenu of the finders of one group, numbered from first; nothing for an empty group. Finders
// beyond the menu's numbers are left out.
void appendFinders(HMENU menu, const char* title, const std::vector<db::Finder>& group, int first) {
    if (group.empty()) return;
    HMENU sub = CreatePopupMenu();
    for (std::size_t i = 0; i < group.size() && first + static_cast<int>(i) < kFinderCapacity; ++i)
        appendItem(sub, IDM_BROWSER_FINDER_FIRST + first + static_cast<UINT>(i), group[i].label);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), platform::win32::widen(title).c_str());
}

// Graph and Report unless LCR and FRA sweeps are mixed; Diagnose for two FRA sweeps, or one transformer.
void appendCommands(HMENU menu, const DataView& v, std::size_t selected, const db::RowFinders& finders) {
    appendItem(menu, IDM_BROWSER_DELETE, "Delete...");
    if (selected == 1) appendItem(menu, IDM_BROWSER_EDIT, "Edit...");
    if (v.context.table == db::TableIndex::Transformer && selected == 1)
        appendItem(menu, IDM_BROWSER_DIAGNOSE, "Diagnose...");
    if (isSweepView(v)) {
        if (!(finders.anyLcr && finders.anyFra)) {
            appendItem(menu, IDM_BROWSER_GRAPH, "Graph...");
            appendItem(menu, IDM_BROWSER_REPORT, "Report...");
        }
        if (selected == 2 && !finders.anyLcr) appendItem(menu, IDM_BROWSER_DIAGNOSE, "Diagnose...");
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
}

// The finders as RowFinders::all() numbers them.
void appendAllFinders(HMENU menu, const db::RowFinders& f) {
    int first = 0;
    appendFinders(menu, "Find Sweeps", f.sweeps, first);
    first += static_cast<int>(f.sweeps.size());
    appendFinders(menu, "Find Similar Sweeps", f.similar, first);
    first += static_cast<int>(f.similar.size());
    if (f.transformers.empty() && f.setups.empty() && f.equipment.empty()) return;
    HMENU records = CreatePopupMenu();
    appendFinders(records, "Find Transformer", f.transformers, first);
    first += static_cast<int>(f.transformers.size());
    appendFinders(records, "Find Setups", f.setups, first);
    first += static_cast<int>(f.setups.size());
    appendFinders(records, "Find Equipment", f.equipment, first);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(records), L"Find Sweeps");
}

}  // namespace

void showContextMenu(HWND window, POINT at) {
    const DataView* v = dataViewOf(window);
    const std::vector<std::string> keys = selectedKeys(window);
    if (!v || keys.empty()) return;
    const db::RowFinders finders = db::findersFor(v->context.table, keys);
    HMENU menu = CreatePopupMenu();
    appendCommands(menu, *v, keys.size(), finders);
    appendAllFinders(menu, finders);
    const int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
    DestroyMenu(menu);
    if (command) onBrowserCommand(window, command);
}

bool runFinderCommand(HWND window, int id) {
    const DataView* v = dataViewOf(window);
    if (!v || id < IDM_BROWSER_FINDER_FIRST || id > IDM_BROWSER_FINDER_LAST) return false;
    const db::RowFinders finders = db::findersFor(v->context.table, selectedKeys(window));
    const std::vector<const db::Finder*> all = finders.all();
    const auto index = static_cast<std::size_t>(id - IDM_BROWSER_FINDER_FIRST);
    if (index >= all.size()) return false;
    showFinder(window, *all[index]);
    return true;
}

}  // namespace gui
