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

// How a control grows with the main window's growth over its initial size.
enum class SizeRule : int { Fixed = 0, Wider = 1, Taller = 2, WiderAndTaller = 3 };

// Where a control sits in its parent's client area; "margin" means the base x or y is the distance
// to that edge, "left of the middle" that the base x is the gap between the control's right edge
// and the middle.
enum class PositionRule : int {
    AsDesigned = 0,
    LeftOfMiddle = 1,
    RightMargin = 2,
    BottomMargin = 3,
    RightAndBottomMargins = 4,
    BottomMarginLeftOfMiddle = 5,
};

// growW, growH: how much the main window's outer size exceeds its initial size; parentW, parentH:
// the parent's client size now.
ControlRect anchoredRect(const ControlRect& base, PositionRule position, SizeRule size, int growW, int growH,
                         int parentW, int parentH);

}  // namespace app
