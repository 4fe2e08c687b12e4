#include "sim_transport.h"

SimTransport::~SimTransport() {
    Uninstall();
}

void SimTransport::Install() {
    ZelSetTransport(&TransmitHook, &ReceiveHook, &SleepHook, &PumpHook, this);
}

void SimTransport::Uninstall() {
    if (ZelGetTransport().context == this) ZelSetTransport(nullptr, nullptr, nullptr, nullptr, nullptr);
}

std::vector<SimWireRecord> SimTransport::RecordsOf(SimWireRecord::Kind kind) const {
    std::vector<SimWireRecord> out;
    for (const SimWireRecord& r : records_)
        if (r.kind == kind) out.push_back(r);
    return out;
}

void SimTransport::Record(SimWireRecord&& record) {
    if (recording_) records_.push_back(std::move(record));
}

ZelResult SimTransport::Transmit(const uint8_t* bytes, int length) {
    SimWireRecord record;
    record.kind = SimWireRecord::Transmit;
    record.count = length;
    record.atUs = clock_.NowUs();
    if (bytes && length > 0) record.bytes.assign(bytes, bytes + length);
    record.result = transmitResult_;
    if (transmitResult_ == ZEL_OK && bytes && length > 0) device_.Receive(bytes, static_cast<size_t>(length));
    Record(std::move(record));
    return transmitResult_;
}

ZelResult SimTransport::Receive(uint8_t* buffer, int count, int* received, int timeoutMs) {
    SimWireRecord record;
    record.kind = SimWireRecord::Receive;
    record.count = count;
    record.timeoutMs = timeoutMs;
    record.atUs = clock_.NowUs();

    int64_t deadline = clock_.NowUs() + static_cast<int64_t>(timeoutMs > 0 ? timeoutMs : 0) * 1000;
    int got = 0;
    if (count > 0 && buffer) {
        got = static_cast<int>(device_.Read(buffer, static_cast<size_t>(count)));
        // Wait, in virtual time, for each next byte while it comes before the deadline.
        while (got < count) {
            int64_t next = device_.NextOutputUs();
            if (next < 0 || next > deadline) {
                clock_.AdvanceTo(deadline);
                break;
            }
            clock_.AdvanceTo(next);
            got += static_cast<int>(device_.Read(buffer + got, static_cast<size_t>(count - got)));
        }
    }
    if (received) *received = got;
    record.bytes.assign(buffer, buffer + got);
    record.result = got > 0 ? ZEL_OK : ZEL_E_RX_FAILED;
    ZelResult result = record.result;
    Record(std::move(record));
    return result;
}

ZelResult SimTransport::TransmitHook(void* context, int, const uint8_t* bytes, int length) {
    return static_cast<SimTransport*>(context)->Transmit(bytes, length);
}

ZelResult SimTransport::ReceiveHook(void* context, int, uint8_t* buffer, int count, int* received,
                                    int timeoutMs) {
    return static_cast<SimTransport*>(context)->Receive(buffer, count, received, timeoutMs);
}

ZelResult SimTransport::SleepHook(void* context, int milliseconds) {
    auto* self = static_cast<SimTransport*>(context);
    SimWireRecord record;
    record.kind = SimWireRecord::Sleep;
    record.timeoutMs = milliseconds;
    record.atUs = self->clock_.NowUs();
    self->Record(std::move(record));
    self->clock_.AdvanceMs(milliseconds);
    return ZEL_OK;
}

ZelResult SimTransport::PumpHook(void* context) {
    auto* self = static_cast<SimTransport*>(context);
    ++self->pumps_;
    if (self->pump_) self->pump_();
    return ZEL_OK;
}
