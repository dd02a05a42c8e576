// What the equipment dialog fills in from the connected instrument: its type and serial number from
// the identity, the maker's name, and the calibration due date a year after the calibration date
// the instrument reports. User-interface thread (it asks the instrument and may show a message).
#pragma once

#include <string>

#include "instrument/link.h"

namespace instrument {

// The maker's name as the program records it for its instruments.
inline constexpr const char* kInstrumentMaker = "Veltrona Ltd";

struct EquipmentDetails {
    std::string instrument;
    std::string manufacturer;
    std::string serialNumber;
    std::string calibrationDueDate;  // YYYY-MM-DD; left as it was when the instrument reports no date
};

// Opens the link, asks "*IDN?" and then "CALSTR?", each again while the reply is empty (six empty
// replies in all give up), and closes the link. False, after the message "Unable to communicate with
// instrument, please check the connection and try again" ("Error: Unable to Auto-fill"), when the
// link cannot be opened or the instrument stays silent; details is then unchanged. An uncalibrated
// instrument ("default_calibration") leaves the due date as it was.
bool readEquipmentDetails(InstrumentLink& link, EquipmentDetails& details);

}  // namespace instrument
