// TCP client sockets on Windows through Winsock 2.2: a non-blocking connect bounded by select(),
// blocking afterwards. Every connected socket holds one Winsock start-up, released when it closes.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include "platform/tcp_socket.h"

namespace platform {
namespace {

SOCKET socketOf(const TcpSocket& s) { return static_cast<SOCKET>(s.handle); }

timeval timeoutOf(unsigned ms) {
    timeval t{};
    t.tv_sec = static_cast<long>(ms / 1000u);
    t.tv_usec = static_cast<long>(ms % 1000u) * 1000L;
    return t;
}

// Dotted IPv4 only ("a.b.c.d", each part 0-255 in decimal without leading zeros), as the POSIX
// side accepts it; the Windows parser would also take octal, hexadecimal and shortened forms.
bool parseIpv4(const std::string& text, in_addr& out) {
    unsigned parts[4] = {};
    std::size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != '.') return false;
            ++pos;
        }
        std::size_t digits = 0;
        unsigned value = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4) {
            value = value * 10u + static_cast<unsigned>(text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255 || (digits > 1 && text[pos - digits] == '0')) return false;
        parts[i] = value;
    }
    if (pos != text.size()) return false;
    out.s_addr = htonl((parts[0] << 24) | (parts[1] << 16) | (parts[2] << 8) | parts[3]);
    return true;
}

void closeAndCleanUp(SOCKET s) {
    closesocket(s);
    WSACleanup();
}

}  // namespace

bool tcpConnect(TcpSocket& socket, const std::string& ipv4, int port, unsigned timeoutMs) {
    tcpClose(socket);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    if (port <= 0 || port > 65535 || !parseIpv4(ipv4, address.sin_addr)) return false;

    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        WSACleanup();
        return false;
    }
    u_long nonBlocking = 1;
    bool ok = ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
    if (ok && ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ok = false;
        if (WSAGetLastError() == WSAEWOULDBLOCK) {
            // Writable means connected; a refusal shows in the exception set.
            fd_set writable, failed;
            FD_ZERO(&writable);
            FD_ZERO(&failed);
            FD_SET(s, &writable);
            FD_SET(s, &failed);
            timeval limit = timeoutOf(timeoutMs);
            if (::select(0, nullptr, &writable, &failed, &limit) == 1 && FD_ISSET(s, &writable)) {
                int error = 0;
                int size = sizeof error;
                ok = getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) == 0 && error == 0;
            }
        }
    }
    u_long blocking = 0;
    ok = ok && ioctlsocket(s, FIONBIO, &blocking) == 0;
    if (!ok) {
        closeAndCleanUp(s);
        return false;
    }
    BOOL one = TRUE;  // commands are tiny and want to go now
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
    socket.handle = static_cast<std::intptr_t>(s);
    return true;
}

int tcpSend(TcpSocket& socket, const char* data, int length) {
    if (socket.handle < 0 || length < 0) return -1;
    int done = 0;
    while (done < length) {
        int n = ::send(socketOf(socket), data + done, length - done, 0);
        if (n == SOCKET_ERROR) return -1;
        done += n;
    }
    return done;
}

int tcpWaitReadable(TcpSocket& socket, unsigned timeoutMs) {
    if (socket.handle < 0) return -1;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socketOf(socket), &readable);
    timeval limit = timeoutOf(timeoutMs);
    int ready = ::select(0, &readable, nullptr, nullptr, &limit);
    return ready == SOCKET_ERROR ? -1 : ready > 0 ? 1 : 0;
}

int tcpReceive(TcpSocket& socket, char* data, int length) {
    if (socket.handle < 0 || length < 0) return -1;
    int n = ::recv(socketOf(socket), data, length, 0);
    return n == SOCKET_ERROR ? -1 : n;
}

void tcpClose(TcpSocket& socket) {
    if (socket.handle < 0) return;
    shutdown(socketOf(socket), SD_SEND);
    closeAndCleanUp(socketOf(socket));
    socket.handle = -1;
}

}  // namespace platform
