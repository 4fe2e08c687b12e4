// The transport hooks over the open COM port: transmit, receive, sleep, pump.
#include <thread>

#include "com_port.h"

namespace {

SerialLink* OpenLink(void* context) {
    const ComPort* port = static_cast<const ComPort*>(context);
    return port && ComPortIsOpen(*port) ? port->link.get() : nullptr;
}

// A byte's time on the line at 115200 baud: start bit, 8 data bits, stop bit.
constexpr int64_t kByteNs = 10 * int64_t(1000000000) / 115200;

// Time allowed for a write to get into the driver: the bytes' own time on
// the line at 115200 baud plus a second. Output flow control is off, so a
// port that takes nothing for that long is stuck (a pseudo-terminal whose
// other end reads nothing), and the write fails instead of hanging.
std::chrono::nanoseconds WriteAllowance(int length) {
    return std::chrono::nanoseconds(int64_t(length) * kByteNs + 1000000000);
}

}  // namespace

ZelResult ComTransmit(void* context, int /*address*/, const uint8_t* bytes, int length) {
    SerialLink* link = OpenLink(context);
    if (!link || length < 0 || (length > 0 && !bytes)) return ZEL_E_TX_FAILED;

    // Whatever waits in the input when a request is about to go out belongs to
    // an earlier exchange (a reply that came after its time-out): it must not be
    // taken for this request's reply.
    link->DiscardInput();
    const SerialLink::Deadline deadline = SerialLink::Clock::now() + WriteAllowance(length);
    return link->Write(bytes, length, deadline) ? ZEL_OK : ZEL_E_TX_FAILED;
}

// Collects up to `count` bytes, returning as soon as they are all there, when
// the time-out has run out since the call began, or at once when the line has
// gone away. The first read is made even with a time-out of 0. 0 when anything
// arrived, otherwise 11.
ZelResult ComReceive(void* context, int /*address*/, uint8_t* buffer, int count, int* received,
                     int timeoutMs) {
    SerialLink* link = OpenLink(context);
    // Over a network the reply also has the round trip to travel.
    const int extraMs = link && link->RoundTripMs() > 0 ? link->RoundTripMs() : 0;
    const SerialLink::Deadline deadline =
        SerialLink::Clock::now() + std::chrono::milliseconds((timeoutMs > 0 ? timeoutMs : 0) + extraMs);
    int got = 0;
    if (link && buffer && count > 0) got = link->Read(buffer, count, deadline);
    if (received) *received = got;
    return got > 0 ? ZEL_OK : ZEL_E_RX_FAILED;
}

ZelResult ComSleep(void* /*context*/, int milliseconds) {
    if (milliseconds <= 0) return ZEL_OK;
    // An absolute wake-up time on the monotonic clock keeps the sleep exact
    // across signal interruptions and clock steps.
    std::this_thread::sleep_until(SerialLink::Clock::now() + std::chrono::milliseconds(milliseconds));
    return ZEL_OK;
}

ZelResult ComPurge(void* context) {
    SerialLink* link = OpenLink(context);
    if (link) link->PurgeFarEnd();
    return ZEL_OK;
}

ZelResult ComPumpMessages(void* context) {
    const ComPort* port = static_cast<const ComPort*>(context);
    if (port && port->pump) port->pump(port->pumpContext);
    return ZEL_OK;
}
