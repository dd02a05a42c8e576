// What follows a connection, for the user: the identified instrument registered as equipment in the
// database (with the "Add to Database" question and the "Calibration Due" warning), the equipment id
// the sweeps will name, and the main window's title. User-interface thread only; questions and
// messages go through the Prompter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "instrument/link.h"
#include "instrument/settings.h"

namespace app {

// Looks the identified instrument up in the Equipment table of the open database and brings its due
// date up to date, or offers to add it ("Add to Database"). Returns the equipment id the sweeps will
// name, -1 when none; it is also kept as currentEquipmentId(). Needs a connected link and an open
// database (returns -1 otherwise).
std::int64_t registerInstrument(instrument::InstrumentLink& link);
std::int64_t currentEquipmentId();
// Equipment the user has just added for the sweeps to name (Perform Sweep's "New").
void setCurrentEquipmentId(std::int64_t id);

// registerInstrument, then the "Calibration Due" warning when the instrument's stored due date has
// passed. Does nothing unless the link is connected and a database is open.
void registerConnectedInstrument(instrument::InstrumentLink& link);

// The main window's title: the program's title and, when connected, the interface and the identity
// from its first comma ("Corvane v1_5     LAN,QMX74,410-2718,2.07").
std::string windowTitle(const instrument::InstrumentLink& link);

// What follows a closed Connect dialog: when connected, register the instrument and warn when its
// calibration is due (with a database open), and read all its settings into the table; otherwise say
// that no connection was made. Returns the new window title.
std::string afterConnect(instrument::InstrumentLink& link, std::vector<instrument::InstrumentSetting>& table);

}  // namespace app
