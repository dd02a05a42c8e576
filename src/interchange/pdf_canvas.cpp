// The PDF canvas on libharu's page operators.
#include "interchange/pdf_canvas.h"

#include <hpdf.h>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace interchange {
namespace {

using namespace analysis;

PdfColour colourOf(Colour c) { return {redOf(c) / 255.0, greenOf(c) / 255.0, blueOf(c) / 255.0}; }

HPDF_REAL real(double v) { return static_cast<HPDF_REAL>(v); }

std::vector<std::string> linesOf(const std::string& text, unsigned format) {
    std::string t = text;
    if (format & kTextExpandTabs) {
        std::string expanded;
        for (char c : t) expanded += c == '\t' ? std::string("    ") : std::string(1, c);
        t = expanded;
    }
    std::vector<std::string> lines;
    if (format & kTextSingleLine) {
        std::replace(t.begin(), t.end(), '\n', ' ');
        lines.push_back(t);
        return lines;
    }
    std::istringstream in(t);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    if (lines.empty()) lines.push_back(std::string());
    return lines;
}

}  // namespace

PdfCanvas::PdfCanvas(PdfDocument& document, int page, double left, double top, double scale)
    : document_(document), page_(page), left_(left), top_(top), scale_(scale) {}

PdfCanvas::~PdfCanvas() {
    while (clips_ > 0) popClip();
}

void PdfCanvas::strokeWithPen() {
    if (!document_.ok()) return;
    HPDF_Page page = static_cast<HPDF_Page>(document_.page(page_));
    const PdfColour c = colourOf(pen_.colour);
    HPDF_Page_SetRGBStroke(page, real(c.r), real(c.g), real(c.b));
    HPDF_Page_SetLineWidth(page, real(std::max(pen_.width * scale_, 0.4)));
    static const HPDF_UINT16 kDash[] = {4, 2}, kDot[] = {1, 2};
    if (pen_.style == PenStyle::Solid) HPDF_Page_SetDash(page, nullptr, 0, 0);
    else HPDF_Page_SetDash(page, pen_.style == PenStyle::Dash ? kDash : kDot, 2, 0);
}

void PdfCanvas::line(Point from, Point to) { polyline({from, to}); }

void PdfCanvas::polyline(const std::vector<Point>& points) {
    if (points.size() < 2 || !document_.ok()) return;
    HPDF_Page page = static_cast<HPDF_Page>(document_.page(page_));
    strokeWithPen();
    HPDF_Page_MoveTo(page, real(x(points[0].x)), real(y(points[0].y)));
    for (std::size_t i = 1; i < points.size(); ++i) HPDF_Page_LineTo(page, real(x(points[i].x)), real(y(points[i].y)));
    HPDF_Page_Stroke(page);
}

namespace {

// A closed shape outlined in the pen and filled with the brush, as GDI's Rectangle and Ellipse paint.
template <class Path>
void paintShape(PdfDocument& document, int index, const Brush& brush, Path path) {
    if (!document.ok()) return;
    HPDF_Page page = static_cast<HPDF_Page>(document.page(index));
    if (!brush.hollow) {
        const PdfColour f = colourOf(brush.colour);
        HPDF_Page_SetRGBFill(page, real(f.r), real(f.g), real(f.b));
    }
    path(page);
    if (brush.hollow) HPDF_Page_Stroke(page);
    else HPDF_Page_FillStroke(page);
}

}  // namespace

void PdfCanvas::rectangle(const Rect& r) {
    strokeWithPen();
    paintShape(document_, page_, brush_, [&](HPDF_Page page) {
        HPDF_Page_Rectangle(page, real(x(r.left)), real(y(r.bottom)), real(r.width() * scale_), real(r.height() * scale_));
    });
}

void PdfCanvas::ellipse(const Rect& r) {
    strokeWithPen();
    paintShape(document_, page_, brush_, [&](HPDF_Page page) {
        HPDF_Page_Ellipse(page, real(x((r.left + r.right) / 2.0)), real(y((r.top + r.bottom) / 2.0)),
                          real(r.width() * scale_ / 2), real(r.height() * scale_ / 2));
    });
}

void PdfCanvas::fillRect(const Rect& r, Colour colour) {
    document_.fillRect(page_, x(r.left), y(r.bottom), r.width() * scale_, r.height() * scale_, colourOf(colour));
}

void PdfCanvas::frameRect(const Rect& r, Colour colour) {
    const double half = scale_ / 2;
    document_.strokeRect(page_, x(r.left) + half, y(r.bottom) + half, r.width() * scale_ - scale_,
                         r.height() * scale_ - scale_, scale_, colourOf(colour));
}

// The text's baseline start from its reference point, as SetTextAlign places it, turned with the
// font's escapement.
void PdfCanvas::textOut(Point at, const std::string& text) {
    const double size = fontSize(), width = document_.textWidth(text, bold(), size);
    double along = 0, up = 0;
    switch (align_ & kAlignHorizontalMask) {
    case kAlignRight: along = -width; break;
    case kAlignCenter: along = -width / 2; break;
    default: break;
    }
    switch (align_ & kAlignVerticalMask) {
    case kAlignBaseline: break;
    case kAlignBottom: up = -document_.descent(bold(), size); break;
    default: up = -document_.ascent(bold(), size); break;
    }
    const double degrees = font_.escapement / 10.0, turn = degrees * 3.14159265358979323846 / 180;
    const double c = std::cos(turn), s = std::sin(turn);
    document_.text(page_, x(at.x) + along * c - up * s, y(at.y) + along * s + up * c, text, bold(), size,
                   colourOf(textColour_), degrees);
}

void PdfCanvas::drawText(const Rect& box, const std::string& text, unsigned format) {
    const double size = fontSize(), ascent = document_.ascent(bold(), size), descent = document_.descent(bold(), size);
    const std::vector<std::string> lines = linesOf(text, format);
    const double lineHeight = (ascent - descent) * 1.1;
    double baseline = y(box.top) - ascent;  // the first line's, in points
    if (format & kTextSingleLine) {
        if (format & kTextVCenter) baseline = (y(box.top) + y(box.bottom)) / 2 - (ascent + descent) / 2;
        else if (format & kTextBottom) baseline = y(box.bottom) - descent;
    }
    const bool clip = !(format & kTextNoClip);
    if (clip) pushClip(box);
    for (const std::string& line : lines) {
        const double width = document_.textWidth(line, bold(), size);
        double left = x(box.left);
        if (format & kTextCenter) left = (x(box.left) + x(box.right)) / 2 - width / 2;
        else if (format & kTextRight) left = x(box.right) - width;
        document_.text(page_, left, baseline, line, bold(), size, colourOf(textColour_));
        baseline -= lineHeight;
    }
    if (clip) popClip();
}

Size PdfCanvas::textExtent(const std::string& text) {
    const double size = fontSize();
    const double width = document_.textWidth(text, bold(), size);
    const double height = document_.ascent(bold(), size) - document_.descent(bold(), size);
    return {static_cast<int>(std::lround(width / scale_)), static_cast<int>(std::lround(height / scale_))};
}

void PdfCanvas::pushClip(const Rect& r) {
    if (!document_.ok()) return;
    HPDF_Page page = static_cast<HPDF_Page>(document_.page(page_));
    HPDF_Page_GSave(page);
    HPDF_Page_Rectangle(page, real(x(r.left)), real(y(r.bottom)), real(r.width() * scale_), real(r.height() * scale_));
    HPDF_Page_Clip(page);
    HPDF_Page_EndPath(page);
    ++clips_;
}

void PdfCanvas::popClip() {
    if (clips_ == 0) return;
    if (document_.ok()) HPDF_Page_GRestore(static_cast<HPDF_Page>(document_.page(page_)));
    --clips_;
}

// One clip of the canvas's own at a time: a new one replaces the last.
void PdfCanvas::setClipRect(const Rect& r) {
    clearClip();
    pushClip(r);
    clipped_ = true;
}

void PdfCanvas::clearClip() {
    if (!clipped_) return;
    popClip();
    clipped_ = false;
}

}  // namespace interchange
