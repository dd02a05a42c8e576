// Threads and mutexes. Every thread of the program starts here, so that the core never creates one
// itself and each system's own thread calls stand behind one interface.
#pragma once

#include <functional>
#include <memory>

namespace platform {

// True on a thread that a WorkerThread started, false on the user-interface thread (and any other).
// Code that would show a window asks it, since only the user-interface thread may.
bool onWorkerThread();
// Marks the calling thread as a worker; WorkerThread calls it first thing in every body it runs.
void markWorkerThread();

// One worker thread. The owner starts it, may wait for it, and must not destroy it while it runs:
// the destructor waits for the body to return.
class WorkerThread {
public:
    WorkerThread();
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts body on a new thread. False when a thread is already held or none could be created.
    bool start(std::function<void()> body);

    // Waits up to timeoutMs for the body to return; true when it has (or nothing was started).
    bool wait(unsigned timeoutMs);

    // True from a successful start until the body has returned.
    bool running() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A mutex that can be tried with a time limit, and whose release reports failure, as the timer
// service needs.
class TimedMutex {
public:
    TimedMutex();
    ~TimedMutex();
    TimedMutex(const TimedMutex&) = delete;
    TimedMutex& operator=(const TimedMutex&) = delete;

    // True when the mutex was taken within timeoutMs.
    bool lock(unsigned timeoutMs);
    // False when the calling thread did not hold the mutex.
    bool unlock();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A periodic tick on a system timer thread (on Windows a timer of the default timer queue). The tick
// runs on that thread, never on the caller's, and must be short. Stopping, and the destructor, wait
// for a tick that is running.
class PeriodicTimer {
public:
    PeriodicTimer();
    ~PeriodicTimer();
    PeriodicTimer(const PeriodicTimer&) = delete;
    PeriodicTimer& operator=(const PeriodicTimer&) = delete;
    // First tick after firstMs, then every periodMs. False when a timer runs already or none could
    // be created.
    bool start(unsigned firstMs, unsigned periodMs, std::function<void()> tick);
    void stop();
private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
