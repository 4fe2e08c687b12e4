// Sits between the protocol engine and the serial link's hooks and counts what
// crosses the line: requests sent, bytes each way, drains, and the pauses the
// protocol asked for. The receive it forwards to can be swapped, so that the same
// scenario runs over the link's own receive and over a polling one.
#pragma once

#include <cstdint>

#include "com_port.h"
#include "zel_protocol.h"

struct WireCount {
    int64_t requests = 0;  // transmits, retries included
    int64_t bytesSent = 0;
    int64_t bytesReceived = 0;  // drains included
    int64_t drains = 0;         // receives made to clear the line after a failed attempt
    int64_t sleptMs = 0;        // pauses asked of the sleep hook

    WireCount operator-(const WireCount& earlier) const {
        return {requests - earlier.requests, bytesSent - earlier.bytesSent,
                bytesReceived - earlier.bytesReceived, drains - earlier.drains, sleptMs - earlier.sleptMs};
    }
};

class WireMeter {
public:
    // Registers the meter's hooks in front of the port's (ZelSetTransport), forwarding
    // receives to `receive`.
    void Install(ComPort* port, ZelReceiveFn receive);
    const WireCount& Count() const { return count_; }

private:
    static ZelResult Transmit(void* context, int address, const uint8_t* bytes, int length);
    static ZelResult Receive(void* context, int address, uint8_t* buffer, int count, int* received,
                             int timeoutMs);
    static ZelResult Sleep(void* context, int milliseconds);
    static ZelResult Pump(void* context);

    ComPort* port_ = nullptr;
    ZelReceiveFn receive_ = nullptr;
    WireCount count_;
};
