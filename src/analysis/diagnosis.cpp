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

// Walks the fingerprint in ascending frequency with a forward-only cursor into the diagnosed sweep,
// calling use(band, frequency, x, y) for every fingerprint point that falls in a band, x being the
// fingerprint's gain and y the diagnosed sweep's gain interpolated at that frequency.
template <typename Use>
void walk(const Curve& F, const Curve& D, Use use) {
    const std::size_t nF = F.f.size(), nD = D.f.size();
    if (nF == 0 || nD < 2) return;
    std::size_t j = 0;
    for (std::size_t i = 0; i < nF; ++i) {
        const double fi = F.f[i];
        if (fi < D.f[0]) continue;
        if (fi > D.f[nD - 1]) return;
        if (D.f[j] > F.f[nF - 1]) return;
        while (j + 2 < nD && D.f[j + 1] < fi) ++j;
        const double span = D.f[j + 1] - D.f[j];
        const double t = span != 0.0 ? (fi - D.f[j]) / span : 0.0;
        const double y = D.g[j] + t * (D.g[j + 1] - D.g[j]);
        const int band = bandOf(fi);
        if (band >= 0) use(band, fi, F.g[i], y);
    }
}

}  // namespace

int bandOf(double f) {
    if (f > 1000.0 && f <= 100000.0) return kRLF;
    if (f > 100000.0 && f <= 600000.0) return kRMF;
    if (f > 600000.0 && f <= 1000000.0) return kRHF;
    return -1;
}

void ComputeBandCorrelation(DiagnosisResult& result, const db::SweepRecord& fingerprint,
                            const db::SweepRecord& diagnosed) {
    result = DiagnosisResult{};
    const Curve F = gainCurve(fingerprint), D = gainCurve(diagnosed);
    BandStats* b = result.bands;

    trace("Summing:\n\n");
    walk(F, D, [&](int band, double f, double x, double y) {
        BandStats& s = b[band];
        ++s.count;
        s.sumX += x;
        s.sumY += y;
        trace("F %.6g Hz %.6g dB | D %.6g Hz %.6g dB | RLF %.6g %.6g (%d) RMF %.6g %.6g (%d) RHF %.6g %.6g (%d)\n", f, x, f,
              y, b[0].sumX, b[0].sumY, b[0].count, b[1].sumX, b[1].sumY, b[1].count, b[2].sumX, b[2].sumY, b[2].count);
    });
    trace("Average:\n");
    for (BandStats& s : result.bands) {
        s.meanX = s.sumX / s.count;
        s.meanY = s.sumY / s.count;
        trace("meanX %.9g meanY %.9g Steps %d\n", s.meanX, s.meanY, s.count);
    }

    walk(F, D, [&](int band, double f, double x, double y) {
        BandStats& s = b[band];
        const double dx = x - s.meanX, dy = y - s.meanY;
        s.Dx += dx * dx;
        s.Dy += dy * dy;
        s.Cxy += dx * dy;
        trace("%.6g Hz dx %.6g dy %.6g Cxy %.9g Dx %.9g Dy %.9g\n", f, dx, dy, s.Cxy, s.Dx, s.Dy);
    });
    for (BandStats& s : result.bands) {
        s.Cxy /= s.count;
        s.Dx /= s.count;
        s.Dy /= s.count;
        // The root is taken in single precision, as the figures have always been computed.
        const float product = static_cast<float>(s.Dx * s.Dy);
        const float root = std::sqrt(product);
        s.LRxy = s.Cxy / static_cast<double>(root);
        s.Rxy = (1.0 - s.LRxy < 1e-10) ? 10.0 : -std::log10(1.0 - s.LRxy);
        trace("Cxy: %.9g Dx: %.9g Dy: %.9g LRxy: %.9g (sqrt %.9g of %.9g)\n", s.Cxy, s.Dx, s.Dy, s.LRxy,
              static_cast<double>(root), static_cast<double>(product));
    }
    trace("RESULTS\n");
    for (int i = 0; i < kBandCount; ++i)
        trace("%s Rxy %.9g LRxy %.9g 1-LRxy %.9g\n", bandLabel(i), b[i].Rxy, b[i].LRxy, 1.0 - b[i].LRxy);
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
