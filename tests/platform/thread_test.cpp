// Worker threads and the timed mutex, exercised across real threads.
#include "platform/thread.h"

#include <atomic>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <thread>

using platform::TimedMutex;
using platform::WorkerThread;

namespace {

// Generous bound for "this should happen soon" so a loaded machine does not fail the tests.
constexpr unsigned kLong = 10000;

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
    auto second = std::async(std::launch::async, [&] { return t.start([&] { runs += 100; }); });
    const bool answered = second.wait_for(std::chrono::milliseconds(kLong)) == std::future_status::ready;
    release.set_value();
    EXPECT_TRUE(answered) << "start() waited for the running body";
    EXPECT_FALSE(second.get());
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

// Runs f on a separate thread and returns its result.
template <class F>
auto onOtherThread(F f) {
    return std::async(std::launch::async, f).get();
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
    auto waiter = std::async(std::launch::async, [&] { return m.lock(kLong) && m.unlock(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(m.unlock());
    EXPECT_TRUE(waiter.get());
}

}  // namespace
