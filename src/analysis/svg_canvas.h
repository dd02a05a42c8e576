// The SVG canvas: draws into an SVG 1.1 document held in memory (the command line writes it to a file).
// Text is measured with fixed per-face metrics, so that a layout comes out the same on every machine.
#pragma once

#include <string>
#include <string_view>

#include "analysis/canvas.h"

namespace analysis {

// The extent the SVG canvas gives one line of text: the face's average character width, scaled by the
// height and widened for heavier weights, times the number of characters; 1.2 times the height.
Size fixedTextExtent(const Font& font, std::string_view text);

class SvgCanvas final : public Canvas {
public:
    SvgCanvas(int width, int height);

    void selectPen(const Pen& pen) override { pen_ = pen; }
    void selectBrush(const Brush& brush) override { brush_ = brush; }
    void selectFont(const Font& font) override { font_ = font; }
    void setTextColour(Colour colour) override { textColour_ = colour; }
    void setTextAlign(unsigned align) override { align_ = align; }

    void line(Point from, Point to) override;
    void polyline(const std::vector<Point>& points) override;
    void rectangle(const Rect& r) override;
    void ellipse(const Rect& r) override;
    void fillRect(const Rect& r, Colour colour) override;
    void frameRect(const Rect& r, Colour colour) override;

    void textOut(Point at, const std::string& text) override;
    void drawText(const Rect& box, const std::string& text, unsigned format) override;
    Size textExtent(const std::string& text) override { return fixedTextExtent(font_, text); }

    void setClipRect(const Rect& r) override;
    void clearClip() override;

    // The complete document drawn so far.
    std::string document() const;

private:
    std::string strokeAttributes() const;
    // One text element at (x, y) of its baseline, anchored "start", "middle" or "end".
    void textElement(double x, double y, const char* anchor, std::string_view text);
    // A clip path of r and the start of a group it clips.
    std::string clipGroupStart(const Rect& r);

    int width_, height_;
    std::string body_;
    Pen pen_;
    Brush brush_;
    Font font_;
    Colour textColour_ = kBlack;
    unsigned align_ = kAlignLeft | kAlignTop;
    int clipCount_ = 0;
    bool clipOpen_ = false;
};

}  // namespace analysis
