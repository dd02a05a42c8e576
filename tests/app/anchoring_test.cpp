// The anchoring rules of the main window's layout, with the main window grown by dw x dh.
#include <gtest/gtest.h>

#include "app/anchoring.h"

namespace {

using app::anchoredRect;
using app::ControlRect;

TEST(Anchoring, SizeRulesGrowWidthHeightOrBoth) {
    const ControlRect base{6, 36, 1002, 170};
    EXPECT_EQ(anchoredRect(base, 0, 0, 200, 100, 1216, 679), base);
    EXPECT_EQ(anchoredRect(base, 0, 1, 200, 100, 1216, 679), (ControlRect{6, 36, 1202, 170}));
    EXPECT_EQ(anchoredRect(base, 0, 2, 200, 100, 1216, 679), (ControlRect{6, 36, 1002, 270}));
    for (int rule : {3, 4, 5}) EXPECT_EQ(anchoredRect(base, 0, rule, 200, 100, 1216, 679), (ControlRect{6, 36, 1202, 270}));
}

TEST(Anchoring, PositionRulesKeepMarginsToTheRightBottomOrMiddle) {
    // The settings toggle: 180 pixels from the right edge.
    EXPECT_EQ(anchoredRect({180, 6, 127, 25}, 2, 0, 0, 0, 1016, 579), (ControlRect{709, 6, 127, 25}));
    // A cursor scroll bar 20 pixels above the bottom.
    EXPECT_EQ(anchoredRect({6, 20, 450, 18}, 3, 0, 0, 0, 986, 278), (ControlRect{6, 240, 450, 18}));
    EXPECT_EQ(anchoredRect({6, 20, 450, 18}, 4, 0, 0, 0, 986, 278), (ControlRect{530, 240, 450, 18}));
    // Lists either side of the middle, the middle a whole-number half.
    EXPECT_EQ(anchoredRect({0, 6, 140, 27}, 5, 0, 0, 0, 987, 278), (ControlRect{353, 245, 140, 27}));
    EXPECT_EQ(anchoredRect({-146, 6, 140, 27}, 5, 0, 0, 0, 987, 278), (ControlRect{499, 245, 140, 27}));
    EXPECT_EQ(anchoredRect({10, 6, 140, 27}, 1, 0, 0, 0, 987, 278), (ControlRect{343, 6, 140, 27}));
}

TEST(Anchoring, GrowthAndMarginsCombine) {
    // A bottom- and right-anchored control that also grows keeps both margins.
    EXPECT_EQ(anchoredRect({10, 10, 100, 50}, 4, 3, 40, 30, 500, 400), (ControlRect{350, 310, 140, 80}));
}

}  // namespace
