// The framing of replies on the LAN: the input is everything the instrument sends, read back by
// turns as a reply line and as a line of values until nothing is left. The first input byte picks
// strict or lenient values (bit 0), the line size (bits 1-3) and the values' room (bits 4-7). The
// link reads from one end of a local socket pair whose other end has sent the input and hung up;
// with a read timeout of 0 the end of the input is the end of the reply.
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "instrument/link.h"

namespace {

constexpr int kLineSizes[] = {1, 2, 3, 8, 16, 80, 4096, 41920};
// More than the receive ring holds, and no more than the socket pair takes without blocking.
constexpr std::size_t kMaxInput = 64 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > kMaxInput + 1) return 0;
    const bool strict = data[0] & 1;
    const int lineSize = kLineSizes[(data[0] >> 1) & 7];
    const int capacity = data[0] >> 4;

    int ends[2];
    fuzz::require(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) == 0, "a socket pair");
    fuzz::require(::write(ends[1], data + 1, size - 1) == static_cast<ssize_t>(size - 1), "the input is sent");
    ::shutdown(ends[1], SHUT_WR);

    auto link = std::make_unique<instrument::InstrumentLink>();
    link->interfaceType = instrument::kLan;
    link->socket.handle = ends[0];
    link->open = true;
    instrument::linkSetReadTimeout(0, *link);

    std::vector<double> values(static_cast<std::size_t>(capacity));
    std::string line;
    for (bool asValues = false;; asValues = !asValues) {
        if (asValues) {
            const int count = instrument::linkReadValues(values.data(), capacity, *link, strict);
            fuzz::require(count <= capacity, "no more values than room");
            if (count < 0 && link->ring.count == 0) break;
        } else {
            const int length = instrument::linkReadLine(line, lineSize, *link);
            if (length < 0) break;
            fuzz::require(static_cast<std::size_t>(length) == line.size(), "the length is the line's");
            fuzz::require(line.find_first_of("\r\n") == std::string::npos, "a line comes without its end");
        }
    }
    instrument::linkClose(*link);
    ::close(ends[1]);
    return 0;
}
