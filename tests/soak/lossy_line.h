// The line the soak runs on: lost, corrupted, noisy and late replies, seeded.
#pragma once

#include <cstdint>

#include "sim_config.h"

inline SimConfig LossyDevice(uint64_t seed) {
    SimConfig config;
    config.countersMove = false;  // reads compare against the device's values
    config.faults.dropReplyPercent = 5;
    config.faults.corruptBytePercent = 2;
    config.faults.noisePercent = 2;
    config.faults.delayReplyPercent = 1;
    config.faults.seed = seed;
    return config;
}

// The chance that one attempt fails on such a line: any one of the faults spoils
// the reply (the device draws each one for every request it answers).
inline double AttemptFailureChance(const SimFaultConfig& f) {
    return 1.0 - (1.0 - f.dropReplyPercent / 100) * (1.0 - f.corruptBytePercent / 100) *
                     (1.0 - f.noisePercent / 100) * (1.0 - f.delayReplyPercent / 100);
}
