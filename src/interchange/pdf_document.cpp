// The PDF document on libharu.
#include "interchange/pdf_document.h"

#include <hpdf.h>

#include <cmath>

#include "common/string_printf.h"
#include "platform/files.h"

namespace interchange {
namespace {

constexpr const char* kRegularFace = "DejaVuSans.ttf";
constexpr const char* kBoldFace = "DejaVuSans-Bold.ttf";

// libharu reports failures through this handler; the first one is kept and ends the document's use.
void onError(HPDF_STATUS error, HPDF_STATUS detail, void* document) {
    static_cast<PdfDocument*>(document)->fail(
        common::stringPrintf("the PDF library failed (error 0x%04X, detail %u)", static_cast<unsigned>(error),
                             static_cast<unsigned>(detail)));
}

HPDF_Page pageOf(const PdfDocument& d, int index) { return static_cast<HPDF_Page>(d.page(index)); }
HPDF_Font fontOf(const PdfDocument& d, bool bold) { return static_cast<HPDF_Font>(d.font(bold)); }

}  // namespace

std::string shippedFontFolder() {
    std::string folder = platform::programFolder();
    for (int up = 0; up < 3 && !folder.empty(); ++up) {
        const std::string fonts = platform::joinPath(folder, "fonts");
        if (platform::fileExists(platform::joinPath(fonts, kRegularFace)) &&
            platform::fileExists(platform::joinPath(fonts, kBoldFace)))
            return fonts;
        const std::size_t cut = folder.find_last_of("/\\");
        folder = cut == std::string::npos || cut == 0 ? std::string() : folder.substr(0, cut);
    }
    return std::string();
}

PdfDocument::PdfDocument(const std::string& fontFolder) {
    HPDF_Doc doc = HPDF_New(onError, this);
    doc_ = doc;
    if (!doc) {
        fail("the PDF library could not start");
        return;
    }
    HPDF_SetCompressionMode(doc, HPDF_COMP_ALL);
    HPDF_UseUTFEncodings(doc);
    HPDF_SetCurrentEncoder(doc, "UTF-8");
    for (bool bold : {false, true}) {
        const std::string path = platform::joinPath(fontFolder, bold ? kBoldFace : kRegularFace);
        if (fontFolder.empty() || !platform::fileExists(path)) {
            fail("the font " + path + " that the program ships is missing");
            return;
        }
        const char* name = HPDF_LoadTTFontFromFile(doc, path.c_str(), HPDF_TRUE);
        HPDF_Font font = name ? HPDF_GetFont(doc, name, "UTF-8") : nullptr;
        if (!font) {
            fail("the font " + path + " could not be loaded");
            return;
        }
        (bold ? bold_ : regular_) = font;
    }
}

PdfDocument::~PdfDocument() {
    if (doc_) HPDF_Free(static_cast<HPDF_Doc>(doc_));
}

void PdfDocument::fail(const std::string& what) {
    if (error_.empty()) error_ = what;
}

int PdfDocument::addPage(double width, double height) {
    HPDF_Page page = ok() ? HPDF_AddPage(static_cast<HPDF_Doc>(doc_)) : nullptr;
    if (page) {
        HPDF_Page_SetWidth(page, static_cast<HPDF_REAL>(width));
        HPDF_Page_SetHeight(page, static_cast<HPDF_REAL>(height));
    }
    pages_.push_back(page);
    return pageCount() - 1;
}

// Measured on the font itself, so that no page's content is touched.
double PdfDocument::textWidth(const std::string& text, bool bold, double size) {
    if (!ok()) return 0;
    const HPDF_TextWidth width = HPDF_Font_TextWidth(fontOf(*this, bold), reinterpret_cast<const HPDF_BYTE*>(text.data()),
                                                     static_cast<HPDF_UINT>(text.size()));
    return width.width * size / 1000;
}

double PdfDocument::ascent(bool bold, double size) const {
    return ok() ? HPDF_Font_GetAscent(fontOf(*this, bold)) * size / 1000 : 0;
}

double PdfDocument::descent(bool bold, double size) const {
    return ok() ? HPDF_Font_GetDescent(fontOf(*this, bold)) * size / 1000 : 0;
}

void PdfDocument::text(int index, double x, double y, const std::string& text, bool bold, double size,
                       PdfColour colour, double degrees) {
    if (!ok() || text.empty()) return;
    HPDF_Page page = pageOf(*this, index);
    HPDF_Page_BeginText(page);
    HPDF_Page_SetFontAndSize(page, fontOf(*this, bold), static_cast<HPDF_REAL>(size));
    HPDF_Page_SetRGBFill(page, static_cast<HPDF_REAL>(colour.r), static_cast<HPDF_REAL>(colour.g),
                         static_cast<HPDF_REAL>(colour.b));
    const double turn = degrees * 3.14159265358979323846 / 180, c = std::cos(turn), s = std::sin(turn);
    HPDF_Page_SetTextMatrix(page, static_cast<HPDF_REAL>(c), static_cast<HPDF_REAL>(s), static_cast<HPDF_REAL>(-s),
                            static_cast<HPDF_REAL>(c), static_cast<HPDF_REAL>(x), static_cast<HPDF_REAL>(y));
    HPDF_Page_ShowText(page, text.c_str());
    HPDF_Page_EndText(page);
}

void PdfDocument::line(int index, double x1, double y1, double x2, double y2, double width, PdfColour colour,
                       double dash, double gap) {
    if (!ok()) return;
    HPDF_Page page = pageOf(*this, index);
    HPDF_Page_SetRGBStroke(page, static_cast<HPDF_REAL>(colour.r), static_cast<HPDF_REAL>(colour.g),
                           static_cast<HPDF_REAL>(colour.b));
    HPDF_Page_SetLineWidth(page, static_cast<HPDF_REAL>(width));
    const HPDF_UINT16 pattern[2] = {static_cast<HPDF_UINT16>(dash), static_cast<HPDF_UINT16>(gap)};
    HPDF_Page_SetDash(page, dash > 0 ? pattern : nullptr, dash > 0 ? 2 : 0, 0);
    HPDF_Page_MoveTo(page, static_cast<HPDF_REAL>(x1), static_cast<HPDF_REAL>(y1));
    HPDF_Page_LineTo(page, static_cast<HPDF_REAL>(x2), static_cast<HPDF_REAL>(y2));
    HPDF_Page_Stroke(page);
}

void PdfDocument::fillRect(int index, double x, double y, double width, double height, PdfColour colour) {
    if (!ok()) return;
    HPDF_Page page = pageOf(*this, index);
    HPDF_Page_SetRGBFill(page, static_cast<HPDF_REAL>(colour.r), static_cast<HPDF_REAL>(colour.g),
                         static_cast<HPDF_REAL>(colour.b));
    HPDF_Page_Rectangle(page, static_cast<HPDF_REAL>(x), static_cast<HPDF_REAL>(y), static_cast<HPDF_REAL>(width),
                        static_cast<HPDF_REAL>(height));
    HPDF_Page_Fill(page);
}

void PdfDocument::strokeRect(int index, double x, double y, double width, double height, double lineWidth,
                             PdfColour colour) {
    if (!ok()) return;
    HPDF_Page page = pageOf(*this, index);
    HPDF_Page_SetRGBStroke(page, static_cast<HPDF_REAL>(colour.r), static_cast<HPDF_REAL>(colour.g),
                           static_cast<HPDF_REAL>(colour.b));
    HPDF_Page_SetLineWidth(page, static_cast<HPDF_REAL>(lineWidth));
    HPDF_Page_SetDash(page, nullptr, 0, 0);
    HPDF_Page_Rectangle(page, static_cast<HPDF_REAL>(x), static_cast<HPDF_REAL>(y), static_cast<HPDF_REAL>(width),
                        static_cast<HPDF_REAL>(height));
    HPDF_Page_Stroke(page);
}

void PdfDocument::beginClip(int index, double x, double y, double width, double height) {
    if (!ok()) return;
    HPDF_Page page = pageOf(*this, index);
    HPDF_Page_GSave(page);
    HPDF_Page_Rectangle(page, static_cast<HPDF_REAL>(x), static_cast<HPDF_REAL>(y), static_cast<HPDF_REAL>(width),
                        static_cast<HPDF_REAL>(height));
    HPDF_Page_Clip(page);
    HPDF_Page_EndPath(page);
}

void PdfDocument::endClip(int index) {
    if (ok()) HPDF_Page_GRestore(pageOf(*this, index));
}

std::string PdfDocument::bytes() {
    HPDF_Doc doc = static_cast<HPDF_Doc>(doc_);
    if (!ok() || HPDF_SaveToStream(doc) != HPDF_OK) return std::string();
    std::string out(HPDF_GetStreamSize(doc), '\0');
    HPDF_UINT32 size = static_cast<HPDF_UINT32>(out.size());
    if (HPDF_ReadFromStream(doc, reinterpret_cast<HPDF_BYTE*>(out.data()), &size) != HPDF_OK && size == 0) {
        fail("the PDF file could not be made");
        return std::string();
    }
    out.resize(size);
    return ok() ? out : std::string();
}

}  // namespace interchange
