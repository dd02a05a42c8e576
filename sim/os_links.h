// The operating system's side of the simulator's links: a loopback TCP listener and its client, the
// pseudo-terminal that stands in for the serial line (POSIX only), and one wait over all of them that
// also ends when the simulator is told to stop (SIGTERM, SIGINT, Ctrl-C, Ctrl-Break, console close).
// The simulator's own code: it shares none with the program. posix/ and win32/ implement it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim::os {

using Handle = std::intptr_t;
inline constexpr Handle kNoHandle = -1;

// Installs the stop handlers and starts the socket layer; false with a reason in error.
bool start(std::string& error);

// A non-blocking listener on 127.0.0.1:port (0: the system chooses; boundPort is the one it took).
Handle listenLoopback(int port, int& boundPort, std::string& error);
// The next waiting client, non-blocking, or kNoHandle.
Handle acceptClient(Handle listener);

// The serial line's stand-in: a raw pseudo-terminal at 19200 bit/s, its master end in peer and the
// name the program opens in path. The far end is kept open as well, so that the master never sees a
// hang-up while the program closes and reopens the port between exchanges. False with a reason where
// there is none (Windows).
bool openSerialLine(Handle& peer, Handle& farEnd, std::string& path, std::string& error);

// What readSome and writeSome return besides a count of bytes.
inline constexpr long kWouldBlock = -1;  // nothing now
inline constexpr long kFailed = -2;      // the link is broken
// Bytes read (0: the peer closed) or written, or one of the two above.
long readSome(Handle handle, bool socket, char* data, std::size_t size);
long writeSome(Handle handle, bool socket, const char* data, std::size_t size);
void closeHandle(Handle handle, bool socket);

// One handle a wait watches, and what it found.
struct Watch {
    Handle handle = kNoHandle;
    bool socket = true;
    bool read = false;   // wake when readable (for a listener: when a client waits)
    bool write = false;  // wake when writable
    bool readable = false;
    bool writable = false;
    bool broken = false;  // hang-up or error: a read will tell which
};

enum class Wake { Ready, Stop, Failed };
// Waits until a watched handle is ready or timeoutMs (-1: no limit) has passed (Ready), a stop was
// asked for before or during the wait (Stop), or the wait itself failed (Failed, with a reason).
Wake waitFor(std::vector<Watch>& watches, int timeoutMs, std::string& error);

}  // namespace sim::os
