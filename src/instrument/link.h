// The instrument link: the one record through which every exchange with the analyser goes (serial
// port, USB virtual serial port or TCP), and its operations. A link is open only during an exchange:
// every client opens it, writes its commands, reads the replies and closes it again.
// Threads: any one thread at a time per link record (workers use the shared record while the user
// interface keeps its hands off it; the screen download works on a copy). What all links share, the
// log's sequence numbers and the LAN read timeout, is atomic.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "common/fixed_text.h"
#include "platform/serial_port.h"
#include "platform/tcp_socket.h"

namespace instrument {

enum Interface : std::int32_t { kNoInterface = 0, kUsb = 1, kLan = 2, kSerial = 3 };

constexpr int kDefaultLanPort = 10001;
constexpr int kReceiveRingSize = 32768;

// Bytes received from the socket and not yet consumed. The transport fills it only while it has room;
// pushed past its size it keeps the newest bytes.
struct ReceiveRing {
    char bytes[kReceiveRingSize];
    std::int32_t count = 0;
    std::int32_t writePos = 0;
    std::int32_t readPos = 0;

    void push(const char* data, int length);
    bool pop(char& byte);
};

struct InstrumentLink {
    std::int32_t interfaceType = kNoInterface;
    std::int32_t model = 0;          // model code of the identified instrument, 0 unidentified
    std::int32_t modelVariant = 0;
    std::int32_t rangeVariant = 0;
    common::FixedText<128> identity;     // reply to "*IDN?": maker, model, serial number, version
    common::FixedText<256> calibration;  // reply to "calstr?"
    common::FixedText<128> firmwareVersion;
    common::FixedText<256> calibrationVersion;
    // The port's name: COM7 on Windows; on POSIX a device path, hence the room.
    common::FixedText<260> portName;
    common::FixedText<16> ipAddress;  // dotted IPv4
    std::int32_t lanPort = kDefaultLanPort;
    std::int32_t baudRate = 0;
    bool connected = false;          // an instrument has been identified
    bool open = false;               // the port or socket is open now
    platform::SerialPort port;
    platform::TcpSocket socket;
    ReceiveRing ring;
    // Set by a measurement worker for its run: once the flag is raised (the user cancelled), a read
    // stops waiting at once instead of sitting out its timeout. Null: reads wait their full time.
    const std::atomic<bool>* cancel = nullptr;
};

// Opens the port or socket, sends the interrupt byte 0x14 and drops whatever arrives in the next
// 100 ms. 0 on success or when already open; -1 when the port cannot be opened or the connection
// fails (2 seconds at most).
int linkOpen(InstrumentLink& link);

// Closes the port (dropping both queues) or the socket. Harmless when closed.
void linkClose(InstrumentLink& link);

// Sends the command text unchanged (on the LAN followed by one zero byte) and logs it.
// Serial: bytes written, 0 on failure; LAN: 0 sent, -1 failed.
int linkWrite(const std::string& command, InstrumentLink& link);

// Reads one reply line of at most size - 1 characters into out (cleared first) and logs it; a
// packed binary reply comes back as its value in text ("2.50000E0"). Returns the length; 0 (serial)
// or -1 (LAN) when nothing arrived within the read timeout, or on the LAN when the timeout cut the
// line short (out then comes back empty). Anything below 1 is no reply. A raised link.cancel ends
// the wait as a timeout would.
int linkReadLine(std::string& out, int size, InstrumentLink& link);

// Reads one reply line and parses its numbers (text or packed binary, see parseValues) into values
// (at most capacity). Returns the count stored; the read's own result (0 or -1) on a timeout; -1
// (0 after a "WORD:nnnnn:" prefix) when strict parsing found a malformed number.
int linkReadValues(double* values, int capacity, InstrumentLink& link, bool strict);

// Drops received bytes; with ms above 0 keeps dropping until ms milliseconds have passed.
void linkDiscard(InstrumentLink& link, unsigned ms);

// How long reads wait: the serial port's own timeout, or the one timeout of every LAN link.
void linkSetReadTimeout(unsigned ms, InstrumentLink& link);

// The LAN read timeout in force (5000 ms at start).
unsigned lanReadTimeout();

// The serial number in the identity (its third field), or "" when the identity has fewer fields.
std::string identitySerial(const InstrumentLink& link);

}  // namespace instrument
