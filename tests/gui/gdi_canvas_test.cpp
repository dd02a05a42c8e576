// The GDI canvas draws into a DIB section whose pixels are then read back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "analysis/canvas.h"
#include "gui/gdi_canvas.h"

namespace {

using namespace analysis;
using gui::GdiCanvas;

constexpr Colour kRed = rgb(255, 0, 0);
constexpr Colour kBlue = rgb(0, 0, 255);

// A white 32-bit top-down surface in a memory device context.
class Surface {
public:
    Surface(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        RECT all{0, 0, width, height};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Surface() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }

    HDC dc() const { return dc_; }
    bool valid() const { return bits_ != nullptr; }

    Colour at(int x, int y) const {
        GdiFlush();
        const std::uint32_t p = bits_[y * width_ + x];
        return rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

    // The box around every pixel that differs from background (empty when none does).
    Rect ink(Colour background = kWhite) const {
        Rect box{width_, height_, 0, 0};
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (at(x, y) != background) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x + 1);
                    box.bottom = std::max(box.bottom, y + 1);
                }
        return box.right == 0 ? Rect{} : box;
    }

    int count(Colour colour) const {
        int n = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) n += at(x, y) == colour;
        return n;
    }

    bool samePixels(const Surface& other) const {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (at(x, y) != other.at(x, y)) return false;
        return true;
    }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

Font arial(int escapement = 0) { return Font{"Arial", 16, 400, escapement}; }

TEST(GdiCanvasShapes, LinesStopBeforeTheirEndPointAndBrokenPensLeaveGaps) {
    Surface s(120, 40);
    ASSERT_TRUE(s.valid());
    GdiCanvas canvas(s.dc());
    canvas.selectPen(Pen{kRed, 1, PenStyle::Solid});
    canvas.line({10, 10}, {50, 10});
    EXPECT_EQ(s.at(10, 10), kRed);
    EXPECT_EQ(s.at(49, 10), kRed);
    EXPECT_EQ(s.at(50, 10), kWhite);
    EXPECT_EQ(s.at(30, 9), kWhite);
    EXPECT_EQ(s.at(30, 11), kWhite);

    canvas.selectPen(Pen{kBlue, 1, PenStyle::Dash});
    canvas.line({0, 20}, {120, 20});
    int blue = 0, white = 0;
    for (int x = 0; x < 119; ++x) (s.at(x, 20) == kBlue ? blue : white) += 1;
    EXPECT_GT(blue, 40);
    EXPECT_GT(white, 10);

    canvas.selectPen(Pen{kRed, 3, PenStyle::Solid});
    canvas.polyline({{10, 30}, {60, 30}, {60, 38}});
    EXPECT_EQ(s.at(30, 29), kRed);  // three pixels wide
    EXPECT_EQ(s.at(30, 31), kRed);
    EXPECT_EQ(s.at(60, 35), kRed);
}

TEST(GdiCanvasShapes, RectanglesAndEllipsesAreOutlinedAndFilledWithTheBrush) {
    Surface s(100, 100);
    GdiCanvas canvas(s.dc());
    canvas.selectPen(Pen{kRed, 1, PenStyle::Solid});
    canvas.selectBrush(Brush::none());
    canvas.rectangle({10, 10, 30, 30});
    EXPECT_EQ(s.at(10, 10), kRed);
    EXPECT_EQ(s.at(29, 29), kRed);
    EXPECT_EQ(s.at(30, 30), kWhite);
    EXPECT_EQ(s.at(20, 20), kWhite);  // a hollow brush leaves the inside

    canvas.selectBrush(Brush::solid(kBlue));
    canvas.rectangle({40, 10, 60, 30});
    EXPECT_EQ(s.at(40, 10), kRed);
    EXPECT_EQ(s.at(50, 20), kBlue);

    canvas.ellipse({10, 50, 50, 90});
    EXPECT_EQ(s.at(30, 70), kBlue);
    EXPECT_EQ(s.at(11, 51), kWhite);  // the corner of its box stays outside the ellipse
    EXPECT_EQ(s.at(30, 50), kRed);
}

TEST(GdiCanvasShapes, FillAndFrameCoverExactlyTheirRectangle) {
    Surface s(60, 60);
    GdiCanvas canvas(s.dc());
    canvas.fillRect({20, 20, 40, 30}, kBlue);
    EXPECT_EQ(s.ink(), (Rect{20, 20, 40, 30}));
    EXPECT_EQ(s.count(kBlue), 20 * 10);

    canvas.frameRect({5, 40, 15, 50}, kRed);
    EXPECT_EQ(s.at(5, 40), kRed);
    EXPECT_EQ(s.at(14, 49), kRed);
    EXPECT_EQ(s.at(10, 45), kWhite);
    EXPECT_EQ(s.count(kRed), 36);
}

TEST(GdiCanvasShapes, ClippingLimitsDrawingUntilLifted) {
    Surface s(60, 60);
    GdiCanvas canvas(s.dc());
    canvas.setClipRect({10, 10, 20, 20});
    canvas.fillRect({0, 0, 60, 60}, kBlue);
    EXPECT_EQ(s.ink(), (Rect{10, 10, 20, 20}));
    canvas.clearClip();
    canvas.fillRect({0, 0, 60, 60}, kRed);
    EXPECT_EQ(s.count(kRed), 60 * 60);
}

TEST(GdiCanvasShapes, ClipStaysWithinTheContextsOwnClipping) {
    Surface s(60, 60);
    HRGN own = CreateRectRgn(0, 0, 30, 60);
    SelectClipRgn(s.dc(), own);
    DeleteObject(own);
    {
        GdiCanvas canvas(s.dc());
        canvas.setClipRect({20, 0, 60, 10});
        canvas.fillRect({0, 0, 60, 60}, kBlue);
        EXPECT_EQ(s.ink(), (Rect{20, 0, 30, 10}));
        canvas.clearClip();  // back to the context's clipping, not to none
        canvas.fillRect({0, 20, 60, 30}, kBlue);
        EXPECT_EQ(s.at(29, 25), kBlue);
        EXPECT_EQ(s.at(31, 25), kWhite);
    }
    HRGN after = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(s.dc(), after), 1) << "the canvas must leave the context's clipping in place";
    RECT box{};
    GetRgnBox(after, &box);
    EXPECT_EQ(box.right, 30);
    DeleteObject(after);
}

TEST(GdiCanvasState, DestructionRestoresTheContextAndDeletesWhatItMade) {
    Surface s(40, 40);
    const HGDIOBJ pen = GetCurrentObject(s.dc(), OBJ_PEN);
    const HGDIOBJ brush = GetCurrentObject(s.dc(), OBJ_BRUSH);
    const HGDIOBJ font = GetCurrentObject(s.dc(), OBJ_FONT);
    SetTextColor(s.dc(), kBlue);
    SetBkMode(s.dc(), OPAQUE);
    HGDIOBJ madePen = nullptr, madeBrush = nullptr, madeFont = nullptr;
    {
        GdiCanvas canvas(s.dc());
        canvas.selectPen(Pen{kRed, 2, PenStyle::Solid});
        canvas.selectBrush(Brush::solid(kRed));
        canvas.selectFont(arial());
        canvas.setTextColour(kRed);
        canvas.setTextAlign(kAlignRight | kAlignBottom);
        madePen = GetCurrentObject(s.dc(), OBJ_PEN);
        madeBrush = GetCurrentObject(s.dc(), OBJ_BRUSH);
        madeFont = GetCurrentObject(s.dc(), OBJ_FONT);
        EXPECT_NE(madePen, pen);
        EXPECT_NE(madeFont, font);
    }
    EXPECT_EQ(GetCurrentObject(s.dc(), OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(s.dc(), OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(s.dc(), OBJ_FONT), font);
    EXPECT_EQ(GetTextColor(s.dc()), kBlue);
    EXPECT_EQ(GetBkMode(s.dc()), OPAQUE);
    EXPECT_EQ(GetTextAlign(s.dc()), static_cast<UINT>(TA_LEFT | TA_TOP));
    EXPECT_EQ(GetObjectType(madePen), 0u) << "the pen was not deleted";
    EXPECT_EQ(GetObjectType(madeBrush), 0u) << "the brush was not deleted";
    EXPECT_EQ(GetObjectType(madeFont), 0u) << "the font was not deleted";
}

TEST(GdiCanvasState, RepeatedSelectionsReuseTheirObjects) {
    Surface s(40, 40);
    GdiCanvas canvas(s.dc());
    for (int i = 0; i < 200; ++i) {
        canvas.selectFont(arial(i % 2 ? 900 : 0));
        canvas.selectPen(Pen{kRed, 1 + i % 3, PenStyle::Solid});
        canvas.selectBrush(Brush::solid(kBlue));
        canvas.fillRect({0, 0, 1, 1}, kBlue);
    }
    EXPECT_EQ(canvas.objectsCreated(), 2 + 3 + 1);
}

TEST(GdiCanvasState, ManyColoursOnOneCanvasDoNotPileUpObjects) {
    Surface s(40, 40);
    GdiCanvas canvas(s.dc());
    for (int i = 0; i < 1000; ++i) {
        canvas.selectPen(Pen{rgb(i % 256, i / 256, 0), 1, PenStyle::Solid});
        canvas.line({0, 0}, {10, 0});
    }
    // Still drawing with the last pen after the cache has been thinned out.
    canvas.selectPen(Pen{kRed, 1, PenStyle::Solid});
    canvas.line({0, 5}, {10, 5});
    EXPECT_EQ(s.at(5, 5), kRed);
    EXPECT_EQ(s.at(5, 0), rgb(999 % 256, 999 / 256, 0));
}

TEST(GdiCanvasText, ExtentGrowsWithTheTextAndMatchesWhatIsDrawn) {
    Surface s(300, 60);
    GdiCanvas canvas(s.dc());
    canvas.selectFont(arial());
    canvas.setTextColour(kBlack);
    const Size one = canvas.textExtent("W");
    const Size four = canvas.textExtent("WWWW");
    EXPECT_GT(one.cx, 0);
    EXPECT_GE(one.cy, 14);
    EXPECT_NEAR(four.cx, 4 * one.cx, 1);
    EXPECT_EQ(four.cy, one.cy);

    canvas.textOut({20, 10}, "WWWW");
    const Rect ink = s.ink();
    EXPECT_GE(ink.left, 19);
    EXPECT_LE(ink.right, 20 + four.cx + 1);
    EXPECT_GT(ink.width(), four.cx / 2);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.bottom, 10 + four.cy);
}

TEST(GdiCanvasText, AlignmentPlacesTheTextAboutItsReferencePoint) {
    Surface s(300, 60);
    GdiCanvas canvas(s.dc());
    canvas.selectFont(arial());
    canvas.setTextAlign(kAlignRight | kAlignBottom);
    canvas.textOut({200, 50}, "Frequency");
    const Rect ink = s.ink();
    EXPECT_LE(ink.right, 201);
    EXPECT_GT(ink.right, 190);
    EXPECT_LE(ink.bottom, 51);
    EXPECT_GT(ink.bottom, 40);

    Surface centred(300, 60);
    GdiCanvas other(centred.dc());
    other.selectFont(arial());
    other.setTextAlign(kAlignCenter | kAlignTop);
    other.textOut({150, 5}, "Frequency");
    const Rect c = centred.ink();
    EXPECT_NEAR((c.left + c.right) / 2.0, 150, 3);
}

TEST(GdiCanvasText, EscapementTurnsTheText) {
    const std::string title = "GAIN (dB) GAIN (dB)";
    Surface flat(200, 200), up(200, 200), down(200, 200);
    {
        GdiCanvas canvas(flat.dc());
        canvas.selectFont(arial());
        canvas.textOut({10, 100}, title);
    }
    {
        GdiCanvas canvas(up.dc());
        canvas.selectFont(arial(900));
        canvas.textOut({100, 190}, title);
    }
    {
        GdiCanvas canvas(down.dc());
        canvas.selectFont(arial(2700));
        canvas.textOut({100, 10}, title);
    }
    const Rect f = flat.ink(), u = up.ink(), d = down.ink();
    EXPECT_GT(f.width(), 3 * f.height());
    EXPECT_GT(u.height(), 3 * u.width());
    EXPECT_GT(d.height(), 3 * d.width());
    // 90 degrees reads upwards from the reference point, 270 downwards from it.
    EXPECT_LE(u.bottom, 191);
    EXPECT_GE(d.top, 9);
    // The text's top is at the reference point: the glyphs of upward text stand to its right, those
    // of downward text to its left.
    EXPECT_GE(u.left, 99);
    EXPECT_LT(u.right, 100 + 25);
    EXPECT_LE(d.right, 101);
    EXPECT_GT(d.left, 100 - 25);
}

TEST(GdiCanvasText, TextIsUtf8AndTheDegreeSignIsOneCharacter) {
    Surface s(200, 60);
    GdiCanvas canvas(s.dc());
    canvas.selectFont(arial());
    const Size degree = canvas.textExtent("PHASE (\xC2\xB0)");
    const WCHAR wide[] = {'P', 'H', 'A', 'S', 'E', ' ', '(', 0xB0, ')'};
    SIZE expected{};
    ASSERT_TRUE(GetTextExtentPoint32W(s.dc(), wide, 9, &expected));
    EXPECT_EQ(degree.cx, expected.cx);
    EXPECT_EQ(degree.cy, expected.cy);
    // Taken byte by byte, the two bytes would be measured as "Â°".
    const WCHAR mangled[] = {'P', 'H', 'A', 'S', 'E', ' ', '(', 0xC2, 0xB0, ')'};
    SIZE wrong{};
    GetTextExtentPoint32W(s.dc(), mangled, 10, &wrong);
    EXPECT_LT(degree.cx, wrong.cx);

    // Drawn, the sign is not the replacement question mark.
    Surface sign(40, 40), question(40, 40);
    {
        GdiCanvas a(sign.dc());
        a.selectFont(arial());
        a.textOut({10, 10}, "\xC2\xB0");
        GdiCanvas b(question.dc());
        b.selectFont(arial());
        b.textOut({10, 10}, "?");
    }
    EXPECT_FALSE(sign.ink().width() == 0);
    EXPECT_FALSE(sign.samePixels(question));
}

TEST(GdiCanvasText, TextHasATransparentBackground) {
    Surface s(200, 60);
    GdiCanvas canvas(s.dc());
    canvas.fillRect({0, 0, 200, 60}, kBlue);
    canvas.selectFont(arial());
    canvas.setTextColour(kRed);
    canvas.textOut({10, 10}, "Transparent");
    EXPECT_EQ(s.count(kWhite), 0);
    EXPECT_GT(s.count(kRed), 20);
}

TEST(GdiCanvasText, InterfaceFontDrawsInAnyWeightAndTurn) {
    Surface s(200, 200);
    GdiCanvas canvas(s.dc());
    canvas.selectFont(Font{"MS Shell Dlg", 12, 400, 0});
    const Size normal = canvas.textExtent("Frequency: 1000.0000Hz");
    canvas.selectFont(Font{"MS Shell Dlg", 12, 700, 0});
    const Size bold = canvas.textExtent("Frequency: 1000.0000Hz");
    EXPECT_GT(normal.cx, 50);
    EXPECT_GT(bold.cx, normal.cx);
    canvas.selectFont(Font{"MS Shell Dlg", 12, 400, 2700});
    canvas.textOut({100, 10}, "FREQUENCY (Hz)");
    const Rect ink = s.ink();
    EXPECT_GT(ink.height(), 2 * ink.width());
}

TEST(GdiCanvasText, DrawTextFormatsInItsBox) {
    Surface s(300, 100);
    GdiCanvas canvas(s.dc());
    canvas.selectFont(arial());
    canvas.setTextAlign(kAlignRight | kAlignBaseline);  // DrawText must not follow it
    canvas.drawText({100, 20, 200, 60}, "mid", kTextCenter | kTextVCenter | kTextSingleLine);
    const Rect ink = s.ink();
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 150, 3);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 40, 5);

    Surface left(300, 100);
    GdiCanvas l(left.dc());
    l.selectFont(arial());
    l.setTextAlign(kAlignCenter);
    l.drawText({100, 20, 200, 60}, "Left", kTextLeft);
    EXPECT_GE(left.ink().left, 100);
    EXPECT_LT(left.ink().left, 105);
}

TEST(GdiCanvasText, DrawTextClipsToItsBoxUnlessTold) {
    const std::string longText = "A much longer text than the box";
    Surface clipped(300, 60), free(300, 60);
    {
        GdiCanvas canvas(clipped.dc());
        canvas.selectFont(arial());
        canvas.drawText({10, 10, 60, 40}, longText, kTextLeft | kTextSingleLine);
        GdiCanvas other(free.dc());
        other.selectFont(arial());
        other.drawText({10, 10, 60, 40}, longText, kTextLeft | kTextSingleLine | kTextNoClip);
    }
    EXPECT_LE(clipped.ink().right, 60);
    EXPECT_GT(free.ink().right, 100);
}

TEST(GdiCanvasText, DrawTextShowsAnAmpersandAsItIs) {
    Surface drawn(200, 40), written(200, 40);
    {
        GdiCanvas a(drawn.dc());
        a.selectFont(arial());
        a.drawText({10, 5, 190, 35}, "R&D", kTextLeft | kTextSingleLine | kTextNoClip);
        GdiCanvas b(written.dc());
        b.selectFont(arial());
        b.textOut({10, 5}, "R&D");
    }
    EXPECT_TRUE(drawn.samePixels(written));
}

}  // namespace
