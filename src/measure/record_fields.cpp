// The record dialogs' field checks, refusals and record filling.
#include "measure/record_fields.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "db/record_lookup.h"
#include "measure/engineering_number.h"

namespace measure {
namespace {

// The record store refuses names shorter than this; an unchanged name that short cannot be stored
// again, so it does not pass unchecked.
constexpr std::size_t kShortestStoredName = 3;

template <class Field>
std::optional<Refusal<Field>> refusal(const char* message, Field field) {
    return Refusal<Field>{message, field};
}

// A number field that is empty, or whose whole text is a number above 0.
int positiveNumberState(const std::string& text) {
    if (text.empty()) return kFieldEmpty;
    bool valid = true;
    const double value = parseEngineeringNumber(text, &valid);
    return valid && value > 0.0 ? kFieldValid : kFieldInvalid;
}

bool unchangedStorableName(const std::string& name, const std::string& ownName) {
    return name == ownName && name.size() >= kShortestStoredName;
}

std::string shownValue(double value) {
    if (value <= 0.0) return {};
    char text[64];
    std::snprintf(text, sizeof text, "%0.5f", value);
    return text;
}

}  // namespace

NameStatus checkTransformerIdentifier(const std::string& identifier, const std::vector<std::string>& existing) {
    NameStatus status = checkSweepName(identifier, existing);
    if (status.state == kFieldInvalid)
        status.text = identifier.size() <= 3 ? "This Identifier is not long enough" : "This Identifier is already taken";
    return status;
}

std::optional<Refusal<TransformerField>> refuseTransformer(const TransformerForm& form, bool identifierChosen,
                                                          const std::vector<std::string>& existing) {
    using F = TransformerField;
    if (identifierChosen) {
        const int state = checkTransformerIdentifier(form.identifier, existing).state;
        if (state == kFieldEmpty) return refusal("Transformer Identifier is a required field", F::Identifier);
        if (state == kFieldInvalid) return refusal("Invalid Transformer Identifier", F::Identifier);
    }
    if (form.manufacturer.empty()) return refusal("Transformer Manufacturer is a required field", F::Manufacturer);
    if (form.serialNumber.empty()) return refusal("Transformer Serial Number is a required field", F::SerialNumber);
    return std::nullopt;
}

NameStatus checkSetupName(const std::string& name, const std::vector<std::string>& existing,
                          const std::string& ownName) {
    std::vector<std::string> others = existing;
    if (!ownName.empty()) {
        const auto own = std::find(others.begin(), others.end(), ownName);
        if (own != others.end()) others.erase(own);
    }
    return checkSweepName(name, others);
}

int checkUnshieldedLength(const std::string& text) { return positiveNumberState(text); }

SetupForm setupForm(const db::SetupRecord& r) {
    SetupForm f;
    f.name = r.name;
    f.reference = r.referenceTerminal;
    f.response = r.responseTerminal;
    f.connected = r.connectedTerminals;
    f.oltc = std::to_string(r.oltc);
    char length[64];
    std::snprintf(length, sizeof length, "%0.2f", static_cast<double>(r.unshieldedLength));
    f.length = length;
    f.comments = r.comments;
    f.fluidFilled = r.fluidFilled;
    return f;
}

std::optional<Refusal<SetupField>> refuseSetup(const SetupForm& form, const std::vector<std::string>& existing,
                                              const std::string& ownName) {
    using F = SetupField;
    if (!unchangedStorableName(form.name, ownName) &&
        checkSetupName(form.name, existing, ownName).state != kFieldValid)
        return refusal(form.name.empty() ? "Setup Name is a required field" : "Invalid Name for this setup", F::Name);
    if (form.reference.empty()) return refusal("Reference Terminal is a required field", F::Reference);
    if (form.response.empty()) return refusal("Response Terminal is a required field", F::Response);
    if (form.connected.empty()) return refusal("Connected Terminals is a required field", F::Connected);
    if (form.oltc.empty()) return refusal("On Load Tap Changer (OLTC) is a required field", F::Oltc);
    // The tap position is stored as a whole number; pasted text that is none would be stored as 0.
    char* end = nullptr;
    const long long tap = std::strtoll(form.oltc.c_str(), &end, 10);
    if (*end != '\0' || !std::isdigit(static_cast<unsigned char>(form.oltc[0])) || tap > INT32_MAX)
        return refusal("Invalid On Load Tap Changer (OLTC) value", F::Oltc);
    const int length = checkUnshieldedLength(form.length);
    if (length == kFieldEmpty) return refusal("Unshielded Length is a required field", F::Length);
    if (length == kFieldInvalid) return refusal("Invalid Unshielded Length value", F::Length);
    return std::nullopt;
}

void fillSetup(const SetupForm& form, db::SetupRecord& r) {
    r.name = form.name;
    r.referenceTerminal = form.reference;
    r.responseTerminal = form.response;
    r.connectedTerminals = form.connected;
    r.oltc = static_cast<std::int32_t>(std::atol(form.oltc.c_str()));
    r.unshieldedLength = static_cast<float>(parseEngineeringNumber(form.length));
    r.fluidFilled = form.fluidFilled;
    r.comments = form.comments;
}

std::optional<Refusal<EquipmentField>> refuseEquipment(const EquipmentForm& form) {
    using F = EquipmentField;
    if (form.instrument.empty()) return refusal("Measurement Instrument is a required field", F::Instrument);
    if (form.manufacturer.empty()) return refusal("Equipment Manufacturer is a required field", F::Manufacturer);
    if (form.serialNumber.empty()) return refusal("Equipment Serial Number is a required field", F::SerialNumber);
    return std::nullopt;
}

NameStatus checkStoredSweepName(const std::string& name, const std::string& ownName) {
    NameStatus status = checkSweepName(name, {});
    // checkSweepName against the own name alone says whether the two are the same in any letter case.
    const bool ownAgain = !ownName.empty() && checkSweepName(name, {ownName}).state == kFieldInvalid;
    if (status.state == kFieldValid && !ownAgain && db::sweepNameExists(name))
        status = {kFieldInvalid, "This name is already taken"};
    return status;
}

int checkSweepValue(const std::string& text) { return positiveNumberState(text); }

SweepForm sweepForm(const db::SweepRecord& r) {
    SweepForm f;
    f.name = r.name;
    f.peakVoltage = shownValue(r.peakVoltage);
    f.temperature = shownValue(r.temperature);
    f.comments = r.comments;
    f.transformerIdentifier = r.transformerIdentifier;
    f.setupId = r.setupId;
    f.equipmentId = r.equipmentId;
    return f;
}

std::optional<Refusal<SweepField>> refuseSweep(const SweepForm& form, const SweepForm* shown) {
    using F = SweepField;
    const std::string ownName = shown ? shown->name : std::string();
    if (!unchangedStorableName(form.name, ownName) && checkStoredSweepName(form.name, ownName).state != kFieldValid)
        return refusal(sweepNameRefusal(form.name), F::Name);
    if (!(shown && form.peakVoltage == shown->peakVoltage) && checkSweepValue(form.peakVoltage) == kFieldInvalid)
        return refusal("Invalid Peak Voltage value", F::PeakVoltage);
    if (!(shown && form.temperature == shown->temperature) && checkSweepValue(form.temperature) == kFieldInvalid)
        return refusal("Invalid Temperature value", F::Temperature);
    if (form.transformerIdentifier.empty()) return refusal("Transformer is a required field", F::Transformer);
    if (form.setupId < 0) return refusal("Measurement Setup is a required field", F::Setup);
    if (form.equipmentId < 0) return refusal("Measurement Equipment is a required field", F::Equipment);
    return std::nullopt;
}

void fillSweep(const SweepForm& form, const SweepForm* shown, db::SweepRecord& r) {
    r.name = form.name;
    // The comments field takes 300 characters; all of them are kept.
    r.comments = common::FixedText<301>(form.comments).str();
    if (!(shown && form.peakVoltage == shown->peakVoltage)) r.peakVoltage = parseEngineeringNumber(form.peakVoltage);
    if (!(shown && form.temperature == shown->temperature)) r.temperature = parseEngineeringNumber(form.temperature);
    r.transformerIdentifier = form.transformerIdentifier;
    r.setupId = form.setupId;
    r.equipmentId = form.equipmentId;
}

}  // namespace measure
