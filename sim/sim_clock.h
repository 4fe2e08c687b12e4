// Time as the simulated device sees it, in microseconds.
//
// The device never reads a clock of its own: the in-process transport runs it in
// virtual time (tests advance the clock instead of sleeping), the pseudo-terminal
// server in real time.
#pragma once

#include <cstdint>

class SimClock {
public:
    virtual ~SimClock() = default;
    virtual int64_t NowUs() const = 0;
};

// Moves only when told to.
class VirtualClock : public SimClock {
public:
    explicit VirtualClock(int64_t startUs = 0) : nowUs_(startUs) {}
    int64_t NowUs() const override { return nowUs_; }
    void AdvanceUs(int64_t us) {
        if (us > 0) nowUs_ += us;
    }
    void AdvanceMs(int64_t ms) { AdvanceUs(ms * 1000); }
    // Never goes backwards.
    void AdvanceTo(int64_t us) {
        if (us > nowUs_) nowUs_ = us;
    }

private:
    int64_t nowUs_;
};

// The monotonic clock of the machine.
class SteadyClock : public SimClock {
public:
    int64_t NowUs() const override;
};
