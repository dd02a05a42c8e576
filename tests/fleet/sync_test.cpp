// Push, pull and status against a real PostgreSQL server of the test's own: a round trip field for
// field, two laptops pushing the same unit at once, pushes cut short by a killed connection, a
// killed program and a server restart, conflicts in the history, and a reader that may not push.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <cmath>
#include <thread>

#include "db/fleet_identity.h"
#include "db/record_store.h"
#include "db/schema.h"
#include "fleet/postgres_cluster.h"
#include "fleet/server_schema.h"
#include "fleet/sync.h"
#include "support/fake_prompter.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

using fleet_testing::PostgresCluster;

namespace {

class FleetSync : public ::testing::Test {
protected:
    static void SetUpTestSuite() { cluster = new PostgresCluster; }
    static void TearDownTestSuite() {
        delete cluster;
        cluster = nullptr;
    }
    void SetUp() override {
        ASSERT_EQ(cluster->failure(), "");
        cluster->psql("DROP SCHEMA public CASCADE; CREATE SCHEMA public;");
        cluster->psql("DROP ROLE IF EXISTS reader; DROP ROLE IF EXISTS fleet_reader; DROP ROLE IF EXISTS fleet_writer;");
        fleet::Server admin(cluster->conninfo());
        ASSERT_TRUE(fleet::initServer(admin).ok);
    }
    void TearDown() override { db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main); }

    // Opens (making it when missing) a laptop's file on the main connection.
    void open(const std::string& name) {
        bool created = true;
        ASSERT_TRUE(db::open_database(dir.file(name), db::OpenMode::CreateIfMissing, &created, db::Connection::Main));
    }

    // A unit with one setup, one instrument and sweeps of points points each, named prefix1, ...;
    // sweep values depend on seed, so that two files measure alike only with the same seed.
    void makeUnit(const std::string& identifier, const std::string& serial, int sweeps, int points, int seed = 0,
                  const std::string& prefix = "S") {
        db::TransformerRecord t;
        t.identifier = identifier;
        t.manufacturer = "Ostrava Works";
        t.serialNumber = serial;
        ASSERT_EQ(db::store_transformer(t, db::kAddChecked), db::kStored);
        db::SetupRecord setup;
        setup.id = db::next_row_id(db::TableIndex::Measurement);
        setup.name = "HV1-HV2 open";
        setup.referenceTerminal = "H1";
        setup.responseTerminal = "H2";
        setup.connectedTerminals = "none";
        setup.unshieldedLength = 12.5f;
        setup.fluidFilled = true;
        setup.comments = "tap 9, \"as found\"";
        ASSERT_EQ(db::store_setup(setup, db::kAddChecked), db::kStored);
        db::EquipmentRecord eq;
        eq.id = db::next_row_id(db::TableIndex::Equipment);
        eq.manufacturer = "Kestrel Instruments";
        eq.instrument = "FRA-5";
        eq.serialNumber = "A1";
        eq.calibrationDueDate = "2027-01-31";
        int rc = db::store_equipment(eq, db::kAddChecked);
        if (rc == db::kAlreadyExists) eq.id = 1;
        else ASSERT_EQ(rc, db::kStored);
        addSweeps(identifier, sweeps, points, seed, prefix, setup.id, eq.id);
    }

    // Sweeps of the unit named prefix1, prefix2, ...; the second becomes its fingerprint.
    void addSweeps(const std::string& identifier, int sweeps, int points, int seed, const std::string& prefix,
                   std::int64_t setupId = 1, std::int64_t equipmentId = 1) {
        for (int i = 1; i <= sweeps; ++i) {
            db::SweepRecord s;
            s.setupId = setupId;
            s.equipmentId = equipmentId;
            s.transformerIdentifier = identifier;
            s.name = prefix + std::to_string(i) + " O'Neil";
            s.date = "2026-12-0" + std::to_string(1 + i % 9);
            s.time = "10:30";
            s.temperature = 21.5;
            s.peakVoltage = 10;
            s.comments = "line \"A\", tap 5";
            s.dataType = db::kDataBasicFra;
            for (int n = 0; n < points; ++n)
                s.basicPoints.push_back({20.0 * std::pow(1.005, n), -20.0 - std::sin(n * 0.01 + i + seed) * 30, n * 0.1});
            ASSERT_EQ(db::store_new_sweep(s, db::kAddChecked), db::kStored);
            if (i == 2) {
                std::vector<std::vector<std::string>> unit;
                ASSERT_TRUE(db::selectColumns(unit, db::TableIndex::Transformer, {0, 1, 2},
                                              "WHERE Transformer_Identifier='" + identifier + "'", false));
                db::TransformerRecord t;
                t.identifier = unit[0][0];
                t.manufacturer = unit[0][1];
                t.serialNumber = unit[0][2];
                t.fingerprintSweepId = s.id;
                ASSERT_EQ(db::store_transformer(t, db::kUpdate), db::kStored);
            }
        }
    }

    // Every row of the file's records as text, its keys replaced by what they stand for, so that two
    // files holding the same records compare equal whatever ids they gave them.
    std::string contents(const std::string& name) {
        const std::string file = dir.file(name);
        const std::string sql =
            "SELECT group_concat(x, char(10)) FROM (SELECT 'T|' || Transformer_Identifier || '|' || Manufacturer || '|' ||"
            " Serial_Number || '|' || ifnull((SELECT Name FROM Sweep WHERE SweepId = Fingerprint_Sweep_Id), '-') AS x"
            " FROM Transformer UNION ALL SELECT 'W|' || s.Name || '|' || Transformer_Identifier || '|' || m.Name || '|' ||"
            " m.Reference_Terminal || '|' || m.Response_Terminal || '|' || m.Connected_Terminals || '|' || m.OLTC || '|' ||"
            " m.Unshielded_Length || '|' || m.Fluid_Filled || '|' || m.Comments || '|' || e.Manufacturer || '|' ||"
            " e.Instrument || '|' || e.Serial_Number || '|' || e.Calibration_Due_Date || '|' || s.Temperature || '|' ||"
            " s.Peak_Voltage || '|' || s.Date || '|' || s.Time || '|' || s.Phase_Convention || '|' || s.Comments || '|' ||"
            " s.Data_Type || '|' || (SELECT count(*) || '|' || sum(Frequency) || '|' || sum(Amplitude) || '|' ||"
            " sum(Phase) FROM Data WHERE Sweep_Id = s.SweepId) FROM Sweep s JOIN Measurement m USING (Measurement_Id)"
            " JOIN Equipment e USING (Equipment_Id) ORDER BY 1)";
        return rows(file, sql);
    }

    static std::string rows(const std::string& file, const std::string& sql) {
        int status = 0;
        std::string out;
        if (FILE* p = popen(("sqlite3 '" + file + "' \"" + sql + "\"").c_str(), "r")) {
            char buffer[4096];
            std::size_t got;
            while ((got = std::fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, got);
            status = pclose(p);
        }
        EXPECT_EQ(status, 0);
        return out;
    }

    std::string server(const std::string& sql) { return cluster->psql(sql); }

    testing_support::TempDir dir;
    testing_support::FakePrompter prompter;
    static PostgresCluster* cluster;
};
PostgresCluster* FleetSync::cluster = nullptr;

}  // namespace

TEST_F(FleetSync, APushPulledIntoANewFileGivesTheSameRecordsAndAPushAgainAddsNothing) {
    open("a.db");
    makeUnit("TX-101", "S-77", 3, 400);
    fleet::Server s(cluster->conninfo());
    std::vector<int> seen;
    fleet::SyncReport pushed = fleet::push(s, db::Connection::Main, {}, [&](int done, int total, const std::string&) {
        seen.push_back(done * 100 + total);
        return true;
    });
    ASSERT_TRUE(pushed.ok) << pushed.message;
    EXPECT_EQ(pushed.transformers, 1);
    EXPECT_EQ(pushed.setups, 1);
    EXPECT_EQ(pushed.equipment, 1);
    EXPECT_EQ(pushed.sweeps, 3);
    EXPECT_EQ(seen, std::vector<int>{303});
    EXPECT_EQ(server("SELECT count(*) FROM fleet_point_basic"), "1200\n");
    // The fingerprint is the unit's second sweep, and it goes first.
    EXPECT_EQ(server("SELECT s.name FROM fleet_transformer t JOIN fleet_sweep s ON s.global_id = t.fingerprint_sweep"),
              "S2 O'Neil\n");

    fleet::SyncReport again = fleet::push(s, db::Connection::Main, {});
    ASSERT_TRUE(again.ok) << again.message;
    EXPECT_EQ(again.sweeps, 0);
    EXPECT_EQ(again.sweepsPresent, 3);
    EXPECT_EQ(again.changes, 0);
    EXPECT_TRUE(again.conflicts.empty());
    const std::string original = contents("a.db");

    open("b.db");
    fleet::SyncReport pulled = fleet::pull(s, db::Connection::Main, {"TX-101"});
    ASSERT_TRUE(pulled.ok) << pulled.message;
    EXPECT_EQ(pulled.sweeps, 3);
    EXPECT_EQ(contents("b.db"), original);
    // Bit for bit: the points' values, not only their sums.
    const std::string amplitudes = "SELECT group_concat(quote(Amplitude)) FROM (SELECT Amplitude FROM Data JOIN Sweep ON"
                                   " SweepId = Sweep_Id ORDER BY Name, Data_Id)";
    EXPECT_EQ(rows(dir.file("b.db"), amplitudes), rows(dir.file("a.db"), amplitudes));
    EXPECT_TRUE(fleet::pull(s, db::Connection::Main, {"TX-101"}).ok);
    EXPECT_EQ(contents("b.db"), original) << "a second pull brings nothing twice";

    // A file of the caller's own beside the open one: the pull fills it and leaves the open file be.
    db::Database other;
    bool created = true;
    ASSERT_TRUE(db::open_database(dir.file("c.db"), db::OpenMode::CreateIfMissing, &created, db::Connection(other)));
    fleet::SyncReport beside = fleet::pull(s, db::Connection(other), {"TX-101"});
    ASSERT_TRUE(beside.ok) << beside.message;
    EXPECT_EQ(beside.sweeps, 3);
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection(other));
    EXPECT_EQ(contents("c.db"), original);
    EXPECT_EQ(db::count_rows(db::TableIndex::Sweep), 3) << "b.db, open all along";

    fleet::SyncReport unknown = fleet::pull(s, db::Connection::Main, {"TX-999"});
    EXPECT_FALSE(unknown.ok);
    EXPECT_EQ(unknown.message, "The fleet server holds no transformer TX-999");
    EXPECT_EQ(fleet::status(s, db::Connection::Main, {}).sweepsToPull, 0);
}

TEST_F(FleetSync, TheSameSweepsFromTwoFilesAreStoredOnceAndAClashingIdentifierIsRenamed) {
    // Two laptops that imported the same measurements, and a third unit elsewhere called TX-101 too.
    open("a.db");
    makeUnit("TX-101", "S-77", 2, 100);
    open("b.db");
    makeUnit("TX-101", "S-77", 3, 100);  // the same two sweeps and one more
    fleet::Server s(cluster->conninfo());
    ASSERT_TRUE(fleet::push(s, db::Connection::Main, {}).ok);
    open("a.db");
    fleet::SyncReport second = fleet::push(s, db::Connection::Main, {});
    ASSERT_TRUE(second.ok) << second.message;
    EXPECT_EQ(second.transformers, 0);
    EXPECT_EQ(second.sweeps, 0);
    EXPECT_EQ(second.sweepsPresent, 2);
    EXPECT_EQ(server("SELECT count(*) || ' ' || count(DISTINCT content_hash) FROM fleet_sweep"), "3 3\n");
    EXPECT_EQ(server("SELECT count(*) FROM fleet_transformer"), "1\n");
    EXPECT_EQ(server("SELECT count(*) FROM fleet_setup"), "1\n");

    // a.db now gets b.db's third sweep and nothing else.
    fleet::SyncReport pulled = fleet::pull(s, db::Connection::Main, {"TX-101"});
    ASSERT_TRUE(pulled.ok) << pulled.message;
    EXPECT_EQ(pulled.sweeps, 1);
    EXPECT_EQ(pulled.sweepsPresent, 2);
    EXPECT_EQ(rows(dir.file("a.db"), "SELECT count(*) FROM Sweep"), "3\n");

    open("c.db");
    makeUnit("TX-101", "OTHER-9", 1, 10, 5);  // another unit, and a sweep named as one of the server's
    fleet::SyncReport clash = fleet::pull(s, db::Connection::Main, {"TX-101"});
    ASSERT_TRUE(clash.ok) << clash.message;
    ASSERT_EQ(clash.notes.size(), 2u);
    EXPECT_EQ(clash.notes[0],
              "Transformer TX-101 of the server is TX-101 (S-77) here: the file has another unit of that identifier");
    EXPECT_EQ(clash.notes[1], "Sweep \"S1 O'Neil\" is named \"S1 O'Neil(1)\" here: the file has a sweep of that name");
    // The file's own name for it is no change to send back.
    fleet::SyncReport back = fleet::push(s, db::Connection::Main, {"TX-101 (S-77)"});
    ASSERT_TRUE(back.ok) << back.message;
    EXPECT_EQ(back.changes, 0);
    EXPECT_TRUE(back.conflicts.empty());
    EXPECT_EQ(server("SELECT count(*) FROM fleet_sweep WHERE name LIKE '%(1)'"), "0\n");
    EXPECT_EQ(rows(dir.file("c.db"), "SELECT group_concat(Transformer_Identifier, ',') FROM (SELECT * FROM Transformer"
                                     " ORDER BY 1)"),
              "TX-101,TX-101 (S-77)\n");
}

TEST_F(FleetSync, TheLaterChangeWinsAndTheOtherIsKeptInTheHistory) {
    open("a.db");
    makeUnit("TX-101", "S-77", 1, 10);
    fleet::Server s(cluster->conninfo());
    ASSERT_TRUE(fleet::push(s, db::Connection::Main, {}).ok);
    open("b.db");
    ASSERT_TRUE(fleet::pull(s, db::Connection::Main, {"TX-101"}).ok);

    auto changeSetup = [&](const std::string& file, const std::string& comments) {
        open(file);
        db::SetupRecord r;
        std::vector<std::vector<std::string>> rows;
        ASSERT_TRUE(db::selectColumns(rows, db::TableIndex::Measurement, db::allColumns(db::TableIndex::Measurement), "",
                                      false));
        r.id = std::atoll(rows[0][0].c_str());
        r.name = rows[0][1];
        r.referenceTerminal = rows[0][2];
        r.responseTerminal = rows[0][3];
        r.connectedTerminals = rows[0][4];
        r.comments = comments;
        ASSERT_EQ(db::store_setup(r, db::kUpdate), db::kStored);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    // b changes first, a later: b's push finds the server unchanged and takes it; a's push finds
    // both changed and a's the later.
    changeSetup("b.db", "from b");
    changeSetup("a.db", "from a");
    open("b.db");
    fleet::SyncReport fromB = fleet::push(s, db::Connection::Main, {});
    ASSERT_TRUE(fromB.ok) << fromB.message;
    EXPECT_EQ(fromB.changes, 1);
    EXPECT_TRUE(fromB.conflicts.empty());
    open("a.db");
    fleet::SyncReport fromA = fleet::push(s, db::Connection::Main, {});
    ASSERT_TRUE(fromA.ok) << fromA.message;
    ASSERT_EQ(fromA.conflicts.size(), 1u);
    EXPECT_NE(fromA.conflicts[0].find("Setup \"HV1-HV2 open\": changed here at "), std::string::npos) << fromA.conflicts[0];
    EXPECT_NE(fromA.conflicts[0].find("comments \"from a\" here, \"from b\" on the server); the later, this file's, was "
                                      "kept and the other is in the server's history"),
              std::string::npos)
        << fromA.conflicts[0];
    EXPECT_EQ(server("SELECT comments FROM fleet_setup"), "from a\n");
    EXPECT_EQ(server("SELECT string_agg(row->>'comments', ',' ORDER BY replaced_at) FROM fleet_history"),
              "tap 9, \"as found\",from b\n");

    // Now a changes first and b later: a's push loses to the server's later version, which a takes.
    changeSetup("a.db", "a again");
    changeSetup("b.db", "b again");
    open("b.db");
    fleet::SyncReport bAgain = fleet::push(s, db::Connection::Main, {});
    ASSERT_TRUE(bAgain.ok) << bAgain.message;
    ASSERT_EQ(bAgain.conflicts.size(), 1u) << "b never saw a's change";
    open("a.db");
    fleet::SyncReport aAgain = fleet::push(s, db::Connection::Main, {});
    ASSERT_TRUE(aAgain.ok) << aAgain.message;
    ASSERT_EQ(aAgain.conflicts.size(), 1u);
    EXPECT_NE(aAgain.conflicts[0].find("the later, the server's, was kept"), std::string::npos) << aAgain.conflicts[0];
    EXPECT_EQ(rows(dir.file("a.db"), "SELECT Comments FROM Measurement"), "b again\n");
    EXPECT_EQ(server("SELECT row->>'comments' FROM fleet_history ORDER BY replaced_at DESC LIMIT 1"), "a again\n");
    EXPECT_TRUE(fleet::push(s, db::Connection::Main, {}).conflicts.empty()) << "in step again";

    // A pull brings a change made elsewhere when the file made none.
    changeSetup("b.db", "b third");
    open("b.db");
    ASSERT_TRUE(fleet::push(s, db::Connection::Main, {}).ok);
    open("a.db");
    fleet::SyncReport pulled = fleet::pull(s, db::Connection::Main, {"TX-101"});
    ASSERT_TRUE(pulled.ok) << pulled.message;
    EXPECT_EQ(pulled.changes, 1);
    EXPECT_TRUE(pulled.conflicts.empty());
    EXPECT_EQ(rows(dir.file("a.db"), "SELECT Comments FROM Measurement"), "b third\n");
}

TEST_F(FleetSync, AStoppedPushKeepsItsFinishedBatchesAndTheNextOneSendsTheRest) {
    open("a.db");
    makeUnit("TX-101", "S-77", 120, 20);
    fleet::Server s(cluster->conninfo());
    int told = 0;
    fleet::SyncReport stopped = fleet::push(s, db::Connection::Main, {}, [&](int, int, const std::string&) {
        return ++told < 1;  // Stop as soon as the first batch is in
    });
    EXPECT_TRUE(stopped.ok) << stopped.message;
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.sweeps, 50);
    EXPECT_NE(fleet::reportText(stopped).find("Push stopped: 50 sweeps"), std::string::npos) << fleet::reportText(stopped);
    EXPECT_EQ(server("SELECT count(*) FROM fleet_sweep"), "50\n");
    EXPECT_EQ(fleet::status(s, db::Connection::Main, {}).unsent, 70);
    fleet::SyncReport rest = fleet::push(s, db::Connection::Main, {});
    ASSERT_TRUE(rest.ok) << rest.message;
    EXPECT_EQ(rest.sweeps, 70);
    EXPECT_EQ(rest.sweepsPresent, 50);
    EXPECT_EQ(server("SELECT count(*) FROM fleet_sweep"), "120\n");
}

TEST_F(FleetSync, AReaderPullsButItsPushIsRefused) {
    open("a.db");
    makeUnit("TX-101", "S-77", 1, 10);
    fleet::Server admin(cluster->conninfo());
    ASSERT_TRUE(fleet::push(admin, db::Connection::Main, {}).ok);
    cluster->psql("CREATE ROLE reader LOGIN IN ROLE fleet_reader");
    fleet::Server reader(cluster->conninfo("reader"));
    open("b.db");
    fleet::SyncReport pulled = fleet::pull(reader, db::Connection::Main, {"TX-101"});
    ASSERT_TRUE(pulled.ok) << pulled.message;
    EXPECT_EQ(pulled.sweeps, 1);
    makeUnit("TX-202", "S-88", 1, 10, 3);
    fleet::SyncReport refused = fleet::push(reader, db::Connection::Main, {"TX-202"});
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message.rfind("The fleet server refused the change: reader may only read", 0), 0u)
        << refused.message;
    EXPECT_EQ(server("SELECT count(*) FROM fleet_transformer"), "1\n");
}

namespace {

// The command line program, started in the background with its output in log.
pid_t startCorvane(const std::vector<std::string>& args, const std::string& log) {
    const pid_t pid = fork();
    if (pid == 0) {
        FILE* out = std::fopen(log.c_str(), "w");
        if (out) {
            dup2(fileno(out), 1);
            dup2(fileno(out), 2);
        }
        std::vector<char*> argv = {const_cast<char*>(CORVANE_CLI)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(CORVANE_CLI, argv.data());
        _exit(127);
    }
    return pid;
}

std::string logOf(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "r")) {
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, got);
        std::fclose(f);
    }
    return text;
}

int waitForExit(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

TEST_F(FleetSync, TwoLaptopsPushingTheSameUnitAtOnceLeaveOneUnitAndEverySweepOnce) {
    // Both measured the unit's first 120 sweeps (one had them from the other); each has more of its own.
    for (const char* file : {"a.db", "b.db"}) {
        open(file);
        makeUnit("TX-101", "S-77", 120, 200);
        addSweeps("TX-101", 40, 200, file[0], std::string(1, file[0]));
    }
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);
    const pid_t a = startCorvane({"fleet", "push", "--db", dir.file("a.db"), "--server", cluster->conninfo()}, dir.file("a.log"));
    const pid_t b = startCorvane({"fleet", "push", "--db", dir.file("b.db"), "--server", cluster->conninfo()}, dir.file("b.log"));
    EXPECT_EQ(waitForExit(a), 0) << logOf(dir.file("a.log"));
    EXPECT_EQ(waitForExit(b), 0) << logOf(dir.file("b.log"));
    // Between them they sent every sweep once; each says what it sent and what it found there.
    const std::string said = logOf(dir.file("a.log")) + logOf(dir.file("b.log"));
    EXPECT_NE(said.find("Push complete: "), std::string::npos) << said;
    EXPECT_NE(said.find(" and 1 instrument sent, 0 changes; "), std::string::npos) << said;
    EXPECT_EQ(server("SELECT count(*) FROM fleet_transformer"), "1\n");
    EXPECT_EQ(server("SELECT count(*) FROM fleet_setup") + server("SELECT count(*) FROM fleet_equipment"), "1\n1\n");
    EXPECT_EQ(server("SELECT count(*) || ' ' || count(DISTINCT content_hash) || ' ' || count(DISTINCT name) FROM fleet_sweep"),
              "200 200 200\n");
    EXPECT_EQ(server("SELECT count(*) FROM fleet_sweep s WHERE (SELECT count(*) FROM fleet_point_basic WHERE sweep ="
                     " s.global_id) <> 200"),
              "0\n");
}

TEST_F(FleetSync, APushCutShortAndRunAgainLosesAndDuplicatesNothing) {
    open("whole.db");
    makeUnit("TX-500", "S-5", 600, 300);
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);
    const std::string whole = rows(dir.file("whole.db"), "SELECT count(*) FROM Data");

    struct Way {
        const char* name;
        std::function<void(pid_t)> cut;
    };
    const Way ways[] = {
        {"the server connection killed",
         [&](pid_t) {
             cluster->psql("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = 'fleet' AND pid <>"
                           " pg_backend_pid()");
         }},
        {"the program killed", [](pid_t pid) { kill(pid, SIGKILL); }},
        {"the server restarted", [&](pid_t) { ASSERT_TRUE(cluster->restart()) << cluster->failure(); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        cluster->psql("DROP SCHEMA public CASCADE; CREATE SCHEMA public;");
        {
            fleet::Server admin(cluster->conninfo());
            ASSERT_TRUE(fleet::initServer(admin).ok);
        }
        const std::string file = dir.file(std::string(way.name) + ".db");
        ASSERT_EQ(std::system(("cp '" + dir.file("whole.db") + "' '" + file + "'").c_str()), 0);
        const std::vector<std::string> args = {"fleet", "push", "--db", file, "--server", cluster->conninfo()};
        const pid_t pid = startCorvane(args, file + ".log");
        // Cut once the first batches are on the server, long before the last.
        for (int i = 0; i < 2000 && std::atoi(server("SELECT count(*) FROM fleet_sweep").c_str()) < 100; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        way.cut(pid);
        EXPECT_NE(waitForExit(pid), 0) << "the push ran to its end before it could be cut: " << logOf(file + ".log");
        const int kept = std::atoi(server("SELECT count(*) FROM fleet_sweep").c_str());
        EXPECT_GE(kept, 100);
        EXPECT_LT(kept, 600);
        EXPECT_EQ(kept % 50, 0) << "a batch is on the server whole or not at all";
        EXPECT_EQ(server("SELECT count(*) FROM fleet_sweep s WHERE (SELECT count(*) FROM fleet_point_basic WHERE sweep ="
                         " s.global_id) <> 300"),
                  "0\n");

        const pid_t again = startCorvane(args, file + ".again.log");
        ASSERT_EQ(waitForExit(again), 0) << logOf(file + ".again.log");
        EXPECT_EQ(server("SELECT count(*) || ' ' || count(DISTINCT content_hash) FROM fleet_sweep"), "600 600\n");
        EXPECT_EQ(server("SELECT count(*) FROM fleet_point_basic") , "180000\n");
        EXPECT_EQ(server("SELECT count(*) FROM fleet_transformer") + server("SELECT count(*) FROM fleet_setup"), "1\n1\n");
        EXPECT_EQ(rows(file, "SELECT count(*) FROM Data"), whole) << "the file lost nothing";
        EXPECT_EQ(rows(file, "SELECT count(*) FROM Fleet_Identity WHERE Table_Index = 3 AND Synced_At IS NULL"), "0\n");
    }
}
