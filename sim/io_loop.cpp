// The simulator's serving loop: one wait over the listening socket, the connected client and the
// serial line (os_links.h). Each link has its own protocol Session on the one shared Instrument;
// replies leave when due.
#include "io_loop.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "os_links.h"

namespace sim {

namespace {

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The traffic log of --log: flushed after each write (Windows' C runtime has no line buffering), so
// that a test can read what the instrument heard while the simulator runs on.
class TrafficLog {
public:
    explicit TrafficLog(const std::string& path) : file_(path.empty() ? nullptr : std::fopen(path.c_str(), "a")) {}
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
        std::fflush(file_);
    }
    void event(const char* text) {
        if (!file_) return;
        std::fprintf(file_, "%s\n", text);
        std::fflush(file_);
    }

private:
    std::FILE* file_;
};

// One link's socket or terminal with its session and the bytes not yet written.
struct Link {
    os::Handle handle = os::kNoHandle;
    bool socket;
    Session session;
    std::string unsent;
    bool closing = false;  // TCP: close once the unsent bytes are out

    Link(Instrument& instrument, LinkKind kind) : socket(kind == LinkKind::Tcp), session(instrument, kind) {}
    bool open() const { return handle != os::kNoHandle; }

    // Writes what the system takes now; false when the peer is gone.
    bool flush() {
        while (!unsent.empty()) {
            const long n = os::writeSome(handle, socket, unsent.data(), unsent.size());
            if (n > 0) {
                unsent.erase(0, static_cast<std::size_t>(n));
                continue;
            }
            return n == os::kWouldBlock;
        }
        return true;
    }
};

}  // namespace

int runSimulator(const Options& options) {
    std::string error;
    if (!os::start(error)) {
        std::fprintf(stderr, "corvane-sim: %s\n", error.c_str());
        return 1;
    }
    int port = 0;
    const os::Handle listener = os::listenLoopback(options.port, port, error);
    if (listener == os::kNoHandle) {
        std::fprintf(stderr, "corvane-sim: cannot listen on 127.0.0.1:%d: %s\n", options.port, error.c_str());
        return 1;
    }
    TrafficLog log(options.logPath);
    if (log.failed(options.logPath)) {
        std::fprintf(stderr, "corvane-sim: cannot write %s\n", options.logPath.c_str());
        return 1;
    }
    Instrument instrument(options.setup);
    Link tcp(instrument, LinkKind::Tcp);
    Link serial(instrument, LinkKind::Serial);
    os::Handle serialFarEnd = os::kNoHandle;
    std::string serialPath;
    if (options.pty && !os::openSerialLine(serial.handle, serialFarEnd, serialPath, error)) {
        std::fprintf(stderr, "corvane-sim: cannot open a pseudo-terminal: %s\n", error.c_str());
        return 1;
    }
    std::printf("listening on 127.0.0.1:%d\n", port);
    if (options.pty) std::printf("serial on %s\n", serialPath.c_str());
    std::fflush(stdout);

    auto dropClient = [&] {
        log.event("tcp: closed");
        os::closeHandle(tcp.handle, true);
        tcp.handle = os::kNoHandle;
        tcp.unsent.clear();
        tcp.closing = false;
        tcp.session.reset();
    };

    int exitCode = 0;
    for (;;) {
        // Wake for the earliest queued reply.
        int timeout = -1;
        const std::int64_t now = nowMs();
        for (Link* link : {&tcp, &serial}) {
            if (!link->open()) continue;
            if (auto due = link->session.nextDueMs()) {
                const int wait = static_cast<int>(std::max<std::int64_t>(0, *due - now));
                timeout = timeout < 0 ? wait : std::min(timeout, wait);
            }
        }
        // The listener while no client is connected, the client, the serial line.
        std::vector<os::Watch> watches;
        if (!tcp.open()) watches.push_back({listener, true, true, false});
        const std::size_t tcpSlot = watches.size();
        if (tcp.open()) watches.push_back({tcp.handle, true, !tcp.closing, !tcp.unsent.empty()});
        const std::size_t serialSlot = watches.size();
        if (serial.open()) watches.push_back({serial.handle, false, true, !serial.unsent.empty()});

        const os::Wake wake = os::waitFor(watches, timeout, error);
        if (wake == os::Wake::Stop) break;
        if (wake == os::Wake::Failed) {
            std::fprintf(stderr, "corvane-sim: waiting for the links: %s\n", error.c_str());
            exitCode = 1;
            break;
        }

        const std::int64_t t = nowMs();
        char buffer[4096];
        if (!tcp.open() && watches[0].readable) {
            const os::Handle client = os::acceptClient(listener);
            if (client != os::kNoHandle) {
                tcp.handle = client;
                tcp.session.reset();
                log.event("tcp: open");
            }
        } else if (tcp.open() && (watches[tcpSlot].readable || watches[tcpSlot].broken) && !tcp.closing) {
            const long n = os::readSome(tcp.handle, true, buffer, sizeof buffer);
            if (n > 0) {
                tcp.session.receive(std::string_view(buffer, static_cast<std::size_t>(n)), t);
                log.heard("tcp", tcp.session.takeHeard());
            } else if (n != os::kWouldBlock) {
                dropClient();
            }
        }
        if (serial.open() && watches[serialSlot].readable) {
            const long n = os::readSome(serial.handle, false, buffer, sizeof buffer);
            if (n > 0) {
                serial.session.receive(std::string_view(buffer, static_cast<std::size_t>(n)), t);
                log.heard("pty", serial.session.takeHeard());
            }
        }

        const std::int64_t after = nowMs();
        if (tcp.open()) {
            tcp.unsent += tcp.session.takeDue(after);
            if (tcp.session.closeRequested()) tcp.closing = true;
            if (!tcp.flush() || (tcp.closing && tcp.unsent.empty())) dropClient();
        }
        if (serial.open()) {
            serial.unsent += serial.session.takeDue(after);
            serial.flush();
        }
    }

    os::closeHandle(tcp.handle, true);
    os::closeHandle(serial.handle, false);
    os::closeHandle(serialFarEnd, false);
    os::closeHandle(listener, true);
    return exitCode;
}

}  // namespace sim
