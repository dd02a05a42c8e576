// The data browser's sweep list at ten years' scale: the first screen of rows of the sweep view, one
// keystroke of a search and two header clicks, on a database of 30 sweeps and one of 20,000, and
// each large time as a ratio to its small one, measured in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "common/string_printf.h"
#include "db/browser_rows.h"
#include "db/browser_views.h"
#include "db/record_store.h"
#include "db/sql_exec.h"
#include "ratio_reporter.h"

namespace {

constexpr int kSmall = 30;
constexpr int kLarge = 20000;
constexpr std::size_t kScreenRows = 30;  // the rows a maximised list shows

std::map<int, std::string> databases;  // sweeps -> file

// A database as a test engineer's ten years leave it: 50 transformers, 20 setups, 3 instruments and
// sweeps spread over the years, stored through the record store in one transaction.
void buildDatabase(const std::string& path, int sweeps) {
    bool created = false;
    db::open_database(path, db::OpenMode::CreateIfMissing, &created, db::Connection::Main);
    db::beginTransaction(db::Connection::Main);
    for (int t = 0; t < 50; ++t) {
        db::TransformerRecord r;
        r.identifier = common::stringPrintf("TX-%03d", t);
        r.manufacturer = "Demo Transformer Works";
        r.serialNumber = common::stringPrintf("SN-%05d", t * 37);
        db::store_transformer(r, db::kAddUnchecked);
    }
    for (int s = 0; s < 20; ++s) {
        db::SetupRecord r;
        r.name = common::stringPrintf("OPEN%d H%d-H0", s % 4 + 1, s % 3 + 1);
        r.referenceTerminal = "H1";
        r.responseTerminal = "H0";
        r.connectedTerminals = "NONE";
        db::store_setup(r, db::kAddUnchecked);
    }
    for (int e = 0; e < 3; ++e) {
        db::EquipmentRecord r;
        r.manufacturer = "Veltrona Ltd";
        r.instrument = "QMX74";
        r.serialNumber = common::stringPrintf("410-%d", 2718 + e);
        db::store_equipment(r, db::kAddUnchecked);
    }
    static const char* const kWindings[] = {"HV-LV", "HV-TV", "LV open", "HV short"};
    for (int i = 0; i < sweeps; ++i) {
        db::SweepRecord r;
        r.name = common::stringPrintf("Tap %d %s", i % 17 + 1, kWindings[i % 4]);
        r.transformerIdentifier = common::stringPrintf("TX-%03d", i % 50);
        r.setupId = i % 20 + 1;
        r.equipmentId = i % 3 + 1;
        r.date = common::stringPrintf("%04d-%02d-%02d", 2015 + i * 10 / sweeps, i % 12 + 1, i % 28 + 1);
        r.time = common::stringPrintf("%02d:%02d", 8 + i % 9, i % 60);
        r.comments = i % 5 ? "Routine test" : "After the through-fault";
        r.dataType = i % 10 ? db::kDataFra : db::kDataLcr;
        db::store_sweep(r, db::kAddUnchecked);
    }
    db::commitTransaction(db::Connection::Main);
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);
}

void openDatabase(int sweeps) {
    db::open_database(databases.at(sweeps), db::OpenMode::Open, nullptr, db::Connection::Main);
}

// The rows the list shows at once, as it asks for them.
void readScreen(db::ViewRows& rows) {
    for (std::size_t i = 0; i < kScreenRows && i < rows.size(); ++i) benchmark::DoNotOptimize(rows.row(i).data());
}

void runList(benchmark::State& state, const std::string& search, int sortColumn, db::SortOrder order) {
    openDatabase(static_cast<int>(state.range(0)));
    db::ViewContext sweeps;
    db::tableView(db::kSweepsView, sweeps);
    for (auto _ : state) {
        db::ViewRows rows;
        rows.load(sweeps, search, sortColumn, order);
        readScreen(rows);
    }
}

// The sweep view appearing.
void FirstScreen(benchmark::State& state) { runList(state, "", 0, db::SortOrder::Loading); }
// One key typed into the search box: the search runs and the list shows its first screen again.
void SearchKeystroke(benchmark::State& state) { runList(state, "Tap 12", 0, db::SortOrder::Loading); }
// A click on the Name header.
void SortByName(benchmark::State& state) { runList(state, "", 1, db::SortOrder::Ascending); }
// A second click on the Data Type header: descending by the types' names.
void SortByDataType(benchmark::State& state) { runList(state, "", 5, db::SortOrder::Descending); }

BENCHMARK(FirstScreen)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(SearchKeystroke)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(SortByName)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(SortByDataType)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("corvane-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    for (int sweeps : {kSmall, kLarge}) {
        databases[sweeps] = (folder / ("sweeps" + std::to_string(sweeps) + ".db")).string();
        buildDatabase(databases[sweeps], sweeps);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);
    std::printf("\nTimes with %d sweeps as ratios to those with %d (the floor):\n", kLarge, kSmall);
    for (const char* name : {"FirstScreen", "SearchKeystroke", "SortByName", "SortByDataType"})
        reporter.printRatio(name, std::string(name) + "/" + std::to_string(kLarge),
                            std::string(name) + "/" + std::to_string(kSmall));
    benchmark::Shutdown();
    std::filesystem::remove_all(folder);
    return 0;
}
