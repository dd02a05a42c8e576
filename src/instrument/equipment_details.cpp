// The equipment auto-fill exchange.
#include "instrument/equipment_details.h"

#include "instrument/calibration.h"
#include "instrument/identification.h"
#include "platform/prompter.h"

namespace instrument {
namespace {

constexpr int kReplySize = 256;
constexpr int kEmptyRepliesAllowed = 6;
// Long enough for any reply of the instrument's, short enough that a silent one does not hold the
// dialog for half a minute.
constexpr unsigned kReplyTimeoutMs = 1000;

// Sends command until a reply line is not empty, counting the empty ones in emptyReplies. False
// once too many came back empty.
bool ask(const char* command, std::string& reply, int& emptyReplies, InstrumentLink& link) {
    while (emptyReplies < kEmptyRepliesAllowed) {
        linkWrite(command, link);
        if (linkReadLine(reply, kReplySize, link) > 0 && !reply.empty()) return true;
        ++emptyReplies;
    }
    return false;
}

}  // namespace

bool readEquipmentDetails(InstrumentLink& link, EquipmentDetails& details) {
    bool answered = false;
    std::string identity, calibration;
    if (linkOpen(link) == 0) {
        const unsigned timeoutBefore = lanReadTimeout();
        linkSetReadTimeout(kReplyTimeoutMs, link);
        int emptyReplies = 0;
        answered = ask("*IDN?\n", identity, emptyReplies, link) && ask("CALSTR?\n", calibration, emptyReplies, link);
        linkSetReadTimeout(timeoutBefore, link);
        linkClose(link);
    }
    if (!answered) {
        platform::showMessage("Unable to communicate with instrument, please check the connection and try again",
                              "Error: Unable to Auto-fill", platform::Icon::None);
        return false;
    }
    details.instrument = identityField(identity, 1);
    details.serialNumber = identityField(identity, 2);
    details.manufacturer = kInstrumentMaker;
    // An uncalibrated instrument ("default_calibration") leaves the due date as it was.
    const std::string due = calibrationDueDate(calibration);
    if (!due.empty()) details.calibrationDueDate = due;
    return true;
}

}  // namespace instrument
