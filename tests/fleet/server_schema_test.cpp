// The fleet server's schema on a private PostgreSQL cluster: made, found current, upgraded never
// past what the program knows, the roles that decide who may push, values bound rather than
// written into the SQL, and `corvane fleet init` with a server that answers and one that does not.
#include <gtest/gtest.h>

#include "fleet/postgres_cluster.h"
#include "fleet/server_schema.h"
#include "support/run_command.h"

using fleet_testing::PostgresCluster;

namespace {

class FleetServer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { cluster = new PostgresCluster; }
    static void TearDownTestSuite() {
        delete cluster;
        cluster = nullptr;
    }
    void SetUp() override {
        ASSERT_EQ(cluster->failure(), "");
        // Each test starts from a server without the fleet's tables or roles.
        cluster->psql("DROP SCHEMA public CASCADE; CREATE SCHEMA public;");
        cluster->psql("DROP ROLE IF EXISTS reader; DROP ROLE IF EXISTS fleet_reader; DROP ROLE IF EXISTS fleet_writer;");
    }

    static PostgresCluster* cluster;
};
PostgresCluster* FleetServer::cluster = nullptr;

}  // namespace

TEST_F(FleetServer, InitMakesTheSchemaOnceAndLeavesANewerOneAlone) {
    fleet::Server server(cluster->conninfo());
    ASSERT_TRUE(server.connected()) << server.error();
    EXPECT_EQ(fleet::serverSchemaVersion(server), 0);
    fleet::InitOutcome made = fleet::initServer(server);
    ASSERT_TRUE(made.ok) << made.message;
    EXPECT_EQ(made.message, "fleet schema: version 1 (created)");
    EXPECT_TRUE(made.rolesMade);
    EXPECT_EQ(cluster->psql("SELECT string_agg(tablename, ',' ORDER BY tablename) FROM pg_tables WHERE schemaname = 'public'"),
              "fleet_equipment,fleet_history,fleet_point_basic,fleet_point_fra,fleet_point_lcr,fleet_schema,fleet_setup,"
              "fleet_sweep,fleet_transformer\n");
    EXPECT_EQ(fleet::initServer(server).message, "fleet schema: version 1 (already current)");
    EXPECT_EQ(cluster->psql("SELECT count(*) FROM fleet_schema"), "1\n");

    cluster->psql("UPDATE fleet_schema SET version = 7");
    const fleet::InitOutcome newer = fleet::initServer(server);
    EXPECT_FALSE(newer.ok);
    EXPECT_EQ(newer.message, "The fleet server's schema is version 7, newer than this program's 1");
    EXPECT_EQ(cluster->psql("SELECT version FROM fleet_schema"), "7\n");
}

TEST_F(FleetServer, ValuesAreBoundAndAReaderMayNotWrite) {
    fleet::Server server(cluster->conninfo());
    ASSERT_TRUE(fleet::initServer(server).ok);
    const std::string hostile = "TX'); DROP TABLE fleet_sweep; --Ω";
    ASSERT_TRUE(server.exec("INSERT INTO fleet_transformer (global_id, identifier, changed_at, changed_by)"
                            " VALUES (gen_random_uuid(), $1, now(), $2)",
                            {hostile, std::nullopt}) == false)
        << "changed_by may not be NULL";
    ASSERT_TRUE(server.exec("INSERT INTO fleet_transformer (global_id, identifier, changed_at, changed_by)"
                            " VALUES (gen_random_uuid(), $1, now(), 'laptop 1')",
                            {hostile}))
        << server.error();
    std::vector<fleet::Row> rows;
    ASSERT_TRUE(server.exec("SELECT identifier, manufacturer FROM fleet_transformer", {}, &rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], std::optional<std::string>(hostile));
    EXPECT_EQ(rows[0][1], std::nullopt);
    EXPECT_EQ(cluster->psql("SELECT count(*) FROM pg_tables WHERE tablename = 'fleet_sweep'"), "1\n");

    // A role of fleet_reader pulls but cannot push, and is told so.
    cluster->psql("CREATE ROLE reader LOGIN IN ROLE fleet_reader");
    fleet::Server reader(cluster->conninfo("reader"));
    ASSERT_TRUE(reader.connected()) << reader.error();
    EXPECT_EQ(reader.role(), "reader");
    EXPECT_TRUE(reader.exec("SELECT identifier FROM fleet_transformer", {}, &rows)) << reader.error();
    EXPECT_FALSE(reader.exec("INSERT INTO fleet_transformer (global_id, identifier, changed_at, changed_by)"
                             " VALUES (gen_random_uuid(), 'T2', now(), 'x')"));
    EXPECT_EQ(reader.error().rfind("The fleet server refused the change: reader may only read", 0), 0u) << reader.error();
}

TEST_F(FleetServer, TheCommandInitialisesOrSaysWhyNot) {
    testing_support::TempDir home, work;
    using testing_support::runCommand;
    auto corvane = [&](const std::vector<std::string>& args) { return runCommand(CORVANE_CLI, args, work.path(), home.path()); };
    const auto first = corvane({"fleet", "init", "--server", cluster->conninfo()});
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, "fleet schema: version 1 (created)\n");
    EXPECT_EQ(corvane({"fleet", "init", "--server", cluster->conninfo()}).out, "fleet schema: version 1 (already current)\n");

    // No server at that socket: an answer within the connection timeout, not a hang.
    const auto none = corvane({"fleet", "init", "--server", "host=" + work.path() + " dbname=fleet user=x"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err.rfind("corvane: The fleet server cannot be reached: ", 0), 0u) << none.err;
    EXPECT_EQ(corvane({"fleet", "push"}).exitCode, 2);
}
