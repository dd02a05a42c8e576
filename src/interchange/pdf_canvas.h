// The PDF canvas: the plot engine draws onto a page of a PdfDocument, so that a report's graphs are
// vectors and real text. A drawing of pixels is placed on the page with its top left corner at a point
// of the page and a scale in points per pixel; its texts are set in the document's fonts, bold from a
// weight of 600.
#pragma once

#include "analysis/canvas.h"
#include "interchange/pdf_document.h"

namespace interchange {

class PdfCanvas final : public analysis::Canvas {
public:
    // left and top: where the drawing's origin lies on the page (points, y upwards from the foot).
    PdfCanvas(PdfDocument& document, int page, double left, double top, double scale);
    ~PdfCanvas() override;
    PdfCanvas(const PdfCanvas&) = delete;
    PdfCanvas& operator=(const PdfCanvas&) = delete;

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

private:
    double x(double px) const { return left_ + px * scale_; }
    double y(double py) const { return top_ - py * scale_; }
    bool bold() const { return font_.weight >= 600; }
    double fontSize() const { return font_.height * scale_; }
    void strokeWithPen();
    void pushClip(const analysis::Rect& r);
    void popClip();

    PdfDocument& document_;
    int page_;
    double left_, top_, scale_;
    analysis::Pen pen_;
    analysis::Brush brush_;
    analysis::Font font_;
    analysis::Colour textColour_ = analysis::kBlack;
    unsigned align_ = analysis::kAlignLeft | analysis::kAlignTop;
    int clips_ = 0;  // graphics states saved for clips, the canvas's own and drawText's
    bool clipped_ = false;
};

}  // namespace interchange
