#include "measure/sweep_job.h"

#include <algorithm>

#include "platform/clock.h"

namespace measure {

std::atomic<int>& sweepRunning() {
    static std::atomic<int> running{0};
    return running;
}

namespace {

void resetFlags(JobFlags& f) {
    f.readingTaken = true;
    f.abort = false;
    f.readFailed = false;
    f.received = 0;
}

}  // namespace

void sleepUnlessAborted(const JobFlags& job, unsigned ms) {
    constexpr unsigned kStepMs = 10;
    const std::uint64_t until = platform::nowMs() + ms;
    while (!job.abort) {
        const std::uint64_t now = platform::nowMs();
        if (now >= until) return;
        platform::sleepMs(static_cast<unsigned>(std::min<std::uint64_t>(kStepMs, until - now)));
    }
}

void SweepJob::reset() {
    resetFlags(*this);
    currentReading = {};
    block = {};
}

void LcrSweepJob::reset() {
    resetFlags(*this);
    for (double& v : shortReading) v = 0;
    for (double& v : longReading) v = 0;
    shortForm = false;
    block = {};
}

}  // namespace measure
