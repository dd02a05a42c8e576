// The SVG canvas. One-pixel lines are placed on pixel centres (half-pixel offsets) so that they come
// out as crisp as GDI's; texts are escaped for XML, and bytes that are not UTF-8 (texts written by the
// ANSI program) are taken as Latin-1 characters so that the document stays well-formed.
#include "analysis/svg_canvas.h"

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <numbers>
#include <vector>

#include "common/utf8.h"
#include "common/xml_text.h"

namespace analysis {
namespace {

// Average character width of a face, as a fraction of the character height.
double averageWidthFactor(const std::string& face) {
    static const struct {
        const char* face;
        double factor;
    } kFaces[] = {
        {"MS Shell Dlg", 0.56}, {"MS Shell Dlg 2", 0.56}, {"Tahoma", 0.56},     {"Arial", 0.55},
        {"Segoe UI", 0.55},     {"Verdana", 0.62},        {"Courier New", 0.60},
    };
    for (const auto& f : kFaces)
        if (face == f.face) return f.factor;
    return 0.58;
}

// The number of characters of text; a byte that does not start a valid UTF-8 sequence counts as one
// (it is drawn as the Latin-1 character of the same value).
int characterCount(std::string_view text) {
    int count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        char32_t cp;
        const std::size_t length = common::utf8Sequence(text, i, cp);
        i += length ? length : 1;
    }
    return count;
}

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    std::string s = text;
    if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
    if (s == "-0") s = "0";
    return s;
}

std::string colourText(Colour c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", redOf(c), greenOf(c), blueOf(c));
    return text;
}

int ascentOf(const Font& f) { return static_cast<int>(std::lround(f.height * 0.95)); }

// Splits at tabs.
std::vector<std::string_view> tabSegments(std::string_view line) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string_view::npos; start = tab + 1)
        parts.push_back(line.substr(start, tab - start));
    parts.push_back(line.substr(start));
    return parts;
}

}  // namespace

Size fixedTextExtent(const Font& font, std::string_view text) {
    const int characters = characterCount(text);
    const int weight = font.weight < 100 ? 400 : font.weight;
    const double charWidth = averageWidthFactor(font.face) * font.height * (1.0 + (weight - 400) / 3000.0);
    return {static_cast<int>(std::lround(characters * charWidth)), static_cast<int>(std::lround(font.height * 1.2))};
}

SvgCanvas::SvgCanvas(int width, int height) : width_(width), height_(height) {}

std::string SvgCanvas::strokeAttributes() const {
    std::string a = " stroke=\"" + colourText(pen_.colour) + "\" stroke-width=\"" + std::to_string(pen_.width) + "\"";
    if (pen_.style == PenStyle::Dash) a += " stroke-dasharray=\"18,6\"";
    else if (pen_.style == PenStyle::Dot) a += " stroke-dasharray=\"3,3\"";
    return a;
}

void SvgCanvas::line(Point from, Point to) {
    const double o = pen_.width % 2 ? 0.5 : 0.0;
    body_ += "<line x1=\"" + number(from.x + o) + "\" y1=\"" + number(from.y + o) + "\" x2=\"" + number(to.x + o) +
             "\" y2=\"" + number(to.y + o) + "\"" + strokeAttributes() + "/>\n";
}

void SvgCanvas::polyline(const std::vector<Point>& points) {
    if (points.size() < 2) return;
    const double o = pen_.width % 2 ? 0.5 : 0.0;
    body_ += "<polyline fill=\"none\" stroke-linejoin=\"round\"" + strokeAttributes() + " points=\"";
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i) body_ += ' ';
        body_ += number(points[i].x + o) + "," + number(points[i].y + o);
    }
    body_ += "\"/>\n";
}

void SvgCanvas::rectangle(const Rect& r) {
    if (r.width() <= 0 || r.height() <= 0) return;
    body_ += "<rect x=\"" + number(r.left + 0.5) + "\" y=\"" + number(r.top + 0.5) + "\" width=\"" +
             number(r.width() - 1) + "\" height=\"" + number(r.height() - 1) + "\" fill=\"" +
             (brush_.hollow ? std::string("none") : colourText(brush_.colour)) + "\"" + strokeAttributes() + "/>\n";
}

void SvgCanvas::ellipse(const Rect& r) {
    if (r.width() <= 0 || r.height() <= 0) return;
    body_ += "<ellipse cx=\"" + number((r.left + r.right) / 2.0) + "\" cy=\"" + number((r.top + r.bottom) / 2.0) +
             "\" rx=\"" + number((r.width() - 1) / 2.0) + "\" ry=\"" + number((r.height() - 1) / 2.0) + "\" fill=\"" +
             (brush_.hollow ? std::string("none") : colourText(brush_.colour)) + "\"" + strokeAttributes() + "/>\n";
}

void SvgCanvas::fillRect(const Rect& r, Colour colour) {
    if (r.width() <= 0 || r.height() <= 0) return;
    body_ += "<rect x=\"" + number(r.left) + "\" y=\"" + number(r.top) + "\" width=\"" + number(r.width()) +
             "\" height=\"" + number(r.height()) + "\" fill=\"" + colourText(colour) + "\"/>\n";
}

void SvgCanvas::frameRect(const Rect& r, Colour colour) {
    if (r.width() <= 0 || r.height() <= 0) return;
    body_ += "<rect x=\"" + number(r.left + 0.5) + "\" y=\"" + number(r.top + 0.5) + "\" width=\"" +
             number(r.width() - 1) + "\" height=\"" + number(r.height() - 1) + "\" fill=\"none\" stroke=\"" +
             colourText(colour) + "\" stroke-width=\"1\"/>\n";
}

void SvgCanvas::textElement(double x, double y, const char* anchor, std::string_view text) {
    // The fallback faces are about as wide as the measuring metrics assume.
    body_ += "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" font-family=\"'" + common::xmlEscape(font_.face) +
             "', Tahoma, 'DejaVu Sans Condensed', sans-serif\" font-size=\"" + std::to_string(font_.height) + "\"";
    if (font_.weight != 400) body_ += " font-weight=\"" + std::to_string(font_.weight) + "\"";
    body_ += " fill=\"" + colourText(textColour_) + "\"";
    if (std::string_view(anchor) != "start") body_ += std::string(" text-anchor=\"") + anchor + "\"";
    if (font_.escapement % 3600 != 0)
        body_ += " transform=\"rotate(" + number(-font_.escapement / 10.0) + " " + number(x) + " " + number(y) + ")\"";
    body_ += ">" + common::xmlEscape(text) + "</text>\n";
}

void SvgCanvas::textOut(Point at, const std::string& text) {
    const Size extent = textExtent(text);
    double baseline = at.y + ascentOf(font_);
    if ((align_ & kAlignVerticalMask) == kAlignBaseline) baseline = at.y;
    else if ((align_ & kAlignVerticalMask) == kAlignBottom) baseline = at.y - (extent.cy - ascentOf(font_));
    const unsigned h = align_ & kAlignHorizontalMask;
    const char* anchor = h == kAlignCenter ? "middle" : h == kAlignRight ? "end" : "start";
    if (font_.escapement % 3600 == 0) {
        textElement(at.x, baseline, anchor, text);
        return;
    }
    // Turned text: the baseline lies the same distance from the reference point, along the text's own
    // downward direction; the element turns about its baseline point.
    const double angle = font_.escapement / 10.0 * std::numbers::pi / 180.0;
    const double down = baseline - at.y;
    textElement(at.x + down * std::sin(angle), at.y + down * std::cos(angle), anchor, text);
}

void SvgCanvas::drawText(const Rect& box, const std::string& text, unsigned format) {
    std::vector<std::string_view> lines;
    std::string single;
    if (format & kTextSingleLine) {
        single = text;
        for (char& c : single)
            if (c == '\n' || c == '\r') c = ' ';
        lines.push_back(single);
    } else {
        std::string_view rest = text;
        for (std::size_t nl; (nl = rest.find('\n')) != std::string_view::npos; rest = rest.substr(nl + 1))
            lines.push_back(rest.substr(0, nl));
        lines.push_back(rest);
    }
    const int lineHeight = textExtent("x").cy;
    int top = box.top;
    if (format & kTextSingleLine) {
        if (format & kTextVCenter) top = box.top + (box.height() - lineHeight) / 2;
        else if (format & kTextBottom) top = box.bottom - lineHeight;
    }
    // GDI's default tab stops: every eight average character widths.
    const int tabWidth = std::max(1, textExtent(std::string(8, 'x')).cx);

    bool overflows = static_cast<int>(lines.size()) * lineHeight > box.height();
    std::vector<int> widths;
    for (auto line : lines) {
        int w = 0;
        if (format & kTextExpandTabs) {
            auto parts = tabSegments(line);
            for (std::size_t p = 0; p < parts.size(); ++p) {
                if (p) w = (w / tabWidth + 1) * tabWidth;
                w += textExtent(std::string(parts[p])).cx;
            }
        } else {
            w = textExtent(std::string(line)).cx;
        }
        widths.push_back(w);
        if (w > box.width()) overflows = true;
    }
    // A nested group, so that the box clips within any clipping rectangle already set.
    const bool clip = overflows && !(format & kTextNoClip);
    if (clip) body_ += clipGroupStart(box);

    const int ascent = ascentOf(font_);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const double baseline = top + static_cast<int>(i) * lineHeight + ascent;
        const bool tabs = (format & kTextExpandTabs) && lines[i].find('\t') != std::string_view::npos;
        if (!tabs) {
            if (format & kTextCenter) textElement((box.left + box.right) / 2.0, baseline, "middle", lines[i]);
            else if (format & kTextRight) textElement(box.right, baseline, "end", lines[i]);
            else textElement(box.left, baseline, "start", lines[i]);
            continue;
        }
        int x = box.left;
        if (format & kTextCenter) x = box.left + (box.width() - widths[i]) / 2;
        else if (format & kTextRight) x = box.right - widths[i];
        int offset = 0;
        auto parts = tabSegments(lines[i]);
        for (std::size_t p = 0; p < parts.size(); ++p) {
            if (p) offset = (offset / tabWidth + 1) * tabWidth;
            if (!parts[p].empty()) textElement(x + offset, baseline, "start", parts[p]);
            offset += textExtent(std::string(parts[p])).cx;
        }
    }
    if (clip) body_ += "</g>\n";
}

std::string SvgCanvas::clipGroupStart(const Rect& r) {
    const std::string id = "clip" + std::to_string(++clipCount_);
    return "<clipPath id=\"" + id + "\"><rect x=\"" + number(r.left) + "\" y=\"" + number(r.top) + "\" width=\"" +
           number(std::max(0, r.width())) + "\" height=\"" + number(std::max(0, r.height())) +
           "\"/></clipPath>\n<g clip-path=\"url(#" + id + ")\">\n";
}

void SvgCanvas::setClipRect(const Rect& r) {
    clearClip();
    body_ += clipGroupStart(r);
    clipOpen_ = true;
}

void SvgCanvas::clearClip() {
    if (!clipOpen_) return;
    body_ += "</g>\n";
    clipOpen_ = false;
}

std::string SvgCanvas::document() const {
    std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
                      "version=\"1.1\" width=\"" +
                      std::to_string(width_) + "\" height=\"" + std::to_string(height_) + "\" viewBox=\"0 0 " +
                      std::to_string(width_) + " " + std::to_string(height_) + "\" xml:space=\"preserve\">\n";
    doc += body_;
    if (clipOpen_) doc += "</g>\n";
    doc += "</svg>\n";
    return doc;
}

}  // namespace analysis
