// The program's one instrument connection. It belongs to no window: it lives as long as the process,
// is read from the settings at start-up and set by the Connect dialog, and every exchange with the
// instrument goes through it. One thread at a time (see instrument/link.h): the user-interface
// thread, or a worker while the user interface keeps its hands off it.
#pragma once

#include "instrument/link.h"

namespace gui {

instrument::InstrumentLink& instrumentLink();

}  // namespace gui
