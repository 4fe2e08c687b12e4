// Instruments for soak runs: the frames the device took in, and the attempts the
// engine made for each operation.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <vector>

#include "sim_device.h"
#include "soak_plan.h"
#include "zel_protocol.h"

// Every value write the device took in, in order, apart from the firmware upgrade's. Safe to fill from the
// thread that serves a pseudo-terminal while the test reads it after that thread has stopped.
class HostWriteLog {
public:
    struct Write {
        int category;
        int setting;
        uint64_t value;
    };

    void Attach(SimDevice& device);
    std::vector<Write> Writes() const;

private:
    mutable std::mutex mutex_;
    std::vector<Write> writes_;
};

// The write frames seen, in order, must be the intended writes, each sent at least
// once and never with another value, and none that was not intended.
::testing::AssertionResult WritesAsIntended(const std::vector<SoakOp>& intended,
                                            const std::vector<HostWriteLog::Write>& seen);

// Counts the requests the engine sends, by wrapping the hooks registered now.
class AttemptCounter {
public:
    AttemptCounter() = default;
    ~AttemptCounter() { Uninstall(); }
    AttemptCounter(const AttemptCounter&) = delete;
    AttemptCounter& operator=(const AttemptCounter&) = delete;

    void Install();
    // Puts back the hooks that were wrapped, if ours are still the ones registered.
    void Uninstall();
    int64_t Transmits() const { return transmits_; }

private:
    static ZelResult Transmit(void* context, int address, const uint8_t* bytes, int length);
    static ZelResult Receive(void* context, int address, uint8_t* buffer, int count, int* received,
                             int timeoutMs);
    static ZelResult Sleep(void* context, int milliseconds);
    static ZelResult Pump(void* context);

    ZelTransport inner_{};
    bool installed_ = false;
    int64_t transmits_ = 0;
};

// The outcome of one typed operation as the soak sees it.
inline bool Answered(ZelResult result) {
    // The engine stops retrying once the device has answered with a well-formed frame.
    return result == ZEL_OK || result == ZEL_E_ERROR_REPLY || result == ZEL_E_B_REPLY;
}

// Runs one planned operation through the typed access; `readValue` gets what a
// successful read returned.
ZelResult RunSoakOp(const SoakOp& op, uint64_t* readValue);
