// The simulated instrument of a -simulator run: corvane-sim.exe from the program's own folder,
// serving the instrument's LAN port on this machine for as long as the program runs.
#pragma once

namespace gui {

// Starts corvane-sim.exe from the folder of the running program on the instrument's LAN port, without
// a console window, in a job object that ends it when this process ends, however it ends. False when
// it could not be started; no simulator is then left running. User-interface thread, once a process.
bool startSimulatedInstrument();

}  // namespace gui
