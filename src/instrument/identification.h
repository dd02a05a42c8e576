// Connecting to the instrument and identifying it: the accepted identities and model codes, the
// calibration date text, registering the instrument as equipment in the database, and what happens
// after the Connect dialog has closed. User-interface thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "instrument/link.h"
#include "instrument/settings.h"
#include "platform/clock.h"

namespace instrument {

// True when the reply begins with one of the identities the program serves.
bool isAcceptedIdentity(const std::string& reply);

// Sets the link's model code (and, where the model needs it, its model or range variant) from the
// model text, the identity after its first comma. An unknown model gives 0.
void classifyModel(const std::string& modelText, InstrumentLink& link);

// Field n (0 the maker, 1 the instrument type, 2 the serial number) of a comma-separated identity;
// "" when there are fewer fields.
std::string identityField(const std::string& identity, int n);

// Opens the link, asks the instrument who it is (five tries), accepts only the identities served,
// classifies the model and reads the calibration and version texts; with showResult says how it went
// in a "Test Connection" box. Leaves the link closed. True when an instrument was identified.
bool connectAndIdentify(InstrumentLink& link, bool showResult);

// The date in a calibration text such as 07_MAR_2024: 07-03-2024, or in words 07th March 2024.
// Leaves out unchanged and returns false for "default_calibration" or an empty text.
bool calibrationDate(const std::string& text, std::string& out, bool wordy);

// The calibration due date, a year after the calibration, as stored (2025-03-07); "" when the text
// holds no date.
std::string calibrationDueDate(const std::string& calibration);

// True when the stored due date (YYYY-MM-DD) is today or later; false when it is earlier or is not
// three numbers.
bool isCalibrationCurrent(const std::string& dueDate);
bool isCalibrationCurrent(const std::string& dueDate, const platform::LocalTime& today);

// Looks the identified instrument up in the Equipment table of the open database and brings its due
// date up to date, or offers to add it ("Add to Database"). Returns the equipment id the sweeps will
// name, -1 when none; it is also kept as currentEquipmentId(). Needs a connected link and an open
// database (returns -1 otherwise).
std::int64_t registerInstrument(InstrumentLink& link);
std::int64_t currentEquipmentId();

// registerInstrument, then the "Calibration Due" warning when the instrument's stored due date has
// passed. Does nothing unless the link is connected and a database is open.
void registerConnectedInstrument(InstrumentLink& link);

// The main window's title: the program's title and, when connected, the interface and the identity
// from its first comma ("Corvane v1_5     LAN,QMX74,410-2718,2.07").
std::string windowTitle(const InstrumentLink& link);

// What follows a closed Connect dialog: when connected, register the instrument and warn when its
// calibration is due (with a database open), and read all its settings into the table; otherwise say
// that no connection was made. Returns the new window title.
std::string afterConnect(InstrumentLink& link, std::vector<InstrumentSetting>& table);

}  // namespace instrument
