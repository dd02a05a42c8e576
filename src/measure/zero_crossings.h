// The frequencies at which a response's gain passes 0 dB and its phase passes 0 degrees, found by
// linear interpolation between neighbouring points, and the reports the results window shows.
#pragma once

#include <string>
#include <vector>

namespace measure {

struct ResponsePoint {
    double frequency, gain, phase;
};

struct Crossing {
    double frequency;
    double other;  // the phase at a 0 dB crossing, the gain at a 0 degree crossing
};

// A pair of neighbours crosses when the value goes from >= 0 to < 0 or from <= 0 to > 0, so that a
// point lying on 0 counts once, with the point after it.
std::vector<Crossing> findGainCrossings(const std::vector<ResponsePoint>& points);
std::vector<Crossing> findPhaseCrossings(const std::vector<ResponsePoint>& points);

// The message texts ("No gain 0dB point found", "0dB point = freq: ...", "There were %d 0dB points
// found..." with at most ten lines).
std::string gainCrossingReport(const std::vector<Crossing>& crossings);
std::string phaseCrossingReport(const std::vector<Crossing>& crossings);

}  // namespace measure
