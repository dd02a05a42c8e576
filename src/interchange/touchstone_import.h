// The Touchstone reader: sweeps measured with a vector network analyser, in its version 1 and 2 files
// of two or more ports (".s2p", ".s3p", ".s4p"). One transmission parameter, S21 unless another is
// chosen, becomes a basic FRA sweep: gain in dB and phase in degrees whatever the file's format.
// docs/touchstone.md gives the design.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/records.h"

namespace interchange {

// The transmission read: S<to><from>, the wave out of port to for a wave into port from.
struct TouchstoneParameter {
    int to = 2;
    int from = 1;
};

// "S21", "s31", ...: two different port numbers 1 to 9. False (parameter untouched) otherwise.
bool parseTouchstoneParameter(std::string_view text, TouchstoneParameter& parameter);
std::string touchstoneParameterName(const TouchstoneParameter& parameter);

// The port count a file's extension gives: 2 to 4 for ".s2p" to ".s4p", in lower or upper case
// exactly; 0 for any other name.
int touchstonePorts(const std::string& path);

// What a file holds of the chosen parameter: every point (in ascending frequency), and what its
// comments say of the instrument and the date (empty when they say nothing).
struct TouchstoneSweep {
    std::vector<db::BasicFraPoint> points;
    std::string manufacturer, model, serialNumber;
    std::string date;  // YYYY-MM-DD
    std::string time;  // HH:MM
};

// Reads a file's bytes; extensionPorts is what its extension gives, which a version 2 file's
// [Number of Ports] replaces. "" with sweep filled, or the reason of the refusal (sweep emptied).
std::string readTouchstone(std::string_view bytes, int extensionPorts, const TouchstoneParameter& parameter,
                           TouchstoneSweep& sweep);

// The date and time a "Date:" comment gives in one of the forms analysers write; false when it is
// none of them.
bool commentDate(std::string_view text, std::string& date, std::string& time);

// At most most points of points, spread evenly over the whole range: the first and last always.
std::vector<db::BasicFraPoint> thinEvenly(const std::vector<db::BasicFraPoint>& points, std::size_t most);

// Reads a Touchstone file into bundle: a basic FRA sweep named after the file and made unique among
// the stored sweeps, its equipment and date from the comments or "Unknown" (transformer, instrument,
// serial number) and no date. A file of more points than a sweep holds is thinned evenly, and the user
// is told how many were kept. A refused file gets an "Import Error" naming it and its reason, and
// bundle stays empty (marker -1). True when filled (marker 1).
bool importTouchstoneFile(const std::string& path, db::SweepBundle& bundle,
                          const TouchstoneParameter& parameter = {});

}  // namespace interchange
