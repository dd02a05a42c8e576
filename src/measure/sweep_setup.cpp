#include "measure/sweep_setup.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "db/schema.h"
#include "measure/engineering_number.h"
#include "platform/clock.h"
#include "platform/prompter.h"

namespace measure {
namespace {

using instrument::InstrumentSetting;
using instrument::findSetting;

bool sameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

bool refuse(const std::string& message) {
    showRefusal(message);
    return false;
}

// Replaces a setting's number or text when it differs, marking it changed.
void setNumber(InstrumentSetting* s, int value) {
    if (s && s->value != value) {
        s->value = value;
        s->changed = true;
    }
}

void setText(InstrumentSetting* s, const std::string& text) {
    if (s && s->text != text) {
        s->text = text;
        s->changed = true;
    }
}

bool inFrequencyRange(double f) { return f >= kLowestSweepFrequency && f <= parseEngineeringNumber("45M"); }

std::string formatFrequency(double f) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4E", f);
    return text;
}

bool detailsAcceptable(const SweepSetupFields& f, SweepKind kind, const std::vector<std::string>& names,
                       SetupFocus* focus) {
    const NameStatus name = checkSweepName(f.name, names);
    if (name.state != kFieldValid) {
        if (focus) *focus = SetupFocus::Name;
        return refuse(sweepNameRefusal(f.name));
    }
    // The impedance sweep takes an empty voltage or temperature as 0.
    auto refused = [kind](int state) { return kind == SweepKind::Lcr ? state == kFieldInvalid : state != kFieldValid; };
    if (refused(checkValueField(f.peakVoltage))) {
        if (focus) *focus = SetupFocus::PeakVoltage;
        return refuse("Invalid Peak Voltage value");
    }
    if (refused(checkValueField(f.temperature))) {
        if (focus) *focus = SetupFocus::Temperature;
        return refuse("Invalid Temperature value");
    }
    if (f.transformerIdentifier.empty()) return refuse("Transformer is a required field");
    if (f.setupId < 0) return refuse("Measurement Setup is a required field");
    if (f.equipmentId < 0) return refuse("Measurement Equipment is a required field");
    return true;
}

// The sweep settings, checked and put into the table one by one.
bool settingsAcceptable(const SweepSetupFields& f, std::vector<InstrumentSetting>& table) {
    const int steps = std::atoi(f.steps.c_str());
    if (steps < 2 || steps > 2000) return refuse("The sweep must be between 2 and 2000 steps");
    setNumber(findSetting(table, "Sweep:Steps"), steps);

    const double start = parseEngineeringNumber(f.start);
    if (!inFrequencyRange(start)) return refuse("The start frequency must be between 5 Hz and 45Mhz");
    setText(findSetting(table, "Sweep:Start"), formatFrequency(start));

    const double end = parseEngineeringNumber(f.end);
    if (!inFrequencyRange(end)) return refuse("The end frequency must be between 5 Hz and 45Mhz");
    setText(findSetting(table, "Sweep:End"), formatFrequency(end));

    const int cycles = std::atoi(f.minCycles.c_str());
    if (cycles < 1 || cycles > 100) return refuse("The minimum cycles must be between 1 and 100");
    setText(findSetting(table, "Acqu:mCyc"), f.minCycles);

    setNumber(findSetting(table, "Acqu:speed"), f.speed);
    if (f.window.size() > instrument::kMaxItemText)
        return refuse("The window can be at most " + std::to_string(instrument::kMaxItemText) + " characters long");
    setText(findSetting(table, "Acqu:window"), f.window);
    return true;
}

void fillPending(const SweepSetupFields& f, PendingSweep& pending) {
    db::SweepRecord& r = pending.record;
    r = db::SweepRecord{};
    r.id = db::connectionHandle(db::Connection::Main) ? db::next_row_id(db::TableIndex::Sweep) : 0;
    r.setupId = f.setupId;
    r.equipmentId = f.equipmentId;
    r.transformerIdentifier = f.transformerIdentifier;
    r.peakVoltage = parseEngineeringNumber(f.peakVoltage);
    r.temperature = parseEngineeringNumber(f.temperature);
    r.name = f.name;  // the record keeps at most 150 characters
    r.comments = common::FixedText<301>(f.comments).str();  // at most 300 characters
    const platform::LocalTime t = platform::localTimeNow();
    char date[16], time[8];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", t.year, t.month, t.day);
    std::snprintf(time, sizeof time, "%02d:%02d", t.hour, t.minute);
    r.date = date;
    r.time = time;
    pending.save = f.save;
}

}  // namespace

NameStatus checkSweepName(const std::string& name, const std::vector<std::string>& existingNames) {
    if (name.empty()) return {kFieldEmpty, ""};
    if (name.size() <= 3) return {kFieldInvalid, "The name is too short"};
    for (const std::string& existing : existingNames)
        if (sameNoCase(name, existing)) return {kFieldInvalid, "This name is already taken"};
    return {kFieldValid, "OK"};
}

void showRefusal(const std::string& message) {
    platform::showMessage(message, "Invalid", platform::Icon::Information);
}

const char* sweepNameRefusal(const std::string& name) {
    return name.empty()       ? "Sweep Name is a required field"
           : name.size() <= 3 ? "Sweep Name is too short"
                              : "Sweep Name is already taken";
}

int checkValueField(const std::string& text) {
    if (text.empty()) return kFieldEmpty;
    bool valid = true;
    const double value = parseEngineeringNumber(text.substr(0, 126), &valid);
    if (value == 0.0) return kFieldInvalid;
    return valid ? kFieldValid : kFieldInvalid;
}

SweepSetupFields openSweepSetup(const std::vector<InstrumentSetting>& table, std::int64_t defaultEquipment) {
    auto find = [&table](const char* name) { return findSetting(table, name); };
    auto textOr = [&](const char* name, const char* fallback) {
        const InstrumentSetting* s = find(name);
        return s && !s->text.empty() ? s->text : std::string(fallback);
    };
    SweepSetupFields f;
    const InstrumentSetting* steps = find("Sweep:Steps");
    f.steps = steps && steps->value != 0 ? std::to_string(steps->value) : "2000";
    f.start = textOr("Sweep:Start", "1.0000E1");
    f.end = textOr("Sweep:End", "2.0000E7");
    f.minCycles = textOr("Acqu:mCyc", "1");
    const InstrumentSetting* speed = find("Acqu:speed");
    f.speed = speed ? speed->value : 0;
    f.window = textOr("Acqu:window", "");
    f.equipmentId = defaultEquipment;
    return f;
}

bool confirmSweepSetup(const SweepSetupFields& fields, SweepKind kind, const std::vector<std::string>& existingNames,
                       std::vector<InstrumentSetting>& table, PendingSweep& pending, instrument::InstrumentLink& link,
                       SetupFocus* focus) {
    if (focus) *focus = SetupFocus::None;
    if (fields.save && !detailsAcceptable(fields, kind, existingNames, focus)) return false;
    if (!settingsAcceptable(fields, table)) return false;
    fillPending(fields, pending);
    bool changed = false;
    for (const char* name : {"Sweep:Steps", "Sweep:Start", "Sweep:End", "Acqu:mCyc", "Acqu:speed", "Acqu:window"})
        if (const InstrumentSetting* s = findSetting(table, name)) changed = changed || s->changed;
    if (changed) instrument::writeChangedSettings(table, link);
    return true;
}

}  // namespace measure
