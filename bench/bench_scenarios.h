// The scenarios the benchmark times. Each runs over the hooks already registered
// (the wire meter in front of the serial link) and reports what it did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "wire_meter.h"

struct ScenarioRun {
    int64_t operations = 0;  // the unit the times are given per: a read, a refresh, an upload
    WireCount wire;          // what crossed the line while it was timed
    double wallSeconds = 0;
    std::vector<double> opSeconds;  // each operation's own time, in order
    double cpuSeconds = 0;          // this thread's user + system time
    std::string failure;            // empty when every operation succeeded
};

// Reads one setting `repeats` times (the 64-bit read for settings of more than 4 bytes).
ScenarioRun TimeSingleReads(const WireMeter& meter, int category, int setting, int repeats);
// Reads every setting the window shows in `mode`, panel by panel, `repeats` times.
ScenarioRun TimeFullRefresh(const WireMeter& meter, int mode, int32_t firmwareVersion, int repeats);
// Sends an image of `bytes` bytes with the firmware upgrade and times its upload
// phase: from the first part to the reply to the last one.
ScenarioRun TimeUpload(const WireMeter& meter, int bytes);

// What one sleep and wake-up of this thread costs in CPU time on this machine,
// in seconds: the unit any receive that waits pays for each wait.
double WakeUpCpuSeconds();

// The median of the operations' own times: what one operation takes, with the
// stalls other programs on the machine cause left out.
double MedianOpSeconds(const ScenarioRun& run);

// The time the bytes counted need on a 115200 baud 8N1 line, plus the device's
// pause before each reply.
double WireLimitSeconds(const WireCount& wire, int turnaroundUs);
