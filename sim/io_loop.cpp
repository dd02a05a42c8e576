// poll() loop over the listening socket, the connected client, the pseudo-terminal and a signal pipe.
// Each link has its own protocol Session on the one shared Instrument; replies leave when due.
#include "io_loop.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace sim {

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    const ssize_t ignored = write(signalPipe[1], &byte, 1);
    (void)ignored;
}

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void setNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

int openListener(int port, int& boundPort) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 8) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        close(fd);
        return -1;
    }
    boundPort = ntohs(addr.sin_port);
    setNonBlocking(fd);
    return fd;
}

// Opens a pseudo-terminal in raw mode. The simulator keeps the slave side open itself, so that the
// master never sees a hang-up while the program closes and reopens the port between exchanges.
bool openPty(int& master, int& slave, std::string& path) {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return false;
    const char* name = ptsname(master);
    if (!name) return false;
    path = name;
    slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) return false;
    termios t{};
    if (tcgetattr(slave, &t) != 0) return false;
    cfmakeraw(&t);
    cfsetispeed(&t, B19200);
    cfsetospeed(&t, B19200);
    if (tcsetattr(slave, TCSANOW, &t) != 0) return false;
    setNonBlocking(master);
    return true;
}

// The traffic log of --log: flushed line by line, so that a test can read what the instrument heard
// while the simulator runs on.
class TrafficLog {
public:
    explicit TrafficLog(const std::string& path) : file_(path.empty() ? nullptr : std::fopen(path.c_str(), "a")) {
        if (file_) std::setvbuf(file_, nullptr, _IOLBF, 0);
    }
    ~TrafficLog() {
        if (file_) std::fclose(file_);
    }
    TrafficLog(const TrafficLog&) = delete;
    TrafficLog& operator=(const TrafficLog&) = delete;
    bool failed(const std::string& path) const { return !path.empty() && !file_; }

    // Each line of heard, behind the link's name.
    void heard(const char* link, const std::string& heard) {
        if (!file_) return;
        std::size_t start = 0;
        for (std::size_t end; (end = heard.find('\n', start)) != std::string::npos; start = end + 1)
            std::fprintf(file_, "%s> %.*s\n", link, static_cast<int>(end - start), heard.c_str() + start);
    }
    void event(const char* text) {
        if (file_) std::fprintf(file_, "%s\n", text);
    }

private:
    std::FILE* file_;
};

// One link's socket or terminal with its session and the bytes not yet written.
struct Link {
    int fd = -1;
    Session session;
    std::string unsent;
    bool closing = false;  // TCP: close once the unsent bytes are out

    Link(Instrument& instrument, LinkKind kind) : session(instrument, kind) {}

    // Writes what the kernel takes now; false when the peer is gone.
    bool flush() {
        while (!unsent.empty()) {
            const ssize_t n = write(fd, unsent.data(), unsent.size());
            if (n > 0) {
                unsent.erase(0, static_cast<std::size_t>(n));
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return true;
            return false;
        }
        return true;
    }
};

}  // namespace

int runSimulator(const Options& options) {
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return 1;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    int port = 0;
    const int listener = openListener(options.port, port);
    if (listener < 0) {
        std::fprintf(stderr, "corvane-sim: cannot listen on 127.0.0.1:%d: %s\n", options.port, std::strerror(errno));
        return 1;
    }
    TrafficLog log(options.logPath);
    if (log.failed(options.logPath)) {
        std::fprintf(stderr, "corvane-sim: cannot write %s: %s\n", options.logPath.c_str(), std::strerror(errno));
        return 1;
    }
    Instrument instrument(options.setup);
    Link tcp(instrument, LinkKind::Tcp);
    Link serial(instrument, LinkKind::Serial);
    int ptySlave = -1;
    std::string ptyPath;
    if (options.pty && !openPty(serial.fd, ptySlave, ptyPath)) {
        std::fprintf(stderr, "corvane-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    std::printf("listening on 127.0.0.1:%d\n", port);
    if (options.pty) std::printf("serial on %s\n", ptyPath.c_str());
    std::fflush(stdout);

    auto dropClient = [&] {
        log.event("tcp: closed");
        close(tcp.fd);
        tcp.fd = -1;
        tcp.unsent.clear();
        tcp.closing = false;
        tcp.session.reset();
    };

    for (;;) {
        // Wake for the earliest queued reply.
        int timeout = -1;
        const std::int64_t now = nowMs();
        for (Link* link : {&tcp, &serial}) {
            if (link->fd < 0) continue;
            if (auto due = link->session.nextDueMs()) {
                const int wait = static_cast<int>(std::max<std::int64_t>(0, *due - now));
                timeout = timeout < 0 ? wait : std::min(timeout, wait);
            }
        }
        pollfd fds[4];
        int count = 0;
        fds[count++] = {signalPipe[0], POLLIN, 0};
        const int listenSlot = tcp.fd < 0 ? count : -1;
        if (tcp.fd < 0) fds[count++] = {listener, POLLIN, 0};
        const int tcpSlot = tcp.fd >= 0 ? count : -1;
        if (tcp.fd >= 0) {
            fds[count++] = {tcp.fd, static_cast<short>((tcp.closing ? 0 : POLLIN) | (tcp.unsent.empty() ? 0 : POLLOUT)), 0};
        }
        const int serialSlot = serial.fd >= 0 ? count : -1;
        if (serial.fd >= 0) fds[count++] = {serial.fd, static_cast<short>(POLLIN | (serial.unsent.empty() ? 0 : POLLOUT)), 0};

        if (poll(fds, count, timeout) < 0 && errno != EINTR) {
            std::perror("corvane-sim: poll");
            return 1;
        }
        if (fds[0].revents & POLLIN) break;

        const std::int64_t t = nowMs();
        char buffer[4096];
        if (listenSlot >= 0 && (fds[listenSlot].revents & POLLIN)) {
            const int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (client >= 0) {
                tcp.fd = client;
                tcp.session.reset();
                log.event("tcp: open");
            }
        }
        if (tcpSlot >= 0 && (fds[tcpSlot].revents & (POLLIN | POLLHUP | POLLERR)) && !tcp.closing) {
            const ssize_t n = read(tcp.fd, buffer, sizeof buffer);
            if (n > 0) {
                tcp.session.receive(std::string_view(buffer, static_cast<std::size_t>(n)), t);
                log.heard("tcp", tcp.session.takeHeard());
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                dropClient();
            }
        }
        if (serialSlot >= 0 && (fds[serialSlot].revents & POLLIN)) {
            const ssize_t n = read(serial.fd, buffer, sizeof buffer);
            if (n > 0) {
                serial.session.receive(std::string_view(buffer, static_cast<std::size_t>(n)), t);
                log.heard("pty", serial.session.takeHeard());
            }
        }

        const std::int64_t after = nowMs();
        if (tcp.fd >= 0) {
            tcp.unsent += tcp.session.takeDue(after);
            if (tcp.session.closeRequested()) tcp.closing = true;
            if (!tcp.flush() || (tcp.closing && tcp.unsent.empty())) dropClient();
        }
        if (serial.fd >= 0) {
            serial.unsent += serial.session.takeDue(after);
            serial.flush();
        }
    }

    if (tcp.fd >= 0) close(tcp.fd);
    if (serial.fd >= 0) close(serial.fd);
    if (ptySlave >= 0) close(ptySlave);
    close(listener);
    return 0;
}

}  // namespace sim
