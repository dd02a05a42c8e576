#include "support/script_peer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace testing_support {

ScriptPeer::ScriptPeer(Kind kind) : kind_(kind) {
    if (kind == Kind::Tcp) {
        listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(listenFd_, 4) != 0 ||
            ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &size) != 0)
            throw std::runtime_error("cannot listen on loopback");
        port_ = ntohs(a.sin_port);
    } else {
        masterFd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (masterFd_ < 0 || ::grantpt(masterFd_) != 0 || ::unlockpt(masterFd_) != 0)
            throw std::runtime_error("no pseudo-terminal");
        device_ = ::ptsname(masterFd_);
        // Holding the slave open keeps the master readable between the program's opens and closes.
        slaveKeepFd_ = ::open(device_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t{};
        ::tcgetattr(slaveKeepFd_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slaveKeepFd_, TCSANOW, &t);
    }
    thread_ = std::thread([this] { run(); });
}

ScriptPeer::~ScriptPeer() {
    stop_ = true;
    thread_.join();
    for (int fd : {listenFd_, clientFd_, masterFd_, slaveKeepFd_})
        if (fd >= 0) ::close(fd);
}

void ScriptPeer::on(const std::string& command, const std::string& reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    rules_.emplace_back(command, reply);
}

void ScriptPeer::onEach(const std::string& command, std::vector<std::string> replies) {
    std::lock_guard<std::mutex> lock(mutex_);
    sequences_.push_back({command, std::move(replies)});
}

namespace {

long long steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

void ScriptPeer::pauseFor(unsigned ms) { resumeAtMs_ = steadyMs() + ms; }

void ScriptPeer::send(const std::string& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    int fd = kind_ == Kind::Tcp ? clientFd_ : masterFd_;
    if (fd >= 0) (void)!::write(fd, bytes.data(), bytes.size());
}

std::string ScriptPeer::received() {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

bool ScriptPeer::waitFor(const std::string& text) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < until) {
        if (received().find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

void ScriptPeer::handle(int fd, const char* data, int length) {
    std::lock_guard<std::mutex> lock(mutex_);
    received_.append(data, static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) {
        char c = data[i];
        if (c == '\x14') continue;  // the interrupt byte stands alone, as for the instrument
        if (c != '\n' && c != '\0') {
            pending_ += c;
            continue;
        }
        for (const auto& [command, reply] : rules_)
            if (pending_ == command) (void)!::write(fd, reply.data(), reply.size());
        for (auto& seq : sequences_) {
            if (pending_ != seq.command || seq.next >= seq.replies.size()) continue;
            const std::string& reply = seq.replies[seq.next++];
            (void)!::write(fd, reply.data(), reply.size());
        }
        pending_.clear();
    }
}

void ScriptPeer::run() {
    char buffer[4096];
    while (!stop_) {
        if (steadyMs() < resumeAtMs_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        pollfd p{};
        if (kind_ == Kind::Tcp) p = {clientFd_ >= 0 ? clientFd_ : listenFd_, POLLIN, 0};
        else p = {masterFd_, POLLIN, 0};
        if (::poll(&p, 1, 10) <= 0) continue;
        if (kind_ == Kind::Tcp && clientFd_ < 0) {
            int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            std::lock_guard<std::mutex> lock(mutex_);
            clientFd_ = fd;
            continue;
        }
        ssize_t n = ::read(p.fd, buffer, sizeof buffer);
        if (n > 0) {
            handle(p.fd, buffer, static_cast<int>(n));
        } else if (kind_ == Kind::Tcp) {
            // The program closed the link; wait for its next connection.
            std::lock_guard<std::mutex> lock(mutex_);
            ::close(clientFd_);
            clientFd_ = -1;
            pending_.clear();
        }
    }
}

}  // namespace testing_support
