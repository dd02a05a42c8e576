// The anchoring rules of the main window's layout, with the main window grown by dw x dh.
#include <gtest/gtest.h>

#include "app/anchoring.h"

namespace {

using app::anchoredRect;
using app::ControlRect;
using Position = app::PositionRule;
using Size = app::SizeRule;

TEST(Anchoring, SizeRulesGrowWidthHeightOrBoth) {
    const ControlRect base{6, 36, 1002, 170};
    const Position designed = Position::AsDesigned;
    EXPECT_EQ(anchoredRect(base, designed, Size::Fixed, 200, 100, 1216, 679), base);
    EXPECT_EQ(anchoredRect(base, designed, Size::Wider, 200, 100, 1216, 679), (ControlRect{6, 36, 1202, 170}));
    EXPECT_EQ(anchoredRect(base, designed, Size::Taller, 200, 100, 1216, 679), (ControlRect{6, 36, 1002, 270}));
    EXPECT_EQ(anchoredRect(base, designed, Size::WiderAndTaller, 200, 100, 1216, 679), (ControlRect{6, 36, 1202, 270}));
}

TEST(Anchoring, PositionRulesKeepMarginsToTheRightBottomOrMiddle) {
    // The settings toggle: 180 pixels from the right edge.
    EXPECT_EQ(anchoredRect({180, 6, 127, 25}, Position::RightMargin, Size::Fixed, 0, 0, 1016, 579),
              (ControlRect{709, 6, 127, 25}));
    // A cursor scroll bar 20 pixels above the bottom.
    EXPECT_EQ(anchoredRect({6, 20, 450, 18}, Position::BottomMargin, Size::Fixed, 0, 0, 986, 278),
              (ControlRect{6, 240, 450, 18}));
    EXPECT_EQ(anchoredRect({6, 20, 450, 18}, Position::RightAndBottomMargins, Size::Fixed, 0, 0, 986, 278),
              (ControlRect{530, 240, 450, 18}));
    // Lists either side of the middle, the middle a whole-number half.
    EXPECT_EQ(anchoredRect({0, 6, 140, 27}, Position::BottomMarginLeftOfMiddle, Size::Fixed, 0, 0, 987, 278),
              (ControlRect{353, 245, 140, 27}));
    EXPECT_EQ(anchoredRect({-146, 6, 140, 27}, Position::BottomMarginLeftOfMiddle, Size::Fixed, 0, 0, 987, 278),
              (ControlRect{499, 245, 140, 27}));
    EXPECT_EQ(anchoredRect({10, 6, 140, 27}, Position::LeftOfMiddle, Size::Fixed, 0, 0, 987, 278),
              (ControlRect{343, 6, 140, 27}));
}

TEST(Anchoring, GrowthAndMarginsCombine) {
    // A bottom- and right-anchored control that also grows keeps both margins.
    EXPECT_EQ(anchoredRect({10, 10, 100, 50}, Position::RightAndBottomMargins, Size::WiderAndTaller, 40, 30, 500, 400),
              (ControlRect{350, 310, 140, 80}));
}

}  // namespace
