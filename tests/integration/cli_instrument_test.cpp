// The instrument commands of corvane against the simulator: identification, registering the
// instrument as equipment with its calibration due date, and its settings.
#include <gtest/gtest.h>

#include <ctime>

#include "sim_process.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

using namespace testing_support;

namespace {

// A calibration text for the given day a year ago, so that the due date is that day this year.
std::string calibratedAYearBefore(int daysAgo) {
    std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    t.tm_mday -= daysAgo;
    t.tm_hour = 12;
    std::mktime(&t);
    static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    char text[32];
    std::snprintf(text, sizeof text, "%02d_%s_%04d", t.tm_mday, kMonths[t.tm_mon], t.tm_year + 1900 - 1);
    return text;
}

class CliInstrumentTest : public ::testing::Test {
protected:
    CommandResult corvane(std::vector<std::string> args) {
        return runCommand(CORVANE_CLI, args, work.path(), home.path());
    }
    std::string lan(const SimProcess& sim) const { return "127.0.0.1:" + std::to_string(sim.port()); }
    std::string db() const { return work.file("site.db"); }

    TempDir home, work;
};

}  // namespace

TEST_F(CliInstrumentTest, IdentifyPrintsWhatTheInstrumentSaid) {
    SimProcess sim({"--fast", "--calibration", "07_MAR_2026"});
    CommandResult r = corvane({"instrument", "identify", "--lan", lan(sim), "--comms-log", work.file("logs")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find("calibrationVersion")),
              "identity: VELTRONA,QMX74,410-2718,2.07\nmodel: 11\ncalibration: 07_MAR_2026\n");
    EXPECT_NE(r.out.find("\nfirmwareVersion: "), std::string::npos);
    EXPECT_EQ(r.err, "Test Connection: The connection was successful\nVELTRONA,QMX74,410-2718,2.07\n");
    EXPECT_NE(readFile(work.file("logs/Corvane_COMMS.log")).find("***\tIDENTIFIED: "), std::string::npos);

    CommandResult refused = corvane({"instrument", "identify", "--lan", "127.0.0.1:1"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "Test Connection: Failed to connect to IP address 127.0.0.1\n");
    EXPECT_EQ(corvane({"instrument", "identify"}).exitCode, 2);
    EXPECT_EQ(corvane({"instrument", "identify", "--serial", "/dev/null"}).exitCode, 2);  // no --baud
}

TEST_F(CliInstrumentTest, RegisterAddsTheInstrumentOnceWithItsDueDate) {
    ASSERT_EQ(corvane({"db", "info", db()}).exitCode, 0);
    SimProcess sim({"--fast", "--calibration", "07_MAR_2026"}, true);
    CommandResult declined = corvane({"instrument", "register", "--lan", lan(sim), "--db", db()});
    EXPECT_EQ(declined.out, "equipment: -1\n");
    EXPECT_NE(declined.err.find("Add to Database: This instrument is not in your database, would you like to add it?"),
              std::string::npos);

    CommandResult added = corvane({"instrument", "register", "--serial", sim.device(), "--baud", "9600", "--db", db(), "--yes"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(added.out, "equipment: 1\n");
    EXPECT_EQ(corvane({"db", "rows", db(), "Equipment"}).out, "1\tVeltrona Ltd\tQMX74\t410-2718\t07-03-2027\n");

    CommandResult again = corvane({"instrument", "register", "--lan", lan(sim), "--db", db()});
    EXPECT_EQ(again.out, "equipment: 1\n");
    EXPECT_EQ(again.err.find("Add to Database"), std::string::npos);
    EXPECT_EQ(corvane({"db", "info", db()}).out.find("Equipment: 1\n") != std::string::npos, true);
}

TEST_F(CliInstrumentTest, AnUncalibratedInstrumentIsNotAdded) {
    ASSERT_EQ(corvane({"db", "info", db()}).exitCode, 0);
    SimProcess sim({"--fast", "--calibration", "default_calibration"});
    CommandResult r = corvane({"instrument", "register", "--lan", lan(sim), "--db", db(), "--yes"});
    EXPECT_EQ(r.out, "equipment: -1\n");
    EXPECT_EQ(corvane({"db", "rows", db(), "Equipment"}).out, "");
}

TEST_F(CliInstrumentTest, CalibrationDueYesterdayWarnsDueTodayDoesNot) {
    ASSERT_EQ(corvane({"db", "info", db()}).exitCode, 0);
    {
        SimProcess sim({"--fast", "--calibration", calibratedAYearBefore(0)});
        CommandResult r = corvane({"instrument", "register", "--lan", lan(sim), "--db", db(), "--yes"});
        EXPECT_EQ(r.out, "equipment: 1\n");
        EXPECT_EQ(r.err.find("Calibration Due"), std::string::npos) << r.err;
    }
    SimProcess sim({"--fast", "--calibration", calibratedAYearBefore(1)});
    CommandResult r = corvane({"instrument", "register", "--lan", lan(sim), "--db", db(), "--yes"});
    EXPECT_EQ(r.out, "equipment: 1\n");
    EXPECT_NE(r.err.find("Calibration Due: The connected instrument is due for calibration.\nDate last calibrated is " +
                         calibratedAYearBefore(1)),
              std::string::npos)
        << r.err;
}

TEST_F(CliInstrumentTest, SettingsAreWrittenByNameAndReadBack) {
    SimProcess sim({"--fast"});
    CommandResult w = corvane({"instrument", "settings", "write", "--lan", lan(sim), "Sweep:Steps=1500",
                               "Acqu:speed=Fast", "Sweep:Scale=1", "Sweep:Start=1.0000E+02"});
    ASSERT_EQ(w.exitCode, 0) << w.err;
    CommandResult r = corvane({"instrument", "settings", "read", "--lan", lan(sim)});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* line : {"Acqu:mode\tFrequency Response Analyser\n", "Acqu:speed\tFast\n", "Sweep:Steps\t1500\n",
                             "Sweep:Scale\tLinear\n", "Sweep:Start\t1.0000E+02\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 73);

    CommandResult outOfRange = corvane({"instrument", "settings", "write", "--lan", lan(sim), "Sweep:Steps=5000"});
    EXPECT_EQ(outOfRange.exitCode, 1);
    EXPECT_EQ(outOfRange.err, "Set Up SFRA: Sweep::Steps can only be set between 2.0 and 2000.0\n");
    EXPECT_EQ(corvane({"instrument", "settings", "write", "--lan", lan(sim), "No:Such=1"}).exitCode, 2);
    EXPECT_EQ(corvane({"instrument", "settings", "write", "--lan", lan(sim), "Acqu:speed=Warp"}).exitCode, 2);
}
