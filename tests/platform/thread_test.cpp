// Worker threads, the timed mutex and the periodic timer, exercised across real threads. Every
// helper thread comes from the platform layer, so that the same tests run against the Windows side.
#include "platform/thread.h"

#include <atomic>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/clock.h"

using platform::PeriodicTimer;
using platform::TimedMutex;
using platform::WorkerThread;

namespace {

// Generous bound for "this should happen soon" so a loaded machine does not fail the tests.
constexpr unsigned kLong = 10000;

// Runs f on a platform worker thread and returns its result.
template <class F>
auto onOtherThread(F f) {
    decltype(f()) result{};
    WorkerThread helper;
    EXPECT_TRUE(helper.start([&] { result = f(); }));
    EXPECT_TRUE(helper.wait(kLong));
    return result;
}

// Polls until done() holds or kLong passes; the result of the last look.
template <class F>
bool eventually(F done) {
    for (unsigned waited = 0; waited < kLong; waited += 5) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

TEST(WorkerThread, RunsOnAnotherThreadUntilTheBodyReturns) {
    WorkerThread t;
    EXPECT_FALSE(t.running());
    EXPECT_TRUE(t.wait(0)) << "nothing started counts as finished";
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> otherThread{false};
    const auto mainId = std::this_thread::get_id();

    ASSERT_TRUE(t.start([&] {
        otherThread = std::this_thread::get_id() != mainId;
        released.wait();
    }));
    EXPECT_TRUE(t.running());
    EXPECT_FALSE(t.wait(20));
    EXPECT_TRUE(t.running());

    release.set_value();
    EXPECT_TRUE(t.wait(kLong));
    EXPECT_FALSE(t.running());
    EXPECT_TRUE(otherThread);
    EXPECT_TRUE(t.wait(0)) << "waiting again after the join is harmless";
}

TEST(WorkerThread, RefusesASecondStartWhileRunningAndRestartsAfterwards) {
    WorkerThread t;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> runs{0};

    ASSERT_TRUE(t.start([&] {
        released.wait();
        ++runs;
    }));
    // Asked from a helper thread so that a start() that blocks on the running body shows up as a
    // failure rather than a hang.
    std::atomic<bool> secondStarted{true};
    WorkerThread helper;
    ASSERT_TRUE(helper.start([&] { secondStarted = t.start([&] { runs += 100; }); }));
    const bool answered = helper.wait(kLong);
    release.set_value();
    EXPECT_TRUE(answered) << "start() waited for the running body";
    ASSERT_TRUE(helper.wait(kLong));
    EXPECT_FALSE(secondStarted);
    ASSERT_TRUE(t.wait(kLong));
    EXPECT_EQ(runs, 1);

    // Restart without an intervening wait: the finished thread is reclaimed by start itself.
    ASSERT_TRUE(t.start([&] { ++runs; }));
    for (int i = 0; i < 1000 && t.running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_FALSE(t.running());
    ASSERT_TRUE(t.start([&] { ++runs; }));
    ASSERT_TRUE(t.wait(kLong));
    EXPECT_EQ(runs, 3);
}

TEST(WorkerThread, DestructorWaitsForTheBody) {
    std::atomic<bool> finished{false};
    {
        WorkerThread t;
        ASSERT_TRUE(t.start([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            finished = true;
        }));
    }
    EXPECT_TRUE(finished);
}

TEST(WorkerThread, OnlyItsBodyCountsAsAWorker) {
    EXPECT_FALSE(platform::onWorkerThread());
    EXPECT_TRUE(onOtherThread([] { return platform::onWorkerThread(); }));
    EXPECT_FALSE(platform::onWorkerThread());
}

TEST(TimedMutex, OthersTimeOutAndCannotUnlockWhileItIsHeld) {
    TimedMutex m;
    EXPECT_FALSE(m.unlock()) << "nobody holds it";
    ASSERT_TRUE(m.lock(0));
    EXPECT_FALSE(onOtherThread([&] { return m.lock(50); }));
    EXPECT_FALSE(onOtherThread([&] { return m.unlock(); }));
    EXPECT_FALSE(onOtherThread([&] { return m.lock(0); })) << "a refused unlock must not release it";
    EXPECT_TRUE(m.unlock());
    EXPECT_FALSE(m.unlock()) << "already released";
}

TEST(TimedMutex, OwnerMayLockAgainAndMustUnlockAsOften) {
    TimedMutex m;
    ASSERT_TRUE(m.lock(0));
    ASSERT_TRUE(m.lock(0));
    EXPECT_TRUE(m.unlock());
    EXPECT_FALSE(onOtherThread([&] { return m.lock(0); }));
    EXPECT_TRUE(m.unlock());
    EXPECT_TRUE(onOtherThread([&] { return m.lock(0) && m.unlock(); }));
}

TEST(TimedMutex, WaiterGetsTheMutexWhenReleasedInTime) {
    TimedMutex m;
    ASSERT_TRUE(m.lock(0));
    std::atomic<bool> waited{false};
    WorkerThread waiter;
    ASSERT_TRUE(waiter.start([&] { waited = m.lock(kLong) && m.unlock(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(m.unlock());
    ASSERT_TRUE(waiter.wait(kLong));
    EXPECT_TRUE(waited);
}

// What a timer's ticks did: when they ran and on which thread.
struct TickLog {
    std::mutex m;
    std::vector<std::uint64_t> times;
    std::vector<std::thread::id> threads;

    void record() {
        std::lock_guard<std::mutex> lock(m);
        times.push_back(platform::nowMs());
        threads.push_back(std::this_thread::get_id());
    }
    std::size_t count() {
        std::lock_guard<std::mutex> lock(m);
        return times.size();
    }
};

TEST(PeriodicTimer, TicksOnAnotherThreadFirstAfterTheDelayThenEveryPeriod) {
    TickLog log;
    PeriodicTimer timer;
    const std::uint64_t started = platform::nowMs();
    ASSERT_TRUE(timer.start(60, 20, [&] { log.record(); }));
    ASSERT_TRUE(eventually([&] { return log.count() >= 6; }));
    timer.stop();

    std::lock_guard<std::mutex> lock(log.m);
    EXPECT_GE(log.times[0] - started, 59u) << "the first tick waits for the first delay, not the period";
    // Five periods of 20 ms lie between the first and the sixth tick; a timer that ignores the
    // period and fires at once would need far less.
    EXPECT_GE(log.times[5] - log.times[0], 90u);
    for (const auto& id : log.threads) EXPECT_NE(id, std::this_thread::get_id());
}

TEST(PeriodicTimer, StopWaitsForARunningTickAndNoTickFollows) {
    std::atomic<int> ticks{0};
    std::atomic<bool> inTick{false};
    PeriodicTimer timer;
    ASSERT_TRUE(timer.start(0, 10, [&] {
        inTick = true;
        ++ticks;
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        inTick = false;
    }));
    ASSERT_TRUE(eventually([&] { return inTick.load(); }));
    timer.stop();
    EXPECT_FALSE(inTick) << "stop() returned while a tick was still running";
    const int afterStop = ticks;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(ticks, afterStop);
    timer.stop();  // a second stop is harmless
}

TEST(PeriodicTimer, OneTimerAtATimeRestartableAfterStop) {
    std::atomic<int> first{0}, second{0};
    PeriodicTimer timer;
    EXPECT_FALSE(timer.start(0, 10, nullptr)) << "a timer without a tick";
    ASSERT_TRUE(timer.start(0, 10, [&] { ++first; }));
    EXPECT_FALSE(timer.start(0, 10, [&] { ++second; })) << "a second start while running";
    ASSERT_TRUE(eventually([&] { return first >= 2; }));
    timer.stop();
    ASSERT_TRUE(timer.start(0, 10, [&] { ++second; }));
    ASSERT_TRUE(eventually([&] { return second >= 2; }));
    timer.stop();
}

TEST(PeriodicTimer, WithoutAPeriodTicksOnce) {
    std::atomic<int> ticks{0};
    PeriodicTimer timer;
    ASSERT_TRUE(timer.start(5, 0, [&] { ++ticks; }));
    ASSERT_TRUE(eventually([&] { return ticks >= 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(ticks, 1);
}

TEST(PeriodicTimer, DestructorStopsTheTimer) {
    std::atomic<int> ticks{0};
    {
        PeriodicTimer timer;
        ASSERT_TRUE(timer.start(0, 5, [&] { ++ticks; }));
        ASSERT_TRUE(eventually([&] { return ticks >= 1; }));
    }
    const int afterDestruction = ticks;
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(ticks, afterDestruction);
}

}  // namespace
