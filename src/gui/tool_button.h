// The data browser's tool buttons: owner-drawn push buttons that show an icon, and a greyed copy of
// it while disabled, as toolbars do (a disabled icon button would otherwise be drawn as a flat grey
// shape that the user cannot tell from its neighbours). They stay standard buttons for the keyboard,
// for BM_CLICK and for assistive tools: their window texts are their names, BM_GETIMAGE gives their
// icon. User-interface thread only.
#pragma once

#include <windows.h>

namespace gui {

// Gives the button its icon and makes the greyed copy; the button owns both from then on and
// destroys them with itself.
void setToolIcon(HWND button, HICON icon);

// Draws a tool button for its parent's WM_DRAWITEM; false when the item is not a tool button.
bool drawToolButton(const DRAWITEMSTRUCT& item);

}  // namespace gui
