#include "measure/zero_crossings.h"

#include <cstdio>

namespace measure {
namespace {

// value(p) is the quantity that crosses zero, other(p) the one reported at the crossing.
template <typename Value, typename Other>
std::vector<Crossing> findCrossings(const std::vector<ResponsePoint>& pts, Value value, Other other) {
    std::vector<Crossing> found;
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        const double a = value(pts[i]), b = value(pts[i + 1]);
        if (!((a >= 0 && b < 0) || (a <= 0 && b > 0))) continue;
        // The fraction of the way from point i to point i + 1 at which the value is 0. Interpolating
        // frequency and the other quantity by the same fraction also copes with two points at one
        // frequency, where the slope in frequency would divide by zero.
        const double t = a / (a - b);
        const ResponsePoint& p = pts[i];
        const ResponsePoint& q = pts[i + 1];
        found.push_back({p.frequency + t * (q.frequency - p.frequency), other(p) + t * (other(q) - other(p))});
    }
    return found;
}

std::string report(const std::vector<Crossing>& crossings, const char* none, const char* one, const char* several,
                   const char* line) {
    char text[256];
    if (crossings.empty()) return none;
    if (crossings.size() == 1) {
        std::snprintf(text, sizeof text, one, crossings[0].frequency, crossings[0].other);
        return text;
    }
    std::snprintf(text, sizeof text, several, static_cast<int>(crossings.size()));
    std::string out = text;
    for (std::size_t i = 0; i < crossings.size() && i < 10; ++i) {
        std::snprintf(text, sizeof text, line, static_cast<int>(i + 1), crossings[i].frequency, crossings[i].other);
        out += text;
    }
    if (crossings.size() > 10) out += "...";
    return out;
}

}  // namespace

std::vector<Crossing> findGainCrossings(const std::vector<ResponsePoint>& points) {
    return findCrossings(points, [](const ResponsePoint& p) { return p.gain; },
                         [](const ResponsePoint& p) { return p.phase; });
}

std::vector<Crossing> findPhaseCrossings(const std::vector<ResponsePoint>& points) {
    return findCrossings(points, [](const ResponsePoint& p) { return p.phase; },
                         [](const ResponsePoint& p) { return p.gain; });
}

std::string gainCrossingReport(const std::vector<Crossing>& crossings) {
    return report(crossings, "No gain 0dB point found", "0dB point = freq: %.2lf phase: %.2lf",
                  "There were %d 0dB points found\n\n", "0dB point %d =  freq: %.2lf  phase: %.2lf \n");
}

std::string phaseCrossingReport(const std::vector<Crossing>& crossings) {
    return report(crossings, "No 0Phase point found", "0Phase point = freq: %.2lf gain: %.2lf",
                  "There were %d 0Phase points found\n\n", "0Phase point %d =  freq: %.2lf  gain: %.2lf \n");
}

}  // namespace measure
