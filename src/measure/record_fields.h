// What the record dialogs (transformer, measurement setup, measurement equipment, sweep) accept: the
// checks run while a field is typed, the refusals of OK in the program's order with its messages,
// and the fields' texts read into a record and shown from one. Numbers are read with the
// engineering-number parser. The sweep name check asks the open database; everything else is pure.
// User-interface thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "db/records.h"
#include "measure/sweep_setup.h"

namespace measure {

// A refused OK: the message for the "Invalid" box and the field the user is sent back to.
template <class Field>
struct Refusal {
    std::string message;
    Field field;
};

// --- Add/Edit Transformer ---------------------------------------------------------------------

// The identifier as it is typed: too short below four characters, taken when one of existing equals
// it in any letter case (pass no identifiers where there is nothing to compare with).
NameStatus checkTransformerIdentifier(const std::string& identifier, const std::vector<std::string>& existing);

enum class TransformerField { Identifier, Manufacturer, SerialNumber };

struct TransformerForm {
    std::string identifier, manufacturer, serialNumber;
};

// OK: the identifier (unless it is not being chosen, as when editing) and then the two other fields.
std::optional<Refusal<TransformerField>> refuseTransformer(const TransformerForm& form, bool identifierChosen,
                                                          const std::vector<std::string>& existing);

// --- Add/Edit Measurement Setup ----------------------------------------------------------------

// The name as it is typed, against the names of the stored setups; ownName (the edited setup's
// stored name, "" when adding) does not count once.
NameStatus checkSetupName(const std::string& name, const std::vector<std::string>& existing,
                          const std::string& ownName);

// The unshielded length as it is typed: empty; valid when the whole text is a number above 0.
int checkUnshieldedLength(const std::string& text);

enum class SetupField { Name, Reference, Response, Connected, Oltc, Length };

struct SetupForm {
    std::string name, reference, response, connected, oltc, length, comments;
    bool fluidFilled = false;
};

// The fields as the dialog shows a stored setup (OLTC "%d", length "%0.2f").
SetupForm setupForm(const db::SetupRecord& record);

// OK, in the program's order. An unchanged name (ownName) passes when the store would take it. The
// OLTC must be a whole number, the length a number above 0.
std::optional<Refusal<SetupField>> refuseSetup(const SetupForm& form, const std::vector<std::string>& existing,
                                              const std::string& ownName);

// The accepted fields into the record (id untouched).
void fillSetup(const SetupForm& form, db::SetupRecord& record);

// --- Add/Edit Measurement Equipment ------------------------------------------------------------

enum class EquipmentField { Instrument, Manufacturer, SerialNumber };

struct EquipmentForm {
    std::string instrument, manufacturer, serialNumber;
};

std::optional<Refusal<EquipmentField>> refuseEquipment(const EquipmentForm& form);

// --- Edit Sweep --------------------------------------------------------------------------------

// The name as it is typed: too short below four characters, taken when a stored sweep has it in any
// letter case; the edited sweep's own name (ownName, "" when adding) is not looked up.
NameStatus checkStoredSweepName(const std::string& name, const std::string& ownName);

// Peak voltage and temperature as they are typed: empty; valid when the whole text is a number above 0.
int checkSweepValue(const std::string& text);

enum class SweepField { Name, PeakVoltage, Temperature, Transformer, Setup, Equipment };

struct SweepForm {
    std::string name, peakVoltage, temperature, comments;
    std::string transformerIdentifier;
    std::int64_t setupId = -1, equipmentId = -1;  // -1: none chosen
};

// The fields as the dialog shows a stored sweep: voltage and temperature "%0.5f", empty when not above
// 0 (empty values are stored as 0).
SweepForm sweepForm(const db::SweepRecord& record);

// OK, in the program's order. When editing, shown is what the dialog opened with: an unchanged name
// passes when the store would take it, and an unchanged voltage or temperature passes.
std::optional<Refusal<SweepField>> refuseSweep(const SweepForm& form, const SweepForm* shown);

// The accepted fields into the record: name and comments cut to their capacities, empty values as 0;
// when editing, a voltage or temperature left as shown keeps its stored value.
void fillSweep(const SweepForm& form, const SweepForm* shown, db::SweepRecord& record);

}  // namespace measure
