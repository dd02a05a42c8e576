// The transport: opening and closing the port or socket, writing commands, reading reply lines and
// values with their timeouts, and logging every exchange.
#include "instrument/link.h"

#include <atomic>
#include <cstdio>
#include <exception>
#include <vector>

#include "instrument/comms_log.h"
#include "instrument/values.h"
#include "platform/clock.h"
#include "platform/debug_output.h"

namespace instrument {
namespace {

constexpr int kValueBufferSize = 41920;
constexpr unsigned kConnectTimeoutMs = 2000;
constexpr unsigned kOpenSettleMs = 100;
constexpr unsigned kWaitStepMs = 5;

// Shared by every link and changed from whichever thread holds a link, workers included.
std::atomic<unsigned> lanTimeoutMs{5000};
std::atomic<std::uint64_t> sequence{0};

bool isSerial(const InstrumentLink& link) { return link.interfaceType == kUsb || link.interfaceType == kSerial; }

bool cancelled(const InstrumentLink& link) { return link.cancel && *link.cancel; }

// Serial: waits for a byte to come, up to the port's read timeout. With a cancel flag the wait goes in
// short steps so that a cancel ends it; without one the port's own blocking read does the waiting.
bool serialByteComing(InstrumentLink& link) {
    if (!link.cancel) return true;
    const std::uint64_t start = platform::nowMs();
    while (platform::serialQueued(link.port) == 0) {
        if (cancelled(link) || platform::nowMs() - start >= link.port.readTimeoutMs) return false;
        platform::sleepMs(kWaitStepMs);
    }
    return true;
}

// The front of a log line: the exchange's sequence number, serial number and direction.
std::string logPrefix(const InstrumentLink& link, std::uint64_t number, bool write, bool valueRead = false) {
    char text[160];
    const std::string serial = identitySerial(link);
    if (!serial.empty())
        std::snprintf(text, sizeof text, "(%05llu) [serial:%s]%s\t", static_cast<unsigned long long>(number),
                      serial.c_str(), write ? ">>" : "<<");
    else
        std::snprintf(text, sizeof text, "(%05llu) [serial:unknown]%s\t", static_cast<unsigned long long>(number),
                      write ? " >>" : valueRead ? "<<" : " <<");
    return text;
}

// Logs one exchange. Building the line must never cost the transfer its result.
void logLine(const InstrumentLink& link, const std::string& line) {
    try {
        if (!commsLogEnabled() && !link.open) platform::debugOutput("$0$");
        commsLogWrite(line);
    } catch (const std::exception& e) {
        std::fputs(e.what(), stdout);
    } catch (...) {
        std::fputs("Unknown error", stdout);
    }
}

// Takes one received byte if one is waiting; false when none is.
bool takeByte(InstrumentLink& link, char& byte) {
    if (isSerial(link)) return platform::serialQueued(link.port) > 0 && platform::serialRead(link.port, &byte, 1) == 1;
    // Take more from the socket only while the ring has room for it: a whole sweep sent at once
    // (2000 points are some 140 kB) would otherwise overwrite bytes not yet read. What does not fit
    // waits in the connection until the ring drains.
    constexpr int kChunk = 255;
    if (link.ring.count <= kReceiveRingSize - kChunk && platform::tcpWaitReadable(link.socket, 0) == 1) {
        char chunk[kChunk];
        int n = platform::tcpReceive(link.socket, chunk, sizeof chunk);
        if (n > 0) link.ring.push(chunk, n);
    }
    return link.ring.pop(byte);
}

// Reads one raw reply line (no logging, no conversion). Serial: byte by byte until the port's
// timeout, a stored line feed or size - 1 bytes, then cut at the first carriage return. LAN: until a
// line feed (not stored), carriage returns dropped, bytes beyond size - 1 dropped; -1, with out
// emptied, when the read timeout passes while waiting for a byte: a line without its end is no reply.
int readRawLine(InstrumentLink& link, std::string& out, int size) {
    out.clear();
    if (size <= 1) return 0;
    if (isSerial(link)) {
        char byte;
        while (static_cast<int>(out.size()) < size - 1 && serialByteComing(link) &&
               platform::serialRead(link.port, &byte, 1) == 1) {
            out += byte;
            if (byte == '\n') break;
        }
        std::size_t cr = out.find('\r');
        if (cr != std::string::npos) out.resize(cr);
        return static_cast<int>(out.size());
    }
    for (;;) {
        char byte;
        if (!takeByte(link, byte)) {
            const std::uint64_t waitStart = platform::nowMs();
            for (;;) {
                if (platform::nowMs() - waitStart >= lanTimeoutMs || cancelled(link)) {
                    out.clear();
                    return -1;
                }
                int ready = platform::tcpWaitReadable(link.socket, kWaitStepMs);
                if (takeByte(link, byte)) break;
                // Readable without a byte means the instrument hung up: wait out the timeout
                // without spinning.
                if (ready != 0) platform::sleepMs(kWaitStepMs);
            }
        }
        if (byte == '\n') return static_cast<int>(out.size());
        if (byte != '\r' && static_cast<int>(out.size()) < size - 1) out += byte;
    }
}

}  // namespace

void ReceiveRing::push(const char* data, int length) {
    for (int i = 0; i < length; ++i) {
        bytes[writePos] = data[i];
        writePos = (writePos + 1) % kReceiveRingSize;
        if (count < kReceiveRingSize) ++count;
        else readPos = writePos;  // full: the oldest byte has just been overwritten
    }
}

bool ReceiveRing::pop(char& byte) {
    if (count == 0) return false;
    byte = bytes[readPos];
    readPos = (readPos + 1) % kReceiveRingSize;
    --count;
    return true;
}

int linkOpen(InstrumentLink& link) {
    if (link.open) return 0;
    bool ok = false;
    if (isSerial(link)) {
        ok = platform::serialOpen(link.port, link.portName, link.baudRate);
    } else if (link.interfaceType == kLan) {
        ok = platform::tcpConnect(link.socket, link.ipAddress, link.lanPort, kConnectTimeoutMs);
        link.ring = ReceiveRing{};
    }
    if (!ok) return -1;
    link.open = true;
    linkWrite("\x14", link);
    const std::uint64_t written = platform::nowMs();
    for (;;) {
        char byte;
        if (takeByte(link, byte)) continue;
        if (platform::nowMs() - written > kOpenSettleMs) return 0;
        platform::sleepMs(10);
    }
}

void linkClose(InstrumentLink& link) {
    if (isSerial(link)) platform::serialClose(link.port);
    else platform::tcpClose(link.socket);
    link.open = false;
}

int linkWrite(const std::string& command, InstrumentLink& link) {
    int result;
    if (isSerial(link)) {
        result = platform::serialWrite(link.port, command.data(), static_cast<int>(command.size()));
    } else {
        // The instrument takes the zero byte after each command on the LAN as its end.
        result = platform::tcpSend(link.socket, command.c_str(), static_cast<int>(command.size()) + 1) < 0 ? -1 : 0;
    }
    logLine(link, logPrefix(link, ++sequence, true) + (command == "\x14" ? std::string("\\024\n") : command));
    return result;
}

int linkReadLine(std::string& out, int size, InstrumentLink& link) {
    int length = readRawLine(link, out, size);
    logLine(link, logPrefix(link, ++sequence, false) + out + "\n");
    if (length > 0 && isPackedBinary(out) && out.size() >= 4) {
        out = packedValueText(decodePacked(reinterpret_cast<const unsigned char*>(out.data())));
        length = static_cast<int>(out.size());
    }
    return length;
}

int linkReadValues(double* values, int capacity, InstrumentLink& link, bool strict) {
    static thread_local std::string reply;
    int length = readRawLine(link, reply, kValueBufferSize);
    logLine(link, logPrefix(link, ++sequence, false, true) + reply + "\n");
    if (length <= 0) return length;
    return parseReplyValues(reply, values, capacity, strict);
}

void linkDiscard(InstrumentLink& link, unsigned ms) {
    const std::uint64_t start = platform::nowMs();
    for (;;) {
        char byte;
        if (takeByte(link, byte)) continue;
        if (ms == 0 || platform::nowMs() - start > ms) return;
        platform::sleepMs(10);
    }
}

void linkSetReadTimeout(unsigned ms, InstrumentLink& link) {
    if (isSerial(link)) platform::serialSetReadTimeout(link.port, ms);
    else lanTimeoutMs = ms;
}

unsigned lanReadTimeout() { return lanTimeoutMs; }

std::string identitySerial(const InstrumentLink& link) {
    const std::string& id = link.identity.str();
    std::size_t first = id.find(',');
    if (first == std::string::npos) return {};
    std::size_t second = id.find(',', first + 1);
    if (second == std::string::npos) return {};
    std::size_t third = id.find(',', second + 1);
    return id.substr(second + 1, third == std::string::npos ? std::string::npos : third - second - 1);
}

}  // namespace instrument
