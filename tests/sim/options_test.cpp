// corvane-sim's command line: defaults, every option and fault form, and refusal of bad input with the
// usage text and exit code 2.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <regex>

#include "options.h"

using namespace sim;

namespace {

std::time_t localNoon(int year, int month, int day) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

bool parse(const std::vector<std::string>& args, Options& o, std::string& error) {
    return parseOptions(args, localNoon(2026, 6, 15), o, error);
}

}  // namespace

TEST(SimOptions, DefaultsDescribeAHealthyQmx74OnPort10001) {
    Options o;
    std::string error;
    ASSERT_TRUE(parse({}, o, error)) << error;
    EXPECT_EQ(o.port, 10001);
    EXPECT_FALSE(o.pty);
    EXPECT_EQ(o.setup.identity, "VELTRONA,QMX74,410-2718,2.07");
    EXPECT_EQ(o.setup.calibration, "07_MAR_2026") << "100 days before 15 June 2026";
    EXPECT_EQ(o.setup.profile, Profile::Healthy);
    EXPECT_EQ(o.setup.pointMs, 5);
    EXPECT_FALSE(o.setup.binary);
    EXPECT_EQ(o.setup.faults.dropAtPoint, -1);
    EXPECT_EQ(o.setup.faults.silentAfterLines, -1);
}

TEST(SimOptions, CalibrationDateIsDayMonthYearWithUnderscores) {
    EXPECT_EQ(calibrationDaysBefore(localNoon(2026, 1, 10), 100), "02_OCT_2025");
    EXPECT_EQ(calibrationDaysBefore(localNoon(2024, 3, 1), 1), "29_FEB_2024");
    EXPECT_TRUE(std::regex_match(calibrationDaysBefore(std::time(nullptr), 100), std::regex("[0-3][0-9]_[A-Z]{3}_20[0-9]{2}")));
}

TEST(SimOptions, EveryOptionIsTakenIn) {
    Options o;
    std::string error;
    ASSERT_TRUE(parse({"--port", "0", "--pty", "--identity", "VELTRONA,ZWA97,410-9,1.0", "--calibration", "01_JAN_2026",
                       "--profile", "severe", "--seed", "42", "--point-ms", "20", "--binary", "--log", "heard.log"},
                      o, error))
        << error;
    EXPECT_EQ(o.port, 0);
    EXPECT_TRUE(o.pty);
    EXPECT_EQ(o.setup.identity, "VELTRONA,ZWA97,410-9,1.0");
    EXPECT_EQ(o.setup.calibration, "01_JAN_2026");
    EXPECT_EQ(o.setup.profile, Profile::Severe);
    EXPECT_EQ(o.setup.seed, 42u);
    EXPECT_EQ(o.setup.pointMs, 20);
    EXPECT_TRUE(o.setup.binary);
    EXPECT_EQ(o.logPath, "heard.log");
    ASSERT_TRUE(parse({"--point-ms", "20", "--fast"}, o, error));
    EXPECT_EQ(o.setup.pointMs, 0) << "--fast wins";
}

TEST(SimOptions, FaultArgumentsOfEveryKind) {
    Options o;
    std::string error;
    ASSERT_TRUE(parse({"--fault", "silent-after:7", "--fault", "silent:CALSTR?", "--fault", "garbage:fra?", "--fault",
                       "nodot:fra?sweep", "--fault", "nodot:LCR,SWEEP?:12", "--fault", "drop-at-point:100", "--fault",
                       "delay:250", "--fault", "silent-at-row:120", "--fault", "drop-at-row:3"},
                      o, error))
        << error;
    const FaultPlan& f = o.setup.faults;
    EXPECT_EQ(f.silentAfterLines, 7);
    EXPECT_EQ(f.silentCommands, std::vector<std::string>{"calstr?"});
    EXPECT_EQ(f.garbageCommands, std::vector<std::string>{"fra?"});
    ASSERT_EQ(f.noDot.size(), 2u);
    EXPECT_EQ(f.noDot[0].command, "fra?sweep");
    EXPECT_EQ(f.noDot[0].line, 1);
    EXPECT_EQ(f.noDot[1].command, "lcr,sweep?");
    EXPECT_EQ(f.noDot[1].line, 12);
    EXPECT_EQ(f.dropAtPoint, 100);
    EXPECT_EQ(f.silentAtRow, 120);
    EXPECT_EQ(f.dropAtRow, 3);
    EXPECT_EQ(f.delayMs, 250);
}

TEST(SimOptions, BadInputIsRefusedWithAReason) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},           {"--port"},           {"--port", "70000"},        {"--port", "-1"},
        {"--port", "12ab"},    {"--profile", "ok"},  {"--seed", "x"},            {"--point-ms", "-5"},
        {"--identity", ""},    {"--fault", "oops"},  {"--fault", "silent-after:x"}, {"--fault", "nodot:fra?:0"},
        {"--fault", "silent:"}, {"--fault", "delay:"}, {"--fault", "drop-at-point:-2"}, {"fast"}, {"--log"}, {"--log", ""},
    };
    for (const auto& args : bad) {
        Options o;
        std::string error;
        EXPECT_FALSE(parse(args, o, error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

TEST(SimOptions, TheProgramExitsWithTwoAndItsUsageOnBadOptions) {
    const std::string command = std::string("'") + CORVANE_SIM + "' --profile nonsense 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    const int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_NE(output.find("unknown profile: nonsense"), std::string::npos) << output;
    EXPECT_NE(output.find("usage: corvane-sim"), std::string::npos) << output;
    EXPECT_NE(output.find("drop-at-point:N"), std::string::npos);
}
