// The anchoring rules of the main window's layout.
#include "app/anchoring.h"

namespace app {

ControlRect anchoredRect(const ControlRect& base, int positionRule, int sizeRule, int growW, int growH,
                         int parentW, int parentH) {
    ControlRect r = base;
    if (sizeRule == 1 || sizeRule == 3 || sizeRule == 4 || sizeRule == 5) r.width = base.width + growW;
    if (sizeRule >= 2 && sizeRule <= 5) r.height = base.height + growH;
    switch (positionRule) {
    case 1:
        r.y = base.y;
        r.x = parentW / 2 - r.width - base.x;
        break;
    case 2:
        r.x = parentW - r.width - base.x;
        break;
    case 3:
        r.y = parentH - r.height - base.y;
        break;
    case 4:
        r.x = parentW - r.width - base.x;
        r.y = parentH - r.height - base.y;
        break;
    case 5:
        r.y = parentH - r.height - base.y;
        r.x = parentW / 2 - r.width - base.x;
        break;
    default:
        break;
    }
    return r;
}

}  // namespace app
