#include "analysis/diagnosis.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "common/string_printf.h"
#include "platform/debug_output.h"

namespace analysis {
namespace {

struct Curve {
    std::vector<double> f, g;  // frequency, gain in dB
};

Curve gainCurve(const db::SweepRecord& s) {
    Curve c;
    auto add = [&c](double f, double g) {
        c.f.push_back(f);
        c.g.push_back(g);
    };
    if (s.dataType == db::kDataBasicFra)
        for (const auto& p : s.basicPoints) add(p.frequency, p.amplitude);
    else if (s.dataType == db::kDataFra)
        for (const auto& p : s.fraPoints) add(p.frequency, p.amplitude);
    return c;
}

void trace(const char* format, ...) CORVANE_PRINTF(1, 2);
void trace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    platform::debugOutput(common::stringVPrintf(format, args));
    va_end(args);
}

}  // namespace

int bandOf(double f) {
    for (int band = 0; band < kBandCount; ++band)
        if (f > kBandEdges[band][0] && f <= kBandEdges[band][1]) return band;
    return -1;
}

// Walks the fingerprint in ascending frequency with a forward-only cursor into the diagnosed sweep.
std::vector<ResampledPoint> resampleAtFingerprint(const db::SweepRecord& fingerprint, const db::SweepRecord& diagnosed) {
    const Curve F = gainCurve(fingerprint), D = gainCurve(diagnosed);
    std::vector<ResampledPoint> points;
    const std::size_t nF = F.f.size(), nD = D.f.size();
    if (nF == 0 || nD < 2) return points;
    std::size_t j = 0;
    for (std::size_t i = 0; i < nF; ++i) {
        const double fi = F.f[i];
        if (fi < D.f[0]) continue;
        if (fi > D.f[nD - 1]) break;
        if (D.f[j] > F.f[nF - 1]) break;
        while (j + 2 < nD && D.f[j + 1] < fi) ++j;
        const double span = D.f[j + 1] - D.f[j];
        const double t = span != 0.0 ? (fi - D.f[j]) / span : 0.0;
        points.push_back({fi, F.g[i], D.g[j] + t * (D.g[j + 1] - D.g[j])});
    }
    return points;
}

BandStats correlateBand(const std::vector<ResampledPoint>& points, double low, double high) {
    BandStats s;
    const auto inBand = [low, high](const ResampledPoint& p) { return p.frequency > low && p.frequency <= high; };
    for (const ResampledPoint& p : points) {
        if (!inBand(p)) continue;
        ++s.count;
        s.sumX += p.x;
        s.sumY += p.y;
    }
    s.meanX = s.sumX / s.count;
    s.meanY = s.sumY / s.count;
    for (const ResampledPoint& p : points) {
        if (!inBand(p)) continue;
        const double dx = p.x - s.meanX, dy = p.y - s.meanY;
        s.Dx += dx * dx;
        s.Dy += dy * dy;
        s.Cxy += dx * dy;
    }
    s.Cxy /= s.count;
    s.Dx /= s.count;
    s.Dy /= s.count;
    // The root is taken in single precision, as the figures have always been computed; its rounding
    // alone would leave two identical curves short of a perfect correlation (an Rxy near 7), so
    // deviations that are the same in both curves correlate exactly.
    const float root = std::sqrt(static_cast<float>(s.Dx * s.Dy));
    s.LRxy = s.Dx > 0 && s.Cxy == s.Dx && s.Cxy == s.Dy ? 1.0 : s.Cxy / static_cast<double>(root);
    s.Rxy = (1.0 - s.LRxy < 1e-10) ? 10.0 : -std::log10(1.0 - s.LRxy);
    return s;
}

void ComputeBandCorrelation(DiagnosisResult& result, const db::SweepRecord& fingerprint,
                            const db::SweepRecord& diagnosed) {
    result = DiagnosisResult{};
    const std::vector<ResampledPoint> points = resampleAtFingerprint(fingerprint, diagnosed);
    trace("Summing:\n\n");
    for (const ResampledPoint& p : points)
        trace("F %.6g Hz %.6g dB | D %.6g Hz %.6g dB | %s\n", p.frequency, p.x, p.frequency, p.y,
              bandOf(p.frequency) >= 0 ? bandLabel(bandOf(p.frequency)) : "no band");
    for (int band = 0; band < kBandCount; ++band) {
        BandStats& s = result.bands[band] = correlateBand(points, kBandEdges[band][0], kBandEdges[band][1]);
        trace("%s Average: meanX %.9g meanY %.9g Steps %d\n", bandLabel(band), s.meanX, s.meanY, s.count);
        trace("Cxy: %.9g Dx: %.9g Dy: %.9g LRxy: %.9g (sqrt of %.9g)\n", s.Cxy, s.Dx, s.Dy, s.LRxy,
              static_cast<double>(static_cast<float>(s.Dx * s.Dy)));
    }
    trace("RESULTS\n");
    for (int i = 0; i < kBandCount; ++i)
        trace("%s Rxy %.9g LRxy %.9g 1-LRxy %.9g\n", bandLabel(i), result.bands[i].Rxy, result.bands[i].LRxy,
              1.0 - result.bands[i].LRxy);
}

std::int32_t ClassifyDiagnosis(double rlf, double rmf, double rhf) {
    std::int32_t c;
    if (rlf >= 2.0 && rmf >= 1.0 && rhf >= 0.6) c = kNormalWinding;
    else if (rlf < 0.6) c = kSevereDeformation;
    else if ((rlf >= 0.6 && rlf < 1.0) || rmf < 0.6) c = kObviousDeformation;
    else if ((rlf >= 1.0 && rlf < 2.0) || (rmf >= 1.0 && rmf < 2.0)) c = kGentleDeformation;
    else c = kUnknownDiagnosis;
    switch (c) {
    case kNormalWinding: platform::debugOutput("Diagnosis: Normal Winding\n\n"); break;
    case kGentleDeformation: platform::debugOutput("Diagnosis: Gentle Distortion\n\n"); break;
    case kObviousDeformation: platform::debugOutput("Diagnosis: Obvious Distortion\n\n"); break;
    case kSevereDeformation: platform::debugOutput("Diagnosis: Severe Deformation\n\n"); break;
    default: platform::debugOutput("Unknown?\n\n"); break;
    }
    return c;
}

DiagnosisResult diagnose(const db::SweepRecord& fingerprint, const db::SweepRecord& diagnosed) {
    DiagnosisResult r;
    ComputeBandCorrelation(r, fingerprint, diagnosed);
    r.classCode = ClassifyDiagnosis(r.bands[kRLF].Rxy, r.bands[kRMF].Rxy, r.bands[kRHF].Rxy);
    return r;
}

const char* verdictText(std::int32_t c) {
    switch (c) {
    case kNormalWinding: return "PASS";
    case kGentleDeformation: return "WARNING";
    case kObviousDeformation:
    case kSevereDeformation: return "FAIL";
    case kUnknownDiagnosis: return "UNKNOWN";
    default: return "";
    }
}

const char* classText(std::int32_t c) {
    switch (c) {
    case kNormalWinding: return "Normal Winding";
    case kGentleDeformation: return "Gentle Deformation";
    case kObviousDeformation: return "Obvious Deformation";
    case kSevereDeformation: return "Severe Deformation";
    case kUnknownDiagnosis: return "Unknown";
    default: return "";
    }
}

const char* bandLabel(int band) {
    static const char* const kLabels[] = {"RLF (1k-100k):", "RMF (100k-600k):", "RHF (600k-1M):"};
    return band >= 0 && band < kBandCount ? kLabels[band] : "";
}

}  // namespace analysis
