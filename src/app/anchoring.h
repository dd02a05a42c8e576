// The anchoring rules that keep every pane and control of the main window in place when the window
// grows: a size rule grows a control with the main window, a position rule ties it to the right or
// bottom edge (or the middle) of its parent. Pure arithmetic, shared by the GUI's layout pass and
// its tests.
#pragma once

namespace app {

struct ControlRect {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const ControlRect&, const ControlRect&) = default;
};

// Size rules: 0 fixed; 1 wider; 2 taller; 3, 4 and 5 wider and taller.
// Position rules: 0 as designed; 1 centred about the middle (base x is the gap left of the middle);
// 2 right margin base x; 3 bottom margin base y; 4 both margins; 5 bottom margin and the middle.
// growW, growH: how much the main window's outer size exceeds its initial size; parentW, parentH:
// the parent's client size now.
ControlRect anchoredRect(const ControlRect& base, int positionRule, int sizeRule, int growW, int growH,
                         int parentW, int parentH);

}  // namespace app
