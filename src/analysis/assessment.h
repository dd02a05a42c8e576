// Assessment of a sweep against a reference beyond the one DL/T 911 verdict: a comparability check of
// the two sweeps' conditions, numerical indices per frequency band on the points the DL/T 911
// analysis resamples, a custom correlation analysis on the user's own bands and limits, the dB
// difference curve, and the three kinds of comparison (time-, type- and construction-based). Pure:
// the sweeps come loaded with their transformer, setup and equipment. docs/assessment.md gives each
// formula with its source.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/diagnosis.h"
#include "db/records.h"

namespace analysis {

// Against what the sweep is compared: an earlier sweep of the same winding (time-based), the sweep of
// the same setup on a sister unit of the same design (type-based), or another phase of the same unit
// (construction-based).
enum class ComparisonKind { TimeBased, TypeBased, ConstructionBased };

// A frequency band (low, high]: a point belongs to it when its frequency lies strictly above low
// and at or below high.
struct FrequencyBand {
    std::string name;
    double low = 0;
    double high = 0;
};

// The indices of one band. x: the reference's gains (dB) at its frequencies in the band; y: the
// sweep's gains interpolated there; d = y - x. An index the band cannot give is absent.
struct BandIndices {
    FrequencyBand band;
    int count = 0;                        // N, the reference's points in the band
    std::optional<double> LRxy, Rxy;      // as the DL/T 911 analysis computes them
    std::optional<double> CC;             // sum(x*y) / sqrt(sum(x^2) * sum(y^2))
    std::optional<double> SD;             // sqrt(sum(d^2) / (N - 1))
    std::optional<double> CSD;            // sqrt(sum(((x - mean x) - (y - mean y))^2) / (N - 1))
    std::optional<double> ASLE;           // sum(|d|) / N
    std::optional<double> MM;             // sum(min(X, Y)) / sum(max(X, Y)), X = 10^(x/20), Y = 10^(y/20)
    std::optional<double> maxAbsDiff;     // the largest |d|
    std::optional<double> maxAbsDiffFrequency;  // the reference's frequency where it lies (the first)
};

// The indices of one band from the points the DL/T 911 analysis resamples (resampleAtFingerprint).
BandIndices bandIndices(const std::vector<ResampledPoint>& points, const FrequencyBand& band);

// The three fixed bands of the DL/T 911 analysis, named "RLF", "RMF", "RHF".
std::vector<FrequencyBand> dlt911Bands();

// Bands from their edges in Hz, ascending: n + 1 edges give n bands, named "B1", "B2", ... False
// (bands untouched) unless there are 2 to 7 edges, each above 0 and above the one before.
bool bandsFromEdges(const std::vector<double>& edges, std::vector<FrequencyBand>& bands);

// The custom correlation analysis as the user sets it: bands and, per band, the limits on Rxy (or
// LRxy): at or above pass "PASS", at or above warning "WARNING", below it "FAIL".
struct CustomBandLimits {
    double pass = 1.0;
    double warning = 0.6;
};
struct CustomAnalysisSettings {
    std::vector<FrequencyBand> bands;
    std::vector<CustomBandLimits> limits;  // one per band
    bool useLRxy = false;                  // limits on LRxy instead of Rxy
};

// Reads and writes the settings in section "Custom Analysis" of an ini file (Edges, Index, Pass,
// Warning: comma-separated). Reading gives false when the file sets none or sets them wrongly
// (settings untouched); writing false when the file cannot be written.
bool readCustomAnalysis(const std::string& iniPath, CustomAnalysisSettings& settings);
bool writeCustomAnalysis(const std::string& iniPath, const CustomAnalysisSettings& settings);

// The custom analysis from the texts a user types: the band edges in Hz, the index ("Rxy" or "LRxy")
// and per band the pass and the warning limit, comma-separated (an empty list takes the default
// limits). On success "" with settings made; otherwise settings untouched and the refusal, naming
// the field that is wrong.
struct CustomAnalysisText {
    std::string edges, index = "Rxy", pass, warning;
};
enum class CustomAnalysisField { None, Edges, Index, Pass, Warning };
struct CustomAnalysisRefusal {
    CustomAnalysisField field = CustomAnalysisField::None;
    std::string message;
};
CustomAnalysisRefusal customAnalysisFromText(const CustomAnalysisText& text, CustomAnalysisSettings& settings);

// The texts that give these settings back (edges empty for none).
CustomAnalysisText customAnalysisText(const CustomAnalysisSettings& settings);

// Removes the custom analysis from an ini file, leaving the fixed DL/T 911 analysis alone; false when
// the file cannot be written.
bool clearCustomAnalysis(const std::string& iniPath);

// One analysis of the two sweeps: its bands' indices and its verdict ("PASS", "WARNING", "FAIL",
// "UNKNOWN"), with the line that says why when it is "UNKNOWN".
struct AnalysisResult {
    std::string title;                    // "DL/T 911" or "Custom correlation analysis"
    std::vector<BandIndices> bands;
    std::int32_t classCode = kNoDiagnosis;  // DL/T 911 only: its class
    std::string verdict;
    std::vector<std::string> bandVerdicts;  // custom only: one per band
    std::string limitsOn;                   // custom only: the index its limits are on, "Rxy" or "LRxy"
    std::string unknownReason;              // "" unless the verdict is "UNKNOWN"
};

// One point of the difference curve: the reference's frequency and d = y - x in dB.
struct DifferencePoint {
    double frequency = 0;
    double difference = 0;
};

// The difference curve at the points the DL/T 911 analysis resamples.
std::vector<DifferencePoint> differenceCurve(const std::vector<ResampledPoint>& points);

// A whole assessment of sweep against reference.
struct Assessment {
    std::int64_t referenceId = 0;
    std::int64_t sweepId = 0;
    ComparisonKind kind = ComparisonKind::TimeBased;
    std::vector<std::string> findings;  // the comparability check; empty when nothing makes it doubtful
    AnalysisResult dlt911;
    std::optional<AnalysisResult> custom;
    std::vector<DifferencePoint> difference;
};

// Whether the sweep's instrument was due for calibration before the sweep's date (dates as stored or
// as loaded; false when either is missing).
bool calibrationWasOverdue(const db::SweepBundle& bundle);

// Each difference between the two sweeps that makes comparing them doubtful, one readable line each
// ("OLTC position differs: 3 against 5"), reference first. The bands are those the analyses use: a
// frequency range that does not cover one is named. A type-based comparison expects another
// transformer, a construction-based one terminals that differ only by phase number.
std::vector<std::string> comparabilityFindings(const db::SweepBundle& reference, const db::SweepBundle& sweep,
                                               ComparisonKind kind, const std::vector<FrequencyBand>& bands);

// The assessment: findings, the DL/T 911 analysis (as diagnose gives it), the custom analysis when
// settings are given, and the difference curve.
Assessment assess(const db::SweepBundle& reference, const db::SweepBundle& sweep, ComparisonKind kind,
                  const CustomAnalysisSettings* custom);

// Construction-based comparison of three phases: A-B, B-C and C-A, in that order.
std::vector<Assessment> assessPhases(const db::SweepBundle& a, const db::SweepBundle& b, const db::SweepBundle& c,
                                     const CustomAnalysisSettings* custom);

// Why the DL/T 911 rules matched no class for these relative factors, naming the band that decided
// it; "" when they match one.
std::string unknownReason(double rlf, double rmf, double rhf);

}  // namespace analysis
