// Connecting to the instrument and identifying it: the identities the program serves, the model
// codes, the fields of an identity and the handshake itself. User-interface thread.
#pragma once

#include <string>

#include "instrument/link.h"

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

}  // namespace instrument
