// A PostgreSQL server of a test's own (tools/fleet_test_server.sh): its cluster in a temporary folder,
// listening on a free port of 127.0.0.1 only, trust authentication for its roles; stopped and removed
// afterwards.
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

    // Runs SQL as the superuser with psql in database; its standard output, or "" on failure.
    std::string psql(const std::string& sql, const std::string& database = "fleet") const;

private:
    testing_support::TempDir dir_;
    std::string base_;  // the connection string without its role
    std::string failure_;
    bool started_ = false;
};

}  // namespace fleet_testing
