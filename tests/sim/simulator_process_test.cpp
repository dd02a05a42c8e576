// corvane-sim as a process on loopback and a pseudo-terminal: its start-up lines, one TCP client at a
// time, state kept across connections and links, a dropped connection, and a clean stop on SIGTERM.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <string>
#include <vector>

namespace {

// Reads from fd until `until` returns true for the collected text or timeoutMs passes.
template <typename Until>
std::string readUntil(int fd, int timeoutMs, Until until) {
    std::string text;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!until(text)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        if (left <= 0) break;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) break;
        char buffer[4096];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

std::size_t lineCount(const std::string& s) { return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\n')); }

class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> args) {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            std::vector<char*> argv;
            std::string program = CORVANE_SIM;
            argv.push_back(program.data());
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(out[1]);
        stdout_ = out[0];
        banner = readUntil(stdout_, 10000, [&](const std::string& t) {
            return t.find("listening on") != std::string::npos &&
                   (!wantsPty(args) || t.find("serial on") != std::string::npos) && t.back() == '\n';
        });
        std::smatch m;
        if (std::regex_search(banner, m, std::regex("listening on 127\\.0\\.0\\.1:(\\d+)\n"))) port = std::stoi(m[1]);
        if (std::regex_search(banner, m, std::regex("serial on (/dev/\\S+)\n"))) ptyPath = m[1];
    }
    ~SimProcess() {
        if (pid_ > 0 && !stopped_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (stdout_ >= 0) close(stdout_);
    }
    // SIGTERM, then the exit status (or -1 when it did not exit within 5 s).
    int stop() {
        kill(pid_, SIGTERM);
        for (int i = 0; i < 500; ++i) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                stopped_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(10000);
        }
        return -1;
    }
    int connect() const {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<std::uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            close(fd);
            return -1;
        }
        return fd;
    }

    std::string banner, ptyPath;
    int port = 0;

private:
    static bool wantsPty(const std::vector<std::string>& args) { return std::find(args.begin(), args.end(), "--pty") != args.end(); }
    pid_t pid_ = -1;
    int stdout_ = -1;
    bool stopped_ = false;
};

void sendTcp(int fd, const std::string& command) {
    const std::string bytes = command + std::string(1, '\0');
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

std::string readLines(int fd, std::size_t lines, int timeoutMs = 3000) {
    return readUntil(fd, timeoutMs, [&](const std::string& t) { return lineCount(t) >= lines; });
}

}  // namespace

TEST(SimProcess, ServesTcpAndSerialWithSharedStateAndStopsOnSigterm) {
    SimProcess sim({"--port", "0", "--fast", "--pty"});
    ASSERT_GT(sim.port, 0) << sim.banner;
    ASSERT_FALSE(sim.ptyPath.empty()) << sim.banner;

    const int first = sim.connect();
    ASSERT_GE(first, 0);
    sendTcp(first, "\x14");
    sendTcp(first, "^[");
    sendTcp(first, "*IDN?\n");
    EXPECT_EQ(readLines(first, 1), "VELTRONA,QMX74,410-2718,2.07\r\n");
    sendTcp(first, "config,18,7\n");

    // A second client waits until the first one leaves.
    const int second = sim.connect();
    ASSERT_GE(second, 0);
    sendTcp(second, "config,18?\n");
    EXPECT_EQ(readLines(second, 1, 300), "");
    close(first);
    EXPECT_EQ(readLines(second, 1), "7\r\n") << "settings persist across connections";
    sendTcp(second, "fra,start\n");
    sendTcp(second, "fra?sweep\n");
    EXPECT_EQ(lineCount(readLines(second, 7)), 7u);
    close(second);

    // The serial line: raw (no echo), realtime tokens without line feeds, the same instrument.
    const int serial = open(sim.ptyPath.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(serial, 0);
    const std::string query = "\x14^[config,18?\nCONFIG, 7, 1STARTfra?\n";
    ASSERT_EQ(write(serial, query.data(), query.size()), static_cast<ssize_t>(query.size()));
    const std::string reply = readLines(serial, 2);
    EXPECT_EQ(reply.substr(0, 3), "7\r\n");
    EXPECT_EQ(lineCount(reply), 2u) << reply;
    EXPECT_EQ(std::count(reply.begin(), reply.end(), ','), 5) << reply;
    close(serial);

    EXPECT_EQ(sim.stop(), 0);
}

TEST(SimProcess, DropAtPointClosesTheConnectionAfterThatManyPoints) {
    SimProcess sim({"--port", "0", "--fast", "--fault", "drop-at-point:3"});
    ASSERT_GT(sim.port, 0) << sim.banner;
    const int fd = sim.connect();
    ASSERT_GE(fd, 0);
    sendTcp(fd, "config,18,20\n");
    sendTcp(fd, "fra,start\n");
    sendTcp(fd, "fra?sweep\n");
    // Everything until the connection closes: exactly three points.
    const std::string all = readUntil(fd, 3000, [](const std::string&) { return false; });
    EXPECT_EQ(lineCount(all), 3u) << all;
    close(fd);
    // The next connection is served normally.
    const int again = sim.connect();
    ASSERT_GE(again, 0);
    sendTcp(again, "config,18?\n");
    EXPECT_EQ(readLines(again, 1), "20\r\n");
    close(again);
    EXPECT_EQ(sim.stop(), 0);
}
