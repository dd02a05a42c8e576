// Winding-deformation diagnosis: a sweep's gain is compared with the transformer's fingerprint
// sweep in three fixed frequency bands; each band's correlation gives a relative factor, and the
// three factors grade the winding as normal or gently, obviously or severely deformed. Pure; the
// figures are traced to the debugger output as they are computed.
#pragma once

#include <cstdint>
#include <vector>

#include "db/records.h"

namespace analysis {

enum DiagnosisClass : std::int32_t {
    kNoDiagnosis = 0,
    kNormalWinding = 1,
    kGentleDeformation = 2,
    kObviousDeformation = 3,
    kSevereDeformation = 4,
    kUnknownDiagnosis = -1,
};

struct BandStats {
    std::int32_t count = 0;  // fingerprint points in the band
    double sumX = 0, sumY = 0, meanX = 0, meanY = 0;
    double Dx = 0, Dy = 0, Cxy = 0;  // variances and covariance once divided by count
    double LRxy = 0;                 // correlation coefficient
    double Rxy = 0;                  // relative factor
};

enum Band { kRLF = 0, kRMF = 1, kRHF = 2, kBandCount = 3 };

// The bands' edges in Hz: (lower, upper].
constexpr double kBandEdges[kBandCount][2] = {{1000.0, 100000.0}, {100000.0, 600000.0}, {600000.0, 1000000.0}};

struct DiagnosisResult {
    std::int32_t classCode = kNoDiagnosis;
    BandStats bands[kBandCount];
};

// A fingerprint point the analysis uses: its frequency, its gain x and the diagnosed sweep's gain y
// interpolated at that frequency (dB).
struct ResampledPoint {
    double frequency = 0;
    double x = 0;
    double y = 0;
};

// The fingerprint points the analysis uses, in ascending frequency, with the diagnosed sweep's gain
// interpolated linearly in frequency and in dB: a fingerprint point below the diagnosed sweep's first
// frequency is skipped, the first one above its last ends the walk. Every point, in a band or not.
std::vector<ResampledPoint> resampleAtFingerprint(const db::SweepRecord& fingerprint, const db::SweepRecord& diagnosed);

// A band's statistics from those points: the points with low < frequency <= high, summed, then their
// deviations from the means, LRxy with the root taken in single precision, and Rxy. Curves whose
// deviations are identical in the band correlate exactly (LRxy 1, Rxy 10.0).
BandStats correlateBand(const std::vector<ResampledPoint>& points, double low, double high);

// The band a fingerprint frequency belongs to (strictly above its lower edge, at or below its upper
// edge: 1 kHz-100 kHz, 100 kHz-600 kHz, 600 kHz-1 MHz), or -1 for none.
int bandOf(double frequency);

// Zeroes the result and fills its three bands from the gains of two FRA sweeps (data type 0 or 1):
// the diagnosed sweep is interpolated, linearly in frequency and in dB, at the fingerprint's
// frequencies.
void ComputeBandCorrelation(DiagnosisResult& result, const db::SweepRecord& fingerprint,
                            const db::SweepRecord& diagnosed);

// The class the three bands' relative factors give.
std::int32_t ClassifyDiagnosis(double rlf, double rmf, double rhf);

// Both steps: the result with its class.
DiagnosisResult diagnose(const db::SweepRecord& fingerprint, const db::SweepRecord& diagnosed);

// "PASS", "WARNING", "FAIL", "UNKNOWN"; "" for no diagnosis.
const char* verdictText(std::int32_t classCode);
// "Normal Winding", "Gentle Deformation", ...; "" for no diagnosis.
const char* classText(std::int32_t classCode);
// "RLF (1k-100k):", "RMF (100k-600k):", "RHF (600k-1M):".
const char* bandLabel(int band);

}  // namespace analysis
