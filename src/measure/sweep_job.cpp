#include "measure/sweep_job.h"

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
