// The winding as a ladder of sections (series inductance and resistance with turn-to-turn capacitance,
// capacitance to ground at every node) between a 50-ohm source and a 50-ohm response input.
#include "winding_model.h"

#include <cmath>
#include <initializer_list>
#include <numbers>

namespace sim {

namespace {

using Complex = std::complex<double>;

constexpr double kPi = std::numbers::pi;
constexpr double kSourceVolts = 10.0;
constexpr double kSourceOhm = 50.0;
constexpr double kLoadOhm = 50.0;
constexpr double kLeadInductance = 1.2e-6;   // H, each measuring lead with its earth braid
constexpr double kBushingCap = 350e-12;      // F, each terminal bushing to the tank
constexpr double kTerminalCap = 25e-12;      // F, between the two terminals through oil and tank
constexpr double kInsulationLoss = 0.012;    // loss tangent of the paper and oil
constexpr int kSections = 40;

// Solves the symmetric tridiagonal system (diag on the diagonal, off[i] coupling nodes i and i+1) for
// several right-hand sides at once (Thomas algorithm); diag is overwritten by the elimination.
void solveTridiagonal(std::vector<Complex>& diag, const std::vector<Complex>& off,
                      std::initializer_list<std::vector<Complex>*> rhs) {
    const std::size_t n = diag.size();
    for (std::size_t i = 1; i < n; ++i) {
        const Complex m = off[i - 1] / diag[i - 1];
        diag[i] -= m * off[i - 1];
        for (std::vector<Complex>* b : rhs) (*b)[i] -= m * (*b)[i - 1];
    }
    for (std::vector<Complex>* b : rhs) {
        std::vector<Complex>& x = *b;
        x[n - 1] /= diag[n - 1];
        for (std::size_t i = n - 1; i-- > 0;) x[i] = (x[i] - off[i] * x[i + 1]) / diag[i];
    }
}

double degrees(double radians) { return radians * 180.0 / kPi; }

}  // namespace

bool parseProfile(std::string_view name, Profile& out) {
    static const std::pair<std::string_view, Profile> names[] = {{"healthy", Profile::Healthy},
                                                                 {"repeat", Profile::Repeat},
                                                                 {"gentle", Profile::Gentle},
                                                                 {"obvious", Profile::Obvious},
                                                                 {"severe", Profile::Severe}};
    for (const auto& [text, profile] : names) {
        if (name == text) {
            out = profile;
            return true;
        }
    }
    return false;
}

const char* profileName(Profile profile) {
    switch (profile) {
    case Profile::Healthy: return "healthy";
    case Profile::Repeat: return "repeat";
    case Profile::Gentle: return "gentle";
    case Profile::Obvious: return "obvious";
    case Profile::Severe: return "severe";
    }
    return "healthy";
}

ImpedanceReading impedanceReading(double frequency, std::complex<double> z) {
    ImpedanceReading r;
    r.frequency = frequency;
    r.z = z;
    r.zMagnitude = std::abs(z);
    r.zPhaseDeg = degrees(std::arg(z));
    r.yMagnitude = r.zMagnitude > 0 ? 1.0 / r.zMagnitude : 0.0;
    r.yPhaseDeg = -r.zPhaseDeg;
    const double omega = 2 * kPi * frequency;
    const double x = z.imag();
    r.inductance = x > 0 ? x / omega : 0.0;
    r.capacitance = x < 0 ? -1.0 / (omega * x) : 0.0;
    r.resistance = z.real();
    return r;
}

WindingModel::WindingModel(Profile profile, std::uint64_t seed) : profile_(profile), rng_(seed) {
    buildHealthy();
    applyDeformation();
}

void WindingModel::buildHealthy() {
    // A disc winding of a power transformer: 40 H magnetising inductance referred to this winding, a few
    // mH of air-core inductance and nF-range capacitances. The magnetising inductance against the
    // end-to-end capacitance gives the first deep minimum near 1 kHz; the disc groups give the mid-band
    // resonances from about 10 kHz to 1 MHz; leads and bushings shape the top band.
    coreCornerHz_ = 2500.0;
    coreLossTangent_ = 0.25;
    sections_.clear();
    // The magnetising inductance links every turn, so it sits as one element in series with the winding,
    // bridged by the winding's end-to-end capacitance; the air-core sections follow.
    sections_.push_back(Section{0.0, 40.0, 0.5, 0.0, 0.5e-9, 0.10e-9});
    for (int k = 0; k < kSections; ++k) {
        const double x = static_cast<double>(k) / (kSections - 1);
        Section s;
        s.seriesCap = 20e-9;
        // Discs are wound in groups of five; each group's own resonance sits higher along the winding,
        // log-evenly from 10 kHz to 1 MHz, with a little scatter from disc to disc.
        const int group = k / 5;
        const double fk = 10e3 * std::pow(100.0, group / 7.0) * (1.0 + 0.03 * std::sin(2.3 * k));
        s.airInductance = 1.0 / (std::pow(2 * kPi * fk, 2) * s.seriesCap);
        s.coreInductance = 0.0;
        s.resistance = 0.05 * (1.0 + 0.2 * x);
        // Conductor loss such that a section's own resonance has a quality factor of about 15.
        s.acResistance = 2 * kPi * fk * s.airInductance / 15.0 / std::sqrt(fk / 100e3);
        s.shuntCap = 0.10e-9 * (1.0 + 0.12 * std::sin(1.3 * k + 1.0));
        sections_.push_back(s);
    }
}

void WindingModel::applyDeformation() {
    // Sections are numbered along the winding from the line end; section 0 is the core.
    auto deform = [this](int first, int last, double series, double shunt, double air) {
        for (int k = first; k <= last && k < static_cast<int>(sections_.size()); ++k) {
            sections_[k].seriesCap *= series;
            sections_[k].shuntCap *= shunt;
            sections_[k].airInductance *= air;
        }
    };
    switch (profile_) {
    case Profile::Healthy:
    case Profile::Repeat:
        break;
    case Profile::Gentle:
        // Axial displacement of a group of discs: the gaps between them open up.
        deform(1, 12, 0.81, 1.14, 1.0);
        break;
    case Profile::Obvious:
        // A larger displaced group plus radial (hoop) buckling of the discs further in.
        deform(1, 20, 0.70, 1.24, 0.91);
        deform(21, 30, 0.90, 1.20, 0.90);
        break;
    case Profile::Severe:
        // Shorted turns: the short circuit cancels most of the core flux seen by the winding, and the
        // collapsed discs around it have lost their spacing.
        sections_[0].coreInductance *= 0.05;
        deform(1, 30, 0.70, 1.30, 0.84);
        break;
    }
}

WindingModel::Solution WindingModel::solve(double frequency) const {
    const double omega = 2 * kPi * frequency;
    const Complex j(0, 1);
    // The core's permeability falls steeply above its corner (eddy currents keep the flux out of the
    // laminations); its losses are a constant loss angle.
    const double rolloff = 1.0 / (1.0 + std::pow(frequency / coreCornerHz_, 4.0));
    const double skin = std::sqrt(frequency / 100e3);
    const std::size_t nodes = sections_.size() + 1;
    std::vector<Complex> diag(nodes, Complex(0)), off(nodes - 1, Complex(0)), rhs(nodes, Complex(0));

    auto shunt = [&](double cap) { return omega * cap * Complex(kInsulationLoss, 1.0); };
    for (std::size_t k = 0; k < sections_.size(); ++k) {
        const Section& s = sections_[k];
        const Complex core = omega * s.coreInductance * rolloff * Complex(coreLossTangent_, 1.0);
        const Complex branch = s.resistance + s.acResistance * skin + j * omega * s.airInductance + core;
        const Complex y = 1.0 / branch + shunt(s.seriesCap);
        diag[k] += y + shunt(s.shuntCap / 2);
        diag[k + 1] += y + shunt(s.shuntCap / 2);
        off[k] -= y;
    }
    // Terminals: source through its lead, response input through its lead, bushings to the tank.
    const Complex sourceImpedance = kSourceOhm + j * omega * kLeadInductance;
    const Complex loadImpedance = kLoadOhm + j * omega * kLeadInductance;
    diag[0] += 1.0 / sourceImpedance + shunt(kBushingCap);
    diag[nodes - 1] += 1.0 / loadImpedance + shunt(kBushingCap);
    rhs[0] = kSourceVolts / sourceImpedance;
    // The stray capacitance straight between the two terminals would break the band. Its admittance goes
    // on the diagonal; the current it couples across is found by superposition: solve for the source and
    // for a unit current into each terminal, then settle the two coupling currents from a 2x2 system.
    const Complex terminal = shunt(kTerminalCap);
    diag[0] += terminal;
    diag[nodes - 1] += terminal;
    std::vector<Complex> unit0(nodes, Complex(0)), unitN(nodes, Complex(0));
    unit0[0] = 1.0;
    unitN[nodes - 1] = 1.0;
    solveTridiagonal(diag, off, {&rhs, &unit0, &unitN});
    // Coupling currents a (into node 0) = t·vN and b (into node N) = t·v0, with
    // v0 = rhs0 + a·unit0[0] + b·unitN[0] and vN = rhsN + a·unit0[N] + b·unitN[N].
    const std::size_t last = nodes - 1;
    const Complex m00 = 1.0 - terminal * unit0[last], m01 = -terminal * unitN[last];
    const Complex m10 = -terminal * unit0[0], m11 = 1.0 - terminal * unitN[0];
    const Complex r0 = terminal * rhs[last], r1 = terminal * rhs[0];
    const Complex det = m00 * m11 - m01 * m10;
    const Complex a = (r0 * m11 - m01 * r1) / det;
    const Complex b = (m00 * r1 - m10 * r0) / det;
    const Complex v0 = rhs[0] + a * unit0[0] + b * unitN[0];
    const Complex vN = rhs[last] + a * unit0[last] + b * unitN[last];

    Solution out;
    out.reference = v0;
    out.response = vN * kLoadOhm / loadImpedance;
    const Complex inputCurrent = (kSourceVolts - out.reference) / sourceImpedance;
    out.inputImpedance = out.reference / inputCurrent;
    return out;
}

double WindingModel::noise(double sigma) { return sigma * gauss_(rng_); }

FraReading WindingModel::measureFra(double frequency) {
    const Solution s = solve(frequency);
    Complex reference = s.reference, response = s.response;
    if (profile_ == Profile::Repeat) {
        // Re-measurement: small gain and phase scatter plus the receiver's noise floor.
        reference *= Complex(1.0 + noise(0.001), noise(0.001));
        response *= Complex(1.0 + noise(0.003), noise(0.003));
        response += Complex(noise(2e-6), noise(2e-6));
    }
    FraReading r;
    r.frequency = frequency;
    r.mag1 = std::abs(reference);
    r.mag2 = std::abs(response);
    const Complex h = response / reference;
    r.gainDb = 20.0 * std::log10(std::abs(h));
    r.phaseDeg = degrees(std::arg(h));
    // Group delay from the phase slope over a narrow step.
    const double step = frequency * 1e-4;
    const Solution s2 = solve(frequency + step);
    const double dphi = std::arg((s2.response / s2.reference) / (s.response / s.reference));
    r.delay = -dphi / (2 * kPi * step);
    return r;
}

ImpedanceReading WindingModel::measureImpedance(double frequency) {
    Complex z = solve(frequency).inputImpedance;
    if (profile_ == Profile::Repeat) z *= Complex(1.0 + noise(0.002), noise(0.002));
    return impedanceReading(frequency, z);
}

}  // namespace sim
