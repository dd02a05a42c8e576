// A corvane process killed at any moment while it stores, imports or deletes sweeps leaves the
// database whole: every sweep with all its points, no points without their sweep, and no records an
// import brought without the sweep they came with. And a file that another process holds: a store
// waits for its lock (and gives up after a while, storing nothing), two processes storing at once
// keep both's sweeps, and a backup taken while they store is whole.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include "../db/db_fixture.h"
#include "support/lock_holder.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

using namespace testing_support;

namespace {

constexpr int kPoints = 2000;
constexpr int kKills = 40;

std::vector<std::string> inconsistencies(const std::string& db) { return storeInconsistencies(db, kPoints); }

class CrashConsistencyTest : public ::testing::Test {
protected:
    CommandResult corvane(const std::vector<std::string>& args) {
        return runCommand(CORVANE_CLI, args, work.path(), home.path());
    }

    // A points file of kPoints lines of the data type's values.
    std::string pointsFile(int dataType) {
        const int values = dataType == 0 ? 3 : dataType == 1 ? 6 : 8;
        std::string text;
        for (int i = 0; i < kPoints; ++i) {
            text += std::to_string(20 + i * 10);
            for (int v = 1; v < values; ++v) text += "," + std::to_string(-v - i % 7) + ".25";
            text += "\n";
        }
        const std::string file = work.file("points" + std::to_string(dataType) + ".csv");
        writeFile(file, text);
        return file;
    }

    void addRecords(const std::string& db, const std::string& transformer) {
        ASSERT_EQ(corvane({"db", "info", db}).exitCode, 0);
        ASSERT_EQ(corvane({"db", "add-transformer", db, "--mode", "2", "--identifier", transformer, "--manufacturer",
                           "Maker", "--serial", "S-" + transformer})
                      .exitCode,
                  0);
        ASSERT_EQ(corvane({"db", "add-setup", db, "--mode", "0", "--name", "SETUP", "--reference", "H1", "--response",
                           "H2", "--connected", "NONE", "--oltc", "0", "--length", "10", "--fluid", "yes"})
                      .exitCode,
                  0);
        ASSERT_EQ(corvane({"db", "add-equipment", db, "--mode", "0", "--manufacturer", "Veltrona Ltd", "--instrument",
                           "FRA", "--serial", "410-1"})
                      .exitCode,
                  0);
    }

    std::vector<std::string> addSweepArgs(const std::string& db, const std::string& transformer,
                                          const std::string& name, int dataType) {
        return {"db", "add-sweep", db, "--mode", "0", "--name", name, "--transformer", transformer, "--setup", "1",
                "--equipment", "1", "--date", "2024-03-01", "--time", "10:00", "--type", std::to_string(dataType),
                "--points", pointsFile(dataType)};
    }

    // Runs args once to its end to learn how long it takes, then kKills times, each killed after a
    // random part of that time; before sets the database up for each run and check looks at it after
    // each kill. Returns how many runs the kill ended in the middle of writing to database.
    int killAtRandom(const std::vector<std::string>& args, const std::string& database, const std::function<void()>& before,
                     const std::function<void(int run)>& check) {
        before();
        const auto started = std::chrono::steady_clock::now();
        const CommandResult whole = corvane(args);
        const auto duration =
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started).count();
        EXPECT_EQ(whole.exitCode, 0) << whole.err;
        check(-1);

        const unsigned seed = std::random_device{}();
        std::mt19937 random(seed);
        std::uniform_int_distribution<long> delay(0, duration);
        int killed = 0, midWrite = 0;
        for (int run = 0; run < kKills; ++run) {
            before();
            if (runAndKill(CORVANE_CLI, args, home.path(), delay(random))) ++killed;
            // A journal left behind is the mark of a kill in the middle of a write.
            if (std::filesystem::exists(database + "-journal")) ++midWrite;
            check(run);
        }
        std::printf("%d of %d runs killed, %d of them in the middle of a write; a whole run took %lld us (seed %u)\n",
                    killed, kKills, midWrite, static_cast<long long>(duration), seed);
        return midWrite;
    }

    TempDir home, work;
};

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST_F(CrashConsistencyTest, AddSweepKilledLeavesTheWholeSweepOrNothing) {
    const std::string db = work.file("site.db");
    addRecords(db, "T1");
    const int midWrite = killAtRandom(addSweepArgs(db, "T1", "Sweep", 1), db, [] {}, [&](int run) {
        EXPECT_EQ(inconsistencies(db), std::vector<std::string>{}) << "after run " << run;
    });
    EXPECT_GT(midWrite, 0);

}

TEST_F(CrashConsistencyTest, ImportKilledLeavesEachFileWholeOrNothingOfIt) {
    // Four sweep reports of 2000 points, each with a transformer, setup and equipment of its own, so
    // that every file's import adds records as well as the sweep.
    const std::string source = work.file("source.db"), out = work.file("out");
    addRecords(source, "T1");
    ASSERT_EQ(corvane(addSweepArgs(source, "T1", "Sweep", 1)).exitCode, 0);
    std::filesystem::create_directory(out);
    ASSERT_EQ(corvane({"export", "csv", "--db", source, out, "1"}).exitCode, 0);
    const std::string report = readFile(out + "/Sweep_01-03-2024.csv");
    std::vector<std::string> args{"import", "--db", work.file("site.db")};
    for (int n = 1; n <= 4; ++n) {
        std::string text = report;
        for (const char* field : {"Identifier:\tT1", "Instrument:\tFRA", "Name:\tSETUP"}) {
            const auto at = text.find(field);
            ASSERT_NE(at, std::string::npos) << field;
            text.insert(at + std::strlen(field), "-" + std::to_string(n));
        }
        args.push_back(work.file("file" + std::to_string(n) + ".csv"));
        writeFile(args.back(), text);
    }
    const std::string empty = work.file("empty.db"), db = work.file("site.db");
    ASSERT_EQ(corvane({"db", "info", empty}).exitCode, 0);

    const int midWrite = killAtRandom(
        args, db,
        [&] {
            std::filesystem::remove(db + "-journal");
            std::filesystem::copy_file(empty, db, std::filesystem::copy_options::overwrite_existing);
        },
        [&](int run) {
            std::vector<std::string> found = inconsistencies(db);
            for (const char* unused :
                 {"SELECT 'transformer ' || Transformer_Identifier FROM Transformer WHERE Transformer_Identifier "
                  "NOT IN (SELECT Transformer_Identifier FROM Sweep)",
                  "SELECT 'setup ' || Name FROM Measurement WHERE Measurement_Id NOT IN (SELECT Measurement_Id FROM Sweep)",
                  "SELECT 'equipment ' || Instrument FROM Equipment WHERE Equipment_Id NOT IN "
                  "(SELECT Equipment_Id FROM Sweep)"}) {
                const auto rows = columnOnFile(db, unused);
                found.insert(found.end(), rows.begin(), rows.end());
            }
            EXPECT_EQ(found, std::vector<std::string>{}) << "after run " << run;
        });
    EXPECT_GT(midWrite, 0);
}

TEST_F(CrashConsistencyTest, DeleteKilledLeavesAllOrNothing) {
    // Transformer T with five sweeps of 2000 points in all three point tables; U with one that stays.
    const std::string seeded = work.file("seeded.db"), db = work.file("site.db");
    addRecords(seeded, "T");
    ASSERT_EQ(corvane({"db", "add-transformer", seeded, "--mode", "2", "--identifier", "U", "--manufacturer", "Maker",
                       "--serial", "S-U"})
                  .exitCode,
              0);
    int n = 0;
    for (int dataType : {0, 1, 2, 1, 0})
        ASSERT_EQ(corvane(addSweepArgs(seeded, "T", "Sweep" + std::to_string(++n), dataType)).exitCode, 0);
    ASSERT_EQ(corvane(addSweepArgs(seeded, "U", "Sweep U", 2)).exitCode, 0);

    const int midWrite = killAtRandom(
        {"db", "delete", db, "transformer", "--where", "WHERE Transformer_Identifier='T'", "--yes"}, db,
        [&] {
            std::filesystem::remove(db + "-journal");
            std::filesystem::copy_file(seeded, db, std::filesystem::copy_options::overwrite_existing);
        },
        [&](int run) {
            EXPECT_EQ(inconsistencies(db), std::vector<std::string>{}) << "after run " << run;
            const std::string left =
                columnOnFile(db, "SELECT (SELECT count(*) FROM Transformer WHERE Transformer_Identifier='T') || '/' || "
                                 "(SELECT count(*) FROM Sweep WHERE Transformer_Identifier='T') || '/' || "
                                 "(SELECT count(*) FROM Sweep WHERE Transformer_Identifier='U')")
                    .at(0);
            EXPECT_TRUE(left == "1/5/1" || left == "0/0/1") << left << " after run " << run;
        });
    EXPECT_GT(midWrite, 0);
}

TEST_F(CrashConsistencyTest, AStoreWaitsForAnotherProgramsLockAndGivesUpOnOneHeldLong) {
    const std::string db = work.file("site.db");
    addRecords(db, "T1");
    {
        LockHolder briefly(db, 2);
        ASSERT_TRUE(briefly.held());
        const auto start = std::chrono::steady_clock::now();
        const CommandResult stored = corvane(addSweepArgs(db, "T1", "After the lock", 1));
        EXPECT_EQ(stored.exitCode, 0) << stored.err;
        EXPECT_GE(secondsSince(start), 1.5) << "it waited for the lock";
    }
    {
        LockHolder long_(db, 30);
        ASSERT_TRUE(long_.held());
        const auto start = std::chrono::steady_clock::now();
        const CommandResult refused = corvane(addSweepArgs(db, "T1", "During the lock", 1));
        const double waited = secondsSince(start);
        EXPECT_NE(refused.exitCode, 0);
        EXPECT_NE(refused.err.find("Database file is locked"), std::string::npos) << refused.err;
        EXPECT_GE(waited, 4.5);
        EXPECT_LT(waited, 20.0) << "it gave up in time";
    }
    EXPECT_EQ(columnOnFile(db, "SELECT group_concat(Name) FROM Sweep"), std::vector<std::string>{"After the lock"});
    EXPECT_EQ(inconsistencies(db), std::vector<std::string>{});
}

TEST_F(CrashConsistencyTest, TwoProgramsStoringAtOnceKeepEverySweepAndABackupMeanwhileIsWhole) {
    const std::string db = work.file("site.db"), backups = work.file("backups");
    addRecords(db, "T1");
    std::filesystem::create_directory(backups);
    // Two writers of 20 sweeps each, each sweep in a process of its own as a user's commands are (the
    // command lines made first: each writes the points file they read).
    std::vector<std::vector<std::vector<std::string>>> writerRuns(2);
    for (int w = 0; w < 2; ++w)
        for (int i = 1; i <= 20; ++i)
            writerRuns[w].push_back(addSweepArgs(db, "T1", std::string("Sweep ") + "AB"[w] + std::to_string(i), 1));
    std::vector<pid_t> writers;
    for (const auto& runs : writerRuns) {
        const pid_t pid = fork();
        if (pid == 0) {
            int failed = 0;
            for (const auto& args : runs) {
                const CommandResult r = runCommand(CORVANE_CLI, args, work.path(), home.path());
                if (r.exitCode != 0) std::fprintf(stderr, "%s failed: %s\n", args[6].c_str(), r.err.c_str());
                failed += r.exitCode != 0;
            }
            _exit(failed);
        }
        writers.push_back(pid);
    }
    // A backup in the middle of it: every sweep committed when it begins, each whole.
    while (std::stoi(columnOnFile(db, "SELECT count(*) FROM Sweep").front()) < 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const int before = std::stoi(columnOnFile(db, "SELECT count(*) FROM Sweep").front());
    const CommandResult backup = corvane({"backup", "--db", db, "--location", backups});
    EXPECT_EQ(backup.exitCode, 0) << backup.err;
    for (pid_t pid : writers) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "failed stores: " << WEXITSTATUS(status);
    }
    EXPECT_EQ(columnOnFile(db, "SELECT count(*) FROM Sweep"), std::vector<std::string>{"40"});
    EXPECT_EQ(inconsistencies(db), std::vector<std::string>{});
    std::vector<std::string> copies;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(backups))
        if (entry.path().extension() == ".db") copies.push_back(entry.path().string());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(inconsistencies(copies[0]), std::vector<std::string>{});
    EXPECT_GE(std::stoi(columnOnFile(copies[0], "SELECT count(*) FROM Sweep").front()), before);
}
