// The clocks, and the trace output that reaches standard error only while asked for.
#include "platform/clock.h"
#include "platform/debug_output.h"

#include <ctime>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/temp_dir.h"

using namespace platform;

namespace {

TEST(Clock, SleepAndLocalTimeAgreeWithTheSystem) {
    const std::uint64_t before = nowMs();
    sleepMs(30);
    EXPECT_GE(nowMs() - before, 30u);

    const LocalTime t = localTimeNow();
    EXPECT_TRUE(t.milliseconds >= 0 && t.milliseconds <= 999);
    std::tm parts{};
    parts.tm_year = t.year - 1900;
    parts.tm_mon = t.month - 1;
    parts.tm_mday = t.day;
    parts.tm_hour = t.hour;
    parts.tm_min = t.minute;
    parts.tm_sec = t.second;
    parts.tm_isdst = -1;
    EXPECT_LE(std::abs(static_cast<long long>(std::time(nullptr) - std::mktime(&parts))), 2);
}

TEST(Clock, LocalTimeConvertsToMillisecondsSinceTheEpoch) {
    const std::int64_t wall = static_cast<std::int64_t>(std::time(nullptr)) * 1000;
    const std::int64_t converted = localTimeToMs(localTimeNow());
    EXPECT_LE(std::abs(static_cast<long long>(converted - wall)), 2000);

    // Milliseconds count, and fields out of range carry into the next unit as on every platform.
    LocalTime t{2021, 12, 31, 23, 59, 59, 250};
    const std::int64_t newYearsEve = localTimeToMs(t);
    EXPECT_EQ(newYearsEve % 1000, 250);
    t.second = 60;
    t.milliseconds = 0;
    EXPECT_EQ(localTimeToMs(t) - newYearsEve, 750);
}

// POSIX only: on Windows the trace goes to the debugger, and standard error is redirected another way
// (the Windows platform tests check that side).
#ifndef _WIN32
TEST(DebugOutput, WritesWholeTextsOnlyWhileTraceIsSet) {
    const char* old = std::getenv("CORVANE_TRACE");
    const std::string saved = old ? old : "";
    testing_support::TempDir dir;
    const std::string path = dir.file("stderr.txt");

    // Standard error goes to a file while eight threads trace.
    std::fflush(stderr);
    const int savedErr = ::dup(2);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, 2);
    ::close(fd);
    ::unsetenv("CORVANE_TRACE");
    debugOutput("quiet\n");
    ::setenv("CORVANE_TRACE", "", 1);  // set, even if empty
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 200; ++i) debugOutput(std::string(40, 'x') + "\n");
        });
    for (auto& th : threads) th.join();
    std::fflush(stderr);
    ::dup2(savedErr, 2);
    ::close(savedErr);
    old ? ::setenv("CORVANE_TRACE", saved.c_str(), 1) : ::unsetenv("CORVANE_TRACE");

    std::string expected;
    for (int i = 0; i < 8 * 200; ++i) expected += std::string(40, 'x') + "\n";
    EXPECT_EQ(testing_support::readFile(path), expected);
}
#endif

}  // namespace
