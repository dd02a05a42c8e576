#include "instrument/identification.h"

#include <cstdio>
#include <cstdlib>

#include "common/identity.h"
#include "db/record_store.h"
#include "db/row_text.h"
#include "db/sql_text.h"
#include "instrument/comms_log.h"
#include "platform/prompter.h"

namespace instrument {
namespace {

constexpr const char* kAcceptedIdentities[] = {"VELTRONA,QMX27", "VELTRONA,QMX74", "ORVIK-TEST,QMX74"};
constexpr const char* kEquipmentMaker = "Veltrona Ltd";
constexpr int kReplySize = 256;
constexpr int kIdentifyAttempts = 5;
constexpr int kCalibrationAttempts = 5;

std::int64_t equipmentId = -1;

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

bool startsWithAny(const std::string& text, std::initializer_list<const char*> prefixes) {
    for (const char* p : prefixes)
        if (startsWith(text, p)) return true;
    return false;
}

// Writes a query and keeps its reply in field when one came.
template <typename Field>
void queryInto(const char* command, Field& field, InstrumentLink& link) {
    linkWrite(command, link);
    std::string reply;
    linkReadLine(reply, kReplySize, link);
    if (!reply.empty()) field = reply;
}

}  // namespace

bool isAcceptedIdentity(const std::string& reply) {
    for (const char* prefix : kAcceptedIdentities)
        if (startsWith(reply, prefix)) return true;
    return false;
}

void classifyModel(const std::string& m, InstrumentLink& link) {
    int model = 0;
    if (startsWith(m, "VTA")) {
        if (startsWith(m, "VTAX")) model = 18;
        else if (startsWithAny(m, {"VTA40", "VTA46", "VTA49"})) model = 13;
        else if (startsWithAny(m, {"VTA81", "VTA94", "VTA03"})) model = 15;
        else if (startsWith(m, "VTA844")) model = 17;
        else model = 9997;
    } else if (startsWith(m, "KRM93")) {
        model = 9;
        link.modelVariant = startsWith(m, "KRM9379") ? 3 : 2;
    } else if (startsWith(m, "KRM66")) {
        model = 7;
    } else if (startsWith(m, "KRM83")) {
        model = 7;
        link.rangeVariant = startsWith(m, "KRM8344") ? 0 : 2;
    } else if (startsWithAny(m, {"HLX-IV", "HCX-IV"})) {
        model = 7;
        link.rangeVariant = 2;
    } else if (startsWith(m, "QMX27")) {
        model = 10;
    } else if (startsWith(m, "QMX74")) {
        model = 11;
    } else if (startsWithAny(m, {"ZWA77", "DWX24"})) {
        model = 5;
    } else if (startsWith(m, "ZWA27")) {
        model = 4;
    } else if (startsWith(m, "ZWA97")) {
        model = 16;
    } else if (startsWith(m, "ZWA67")) {
        model = 2;
    } else if (startsWithAny(m, {"ZWA60", "TBX interface"})) {
        model = 3;
    } else if (startsWith(m, "ZWA87")) {
        model = 1;
    } else if (startsWith(m, "ZWA7")) {
        model = 6;
    } else if (startsWithAny(m, {"HNM", "TKA", "BRX"})) {
        model = 12;
    } else if (startsWith(m, "KCAN-RS232")) {
        model = 9999;
    }
    link.model = model;
}

std::string identityField(const std::string& identity, int n) {
    std::size_t start = 0;
    for (int i = 0; i < n; ++i) {
        std::size_t comma = identity.find(',', start);
        if (comma == std::string::npos) return {};
        start = comma + 1;
    }
    std::size_t end = identity.find(',', start);
    return identity.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool connectAndIdentify(InstrumentLink& link, bool showResult) {
    if (link.interfaceType == kNoInterface) return false;
    commsLogWrite("***\tCONNECTING\t***\n");
    bool identified = false;
    if (linkOpen(link) != 0) {
        std::string text = link.interfaceType == kLan ? "Failed to connect to IP address " + link.ipAddress.str()
                                                      : "Unable to open port " + link.portName.str();
        platform::showMessage(text, "Test Connection", platform::Icon::Information);
    } else {
        commsLogWrite("***\tCONNECTED\t***\n");
        linkWrite("\x14", link);
        linkWrite("^[", link);
        linkSetReadTimeout(500, link);
        platform::WaitCursor wait;

        std::string reply;
        bool accepted = false;
        for (int attempt = 0; attempt < kIdentifyAttempts && !accepted; ++attempt) {
            linkWrite("*IDN?\n", link);
            linkReadLine(reply, kReplySize, link);
            accepted = !reply.empty() && isAcceptedIdentity(reply);
        }
        linkSetReadTimeout(5000, link);

        if (accepted) {
            link.model = 0;
            classifyModel(reply.substr(reply.find(',') + 1), link);
            if (link.model != 0) {
                identified = true;
                char marker[400];
                std::snprintf(marker, sizeof marker, "***\tIDENTIFIED: %s (%d)\t***\n", reply.c_str(), link.model);
                commsLogWrite(marker);
                link.identity = reply;
                queryInto("calstr?\n", link.calibration, link);
                queryInto("calver?\n", link.calibrationVersion, link);
                queryInto("version?\n", link.firmwareVersion, link);
            } else {
                commsLogWrite("***\tUNIDENTIFIED INSTRUMENT\t***\n");
            }
        }
        if (showResult) {
            std::string text = identified ? "The connection was successful\n" +
                                                (link.identity.empty() ? std::string("Unknown Instrument")
                                                                       : link.identity.str())
                               : link.model != 0 ? "Incompatable instrument"
                                                 : "The connection failed";
            platform::showMessage(text, "Test Connection", platform::Icon::Information);
        }
    }
    linkClose(link);
    return identified;
}

bool calibrationDate(const std::string& text, std::string& out, bool wordy) {
    if (text.empty() || text == "default_calibration") return false;
    auto at = [&](std::size_t i) { return i < text.size() ? text[i] : '\0'; };
    std::string day = text.substr(0, 2);
    std::string result = day;
    if (wordy) {
        int d = std::atoi(day.c_str());
        result += (d == 1 || d == 21 || d == 31) ? "st " : (d == 2 || d == 22) ? "nd " : (d == 3 || d == 23) ? "rd " : "th ";
    } else {
        result += "-";
    }

    std::size_t first = text.find('_');
    std::size_t m = first == std::string::npos ? text.size() : first + 1;
    const char a = at(m), b = at(m + 1), c = at(m + 2);
    int month = 0;
    if (a == 'A') month = b == 'P' ? 4 : b == 'U' ? 8 : 0;
    else if (a == 'D') month = 12;
    else if (a == 'F') month = 2;
    else if (a == 'J') month = b == 'A' ? 1 : (b == 'U' && c == 'N') ? 6 : (b == 'U' && c == 'L') ? 7 : 0;
    else if (a == 'M') month = c == 'Y' ? 5 : c == 'R' ? 3 : 0;
    else if (a == 'N') month = 11;
    else if (a == 'O') month = 10;
    else if (a == 'S') month = 9;
    static const char* const kNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                         "July",    "August",   "September", "October", "November", "December"};
    if (month == 0) result += text.substr(std::min(m, text.size()), 3);
    else if (wordy) result += kNames[month - 1];
    else result += (month < 10 ? "0" : "") + std::to_string(month);

    result += wordy ? " " : "-";
    std::size_t second = first == std::string::npos ? std::string::npos : text.find('_', first + 1);
    if (second != std::string::npos) result += text.substr(second + 1, 4);
    out = result;
    return true;
}

std::string calibrationDueDate(const std::string& calibration) {
    std::string date;
    if (!calibrationDate(calibration, date, false)) return {};
    // day-month-year, one year on, rewritten year-month-day
    std::size_t first = date.find('-'), last = date.rfind('-');
    if (first == std::string::npos || first == last) return {};
    char year[16];
    std::snprintf(year, sizeof year, "%4d", std::atoi(date.c_str() + last + 1) + 1);
    return std::string(year) + "-" + date.substr(first + 1, last - first - 1) + "-" + date.substr(0, first);
}

bool isCalibrationCurrent(const std::string& dueDate, const platform::LocalTime& today) {
    int year = 0, month = 0, day = 0;
    char end = 0;
    if (std::sscanf(dueDate.c_str(), "%d-%d-%d%c", &year, &month, &day, &end) != 3) return false;
    if (year != today.year) return year > today.year;
    if (month != today.month) return month > today.month;
    return day >= today.day;
}

bool isCalibrationCurrent(const std::string& dueDate) {
    return isCalibrationCurrent(dueDate, platform::localTimeNow());
}

std::int64_t registerInstrument(InstrumentLink& link) {
    equipmentId = -1;
    if (!link.connected || !db::connectionHandle(db::Connection::Main)) return equipmentId;
    const db::TableIndex eq = db::TableIndex::Equipment;
    const std::string type = identityField(link.identity, 1), serial = identityField(link.identity, 2);
    std::vector<std::vector<std::string>> rows;
    db::selectColumns(
        rows, eq, db::allColumns(eq),
        common::stringPrintf("WHERE %s='%s' AND %s='%s'", db::columnName(eq, 2), db::doubleQuotes(type).c_str(),
                             db::columnName(eq, 3), db::doubleQuotes(serial).c_str()),
        false);

    // The calibration text once more, with a short wait per try.
    if (linkOpen(link) == 0) {
        std::string reply;
        for (int attempt = 0; attempt < kCalibrationAttempts && reply.empty(); ++attempt) {
            linkSetReadTimeout(100, link);
            linkWrite("CALSTR?\n", link);
            linkReadLine(reply, 128, link);
            linkSetReadTimeout(1000, link);
        }
        if (!reply.empty()) link.calibration = reply;
        linkClose(link);
    }
    const std::string due = calibrationDueDate(link.calibration);

    if (!rows.empty()) {
        db::EquipmentRecord record = db::equipmentFromColumns(rows.front());
        equipmentId = record.id;
        if (!due.empty()) {
            record.calibrationDueDate = due;
            db::store_equipment(record, db::kUpdate);
        }
    } else if (!due.empty() &&
               platform::showMessage("This instrument is not in your database, would you like to add it?",
                                     "Add to Database", platform::Icon::Question,
                                     platform::Buttons::YesNo) == platform::Answer::Yes) {
        db::EquipmentRecord record;
        record.id = db::next_row_id(eq);
        record.manufacturer = kEquipmentMaker;
        record.instrument = type;
        record.serialNumber = serial;
        record.calibrationDueDate = due;
        if (db::store_equipment(record, db::kAddChecked) == db::kStored) equipmentId = record.id;
    }
    return equipmentId;
}

std::int64_t currentEquipmentId() { return equipmentId; }

std::string windowTitle(const InstrumentLink& link) {
    std::string title = common::mainWindowTitle();
    if (!link.connected) return title;
    const char* name = link.interfaceType == kLan ? "LAN" : link.interfaceType == kUsb ? "USB" : "SER";
    const std::string& id = link.identity.str();
    std::size_t comma = id.find(',');
    std::string rest = id.empty() ? ",Unknown Connection" : comma == std::string::npos ? std::string() : id.substr(comma);
    return title + "     " + name + rest;
}

void registerConnectedInstrument(InstrumentLink& link) {
    if (!link.connected || !db::connectionHandle(db::Connection::Main)) return;
    registerInstrument(link);
    if (equipmentId == -1) return;
    // The due date as stored (year first), which is what isCalibrationCurrent reads.
    const db::TableIndex eq = db::TableIndex::Equipment;
    std::vector<std::vector<std::string>> rows;
    db::selectColumns(
        rows, eq, {4},
        common::stringPrintf("WHERE %s='%lld'", db::columnName(eq, 0), static_cast<long long>(equipmentId)), false);
    if (!rows.empty() && !isCalibrationCurrent(rows.front()[0]) && !link.calibration.empty())
        platform::showMessage("The connected instrument is due for calibration.\nDate last calibrated is " +
                                  link.calibration.str(),
                              "Calibration Due", platform::Icon::Information);
}

std::string afterConnect(InstrumentLink& link, std::vector<InstrumentSetting>& table) {
    if (link.connected) {
        registerConnectedInstrument(link);
        readAllSettings(table, link);
    } else {
        platform::showMessage("No connection was made", "Corvane", platform::Icon::Warning);
    }
    return windowTitle(link);
}

}  // namespace instrument
