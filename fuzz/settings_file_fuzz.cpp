// The settings (INI) files: the input is the main settings file. It is read the way start-up and the
// graph window read it, then a key is written into it and must read back as written.
#include <string>

#include "analysis/graph_settings_file.h"
#include "fuzz_support.h"
#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file = fuzz::writeInput(data, size, "Corvane.ini");

    analysis::GraphSettings settings;
    analysis::AxisRanges ranges;
    analysis::CustomColourList colours;
    analysis::readGraphSettings(file, settings, ranges, colours);
    platform::getProfileInt(file, "Connect", "Interface", 0);
    platform::getProfileString(file, "Connect", "IPAddr", "", 16);
    platform::getProfileString(file, "Init", "DatabaseFile", "", 260);

    fuzz::require(platform::writeProfileString(file, "Connect", "ComPort", "COM7"), "the settings file is written");
    fuzz::require(platform::getProfileString(file, "Connect", "ComPort", "", 64) == "COM7",
                  "a key written reads back as written");
    return 0;
}
