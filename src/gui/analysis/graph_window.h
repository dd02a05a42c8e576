// The graph window: up to nine stored sweeps overlaid through the plot engine, with its menus,
// cursors, Range and colour dialogs and persisted appearance, and its diagnosis mode, which compares a
// sweep with the transformer's fingerprint. Each window keeps its own state; several may be open.
// User-interface thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace gui {

// The window procedure of the graph window's class.
LRESULT CALLBACK graphWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Opens a new graph window on the sweeps (1 to 9 ids, in the data browser's list order; ids beyond
// the ninth and ids without a sweep are left out). The window is a top-level window owned by owner,
// so that it closes, writing its settings, when owner does. A mix of LCR and FRA sweeps is refused
// with the message "LCR an FRA tests cannot be graphed together"; nothing opens then, nor when no
// sweep could be loaded.
void showGraphWindow(HWND owner, const std::vector<std::int64_t>& sweepIds);

// Opens a new graph window straight in its diagnosis mode. firstId and secondId: the two sweeps
// selected in a sweep view of the data browser, or -1 and -1 when not exactly two are, in which case
// the sweep selection dialog asks for both; selectedKey: the key of the browser's first selected row
// (the transformer identifier in the transformer view; in a sweep view the sweep's id, which stands
// for that sweep's transformer), from which that dialog is pre-filled. Nothing opens when the dialog
// is cancelled or left with a box empty; impedance (LCR) sweeps are refused with a message.
void showDiagnosis(HWND owner, std::int64_t firstId, std::int64_t secondId, const std::string& selectedKey);

}  // namespace gui
