// Serving the simulated device the way this system can: on a pseudo-terminal
// (and relayed to a TCP port with --listen) where there are pseudo-terminals,
// on a TCP port alone where there are none. Prints the name clients open on
// the first line of standard output, and serves until asked to stop or until
// the device hangs up its line. Returns the program's exit status.
#pragma once

#include "sim_clock.h"
#include "sim_device.h"
#include "sim_options.h"

int ServeDevice(SimDevice& device, const SimClock& clock, const SimOptions& options);
