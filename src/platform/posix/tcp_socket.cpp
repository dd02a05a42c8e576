// TCP client sockets on POSIX: a non-blocking connect bounded by poll(), blocking afterwards.
#include "platform/tcp_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace platform {
namespace {

int fd(const TcpSocket& s) { return static_cast<int>(s.handle); }

int pollFor(int f, short events, unsigned timeoutMs) {
    pollfd p{f, events, 0};
    int ready;
    do ready = ::poll(&p, 1, static_cast<int>(timeoutMs));
    while (ready < 0 && errno == EINTR);
    return ready;
}

}  // namespace

bool tcpConnect(TcpSocket& socket, const std::string& ipv4, int port, unsigned timeoutMs) {
    tcpClose(socket);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (port <= 0 || port > 65535 || ::inet_pton(AF_INET, ipv4.c_str(), &address.sin_addr) != 1) return false;

    int f = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (f < 0) return false;
    int flags = ::fcntl(f, F_GETFL, 0);
    ::fcntl(f, F_SETFL, flags | O_NONBLOCK);
    bool ok = ::connect(f, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (!ok && errno == EINPROGRESS && pollFor(f, POLLOUT, timeoutMs) == 1) {
        int error = 0;
        socklen_t size = sizeof error;
        ok = ::getsockopt(f, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    if (!ok) {
        ::close(f);
        return false;
    }
    ::fcntl(f, F_SETFL, flags & ~O_NONBLOCK);
    int one = 1;
    ::setsockopt(f, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);  // commands are tiny and want to go now
    socket.handle = f;
    return true;
}

int tcpSend(TcpSocket& socket, const char* data, int length) {
    if (socket.handle < 0 || length < 0) return -1;
    int done = 0;
    while (done < length) {
        ssize_t n = ::send(fd(socket), data + done, static_cast<std::size_t>(length - done), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        done += static_cast<int>(n);
    }
    return done;
}

int tcpWaitReadable(TcpSocket& socket, unsigned timeoutMs) {
    if (socket.handle < 0) return -1;
    int ready = pollFor(fd(socket), POLLIN, timeoutMs);
    return ready < 0 ? -1 : ready > 0 ? 1 : 0;
}

int tcpReceive(TcpSocket& socket, char* data, int length) {
    if (socket.handle < 0) return -1;
    ssize_t n;
    do n = ::recv(fd(socket), data, static_cast<std::size_t>(length), 0);
    while (n < 0 && errno == EINTR);
    return n < 0 ? -1 : static_cast<int>(n);
}

void tcpClose(TcpSocket& socket) {
    if (socket.handle < 0) return;
    ::shutdown(fd(socket), SHUT_WR);
    ::close(fd(socket));
    socket.handle = -1;
}

}  // namespace platform
