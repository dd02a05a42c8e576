// The test report of nine 2,000-point sweeps, one of them the reference of the other eight: every
// sweep's table, the two overlays, eight assessments with their graphs and the file's bytes, made in
// memory as the program writes it. Target: under a second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>

#include "interchange/test_report.h"

namespace {

db::SweepBundle windingSweep(std::int64_t id, double shift) {
    db::SweepBundle b;
    b.sweep.id = id;
    b.sweep.name = "Sweep " + std::to_string(id);
    b.sweep.dataType = db::kDataFra;
    b.sweep.date = "05-06-2024";
    b.sweep.comments = "Tap 5, after the fault of 3 June: leads checked, \"short\" as before";
    b.transformer.identifier = "TX-Ω 1";
    b.equipment.calibrationDueDate = "01-03-2027";
    for (int i = 0; i < 2000; ++i) {
        const double f = 20.0 * std::pow(1e5, i / 1999.0);
        const double gain = -50.0 + 15.0 * std::sin(2.2 * std::log(f * shift)) + 6.0 * std::cos(5.3 * std::log(f));
        b.sweep.fraPoints.push_back({f, 1, 1, gain, -90 + 0.09 * i, 0});
    }
    return b;
}

void NineSweepReport(benchmark::State& state) {
    interchange::ReportInput input;
    input.date = "11-12-2026";
    input.databaseFile = "site.db";
    for (int i = 0; i < 9; ++i) input.sweeps.push_back(windingSweep(i + 1, 1.0 + 0.01 * i));
    input.transformers.push_back({input.sweeps[0].transformer, "Sweep 1, 05-06-2024 (sweep id 1)"});
    input.reference = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string error;
        const std::string pdf = interchange::reportBytes(input, error);
        if (pdf.empty()) state.SkipWithError(error.c_str());
        bytes = pdf.size();
        benchmark::DoNotOptimize(pdf.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(NineSweepReport)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("Target: the report of nine 2,000-point sweeps under 1 s (1000 ms).\n");
    return 0;
}
