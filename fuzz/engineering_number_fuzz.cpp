// The engineering-number parser as the dialogs use it: with and without the validity flag.
#include <cmath>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "measure/engineering_number.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    bool valid = false;
    const double checked = measure::parseEngineeringNumber(text, &valid);
    const double unchecked = measure::parseEngineeringNumber(text);
    // Text that passes the check reads the same either way: the flag only matters for bad characters.
    fuzz::require(!valid || checked == unchecked || (checked != checked && unchecked != unchecked),
                  "valid text reads the same with and without the check");
    // Plain decimal text ("12.5", "0.000001") must read as the C library reads it (apart from the
    // last bits of numbers near a double's limits).
    if (!text.empty() && text.find_first_not_of("0123456789.") == std::string::npos &&
        text.find('.') == text.rfind('.') && text.find_first_of("0123456789") != std::string::npos) {
        const double expected = std::strtod(text.c_str(), nullptr);
        fuzz::require(checked == expected || std::fabs(expected) > 1e300 ||
                          std::fabs(checked - expected) <= 1e-9 * std::fabs(expected) + 1e-300,
                      "plain decimal text reads as its value");
    }
    return 0;
}
