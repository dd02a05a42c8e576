// The GDI canvas: a direct wrapper of the GDI calls, with the objects it creates cached per canvas.
#include "gui/gdi_canvas.h"

#include <algorithm>
#include <cstring>

#include "platform/win32/wide_text.h"

namespace gui {

using namespace analysis;
using platform::win32::WideString;
using platform::win32::widen;

namespace {

// A canvas normally lives for one drawing pass and needs a handful of objects; past this many of one
// kind (a caller drawing many colours on one canvas) the unused ones are given back.
constexpr std::size_t kCacheLimit = 64;

// The system's interface font, as the graphs name it.
constexpr const char* kInterfaceFace = "MS Shell Dlg";

int penStyleOf(PenStyle style) {
    switch (style) {
    case PenStyle::Solid: return PS_SOLID;
    case PenStyle::Dash: return PS_DASH;
    case PenStyle::Dot: return PS_DOT;
    }
    return PS_SOLID;
}

RECT toRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

GdiCanvas::GdiCanvas(HDC dc) : dc_(dc) {
    originalPen_ = GetCurrentObject(dc_, OBJ_PEN);
    originalBrush_ = GetCurrentObject(dc_, OBJ_BRUSH);
    originalFont_ = GetCurrentObject(dc_, OBJ_FONT);
    savedState_ = SaveDC(dc_);
    originalClip_ = CreateRectRgn(0, 0, 0, 0);
    if (originalClip_ && GetClipRgn(dc_, originalClip_) != 1) {
        DeleteObject(originalClip_);
        originalClip_ = nullptr;
    }
    SetBkMode(dc_, TRANSPARENT);
    SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

GdiCanvas::~GdiCanvas() {
    // Nothing the canvas made may stay selected when it is deleted.
    if (originalPen_) SelectObject(dc_, originalPen_);
    if (originalBrush_) SelectObject(dc_, originalBrush_);
    if (originalFont_) SelectObject(dc_, originalFont_);
    if (savedState_) RestoreDC(dc_, savedState_);
    else SelectClipRgn(dc_, originalClip_);
    for (auto& [key, pen] : pens_) DeleteObject(pen);
    for (auto& [key, brush] : brushes_) DeleteObject(brush);
    for (auto& [key, font] : fonts_) DeleteObject(font);
    if (originalClip_) DeleteObject(originalClip_);
}

template <typename Map>
void GdiCanvas::trim(Map& cache, HGDIOBJ selected) {
    if (cache.size() < kCacheLimit) return;
    for (auto it = cache.begin(); it != cache.end();) {
        if (it->second == selected) {
            ++it;
        } else {
            DeleteObject(it->second);
            it = cache.erase(it);
        }
    }
}

void GdiCanvas::selectPen(const Pen& pen) {
    const PenKey key{pen.colour, pen.width, static_cast<int>(pen.style)};
    auto found = pens_.find(key);
    if (found == pens_.end()) {
        trim(pens_, currentPen_);
        HPEN made = CreatePen(penStyleOf(pen.style), std::max(0, pen.width), pen.colour);
        if (!made) return;
        ++objectsCreated_;
        found = pens_.emplace(key, made).first;
    }
    currentPen_ = found->second;
    SelectObject(dc_, found->second);
}

HBRUSH GdiCanvas::solidBrush(Colour colour) {
    auto found = brushes_.find(colour);
    if (found != brushes_.end()) return found->second;
    trim(brushes_, currentBrush_);
    HBRUSH made = CreateSolidBrush(colour);
    if (!made) return nullptr;
    ++objectsCreated_;
    brushes_.emplace(colour, made);
    return made;
}

void GdiCanvas::selectBrush(const Brush& brush) {
    HGDIOBJ chosen = brush.hollow ? GetStockObject(NULL_BRUSH) : solidBrush(brush.colour);
    if (!chosen) return;
    currentBrush_ = chosen;
    SelectObject(dc_, chosen);
}

void GdiCanvas::selectFont(const Font& font) {
    const FontKey key{font.face, font.height, font.weight, font.escapement};
    auto found = fonts_.find(key);
    if (found == fonts_.end()) {
        LOGFONTW lf{};
        if (font.face == kInterfaceFace) {
            GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
        } else {
            lf.lfCharSet = DEFAULT_CHARSET;
            const WideString face = widen(font.face);
            const std::size_t n = std::min<std::size_t>(face.length(), LF_FACESIZE - 1);
            std::memcpy(lf.lfFaceName, face.c_str(), n * sizeof(WCHAR));
            lf.lfFaceName[n] = 0;
        }
        lf.lfHeight = -font.height;
        lf.lfWidth = 0;
        lf.lfWeight = font.weight;
        lf.lfEscapement = font.escapement;
        lf.lfOrientation = font.escapement;
        lf.lfItalic = lf.lfUnderline = lf.lfStrikeOut = FALSE;
        // Turned text needs an outline font.
        if (font.escapement % 3600 != 0) lf.lfOutPrecision = OUT_TT_PRECIS;
        trim(fonts_, currentFont_);
        HFONT made = CreateFontIndirectW(&lf);
        if (!made) return;
        ++objectsCreated_;
        found = fonts_.emplace(key, made).first;
    }
    currentFont_ = found->second;
    SelectObject(dc_, found->second);
}

void GdiCanvas::setTextColour(Colour colour) { SetTextColor(dc_, colour); }

void GdiCanvas::setTextAlign(unsigned align) {
    // Only the placement flags: updating the current position would move later lines and texts.
    SetTextAlign(dc_, (align & (kAlignHorizontalMask | kAlignVerticalMask)) | TA_NOUPDATECP);
}

void GdiCanvas::line(Point from, Point to) {
    MoveToEx(dc_, from.x, from.y, nullptr);
    LineTo(dc_, to.x, to.y);
}

void GdiCanvas::polyline(const std::vector<Point>& points) {
    if (points.size() < 2) return;
    std::vector<POINT> gdiPoints;
    gdiPoints.reserve(points.size());
    for (const Point& p : points) gdiPoints.push_back(POINT{p.x, p.y});
    Polyline(dc_, gdiPoints.data(), static_cast<int>(gdiPoints.size()));
}

void GdiCanvas::rectangle(const Rect& r) { Rectangle(dc_, r.left, r.top, r.right, r.bottom); }

void GdiCanvas::ellipse(const Rect& r) { Ellipse(dc_, r.left, r.top, r.right, r.bottom); }

void GdiCanvas::fillRect(const Rect& r, Colour colour) {
    const RECT rc = toRect(r);
    if (HBRUSH brush = solidBrush(colour)) FillRect(dc_, &rc, brush);
}

void GdiCanvas::frameRect(const Rect& r, Colour colour) {
    const RECT rc = toRect(r);
    if (HBRUSH brush = solidBrush(colour)) FrameRect(dc_, &rc, brush);
}

void GdiCanvas::textOut(Point at, const std::string& text) {
    const WideString wide = widen(text);
    TextOutW(dc_, at.x, at.y, wide.c_str(), wide.length());
}

void GdiCanvas::drawText(const Rect& box, const std::string& text, unsigned format) {
    const WideString wide = widen(text);
    RECT rc = toRect(box);
    // DrawText places its lines itself, but its output still follows the text alignment; and an
    // ampersand in a sweep's name is part of the name, not a mnemonic marker.
    const UINT previousAlign = SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    DrawTextW(dc_, wide.c_str(), wide.length(), &rc, format | DT_NOPREFIX);
    if (previousAlign != GDI_ERROR) SetTextAlign(dc_, previousAlign);
}

Size GdiCanvas::textExtent(const std::string& text) {
    const WideString wide = widen(text);
    SIZE size{0, 0};
    if (!GetTextExtentPoint32W(dc_, wide.c_str(), wide.length(), &size)) return {};
    return {size.cx, size.cy};
}

void GdiCanvas::setClipRect(const Rect& r) {
    // Regions are in device units; the rectangle is in the context's logical ones.
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    LPtoDP(dc_, corners, 2);
    HRGN region = CreateRectRgn(std::min(corners[0].x, corners[1].x), std::min(corners[0].y, corners[1].y),
                                std::max(corners[0].x, corners[1].x), std::max(corners[0].y, corners[1].y));
    if (!region) return;
    if (originalClip_) CombineRgn(region, region, originalClip_, RGN_AND);
    SelectClipRgn(dc_, region);
    DeleteObject(region);
}

void GdiCanvas::clearClip() { SelectClipRgn(dc_, originalClip_); }

}  // namespace gui
