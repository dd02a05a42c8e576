// Serial ports against a pseudo-terminal standing in for the instrument's end of the cable. Under
// Wine the port is reached as COM5, a link in the Wine prefix's dosdevices folder to the terminal.
#include "platform/serial_port.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <poll.h>
#include <string>
#include <unistd.h>
#ifdef __WINE__
#include <csignal>
#include <sys/wait.h>
#endif

#include "platform/clock.h"
#include "platform/thread.h"

using namespace platform;

namespace {

#ifdef __WINE__
// Wine's server opens the port, and a session leader without a terminal takes the first terminal it
// opens as its own; when the terminal then hangs up, the server gets SIGHUP and writes its whole
// object table to standard error. A child in a session of its own takes the terminal first and holds
// it until the peer closes.
class SessionHolder {
public:
    explicit SessionHolder(const std::string& device) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        if (::pipe(release_) != 0) {
            ::close(ready[0]);
            ::close(ready[1]);
            return;
        }
        child_ = ::fork();
        if (child_ == 0) {
            // Only the read end of release stays open here, so the parent's close ends the wait.
            ::close(ready[0]);
            ::close(release_[1]);
            std::signal(SIGHUP, SIG_DFL);
            std::signal(SIGALRM, SIG_DFL);
            ::alarm(600);  // never outlive a stuck test by long
            ::setsid();
            const int fd = ::open(device.c_str(), O_RDWR);
            char byte = fd >= 0 ? 1 : 0;
            (void)!::write(ready[1], &byte, 1);
            (void)!::read(release_[0], &byte, 1);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release_[0]);
        char byte = 0;
        if (child_ > 0) (void)!::read(ready[0], &byte, 1);
        ::close(ready[0]);
    }
    ~SessionHolder() {
        ::close(release_[1]);
        if (child_ > 0) ::waitpid(child_, nullptr, 0);
    }
    SessionHolder(const SessionHolder&) = delete;
    SessionHolder& operator=(const SessionHolder&) = delete;

private:
    pid_t child_ = -1;
    int release_[2] = {-1, -1};
};
#endif

// The far end: the pseudo-terminal's master side.
class Peer {
public:
    Peer() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        const char* name = ::ptsname(master_);
        if (name) device_ = name;
#ifdef __WINE__
        if (!device_.empty()) holder_ = std::make_unique<SessionHolder>(device_);
#endif
    }
    ~Peer() {
        if (master_ >= 0) ::close(master_);  // hangs up the terminal; the holder's child ends with it
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
#ifdef __WINE__
    std::unique_ptr<SessionHolder> holder_;  // destroyed after the master is closed
#endif
};

// The name under which the program opens the peer's terminal.
std::string portName(const Peer& peer) {
#ifdef __WINE__
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix || peer.device().empty()) return std::string();
    const std::string link = std::string(prefix) + "/dosdevices/com5";
    ::unlink(link.c_str());
    if (::symlink(peer.device().c_str(), link.c_str()) != 0) return std::string();
    return "COM5";
#else
    return peer.device();
#endif
}

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
        name = portName(peer);
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
#ifdef __WINE__
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
