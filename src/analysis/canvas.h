// The drawing surface of the graphs: a thin mirror of the GDI calls they need, so that the GUI's GDI
// canvas is a direct wrapper of them, while the SVG canvas (command line) and the recording canvas
// (tests) follow the same rules. Coordinates are whole pixels, y downwards; texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace analysis {

// A COLORREF: 0x00BBGGRR.
using Colour = std::uint32_t;

constexpr Colour rgb(int r, int g, int b) {
    return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int redOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr Colour kBlack = rgb(0, 0, 0);
constexpr Colour kWhite = rgb(255, 255, 255);
// The colours of GDI's stock brushes GRAY_BRUSH, LTGRAY_BRUSH and DKGRAY_BRUSH.
constexpr Colour kStockGrey = rgb(128, 128, 128);
constexpr Colour kStockLightGrey = rgb(192, 192, 192);
constexpr Colour kStockDarkGrey = rgb(64, 64, 64);

// PS_SOLID, PS_DASH, PS_DOT (GDI draws the broken styles only at width 1).
enum class PenStyle { Solid, Dash, Dot };

struct Pen {
    Colour colour = kBlack;
    int width = 1;
    PenStyle style = PenStyle::Solid;
};

// A solid brush, or none (NULL_BRUSH: shapes are outlined only).
struct Brush {
    bool hollow = true;
    Colour colour = kBlack;

    static Brush solid(Colour c) { return Brush{false, c}; }
    static Brush none() { return Brush{}; }
};

// A font as CreateFont takes it: face name, character height in pixels (lfHeight = -height), weight
// (400 normal, 700 bold) and escapement in tenths of degrees, counter-clockwise (900 reads bottom to
// top, 2700 top to bottom).
struct Font {
    std::string face;
    int height = 12;
    int weight = 400;
    int escapement = 0;
};

struct Point {
    int x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// As a GDI RECT: right and bottom are one past the last pixel.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    Rect inflated(int d) const { return {left - d, top - d, right + d, bottom + d}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
    int cx = 0, cy = 0;
};

// SetTextAlign flags for textOut (TA_LEFT, TA_RIGHT, TA_CENTER; TA_TOP, TA_BOTTOM, TA_BASELINE).
enum TextAlign : unsigned {
    kAlignLeft = 0,
    kAlignRight = 2,
    kAlignCenter = 6,
    kAlignTop = 0,
    kAlignBottom = 8,
    kAlignBaseline = 24,
};
constexpr unsigned kAlignHorizontalMask = 6;
constexpr unsigned kAlignVerticalMask = 24;

// DrawText format flags, with GDI's values.
enum TextFormat : unsigned {
    kTextLeft = 0x0,
    kTextCenter = 0x1,
    kTextRight = 0x2,
    kTextVCenter = 0x4,
    kTextBottom = 0x8,
    kTextSingleLine = 0x20,
    kTextExpandTabs = 0x40,
    kTextNoClip = 0x100,
};

// Every call draws at once with what is selected; text is always drawn on a transparent background
// (SetBkMode TRANSPARENT). The caller owns the canvas; drawing is single-threaded.
class Canvas {
public:
    virtual ~Canvas() = default;

    // SelectObject of a pen, brush or font made from the description.
    virtual void selectPen(const Pen& pen) = 0;
    virtual void selectBrush(const Brush& brush) = 0;
    virtual void selectFont(const Font& font) = 0;
    // SetTextColor and SetTextAlign.
    virtual void setTextColour(Colour colour) = 0;
    virtual void setTextAlign(unsigned align) = 0;

    // MoveToEx and LineTo in the pen (the end point itself is not drawn).
    virtual void line(Point from, Point to) = 0;
    // Polyline in the pen.
    virtual void polyline(const std::vector<Point>& points) = 0;
    // Rectangle and Ellipse: outlined in the pen, the inside filled with the brush.
    virtual void rectangle(const Rect& r) = 0;
    virtual void ellipse(const Rect& r) = 0;
    // FillRect and FrameRect (a one-pixel border) with a solid brush of the colour.
    virtual void fillRect(const Rect& r, Colour colour) = 0;
    virtual void frameRect(const Rect& r, Colour colour) = 0;

    // TextOut: placed by the text alignment, turned by the font's escapement about its reference point.
    virtual void textOut(Point at, const std::string& text) = 0;
    // DrawText in a box with TextFormat flags; clipped to the box unless kTextNoClip is given.
    virtual void drawText(const Rect& box, const std::string& text, unsigned format) = 0;
    // GetTextExtentPoint32 of one line in the selected font.
    virtual Size textExtent(const std::string& text) = 0;

    // Limits all drawing to a rectangle (SelectClipRgn), and lifts the limit again.
    virtual void setClipRect(const Rect& r) = 0;
    virtual void clearClip() = 0;
};

}  // namespace analysis
