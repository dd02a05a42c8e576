#include "fleet/postgres_cluster.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace fleet_testing {
namespace {

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs a shell command line; its standard output, and its exit status in status.
std::string run(const std::string& command, int& status) {
    std::string out;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
        status = pclose(pipe);
    } else {
        status = -1;
    }
    return out;
}

// Debian keeps the server's programs out of the PATH, under its major version.
std::string serverPrograms() {
    for (const char* version : {"17", "16", "15", "14", "13"}) {
        const std::string bin = std::string("/usr/lib/postgresql/") + version + "/bin";
        if (std::filesystem::exists(bin + "/initdb")) return bin;
    }
    return std::string();
}

// A port of 127.0.0.1 nobody listens on now: the one the system hands out for port 0.
int freeLoopbackPort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (s >= 0 && bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    if (s >= 0) close(s);
    return port;
}

}  // namespace

std::string PostgresCluster::asOwner(const std::string& command) const {
    return geteuid() == 0 ? "runuser -u postgres -- sh -c " + quoted(command) : command;
}

PostgresCluster::PostgresCluster() : bin_(serverPrograms()) {
    if (bin_.empty()) {
        failure_ = "no PostgreSQL server is installed (initdb not found under /usr/lib/postgresql)";
        return;
    }
    chmod(dir_.path().c_str(), 0777);  // the postgres user writes its cluster and socket here
    const std::string data = dir_.file("data"), log = dir_.file("server.log");
    int status = 0;
    std::string out = run(asOwner(bin_ + "/initdb -D " + quoted(data) + " -U fleet_admin -A trust -E UTF8 --locale=C --no-sync"), status);
    if (status != 0) {
        failure_ = "initdb failed: " + out;
        return;
    }
    port_ = freeLoopbackPort();
    if (!start()) return;
    if (psql("CREATE DATABASE fleet", "postgres").empty() && psql("SELECT 1").empty())
        failure_ = "the database fleet could not be made";
}

bool PostgresCluster::start() {
    const std::string options = "-c listen_addresses=127.0.0.1 -c port=" + std::to_string(port_) +
                                " -c unix_socket_directories=" + dir_.path() + " -c fsync=off";
    int status = 0;
    const std::string out = run(asOwner(bin_ + "/pg_ctl -D " + quoted(dir_.file("data")) + " -l " +
                                        quoted(dir_.file("server.log")) + " -w -t 60 -o " + quoted(options) + " start"),
                                status);
    started_ = status == 0;
    if (!started_) failure_ = "pg_ctl start failed: " + out;
    return started_;
}

bool PostgresCluster::restart() {
    int status = 0;
    run(asOwner(bin_ + "/pg_ctl -D " + quoted(dir_.file("data")) + " -m immediate -w stop"), status);
    started_ = false;
    return start();
}

PostgresCluster::~PostgresCluster() {
    int status = 0;
    if (started_) run(asOwner(bin_ + "/pg_ctl -D " + quoted(dir_.file("data")) + " -m immediate -w stop"), status);
}

std::string PostgresCluster::conninfo(const std::string& role) const {
    return "host=127.0.0.1 port=" + std::to_string(port_) + " dbname=fleet user=" + role;
}

std::string PostgresCluster::psql(const std::string& sql, const std::string& database) const {
    if (!started_) return std::string();
    int status = 0;
    const std::string out = run("psql -X -q -t -A -v ON_ERROR_STOP=1 -h 127.0.0.1 -p " + std::to_string(port_) + " -U fleet_admin -d " +
                                    quoted(database) + " -c " + quoted(sql),
                                status);
    return status == 0 ? out : std::string();
}

}  // namespace fleet_testing
