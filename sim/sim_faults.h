// The line faults of one request, drawn from a seeded generator of our own so that
// a seed gives the same faults on every platform.
#pragma once

#include <cstdint>

#include "sim_config.h"

// SplitMix64: small, fast and the same everywhere.
class SimRandom {
public:
    explicit SimRandom(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    // 0 <= result < bound; 0 when bound is 0.
    uint64_t Below(uint64_t bound);
    // True with the given chance in percent.
    bool Chance(double percent);

private:
    uint64_t state_;
};

struct SimFaultDraw {
    bool silent = false;  // unplugged: nothing is answered any more
    bool error = false;
    bool busy = false;
    bool drop = false;
    bool corrupt = false;
    bool noise = false;
    bool delay = false;
};

class SimFaults {
public:
    explicit SimFaults(const SimFaultConfig& config) : config_(config), random_(config.seed) {}

    // Draws the faults of the next request that the device would answer. Every
    // chance is drawn each time, so one fault does not shift the others.
    SimFaultDraw Draw();
    SimRandom& Random() { return random_; }
    const SimFaultConfig& Config() const { return config_; }

private:
    SimFaultConfig config_;
    SimRandom random_;
    int64_t frames_ = 0;
};
