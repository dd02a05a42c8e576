// A PDF document made in memory with libharu: pages, the two embedded fonts the program ships
// (DejaVu Sans and its bold face, UTF-8 text with a ToUnicode map so that it can be searched and
// copied), and the few drawing operations a report and its canvas need. Coordinates are PDF points
// with y upwards from the page's foot, as libharu has them. One thread; not copyable.
#pragma once

#include <string>
#include <vector>

namespace interchange {

// The folder of the fonts the program ships: "fonts" beside the program or one or two folders
// above it (a build tree); "" when none of them holds both faces.
std::string shippedFontFolder();

// A colour of the page: red, green and blue from 0 to 1.
struct PdfColour {
    double r = 0, g = 0, b = 0;
};

class PdfDocument {
public:
    // A document whose fonts come from fontFolder (see shippedFontFolder); check ok() before use.
    explicit PdfDocument(const std::string& fontFolder);
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // False once anything failed (the fonts could not be loaded, libharu reported an error); error()
    // says what.
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // A new page of the size in points; its index. Pages are drawn on in any order until bytes().
    int addPage(double width, double height);
    int pageCount() const { return static_cast<int>(pages_.size()); }
    void* page(int index) const { return pages_[static_cast<std::size_t>(index)]; }

    // The width of one line of text in points.
    double textWidth(const std::string& text, bool bold, double size);
    // The font's ascent and descent (below the baseline, negative) in points.
    double ascent(bool bold, double size) const;
    double descent(bool bold, double size) const;

    // One line of text with its baseline's left end at (x, y), turned by degrees counter-clockwise.
    void text(int page, double x, double y, const std::string& text, bool bold, double size, PdfColour colour,
              double degrees = 0);
    // Lines and rectangles: stroked in width points (dash and gap lengths in points, none when 0), or
    // filled.
    void line(int page, double x1, double y1, double x2, double y2, double width, PdfColour colour,
              double dash = 0, double gap = 0);
    void fillRect(int page, double x, double y, double width, double height, PdfColour colour);
    void strokeRect(int page, double x, double y, double width, double height, double lineWidth, PdfColour colour);

    // Limits what is drawn on the page to a rectangle until endClip.
    void beginClip(int page, double x, double y, double width, double height);
    void endClip(int page);

    // The whole file; "" after a failure.
    std::string bytes();

    // The libharu handles, for the canvas.
    void* handle() const { return doc_; }
    void* font(bool bold) const { return bold ? bold_ : regular_; }
    void fail(const std::string& what);

private:
    void* doc_ = nullptr;
    void* regular_ = nullptr;
    void* bold_ = nullptr;
    std::vector<void*> pages_;
    std::string error_;
};

}  // namespace interchange
