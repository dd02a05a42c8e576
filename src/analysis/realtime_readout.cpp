// The realtime readout: what each tile of a form says, the tile grid, the fitted fonts and the value
// texts.
#include "analysis/realtime_readout.h"

#include <algorithm>
#include <cmath>

#include "analysis/plot_format.h"
#include "analysis/plot_settings.h"
#include "common/string_printf.h"

namespace analysis {
namespace {

constexpr Colour kValueBackground = kBlack;
constexpr Colour kValueText = rgb(255, 255, 0);
const char* const kValueSample = " -8.8888E88 Hz ";

// One tile: its label, the unit after its value, and whether the value is a gain or phase written
// with a fixed number of decimals rather than in engineering notation.
struct TileSpec {
    const char* label;
    const char* unit;
    bool fixedDecimals;
};

constexpr TileSpec kFraTiles[] = {
    {"Frequency", "Hz", false}, {"Magnitude 1", "V", false}, {"Magnitude 2", "V", false},
    {"Gain", "dB", true},       {"Phase", "°", true},        {"Delay", "s", false},
};

constexpr TileSpec kLcrLongTiles[] = {
    {"Frequency", "Hz", false},  {"Magnitude 1", "V", false}, {"Magnitude 2", "A", false},
    {"Impedance", "Ω", false},   {"Phase", "°", true},        {"Series R", "Ω", false},
    {"Series L", "H", false},    {"Series C", "F", false},    {"Parallel R", "Ω", false},
    {"Parallel L", "H", false},  {"Parallel C", "F", false},  {"Tan δ", "", false},
    {"Q", "", false},            {"Reactance", "Ω", false},
};

// An admittance is in siemens, like the two admittance parts after it.
constexpr TileSpec kLcrShortTiles[] = {
    {"Frequency", "Hz", false},      {"Magnitude 1", "V", false}, {"Magnitude 2", "A", false},
    {"Impedance", "Ω", false},       {"Phase", "°", true},        {"Resistance", "Ω", false},
    {"Reactance", "Ω", false},       {"Admittance", "S", false},  {"Adm. Phase", "°", true},
    {"Resistive Adm.", "S", false},  {"Conductive Adm.", "S", false},
};

std::span<const TileSpec> tilesOf(ReadoutForm form) {
    switch (form) {
    case ReadoutForm::LcrLong: return kLcrLongTiles;
    case ReadoutForm::LcrShort: return kLcrShortTiles;
    default: return kFraTiles;
    }
}

std::string fixedDecimals(double v) {
    if (v == 0) return "0.00";
    return common::stringPrintf(std::fabs(v) >= 100 ? "%.2f" : "%.3f", v);
}

std::string valueText(const TileSpec& tile, double v) {
    if (tile.fixedDecimals) return fixedDecimals(v) + tile.unit;
    std::string text = FormatEngineering(v) + tile.unit;
    // Without a unit the blank that would separate it only upsets the centring.
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::vector<std::string> valueTexts(ReadoutForm form, std::span<const double> values) {
    const auto tiles = tilesOf(form);
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < tiles.size(); ++i)
        texts.push_back(i < values.size() ? valueText(tiles[i], values[i]) : "");
    return texts;
}

}  // namespace

ReadoutForm lcrReadoutForm(int valueCount) {
    return valueCount == static_cast<int>(std::size(kLcrShortTiles)) ? ReadoutForm::LcrShort : ReadoutForm::LcrLong;
}

int readoutTileCount(ReadoutForm form) { return static_cast<int>(tilesOf(form).size()); }

std::vector<std::string> readoutLabels(ReadoutForm form) {
    std::vector<std::string> labels;
    for (const TileSpec& t : tilesOf(form)) labels.emplace_back(t.label);
    return labels;
}

TileGrid readoutGrid(int tileCount, int width, int height) {
    struct Row {
        int capacity, columns, rows;
    };
    static constexpr Row kRows[] = {{2, 1, 2}, {4, 2, 2}, {6, 3, 2}, {9, 3, 3}, {16, 4, 4}, {25, 5, 5}, {30, 5, 6}};
    for (const Row& r : kRows)
        if (r.capacity >= tileCount && r.capacity < 30) return {r.columns, r.rows};
    return width > height ? TileGrid{6, 5} : TileGrid{5, 6};
}

Font fitFont(Canvas& canvas, const Font& base, const std::vector<std::string>& texts, const Rect& box) {
    auto fits = [&](int height) {
        Font f = base;
        f.height = height;
        canvas.selectFont(f);
        for (const auto& t : texts) {
            const Size e = canvas.textExtent(t);
            if (e.cx > box.width() || e.cy > box.height()) return false;
        }
        return true;
    };
    // Text grows with the font, so the largest that fits lies where fitting stops.
    int lo = 0, hi = std::max(0, box.height());
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (fits(mid)) lo = mid;
        else hi = mid - 1;
    }
    Font f = base;
    f.height = lo;
    return f;
}

ReadoutLayout layOutReadout(Canvas& canvas, ReadoutForm form, int width, int height) {
    ReadoutLayout layout;
    layout.form = form;
    layout.width = width;
    layout.height = height;
    const int count = readoutTileCount(form);
    const TileGrid grid = readoutGrid(count, width, height);
    const int tw = std::max(0, width) / grid.columns, th = std::max(0, height) / grid.rows;
    for (int i = 0; i < count; ++i) {
        const int x = (i % grid.columns) * tw, y = (i / grid.columns) * th;
        layout.tiles.push_back({{x, y, x + tw, y + th / 2 - 1}, {x + 2, y + th / 2 + 1, x + tw - 2, y + th}});
    }
    std::vector<std::string> samples;
    for (const auto& label : readoutLabels(form)) samples.push_back("8" + label + "8");
    layout.labelFont = fitFont(canvas, interfaceFont(), samples, layout.tiles.front().labelBox);
    layout.valueFont = fitFont(canvas, interfaceFont(700), {kValueSample}, layout.tiles.front().valueBox);
    return layout;
}

std::vector<std::string> fraReadoutValues(const db::FraPoint& reading) {
    const double values[] = {reading.frequency, reading.magnitude1, reading.magnitude2,
                             reading.amplitude, reading.phase,      reading.delay};
    return valueTexts(ReadoutForm::Fra, values);
}

std::vector<std::string> lcrReadoutValues(std::span<const double> reply) {
    return valueTexts(lcrReadoutForm(static_cast<int>(reply.size())), reply);
}

void drawReadout(Canvas& canvas, const ReadoutLayout& layout, const std::vector<std::string>& values,
                 Colour background) {
    canvas.clearClip();
    canvas.fillRect({0, 0, layout.width, layout.height}, background);
    if (layout.labelFont.height > 0) {
        canvas.selectFont(layout.labelFont);
        canvas.setTextColour(kBlack);
        canvas.setTextAlign(kAlignLeft | kAlignTop);
        const auto labels = readoutLabels(layout.form);
        for (std::size_t i = 0; i < layout.tiles.size(); ++i)
            canvas.drawText(layout.tiles[i].labelBox, labels[i], kTextCenter | kTextVCenter | kTextSingleLine);
    }
    drawReadoutValues(canvas, layout, values);
}

void drawReadoutValues(Canvas& canvas, const ReadoutLayout& layout, const std::vector<std::string>& values) {
    canvas.selectFont(layout.valueFont);
    canvas.setTextColour(kValueText);
    canvas.setTextAlign(kAlignLeft | kAlignTop);
    for (std::size_t i = 0; i < layout.tiles.size(); ++i) {
        const Rect& box = layout.tiles[i].valueBox;
        canvas.fillRect(box, kValueBackground);
        if (layout.valueFont.height > 0 && i < values.size())
            canvas.drawText(box, values[i], kTextCenter | kTextVCenter | kTextSingleLine);
    }
}

}  // namespace analysis
