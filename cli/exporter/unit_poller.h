// Units polled in the background: a thread per unit with an engine session of its
// own, a round at every interval, the last completed round kept for the scrapes.
// A scrape copies snapshots under a mutex and never waits on a line.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "unit_snapshot.h"
#include "zel_session.h"

class UnitPoller {
public:
    UnitPoller(const FleetPort& port, std::chrono::steady_clock::duration interval);
    // Stops and waits for the round under way (bounded by the engine's time-outs).
    ~UnitPoller();
    UnitPoller(const UnitPoller&) = delete;
    UnitPoller& operator=(const UnitPoller&) = delete;

    UnitSnapshot Snapshot() const;
    // Asks the thread to end after the read under way; the port is released when it does.
    void RequestStop();

private:
    void Run();

    const std::chrono::steady_clock::duration interval_;
    ZelSession session_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    UnitSnapshot last_;
    std::thread thread_;
};

// Every unit of the exporter, in the order given.
class FleetPoller {
public:
    FleetPoller(const std::vector<FleetPort>& ports, std::chrono::steady_clock::duration interval);
    // Stops every unit's thread at once, then waits for them all.
    ~FleetPoller();

    std::vector<UnitSnapshot> Snapshots() const;
    void RequestStop();

private:
    std::vector<std::unique_ptr<UnitPoller>> units_;
};
