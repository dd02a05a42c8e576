// The configuration items of the analyser with their power-on values, and how a setting is checked.
#include "settings_items.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace sim {

namespace {

using Kind = SettingsItems::Kind;

// Frequencies the generator can produce; items holding a frequency accept this range.
constexpr double kLowestHz = 1e-3;
constexpr double kHighestHz = 3.2e7;
constexpr std::size_t kLongestText = 19;

SettingsItems::Item choice(int index, const char* name, int maximum, int value) {
    SettingsItems::Item item;
    item.index = index;
    item.kind = Kind::Choice;
    item.name = name;
    item.minimum = 0;
    item.maximum = maximum;
    item.value = value;
    return item;
}

SettingsItems::Item text(int index, const char* name, const char* value) {
    SettingsItems::Item item;
    item.index = index;
    item.kind = Kind::Text;
    item.name = name;
    item.text = value;
    return item;
}

SettingsItems::Item rangedText(int index, const char* name, double minimum, double maximum, const char* value) {
    SettingsItems::Item item = text(index, name, value);
    item.ranged = true;
    item.minimum = minimum;
    item.maximum = maximum;
    return item;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

bool parseWholeNumber(std::string_view textIn, long& out) {
    const std::string s(trim(textIn));
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (errno != 0 || end != s.c_str() + s.size()) return false;
    out = v;
    return true;
}

bool parseDecimal(std::string_view textIn, double& out) {
    const std::string s(trim(textIn));
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(s.c_str(), &end);
    if (errno != 0 || end != s.c_str() + s.size() || !std::isfinite(v)) return false;
    out = v;
    return true;
}

SettingsItems::SettingsItems() {
    // Power-on state: frequency response analyser mode, 20 Hz to 2 MHz in 1000 logarithmic steps, both
    // channels at high impedance, generator at 1 kHz and off.
    items_ = {
        choice(1, "Acqu:mode", 4, 4),
        choice(13, "Acqu:speed", 5, 2),
        text(12, "Acqu:window", "1.0000E+00"),
        rangedText(115, "Acqu:mCyc", 1, 100, "2"),
        rangedText(116, "Acqu:delay", 0, 60, "0"),
        choice(14, "Acqu:filter", 3, 0),
        choice(47, "Sweep:Display", 2, 2),
        rangedText(19, "Sweep:Start", kLowestHz, kHighestHz, "2.0000E+01"),
        rangedText(20, "Sweep:End", kLowestHz, kHighestHz, "2.0000E+06"),
        SettingsItems::Item{18, Kind::Number, "Sweep:Steps", 2, 3000, false, 1000, ""},
        // One item serves both the sweep scale (0, 1) and the generator step type (0 to 2).
        choice(60, "Sweep:Scale", 2, 0),
        choice(21, "Sweep:Type", 1, 0),
        choice(113, "Sweep:PeakHold", 1, 0),
        choice(61, "Sweep:GainScale", 1, 0),
        text(62, "Sweep:GainMax", "2.0000E+01"),
        text(63, "Sweep:GainMin", "-1.0000E+02"),
        choice(171, "Sweep:PhaseScale", 1, 0),
        text(172, "Sweep:PhaseMax", "1.8000E+02"),
        text(173, "Sweep:PhaseMin", "-1.8000E+02"),
        choice(64, "Sweep:FrequencyMark", 2, 0),
        rangedText(65, "Sweep:Marker1", kLowestHz, kHighestHz, "1.0000E+03"),
        rangedText(68, "Sweep:Marker2", kLowestHz, kHighestHz, "1.0000E+05"),
        choice(66, "Sweep:SearchPeak1", 2, 0),
        choice(110, "Sweep:SearchPeak2", 2, 0),
        choice(161, "Trim:ACTrim", 2, 0),
        rangedText(162, "Trim:ACLevel", 0, 5, "1.0"),
        text(163, "Trim:Tolerance", "5.0000E+00"),
        choice(22, "Remo:Resolution", 1, 0),
        choice(2, "Remo:Interface", 2, 2),
        choice(16, "Remo:Baud", 3, 1),
        text(117, "Remo:IP", "127.0.0.1"),
        choice(125, "Remo:USB Print", 1, 0),
        choice(7, "Out:Output", 1, 0),
        rangedText(48, "Out:GenFrequency", kLowestHz, kHighestHz, "1.0000E+03"),
        text(49, "Out:LoAmp1", "1.0000E+01"),
        text(53, "Out:AmpStep1", "0.0000E+00"),
        text(54, "Out:LoAmp2", "1.0000E+01"),
        text(55, "Out:AmpStep2", "0.0000E+00"),
        choice(51, "Out:Wave", 4, 0),
        text(52, "Out:FreqStep1", "1.0000E+00"),
        text(72, "Out:FreqStep2", "1.0000E+00"),
        choice(56, "Out:AmpCtl", 1, 0),
        // Input impedance 6 is the high-impedance input of this model.
        choice(36, "Chan:Impedance", 6, 6),
        // Channel 1 and 2 selection share one item.
        choice(133, "Chan:Input", 2, 2),
        choice(28, "Chan:InRange1", 2, 0),
        choice(26, "Chan:Range1", 8, 8),
        text(32, "Chan:ScaleFactor1", "1.0000E+00"),
        choice(29, "Chan:InRange2", 2, 0),
        choice(27, "Chan:Range2", 8, 6),
        text(33, "Chan:ScaleFactor2", "1.0000E+00"),
        choice(6, "Sys:PhaseCon", 2, 0),
        choice(39, "Sys:Brightness", 1, 1),
        choice(40, "Sys:Display", 2, 0),
        choice(42, "Sys:Enlarge", 1, 0),
        choice(8, "Sys:StepMessage", 1, 1),
        choice(9, "Sys:Beep", 1, 1),
        choice(112, "Sys:InitSet", 2, 2),
        choice(121, "Sys:Language", 1, 0),
        choice(75, "Mode:FRA:Graph", 2, 0),
        text(174, "Mode:FRA:Offset", "0.0000E+00"),
        choice(76, "Mode:FRA:Compu", 1, 0),
        text(88, "Mode:SCO:Timebase", "1.0000E-03"),
        text(89, "Mode:SCO:TrigLvl", "0.0000E+00"),
        choice(90, "Mode:SCO:Pretrig", 3, 0),
        choice(91, "Mode:SCO:TrigPol", 1, 0),
        choice(92, "Mode:SCO:TrigMode", 2, 0),
        choice(94, "Mode:SCO:Traces", 2, 1),
        choice(95, "Mode:SCO:TrigChan", 1, 0),
        choice(3, "Mode:SCO:Bandwidth", 2, 2),
        choice(104, "Mode:IMP:Measure", 3, 0),
        choice(111, "Mode:IMP:Graph", 4, 0),
    };
}

const SettingsItems::Item* SettingsItems::find(int index) const {
    for (const Item& item : items_) {
        if (item.index == index) return &item;
    }
    return nullptr;
}

SettingsItems::Item* SettingsItems::findMutable(int index) {
    return const_cast<Item*>(static_cast<const SettingsItems*>(this)->find(index));
}

std::string SettingsItems::query(int index) const {
    const Item* item = find(index);
    if (!item) return {};
    return item->kind == Kind::Text ? item->text : std::to_string(item->value);
}

bool SettingsItems::set(int index, std::string_view valueIn) {
    Item* item = findMutable(index);
    if (!item) return false;
    const std::string_view value = trim(valueIn);
    if (item->kind == Kind::Text) {
        if (value.empty() || value.size() > kLongestText) return false;
        if (item->ranged) {
            double v = 0;
            if (!parseDecimal(value, v) || v < item->minimum || v > item->maximum) return false;
        }
        item->text = std::string(value);
        return true;
    }
    long v = 0;
    if (!parseWholeNumber(value, v) || v < item->minimum || v > item->maximum) return false;
    item->value = static_cast<int>(v);
    return true;
}

int SettingsItems::number(int index) const {
    const Item* item = find(index);
    return item ? item->value : 0;
}

double SettingsItems::numberFromText(int index, double fallback) const {
    const Item* item = find(index);
    double v = 0;
    if (!item || !parseDecimal(item->text, v)) return fallback;
    return v;
}

}  // namespace sim
