// The ".sfra" sweep file reader, on the input written to a file (the reader takes a path).
#include "fuzz_support.h"
#include "interchange/xml_import.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The file is named "sweep" after its base name; names already taken send the reader on to
    // "sweep (2)" and further.
    fuzz::openScratchDatabase({"sweep", "Sweep (2)"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    db::SweepBundle bundle;
    const bool read = interchange::importSweepFile(fuzz::writeInput(data, size, "sweep.sfra"), bundle);
    fuzz::require(read ? bundle.marker == 1 && bundle.sweep.name.str() == "sweep (3)"
                       : bundle.marker == -1 && bundle.sweep.basicPoints.empty(),
                  "a read file is a marked sweep with a free name, a refused one leaves the bundle empty");
    fuzz::require(bundle.sweep.basicPoints.size() <= 2000, "a sweep holds at most 2000 points");
    return 0;
}
