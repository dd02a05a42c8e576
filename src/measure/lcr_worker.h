// The LCR (impedance) measurement workers: a sweep read point by point as the instrument measures
// it, and the realtime readout in its short (11 values) or long (14 values) form. Same threading and
// reporting as the FRA workers.
#pragma once

#include "instrument/link.h"
#include "measure/sweep_job.h"

namespace measure {

// impedanceModeSet: the program's copy of the instrument's mode setting already reads "Impedance
// Meter", so no mode switch (and its two-second settling) is needed.
void lcrSweepWorker(LcrSweepJob& job, instrument::InstrumentLink& link, bool impedanceModeSet);

void lcrRealtimeWorker(LcrSweepJob& job, instrument::InstrumentLink& link);

}  // namespace measure
