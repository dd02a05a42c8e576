// The identification handshake and the model table.
#include "instrument/identification.h"

#include <cstdio>

#include "instrument/comms_log.h"
#include "platform/prompter.h"

namespace instrument {
namespace {

constexpr const char* kAcceptedIdentities[] = {"VELTRONA,QMX27", "VELTRONA,QMX74", "ORVIK-TEST,QMX74"};
constexpr int kReplySize = 256;
constexpr int kIdentifyAttempts = 5;

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
    if (linkReadLine(reply, kReplySize, link) > 0) field = reply;
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
            accepted = linkReadLine(reply, kReplySize, link) > 0 && isAcceptedIdentity(reply);
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

}  // namespace instrument
