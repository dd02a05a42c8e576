// Registering the connected instrument as equipment, the calibration warning, the window title.
#include "app/instrument_registration.h"

#include "common/identity.h"
#include "db/record_store.h"
#include "instrument/calibration.h"
#include "instrument/equipment_details.h"
#include "instrument/identification.h"
#include "platform/prompter.h"

namespace app {
namespace {

std::int64_t equipmentId = -1;

}  // namespace

std::int64_t registerInstrument(instrument::InstrumentLink& link) {
    equipmentId = -1;
    if (!link.connected || !db::connectionHandle(db::Connection::Main)) return equipmentId;
    const std::string type = instrument::identityField(link.identity, 1);
    const std::string serial = instrument::identityField(link.identity, 2);
    db::EquipmentRecord record;
    const bool found = db::find_equipment(type, serial, record);

    instrument::rereadCalibration(link);
    const std::string due = instrument::calibrationDueDate(link.calibration);

    if (found) {
        equipmentId = record.id;
        if (!due.empty()) {
            record.calibrationDueDate = due;
            db::store_equipment(record, db::kUpdate);
        }
    } else if (!due.empty() &&
               platform::showMessage("This instrument is not in your database, would you like to add it?",
                                     "Add to Database", platform::Icon::Question,
                                     platform::Buttons::YesNo) == platform::Answer::Yes) {
        record = db::EquipmentRecord{};
        record.id = db::next_row_id(db::TableIndex::Equipment);
        record.manufacturer = instrument::kInstrumentMaker;
        record.instrument = type;
        record.serialNumber = serial;
        record.calibrationDueDate = due;
        if (db::store_equipment(record, db::kAddChecked) == db::kStored) equipmentId = record.id;
    }
    return equipmentId;
}

std::int64_t currentEquipmentId() { return equipmentId; }

void setCurrentEquipmentId(std::int64_t id) { equipmentId = id; }

std::string windowTitle(const instrument::InstrumentLink& link) {
    std::string title = common::mainWindowTitle();
    if (!link.connected) return title;
    const char* name = link.interfaceType == instrument::kLan   ? "LAN"
                       : link.interfaceType == instrument::kUsb ? "USB"
                                                                : "SER";
    const std::string& id = link.identity.str();
    std::size_t comma = id.find(',');
    std::string rest = id.empty() ? ",Unknown Connection" : comma == std::string::npos ? std::string() : id.substr(comma);
    return title + "     " + name + rest;
}

void registerConnectedInstrument(instrument::InstrumentLink& link) {
    if (!link.connected || !db::connectionHandle(db::Connection::Main)) return;
    registerInstrument(link);
    if (equipmentId == -1) return;
    // The due date as stored (year first), which is what isCalibrationCurrent reads.
    db::EquipmentRecord stored;
    if (db::load_equipment(equipmentId, stored) && !instrument::isCalibrationCurrent(stored.calibrationDueDate.str()) &&
        !link.calibration.empty())
        platform::showMessage("The connected instrument is due for calibration.\nDate last calibrated is " +
                                  link.calibration.str(),
                              "Calibration Due", platform::Icon::Information);
}

std::string afterConnect(instrument::InstrumentLink& link, std::vector<instrument::InstrumentSetting>& table) {
    if (link.connected) {
        registerConnectedInstrument(link);
        instrument::readAllSettings(table, link);
    } else {
        platform::showMessage("No connection was made", "Corvane", platform::Icon::Warning);
    }
    return windowTitle(link);
}

}  // namespace app
