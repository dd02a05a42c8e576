// The transformer winding behind the simulated analyser: a ladder network solved per frequency, giving
// the frequency response (both channel voltages) and the input impedance from one and the same solution.
#pragma once

#include <complex>
#include <cstdint>
#include <random>
#include <string_view>
#include <vector>

namespace sim {

// Which winding is on the terminals. healthy is the fingerprint; repeat is the same winding measured again
// (with measurement noise); gentle, obvious and severe are increasingly deformed windings.
enum class Profile { Healthy, Repeat, Gentle, Obvious, Severe };

// Parses a profile name as given on the command line; false for an unknown name.
bool parseProfile(std::string_view name, Profile& out);
const char* profileName(Profile profile);

// One frequency response reading; phase in degrees within -180..180 (convention applied by the caller).
struct FraReading {
    double frequency = 0;  // Hz
    double mag1 = 0;       // V, reference channel (source terminal)
    double mag2 = 0;       // V, response channel (far terminal into 50 ohm)
    double gainDb = 0;     // 20·log10(mag2 / mag1)
    double phaseDeg = 0;   // angle of the response relative to the reference
    double delay = 0;      // s, group delay of the response
};

// The input impedance quantities of one impedance reading, all derived from the one complex Z.
struct ImpedanceReading {
    double frequency = 0;
    std::complex<double> z;    // ohm, R + jX at the source terminal
    double zMagnitude = 0;     // ohm
    double zPhaseDeg = 0;      // degrees, -180..180
    double yMagnitude = 0;     // S, 1 / |Z|
    double yPhaseDeg = 0;      // degrees, the negated impedance angle
    double inductance = 0;     // H, X / (2πf) when X > 0, else 0
    double capacitance = 0;    // F, -1 / (2πf·X) when X < 0, else 0
    double resistance = 0;     // ohm, R
};

// Derives the reported impedance quantities from Z at frequency f.
ImpedanceReading impedanceReading(double frequency, std::complex<double> z);

// Owned by the instrument; not thread-safe (the noise generator advances with every measurement).
class WindingModel {
public:
    explicit WindingModel(Profile profile, std::uint64_t seed = 1);

    Profile profile() const { return profile_; }

    // Noise-free solution at one frequency (Hz > 0).
    struct Solution {
        std::complex<double> reference;  // V at the source terminal
        std::complex<double> response;   // V across the 50-ohm response input
        std::complex<double> inputImpedance;
    };
    Solution solve(double frequency) const;

    // A measurement as the analyser reports it: the solution plus measurement noise where the profile has it.
    FraReading measureFra(double frequency);
    ImpedanceReading measureImpedance(double frequency);

private:
    struct Section {
        double airInductance;    // H, the section's own inductance with the core saturated out
        double coreInductance;   // H, its share of the magnetising inductance at low frequency
        double resistance;       // ohm, d.c.
        double acResistance;     // ohm, skin-effect resistance at 100 kHz (grows with the root of f)
        double seriesCap;        // F, turn-to-turn, across the section
        double shuntCap;         // F, section to core and tank
    };
    void buildHealthy();
    void applyDeformation();
    double noise(double sigma);

    Profile profile_;
    std::vector<Section> sections_;
    double coreCornerHz_ = 0;     // where the core's permeability starts to fall
    double coreLossTangent_ = 0;  // hysteresis and eddy loss, as a constant loss angle of the core
    std::mt19937_64 rng_;
    std::normal_distribution<double> gauss_{0.0, 1.0};
};

}  // namespace sim
