// One poll round of one unit: its port opened, the unit identified, the measures of
// the panels of its mode read, the port (and its lock) released again, so that the
// window, zelctl or a terminal server's one client slot are free between rounds.
#pragma once

#include <atomic>

#include "unit_snapshot.h"

// Works on the calling thread's engine session. `stopping` set ends the round early
// (between two reads); the snapshot then says the unit is down.
UnitSnapshot PollUnitOnce(const FleetPort& port, const std::atomic<bool>& stopping);
