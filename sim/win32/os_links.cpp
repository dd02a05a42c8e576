// The simulator's links on Windows: Winsock sockets under one select(). There is no pseudo-terminal,
// so the serial line is not served. A stop (Ctrl-C, Ctrl-Break, the console closing) is set by the
// console's control handler, which Windows runs on a thread of its own; the wait looks at it at
// least every 50 ms.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include "os_links.h"

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace sim::os {
namespace {

std::atomic<bool> stopAsked{false};

BOOL WINAPI onConsoleEvent(DWORD) {
    stopAsked = true;
    return TRUE;
}

constexpr int kStopCheckMs = 50;

std::string lastSocketError() {
    char text[256] = "";
    const int code = WSAGetLastError();
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(code),
                        0, text, sizeof text, nullptr))
        std::snprintf(text, sizeof text, "socket error %d", code);
    std::string message(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message;
}

SOCKET socketOf(Handle handle) { return static_cast<SOCKET>(handle); }

long result(int n) {
    if (n >= 0) return n;
    return WSAGetLastError() == WSAEWOULDBLOCK ? kWouldBlock : kFailed;
}

void setNonBlocking(SOCKET s) {
    u_long on = 1;
    ioctlsocket(s, FIONBIO, &on);
}

}  // namespace

bool start(std::string& error) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        error = "Windows Sockets 2.2 cannot be started";
        return false;
    }
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    return true;
}

Handle listenLoopback(int port, int& boundPort, std::string& error) {
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        error = lastSocketError();
        return kNoHandle;
    }
    // Not SO_REUSEADDR: on Windows it lets a second listener take a port that is in use.
    BOOL exclusive = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof addr;
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(s, 8) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        error = lastSocketError();
        closesocket(s);
        return kNoHandle;
    }
    boundPort = ntohs(addr.sin_port);
    setNonBlocking(s);
    return static_cast<Handle>(s);
}

Handle acceptClient(Handle listener) {
    const SOCKET client = accept(socketOf(listener), nullptr, nullptr);
    if (client == INVALID_SOCKET) return kNoHandle;
    setNonBlocking(client);
    return static_cast<Handle>(client);
}

bool openSerialLine(Handle&, Handle&, std::string&, std::string& error) {
    error = "no pseudo-terminal on Windows (the serial line is simulated on POSIX systems only)";
    return false;
}

long readSome(Handle handle, bool, char* data, std::size_t size) {
    return result(recv(socketOf(handle), data, static_cast<int>(std::min<std::size_t>(size, 65536)), 0));
}

long writeSome(Handle handle, bool, const char* data, std::size_t size) {
    return result(send(socketOf(handle), data, static_cast<int>(std::min<std::size_t>(size, 65536)), 0));
}

void closeHandle(Handle handle, bool) {
    if (handle != kNoHandle) closesocket(socketOf(handle));
}

Wake waitFor(std::vector<Watch>& watches, int timeoutMs, std::string& error) {
    for (int waited = 0;;) {
        if (stopAsked) return Wake::Stop;
        fd_set readers, writers, errors;
        FD_ZERO(&readers);
        FD_ZERO(&writers);
        FD_ZERO(&errors);
        for (const Watch& w : watches) {
            if (w.read) FD_SET(socketOf(w.handle), &readers);
            if (w.write) FD_SET(socketOf(w.handle), &writers);
            FD_SET(socketOf(w.handle), &errors);
        }
        const int slice = timeoutMs < 0 ? kStopCheckMs : std::min(kStopCheckMs, timeoutMs - waited);
        timeval wait{0, slice * 1000};
        // select() with no socket at all fails on Windows; there is always the listener or a client.
        const int ready = select(0, &readers, &writers, &errors, &wait);
        if (ready < 0) {
            error = lastSocketError();
            return Wake::Failed;
        }
        waited += slice;
        if (ready == 0 && (timeoutMs < 0 || waited < timeoutMs)) continue;
        for (Watch& w : watches) {
            w.readable = FD_ISSET(socketOf(w.handle), &readers) != 0;
            w.writable = FD_ISSET(socketOf(w.handle), &writers) != 0;
            w.broken = FD_ISSET(socketOf(w.handle), &errors) != 0;
        }
        return stopAsked ? Wake::Stop : Wake::Ready;
    }
}

}  // namespace sim::os
