// Threads, mutexes and the periodic timer on Windows: CreateThread, mutex objects and a timer of
// the default timer queue.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include "platform/thread.h"

#include <windows.h>

#include <atomic>

namespace platform {

struct WorkerThread::Impl {
    HANDLE thread = nullptr;
    std::atomic<bool> running{false};
    std::function<void()> body;  // handed to the thread, which takes it over

    static DWORD WINAPI run(LPVOID parameter) {
        Impl& d = *static_cast<Impl*>(parameter);
        markWorkerThread();
        {
            std::function<void()> body = std::move(d.body);
            body();
        }  // the body's captures are released before the thread counts as finished
        d.running.store(false);
        return 0;
    }

    // Waits for the thread to end and releases its handle.
    void join() {
        if (!thread) return;
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        thread = nullptr;
    }
};

WorkerThread::WorkerThread() : impl_(std::make_unique<Impl>()) {}

WorkerThread::~WorkerThread() { impl_->join(); }

bool WorkerThread::start(std::function<void()> body) {
    Impl& d = *impl_;
    if (d.thread) {
        if (d.running.load()) return false;
        // The previous body has returned; reclaim its thread before starting the next one.
        d.join();
    }
    d.body = std::move(body);
    d.running.store(true);
    d.thread = CreateThread(nullptr, 0, &Impl::run, &d, 0, nullptr);
    if (!d.thread) {
        d.running.store(false);
        d.body = nullptr;
        return false;
    }
    return true;
}

bool WorkerThread::wait(unsigned timeoutMs) {
    Impl& d = *impl_;
    if (!d.thread) return true;
    if (WaitForSingleObject(d.thread, timeoutMs) != WAIT_OBJECT_0) return false;
    CloseHandle(d.thread);
    d.thread = nullptr;
    return true;
}

bool WorkerThread::running() const { return impl_->running.load(); }

// A mutex object: recursive for its owner, and releasing it from another thread fails.
struct TimedMutex::Impl {
    HANDLE mutex = nullptr;
};

TimedMutex::TimedMutex() : impl_(std::make_unique<Impl>()) { impl_->mutex = CreateMutexA(nullptr, FALSE, nullptr); }

TimedMutex::~TimedMutex() {
    if (impl_->mutex) CloseHandle(impl_->mutex);
}

bool TimedMutex::lock(unsigned timeoutMs) {
    if (!impl_->mutex) return false;
    const DWORD result = WaitForSingleObject(impl_->mutex, timeoutMs);
    // Abandoned: its owner ended without releasing it; the caller owns it now all the same.
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

bool TimedMutex::unlock() { return impl_->mutex && ReleaseMutex(impl_->mutex) != 0; }

struct PeriodicTimer::Impl {
    HANDLE timer = nullptr;
    std::function<void()> tick;

    static VOID CALLBACK fire(PVOID parameter, BOOLEAN) { static_cast<Impl*>(parameter)->tick(); }
};

PeriodicTimer::PeriodicTimer() : impl_(std::make_unique<Impl>()) {}

PeriodicTimer::~PeriodicTimer() { stop(); }

bool PeriodicTimer::start(unsigned firstMs, unsigned periodMs, std::function<void()> tick) {
    Impl& d = *impl_;
    if (d.timer || !tick) return false;
    d.tick = std::move(tick);
    if (!CreateTimerQueueTimer(&d.timer, nullptr, &Impl::fire, &d, firstMs, periodMs, WT_EXECUTEDEFAULT)) {
        d.timer = nullptr;
        d.tick = nullptr;
        return false;
    }
    return true;
}

void PeriodicTimer::stop() {
    Impl& d = *impl_;
    if (!d.timer) return;
    // INVALID_HANDLE_VALUE: return only once a tick that is running has finished.
    DeleteTimerQueueTimer(nullptr, d.timer, INVALID_HANDLE_VALUE);
    d.timer = nullptr;
    d.tick = nullptr;
}

}  // namespace platform
