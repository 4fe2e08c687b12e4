#include "unit_poller.h"

#include "unit_poll.h"

UnitPoller::UnitPoller(const FleetPort& port, std::chrono::steady_clock::duration interval)
    : interval_(interval) {
    last_.port = port;
    thread_ = std::thread([this] { Run(); });
}

UnitPoller::~UnitPoller() {
    RequestStop();
    if (thread_.joinable()) thread_.join();
}

UnitSnapshot UnitPoller::Snapshot() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_;
}

void UnitPoller::RequestStop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
}

void UnitPoller::Run() {
    ZelSessionScope scope(session_);
    const FleetPort port = last_.port;
    auto next = std::chrono::steady_clock::now();
    while (!stopping_) {
        UnitSnapshot snapshot = PollUnitOnce(port, stopping_);
        std::unique_lock<std::mutex> lock(mutex_);
        // A round cut short by the stop says nothing about the unit.
        if (stopping_) break;
        last_ = std::move(snapshot);
        // Rounds keep to the interval's grid; one that overran starts the next at once.
        next += interval_;
        const auto now = std::chrono::steady_clock::now();
        if (next < now) next = now;
        wake_.wait_until(lock, next, [this] { return stopping_.load(); });
    }
}

FleetPoller::FleetPoller(const std::vector<FleetPort>& ports, std::chrono::steady_clock::duration interval) {
    for (const FleetPort& port : ports)
        units_.push_back(std::make_unique<UnitPoller>(port, interval));
}

FleetPoller::~FleetPoller() {
    RequestStop();
    units_.clear();
}

std::vector<UnitSnapshot> FleetPoller::Snapshots() const {
    std::vector<UnitSnapshot> snapshots;
    snapshots.reserve(units_.size());
    for (const auto& unit : units_)
        snapshots.push_back(unit->Snapshot());
    return snapshots;
}

void FleetPoller::RequestStop() {
    for (const auto& unit : units_)
        unit->RequestStop();
}
