// The simulator's links on POSIX: sockets and a pseudo-terminal under one poll(), with SIGTERM and
// SIGINT written into a pipe that the poll watches too.
#include "os_links.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sim::os {
namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    const ssize_t ignored = write(signalPipe[1], &byte, 1);
    (void)ignored;
}

void setNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

long result(ssize_t n) {
    if (n >= 0) return static_cast<long>(n);
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? kWouldBlock : kFailed;
}

}  // namespace

bool start(std::string& error) {
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::strerror(errno);
        return false;
    }
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
    return true;
}

Handle listenLoopback(int port, int& boundPort, std::string& error) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::strerror(errno);
        return kNoHandle;
    }
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 8) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        error = std::strerror(errno);
        close(fd);
        return kNoHandle;
    }
    boundPort = ntohs(addr.sin_port);
    setNonBlocking(fd);
    return fd;
}

Handle acceptClient(Handle listener) {
    const int client = accept4(static_cast<int>(listener), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    return client >= 0 ? client : kNoHandle;
}

bool openSerialLine(Handle& peer, Handle& farEnd, std::string& path, std::string& error) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    const char* name = nullptr;
    int slave = -1;
    termios t{};
    const bool ok = master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0 && (name = ptsname(master)) &&
                    (slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC)) >= 0 && tcgetattr(slave, &t) == 0;
    if (ok) {
        cfmakeraw(&t);
        cfsetispeed(&t, B19200);
        cfsetospeed(&t, B19200);
    }
    if (!ok || tcsetattr(slave, TCSANOW, &t) != 0) {
        error = std::strerror(errno);
        if (slave >= 0) close(slave);
        if (master >= 0) close(master);
        return false;
    }
    setNonBlocking(master);
    peer = master;
    farEnd = slave;
    path = name;
    return true;
}

long readSome(Handle handle, bool, char* data, std::size_t size) {
    return result(read(static_cast<int>(handle), data, size));
}

long writeSome(Handle handle, bool, const char* data, std::size_t size) {
    return result(write(static_cast<int>(handle), data, size));
}

void closeHandle(Handle handle, bool) {
    if (handle != kNoHandle) close(static_cast<int>(handle));
}

Wake waitFor(std::vector<Watch>& watches, int timeoutMs, std::string& error) {
    std::vector<pollfd> fds;
    fds.push_back({signalPipe[0], POLLIN, 0});
    for (const Watch& w : watches)
        fds.push_back({static_cast<int>(w.handle), static_cast<short>((w.read ? POLLIN : 0) | (w.write ? POLLOUT : 0)), 0});
    if (poll(fds.data(), fds.size(), timeoutMs) < 0) {
        if (errno == EINTR) return Wake::Ready;
        error = std::strerror(errno);
        return Wake::Failed;
    }
    if (fds[0].revents & POLLIN) return Wake::Stop;
    for (std::size_t i = 0; i < watches.size(); ++i) {
        const short got = fds[i + 1].revents;
        watches[i].readable = (got & POLLIN) != 0;
        watches[i].writable = (got & POLLOUT) != 0;
        watches[i].broken = (got & (POLLHUP | POLLERR)) != 0;
    }
    return Wake::Ready;
}

}  // namespace sim::os
