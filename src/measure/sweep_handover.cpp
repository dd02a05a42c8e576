#include "measure/sweep_handover.h"

#include <algorithm>
#include <cstdio>

#include "db/record_store.h"

namespace measure {
namespace {

int store(PendingSweep& pending, int dataType, platform::NotificationSink* progress) {
    pending.record.dataType = dataType;
    return db::store_new_sweep(pending.record, db::kAddChecked, progress);
}

}  // namespace

SweepOutcome sweepOutcome(const JobFlags& job, int stepCount) {
    if (job.received == stepCount && stepCount > 0 && !job.readFailed) return SweepOutcome::Complete;
    if (job.readFailed && job.received > 0) return SweepOutcome::ReadFailed;
    return SweepOutcome::NotCompleted;
}

bool storedAsChosen(SweepOutcome outcome) { return outcome == SweepOutcome::Complete; }

int progressPercentage(long long received, long long stepCount) {
    if (stepCount <= 0) return 100;
    return static_cast<int>(std::clamp<long long>(received * 100 / stepCount + 1, 1, 100));
}

int handedOverPoints(const JobFlags& job, int stepCount) {
    return sweepOutcome(job, stepCount) == SweepOutcome::NotCompleted ? 0 : static_cast<int>(job.received);
}

std::string fraTableRow(int step, const db::FraPoint& p) {
    char text[160];
    std::snprintf(text, sizeof text, "%d\t%.4lf\t%.5E\t%.5E\t%.5E\t%.5E", step, p.frequency, p.magnitude1, p.magnitude2,
                  p.amplitude, p.phase);
    return text;
}

std::string lcrTableRow(int step, const db::LcrPoint& p) {
    char text[224];
    std::snprintf(text, sizeof text, "%d\t%.4lf\t%.5E\t%.5E\t%.5E\t%.5E\t%.5E\t%.5E\t%.5E", step, p.frequency,
                  p.admittance, p.admittancePhase, p.impedance, p.impedancePhase, p.inductance, p.capacitance,
                  p.resistance);
    return text;
}

int storeFraSweep(PendingSweep& pending, const FraSweepBlock& block, int count, platform::NotificationSink* progress) {
    pending.record.fraPoints.assign(block.points, block.points + count);
    return store(pending, db::kDataFra, progress);
}

int storeLcrSweep(PendingSweep& pending, const LcrSweepBlock& block, int count, platform::NotificationSink* progress) {
    pending.record.lcrPoints.assign(block.points, block.points + count);
    return store(pending, db::kDataLcr, progress);
}

}  // namespace measure
