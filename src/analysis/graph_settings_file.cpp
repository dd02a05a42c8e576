// Reading and writing the graph window's appearance with the profile functions.
#include "analysis/graph_settings_file.h"

#include <cmath>
#include <cstdlib>

#include "common/string_printf.h"
#include "platform/profile.h"

namespace analysis {
namespace {

constexpr const char* kGraphSection = "GraphSettings";
constexpr std::size_t kValueCapacity = 64;

std::string plotSection(int n) { return common::stringPrintf("Plot%dSettings", n); }

// An integer key limited to first..last; anything else keeps fallback.
int readChoice(const std::string& file, const std::string& section, const char* key, int fallback, int first,
               int last) {
    const int value = platform::getProfileInt(file, section, key, fallback);
    return value >= first && value <= last ? value : fallback;
}

double readNumber(const std::string& file, const char* key, const char* fallback) {
    return std::strtod(platform::getProfileString(file, kGraphSection, key, fallback, kValueCapacity).c_str(), nullptr);
}

Colour readColour(const std::string& file, const std::string& section, const char* key) {
    const std::string text = platform::getProfileString(file, section, key, "0", kValueCapacity);
    return static_cast<Colour>(std::strtoul(text.c_str(), nullptr, 10) & 0xFFFFFF);
}

// A manual range replaces min and max only when it is one an axis can show.
void readRange(const std::string& file, const char* minKey, const char* maxKey, const char* minDefault,
               const char* maxDefault, bool positive, double& min, double& max) {
    const double low = readNumber(file, minKey, minDefault), high = readNumber(file, maxKey, maxDefault);
    if (!std::isfinite(low) || !std::isfinite(high) || !(low < high) || (positive && low <= 0)) return;
    min = low;
    max = high;
}

void readPlot(const std::string& file, int n, PlotSettings& p) {
    const std::string s = plotSection(n);
    p.leftWeight = readChoice(file, s, "GainWeight", kRegular, kThin, kThick);
    p.leftColour = readChoice(file, s, "GainColour", 2 * n, 0, kCustomColourIndex);
    p.leftVisible = platform::getProfileInt(file, s, "GainVisibility", 1) != 0;
    p.customLeftColour = readColour(file, s, "CustomGainColour");
    p.rightWeight = readChoice(file, s, "PhaseWeight", kRegular, kThin, kThick);
    p.rightColour = readChoice(file, s, "PhaseColour", 2 * n + 1, 0, kCustomColourIndex);
    p.rightVisible = platform::getProfileInt(file, s, "PhaseVisibility", 1) != 0;
    p.customRightColour = readColour(file, s, "CustomPhaseColour");
    p.gainMarginColour = readChoice(file, s, "GainMarginColour", kMarginWhite, kMarginBlack, kMarginCustom);
    p.customGainMarginColour = readColour(file, s, "CustomGainMarginColour");
    p.phaseMarginColour = readChoice(file, s, "PhaseMarginColour", kMarginWhite, kMarginBlack, kMarginCustom);
    p.customPhaseMarginColour = readColour(file, s, "CustomPhaseMarginColour");
}

bool writeInt(const std::string& file, const std::string& section, const char* key, int value) {
    return platform::writeProfileString(file, section, key, common::stringPrintf("%d", value));
}

bool writeColour(const std::string& file, const std::string& section, const char* key, Colour value) {
    return platform::writeProfileString(file, section, key, common::stringPrintf("%u", static_cast<unsigned>(value)));
}

bool writeRange(const std::string& file, const char* minKey, const char* maxKey, double min, double max) {
    return platform::writeProfileString(file, kGraphSection, minKey, common::stringPrintf("%f", min)) &&
           platform::writeProfileString(file, kGraphSection, maxKey, common::stringPrintf("%f", max));
}

bool writePlot(const std::string& file, int n, const PlotSettings& p) {
    const std::string s = plotSection(n);
    bool ok = writeInt(file, s, "GainWeight", p.leftWeight) && writeInt(file, s, "GainColour", p.leftColour) &&
              writeInt(file, s, "GainVisibility", p.leftVisible ? 1 : 0) &&
              writeInt(file, s, "PhaseWeight", p.rightWeight) && writeInt(file, s, "PhaseColour", p.rightColour) &&
              writeInt(file, s, "PhaseVisibility", p.rightVisible ? 1 : 0) &&
              writeInt(file, s, "GainMarginColour", p.gainMarginColour) &&
              writeInt(file, s, "PhaseMarginColour", p.phaseMarginColour);
    if (ok && p.leftColour == kCustomColourIndex) ok = writeColour(file, s, "CustomGainColour", p.customLeftColour);
    if (ok && p.rightColour == kCustomColourIndex) ok = writeColour(file, s, "CustomPhaseColour", p.customRightColour);
    if (ok && p.gainMarginColour == kMarginCustom)
        ok = writeColour(file, s, "CustomGainMarginColour", p.customGainMarginColour);
    if (ok && p.phaseMarginColour == kMarginCustom)
        ok = writeColour(file, s, "CustomPhaseMarginColour", p.customPhaseMarginColour);
    return ok;
}

}  // namespace

void readGraphSettings(const std::string& file, GraphSettings& settings, AxisRanges& ranges,
                       CustomColourList& colours) {
    const std::string g = kGraphSection;
    settings.background = readChoice(file, g, "BGColour", kBackgroundBlack, kBackgroundBlack, kBackgroundCustom);
    settings.frequencyScaling = readChoice(file, g, "FreqScaling", kScaleAutomatic, kScaleAutomatic, kScaleManual);
    settings.leftScaling = readChoice(file, g, "GainScaling", kScaleAutomatic, kScaleAutomatic, kScaleCentredOnZero);
    settings.rightScaling = readChoice(file, g, "PhaseScaling", kScaleAutomatic, kScaleAutomatic, kScaleManual);
    settings.logFrequency = platform::getProfileInt(file, g, "LogScaling", 1) != 0;
    settings.rightCursorVisible = platform::getProfileInt(file, g, "PhaseCursor", 0) != 0;
    settings.leftCursorVisible = platform::getProfileInt(file, g, "GainCursor", 0) != 0;
    if (settings.frequencyScaling == kScaleManual)
        readRange(file, "FreqManual1", "FreqManual2", "1000", "10000", true, ranges.frequencyMin, ranges.frequencyMax);
    if (settings.leftScaling == kScaleManual)
        readRange(file, "GainManual1", "GainManual2", "-10", "10", false, ranges.leftMin, ranges.leftMax);
    if (settings.rightScaling == kScaleManual)
        readRange(file, "PhaseManual1", "PhaseManual2", "-180", "180", false, ranges.rightMin, ranges.rightMax);
    settings.customBackground = readColour(file, g, "CustomColour");
    colours.remember(settings.customBackground);
    for (int n = 0; n < kMaxSweeps; ++n) readPlot(file, n, settings.plots[static_cast<std::size_t>(n)]);
}

bool writeGraphSettings(const std::string& file, const GraphSettings& settings, const AxisRanges& ranges,
                        int plotCount) {
    const std::string g = kGraphSection;
    bool ok = writeInt(file, g, "BGColour", settings.background) &&
              writeInt(file, g, "FreqScaling", settings.frequencyScaling) &&
              writeInt(file, g, "GainScaling", settings.leftScaling) &&
              writeInt(file, g, "PhaseScaling", settings.rightScaling) &&
              writeInt(file, g, "LogScaling", settings.logFrequency ? 1 : 0) &&
              writeInt(file, g, "PhaseCursor", settings.rightCursorVisible ? 1 : 0) &&
              writeInt(file, g, "GainCursor", settings.leftCursorVisible ? 1 : 0);
    if (ok && settings.frequencyScaling == kScaleManual)
        ok = writeRange(file, "FreqManual1", "FreqManual2", ranges.frequencyMin, ranges.frequencyMax);
    if (ok && settings.leftScaling == kScaleManual)
        ok = writeRange(file, "GainManual1", "GainManual2", ranges.leftMin, ranges.leftMax);
    if (ok && settings.rightScaling == kScaleManual)
        ok = writeRange(file, "PhaseManual1", "PhaseManual2", ranges.rightMin, ranges.rightMax);
    if (ok && settings.background == kBackgroundCustom)
        ok = writeColour(file, g, "CustomColour", settings.customBackground);
    for (int n = 0; ok && n < plotCount && n < kMaxSweeps; ++n)
        ok = writePlot(file, n, settings.plots[static_cast<std::size_t>(n)]);
    return ok;
}

}  // namespace analysis
