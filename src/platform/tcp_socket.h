// TCP client sockets for the instrument's LAN interface. The handle is a plain value, like the
// serial port's. One thread at a time.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct TcpSocket {
    std::intptr_t handle = -1;  // -1 while closed
};

// Connects to a dotted IPv4 address and port, waiting at most timeoutMs for the connection. The
// connected socket blocks on send and receive. False (socket closed) when refused, unanswered or the
// address is not a dotted IPv4 address.
bool tcpConnect(TcpSocket& socket, const std::string& ipv4, int port, unsigned timeoutMs);

// Bytes sent, -1 on failure.
int tcpSend(TcpSocket& socket, const char* data, int length);

// 1 when data (or the peer's close) is waiting, 0 when timeoutMs passed without, -1 on failure.
int tcpWaitReadable(TcpSocket& socket, unsigned timeoutMs);

// Bytes received (at most length), 0 when the peer has closed, -1 on failure. Call after
// tcpWaitReadable reported data, or it blocks.
int tcpReceive(TcpSocket& socket, char* data, int length);

// Shuts the sending side down and closes the socket. Harmless on a closed socket.
void tcpClose(TcpSocket& socket);

}  // namespace platform
