// A Canvas that records every drawing call with the pen, brush, font and text colour in force, so
// that tests can check what was drawn where. Text extents are fixed: half the font height per
// character, the height plus 2.
#pragma once

#include <string>
#include <vector>

#include "analysis/canvas.h"

namespace testing_support {

struct DrawCall {
    enum Kind { Line, Polyline, Rectangle, Ellipse, FillRect, FrameRect, TextOut, DrawText, ClipRect, ClearClip };
    Kind kind = Line;
    std::vector<analysis::Point> points;  // line: from and to; polyline: all; textOut: the reference point
    analysis::Rect rect;                  // shapes, fills, frames, the drawText box, the clip rectangle
    analysis::Colour colour = 0;          // fill and frame colour; the text colour for texts
    analysis::Pen pen;
    analysis::Brush brush;
    analysis::Font font;
    unsigned flags = 0;  // drawText format, textOut alignment
    std::string text;
};

class RecordingCanvas final : public analysis::Canvas {
public:
    void selectPen(const analysis::Pen& pen) override { pen_ = pen; }
    void selectBrush(const analysis::Brush& brush) override { brush_ = brush; }
    void selectFont(const analysis::Font& font) override { font_ = font; }
    void setTextColour(analysis::Colour colour) override { textColour_ = colour; }
    void setTextAlign(unsigned align) override { align_ = align; }

    void line(analysis::Point from, analysis::Point to) override;
    void polyline(const std::vector<analysis::Point>& points) override;
    void rectangle(const analysis::Rect& r) override;
    void ellipse(const analysis::Rect& r) override;
    void fillRect(const analysis::Rect& r, analysis::Colour colour) override;
    void frameRect(const analysis::Rect& r, analysis::Colour colour) override;
    void textOut(analysis::Point at, const std::string& text) override;
    void drawText(const analysis::Rect& box, const std::string& text, unsigned format) override;
    analysis::Size textExtent(const std::string& text) override;
    void setClipRect(const analysis::Rect& r) override;
    void clearClip() override;

    std::vector<DrawCall> calls;

    // The calls of one kind, in order.
    std::vector<DrawCall> ofKind(DrawCall::Kind kind) const;
    // The texts drawn (textOut and drawText), in order.
    std::vector<std::string> texts() const;
    // The text calls whose text is exactly text.
    std::vector<DrawCall> textCalls(const std::string& text) const;

private:
    DrawCall call(DrawCall::Kind kind) const;

    analysis::Pen pen_;
    analysis::Brush brush_;
    analysis::Font font_;
    analysis::Colour textColour_ = analysis::kBlack;
    unsigned align_ = 0;
};

}  // namespace testing_support
