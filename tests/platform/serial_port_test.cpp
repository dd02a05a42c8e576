// Serial ports against a pseudo-terminal standing in for the instrument's end of the cable. On
// Windows (under Wine) the port is COM5, a link in the Wine prefix's device folder to a host
// pseudo-terminal whose master side socat bridges to a loopback socket that the test holds.
#include "platform/serial_port.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <windows.h>

#include "gui/support/host_process.h"
#else
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#endif

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

#include "platform/clock.h"
#include "platform/thread.h"

using namespace platform;

namespace {

#ifdef _WIN32
// The far end: the socket socat relays to and from the pseudo-terminal.
class Peer {
public:
    Peer() {
        WSADATA data;
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof a;
        const char* prefix = std::getenv("WINEPREFIX");
        if (listener == INVALID_SOCKET || !prefix || bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            listen(listener, 1) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&a), &size) != 0) {
            if (listener != INVALID_SOCKET) closesocket(listener);
            return;
        }
        // In a session of its own with the terminal as its controlling one, so that Wine's server,
        // which opens the port, never takes the terminal for its own and is never hung up on.
        const std::string link = std::string(prefix) + "/dosdevices/com5";
        gui_testing::runHostCommand("rm -f " + gui_testing::shellQuoted(link));
        socat_ = gui_testing::startHostProcess("socat PTY,link=" + gui_testing::shellQuoted(link) +
                                               ",rawer,setsid,ctty TCP:127.0.0.1:" + std::to_string(ntohs(a.sin_port)) +
                                               " >/dev/null 2>&1");
        if (readable(listener, 10000)) peer_ = accept(listener, nullptr, nullptr);
        closesocket(listener);
        if (peer_ != INVALID_SOCKET && gui_testing::runHostCommand("test -e " + gui_testing::shellQuoted(link)) == 0)
            device_ = "COM5";
    }
    ~Peer() {
        if (peer_ != INVALID_SOCKET) closesocket(peer_);  // socat ends with the connection
        gui_testing::stopHostProcess(socat_);
        if (started_) WSACleanup();
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    const std::string& device() const { return device_; }

    void send(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const int n = ::send(peer_, bytes.data() + done, static_cast<int>(bytes.size() - done), 0);
            if (n <= 0) return;
            done += static_cast<std::size_t>(n);
        }
    }

    // Whatever arrives until count bytes are in or limitMs passes without more.
    std::string receive(std::size_t count, int limitMs = 2000) {
        std::string got;
        while (got.size() < count && readable(peer_, limitMs)) {
            char buffer[512];
            const int n = recv(peer_, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

private:
    static bool readable(SOCKET s, int ms) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(s, &set);
        timeval limit{ms / 1000, (ms % 1000) * 1000};
        return select(0, &set, nullptr, nullptr, &limit) == 1;
    }

    bool started_ = false;
    SOCKET peer_ = INVALID_SOCKET;
    int socat_ = -1;
    std::string device_;
};

#else
// The far end: the pseudo-terminal's master side.
class Peer {
public:
    Peer() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        const char* name = ::ptsname(master_);
        if (name) device_ = name;
    }
    ~Peer() {
        if (master_ >= 0) ::close(master_);
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    const std::string& device() const { return device_; }

    void send(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return;
            done += static_cast<std::size_t>(n);
        }
    }

    // Whatever arrives until count bytes are in or limitMs passes without more.
    std::string receive(std::size_t count, int limitMs = 2000) {
        std::string got;
        while (got.size() < count) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, limitMs) <= 0 || !(p.revents & POLLIN)) break;
            char buffer[512];
            ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0) break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

private:
    int master_ = -1;
    std::string device_;
};

#endif



// Every byte value once, control characters included.
std::string allByteValues() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    return bytes;
}

// Reads until count bytes are in or a read times out.
std::string readUpTo(SerialPort& port, std::size_t count) {
    std::string got;
    char buffer[300];
    while (got.size() < count) {
        int n = serialRead(port, buffer, sizeof buffer);
        if (n <= 0) break;
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(peer.device().empty()) << "no pseudo-terminal";
        name = peer.device();
        ASSERT_FALSE(name.empty());
        ASSERT_TRUE(serialOpen(port, name, 19200));
    }
    void TearDown() override { serialClose(port); }
    Peer peer;
    std::string name;
    SerialPort port;
};

TEST_F(SerialPortTest, CarriesEveryByteValueUnchangedBothWays) {
    EXPECT_GE(port.handle, 0);
    EXPECT_EQ(port.readTimeoutMs, 5000u);

    const std::string command = "*IDN?\n";
    EXPECT_EQ(serialWrite(port, command.data(), static_cast<int>(command.size())), 6);
    EXPECT_EQ(peer.receive(6), command) << "a line feed must not become CR LF";

    // Raw in both directions: no line-end translation, no flow-control or signal characters.
    const std::string bytes = allByteValues();
    peer.send(bytes);
    EXPECT_EQ(readUpTo(port, bytes.size()), bytes);
    EXPECT_EQ(serialWrite(port, bytes.data(), static_cast<int>(bytes.size())), 256);
    EXPECT_EQ(peer.receive(bytes.size()), bytes);
}

TEST_F(SerialPortTest, QueuedCountsWaitingBytesAndReadTakesThemAtOnce) {
    EXPECT_EQ(serialQueued(port), 0);
    peer.send("1.0,2.0\r\n");
    for (int i = 0; i < 400 && serialQueued(port) < 9; ++i) sleepMs(5);
    EXPECT_EQ(serialQueued(port), 9);

    char buffer[4];
    const std::uint64_t start = nowMs();
    EXPECT_EQ(serialRead(port, buffer, 4), 4) << "a read stops at its length";
    EXPECT_EQ(std::string(buffer, 4), "1.0,");
    EXPECT_EQ(serialQueued(port), 5);
    char rest[64];
    EXPECT_EQ(serialRead(port, rest, sizeof rest), 5) << "a read returns what is there without waiting for more";
    EXPECT_EQ(std::string(rest, 5), "2.0\r\n");
    EXPECT_LT(nowMs() - start, 2000u);
    EXPECT_EQ(serialQueued(port), 0);
}

TEST_F(SerialPortTest, ReadWaitsUpToItsTimeoutForTheFirstByte) {
    char byte = 0;
    ASSERT_TRUE(serialSetReadTimeout(port, 300));
    EXPECT_EQ(port.readTimeoutMs, 300u);
    std::uint64_t start = nowMs();
    EXPECT_EQ(serialRead(port, &byte, 1), 0);
    EXPECT_GE(nowMs() - start, 250u) << "gave up before the timeout";

    // A byte that comes during the wait ends it.
    ASSERT_TRUE(serialSetReadTimeout(port, 5000));
    WorkerThread sender;
    ASSERT_TRUE(sender.start([&] {
        sleepMs(100);
        peer.send("Z");
    }));
    start = nowMs();
    EXPECT_EQ(serialRead(port, &byte, 1), 1);
    EXPECT_EQ(byte, 'Z');
    EXPECT_LT(nowMs() - start, 4000u) << "waited out the timeout although a byte had come";
    EXPECT_TRUE(sender.wait(5000));

    // No wait at all.
    ASSERT_TRUE(serialSetReadTimeout(port, 0));
    start = nowMs();
    EXPECT_EQ(serialRead(port, &byte, 1), 0);
    EXPECT_LT(nowMs() - start, 250u);
}

TEST_F(SerialPortTest, CloseDeliversTheLastCommandAndDropsUnreadInput) {
    peer.send("stale reply\n");
    for (int i = 0; i < 400 && serialQueued(port) < 12; ++i) sleepMs(5);
    const std::string last = "ABORT\n";
    ASSERT_EQ(serialWrite(port, last.data(), static_cast<int>(last.size())), 6);
    serialClose(port);
    EXPECT_EQ(port.handle, -1);
    EXPECT_EQ(peer.receive(6), last) << "closing the port lost the last command";

    ASSERT_TRUE(serialOpen(port, name, 19200));
    sleepMs(50);
    EXPECT_EQ(serialQueued(port), 0) << "what was left unread before closing came back";
}

TEST_F(SerialPortTest, AClosedPortDoesNothingAndReopensAfterClose) {
    serialClose(port);
    serialClose(port);  // harmless
    char byte = 'x';
    EXPECT_EQ(serialWrite(port, &byte, 1), 0);
    EXPECT_EQ(serialRead(port, &byte, 1), 0);
    EXPECT_EQ(serialQueued(port), 0);
    EXPECT_FALSE(serialSetReadTimeout(port, 100));

    ASSERT_TRUE(serialOpen(port, name, 9600));
    EXPECT_EQ(serialWrite(port, "x", 1), 1);
    EXPECT_EQ(peer.receive(1), "x");
}

TEST(SerialPort, AMissingPortFailsAndStaysClosed) {
    SerialPort port;
#ifdef _WIN32
    const std::string missing = "COM231";
#else
    const std::string missing = "/dev/no-such-serial-port";
#endif
    EXPECT_FALSE(serialOpen(port, missing, 19200));
    EXPECT_EQ(port.handle, -1);
    EXPECT_FALSE(serialOpen(port, "", 19200));
    EXPECT_EQ(port.handle, -1);
}

}  // namespace
