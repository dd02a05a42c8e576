// The graphs' drawing surface on a Windows device context: each Canvas call is the GDI call of the
// same name, so the window, the bitmap file and the clipboard all get the very same pixels.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "analysis/canvas.h"

namespace gui {

// Draws on a device context owned by the caller, which must outlive the canvas. The canvas creates
// the pens, brushes and fonts it is asked for, keeps them for the rest of its life (one graph pass
// selects the same few over and over), and on destruction puts the context's original objects,
// colours, alignment, background mode and clipping back before deleting what it created.
// User-interface thread only, like the context itself.
//
// The face "MS Shell Dlg" stands for the system's interface font: the canvas takes the stock
// DEFAULT_GUI_FONT's face and character set and applies the requested height, weight and escapement.
class GdiCanvas final : public analysis::Canvas {
public:
    explicit GdiCanvas(HDC dc);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    HDC dc() const { return dc_; }

    void selectPen(const analysis::Pen& pen) override;
    void selectBrush(const analysis::Brush& brush) override;
    void selectFont(const analysis::Font& font) override;
    void setTextColour(analysis::Colour colour) override;
    void setTextAlign(unsigned align) override;

    void line(analysis::Point from, analysis::Point to) override;
    void polyline(const std::vector<analysis::Point>& points) override;
    void rectangle(const analysis::Rect& r) override;
    void ellipse(const analysis::Rect& r) override;
    void fillRect(const analysis::Rect& r, analysis::Colour colour) override;
    void frameRect(const analysis::Rect& r, analysis::Colour colour) override;

    void textOut(analysis::Point at, const std::string& text) override;
    void drawText(const analysis::Rect& box, const std::string& text, unsigned format) override;
    analysis::Size textExtent(const std::string& text) override;

    // The clip is the rectangle within whatever clipping the context had when the canvas was made
    // (a paint's update region, say); clearClip returns to that original clipping.
    void setClipRect(const analysis::Rect& r) override;
    void clearClip() override;

    // How many GDI objects the canvas has created so far (for tests of the caches).
    int objectsCreated() const { return objectsCreated_; }

private:
    using PenKey = std::tuple<analysis::Colour, int, int>;
    using FontKey = std::tuple<std::string, int, int, int>;

    HBRUSH solidBrush(analysis::Colour colour);
    // Deletes the cached objects of one kind except the one now selected, when there are many.
    template <typename Map>
    void trim(Map& cache, HGDIOBJ selected);

    HDC dc_;
    int savedState_ = 0;           // SaveDC's level, for RestoreDC
    HGDIOBJ originalPen_ = nullptr, originalBrush_ = nullptr, originalFont_ = nullptr;
    HGDIOBJ currentPen_ = nullptr, currentBrush_ = nullptr, currentFont_ = nullptr;
    HRGN originalClip_ = nullptr;  // the context's own clipping region, or none
    std::map<PenKey, HPEN> pens_;
    std::map<analysis::Colour, HBRUSH> brushes_;
    std::map<FontKey, HFONT> fonts_;
    int objectsCreated_ = 0;
};

}  // namespace gui
