// The simulated device as the protocol engine's transport, in virtual time.
//
// transmit hands the bytes to the device at once; receive collects the device's
// reply bytes as they come on the line, moving the virtual clock forward instead of
// waiting (up to the time-out when the reply is short or absent); sleep moves the
// clock. Every call is recorded for assertions on the wire.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "sim_clock.h"
#include "sim_device.h"
#include "zel_protocol.h"

struct SimWireRecord {
    enum Kind { Transmit, Receive, Sleep };
    Kind kind = Transmit;
    std::vector<uint8_t> bytes;  // sent, or received
    int count = 0;               // receive: bytes asked for; transmit: length
    int timeoutMs = 0;           // receive: time-out given; sleep: milliseconds
    ZelResult result = ZEL_OK;
    int64_t atUs = 0;  // virtual time when the call began
};

class SimTransport {
public:
    SimTransport(SimDevice& device, VirtualClock& clock) : device_(device), clock_(clock) {}
    ~SimTransport();
    SimTransport(const SimTransport&) = delete;
    SimTransport& operator=(const SimTransport&) = delete;

    // Registers this object's hooks with the protocol engine (ZelSetTransport).
    void Install();
    // Removes every hook if this object's are the ones registered.
    void Uninstall();

    // Called by the pump hook (the window's tests let it process events).
    void SetPump(std::function<void()> pump) { pump_ = std::move(pump); }
    // Makes every transmit fail with the result given (ZEL_OK again to stop).
    void FailTransmit(ZelResult result) { transmitResult_ = result; }

    // Recording is on from the start; long runs (benchmarks, soak) may turn it off.
    void SetRecording(bool on) { recording_ = on; }
    const std::vector<SimWireRecord>& Records() const { return records_; }
    void ClearRecords() { records_.clear(); }
    // Only the records of one kind, in order.
    std::vector<SimWireRecord> RecordsOf(SimWireRecord::Kind kind) const;

    int PumpCount() const { return pumps_; }

    SimDevice& Device() { return device_; }
    VirtualClock& Clock() { return clock_; }

    // The hooks themselves, for front ends that wrap them.
    static ZelResult TransmitHook(void* context, int address, const uint8_t* bytes, int length);
    static ZelResult ReceiveHook(void* context, int address, uint8_t* buffer, int count, int* received,
                                 int timeoutMs);
    static ZelResult SleepHook(void* context, int milliseconds);
    static ZelResult PumpHook(void* context);

private:
    ZelResult Transmit(const uint8_t* bytes, int length);
    ZelResult Receive(uint8_t* buffer, int count, int* received, int timeoutMs);
    void Record(SimWireRecord&& record);

    SimDevice& device_;
    VirtualClock& clock_;
    std::function<void()> pump_;
    ZelResult transmitResult_ = ZEL_OK;
    std::vector<SimWireRecord> records_;
    bool recording_ = true;
    int pumps_ = 0;
};
