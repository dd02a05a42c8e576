// The Touchstone reader on raw bytes. The first byte chooses the port count the file's name would
// give (0 to 4) and the transmission read, so that every layout of records is reached.
#include <algorithm>
#include <cmath>
#include <string_view>

#include "fuzz_support.h"
#include "interchange/touchstone_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int ports = data[0] % 5;
    interchange::TouchstoneParameter parameter{2 + (data[0] / 5) % 3, 1};
    interchange::TouchstoneSweep sweep;
    const std::string refusal = interchange::readTouchstone(
        std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), ports, parameter, sweep);
    fuzz::require(refusal.empty() != sweep.points.empty(), "a read file has points, a refused one none");
    for (std::size_t i = 0; i < sweep.points.size(); ++i) {
        const db::BasicFraPoint& p = sweep.points[i];
        fuzz::require(std::isfinite(p.frequency) && std::isfinite(p.amplitude) && std::isfinite(p.phase),
                      "every point is finite");
        fuzz::require(i == 0 || p.frequency > sweep.points[i - 1].frequency, "frequencies ascend");
    }
    const std::vector<db::BasicFraPoint> thinned = interchange::thinEvenly(sweep.points, 2000);
    fuzz::require(thinned.size() == std::min<std::size_t>(sweep.points.size(), 2000), "a sweep holds at most 2000 points");
    fuzz::require(thinned.empty() || (thinned.front().frequency == sweep.points.front().frequency &&
                                      thinned.back().frequency == sweep.points.back().frequency),
                  "thinning keeps both ends of the range");
    return 0;
}
