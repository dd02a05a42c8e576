#include "fleet/postgres_cluster.h"

#include <sys/stat.h>

#include <cstdio>

namespace fleet_testing {
namespace {

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs a shell command line; its standard output (and error), and its exit status in status.
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

std::string server(const std::string& verb, const std::string& dir, int& status) {
    return run(std::string(CORVANE_FLEET_SERVER) + " " + verb + " " + quoted(dir), status);
}

}  // namespace

PostgresCluster::PostgresCluster() {
    chmod(dir_.path().c_str(), 0755);  // the postgres user reaches its folder through this one
    int status = 0;
    std::string out = server("start", dir_.file("server"), status);
    if (status != 0) {
        failure_ = "the server did not start: " + out;
        return;
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();
    base_ = out.substr(0, out.rfind(" user="));
    started_ = true;
}

PostgresCluster::~PostgresCluster() {
    int status = 0;
    if (started_) server("stop", dir_.file("server"), status);
}

bool PostgresCluster::restart() {
    int status = 0;
    const std::string out = server("restart", dir_.file("server"), status);
    if (status != 0) failure_ = "the server did not come back: " + out;
    return status == 0;
}

std::string PostgresCluster::conninfo(const std::string& role) const { return base_ + " user=" + role; }

std::string PostgresCluster::psql(const std::string& sql, const std::string& database) const {
    if (!started_) return std::string();
    int status = 0;
    const std::string out =
        run("psql -X -q -t -A -v ON_ERROR_STOP=1 \"" + conninfo() + " dbname=" + database + "\" -c " + quoted(sql), status);
    return status == 0 ? out : std::string();
}

}  // namespace fleet_testing
