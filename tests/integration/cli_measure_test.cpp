// corvane sweep, realtime, crossings and diagnose against the simulator.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>

#include "sim_process.h"
#include "support/lock_holder.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

using namespace testing_support;

namespace {

int lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

class CliMeasureTest : public ::testing::Test {
protected:
    CommandResult corvane(const std::vector<std::string>& args, Interruption interruption = {}) {
        return runCommand(CORVANE_CLI, args, work.path(), home.path(), interruption);
    }
    std::string lan(const SimProcess& sim) const { return "127.0.0.1:" + std::to_string(sim.port()); }
    std::string db() const { return work.file("site.db"); }
    // A database with transformer TX-1, setup 1 and equipment 1.
    void prepareDatabase() {
        ASSERT_EQ(corvane({"db", "info", db()}).exitCode, 0);
        ASSERT_EQ(corvane({"db", "add-transformer", db(), "--mode", "0", "--identifier", "TX-1", "--manufacturer",
                           "Maker", "--serial", "77"})
                      .exitCode,
                  0);
        ASSERT_EQ(corvane({"db", "add-setup", db(), "--mode", "0", "--name", "OPEN1", "--reference", "H1", "--response",
                           "H0", "--connected", "NONE", "--oltc", "3", "--length", "30", "--fluid", "no"})
                      .exitCode,
                  0);
        ASSERT_EQ(corvane({"db", "add-equipment", db(), "--mode", "0", "--manufacturer", "Veltrona Ltd",
                           "--instrument", "QMX74", "--serial", "410-2718"})
                      .exitCode,
                  0);
    }
    CommandResult sweepAndSave(const SimProcess& sim, const std::string& name, const std::string& steps = "400",
                               std::vector<std::string> more = {}, Interruption interruption = {}) {
        std::vector<std::string> args = {"sweep", "fra", "--lan", lan(sim), "--steps", steps, "--start", "20",
                                         "--end", "2M", "--save", "--db", db(), "--name", name, "--transformer", "TX-1",
                                         "--setup", "1", "--equipment", "1", "--peak", "10", "--temp", "20"};
        args.insert(args.end(), more.begin(), more.end());
        return corvane(args, interruption);
    }

    TempDir home, work;
};

}  // namespace

TEST_F(CliMeasureTest, ASavedSweepPrintsItsRowsAndItsId) {
    prepareDatabase();
    SimProcess sim({"--fast"});
    CommandResult r = sweepAndSave(sim, "Fingerprint");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(lines(r.out), 401);
    EXPECT_EQ(r.out.substr(0, 10), "1\t20.0000\t");
    EXPECT_TRUE(r.out.ends_with("\nstored: 1\n"));
    EXPECT_NE(r.err.find("Sweep Finished\n"), std::string::npos);
    EXPECT_NE(r.err.find("Sweep Added to Database Successfully\n"), std::string::npos);
    EXPECT_NE(corvane({"db", "info", db()}).out.find("Sweep: 1\nData: 0\nData_FRA: 400\n"), std::string::npos);
    EXPECT_EQ(corvane({"db", "rows", db(), "Sweep", "--columns", "4,3,6,5,11"}).out, "Fingerprint\tTX-1\t10.0\t20.0\t1\n");

    // The same name again is refused before anything is measured.
    CommandResult again = sweepAndSave(sim, "FINGERPRINT");
    EXPECT_EQ(again.exitCode, 2);
    EXPECT_EQ(again.err, "Invalid: Sweep Name is already taken\n");
}

TEST_F(CliMeasureTest, RefusedSettingsAndMissingDetails) {
    SimProcess sim({"--fast"});
    CommandResult steps = corvane({"sweep", "fra", "--lan", lan(sim), "--steps", "1"});
    EXPECT_EQ(steps.exitCode, 2);
    EXPECT_EQ(steps.err, "Invalid: The sweep must be between 2 and 2000 steps\n");
    prepareDatabase();
    CommandResult details = corvane({"sweep", "fra", "--lan", lan(sim), "--save", "--db", db()});
    EXPECT_EQ(details.exitCode, 2);
    EXPECT_EQ(details.err, "Invalid: Sweep Name is a required field\n");
    EXPECT_EQ(corvane({"sweep", "fra", "--lan", lan(sim), "--save"}).exitCode, 2);  // saving needs a database
    EXPECT_EQ(corvane({"sweep", "sideways", "--lan", lan(sim)}).exitCode, 2);
    CommandResult dead = corvane({"sweep", "fra", "--lan", "127.0.0.1:1"});
    EXPECT_EQ(dead.exitCode, 1);
    EXPECT_NE(dead.err.find("Corvane: No connection was made"), std::string::npos);
}

TEST_F(CliMeasureTest, ABrokenSweepPrintsWhatArrivedAndFails) {
    SimProcess sim({"--fast", "--fault", "nodot:fra?sweep:4"});
    CommandResult r = corvane({"sweep", "fra", "--lan", lan(sim), "--steps", "20"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(lines(r.out), 3);
    EXPECT_NE(r.err.find("Sweep Failed\n"), std::string::npos);
}

// A sweep cut short by the instrument shows what came but is not stored as if it were whole.
TEST_F(CliMeasureTest, ABrokenSweepThatWasToBeSavedIsNotStored) {
    prepareDatabase();
    SimProcess sim({"--fast", "--fault", "nodot:fra?sweep:6"});
    CommandResult r = sweepAndSave(sim, "Broken", "30");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(lines(r.out), 5);
    EXPECT_NE(r.err.find("Sweep Failed: not every point arrived, so the sweep was not saved to the database\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("Saving to Database"), std::string::npos);
    EXPECT_NE(corvane({"db", "info", db()}).out.find("Sweep: 0\nData: 0\nData_FRA: 0\n"), std::string::npos);
}

// An instrument that never ends its sweep, or answers the read-out with garbage, keeps the sweep
// waiting; --timeout or a signal ends it as Cancel does: the instrument interrupted and let go,
// nothing stored, a line saying why, exit 1.
TEST_F(CliMeasureTest, AWaitingSweepEndsOnItsTimeoutOrASignal) {
    struct Case {
        const char* fault;
        std::vector<std::string> more;
        Interruption interruption;
        const char* said;
    };
    const Case cases[] = {
        {"silent:*opc?", {"--timeout", "5"}, {}, "Sweep cancelled: no result within 5 s (--timeout)\n"},
        {"garbage:fra?sweep", {"--timeout", "5"}, {}, "Sweep cancelled: no result within 5 s (--timeout)\n"},
        {"silent:*opc?", {}, {SIGTERM, 3000}, "Sweep cancelled: interrupted\n"},
        {"garbage:fra?sweep", {}, {SIGINT, 3000}, "Sweep cancelled: interrupted\n"},
    };
    prepareDatabase();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault + std::string(" ") + c.said);
        SimProcess sim({"--fast", "--fault", c.fault});
        const auto start = std::chrono::steady_clock::now();
        CommandResult r = sweepAndSave(sim, "Waiting", "20", c.more, c.interruption);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.ends_with(c.said)) << r.err;
        EXPECT_EQ(r.out, "");
        const std::string heard = sim.heard();
        const std::size_t readout = heard.rfind("tcp> fra?sweep\n");
        ASSERT_NE(readout, std::string::npos) << heard;
        EXPECT_TRUE(heard.substr(readout).ends_with("tcp> \\024\ntcp> abort\ntcp> *trg\ntcp: closed\n")) << heard;
        EXPECT_NE(corvane({"db", "info", db()}).out.find("Sweep: 0\n"), std::string::npos);
    }
}

TEST_F(CliMeasureTest, RealtimeReadingsEndOnASignalOrTheTimeout) {
    SimProcess sim({"--fast", "--fault", "garbage:fra?"});
    CommandResult term = corvane({"realtime", "fra", "--lan", lan(sim), "--count", "5"}, {SIGTERM, 2500});
    EXPECT_EQ(term.exitCode, 1);
    EXPECT_TRUE(term.err.ends_with("Realtime cancelled: interrupted\n")) << term.err;
    CommandResult late = corvane({"realtime", "fra", "--lan", lan(sim), "--count", "5", "--timeout", "2.5"});
    EXPECT_EQ(late.exitCode, 1);
    EXPECT_TRUE(late.err.ends_with("Realtime cancelled: no result within 2.5 s (--timeout)\n")) << late.err;
    EXPECT_EQ(late.out, "");
    EXPECT_TRUE(sim.heard().ends_with("tcp: closed\n")) << sim.heard();
    EXPECT_EQ(corvane({"realtime", "fra", "--lan", lan(sim), "--timeout", "0"}).exitCode, 2);
}

TEST_F(CliMeasureTest, ImpedanceSweepAndRealtimeReadings) {
    SimProcess sim({"--fast"});
    CommandResult sweep = corvane({"sweep", "lcr", "--lan", lan(sim), "--steps", "30"});
    ASSERT_EQ(sweep.exitCode, 0) << sweep.err;
    EXPECT_EQ(lines(sweep.out), 30);
    const std::string first = sweep.out.substr(0, sweep.out.find('\n'));
    EXPECT_EQ(std::count(first.begin(), first.end(), '\t'), 8);

    CommandResult fra = corvane({"realtime", "fra", "--lan", lan(sim), "--count", "3"});
    ASSERT_EQ(fra.exitCode, 0) << fra.err;
    EXPECT_EQ(lines(fra.out), 3);
    EXPECT_EQ(std::count(fra.out.begin(), fra.out.end(), ','), 15);
    CommandResult lcr = corvane({"realtime", "lcr", "--lan", lan(sim), "--count", "2"});
    ASSERT_EQ(lcr.exitCode, 0) << lcr.err;
    EXPECT_EQ(lines(lcr.out), 2);
}

TEST_F(CliMeasureTest, ReplayingAFile) {
    SimProcess sim({"--fast"});
    writeFile(work.file("old.txt"), ",steps,3\nFrequency (Hz),Magnitude 1 (V),Magnitude 2 (V),Gain (dB),Phase (deg)\n"
                                    "100,1,0.5,-6.02,-10\n1000,1,0.1,-20,-45\n10000,1,0.01,-40,-80\n");
    CommandResult r = corvane({"sweep", "fra", "--lan", lan(sim), "--fakesfra", work.file("old.txt")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "1\t100.0000\t1.00000E+00\t5.00000E-01\t-6.02000E+00\t-1.00000E+01\n"
                     "2\t1000.0000\t1.00000E+00\t1.00000E-01\t-2.00000E+01\t-4.50000E+01\n"
                     "3\t10000.0000\t1.00000E+00\t1.00000E-02\t-4.00000E+01\t-8.00000E+01\n");
}

TEST_F(CliMeasureTest, DiagnosisOfEachWindingAgainstItsFingerprint) {
    prepareDatabase();
    const std::pair<const char*, const char*> profiles[] = {
        {"healthy", "Fingerprint"}, {"repeat", "Repeat"}, {"gentle", "Gentle"}, {"obvious", "Obvious"}, {"severe", "Severe"}};
    for (const auto& [profile, name] : profiles) {
        SimProcess sim({"--fast", "--profile", profile});
        ASSERT_EQ(sweepAndSave(sim, name).exitCode, 0) << profile;
    }
    const char* const expected[] = {"class: 1\nverdict: PASS\n", "class: 2\nverdict: WARNING\n",
                                    "class: 3\nverdict: FAIL\n", "class: 4\nverdict: FAIL\n"};
    for (int id = 2; id <= 5; ++id) {
        CommandResult d = corvane({"diagnose", "--db", db(), "1", std::to_string(id)});
        ASSERT_EQ(d.exitCode, 0) << d.err;
        EXPECT_TRUE(d.out.starts_with(expected[id - 2])) << d.out;
        EXPECT_NE(d.out.find("\nRLF count="), std::string::npos);
        EXPECT_EQ(lines(d.out), 5);
    }
    CommandResult c = corvane({"crossings", "--db", db(), "1"});
    ASSERT_EQ(c.exitCode, 0);
    EXPECT_TRUE(c.out.starts_with("No gain 0dB point found\nThere were ")) << c.out;
    EXPECT_EQ(corvane({"crossings", "--db", db(), "99"}).exitCode, 1);
    EXPECT_EQ(corvane({"diagnose", "--db", db(), "1"}).exitCode, 2);
}

TEST_F(CliMeasureTest, ASweepTheDatabaseWillNotTakeIsKeptInAFileBesideIt) {
    prepareDatabase();
    SimProcess sim({"--fast"});
    // Another program writing the file all along: the sweep is measured, its store waits and gives up.
    CommandResult r;
    {
        LockHolder writer(db(), 60, LockHolder::Lock::Write);
        ASSERT_TRUE(writer.held());
        r = sweepAndSave(sim, "Kept apart");
    }
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Database Error: database is locked\n"), std::string::npos) << r.err;
    const std::string said = "The sweep could not be saved to the database; it is kept in ";
    const std::size_t at = r.err.find(said);
    ASSERT_NE(at, std::string::npos) << r.err;
    const std::string path = r.err.substr(at + said.size(), r.err.find('\n', at) - at - said.size());
    EXPECT_EQ(path.rfind(work.file("Kept apart_"), 0), 0u) << path;
    EXPECT_NE(corvane({"db", "info", db()}).out.find("Sweep: 0\n"), std::string::npos) << "nothing half-stored";

    // The kept file imports as the sweep, all 400 points of it.
    CommandResult imported = corvane({"import", "--db", db(), path});
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    // IEC 60076-18 keeps the response (frequency, gain, phase): what comes back is that of every point.
    EXPECT_NE(corvane({"db", "info", db()}).out.find("Sweep: 1\nData: 400\n"), std::string::npos)
        << corvane({"db", "info", db()}).out;
    // The import names it after the file, as it names every file it reads.
    const std::string stem = path.substr(path.rfind('/') + 1, path.size() - path.rfind('/') - 5);
    EXPECT_EQ(corvane({"db", "rows", db(), "Sweep", "--columns", "4,3"}).out, stem + "\tTX-1\n");
}
