// A simulated device served on a pseudo-terminal by a thread of its own, in real
// time, that can be unplugged: the terminal closes and the client's end hangs up.
#pragma once

#include <csignal>
#include <string>
#include <thread>

#include "sim_clock.h"
#include "sim_device.h"
#include "sim_pty_server.h"

class ServedDevice {
public:
    // `linkPath`, when not empty, is a symlink kept pointing at the terminal, so that
    // a device served again later is found under the same name.
    explicit ServedDevice(const SimConfig& config, std::string linkPath = std::string());
    ~ServedDevice() { Unplug(); }
    ServedDevice(const ServedDevice&) = delete;
    ServedDevice& operator=(const ServedDevice&) = delete;

    // Opens the terminal and starts serving. False with a message in *error.
    bool Start(std::string* error);
    // The name a client opens: the link when there is one.
    std::string PortName() const;

    // The device; touch it only before Start, after Unplug, or from its own callbacks
    // (which run on the serving thread).
    SimDevice& Device() { return device_; }

    // Stops serving and closes the terminal; waits for the serving thread.
    void Unplug();
    // From a device callback on the serving thread: the device goes away as soon as
    // the frame in hand has been taken in, before it is answered.
    void UnplugFromCallback() { stop_ = 1; }

private:
    SteadyClock clock_;
    SimDevice device_;
    SimPtyServer server_;
    std::string linkPath_;
    volatile std::sig_atomic_t stop_ = 0;
    std::thread thread_;
};

// A fault-free twin of the device in virtual time: the same writes are handed to it
// as frames, so that it holds what the served device must hold, side effects
// included, without reaching into the serving thread.
class ShadowDevice {
public:
    explicit ShadowDevice(const SimConfig& config);
    // Hands it the write request frame the engine sends for this value.
    void Write(int category, int setting, uint32_t value);
    uint64_t Value(int category, int setting) { return device_.Value(category, setting).value_or(~0ull); }

private:
    VirtualClock clock_{1000000};
    SimDevice device_;
};
