// What the Perform Sweep dialog checks and does: the sweep's settings (steps, frequencies, minimum
// cycles, speed and window) as the instrument keeps them, and the details of a sweep to be stored
// (name, voltage, temperature, transformer, setup, equipment, comments). The dialog (and the command
// line) holds the fields; these functions fill them, check them in the program's order with its
// messages, update the settings table and fill the pending sweep record. User-interface thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/records.h"
#include "instrument/link.h"
#include "instrument/settings.h"

namespace measure {

enum FieldState : int { kFieldEmpty = -1, kFieldInvalid = 0, kFieldValid = 1 };

enum class SweepKind { Fra, Lcr };

// The lowest start or end frequency a sweep may have, in Hz.
constexpr double kLowestSweepFrequency = 5.0;

struct NameStatus {
    int state;
    std::string text;  // "", "The name is too short", "OK", "This name is already taken"
};

// The name's state as it is typed: too short below four characters, taken when a stored sweep has
// the same name in any letter case.
NameStatus checkSweepName(const std::string& name, const std::vector<std::string>& existingNames);

// Shows why a field is refused as every form of the program does: an "Invalid" box with the
// information icon.
void showRefusal(const std::string& message);

// Why a sweep name that is not valid is refused on confirmation, by its length: "Sweep Name is a
// required field", "Sweep Name is too short" or "Sweep Name is already taken".
const char* sweepNameRefusal(const std::string& name);

// Peak voltage and temperature as they are typed: empty, invalid (not a clean number, or exactly 0),
// valid.
int checkValueField(const std::string& text);

struct SweepSetupFields {
    std::string steps, start, end, minCycles;
    int speed = 0;       // index of the speed setting's options; 5 "Window" uses the text below
    std::string window;
    bool save = true;    // "Save Sweep to Database"
    std::string name, peakVoltage, temperature, comments;
    std::string transformerIdentifier;
    std::int64_t setupId = -1, equipmentId = -1;  // -1: none chosen
};

// The fields as the dialog opens: the instrument's settings from the table (with the defaults for
// empty ones), saving ticked, empty details but the default equipment.
SweepSetupFields openSweepSetup(const std::vector<instrument::InstrumentSetting>& table, std::int64_t defaultEquipment);

// The sweep the run will store, and whether it is to be stored.
struct PendingSweep {
    db::SweepRecord record;
    bool save = false;
};

// Which field a refused confirmation sends the user back to.
enum class SetupFocus { None, Name, PeakVoltage, Temperature };

// "Confirm and Sweep": runs the checks in order, each refusal shown in an "Invalid" box; settings
// that passed their check are put into the table (marked changed) even when a later check fails. On
// success fills pending (id from the database when one is open, date and time now) and, when a
// setting changed, writes the changed settings to the instrument. True when confirmed.
bool confirmSweepSetup(const SweepSetupFields& fields, SweepKind kind, const std::vector<std::string>& existingNames,
                       std::vector<instrument::InstrumentSetting>& table, PendingSweep& pending,
                       instrument::InstrumentLink& link, SetupFocus* focus = nullptr);

}  // namespace measure
