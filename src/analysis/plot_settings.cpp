// The palette, the default graph settings and the impedance quantities.
#include "analysis/plot_settings.h"

#include <algorithm>

namespace analysis {

const std::array<PaletteEntry, kPaletteSize> PlotPalette = {{
    {"Crimson", rgb(220, 20, 60)},    {"Hot Pink", rgb(255, 105, 180)},   {"Royal Blue", rgb(58, 95, 205)},
    {"Steel Blue", rgb(99, 184, 255)}, {"Emerald Green", rgb(0, 201, 87)}, {"Olive", rgb(107, 142, 35)},
    {"Khaki", rgb(238, 230, 133)},    {"Gold", rgb(255, 215, 0)},         {"Orange", rgb(255, 150, 0)},
    {"Coral", rgb(205, 91, 69)},      {"Peach", rgb(255, 218, 185)},      {"Salmon", rgb(198, 113, 113)},
    {"Chocolate", rgb(139, 69, 19)},  {"Tan", rgb(205, 133, 63)},         {"Beet", rgb(142, 56, 142)},
    {"Indigo", rgb(75, 0, 130)},      {"Turquoise", rgb(0, 197, 205)},    {"Orchid", rgb(255, 131, 250)},
}};

std::array<PlotSettings, kMaxSweeps> defaultPlots() {
    std::array<PlotSettings, kMaxSweeps> plots;
    for (int n = 0; n < kMaxSweeps; ++n) {
        plots[n].leftColour = 2 * n;
        plots[n].rightColour = 2 * n + 1;
    }
    return plots;
}

Font interfaceFont(int weight, int escapement) {
    // The GDI canvas maps this face to the stock interface font (DEFAULT_GUI_FONT).
    return Font{"MS Shell Dlg", 12, weight, escapement};
}

void setBackground(GraphSettings& settings, int background) {
    settings.background = background;
    for (PlotSettings& p : settings.plots) {
        for (int* margin : {&p.gainMarginColour, &p.phaseMarginColour}) {
            if (background == kBackgroundBlack && *margin == kMarginBlack) *margin = kMarginWhite;
            else if (background == kBackgroundWhite && *margin == kMarginWhite) *margin = kMarginBlack;
        }
    }
}

Colour backgroundColour(const GraphSettings& settings) {
    switch (settings.background) {
    case kBackgroundWhite: return kWhite;
    case kBackgroundCustom: return settings.customBackground;
    default: return kBlack;
    }
}

Colour textColour(const GraphSettings& settings) {
    return settings.background == kBackgroundBlack ? kWhite : kBlack;
}

Colour frameColour(const GraphSettings& settings) {
    return settings.background == kBackgroundBlack ? kStockLightGrey : kStockDarkGrey;
}

Colour curveColour(int index, Colour custom) {
    if (index == kCustomColourIndex) return custom;
    if (index < 0 || index >= kPaletteSize) index = 0;
    return PlotPalette[index].colour;
}

Colour marginColour(int index, Colour custom) {
    switch (index) {
    case kMarginBlack: return kBlack;
    case kMarginCustom: return custom;
    default: return kWhite;
    }
}

void CustomColourList::add(Colour colour) {
    colours[static_cast<std::size_t>(next)] = colour;
    next = (next + 1) % static_cast<int>(colours.size());
}

void CustomColourList::remember(Colour colour) {
    if (std::find(colours.begin(), colours.end(), colour) == colours.end()) add(colour);
}

const Quantity& lcrQuantity(int number) {
    static const Quantity kQuantities[kQuantityCount] = {
        {"ADMITTANCE", "A.tance", "S"},   {"ADMITTANCE PHASE", "A.Phase", "°"}, {"IMPEDANCE", "I.dance", "Ohms"},
        {"IMPEDANCE PHASE", "I.Phase", "°"}, {"L", "L", "H"},                    {"C", "C", "F"},
        {"R", "R", "Ohms"},
    };
    if (number < 1 || number > kQuantityCount) number = 1;
    return kQuantities[number - 1];
}

}  // namespace analysis
