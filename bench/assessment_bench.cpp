// One assessment of two 2,000-point sweeps, as a diagnosis view asks for it: the comparability check,
// every index of the three DL/T 911 bands and of four custom ones, both verdicts and the difference
// curve. Target: under a millisecond.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>

#include "analysis/assessment.h"

namespace {

// A winding's response: 2,000 log-spaced FRA points from 20 Hz to 2 MHz with resonances that shift
// by the factor given.
db::SweepBundle windingSweep(std::int64_t id, double shift) {
    db::SweepBundle b;
    b.sweep.id = id;
    b.sweep.dataType = db::kDataFra;
    b.sweep.date = "05-06-2024";
    b.equipment.calibrationDueDate = "01-03-2027";
    for (int i = 0; i < 2000; ++i) {
        const double f = 20.0 * std::pow(1e5, i / 1999.0);
        const double gain = -50.0 + 15.0 * std::sin(2.2 * std::log(f * shift)) + 6.0 * std::cos(5.3 * std::log(f));
        b.sweep.fraPoints.push_back({f, 1, 1, gain, 0, 0});
    }
    return b;
}

void Assess(benchmark::State& state) {
    const db::SweepBundle reference = windingSweep(1, 1.0), sweep = windingSweep(2, 1.03);
    analysis::CustomAnalysisSettings custom;
    analysis::bandsFromEdges({1000, 10000, 100000, 600000, 1000000}, custom.bands);
    custom.limits.assign(custom.bands.size(), analysis::CustomBandLimits{});
    for (auto _ : state) {
        analysis::Assessment a = analysis::assess(reference, sweep, analysis::ComparisonKind::TimeBased, &custom);
        benchmark::DoNotOptimize(a.dlt911.bands.data());
    }
}
BENCHMARK(Assess)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("Target: an assessment of two 2,000-point sweeps under 1 ms (1000 us).\n");
    return 0;
}
