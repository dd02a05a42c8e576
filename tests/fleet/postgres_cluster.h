// A PostgreSQL cluster of a test's own: made with initdb in a temporary folder and started with
// pg_ctl, listening on a free port of 127.0.0.1 only (and a Unix socket in that folder), trust
// authentication for its roles; stopped and removed afterwards. Run as root, the server runs as the
// postgres user, since PostgreSQL refuses to run as root.
#pragma once

#include <string>

#include "support/temp_dir.h"

namespace fleet_testing {

class PostgresCluster {
public:
    PostgresCluster();
    ~PostgresCluster();
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    // Empty when the cluster runs; otherwise what failed, with its log.
    const std::string& failure() const { return failure_; }

    // A libpq connection string to database "fleet" as role (the cluster's superuser by default).
    std::string conninfo(const std::string& role = "fleet_admin") const;

    // Stops the server at once, as a crash or a pulled plug would, and starts it again. False when it
    // did not come back.
    bool restart();

    int port() const { return port_; }

    // Runs SQL as the superuser with psql in database; its standard output, or "" on failure.
    std::string psql(const std::string& sql, const std::string& database = "fleet") const;

private:
    // A shell command line for the cluster's tools, as the postgres user when run as root.
    std::string asOwner(const std::string& command) const;
    bool start();

    testing_support::TempDir dir_;
    std::string bin_;
    std::string failure_;
    bool started_ = false;
    int port_ = 0;
};

}  // namespace fleet_testing
