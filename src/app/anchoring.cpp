// The anchoring rules of the main window's layout.
#include "app/anchoring.h"

namespace app {

ControlRect anchoredRect(const ControlRect& base, PositionRule position, SizeRule size, int growW, int growH,
                         int parentW, int parentH) {
    ControlRect r = base;
    if (size == SizeRule::Wider || size == SizeRule::WiderAndTaller) r.width = base.width + growW;
    if (size == SizeRule::Taller || size == SizeRule::WiderAndTaller) r.height = base.height + growH;
    const int leftOfMiddle = parentW / 2 - r.width - base.x;
    const int rightMargin = parentW - r.width - base.x;
    const int bottomMargin = parentH - r.height - base.y;
    switch (position) {
    case PositionRule::AsDesigned: break;
    case PositionRule::LeftOfMiddle: r.x = leftOfMiddle; break;
    case PositionRule::RightMargin: r.x = rightMargin; break;
    case PositionRule::BottomMargin: r.y = bottomMargin; break;
    case PositionRule::RightAndBottomMargins:
        r.x = rightMargin;
        r.y = bottomMargin;
        break;
    case PositionRule::BottomMarginLeftOfMiddle:
        r.x = leftOfMiddle;
        r.y = bottomMargin;
        break;
    }
    return r;
}

}  // namespace app
