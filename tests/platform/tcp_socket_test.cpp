// TCP client sockets against a loopback listener standing in for the instrument's LAN interface,
// made with Winsock on Windows, whose socket functions share their names with POSIX's.
#ifdef _WIN32
#define NOMINMAX
#include <winsock2.h>
#include <windows.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include "platform/tcp_socket.h"

#include <gtest/gtest.h>
#include <string>

#include "platform/clock.h"

using namespace platform;

namespace {

#ifdef _WIN32
using Socket = SOCKET;
using AddressSize = int;
const Socket kNoSocket = INVALID_SOCKET;
constexpr int kSendFlags = 0;
void closeSocket(Socket s) { closesocket(s); }
#else
using Socket = int;
using AddressSize = socklen_t;
constexpr Socket kNoSocket = -1;
constexpr int kSendFlags = MSG_NOSIGNAL;
void closeSocket(Socket s) { ::close(s); }
#endif

// True when s becomes readable within ms.
bool readable(Socket s, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval limit{ms / 1000, (ms % 1000) * 1000};
    return ::select(static_cast<int>(s) + 1, &set, nullptr, nullptr, &limit) == 1;
}

// A listening socket on 127.0.0.1 at a port of the system's choosing, and the one accepted peer.
class Listener {
public:
    Listener() {
#ifdef _WIN32
        WSADATA data;
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
#endif
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        AddressSize size = sizeof a;
        if (listen_ == kNoSocket || ::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            ::listen(listen_, 4) != 0 || ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &size) != 0)
            return;
        port_ = ntohs(a.sin_port);
    }
    ~Listener() {
        closePeer();
        if (listen_ != kNoSocket) closeSocket(listen_);
#ifdef _WIN32
        if (started_) WSACleanup();
#endif
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    int port() const { return port_; }
    bool accept() {
        if (!readable(listen_, 5000)) return false;
        peer_ = ::accept(listen_, nullptr, nullptr);
        return peer_ != kNoSocket;
    }
    void send(const std::string& bytes) { ::send(peer_, bytes.data(), static_cast<int>(bytes.size()), kSendFlags); }
    // Up to count bytes, stopping early at end of stream or 2 s without data.
    std::string receive(std::size_t count) {
        std::string got;
        while (got.size() < count && readable(peer_, 2000)) {
            char buffer[256];
            const int n = static_cast<int>(::recv(peer_, buffer, sizeof buffer, 0));
            if (n <= 0) break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }
    // True when the client has closed its sending side.
    bool sawEndOfStream() {
        char byte;
        return readable(peer_, 2000) && ::recv(peer_, &byte, 1, 0) == 0;
    }
    void closePeer() {
        if (peer_ != kNoSocket) closeSocket(peer_);
        peer_ = kNoSocket;
    }

private:
    bool started_ = false;
    Socket listen_ = kNoSocket;
    Socket peer_ = kNoSocket;
    int port_ = 0;
};

TEST(TcpSocket, ExchangesBytesWithALoopbackPeer) {
    Listener listener;
    ASSERT_GT(listener.port(), 0);
    TcpSocket s;
    ASSERT_TRUE(tcpConnect(s, "127.0.0.1", listener.port(), 2000));
    EXPECT_GE(s.handle, 0);
    ASSERT_TRUE(listener.accept());

    // The zero byte after a command goes on the wire like any other.
    const char command[] = "*IDN?\n";
    EXPECT_EQ(tcpSend(s, command, sizeof command), 7);
    EXPECT_EQ(listener.receive(7), std::string(command, 7));

    EXPECT_EQ(tcpWaitReadable(s, 0), 0);
    const std::uint64_t start = nowMs();
    EXPECT_EQ(tcpWaitReadable(s, 100), 0);
    EXPECT_GE(nowMs() - start, 90u) << "the wait ended before its time without data";

    listener.send("VELTRONA,1,2\n");
    ASSERT_EQ(tcpWaitReadable(s, 2000), 1);
    char buffer[64];
    std::string got;
    while (got.size() < 13 && tcpWaitReadable(s, 2000) == 1) {
        int n = tcpReceive(s, buffer, sizeof buffer);
        ASSERT_GT(n, 0);
        got.append(buffer, static_cast<std::size_t>(n));
    }
    EXPECT_EQ(got, "VELTRONA,1,2\n");

    // The peer's close is readable and reads as 0.
    listener.closePeer();
    ASSERT_EQ(tcpWaitReadable(s, 2000), 1);
    EXPECT_EQ(tcpReceive(s, buffer, sizeof buffer), 0);
    tcpClose(s);
    EXPECT_EQ(s.handle, -1);
}

TEST(TcpSocket, CloseEndsTheStreamAndReconnectingWorks) {
    Listener listener;
    TcpSocket s;
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(tcpConnect(s, "127.0.0.1", listener.port(), 2000)) << "round " << round;
        ASSERT_TRUE(listener.accept());
        EXPECT_EQ(tcpSend(s, "x", 1), 1);
        tcpClose(s);
        EXPECT_EQ(listener.receive(1), "x");
        EXPECT_TRUE(listener.sawEndOfStream());
        listener.closePeer();
    }
    tcpClose(s);  // harmless on a closed socket
    char byte;
    EXPECT_EQ(tcpSend(s, "x", 1), -1);
    EXPECT_EQ(tcpWaitReadable(s, 0), -1);
    EXPECT_EQ(tcpReceive(s, &byte, 1), -1);
}

TEST(TcpSocket, RefusedAndMalformedAddressesFail) {
    int freePort;
    {
        Listener gone;
        freePort = gone.port();
    }  // nothing listens there any more
    TcpSocket s;
    EXPECT_FALSE(tcpConnect(s, "127.0.0.1", freePort, 2000));
    EXPECT_EQ(s.handle, -1);

    Listener listener;
    for (const char* address : {"", "127.0.0", "127.0.0.1.5", "256.0.0.1", "127.0.0.01", "localhost", " 127.0.0.1",
                                "127.0.0.1 ", "0x7f.0.0.1", "127.0..1"}) {
        EXPECT_FALSE(tcpConnect(s, address, listener.port(), 500)) << "'" << address << "'";
        EXPECT_EQ(s.handle, -1);
    }
    EXPECT_FALSE(tcpConnect(s, "127.0.0.1", 0, 500));
    EXPECT_FALSE(tcpConnect(s, "127.0.0.1", 65536, 500));
}

}  // namespace
