// The instrument's numeric replies: the text and packed binary forms with and without strict
// checking, the "WORD:nnnnn:" prefix, and the text a packed single value is shown as. The first
// input byte gives the caller's capacity; the values land in a buffer of exactly that size, so that
// a write past it is reported.
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "instrument/values.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int capacity = data[0] % 64;
    const std::string_view reply(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<double> values(static_cast<std::size_t>(capacity));

    for (bool strict : {false, true}) {
        const int direct = instrument::parseValues(reply, values.data(), capacity, strict);
        fuzz::require(direct <= capacity && (strict || direct >= 0), "no more values than room, -1 only when strict");
        const int prefixed = instrument::parseReplyValues(reply, values.data(), capacity, strict);
        fuzz::require(prefixed <= capacity, "no more values than room after a prefix");
    }
    if (reply.size() >= 4 && instrument::isPackedBinary(reply)) {
        const double value = instrument::decodePacked(reinterpret_cast<const unsigned char*>(reply.data()));
        fuzz::require(!instrument::packedValueText(value).empty(), "a packed value reads as text");
    }
    return 0;
}
