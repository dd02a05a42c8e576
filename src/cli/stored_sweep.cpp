// Looking up the sweeps a command names.
#include "cli/stored_sweep.h"

#include <cstdio>

#include "cli/arguments.h"
#include "db/record_store.h"

namespace cli {
namespace {

bool found(bool loaded, std::int64_t id) {
    if (!loaded) std::fprintf(stderr, "corvane: no sweep with id %lld\n", static_cast<long long>(id));
    return loaded;
}

}  // namespace

std::int64_t sweepIdArgument(const std::string& text) {
    long long id = 0;
    if (!parseInteger(text, id)) throw UsageError{"not a sweep id: " + text};
    return id;
}

bool loadStoredSweep(std::int64_t id, db::SweepRecord& sweep) { return found(db::load_sweep(id, sweep), id); }

bool loadStoredBundle(std::int64_t id, db::SweepBundle& bundle) { return found(db::load_sweep_bundle(id, bundle), id); }

}  // namespace cli
