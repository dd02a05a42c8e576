// A scripted instrument for transport tests: listens on a loopback TCP port or a pseudo-terminal,
// records every byte the program sends, and answers each command that matches a rule with the
// rule's bytes. Runs on its own thread until destroyed.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class ScriptPeer {
public:
    enum class Kind { Tcp, Pty };
    explicit ScriptPeer(Kind kind);
    ~ScriptPeer();
    ScriptPeer(const ScriptPeer&) = delete;
    ScriptPeer& operator=(const ScriptPeer&) = delete;

    // When a received command (bytes up to a line feed or zero byte) equals command, send reply.
    void on(const std::string& command, const std::string& reply);
    // The k-th time command arrives, send replies[k] ("" sends nothing); after the last, nothing.
    void onEach(const std::string& command, std::vector<std::string> replies);
    // Sends bytes at once (to the connected client, or into the pty).
    void send(const std::string& bytes);

    // Stops reading for ms milliseconds, as a busy instrument would.
    void pauseFor(unsigned ms);

    int port() const { return port_; }                 // Tcp
    const std::string& device() const { return device_; }  // Pty: the path the program opens
    // Every byte received so far.
    std::string received();
    // Waits until received() holds text (or 2 s pass); true when it does.
    bool waitFor(const std::string& text);

private:
    void run();
    void handle(int fd, const char* data, int length);

    Kind kind_;
    int listenFd_ = -1, clientFd_ = -1, masterFd_ = -1, slaveKeepFd_ = -1;
    int port_ = 0;
    std::string device_;
    std::mutex mutex_;
    std::vector<std::pair<std::string, std::string>> rules_;
    struct Sequence {
        std::string command;
        std::vector<std::string> replies;
        std::size_t next = 0;
    };
    std::vector<Sequence> sequences_;
    std::string received_, pending_;
    std::atomic<bool> stop_{false};
    std::atomic<long long> resumeAtMs_{0};
    std::thread thread_;
};

}  // namespace testing_support
