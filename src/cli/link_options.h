// How the commands name the instrument's link: --lan HOST[:PORT], --usb DEVICE, or --serial DEVICE
// --baud N; and --comms-log DIR, which writes the comms log into DIR.
#pragma once

#include <set>
#include <string>

#include "cli/arguments.h"
#include "instrument/link.h"

namespace cli {

// The options above, to add to a command's value options.
extern const std::set<std::string> kLinkOptions;
extern const char* const kLinkUsage;

// The link the options name (UsageError unless exactly one of --lan, --usb, --serial is given), with
// the comms log switched on when asked.
instrument::InstrumentLink linkFrom(const Arguments& a);

// The value options of a command that takes a link, plus its own.
std::set<std::string> withLinkOptions(std::set<std::string> own);

}  // namespace cli
