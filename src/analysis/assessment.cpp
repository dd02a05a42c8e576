// The assessment: the comparability check, the indices per band, the two analyses and the
// difference curve.
#include "analysis/assessment.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "common/string_printf.h"
#include "db/diagnosis_sweeps.h"
#include "db/row_text.h"
#include "platform/profile.h"

namespace analysis {
namespace {

constexpr const char* kCustomSection = "Custom Analysis";
constexpr std::size_t kProfileCapacity = 512;

std::optional<double> finite(double v) { return std::isfinite(v) ? std::optional<double>(v) : std::nullopt; }

// A frequency as people write it: "20 Hz", "1.5 kHz", "600 kHz", "1 MHz".
std::string frequencyText(double f) {
    if (f >= 1e6) return common::stringPrintf("%g MHz", f / 1e6);
    if (f >= 1e3) return common::stringPrintf("%g kHz", f / 1e3);
    return common::stringPrintf("%g Hz", f);
}

// A date as loaded (DD-MM-YYYY) or as stored (YYYY-MM-DD) as YYYYMMDD; 0 when it is neither.
long dateNumber(const std::string& text) {
    int a = 0, b = 0, c = 0;
    char dash1 = 0, dash2 = 0;
    std::istringstream in(text);
    if (!(in >> a >> dash1 >> b >> dash2 >> c) || dash1 != '-' || dash2 != '-') return 0;
    const bool yearFirst = text.find('-') == 4;
    const int year = yearFirst ? a : c, day = yearFirst ? c : a;
    if (year < 1900 || b < 1 || b > 12 || day < 1 || day > 31) return 0;
    return year * 10000L + b * 100L + day;
}

std::vector<double> frequencies(const db::SweepRecord& s) {
    std::vector<double> f;
    for (const auto& p : s.basicPoints)
        if (s.dataType == db::kDataBasicFra) f.push_back(p.frequency);
    for (const auto& p : s.fraPoints)
        if (s.dataType == db::kDataFra) f.push_back(p.frequency);
    for (const auto& p : s.lcrPoints)
        if (s.dataType == db::kDataLcr) f.push_back(p.frequency);
    return f;
}

// How a sweep's points are spaced: "logarithmic" when nine steps in ten have the usual ratio of
// frequencies (within 10 %), "linear" when they have the usual difference, "" when neither.
std::string spacing(const std::vector<double>& f) {
    if (f.size() < 3) return {};
    auto regular = [&f](auto step) {
        std::vector<double> steps;
        for (std::size_t i = 1; i < f.size(); ++i) steps.push_back(step(f[i - 1], f[i]));
        std::vector<double> sorted = steps;
        std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
        const double median = sorted[sorted.size() / 2];
        if (!(median > 0)) return false;
        const auto near = std::count_if(steps.begin(), steps.end(),
                                        [median](double s) { return std::fabs(s - median) <= 0.1 * median; });
        return near * 10 >= static_cast<long>(steps.size()) * 9;
    };
    if (regular([](double a, double b) { return a > 0 ? std::log(b / a) : 0.0; })) return "logarithmic";
    if (regular([](double a, double b) { return b - a; })) return "linear";
    return {};
}

void differs(std::vector<std::string>& out, const char* what, const std::string& a, const std::string& b) {
    if (a != b) out.push_back(common::stringPrintf("%s differs: %s against %s", what, a.c_str(), b.c_str()));
}

std::string shown(const std::string& text) { return text.empty() ? "(none)" : text; }

void checkCalibration(std::vector<std::string>& out, const char* whose, const db::SweepBundle& b) {
    if (calibrationWasOverdue(b))
        out.push_back(common::stringPrintf("Calibration of the %s instrument was overdue on its date: due %s, swept %s",
                                           whose, db::shownDate(b.equipment.calibrationDueDate.str()).c_str(),
                                           db::shownDate(b.sweep.date.str()).c_str()));
}

void checkCoverage(std::vector<std::string>& out, const char* whose, const std::vector<double>& f,
                   const std::vector<FrequencyBand>& bands) {
    if (f.empty()) return;
    const double first = f.front(), last = f.back();
    for (const FrequencyBand& band : bands) {
        // A per cent of slack for the instrument's rounding of its first and last frequency.
        if (first <= band.low * 1.01 && last >= band.high * 0.99) continue;
        out.push_back(common::stringPrintf("The %s frequency range (%s to %s) does not cover %s (%s to %s)", whose,
                                           frequencyText(first).c_str(), frequencyText(last).c_str(),
                                           band.name.c_str(), frequencyText(band.low).c_str(),
                                           frequencyText(band.high).c_str()));
    }
}

// The worst of the bands' verdicts, and why when it is "UNKNOWN".
void customVerdict(AnalysisResult& r) {
    for (const char* verdict : {"FAIL", "UNKNOWN", "WARNING"}) {
        const auto at = std::find(r.bandVerdicts.begin(), r.bandVerdicts.end(), verdict);
        if (at == r.bandVerdicts.end()) continue;
        r.verdict = verdict;
        if (r.verdict == "UNKNOWN")
            r.unknownReason = "UNKNOWN decided by " + r.bands[static_cast<std::size_t>(at - r.bandVerdicts.begin())].band.name +
                              ": no value (no points in the band, or a flat curve)";
        return;
    }
    r.verdict = "PASS";
}

AnalysisResult customAnalysis(const std::vector<ResampledPoint>& points, const CustomAnalysisSettings& settings) {
    AnalysisResult r;
    r.title = "Custom correlation analysis";
    r.limitsOn = settings.useLRxy ? "LRxy" : "Rxy";
    for (std::size_t i = 0; i < settings.bands.size(); ++i) {
        r.bands.push_back(bandIndices(points, settings.bands[i]));
        const std::optional<double>& value = settings.useLRxy ? r.bands.back().LRxy : r.bands.back().Rxy;
        const CustomBandLimits limits = i < settings.limits.size() ? settings.limits[i] : CustomBandLimits{};
        r.bandVerdicts.push_back(!value                    ? "UNKNOWN"
                                 : *value >= limits.pass    ? "PASS"
                                 : *value >= limits.warning ? "WARNING"
                                                            : "FAIL");
    }
    customVerdict(r);
    return r;
}

bool parseList(const std::string& text, std::vector<double>& values) {
    values.clear();
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        char* end = nullptr;
        const double v = std::strtod(item.c_str(), &end);
        if (end == item.c_str() || !std::isfinite(v)) return false;
        while (*end == ' ') ++end;
        if (*end) return false;
        values.push_back(v);
    }
    return !values.empty();
}

std::string listText(const std::vector<double>& values) {
    std::string text;
    for (double v : values) text += (text.empty() ? "" : ",") + common::stringPrintf("%.10g", v);
    return text;
}

}  // namespace

bool calibrationWasOverdue(const db::SweepBundle& b) {
    const long due = dateNumber(b.equipment.calibrationDueDate.str()), swept = dateNumber(b.sweep.date.str());
    return due && swept && due < swept;
}

BandIndices bandIndices(const std::vector<ResampledPoint>& points, const FrequencyBand& band) {
    BandIndices r;
    r.band = band;
    double sumX = 0, sumY = 0, sumXY = 0, sumXX = 0, sumYY = 0, sumD2 = 0, sumAbs = 0, sumMin = 0, sumMax = 0;
    double largest = -1, largestAt = 0;
    const auto inBand = [&band](const ResampledPoint& p) { return p.frequency > band.low && p.frequency <= band.high; };
    for (const ResampledPoint& p : points) {
        if (!inBand(p)) continue;
        ++r.count;
        const double d = p.y - p.x, X = std::pow(10.0, p.x / 20.0), Y = std::pow(10.0, p.y / 20.0);
        sumX += p.x;
        sumY += p.y;
        sumXY += p.x * p.y;
        sumXX += p.x * p.x;
        sumYY += p.y * p.y;
        sumD2 += d * d;
        sumAbs += std::fabs(d);
        sumMin += std::min(X, Y);
        sumMax += std::max(X, Y);
        if (std::fabs(d) > largest) {
            largest = std::fabs(d);
            largestAt = p.frequency;
        }
    }
    if (r.count == 0) return r;
    const double n = r.count;
    const BandStats stats = correlateBand(points, band.low, band.high);
    r.LRxy = finite(stats.LRxy);
    if (r.LRxy) r.Rxy = finite(stats.Rxy);
    const double ccDenominator = std::sqrt(sumXX * sumYY);
    if (ccDenominator > 0) r.CC = sumXY / ccDenominator;
    r.ASLE = sumAbs / n;
    if (sumMax > 0) r.MM = sumMin / sumMax;
    r.maxAbsDiff = largest;
    r.maxAbsDiffFrequency = largestAt;
    if (r.count < 2) return r;
    r.SD = std::sqrt(sumD2 / (n - 1));
    const double meanX = sumX / n, meanY = sumY / n;
    double sumCentred = 0;
    for (const ResampledPoint& p : points) {
        if (!inBand(p)) continue;
        const double e = (p.x - meanX) - (p.y - meanY);
        sumCentred += e * e;
    }
    r.CSD = std::sqrt(sumCentred / (n - 1));
    return r;
}

std::vector<FrequencyBand> dlt911Bands() {
    static const char* const kNames[kBandCount] = {"RLF", "RMF", "RHF"};
    std::vector<FrequencyBand> bands;
    for (int b = 0; b < kBandCount; ++b) bands.push_back({kNames[b], kBandEdges[b][0], kBandEdges[b][1]});
    return bands;
}

bool bandsFromEdges(const std::vector<double>& edges, std::vector<FrequencyBand>& bands) {
    if (edges.size() < 2 || edges.size() > 7 || !(edges.front() > 0)) return false;
    for (std::size_t i = 1; i < edges.size(); ++i)
        if (!(edges[i] > edges[i - 1])) return false;
    bands.clear();
    for (std::size_t i = 1; i < edges.size(); ++i) bands.push_back({"B" + std::to_string(i), edges[i - 1], edges[i]});
    return true;
}

CustomAnalysisRefusal customAnalysisFromText(const CustomAnalysisText& text, CustomAnalysisSettings& settings) {
    using Field = CustomAnalysisField;
    CustomAnalysisSettings made;
    std::vector<double> edges;
    if (!parseList(text.edges, edges) || !bandsFromEdges(edges, made.bands))
        return {Field::Edges, "The band edges must be 2 to 7 frequencies in Hz above 0, ascending, separated by commas"};
    if (text.index != "Rxy" && text.index != "LRxy") return {Field::Index, "The index must be Rxy or LRxy"};
    made.useLRxy = text.index == "LRxy";
    made.limits.assign(made.bands.size(), CustomBandLimits{});
    const struct {
        const std::string& list;
        double CustomBandLimits::*limit;
        Field field;
        const char* name;
    } lists[] = {{text.pass, &CustomBandLimits::pass, Field::Pass, "pass"},
                 {text.warning, &CustomBandLimits::warning, Field::Warning, "warning"}};
    for (const auto& l : lists) {
        if (l.list.find_first_not_of(' ') == std::string::npos) continue;  // the default limits
        std::vector<double> limits;
        if (!parseList(l.list, limits) || limits.size() != made.bands.size())
            return {l.field, common::stringPrintf("Give one %s limit for each of the %zu bands, separated by commas",
                                                  l.name, made.bands.size())};
        for (std::size_t i = 0; i < limits.size(); ++i) made.limits[i].*l.limit = limits[i];
    }
    for (const CustomBandLimits& l : made.limits)
        if (l.warning > l.pass) return {Field::Warning, "A band's warning limit cannot lie above its pass limit"};
    settings = made;
    return {};
}

CustomAnalysisText customAnalysisText(const CustomAnalysisSettings& settings) {
    std::vector<double> edges, pass, warning;
    for (const FrequencyBand& band : settings.bands) {
        if (edges.empty()) edges.push_back(band.low);
        edges.push_back(band.high);
    }
    for (const CustomBandLimits& l : settings.limits) {
        pass.push_back(l.pass);
        warning.push_back(l.warning);
    }
    return {listText(edges), settings.useLRxy ? "LRxy" : "Rxy", listText(pass), listText(warning)};
}

bool readCustomAnalysis(const std::string& iniPath, CustomAnalysisSettings& settings) {
    auto value = [&iniPath](const char* key) {
        return platform::getProfileString(iniPath, kCustomSection, key, "", kProfileCapacity);
    };
    const CustomAnalysisText text{value("Edges"), value("Index"), value("Pass"), value("Warning")};
    return customAnalysisFromText(text, settings).field == CustomAnalysisField::None;
}

bool writeCustomAnalysis(const std::string& iniPath, const CustomAnalysisSettings& settings) {
    const CustomAnalysisText text = customAnalysisText(settings);
    return platform::writeProfileString(iniPath, kCustomSection, "Edges", text.edges) &&
           platform::writeProfileString(iniPath, kCustomSection, "Index", text.index) &&
           platform::writeProfileString(iniPath, kCustomSection, "Pass", text.pass) &&
           platform::writeProfileString(iniPath, kCustomSection, "Warning", text.warning);
}

bool clearCustomAnalysis(const std::string& iniPath) {
    return platform::writeProfileString(iniPath, kCustomSection, "Edges", "");
}

std::vector<std::string> comparabilityFindings(const db::SweepBundle& reference, const db::SweepBundle& sweep,
                                               ComparisonKind kind, const std::vector<FrequencyBand>& bands) {
    std::vector<std::string> out;
    const db::SweepRecord &r = reference.sweep, &s = sweep.sweep;
    const bool rLcr = r.dataType == db::kDataLcr, sLcr = s.dataType == db::kDataLcr;
    if (rLcr != sLcr) differs(out, "Data type", db::dataTypeName(r.dataType), db::dataTypeName(s.dataType));

    const std::string rT = r.transformerIdentifier.str(), sT = s.transformerIdentifier.str();
    if (kind == ComparisonKind::TypeBased && rT == sT)
        out.push_back("Same transformer " + rT + ": a type-based comparison is made against a sister unit");
    if (kind != ComparisonKind::TypeBased) differs(out, "Transformer", rT, sT);

    const db::SetupRecord &rs = reference.setup, &ss = sweep.setup;
    const std::pair<const char*, std::pair<std::string, std::string>> terminals[] = {
        {"Reference terminal", {rs.referenceTerminal.str(), ss.referenceTerminal.str()}},
        {"Response terminal", {rs.responseTerminal.str(), ss.responseTerminal.str()}},
        {"Connected terminals", {rs.connectedTerminals.str(), ss.connectedTerminals.str()}},
    };
    bool samePhase = true;
    for (const auto& [what, pair] : terminals) {
        samePhase = samePhase && pair.first == pair.second;
        if (kind == ComparisonKind::ConstructionBased && db::sameButPhaseNumbers(pair.first, pair.second)) continue;
        differs(out, what, shown(pair.first), shown(pair.second));
    }
    if (kind == ComparisonKind::ConstructionBased && samePhase)
        out.push_back("Same terminals: a construction-based comparison is made between phases");
    differs(out, "OLTC position", std::to_string(rs.oltc), std::to_string(ss.oltc));
    differs(out, "Unshielded lead length", common::stringPrintf("%.1f mm", rs.unshieldedLength),
            common::stringPrintf("%.1f mm", ss.unshieldedLength));
    differs(out, "Fluid filled", rs.fluidFilled ? "Yes" : "No", ss.fluidFilled ? "Yes" : "No");
    // The gain of a winding moves with its temperature; a few degrees are within a test's repeatability.
    if (std::fabs(r.temperature - s.temperature) > 10.0)
        out.push_back(common::stringPrintf("Temperature differs by %.1f °C: %.1f °C against %.1f °C",
                                           std::fabs(r.temperature - s.temperature), r.temperature, s.temperature));

    differs(out, "Instrument maker", shown(reference.equipment.manufacturer.str()), shown(sweep.equipment.manufacturer.str()));
    differs(out, "Instrument model", shown(reference.equipment.instrument.str()), shown(sweep.equipment.instrument.str()));
    differs(out, "Instrument serial number", shown(reference.equipment.serialNumber.str()),
            shown(sweep.equipment.serialNumber.str()));
    checkCalibration(out, "reference's", reference);
    checkCalibration(out, "sweep's", sweep);

    const std::vector<double> rf = frequencies(r), sf = frequencies(s);
    checkCoverage(out, "reference's", rf, bands);
    checkCoverage(out, "sweep's", sf, bands);
    const std::size_t fewer = std::min(rf.size(), sf.size()), more = std::max(rf.size(), sf.size());
    if (fewer > 0 && more > 2 * fewer)
        out.push_back(common::stringPrintf("Point counts differ widely: %zu against %zu", rf.size(), sf.size()));
    const std::string rSpacing = spacing(rf), sSpacing = spacing(sf);
    if (!rSpacing.empty() && !sSpacing.empty()) differs(out, "Point spacing", rSpacing, sSpacing);
    return out;
}

std::string unknownReason(double rlf, double rmf, double rhf) {
    if (ClassifyDiagnosis(rlf, rmf, rhf) != kUnknownDiagnosis) return {};
    // Rules that hold on RLF alone decide every RLF below 2.0, so an unknown class has RLF normal
    // or without a value; RMF and then RHF decide in the same way.
    if (!std::isfinite(rlf)) return "UNKNOWN decided by RLF: no value (no points in the band, or a flat curve)";
    if (!std::isfinite(rmf)) return "UNKNOWN decided by RMF: no value (no points in the band, or a flat curve)";
    if (rmf < 1.0)
        return common::stringPrintf("UNKNOWN decided by RMF: %.4f lies between 0.6 and 1.0, where no rule applies", rmf);
    if (!std::isfinite(rhf)) return "UNKNOWN decided by RHF: no value (no points in the band, or a flat curve)";
    return common::stringPrintf("UNKNOWN decided by RHF: %.4f is below 0.6 with RLF and RMF in the normal range", rhf);
}

std::vector<DifferencePoint> differenceCurve(const std::vector<ResampledPoint>& points) {
    std::vector<DifferencePoint> curve;
    curve.reserve(points.size());
    for (const ResampledPoint& p : points) curve.push_back({p.frequency, p.y - p.x});
    return curve;
}

Assessment assess(const db::SweepBundle& reference, const db::SweepBundle& sweep, ComparisonKind kind,
                  const CustomAnalysisSettings* custom) {
    Assessment a;
    a.referenceId = reference.sweep.id;
    a.sweepId = sweep.sweep.id;
    a.kind = kind;
    std::vector<FrequencyBand> bands = dlt911Bands();
    if (custom) bands.insert(bands.end(), custom->bands.begin(), custom->bands.end());
    a.findings = comparabilityFindings(reference, sweep, kind, bands);

    // The DL/T 911 class as diagnose gives it, from the same points, without its trace of each one.
    const std::vector<ResampledPoint> points = resampleAtFingerprint(reference.sweep, sweep.sweep);
    double rxy[kBandCount];
    for (int b = 0; b < kBandCount; ++b) rxy[b] = correlateBand(points, kBandEdges[b][0], kBandEdges[b][1]).Rxy;
    a.dlt911.title = "DL/T 911";
    for (const FrequencyBand& band : dlt911Bands()) a.dlt911.bands.push_back(bandIndices(points, band));
    a.dlt911.classCode = ClassifyDiagnosis(rxy[kRLF], rxy[kRMF], rxy[kRHF]);
    a.dlt911.verdict = verdictText(a.dlt911.classCode);
    a.dlt911.unknownReason = unknownReason(rxy[kRLF], rxy[kRMF], rxy[kRHF]);
    if (custom) a.custom = customAnalysis(points, *custom);
    a.difference = differenceCurve(points);
    return a;
}

std::vector<Assessment> assessPhases(const db::SweepBundle& a, const db::SweepBundle& b, const db::SweepBundle& c,
                                     const CustomAnalysisSettings* custom) {
    const ComparisonKind kind = ComparisonKind::ConstructionBased;
    return {assess(a, b, kind, custom), assess(b, c, kind, custom), assess(c, a, kind, custom)};
}

}  // namespace analysis
