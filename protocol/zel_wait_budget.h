// A bound on a wait made of device polls and pauses. Time counts both the clock and
// every pause asked of the transport's sleep hook, so the bound holds on a real line and
// under a transport whose sleeps take no real time (a simulated device in virtual time).
#pragma once

#include <chrono>
#include <cstdint>

class ZelWaitBudget {
public:
    explicit ZelWaitBudget(int64_t limitMs);

    // Pauses through the registered transport's sleep hook (nothing without one) and
    // counts the pause against the limit.
    void Sleep(int milliseconds);
    bool Exhausted() const;
    // The time counted so far: the clock's or the pauses', whichever is more.
    int64_t SpentMs() const;
    int64_t SleptMs() const { return sleptMs_; }

private:
    int64_t limitMs_;
    int64_t sleptMs_ = 0;
    std::chrono::steady_clock::time_point start_;
};
