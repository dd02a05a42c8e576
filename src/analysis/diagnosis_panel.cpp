// The diagnosis results panel and the diagnosis view.
#include "analysis/diagnosis_panel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "common/utf8.h"

namespace analysis {
namespace {

constexpr int kCellCount = 6;
constexpr int kPanelHeight = 30;

struct BoxColours {
    Colour top, bottom;
};

BoxColours coloursOf(GradientBox box) {
    switch (box) {
    case GradientBox::Red: return {rgb(255, 0, 0), rgb(255, 150, 150)};
    case GradientBox::Orange: return {rgb(247, 130, 27), rgb(255, 230, 205)};
    case GradientBox::Yellow: return {rgb(255, 255, 51), rgb(255, 255, 220)};
    default: return {rgb(0, 255, 0), rgb(200, 255, 200)};
    }
}

// A class code outside the known ones is shown as unknown rather than as nothing.
int shownClass(int classCode) {
    return classCode >= kNoDiagnosis && classCode <= kSevereDeformation ? classCode : kUnknownDiagnosis;
}

Colour verdictColour(int classCode, Colour ordinary) {
    switch (classCode) {
    case kNormalWinding: return rgb(0, 255, 0);
    case kGentleDeformation: return rgb(247, 130, 27);
    case kObviousDeformation:
    case kSevereDeformation: return rgb(255, 0, 0);
    default: return ordinary;
    }
}

// One cell: its frame, its optional box, its label in the upper half and its value in the lower.
struct Cell {
    Rect frame;
    Rect upper, lower;
};

void drawText(Canvas& canvas, const Rect& r, const std::string& text, Colour colour, int weight, unsigned align) {
    canvas.selectFont(interfaceFont(weight));
    canvas.setTextColour(colour);
    canvas.drawText(r, text, align | kTextVCenter | kTextSingleLine);
}

// The cell frames of a panel at (x, y), width wide: six cells in the strip less its border.
std::array<Rect, kCellCount> cellFrames(int x, int y, int width) {
    const int c = width / kCellCount;
    const Rect inner = Rect{x, y, x + width, y + kPanelHeight}.inflated(1).inflated(-2);
    std::array<Rect, kCellCount> frames;
    for (int e = 0; e < kCellCount; ++e)
        frames[e] = {x + e * c + 1, inner.top, x + (e + 1) * c + (e == kCellCount - 1 ? 1 : 0), inner.bottom};
    return frames;
}

}  // namespace

GradientBox classBox(int classCode) {
    switch (classCode) {
    case kNormalWinding: return GradientBox::Green;
    case kGentleDeformation: return GradientBox::Yellow;
    case kObviousDeformation: return GradientBox::Orange;
    case kSevereDeformation: return GradientBox::Red;
    default: return GradientBox::None;
    }
}

GradientBox bandBox(int band, double rxy) {
    if (!std::isfinite(rxy)) return GradientBox::None;
    if (rxy < 0.6) return GradientBox::Red;
    if (band == kRLF && rxy < 1.0) return GradientBox::Orange;
    if ((band == kRLF || band == kRMF) && rxy >= 1.0 && rxy < 2.0) return GradientBox::Yellow;
    return GradientBox::Green;
}

std::string bandValueText(double rxy) {
    if (!std::isfinite(rxy)) return "N/A";
    char text[64];
    std::snprintf(text, sizeof text, "%0.4f", rxy);
    return text;
}

void drawGradient(Canvas& canvas, const Rect& r, Colour top, Colour bottom) {
    const int height = r.height();
    if (height <= 0 || r.width() <= 0) return;
    const int band = (height + 9) / 10;
    for (int i = 0; i < 10; ++i) {
        const int y = r.top + i * band;
        if (y >= r.bottom) break;
        const Colour c = rgb(redOf(top) + i * (redOf(bottom) - redOf(top)) / 10,
                             greenOf(top) + i * (greenOf(bottom) - greenOf(top)) / 10,
                             blueOf(top) + i * (blueOf(bottom) - blueOf(top)) / 10);
        canvas.fillRect({r.left, y, r.right, std::min(y + band, r.bottom)}, c);
    }
}

void DrawDiagnosisPanel(Canvas& canvas, const DiagnosisPanelData& panel, const GraphSettings& settings, int x, int y,
                        int width) {
    const int c = width / kCellCount;
    const Colour background = backgroundColour(settings), ordinary = textColour(settings);
    const Colour frame = frameColour(settings);

    Rect strip = Rect{x, y, x + width, y + kPanelHeight}.inflated(1);
    strip.right = strip.left + kCellCount * c + 4;
    canvas.fillRect(strip, background);
    canvas.frameRect(strip, frame);

    const std::array<Rect, kCellCount> frames = cellFrames(x, y, width);
    Cell cells[kCellCount];
    for (int e = 0; e < kCellCount; ++e) {
        Cell& cell = cells[e];
        cell.frame = frames[e];
        canvas.frameRect(cell.frame, frame);
        const int middle = cell.frame.top + cell.frame.height() / 2;
        cell.upper = {cell.frame.left + 6, cell.frame.top, cell.frame.right - 6, middle};
        cell.lower = {cell.frame.left + 6, middle, cell.frame.right - 6, cell.frame.bottom};
    }

    // A labelled cell, its value on a gradient box when one is given.
    auto labelled = [&](int e, const char* label, const std::string& value, GradientBox box, Colour valueColour) {
        Colour labelColour = ordinary;
        if (box != GradientBox::None) {
            const BoxColours colours = coloursOf(box);
            drawGradient(canvas, cells[e].frame.inflated(-1), colours.top, colours.bottom);
            labelColour = valueColour = box == GradientBox::Red ? kWhite : kBlack;
        }
        drawText(canvas, cells[e].upper, label, labelColour, 400, kTextLeft);
        drawText(canvas, cells[e].lower, value, valueColour, 700, kTextLeft);
    };

    const int classCode = shownClass(panel.result.classCode);
    if (classCode == kNoDiagnosis) {
        static const char* const kNone = "No Diagnosis Info.";
        labelled(0, "Diagnosis:", kNone, GradientBox::None, ordinary);
        drawText(canvas, cells[1].upper, "No Sweep Selected", ordinary, 700, kTextCenter);
        drawText(canvas, cells[1].lower, "No Sweep Selected", ordinary, 700, kTextCenter);
        labelled(2, "Results:", kNone, GradientBox::None, ordinary);
        for (int band = 0; band < kBandCount; ++band)
            labelled(3 + band, bandLabel(band), kNone, GradientBox::None, ordinary);
        return;
    }
    labelled(0, "Diagnosis:", verdictText(classCode), GradientBox::None, verdictColour(classCode, ordinary));
    canvas.selectFont(interfaceFont(700));
    for (const auto& [box, name] : {std::pair{cells[1].upper, &panel.fingerprintName},
                                    std::pair{cells[1].lower, &panel.diagnosedName}})
        drawText(canvas, box, fittedText(canvas, *name, box.width()), ordinary, 700, kTextCenter);
    labelled(2, "Results:", classText(classCode), classBox(classCode), ordinary);
    for (int band = 0; band < kBandCount; ++band) {
        const double rxy = panel.result.bands[band].Rxy;
        labelled(3 + band, bandLabel(band), bandValueText(rxy), bandBox(band, rxy), ordinary);
    }
}

Rect diagnosisNamesCell(int x, int y, int width) { return cellFrames(x, y, width)[1]; }

std::string fittedText(Canvas& canvas, const std::string& text, int width) {
    if (canvas.textExtent(text).cx <= width) return text;
    // The starts that end on a whole character, longest first.
    std::vector<std::size_t> ends;
    char32_t c = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = common::utf8Sequence(text, i, c);
        i += n ? n : 1;
        ends.push_back(i);
    }
    for (auto end = ends.rbegin(); end != ends.rend(); ++end) {
        const std::string shortened = text.substr(0, *end) + "...";
        if (canvas.textExtent(shortened).cx <= width) return shortened;
    }
    return "...";
}

void applyDiagnosisView(GraphSettings& settings, AxisRanges& ranges, int fingerprintSlot, int diagnosedSlot) {
    settings.frequencyScaling = kScaleManual;
    ranges.frequencyMin = 1000;
    ranges.frequencyMax = 1000000;
    settings.logFrequency = true;
    settings.leftCursorVisible = settings.rightCursorVisible = false;
    for (int i = 0; i < kMaxSweeps; ++i) {
        settings.plots[i].rightVisible = false;
        settings.plots[i].leftVisible = i == fingerprintSlot || i == diagnosedSlot;
    }
}

void restoreGraphView(const SavedGraphView& saved, GraphSettings& settings, AxisRanges& ranges) {
    if (saved.whole) {
        settings = saved.settings;
        ranges = saved.ranges;
        return;
    }
    settings.frequencyScaling = saved.settings.frequencyScaling;
    settings.logFrequency = saved.settings.logFrequency;
    settings.leftCursorVisible = saved.settings.leftCursorVisible;
    settings.rightCursorVisible = saved.settings.rightCursorVisible;
    ranges.frequencyMin = saved.ranges.frequencyMin;
    ranges.frequencyMax = saved.ranges.frequencyMax;
    for (std::size_t i = 0; i < settings.plots.size(); ++i) {
        settings.plots[i].leftVisible = saved.settings.plots[i].leftVisible;
        settings.plots[i].rightVisible = saved.settings.plots[i].rightVisible;
    }
}

}  // namespace analysis
