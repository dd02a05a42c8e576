// Threads, mutexes and the periodic timer on POSIX, with the Windows behaviour the program was
// written against: a worker is waited for with a time limit, the mutex is recursive and knows its
// owner, as a Windows mutex object does, and the timer ticks on a thread of its own.
#include "platform/thread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <pthread.h>
#include <system_error>
#include <thread>
#include <time.h>

namespace platform {

struct WorkerThread::Impl {
    std::thread thread;
    std::atomic<bool> running{false};
    std::mutex m;
    std::condition_variable finished;
    bool done = false;  // guarded by m; set when the body has returned

    void join() {
        if (thread.joinable()) thread.join();
    }
};

WorkerThread::WorkerThread() : impl_(std::make_unique<Impl>()) {}

WorkerThread::~WorkerThread() { impl_->join(); }

bool WorkerThread::start(std::function<void()> body) {
    Impl& d = *impl_;
    if (d.thread.joinable()) {
        if (d.running.load()) return false;
        // The previous body has returned; reclaim its thread before starting the next one.
        d.join();
    }
    {
        std::lock_guard<std::mutex> lock(d.m);
        d.done = false;
    }
    d.running.store(true);
    try {
        d.thread = std::thread([&d, body = std::move(body)] {
            markWorkerThread();
            body();
            std::lock_guard<std::mutex> lock(d.m);
            d.done = true;
            d.running.store(false);
            d.finished.notify_all();
        });
    } catch (const std::system_error&) {
        d.running.store(false);
        return false;
    }
    return true;
}

bool WorkerThread::wait(unsigned timeoutMs) {
    Impl& d = *impl_;
    if (!d.thread.joinable()) return true;
    {
        std::unique_lock<std::mutex> lock(d.m);
        if (!d.finished.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&d] { return d.done; }))
            return false;
    }
    d.join();
    return true;
}

bool WorkerThread::running() const { return impl_->running.load(); }

// A recursive pthread mutex, as a Windows mutex object is recursive for its owner. The time limit
// is a CLOCK_REALTIME deadline for pthread_mutex_timedlock, so a jump of the wall clock during a wait
// stretches or shortens it; the waits here are short enough for that not to matter.
struct TimedMutex::Impl {
    pthread_mutex_t m;
    std::atomic<std::thread::id> owner{};
    unsigned depth = 0;  // touched only by the owner
};

TimedMutex::TimedMutex() : impl_(std::make_unique<Impl>()) {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&impl_->m, &attributes);
    pthread_mutexattr_destroy(&attributes);
}

TimedMutex::~TimedMutex() { pthread_mutex_destroy(&impl_->m); }

bool TimedMutex::lock(unsigned timeoutMs) {
    Impl& d = *impl_;
    int rc;
    if (timeoutMs == 0) {
        rc = pthread_mutex_trylock(&d.m);
    } else {
        timespec deadline{};
        clock_gettime(CLOCK_REALTIME, &deadline);
        deadline.tv_sec += static_cast<time_t>(timeoutMs / 1000u);
        deadline.tv_nsec += static_cast<long>(timeoutMs % 1000u) * 1000000L;
        if (deadline.tv_nsec >= 1000000000L) {
            deadline.tv_sec += 1;
            deadline.tv_nsec -= 1000000000L;
        }
        rc = pthread_mutex_timedlock(&d.m, &deadline);
    }
    if (rc != 0) return false;
    d.owner.store(std::this_thread::get_id());
    ++d.depth;
    return true;
}

bool TimedMutex::unlock() {
    Impl& d = *impl_;
    // Only the owner can see its own id here; any other thread reads someone else's or none.
    if (d.owner.load() != std::this_thread::get_id()) return false;
    if (--d.depth == 0) d.owner.store(std::thread::id());
    pthread_mutex_unlock(&d.m);
    return true;
}

// A thread of its own that sleeps on a condition variable until the next tick is due, so that
// stopping wakes it at once. Ticks keep their phase: one that could not run in time is skipped,
// not run in a burst afterwards.
struct PeriodicTimer::Impl {
    std::thread thread;
    std::mutex m;
    std::condition_variable wake;
    bool stopping = false;  // guarded by m
};

PeriodicTimer::PeriodicTimer() : impl_(std::make_unique<Impl>()) {}

PeriodicTimer::~PeriodicTimer() { stop(); }

bool PeriodicTimer::start(unsigned firstMs, unsigned periodMs, std::function<void()> tick) {
    Impl& d = *impl_;
    if (d.thread.joinable() || !tick) return false;
    {
        std::lock_guard<std::mutex> lock(d.m);
        d.stopping = false;
    }
    try {
        d.thread = std::thread([&d, firstMs, periodMs, tick = std::move(tick)] {
            using Clock = std::chrono::steady_clock;
            const auto period = std::chrono::milliseconds(periodMs);
            auto next = Clock::now() + std::chrono::milliseconds(firstMs);
            std::unique_lock<std::mutex> lock(d.m);
            for (;;) {
                if (d.wake.wait_until(lock, next, [&d] { return d.stopping; })) return;
                lock.unlock();
                tick();
                lock.lock();
                if (periodMs == 0) return;  // a single tick, as a timer without a period gives
                next += period;
                const auto now = Clock::now();
                while (next <= now) next += period;
            }
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void PeriodicTimer::stop() {
    Impl& d = *impl_;
    if (!d.thread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(d.m);
        d.stopping = true;
    }
    d.wake.notify_all();
    d.thread.join();
}

}  // namespace platform
