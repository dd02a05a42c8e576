// The PAX reader, on the input written to a file (the reader takes a path). The sweep's name comes
// from the file; the seeds name their sweeps after those already stored.
#include "fuzz_support.h"
#include "interchange/pax_import.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::openScratchDatabase({"Short", "Short (2)", "ab (1)"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    db::SweepBundle bundle;
    const bool read = interchange::importPaxFile(fuzz::writeInput(data, size, "input.pax"), bundle);
    fuzz::require(read ? bundle.marker == 1 : bundle.marker == -1 && bundle.sweep.basicPoints.empty(),
                  "a read file is a marked sweep, a refused one leaves the bundle empty");
    fuzz::require(bundle.sweep.name.str() != "Short" && bundle.sweep.name.str() != "ab (1)",
                  "an imported sweep never takes a stored sweep's name");
    fuzz::require(bundle.sweep.basicPoints.size() <= 2000, "a sweep holds at most 2000 points");
    return 0;
}
