#include "sim_faults.h"

uint64_t SimRandom::Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

uint64_t SimRandom::Below(uint64_t bound) {
    return bound == 0 ? 0 : Next() % bound;
}

bool SimRandom::Chance(double percent) {
    uint64_t draw = Next();
    if (percent <= 0) return false;
    // 53 random bits as a fraction in [0, 1).
    double fraction = static_cast<double>(draw >> 11) * (1.0 / 9007199254740992.0);
    return fraction * 100.0 < percent;
}

SimFaultDraw SimFaults::Draw() {
    SimFaultDraw draw;
    ++frames_;
    if (config_.silentAfterFrames >= 0 && frames_ > config_.silentAfterFrames) {
        draw.silent = true;
        return draw;
    }
    draw.error = random_.Chance(config_.errorReplyPercent);
    draw.busy = random_.Chance(config_.busyReplyPercent);
    draw.drop = random_.Chance(config_.dropReplyPercent);
    draw.corrupt = random_.Chance(config_.corruptBytePercent);
    draw.noise = random_.Chance(config_.noisePercent);
    draw.delay = random_.Chance(config_.delayReplyPercent);
    return draw;
}
