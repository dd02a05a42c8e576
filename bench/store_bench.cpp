// Storing a sweep of 2,000 FRA points into a ten-year database (bench/run.sh hands over a copy of
// one with 5,000 sweeps and 10 million points): the sweep and its points through the record store,
// as a finished sweep is saved, against the floor of the same 2,000 rows inserted into Data_FRA by
// one prepared statement in one transaction on the same connection, measured in the same run.
// Usage: store_bench DATABASE [benchmark options]. Every iteration adds its rows to the file.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cmath>
#include <cstdio>

#include "db/record_store.h"
#include "db/sql_exec.h"
#include "ratio_reporter.h"

namespace {

constexpr int kPoints = 2000;

// A sweep as the instrument returns it: 2,000 points spaced evenly in log frequency, 20 Hz to 2 MHz.
db::SweepRecord benchSweep() {
    db::SweepRecord s;
    s.name = "Store bench OPEN1";
    s.transformerIdentifier = "TX-BENCH";
    s.setupId = 1;
    s.equipmentId = 1;
    s.date = "2026-03-01";
    s.time = "09:30";
    s.comments = "Routine test";
    s.dataType = db::kDataFra;
    for (int i = 0; i < kPoints; ++i) {
        const double f = 20 * std::pow(10.0, 5.0 * i / (kPoints - 1)), decade = std::log10(f);
        const double amplitude = -20 - 25 * decade, phase = 80 * std::cos(3.1 * decade * decade);
        s.fraPoints.push_back({f, 1, std::pow(10.0, amplitude / 20), amplitude, phase, phase / (360 * f)});
    }
    return s;
}

// What the program does when a finished sweep is saved: the sweep under the next id and its points,
// checked and stored in one transaction.
void StoreSweep(benchmark::State& state) {
    db::SweepRecord sweep = benchSweep();
    for (auto _ : state) {
        if (db::store_new_sweep(sweep, db::kAddChecked) != 0) {
            state.SkipWithError("the sweep was not stored");
            break;
        }
    }
}

// The least the same rows cost: one statement, bound and stepped per point, in one transaction.
void RawInserts(benchmark::State& state) {
    const db::SweepRecord sweep = benchSweep();
    sqlite3* handle = db::connectionHandle(db::Connection::Main);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(handle,
                           "INSERT INTO Data_FRA (Sweep_Id, Frequency, Magnitude1, Magnitude2, Amplitude, Phase, Delay) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?)",
                           -1, &stmt, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(handle));
        return;
    }
    // Rows under sweep ids above any stored sweep, so that they go to the end of the key index as a
    // new sweep's points do.
    sqlite3_int64 sweepId = db::next_row_id(db::TableIndex::Sweep) + 1000000;
    for (auto _ : state) {
        db::beginTransaction(db::Connection::Main);
        for (const db::FraPoint& p : sweep.fraPoints) {
            sqlite3_bind_int64(stmt, 1, sweepId);
            int column = 2;
            for (double v : {p.frequency, p.magnitude1, p.magnitude2, p.amplitude, p.phase, p.delay})
                sqlite3_bind_double(stmt, column++, v);
            if (sqlite3_step(stmt) != SQLITE_DONE) state.SkipWithError(sqlite3_errmsg(handle));
            sqlite3_reset(stmt);
        }
        db::commitTransaction(db::Connection::Main);
        ++sweepId;
    }
    sqlite3_finalize(stmt);
}

BENCHMARK(RawInserts)->Unit(benchmark::kMillisecond);
BENCHMARK(StoreSweep)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: store_bench DATABASE [benchmark options]\n");
        return 2;
    }
    if (!db::open_database(argv[1], db::OpenMode::Open, nullptr, db::Connection::Main)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);
    std::printf("\nStoring a sweep of %d points as a ratio to inserting its rows (the floor):\n", kPoints);
    reporter.printRatio("StoreSweep", "StoreSweep", "RawInserts");
    benchmark::Shutdown();
    return 0;
}
