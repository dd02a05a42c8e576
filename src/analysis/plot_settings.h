// The appearance of a graph: the colour palette, each sweep's curve settings, the graph's axis and
// background settings with their defaults, the axis ranges, and the seven impedance quantities an LCR
// graph can show on either axis. Plain values; the graph window, the command line and the tests each
// hold their own.
#pragma once

#include <array>
#include <cstdint>

#include "analysis/canvas.h"

namespace analysis {

constexpr int kMaxSweeps = 9;

struct PaletteEntry {
    const char* name;
    Colour colour;
};
constexpr int kPaletteSize = 18;
constexpr int kCustomColourIndex = 18;  // "Custom...": the plot's own custom colour
extern const std::array<PaletteEntry, kPaletteSize> PlotPalette;

// Curve weights ("Thin", "Regular", "Thick") are pen widths in pixels.
enum CurveWeight : int { kThin = 1, kRegular = 2, kThick = 3 };
// Cursor ("margin") colours of a plot.
enum MarginColour : int { kMarginBlack = 0, kMarginWhite = 1, kMarginCustom = 2 };

struct PlotSettings {
    bool leftVisible = true;
    bool rightVisible = true;
    int leftWeight = kRegular;
    int rightWeight = kRegular;
    int leftColour = 0;   // 0-17 a PlotPalette entry, 18 customLeftColour
    int rightColour = 1;
    int gainMarginColour = kMarginWhite;   // the left cursor's colour when this sweep is active
    int phaseMarginColour = kMarginWhite;  // the right cursor's
    Colour customLeftColour = 0;
    Colour customRightColour = 0;
    Colour customGainMarginColour = 0;
    Colour customPhaseMarginColour = 0;
};

enum AxisScaling : int { kScaleAutomatic = 0, kScaleManual = 1, kScaleCentredOnZero = 2 };
enum Background : int { kBackgroundBlack = 0, kBackgroundWhite = 1, kBackgroundCustom = 2 };

// The plots' defaults: both curves visible and of regular weight, plot n in palette colours 2n and
// 2n + 1 (Crimson and Hot Pink, Royal Blue and Steel Blue, ...), white cursors.
std::array<PlotSettings, kMaxSweeps> defaultPlots();

// Default-constructed, the settings of a graph window before anything was changed.
struct GraphSettings {
    bool leftCursorVisible = false;
    bool rightCursorVisible = false;
    bool logFrequency = true;
    int leftScaling = kScaleAutomatic;  // automatic, manual or centred on 0 dB
    int rightScaling = kScaleAutomatic;
    int frequencyScaling = kScaleAutomatic;
    int background = kBackgroundBlack;
    std::array<PlotSettings, kMaxSweeps> plots = defaultPlots();
    Colour customBackground = 0;
};

// Sets the background and keeps the cursors visible on it: on black a black cursor colour turns white,
// on white a white one turns black.
void setBackground(GraphSettings& settings, int background);

// The background colour the settings select, the text colour on it (white on black, black otherwise)
// and the grey of the legend and panel frames.
Colour backgroundColour(const GraphSettings& settings);
Colour textColour(const GraphSettings& settings);
Colour frameColour(const GraphSettings& settings);

// A curve's colour: a palette entry, or custom for index 18 (an index outside 0-18 counts as 0).
Colour curveColour(int index, Colour custom);
// A cursor's colour: black, white or custom.
Colour marginColour(int index, Colour custom);

// The sixteen custom colours the colour dialog offers, with the rotating place where the next colour
// is put (after the last it starts again at the first).
struct CustomColourList {
    std::array<Colour, 16> colours{};
    int next = 0;

    // Puts colour at the rotating place.
    void add(Colour colour);
    // Adds colour unless the list holds it already.
    void remember(Colour colour);
};

// The impedance quantities of an LCR point, numbered 1 to 7 in LcrPoint order.
constexpr int kQuantityCount = 7;
struct Quantity {
    const char* longName;   // axis title and menu: "ADMITTANCE"
    const char* shortName;  // legend and readout: "A.tance"
    const char* unit;       // "S"
};
// Quantity n (1-7); any other number gives quantity 1.
const Quantity& lcrQuantity(int number);

// The system's default interface font that all graph texts use, at a weight and an escapement.
Font interfaceFont(int weight = 400, int escapement = 0);

// Default-constructed, the manual ranges a graph window starts from.
struct AxisRanges {
    double frequencyMin = 1000, frequencyMax = 10000;  // Hz
    double leftMin = -10, leftMax = 10;
    double rightMin = -180, rightMax = 180;
    int leftQuantity = 1;  // LCR quantity numbers 1-7
    int rightQuantity = 1;
};

}  // namespace analysis
