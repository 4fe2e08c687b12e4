#include "wire_meter.h"

void WireMeter::Install(ComPort* port, ZelReceiveFn receive) {
    port_ = port;
    receive_ = receive;
    ZelSetTransport(Transmit, Receive, Sleep, Pump, this);
}

ZelResult WireMeter::Transmit(void* context, int address, const uint8_t* bytes, int length) {
    auto* self = static_cast<WireMeter*>(context);
    ++self->count_.requests;
    self->count_.bytesSent += length;
    return ComTransmit(self->port_, address, bytes, length);
}

ZelResult WireMeter::Receive(void* context, int address, uint8_t* buffer, int count, int* received,
                             int timeoutMs) {
    auto* self = static_cast<WireMeter*>(context);
    int got = 0;
    ZelResult result = self->receive_(self->port_, address, buffer, count, &got, timeoutMs);
    if (count == ZEL_DRAIN_BYTES && timeoutMs == ZEL_DRAIN_TIMEOUT_MS) ++self->count_.drains;
    self->count_.bytesReceived += got;
    if (received) *received = got;
    return result;
}

ZelResult WireMeter::Sleep(void* context, int milliseconds) {
    auto* self = static_cast<WireMeter*>(context);
    self->count_.sleptMs += milliseconds;
    return ComSleep(self->port_, milliseconds);
}

ZelResult WireMeter::Pump(void* context) {
    return ComPumpMessages(static_cast<WireMeter*>(context)->port_);
}
