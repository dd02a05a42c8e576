// The pages' visibility rules and edit checks.
#include "instrument/settings_pages.h"

#include <cstdlib>
#include <string_view>

namespace instrument {
namespace {

// The acquisition modes (Acqu:mode), the speed that needs a window length, the single trace.
constexpr int kImpedanceMeter = 1;
constexpr int kOscilloscope = 2;
constexpr int kFrequencyResponse = 3;
constexpr int kWindowSpeed = 5;
constexpr int kSingleTrace = 0;

int valueOf(const std::vector<InstrumentSetting>& table, const char* item) {
    const InstrumentSetting* s = findSetting(table, item);
    return s ? s->value : 0;
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// A whole text that reads as a number within minimum..maximum.
bool numberWithin(const std::string& text, double minimum, double maximum) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    return end != text.c_str() && *end == '\0' && v >= minimum && v <= maximum;
}

struct LiveCheck {
    const char* item;
    double minimum, maximum;
    const char* refusal;
};
constexpr LiveCheck kLiveChecks[] = {
    {"Acqu:mCyc", 1, 100, "Minimum Cycles must be set between 1 and 100"},
    {"Acqu:delay", 0, 60, "Delay must be set between 0 and 60"},
};

}  // namespace

bool itemShown(const std::vector<InstrumentSetting>& table, const std::string& item) {
    const int mode = valueOf(table, "Acqu:mode");
    if (item == "Acqu:window") return valueOf(table, "Acqu:speed") == kWindowSpeed;
    if (item == "Mode:SCO:TrigChan") return mode == kOscilloscope && valueOf(table, "Mode:SCO:Traces") != kSingleTrace;
    if (startsWith(item, "Mode:FRA:")) return mode == kFrequencyResponse;
    if (startsWith(item, "Mode:SCO:")) return mode == kOscilloscope;
    if (startsWith(item, "Mode:IMP:")) return mode == kImpedanceMeter;
    return true;
}

bool shapesPages(const std::string& item) {
    return item == "Acqu:mode" || item == "Acqu:speed" || item == "Mode:SCO:Traces";
}

EditResult applyEdit(InstrumentSetting& setting, const std::string& text) {
    EditResult result;
    if (text.empty()) return result;
    for (const LiveCheck& check : kLiveChecks) {
        if (setting.name == std::string_view(check.item) && !numberWithin(text, check.minimum, check.maximum)) {
            result.refusal = check.refusal;
            return result;
        }
    }
    if (setting.kind == Kind::Number) setting.value = std::atoi(text.c_str());
    else setting.text = text.substr(0, kMaxItemText);
    setting.changed = true;
    result.taken = true;
    return result;
}

bool applyChoice(InstrumentSetting& setting, int position) {
    if (position < 0 || position >= static_cast<int>(setting.options.size()) || position == setting.value) return false;
    setting.value = position;
    setting.changed = true;
    return true;
}

}  // namespace instrument
