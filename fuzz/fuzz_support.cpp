#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>

#include "db/record_store.h"
#include "db/schema.h"
#include "support/temp_dir.h"

namespace fuzz {
namespace {

const testing_support::TempDir& scratch() {
    static const testing_support::TempDir dir;
    return dir;
}

}  // namespace

std::string writeInput(const std::uint8_t* data, std::size_t size, const std::string& name) {
    const std::string path = scratch().file(name);
    testing_support::writeFile(path, std::string(reinterpret_cast<const char*>(data), size));
    return path;
}

void openScratchDatabase(std::initializer_list<const char*> sweepNames) {
    bool created = false;
    require(db::open_database(scratch().file("scratch.db"), db::OpenMode::CreateIfMissing, &created,
                              db::Connection::Main),
            "the scratch database opens");
    for (const char* name : sweepNames) {
        db::SweepBundle b;
        b.marker = 1;
        b.transformer.identifier = "T1";
        b.setup.name = "OPEN1";
        b.equipment.instrument = "Unknown";
        b.equipment.serialNumber = "Unknown";
        b.sweep.name = name;
        b.sweep.transformerIdentifier = "T1";
        b.sweep.date = "2013-07-01";
        b.sweep.time = "13:48";
        b.sweep.dataType = db::kDataBasicFra;
        b.sweep.basicPoints.push_back({1000.0, -20.0, 45.0});
        require(db::import_sweep_bundle(b), "a sweep of the scratch database is stored");
    }
}

void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

}  // namespace fuzz
