// What the exporter knows of one unit: the outcome of its last completed poll round.
// Scrapes read these; only the unit's poller writes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fleet_ports.h"
#include "setting_measures.h"

enum class UnitState {
    Waiting,  // no round has ended yet
    Up,       // answered every read of its last round
    Down,     // did not answer, or its port could not be opened
    Busy,     // its port is held by another program (or a terminal server's line is taken)
};

// The unit's identity as read in its last round.
struct UnitIdentity {
    uint32_t type = 0;             // 5100 for a ZEL-5100
    int mode = -1;                 // 0 ASI to IP, 1 IP to ASI
    int32_t firmwareVersion = -1;  // tenths: 23 is v2.3
    uint32_t hardwareVersion = 0;
    uint32_t fpgaVersion = 0;
    uint32_t serialNumber = 0;
};

struct MeasuredSetting {
    const SettingView* view = nullptr;
    const SettingMeasure* measure = nullptr;
    uint64_t value = 0;
};

struct UnitSnapshot {
    FleetPort port;
    UnitState state = UnitState::Waiting;
    std::string problem;    // Down or Busy: why, in the user's words
    UnitIdentity identity;  // Up
    std::vector<MeasuredSetting>
        measured;            // Up: the measures of the panels of its mode, in the window's order
    double pollSeconds = 0;  // how long the last round took
    double finishedAt = 0;   // when it ended, in seconds since 1970 (UTC)
};

// "up", "down", "busy" or "waiting".
const char* UnitStateName(UnitState state);
