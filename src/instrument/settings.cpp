// The configuration items, one item's query and setting with the status check, and the whole-table
// read and write.
#include "instrument/settings.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "common/string_printf.h"
#include "instrument/comms_log.h"
#include "platform/clock.h"
#include "platform/debug_output.h"
#include "platform/prompter.h"

namespace instrument {
namespace {

// name, instrument index, kind, minimum, maximum, labels, message name
const InstrumentSetting kItems[] = {
    {"Acqu:mode", 1, Kind::Choice, 0.0, 4.0, {"AC RMS Voltmeter", "Impedance Meter", "Oscilloscope", "Frequency Response Analyser"}, "Acqu::mode"},
    {"Acqu:speed", 13, Kind::Choice, 0.0, 5.0, {"Very Slow", "Slow", "Medium", "Fast", "Very Fast", "Window"}, "Acqu::speed"},
    {"Acqu:window", 12, Kind::Text, kNoLimit, kNoLimit, {}, "Acqu::window"},
    {"Acqu:mCyc", 115, Kind::Text, 1.0, 100.0, {}, "Acqu::Min Cycles"},
    {"Acqu:delay", 116, Kind::Text, 0.0, 60.0, {}, "Acqu::delay"},
    {"Acqu:filter", 14, Kind::Choice, 0.0, 3.0, {"Normal", "Slow", "None", "None + Fast Response"}, "Acqu::filter"},
    {"Sweep:Display", 47, Kind::Choice, 0.0, 2.0, {"Real Time", "Table", "Graph"}, "Sweep::Display"},
    {"Sweep:Start", 19, Kind::Text, kNoLimit, kNoLimit, {}, "Sweep::Start"},
    {"Sweep:End", 20, Kind::Text, kNoLimit, kNoLimit, {}, "Sweep::End"},
    {"Sweep:Steps", 18, Kind::Number, 2.0, 2000.0, {}, "Sweep::Steps"},
    {"Sweep:Scale", 60, Kind::Choice, 0.0, 1.0, {"Logarithmic", "Linear"}, "Sweep::Scale"},
    {"Sweep:Type", 21, Kind::Choice, 0.0, 1.0, {"Single", "Continuous"}, "Sweep::Type"},
    {"Sweep:PeakHold", 113, Kind::Choice, 0.0, 1.0, {"Off", "On"}, "Sweep::Peak Hold"},
    {"Sweep:GainScale", 61, Kind::Choice, 0.0, 1.0, {"Auto", "Manual"}, "Sweep::Gain Scale"},
    {"Sweep:GainMax", 62, Kind::Text, kNoLimit, kNoLimit, {}, "Sweep::Gain Max"},
    {"Sweep:GainMin", 63, Kind::Text, kNoLimit, kNoLimit, {}, "Sweep::Gain Min"},
    {"Sweep:PhaseScale", 171, Kind::Choice, 0.0, 1.0, {"Auto", "Manual"}, "Sweep::Phase Scale"},
    {"Sweep:PhaseMax", 172, Kind::Text, kNoLimit, kNoLimit, {}, "Sweep::Phase Max"},
    {"Sweep:PhaseMin", 173, Kind::Text, kNoLimit, kNoLimit, {}, "Sweep::Phase Min"},
    {"Sweep:FrequencyMark", 64, Kind::Choice, 0.0, 2.0, {"Off", "Single", "Dual"}, "Sweep::Frequency Mark"},
    {"Sweep:Marker1", 65, Kind::Text, kNoLimit, kNoLimit, {}, "Sweep::Marker 1"},
    {"Sweep:Marker2", 68, Kind::Text, kNoLimit, kNoLimit, {}, "Sweep::Marker 2"},
    {"Sweep:SearchPeak1", 66, Kind::Choice, 0.0, 2.0, {"Off", "Single", "Dual"}, "Sweep::SearchPeak 1"},
    {"Sweep:SearchPeak2", 110, Kind::Choice, 0.0, 2.0, {"Off", "Single", "Dual"}, "Sweep::SearchPeak 2"},
    {"Trim:ACTrim", 161, Kind::Choice, 0.0, 2.0, {"Disabled", "Ch1", "Ch2"}, "Trim::ACTrim"},
    {"Trim:ACLevel", 162, Kind::Text, 0.0, 5.0, {}, "Trim::ACLevel"},
    {"Trim:Tolerance", 163, Kind::Text, kNoLimit, kNoLimit, {}, "Trim::Tolerance"},
    {"Remo:Resolution", 22, Kind::Choice, 0.0, 1.0, {"Normal", "High", "Binary"}, "Remote::Resolution"},
    {"Remo:Interface", 2, Kind::Choice, 0.0, 2.0, {"RS232", "USB", "LAN"}, "Remote::Interface"},
    {"Remo:Baud", 16, Kind::Choice, 0.0, 3.0, {"38400", "19200", "9600", "1200"}, "Remote::Baud"},
    {"Remo:IP", 117, Kind::Text, kNoLimit, kNoLimit, {}, "Remote::IP"},
    {"Remo:USB Print", 125, Kind::Choice, 0.0, 1.0, {"Disabled", "Enabled"}, "Remote::USB Print"},
    {"Out:Output", 7, Kind::Choice, 0.0, 1.0, {"Off", "On"}, "Out::Output"},
    {"Out:GenFrequency", 48, Kind::Text, kNoLimit, kNoLimit, {}, "Out::Generator Frequency"},
    {"Out:LoAmp1", 49, Kind::Text, kNoLimit, kNoLimit, {}, "Out::Low Amp 1"},
    {"Out:AmpStep1", 53, Kind::Text, kNoLimit, kNoLimit, {}, "Out::Amp Step 1"},
    {"Out:LoAmp2", 54, Kind::Text, kNoLimit, kNoLimit, {}, "Out::Low Amp 2"},
    {"Out:AmpStep2", 55, Kind::Text, kNoLimit, kNoLimit, {}, "Out::Amp Step 2"},
    {"Out:Wave", 51, Kind::Choice, 0.0, 4.0, {"Sinewave", "Squarewave", "Triangle", "Ramp", "White Noise"}, "Out::Wave"},
    {"Out:StepType", 60, Kind::Choice, 0.0, 2.0, {"Logarithmic", "Linear"}, "Out::StepType"},
    {"Out:FreqStep1", 52, Kind::Text, kNoLimit, kNoLimit, {}, "Out::Freq Step 1"},
    {"Out:FreqStep2", 72, Kind::Text, kNoLimit, kNoLimit, {}, "Out::Freq Step 2"},
    {"Out:AmpCtl", 56, Kind::Choice, 0.0, 1.0, {"V", "dBm"}, "Out::Amp Control"},
    {"Chan:Impedance", 36, Kind::Choice, 0.0, 6.0, {"50 Ohms", "High Impedance"}, "Channel::Impedance"},
    {"Chan:Input", 133, Kind::Choice, 0.0, 2.0, {"Ch1", "Ch2", "Dual"}, "Channel::Input"},
    {"Chan:Input2", 133, Kind::Choice, 0.0, 2.0, {"Ch1", "Ch2", "Dual"}, "Channel::Inut Ch2"},
    {"Chan:InRange1", 28, Kind::Choice, 0.0, 2.0, {"Full Autorange", "Up Range Only", "Manual"}, "Channel 1::In Range"},
    {"Chan:Range1", 26, Kind::Choice, 0.0, 8.0, {"1mV", "3mV", "10mV", "30mV", "100mV", "300mV", "1V", "3V", "10V"}, "Channel 1::Range"},
    {"Chan:ScaleFactor1", 32, Kind::Text, kNoLimit, kNoLimit, {}, "Channel 1::Scale Factor"},
    {"Chan:InRange2", 29, Kind::Choice, 0.0, 2.0, {"Full Autorange", "Up Range Only", "Manual"}, "Channel 2::In Range"},
    {"Chan:Range2", 27, Kind::Choice, 0.0, 8.0, {"1mV", "3mV", "10mV", "30mV", "100mV", "300mV", "1V", "3V", "10V"}, "Channel 2::Range"},
    {"Chan:ScaleFactor2", 33, Kind::Text, kNoLimit, kNoLimit, {}, "Channel 2::Scale Factor"},
    {"Sys:PhaseCon", 6, Kind::Choice, 0.0, 2.0, {"-180° to 180°", "0° to -360°", "0° to +360°"}, "Sys::Phase Convention"},
    {"Sys:Brightness", 39, Kind::Choice, 0.0, 1.0, {"Low", "High"}, "Sys::Brightness"},
    {"Sys:Display", 40, Kind::Choice, 0.0, 2.0, {"Colour", "White on Black", "Black on White"}, "Sys::Display"},
    {"Sys:Enlarge", 42, Kind::Choice, 0.0, 1.0, {"Off", "On"}, "Sys::Enlarge"},
    {"Sys:StepMessage", 8, Kind::Choice, 0.0, 1.0, {"Disabled", "Enabled"}, "Sys::Step Message"},
    {"Sys:Beep", 9, Kind::Choice, 0.0, 1.0, {"Disabled", "Enabled"}, "Sys::Beep"},
    {"Sys:InitSet", 112, Kind::Choice, 0.0, 2.0, {"Program 1", "Factory Default", "As Last Used"}, "Sys::Initial Settings"},
    {"Sys:Language", 121, Kind::Choice, 0.0, 1.0, {"English", "Italian"}, "Sys::Language"},
    {"Mode:FRA:Graph", 75, Kind::Choice, 0.0, 2.0, {"Dual", "Gain", "Phase"}, "Mode:FRA::Graph"},
    {"Mode:FRA:Offset", 174, Kind::Text, kNoLimit, kNoLimit, {}, "Mode:FRA::Offset"},
    {"Mode:FRA:Compu", 76, Kind::Choice, 0.0, 1.0, {"Ch2/Ch1", "Ch1/Ch2"}, "Mode:FRA::Computation"},
    {"Mode:SCO:Timebase", 88, Kind::Text, kNoLimit, kNoLimit, {}, "Mode:Scope::Timebase"},
    {"Mode:SCO:TrigLvl", 89, Kind::Text, kNoLimit, kNoLimit, {}, "Mode:Scope::Trigger Level"},
    {"Mode:SCO:Pretrig", 90, Kind::Choice, 0.0, 3.0, {"None", "25%", "50%", "75%"}, "Mode:Scope::Pre-trigger"},
    {"Mode:SCO:TrigPol", 91, Kind::Choice, 0.0, 1.0, {"Rising Edge", "Falling Edge"}, "Mode:Scope::Trigger Polarity"},
    {"Mode:SCO:TrigMode", 92, Kind::Choice, 0.0, 2.0, {"Auto", "Normal", "Single Shot"}, "Mode:Scope::Trigger Mode"},
    {"Mode:SCO:Traces", 94, Kind::Choice, 0.0, 2.0, {"Single", "Dual", "Ch2 Current"}, "Mode:Scope::Traces"},
    {"Mode:SCO:TrigChan", 95, Kind::Choice, 0.0, 1.0, {"Ch1", "Ch2"}, "Mode:Scope::Trigger Channel"},
    {"Mode:SCO:Bandwidth", 3, Kind::Choice, 0.0, 2.0, {"Wide", "Auto"}, "Mode:Scope::Bandwidth"},
    {"Mode:IMP:Measure", 104, Kind::Choice, 0.0, 3.0, {"Impedance Magnitude", "Parallel Circuit", "Serial Circuit", "Admittance"}, "Mode::Imp::Measure"},
    {"Mode:IMP:Graph", 111, Kind::Choice, 0.0, 4.0, {"Impedance", "Resistance", "Capacitance", "Inductance", "Admittance"}, "Mode::Imp::Graph"},
};

constexpr int kStatusReplySize = 128;
constexpr unsigned kHoldReplySize = 15;

// After a missed reply: interrupt whatever the instrument was doing and drop what it sent.
void recover(InstrumentLink& link) {
    linkWrite("\x14", link);
    linkDiscard(link, 100);
}

// The whole number at the start of text (0 when there is none).
long leadingNumber(const std::string& text) { return std::strtol(text.c_str(), nullptr, 10); }

std::int32_t errorCode(int index, long detail) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(index) + static_cast<std::uint32_t>(detail) * 65536u);
}

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

void logStatus(int status) {
    static const struct {
        int bit;
        const char* name;
    } kBits[] = {{0, "OPC"}, {2, "QYE"}, {3, "DDE"}, {4, "EXE"}, {5, "CME"}};
    std::string line = "ESR : " + std::to_string(status) + " ";
    for (const auto& b : kBits)
        if (status & (1 << b.bit)) line += std::string(b.name) + " ";
    commsLogWrite(line + "\n");
}

// Holds the instrument for a whole-table exchange: open, recover, ask it to suspend until its status
// reads clear (five tries at most), then short reply timeouts for the item queries. False when the
// link cannot be opened.
bool holdInstrument(InstrumentLink& link) {
    if (linkOpen(link) != 0) return false;
    recover(link);
    platform::sleepMs(100);
    for (int attempt = 0; attempt < 5; ++attempt) {
        linkWrite("SUSPEN,ON\n", link);
        linkWrite("*ESR?\n", link);
        std::string reply;
        if (linkReadLine(reply, kHoldReplySize, link) > 0 && leadingNumber(reply) <= 0) break;
    }
    linkSetReadTimeout(100, link);
    return true;
}

void releaseInstrument(InstrumentLink& link) {
    linkSetReadTimeout(1000, link);
    linkWrite("SUSPEN,OFF\n", link);
    linkClose(link);
}

void showSettingError(const char* format, const char* caption, std::int32_t code) {
    char text[160];
    std::snprintf(text, sizeof text, format, code & 0xFFFF, (static_cast<std::uint32_t>(code) >> 16) & 0xFFFF);
    platform::showMessage(text, caption, platform::Icon::Warning);
}

bool inRange(double v, double minimum, double maximum) {
    return (minimum == kNoLimit || v >= minimum) && (maximum == kNoLimit || v <= maximum);
}

}  // namespace

std::string InstrumentSetting::shownValue() const {
    if (kind == Kind::Text) return text;
    if (kind == Kind::Choice && value >= 0 && value < static_cast<int>(options.size())) return options[value];
    return std::to_string(value);
}

int InstrumentSetting::choiceIndex(const std::string& label) const {
    for (std::size_t i = 0; i < options.size(); ++i)
        if (label == options[i]) return static_cast<int>(i);
    return -1;
}

std::vector<InstrumentSetting> makeSettingsTable() { return {std::begin(kItems), std::end(kItems)}; }

std::vector<InstrumentSetting>& settingsTable() {
    static std::vector<InstrumentSetting> table = makeSettingsTable();
    return table;
}

const InstrumentSetting* findSetting(const std::vector<InstrumentSetting>& table, const std::string& name) {
    for (const auto& s : table)
        if (name == s.name) return &s;
    return nullptr;
}

InstrumentSetting* findSetting(std::vector<InstrumentSetting>& table, const std::string& name) {
    return const_cast<InstrumentSetting*>(findSetting(static_cast<const std::vector<InstrumentSetting>&>(table), name));
}

namespace {

// Three items report values beyond their labels: the instrument's FRA mode (4), its high-impedance
// input (6) and its automatic bandwidth (2) are shown on one label each.
struct FoldedValue {
    const char* item;
    std::int32_t instrumentValue;
    std::int32_t tableValue;
};
constexpr FoldedValue kFoldedValues[] = {{"Acqu:mode", 4, 3}, {"Chan:Impedance", 6, 1}, {"Mode:SCO:Bandwidth", 2, 1}};

const FoldedValue* foldedValueOf(const InstrumentSetting& s) {
    for (const FoldedValue& f : kFoldedValues)
        if (std::string_view(s.name) == f.item) return &f;
    return nullptr;
}

}  // namespace

std::int32_t fromInstrumentValue(const InstrumentSetting& s, std::int32_t v) {
    const FoldedValue* f = foldedValueOf(s);
    return f && v == f->instrumentValue ? f->tableValue : v;
}

std::int32_t toInstrumentValue(const InstrumentSetting& s, std::int32_t v) {
    const FoldedValue* f = foldedValueOf(s);
    return f && v == f->tableValue ? f->instrumentValue : v;
}

std::string queryItemText(int index, int size, InstrumentLink& link) {
    const std::string command = "config," + std::to_string(index) + "?\n";
    for (int attempt = 0; attempt < 3; ++attempt) {
        linkWrite(command, link);
        std::string reply;
        if (linkReadLine(reply, 2048, link) > 0)
            return reply.substr(0, size > 0 ? static_cast<std::size_t>(size - 1) : 0);
        recover(link);
        if (link.cancel && *link.cancel) break;  // the user cancelled: asking again would only wait
    }
    throw SettingError{index};
}

int queryItemNumber(int index, double minimum, double maximum, InstrumentLink& link) {
    std::string reply;
    for (int attempt = 0; attempt < 3; ++attempt) {
        reply = queryItemText(index, 128, link);
        if (!reply.empty() && isDigit(reply[0])) {
            long n = leadingNumber(reply);
            // The range is compared in whole numbers.
            double low = minimum == kNoLimit ? kNoLimit : std::trunc(minimum);
            double high = maximum == kNoLimit ? kNoLimit : std::trunc(maximum);
            if (!inRange(static_cast<double>(n), low, high)) {
                recover(link);
                throw SettingError{errorCode(index, n)};
            }
            return static_cast<int>(n);
        }
        recover(link);
    }
    throw SettingError{errorCode(index, reply.empty() ? -1 : -2)};
}

void setItemText(int index, const std::string& text, InstrumentLink& link) {
    const std::string command = "config," + std::to_string(index) + "," + text + "\n";
    linkWrite(command, link);
    for (int attempt = 1;; ++attempt) {
        if (attempt >= 2) {
            recover(link);
            linkWrite(command, link);
            platform::sleepMs(500);
        }
        platform::sleepMs(200);
        linkWrite("*esr?\n", link);
        std::string reply;
        const bool replied = linkReadLine(reply, kStatusReplySize, link) > 0;
        int status = static_cast<int>(leadingNumber(reply)) & 0x7F;
        logStatus(status);
        if (replied && status < 32) {
            if (attempt <= 2) return;
            throw SettingError{errorCode(index, status)};
        }
        if (attempt >= 4) throw SettingError{errorCode(index, status)};
    }
}

void setItemNumber(int index, int value, InstrumentLink& link) { setItemText(index, std::to_string(value), link); }

void readItem(InstrumentSetting& setting, InstrumentLink& link) {
    if (setting.isText()) {
        setting.text = queryItemText(setting.configIndex, 19, link);
    } else {
        setting.value =
            fromInstrumentValue(setting, queryItemNumber(setting.configIndex, setting.minimum, setting.maximum, link));
    }
    std::string shown = setting.shownValue();
    platform::debugOutput(std::string(setting.name) + " " + (shown.empty() ? "--" : shown) + "\n");
}

bool writeItem(const InstrumentSetting& setting, InstrumentLink& link) {
    if (setting.isText()) {
        if (!inRange(std::atof(setting.text.c_str()), setting.minimum, setting.maximum)) return false;
        setItemText(setting.configIndex, setting.text, link);
        return true;
    }
    std::int32_t v = toInstrumentValue(setting, setting.value);
    if (!inRange(v, setting.minimum, setting.maximum)) return false;
    setItemNumber(setting.configIndex, v, link);
    return true;
}

bool readAllSettings(std::vector<InstrumentSetting>& table, InstrumentLink& link) {
    static const char* const kReadError = "An error occurred reading the config from the SFRA (Id:%d Ret:%d)";
    platform::WaitCursor wait;
    if (!holdInstrument(link)) {
        // Nothing would answer: say so now rather than after every query has timed out.
        showSettingError(kReadError, "Read SFRA", table.empty() ? 0 : table.front().configIndex);
        return false;
    }
    bool ok = true;
    try {
        for (auto& setting : table) {
            platform::debugOutput(std::string("READ::") + setting.name + "\n");
            readItem(setting, link);
        }
    } catch (const SettingError& e) {
        showSettingError(kReadError, "Read SFRA", e.code);
        ok = false;
    }
    releaseInstrument(link);
    return ok;
}

bool writeChangedSettings(std::vector<InstrumentSetting>& table, InstrumentLink& link) {
    static const char* const kWriteError = "An error occurred writing the config to the SFRA (Id:%d Ret:%d)";
    platform::WaitCursor wait;
    if (!holdInstrument(link)) {
        for (const auto& s : table) {
            if (s.changed) {
                showSettingError(kWriteError, "Set Up SFRA", s.configIndex);
                return false;
            }
        }
        return true;
    }
    bool ok = true;
    try {
        for (auto& setting : table) {
            if (!setting.changed) continue;
            platform::debugOutput(std::string("WRITE::") + setting.name + "\n");
            if (setting.isText() && setting.text.size() > kMaxItemText) {
                platform::showMessage(common::stringPrintf("%s can hold at most %zu characters", setting.messageName,
                                                           kMaxItemText),
                                      "Set Up SFRA", platform::Icon::Information);
                ok = false;
                break;
            }
            InstrumentSetting sent = setting;
            if (sent.name == std::string("Acqu:mode") && sent.value == 4) sent.value = 5;
            if (!writeItem(sent, link)) {
                char text[160];
                std::snprintf(text, sizeof text, "%s can only be set between %0.1f and %0.1f", setting.messageName,
                              setting.minimum, setting.maximum);
                platform::showMessage(text, "Set Up SFRA", platform::Icon::Information);
                ok = false;
                break;
            }
            setting.changed = false;
        }
    } catch (const SettingError& e) {
        showSettingError(kWriteError, "Set Up SFRA", e.code);
        ok = false;
    }
    releaseInstrument(link);
    return ok;
}

}  // namespace instrument
